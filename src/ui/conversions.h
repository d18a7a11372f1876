// The engine works on byte strings, Qt on QString: file paths cross between them
// in the system's file-name encoding, texts of the 8-bit set character by character.
#pragma once

#include <string>
#include <string_view>

#include <QString>
#include <QStringView>

namespace lorimand {

[[nodiscard]] std::string nativePath(const QString &path);
[[nodiscard]] QString fromNativePath(std::string_view path);

// Every byte as its character of the 8-bit set.
[[nodiscard]] QString fromCharset(std::string_view text);
// Every character in the 8-bit set; one the set cannot hold becomes "?".
[[nodiscard]] std::string toCharset(QStringView text);

} // namespace lorimand

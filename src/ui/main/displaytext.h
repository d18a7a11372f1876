// The mapping between 8-bit text and what the text widgets show, shared by
// ByteTextEdit and ByteLineEdit and used by nothing else.
#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace lorimand::displaytext {

// The character shown for a code that is not shown as itself: the control
// picture U+2400 + code, U+2421 for DEL.
[[nodiscard]] QChar controlPicture(unsigned char code);

// One line's bytes (no line breaks inside) as shown: controls but TAB as pictures.
[[nodiscard]] QString fromBytes(std::string_view bytes, bool keepTab = true);
// Back to bytes: pictures to their codes, other characters through the 8-bit set,
// a character the set cannot hold to "?".
void appendBytes(QStringView shown, std::string &out);
// Replaces each character the set cannot hold (and is no picture) by "?".
[[nodiscard]] QString sanitized(QStringView typed);

} // namespace lorimand::displaytext

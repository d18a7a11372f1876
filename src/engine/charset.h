// The program's 8-bit character set: Windows-1252, whose five unassigned codes
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the C1 controls of the same number, so
// that every byte has exactly one character and back. Also its letter case.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lorimand::charset {

// What a character the set cannot hold becomes.
inline constexpr unsigned char kReplacement = '?';

[[nodiscard]] char32_t toUnicode(unsigned char code) noexcept;
[[nodiscard]] std::optional<unsigned char> fromUnicode(char32_t ch) noexcept;

[[nodiscard]] unsigned char toUpper(unsigned char code) noexcept;
[[nodiscard]] unsigned char toLower(unsigned char code) noexcept;
[[nodiscard]] std::string toLower(std::string_view text);

// UTF-8 text in the 8-bit set; nullopt when the text is not valid UTF-8 or holds
// a character the set cannot hold.
[[nodiscard]] std::optional<std::string> fromUtf8(std::string_view utf8);

} // namespace lorimand::charset

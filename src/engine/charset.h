// The program's 8-bit character set: Windows-1252, whose five unassigned codes
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the C1 controls of the same number, so
// that every byte has exactly one character and back. Also its letter case.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace lorimand::charset {

// How plain text is read: each byte a character of the 8-bit set, or UTF-8.
enum class TextCharset : unsigned char
{
    Windows1252,
    Utf8
};

// What a character the set cannot hold becomes.
inline constexpr unsigned char kReplacement = '?';

[[nodiscard]] char32_t toUnicode(unsigned char code) noexcept;
[[nodiscard]] std::optional<unsigned char> fromUnicode(char32_t ch) noexcept;

[[nodiscard]] unsigned char toUpper(unsigned char code) noexcept;
[[nodiscard]] unsigned char toLower(unsigned char code) noexcept;
[[nodiscard]] std::string toLower(std::string_view text);

// One UTF-8 character: its code point and the number of bytes it takes.
struct Utf8Char
{
    char32_t ch = 0;
    std::size_t length = 0;
    friend bool operator==(const Utf8Char &, const Utf8Char &) = default;
};

// The character whose bytes start at `at`; nullopt when they are not UTF-8: a
// stray continuation byte, a sequence cut short, an overlong form, a surrogate
// or a code point beyond U+10FFFF.
[[nodiscard]] std::optional<Utf8Char> utf8CharAt(std::string_view utf8, std::size_t at) noexcept;

// Appends the UTF-8 bytes of a code point up to U+10FFFF.
void appendUtf8(char32_t ch, std::string &out);

// Whether text is UTF-8 through and through and holds at least one character of
// more than one byte: text another program most likely wrote as UTF-8.
[[nodiscard]] bool readsAsUtf8(std::string_view text) noexcept;

// UTF-8 text in the 8-bit set; nullopt when the text is not valid UTF-8 or holds
// a character the set cannot hold.
[[nodiscard]] std::optional<std::string> fromUtf8(std::string_view utf8);

// Where and why fromUtf8 fails on a text.
struct Utf8Error
{
    std::size_t offset = 0; // of the first byte fromUtf8 cannot take
    std::size_t length = 0; // of the character there; 1 for bytes that are not UTF-8
    // The character the set cannot hold; nullopt when the bytes are not UTF-8.
    std::optional<char32_t> character;
    friend bool operator==(const Utf8Error &, const Utf8Error &) = default;
};

// nullopt when fromUtf8 takes the whole text.
[[nodiscard]] std::optional<Utf8Error> findUtf8Error(std::string_view utf8);

} // namespace lorimand::charset

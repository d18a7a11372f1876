#include "engine/charset.h"

#include <array>

namespace lorimand::charset {

namespace {

// Codes 0x80-0x9F; the five codes Windows-1252 leaves unassigned stand for the
// C1 controls of the same number.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, //
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, //
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, //
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// Appends utf8 in the 8-bit set to out, up to the first byte that cannot be
// taken, and says where and why it stopped.
std::optional<Utf8Error> convertUtf8(std::string_view utf8, std::string &out)
{
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const std::optional<Utf8Char> next = utf8CharAt(utf8, i);
        if (!next) {
            return Utf8Error{i, 1, std::nullopt};
        }
        const auto code = fromUnicode(next->ch);
        if (!code) {
            return Utf8Error{i, next->length, next->ch};
        }
        out.push_back(static_cast<char>(*code));
        i += next->length;
    }
    return std::nullopt;
}

} // namespace

// The one UTF-8 decoder.
std::optional<Utf8Char> utf8CharAt(std::string_view utf8, std::size_t at) noexcept
{
    const auto lead = static_cast<unsigned char>(utf8[at]);
    char32_t ch = 0;
    std::size_t length = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
        return Utf8Char{lead, 1};
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        ch = lead & 0x1F;
        length = 2;
        minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        ch = lead & 0x0F;
        length = 3;
        minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        ch = lead & 0x07;
        length = 4;
        minimum = 0x10000;
    } else {
        return std::nullopt;
    }
    if (utf8.size() - at < length) {
        return std::nullopt;
    }
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(utf8[at + k]);
        if ((next & 0xC0) != 0x80) {
            return std::nullopt;
        }
        ch = (ch << 6) | (next & 0x3F);
    }
    // Overlong forms, surrogates and code points beyond Unicode are not UTF-8.
    if (ch < minimum || (ch >= 0xD800 && ch <= 0xDFFF) || ch > 0x10FFFF) {
        return std::nullopt;
    }
    return Utf8Char{ch, length};
}

void appendUtf8(char32_t ch, std::string &out)
{
    const auto byte = [](char32_t bits) {
        return static_cast<char>(bits);
    };
    if (ch < 0x80) {
        out += byte(ch);
    } else if (ch < 0x800) {
        out += byte(0xC0 | (ch >> 6));
        out += byte(0x80 | (ch & 0x3F));
    } else if (ch < 0x10000) {
        out += byte(0xE0 | (ch >> 12));
        out += byte(0x80 | ((ch >> 6) & 0x3F));
        out += byte(0x80 | (ch & 0x3F));
    } else {
        out += byte(0xF0 | (ch >> 18));
        out += byte(0x80 | ((ch >> 12) & 0x3F));
        out += byte(0x80 | ((ch >> 6) & 0x3F));
        out += byte(0x80 | (ch & 0x3F));
    }
}

bool readsAsUtf8(std::string_view text) noexcept
{
    bool multiByte = false;
    std::size_t i = 0;
    while (i < text.size()) {
        const std::optional<Utf8Char> next = utf8CharAt(text, i);
        if (!next) {
            return false;
        }
        multiByte = multiByte || next->length > 1;
        i += next->length;
    }
    return multiByte;
}

char32_t toUnicode(unsigned char code) noexcept
{
    if (code >= 0x80 && code <= 0x9F) {
        return kHighControls[code - 0x80];
    }
    return code;
}

std::optional<unsigned char> fromUnicode(char32_t ch) noexcept
{
    if (ch < 0x80 || (ch >= 0xA0 && ch <= 0xFF)) {
        return static_cast<unsigned char>(ch);
    }
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == ch) {
            return static_cast<unsigned char>(0x80 + i);
        }
    }
    return std::nullopt;
}

unsigned char toUpper(unsigned char code) noexcept
{
    if ((code >= 'a' && code <= 'z') || (code >= 0xE0 && code <= 0xFE && code != 0xF7)) {
        return static_cast<unsigned char>(code - 0x20);
    }
    switch (code) {
    case 0x9A:
    case 0x9C:
    case 0x9E:
        return static_cast<unsigned char>(code - 0x10);
    case 0xFF:
        return 0x9F;
    default:
        return code;
    }
}

unsigned char toLower(unsigned char code) noexcept
{
    if ((code >= 'A' && code <= 'Z') || (code >= 0xC0 && code <= 0xDE && code != 0xD7)) {
        return static_cast<unsigned char>(code + 0x20);
    }
    switch (code) {
    case 0x8A:
    case 0x8C:
    case 0x8E:
        return static_cast<unsigned char>(code + 0x10);
    case 0x9F:
        return 0xFF;
    default:
        return code;
    }
}

std::string toLower(std::string_view text)
{
    std::string result(text);
    for (char &ch : result) {
        ch = static_cast<char>(toLower(static_cast<unsigned char>(ch)));
    }
    return result;
}

std::optional<std::string> fromUtf8(std::string_view utf8)
{
    std::string result;
    if (convertUtf8(utf8, result)) {
        return std::nullopt;
    }
    return result;
}

std::optional<Utf8Error> findUtf8Error(std::string_view utf8)
{
    std::string ignored;
    return convertUtf8(utf8, ignored);
}

} // namespace lorimand::charset

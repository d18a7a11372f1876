#include "engine/numberreader.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace lorimand {

namespace {

[[nodiscard]] bool isBlank(char ch) noexcept
{
    return ch == ' ' || ch == '\t';
}

[[nodiscard]] bool isDigit(char ch) noexcept
{
    return ch >= '0' && ch <= '9';
}

// For a plain decimal string whose value lies outside a double's range:
// whether it is too large (rather than too small).
[[nodiscard]] bool exceedsDouble(std::string_view digits)
{
    long exponent = 0;
    const std::size_t e = digits.find('e');
    if (e != std::string_view::npos) {
        std::from_chars(digits.data() + e + 1, digits.data() + digits.size(), exponent);
        digits = digits.substr(0, e);
    }
    const std::size_t point = std::min(digits.find('.'), digits.size());
    const std::size_t firstSignificant = digits.find_first_of("123456789");
    if (firstSignificant == std::string_view::npos) {
        return false;
    }
    // The first significant digit stands for 10 to the power of its place.
    const long place = firstSignificant < point ? static_cast<long>(point - firstSignificant) - 1
                                                : -static_cast<long>(firstSignificant - point);
    return place + exponent > 0;
}

struct Scan
{
    double value = 0.0;
    bool found = false;  // at least one digit
    std::size_t end = 0; // just past the last character that belongs to the number
};

// Reads the number at the start of text. The digits are gathered into a plain
// decimal string and converted once, so the value is the correctly rounded one.
[[nodiscard]] Scan scanNumber(std::string_view text)
{
    const std::size_t size = text.size();
    std::size_t i = 0;
    auto skipBlanks = [&] {
        while (i < size && isBlank(text[i])) {
            ++i;
        }
    };

    std::string digits;
    Scan scan;
    skipBlanks();
    if (i < size && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-') {
            digits.push_back('-');
        }
        ++i;
    }
    auto readDigits = [&] {
        for (;;) {
            skipBlanks();
            if (i < size && isDigit(text[i])) {
                digits.push_back(text[i]);
                scan.found = true;
                ++i;
                scan.end = i;
            } else {
                return;
            }
        }
    };
    readDigits();
    skipBlanks();
    if (i < size && text[i] == '.') {
        ++i;
        if (scan.found) {
            scan.end = i;
        }
        digits.push_back('.');
        readDigits();
    }
    if (!scan.found) {
        return Scan{};
    }

    // An exponent counts only when at least one digit follows its letter.
    skipBlanks();
    if (i < size && (text[i] == 'E' || text[i] == 'e' || text[i] == 'D' || text[i] == 'd')) {
        std::size_t k = i + 1;
        auto skipBlanksAt = [&] {
            while (k < size && isBlank(text[k])) {
                ++k;
            }
        };
        skipBlanksAt();
        bool negative = false;
        if (k < size && (text[k] == '+' || text[k] == '-')) {
            negative = text[k] == '-';
            ++k;
        }
        long exponent = 0;
        bool any = false;
        for (;;) {
            skipBlanksAt();
            if (k < size && isDigit(text[k])) {
                // Far beyond what a double can reach either way; capping keeps it finite.
                if (exponent < 100000) {
                    exponent = exponent * 10 + (text[k] - '0');
                }
                any = true;
                ++k;
                scan.end = k;
            } else {
                break;
            }
        }
        if (any) {
            digits.push_back('e');
            digits += std::to_string(negative ? -exponent : exponent);
        }
    }

    double value = 0.0;
    const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // from_chars leaves value alone when the number is beyond a double's
        // range either way; which way follows from the position of the first
        // significant digit.
        value = exceedsDouble(digits) ? std::numeric_limits<double>::infinity() : 0.0;
        if (digits.front() == '-') {
            value = -value;
        }
    }
    scan.value = value;
    return scan;
}

} // namespace

double readNumber(std::string_view text) noexcept
{
    try {
        return scanNumber(text).value;
    } catch (...) {
        // Only running out of memory for the digits can get here.
        return 0.0;
    }
}

std::optional<double> readWholeText(std::string_view text) noexcept
{
    try {
        const Scan scan = scanNumber(text);
        if (!scan.found) {
            return std::nullopt;
        }
        for (std::size_t i = scan.end; i < text.size(); ++i) {
            if (!isBlank(text[i])) {
                return std::nullopt;
            }
        }
        return scan.value;
    } catch (...) {
        return std::nullopt;
    }
}

std::optional<std::int32_t> roundToInt32(double value) noexcept
{
    if (!std::isfinite(value)) {
        return std::nullopt;
    }
    double rounded = std::floor(value);
    const double fraction = value - rounded; // exact for every double
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(rounded, 2.0) != 0.0)) {
        rounded += 1.0;
    }
    if (rounded < -2147483648.0 || rounded > 2147483647.0) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(rounded);
}

} // namespace lorimand

// The lenient number reader of the program's text formats: leading blanks and
// tabs skipped, an optional sign, decimal digits with an optional fraction and
// exponent, blanks between digits skipped ("6 5" is 65); it stops at the first
// character that cannot continue the number, and no number reads as 0.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace lorimand {

[[nodiscard]] double readNumber(std::string_view text) noexcept;

// The text holds one number and nothing else but blanks; nullopt otherwise ("abc", "").
[[nodiscard]] std::optional<double> readWholeText(std::string_view text) noexcept;

// Rounds to the nearest whole number, halves to the even neighbour; nullopt when
// the result does not fit in 32 bits.
[[nodiscard]] std::optional<std::int32_t> roundToInt32(double value) noexcept;

} // namespace lorimand

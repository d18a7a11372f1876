// The key-shift cipher: one shift, derived from the key through the generator,
// added to (encode) or subtracted from (decode) every code, wrapping within 1..255.
// Code 0 is left as it is in both directions, so that every text comes back.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "engine/direction.h"
#include "engine/generator.h"

namespace lorimand {

// The longest key read from a file (a key file's first line, the settings file's
// key line): far beyond any key typed, and short enough that a wrong file cannot
// take the memory and time that a key field of many MiB costs.
inline constexpr std::size_t kLongestKey = std::size_t{1024} * 1024;

// What one key character adds to the key seed: floor(code * 16 / 5.162738495).
[[nodiscard]] int keyContribution(unsigned char code) noexcept;
// The sum of the contributions, held in single precision after every step.
[[nodiscard]] float keySeed(std::string_view key) noexcept;
// Seeds the generator with the key seed and scales its value by the key's first
// code: a shift from 1 to 255. An empty key gives 0 without touching the generator.
[[nodiscard]] int shiftForKey(std::string_view key, RandomGenerator &generator);

// Shifts every code in place; a shift outside 1..255 (0 for an empty key) leaves
// the text unchanged. Runs at memory speed.
void applyShiftInPlace(std::span<char> bytes, int shift, Direction direction) noexcept;
[[nodiscard]] std::string applyShift(std::string_view text, int shift, Direction direction);

} // namespace lorimand

#include "engine/keyshift.h"

#include <cmath>
#include <cstdint>

namespace lorimand {

int keyContribution(unsigned char code) noexcept
{
    const auto product = static_cast<std::int16_t>(code * 16);
    return static_cast<int>(std::floor(static_cast<double>(product) / 5.162738495));
}

float keySeed(std::string_view key) noexcept
{
    float seed = 0.0f;
    for (const char ch : key) {
        // The sum is rounded to single precision after every character, as the
        // seed is held in single precision.
        seed = static_cast<float>(static_cast<double>(seed) +
                                  keyContribution(static_cast<unsigned char>(ch)));
    }
    return seed;
}

int shiftForKey(std::string_view key, RandomGenerator &generator)
{
    if (key.empty()) {
        return 0;
    }
    generator.randomize(static_cast<double>(keySeed(key)));
    const float r = generator.current();
    const auto first = static_cast<float>(static_cast<unsigned char>(key.front()));
    return static_cast<int>(std::floor(static_cast<double>(r) * static_cast<double>(first) + 1.0));
}

void applyShiftInPlace(std::span<char> bytes, int shift, Direction direction) noexcept
{
    if (shift <= 0 || shift > 255) {
        return;
    }
    // Branch-free forms of the wrap within 1..255, so that the loops vectorise:
    // encode c + s, less 255 above 255, is c + s + 1 modulo 256 exactly when
    // c > 255 - s; decode c - s, plus 255 below 1, is c - s - 1 modulo 256
    // exactly when c <= s. Code 0 lies outside the cycle and stays 0: the wrap
    // would send it where 255 goes, and it could never come back.
    auto *data = reinterpret_cast<std::uint8_t *>(bytes.data());
    const std::size_t size = bytes.size();
    const auto s = static_cast<std::uint8_t>(shift);
    if (direction == Direction::Encode) {
        const auto limit = static_cast<std::uint8_t>(255 - shift);
        for (std::size_t i = 0; i < size; ++i) {
            const std::uint8_t c = data[i];
            const auto shifted = static_cast<std::uint8_t>(c + s + (c > limit ? 1 : 0));
            data[i] = c == 0 ? std::uint8_t{0} : shifted;
        }
    } else {
        for (std::size_t i = 0; i < size; ++i) {
            const std::uint8_t c = data[i];
            const auto shifted = static_cast<std::uint8_t>(c - s - (c <= s ? 1 : 0));
            data[i] = c == 0 ? std::uint8_t{0} : shifted;
        }
    }
}

std::string applyShift(std::string_view text, int shift, Direction direction)
{
    std::string result(text);
    applyShiftInPlace(std::span<char>(result.data(), result.size()), shift, direction);
    return result;
}

} // namespace lorimand

#include "engine/generator.h"

#include <bit>

namespace lorimand {

void RuntimeGenerator::randomize(double seed)
{
    // Only the high half of the double's bits takes part, folded into the middle
    // 16 bits of the state; the outer bytes of the state are kept.
    const auto bits = std::bit_cast<std::uint64_t>(seed);
    const auto h = static_cast<std::int32_t>(static_cast<std::uint32_t>(bits >> 32));
    const auto folded = static_cast<std::uint32_t>((h & 0xFFFF) ^ (h >> 16));
    // Kept within the middle 16 bits: a negative seed would otherwise set the top
    // byte and make the value negative. Every seed of 0 or more is unaffected.
    const std::uint32_t m = (folded << 8) & 0x00FFFF00u;
    state_ = (state_ & 0xFF0000FFu) | m;
}

float RuntimeGenerator::current() const
{
    return static_cast<float>(static_cast<std::int32_t>(state_)) / 16777216.0f;
}

bool checkGenerator(RandomGenerator &generator)
{
    generator.randomize(2.0);
    return generator.current() == 0.25f;
}

} // namespace lorimand

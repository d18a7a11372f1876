// The random generator that turns a key into its shift. Texts encoded by earlier
// copies of the program must keep decoding, so the runtime's 24-bit linear
// congruential generator is emulated exactly; it is an interface so that tests
// can put in one that fails the self-test.
#pragma once

#include <cstdint>

namespace lorimand {

class RandomGenerator
{
public:
    virtual ~RandomGenerator() = default;
    virtual void randomize(double seed) = 0;
    // The value for the last seed, at least 0 and below 1; never moves the generator on.
    [[nodiscard]] virtual float current() const = 0;
};

class RuntimeGenerator final : public RandomGenerator
{
public:
    void randomize(double seed) override;
    [[nodiscard]] float current() const override;

private:
    std::uint32_t state_ = 0x50000;
};

// The self-test: seeding with 2 must give exactly 0.25.
[[nodiscard]] bool checkGenerator(RandomGenerator &generator);

} // namespace lorimand

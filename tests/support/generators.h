// Random generators for tests: one whose value is fixed, and the real one made
// to fail its self-test on demand.
#pragma once

#include <new>
#include <vector>

#include "engine/generator.h"

namespace lorimand::test {

// Returns the same value whatever the seed, recording the seeds it is given.
class FixedGenerator final : public RandomGenerator
{
public:
    explicit FixedGenerator(float value) : value_(value) {}
    void randomize(double seed) override { seeds.push_back(seed); }
    [[nodiscard]] float current() const override { return value_; }
    std::vector<double> seeds;

private:
    float value_;
};

// The machine's generator, or a broken one whose every value is 0.5.
class SwitchableGenerator final : public RandomGenerator
{
public:
    bool broken = false;
    // How many more seeds are taken before one fails for want of memory (-1: none fails).
    int seedsBeforeOutOfMemory = -1;
    void randomize(double seed) override
    {
        if (seedsBeforeOutOfMemory >= 0 && seedsBeforeOutOfMemory-- == 0) {
            throw std::bad_alloc();
        }
        real_.randomize(seed);
    }
    [[nodiscard]] float current() const override { return broken ? 0.5f : real_.current(); }

private:
    RuntimeGenerator real_;
};

} // namespace lorimand::test

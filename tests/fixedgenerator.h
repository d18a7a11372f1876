// A random generator whose value is fixed, recording the seeds it is given.
#pragma once

#include <vector>

#include "engine/generator.h"

namespace lorimand::test {

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

} // namespace lorimand::test

// Running out of memory on demand: the test binary that links failingallocation.cpp
// has its own operator new, which lets a given number of allocations through and
// then fails one (std::bad_alloc), and counts the allocations it saw.
#pragma once

#include <cstddef>

namespace lorimand::test {

// While it lives, the allocation after the first `allowed` ones fails once;
// allocations are counted from its start. Not for use on more than one thread.
class FailingAllocation
{
public:
    // `allowed` < 0: none fails, the allocations are only counted.
    explicit FailingAllocation(long allowed);
    ~FailingAllocation();
    FailingAllocation(const FailingAllocation &) = delete;
    FailingAllocation &operator=(const FailingAllocation &) = delete;

    // The allocations asked for so far, the one that failed included.
    [[nodiscard]] std::size_t count() const;
    // Whether one failed.
    [[nodiscard]] bool failed() const;
};

} // namespace lorimand::test

// Running out of memory on demand: the test binary that links failingallocation.cpp
// has its own operator new, which lets a given number of allocations through and
// then fails (std::bad_alloc) one, or every one until enough memory is given
// back, and counts the allocations it saw.
#pragma once

#include <cstddef>

namespace lorimand::test {

// While it lives, memory runs out after the first `allowed` allocations of at
// least `smallest` bytes: the next such allocation fails, or, with
// `recoveredBy`, every allocation after the last one let through fails until at
// least that many bytes are given back (as when the last one took what there
// was). Allocations are counted from its start. Not for use on more than one thread.
class FailingAllocation
{
public:
    // `allowed` < 0: none fails, the allocations are only counted.
    explicit FailingAllocation(long allowed, std::size_t recoveredBy = 0, std::size_t smallest = 0);
    ~FailingAllocation();
    FailingAllocation(const FailingAllocation &) = delete;
    FailingAllocation &operator=(const FailingAllocation &) = delete;

    // The allocations of at least `smallest` bytes asked for so far, any that
    // failed included.
    [[nodiscard]] std::size_t count() const;
    // Whether one failed.
    [[nodiscard]] bool failed() const;
};

} // namespace lorimand::test

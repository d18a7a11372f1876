#include "failingallocation.h"

#include <cstdlib>
#include <new>

namespace {

// Allocations still let through before one fails; negative when none will.
long gAllowed = -1;
bool gCounting = false;
std::size_t gCount = 0;
bool gFailed = false;

void *allocate(std::size_t size)
{
    if (gCounting) {
        ++gCount;
        if (gAllowed == 0) {
            gAllowed = -1; // once: what handles the failure may allocate again
            gFailed = true;
            throw std::bad_alloc();
        }
        if (gAllowed > 0) {
            --gAllowed;
        }
    }
    if (void *memory = std::malloc(size == 0 ? 1 : size)) {
        return memory;
    }
    throw std::bad_alloc();
}

} // namespace

void *operator new(std::size_t size)
{
    return allocate(size);
}

void *operator new[](std::size_t size)
{
    return allocate(size);
}

void operator delete(void *memory) noexcept
{
    std::free(memory);
}

void operator delete[](void *memory) noexcept
{
    std::free(memory);
}

void operator delete(void *memory, std::size_t /*size*/) noexcept
{
    std::free(memory);
}

void operator delete[](void *memory, std::size_t /*size*/) noexcept
{
    std::free(memory);
}

namespace lorimand::test {

FailingAllocation::FailingAllocation(long allowed)
{
    gAllowed = allowed;
    gCount = 0;
    gFailed = false;
    gCounting = true;
}

FailingAllocation::~FailingAllocation()
{
    gCounting = false;
    gAllowed = -1;
}

std::size_t FailingAllocation::count() const
{
    return gCount;
}

bool FailingAllocation::failed() const
{
    return gFailed;
}

} // namespace lorimand::test

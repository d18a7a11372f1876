#include "failingallocation.h"

#include <cstdlib>
#include <new>

#include <malloc.h>

namespace {

// Allocations of at least gSmallest bytes still let through before memory runs
// out; negative when it will not.
long gAllowed = -1;
std::size_t gSmallest = 0;
bool gCounting = false;
std::size_t gCount = 0;
bool gFailed = false;
// While memory is out: the bytes to be given back before it is in again.
std::size_t gRecoveredBy = 0;
bool gOut = false;
std::size_t gGivenBack = 0;

void *allocate(std::size_t size)
{
    if (gCounting) {
        if (gOut) {
            gFailed = true;
            throw std::bad_alloc();
        }
        if (size >= gSmallest) {
            ++gCount;
            if (gAllowed == 0 && gRecoveredBy == 0) {
                gAllowed = -1; // once: what handles the failure may allocate again
                gFailed = true;
                throw std::bad_alloc();
            }
            if (gAllowed > 0 && --gAllowed == 0 && gRecoveredBy > 0) {
                // This one takes the last there was.
                gAllowed = -1;
                gFailed = true;
                gOut = true;
                gGivenBack = 0;
            }
        }
    }
    if (void *memory = std::malloc(size == 0 ? 1 : size)) {
        return memory;
    }
    throw std::bad_alloc();
}

void release(void *memory) noexcept
{
    if (gOut && memory != nullptr) {
        gGivenBack += malloc_usable_size(memory);
        gOut = gGivenBack < gRecoveredBy;
    }
    std::free(memory);
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
    release(memory);
}

void operator delete[](void *memory) noexcept
{
    release(memory);
}

void operator delete(void *memory, std::size_t /*size*/) noexcept
{
    release(memory);
}

void operator delete[](void *memory, std::size_t /*size*/) noexcept
{
    release(memory);
}

namespace lorimand::test {

FailingAllocation::FailingAllocation(long allowed, std::size_t recoveredBy, std::size_t smallest)
{
    gAllowed = allowed;
    gRecoveredBy = recoveredBy;
    gSmallest = smallest;
    gOut = allowed == 0 && recoveredBy > 0;
    gGivenBack = 0;
    gCount = 0;
    gFailed = false;
    gCounting = true;
}

FailingAllocation::~FailingAllocation()
{
    gCounting = false;
    gAllowed = -1;
    gSmallest = 0;
    gOut = false;
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

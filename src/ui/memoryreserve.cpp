#include "ui/memoryreserve.h"

#include <new>

namespace lorimand {

MemoryReserve::MemoryReserve(std::size_t bytes) : bytes_(bytes), block_(new char[bytes]) {}

void MemoryReserve::release() noexcept
{
    block_.reset();
}

void MemoryReserve::restore() noexcept
{
    if (!block_) {
        block_.reset(new (std::nothrow) char[bytes_]);
    }
}

} // namespace lorimand

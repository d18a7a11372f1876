// Memory kept back for telling the user that memory ran out: when it has, there
// may be too little left to build even a message box. The reserve is given up
// just before the message, and taken again once there is room.
#pragma once

#include <cstddef>
#include <memory>

namespace lorimand {

class MemoryReserve
{
public:
    // Takes `bytes` at once; address space only, no page is touched.
    explicit MemoryReserve(std::size_t bytes);

    // Gives the reserve up, so that what follows has room.
    void release() noexcept;
    // Takes the reserve again if it was given up and there is room for it now.
    void restore() noexcept;
    [[nodiscard]] bool held() const noexcept { return block_ != nullptr; }

private:
    std::size_t bytes_;
    std::unique_ptr<char[]> block_;
};

} // namespace lorimand

#include "engine/descriptor.h"

#include <cerrno>
#include <system_error>

#include <unistd.h>

#include "engine/systemcalls.h"

namespace lorimand {

void FileDescriptor::reset(int fd) noexcept
{
    if (fd_ >= 0) {
        ::close(fd_);
    }
    fd_ = fd;
}

int FileDescriptor::close(SystemCalls &calls) noexcept
{
    const int fd = release();
    if (fd >= 0 && calls.close(fd) != 0) {
        return errno;
    }
    return 0;
}

int FileDescriptor::release() noexcept
{
    const int fd = fd_;
    fd_ = -1;
    return fd;
}

int writeAll(SystemCalls &calls, int fd, const char *data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = calls.write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return 0;
}

ssize_t readSome(SystemCalls &calls, int fd, char *buffer, std::size_t size)
{
    for (;;) {
        const ssize_t got = calls.read(fd, buffer, size);
        if (got >= 0 || errno != EINTR) {
            return got;
        }
    }
}

std::string systemReason(int error)
{
    switch (error) {
    case ENOSPC:
        return "The disk is full";
    case EDQUOT:
        return "The disk quota is used up";
    case EFBIG:
        return "The file is larger than this system or its limits allow";
    case ELOOP:
        return "Too many links in a row, or a loop of links";
    case EXDEV:
        return "The file and its folder are on different disks";
    default:
        return std::generic_category().message(error);
    }
}

} // namespace lorimand

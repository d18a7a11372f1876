// The system-call layer under the file layer: a descriptor owned by one object
// and closed when it goes, reads and writes that go on after interruptions, and
// the system's words for an error.
#pragma once

#include <cstddef>
#include <string>

#include <sys/types.h>

namespace lorimand {

class SystemCalls;

class FileDescriptor
{
public:
    FileDescriptor() noexcept = default;
    explicit FileDescriptor(int fd) noexcept : fd_(fd) {}
    ~FileDescriptor() { reset(); }
    FileDescriptor(FileDescriptor &&other) noexcept : fd_(other.release()) {}
    FileDescriptor &operator=(FileDescriptor &&other) noexcept
    {
        if (this != &other) {
            reset(other.release());
        }
        return *this;
    }
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;

    [[nodiscard]] int get() const noexcept { return fd_; }
    [[nodiscard]] bool isOpen() const noexcept { return fd_ >= 0; }
    // Closes the descriptor held, if any, and takes fd.
    void reset(int fd = -1) noexcept;
    // Closes now, through calls; 0 or the errno of the close, which can report a
    // failed write late.
    [[nodiscard]] int close(SystemCalls &calls) noexcept;

private:
    [[nodiscard]] int release() noexcept;

    int fd_ = -1;
};

// Writes every byte, going on after partial writes and interruptions; 0 or errno.
[[nodiscard]] int writeAll(SystemCalls &calls, int fd, const char *data, std::size_t size);
// One read, repeated when interrupted; as read(2).
[[nodiscard]] ssize_t readSome(SystemCalls &calls, int fd, char *buffer, std::size_t size);

// Plain words for errno error: the system's ("No such file or directory"), or
// clearer ones where the system's are technical ("The disk is full").
[[nodiscard]] std::string systemReason(int error);

} // namespace lorimand

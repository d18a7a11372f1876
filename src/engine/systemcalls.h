// The system calls under the file layer, behind one interface, so that tests can
// make any of them fail (a full disk, a file that vanishes, a read error halfway)
// whoever runs them, the superuser included.
#pragma once

#include <cstddef>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>

namespace lorimand {

class SystemCalls
{
public:
    virtual ~SystemCalls() = default;
    // As the POSIX calls of the same names: -1 and errno on a failure.
    virtual int open(const char *path, int flags, mode_t mode);
    virtual ssize_t read(int fd, void *buffer, std::size_t size);
    virtual ssize_t pread(int fd, void *buffer, std::size_t size, off_t offset);
    virtual ssize_t write(int fd, const void *data, std::size_t size);
    virtual ssize_t pwrite(int fd, const void *data, std::size_t size, off_t offset);
    virtual int fsync(int fd);
    virtual int fstat(int fd, struct stat *info);
    virtual int stat(const char *path, struct stat *info);
    virtual int lstat(const char *path, struct stat *info);
    virtual ssize_t readlink(const char *path, char *buffer, std::size_t size);
    virtual int access(const char *path, int mode); // for the effective user
    virtual int rename(const char *from, const char *to);
    virtual int unlink(const char *path);
    virtual int linkat(int fromFolder, const char *from, int toFolder, const char *to, int flags);
    // Reserves space without changing the file's size; as fallocate(2) with
    // FALLOC_FL_KEEP_SIZE.
    virtual int reserve(int fd, off_t size);
    virtual int ftruncate(int fd, off_t size);
    virtual int fchown(int fd, uid_t owner, gid_t group);
    virtual int fchmod(int fd, mode_t mode);
    // Closes fd whatever it returns, as close(2) on Linux does.
    virtual int close(int fd);
};

// The machine's own calls.
[[nodiscard]] SystemCalls &realSystemCalls();

} // namespace lorimand

#include "engine/systemcalls.h"

#include <cstdio>

#include <unistd.h>

namespace lorimand {

int SystemCalls::open(const char *path, int flags, mode_t mode)
{
    return ::open(path, flags, mode);
}

ssize_t SystemCalls::read(int fd, void *buffer, std::size_t size)
{
    return ::read(fd, buffer, size);
}

ssize_t SystemCalls::pread(int fd, void *buffer, std::size_t size, off_t offset)
{
    return ::pread(fd, buffer, size, offset);
}

ssize_t SystemCalls::write(int fd, const void *data, std::size_t size)
{
    return ::write(fd, data, size);
}

ssize_t SystemCalls::pwrite(int fd, const void *data, std::size_t size, off_t offset)
{
    return ::pwrite(fd, data, size, offset);
}

int SystemCalls::fsync(int fd)
{
    return ::fsync(fd);
}

int SystemCalls::fstat(int fd, struct stat *info)
{
    return ::fstat(fd, info);
}

int SystemCalls::stat(const char *path, struct stat *info)
{
    return ::stat(path, info);
}

int SystemCalls::lstat(const char *path, struct stat *info)
{
    return ::lstat(path, info);
}

ssize_t SystemCalls::readlink(const char *path, char *buffer, std::size_t size)
{
    return ::readlink(path, buffer, size);
}

int SystemCalls::access(const char *path, int mode)
{
    return ::faccessat(AT_FDCWD, path, mode, AT_EACCESS);
}

int SystemCalls::rename(const char *from, const char *to)
{
    return ::rename(from, to);
}

int SystemCalls::unlink(const char *path)
{
    return ::unlink(path);
}

int SystemCalls::linkat(int fromFolder, const char *from, int toFolder, const char *to, int flags)
{
    return ::linkat(fromFolder, from, toFolder, to, flags);
}

int SystemCalls::reserve(int fd, off_t size)
{
    return ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, size);
}

int SystemCalls::ftruncate(int fd, off_t size)
{
    return ::ftruncate(fd, size);
}

int SystemCalls::fchown(int fd, uid_t owner, gid_t group)
{
    return ::fchown(fd, owner, group);
}

int SystemCalls::fchmod(int fd, mode_t mode)
{
    return ::fchmod(fd, mode);
}

int SystemCalls::close(int fd)
{
    return ::close(fd);
}

SystemCalls &realSystemCalls()
{
    static SystemCalls calls;
    return calls;
}

} // namespace lorimand

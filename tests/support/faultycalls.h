// The machine's system calls, one kind of which fails on demand, so that every
// fault behind the file layer (a full disk, a file that vanishes, a read error
// halfway) bites whoever runs the test, the superuser included.
#pragma once

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <functional>
#include <set>
#include <string>
#include <string_view>

#include <fcntl.h>

#include <QMetaType>

#include "engine/systemcalls.h"

namespace lorimand::test {

class FaultyCalls final : public SystemCalls
{
public:
    enum class Call
    {
        None,
        Open,
        OpenUnnamed, // opening an unnamed file (O_TMPFILE) only
        Read,
        Write,
        WriteAt, // pwrite: writing a file in place
        Fsync,
        Link,
        Rename,
        Unlink,
        Reserve,
        Chown,
        Close,
    };
    // The kind that fails, with error, once it has succeeded `after` times; every
    // call of that kind fails from then on, or, with `once`, only that one.
    Call failing = Call::None;
    int error = EIO;
    int after = 0;
    bool once = false;
    Call alsoFailing = Call::None; // fails always, with alsoError
    int alsoError = EOPNOTSUPP;
    // Every folder as if on a disk of its own: a rename between folders fails.
    bool foldersOnOwnDisks = false;
    // When not 0, each read and write moves at most this many bytes, so that a
    // file is read or written in several calls and a fault after the first one
    // strikes halfway.
    std::size_t chunk = 0;
    // When not empty, only opening and removing the file of this path fails, and
    // only reading, writing and flushing what that opened: the program's other
    // files are spared.
    std::string onlyFile;
    // Called before each open with its path, to change the file system between
    // what the program looked at and what it opens (another user swapping names).
    std::function<void(const char *path, int flags)> beforeOpen;

    int open(const char *path, int flags, mode_t mode) override
    {
        if (beforeOpen) {
            beforeOpen(path, flags);
        }
        const bool spared = !onlyFile.empty() && onlyFile != path;
        if (!spared) {
            if ((flags & O_TMPFILE) == O_TMPFILE &&
                (fails(Call::OpenUnnamed) || fails(Call::Open))) {
                return -1;
            }
            if ((flags & O_TMPFILE) != O_TMPFILE && fails(Call::Open)) {
                return -1;
            }
        }
        const int fd = SystemCalls::open(path, flags, mode);
        // A number given again was closed first: it is another file now.
        if (spared) {
            watched_.erase(fd);
        } else {
            watched_.insert(fd);
        }
        return fd;
    }
    ssize_t read(int fd, void *buffer, std::size_t size) override
    {
        return fails(Call::Read, fd) ? -1 : SystemCalls::read(fd, buffer, capped(size));
    }
    ssize_t write(int fd, const void *data, std::size_t size) override
    {
        return fails(Call::Write, fd) ? -1 : SystemCalls::write(fd, data, capped(size));
    }
    ssize_t pwrite(int fd, const void *data, std::size_t size, off_t offset) override
    {
        return fails(Call::WriteAt, fd) ? -1 : SystemCalls::pwrite(fd, data, capped(size), offset);
    }
    int fsync(int fd) override { return fails(Call::Fsync, fd) ? -1 : SystemCalls::fsync(fd); }
    int linkat(int fromFolder, const char *from, int toFolder, const char *to, int flags) override
    {
        return fails(Call::Link) ? -1 : SystemCalls::linkat(fromFolder, from, toFolder, to, flags);
    }
    int rename(const char *from, const char *to) override
    {
        const auto folder = [](std::string_view path) {
            return path.substr(0, path.rfind('/'));
        };
        if (foldersOnOwnDisks && folder(from) != folder(to)) {
            errno = EXDEV;
            return -1;
        }
        return fails(Call::Rename) ? -1 : SystemCalls::rename(from, to);
    }
    int unlink(const char *path) override
    {
        const bool spared = !onlyFile.empty() && onlyFile != path;
        return !spared && fails(Call::Unlink) ? -1 : SystemCalls::unlink(path);
    }
    int fchown(int fd, uid_t owner, gid_t group) override
    {
        return fails(Call::Chown) ? -1 : SystemCalls::fchown(fd, owner, group);
    }
    int close(int fd) override
    {
        if (fails(Call::Close, fd)) {
            // Closed all the same, as Linux does on a failing close.
            const int given = errno;
            SystemCalls::close(fd);
            errno = given;
            return -1;
        }
        return SystemCalls::close(fd);
    }
    int reserve(int fd, off_t size) override
    {
        return fails(Call::Reserve) ? -1 : SystemCalls::reserve(fd, size);
    }

private:
    [[nodiscard]] std::size_t capped(std::size_t size) const
    {
        return chunk == 0 ? size : std::min(size, chunk);
    }
    bool fails(Call call, int fd)
    {
        return (onlyFile.empty() || watched_.contains(fd)) && fails(call);
    }
    bool fails(Call call)
    {
        if (call == alsoFailing) {
            errno = alsoError;
            return true;
        }
        if (call != failing || after-- > 0) {
            return false;
        }
        if (once) {
            failing = Call::None;
        }
        errno = error;
        return true;
    }

    std::set<int> watched_;
};

} // namespace lorimand::test

Q_DECLARE_METATYPE(lorimand::test::FaultyCalls::Call)

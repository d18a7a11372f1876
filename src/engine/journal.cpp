#include "engine/journal.h"

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <type_traits>
#include <vector>

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <unistd.h>

#include "engine/paths.h"

namespace lorimand {

namespace {

constexpr std::size_t kBlock = std::size_t{128} * 1024;
constexpr std::string_view kSuffix = ".lorimand-journal";
// Written last: a journal without it was still being made, and its file untouched.
constexpr std::string_view kMark = "lorimand-jrnl-1\n";

struct Header
{
    char mark[16];
    std::uint64_t device;
    std::uint64_t inode;
    std::uint64_t length;     // of the old file, whose bytes follow the path
    std::uint64_t pathLength; // of the file's real path, which follows the header
};
static_assert(std::is_trivially_copyable_v<Header> && sizeof(Header) == 48);
static_assert(kMark.size() == sizeof(Header::mark));

[[nodiscard]] std::string besideJournal(const std::string &realPath)
{
    // Cut so that the whole stays a legal name; the header tells two cut names apart.
    return folderOf(realPath) + "." + nameOf(realPath).substr(0, NAME_MAX - kSuffix.size() - 1) +
           std::string(kSuffix);
}

[[nodiscard]] std::string stateFolder()
{
    if (const char *state = std::getenv("XDG_STATE_HOME"); state != nullptr && *state == '/') {
        return std::string(state) + "/lorimand";
    }
    std::string home;
    if (const char *variable = std::getenv("HOME"); variable != nullptr && *variable == '/') {
        home = variable;
    } else if (const passwd *user = ::getpwuid(::geteuid()); user != nullptr) {
        home = user->pw_dir;
    }
    return home + "/.local/state/lorimand";
}

[[nodiscard]] std::string stateJournal(const struct stat &info)
{
    char name[64];
    std::snprintf(name, sizeof name, "%llx-%llx", static_cast<unsigned long long>(info.st_dev),
                  static_cast<unsigned long long>(info.st_ino));
    return stateFolder() + "/" + name + std::string(kSuffix);
}

[[nodiscard]] int syncData(SystemCalls &calls, int fd)
{
    // A file system that cannot sync still takes the bytes.
    return calls.fsync(fd) != 0 && errno != EINVAL ? errno : 0;
}

// Copies length bytes from `from` at fromAt to `to` at toAt. 0 or errno.
[[nodiscard]] int copyBytes(SystemCalls &calls, int from, off_t fromAt, int to, off_t toAt,
                            off_t length)
{
    std::vector<char> block(kBlock);
    for (off_t done = 0; done < length;) {
        const auto want = static_cast<std::size_t>(std::min<off_t>(length - done, kBlock));
        const ssize_t got = calls.pread(from, block.data(), want, fromAt + done);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return got < 0 ? errno : EIO; // shorter than recorded
        }
        for (ssize_t put = 0; put < got;) {
            const ssize_t wrote = calls.pwrite(
                to, block.data() + put, static_cast<std::size_t>(got - put), toAt + done + put);
            if (wrote < 0 && errno == EINTR) {
                continue;
            }
            if (wrote <= 0) {
                return wrote < 0 ? errno : EIO;
            }
            put += wrote;
        }
        done += got;
    }
    return 0;
}

// The old bytes from the journal back into target, cut to their length, on disk.
[[nodiscard]] int putBack(SystemCalls &calls, int journal, off_t dataAt, off_t length, int target)
{
    if (const int error = copyBytes(calls, journal, dataAt, target, 0, length); error != 0) {
        return error;
    }
    if (calls.ftruncate(target, length) != 0) {
        return errno;
    }
    return syncData(calls, target);
}

// Reads a journal's header and path; false for one not in force (no mark, or not
// the size its header gives).
[[nodiscard]] bool readHeader(SystemCalls &calls, int fd, off_t size, Header &header,
                              std::string &path)
{
    if (calls.pread(fd, &header, sizeof header, 0) != static_cast<ssize_t>(sizeof header) ||
        std::memcmp(header.mark, kMark.data(), kMark.size()) != 0 || header.pathLength > PATH_MAX ||
        static_cast<std::uint64_t>(size) != sizeof header + header.pathLength + header.length) {
        return false;
    }
    path.resize(header.pathLength);
    return calls.pread(fd, path.data(), path.size(), sizeof header) ==
           static_cast<ssize_t>(path.size());
}

struct Outcome
{
    bool restored = false;
    int error = 0;
};

// Rolls back the journal at journalPath if it is one in force for the file at path.
[[nodiscard]] Outcome rollBackOne(SystemCalls &calls, const std::string &path,
                                  const struct stat &info, const std::string &journalPath)
{
    struct stat seen = {};
    if (calls.lstat(journalPath.c_str(), &seen) != 0 || !S_ISREG(seen.st_mode) ||
        seen.st_uid != ::geteuid()) {
        return {};
    }
    const FileDescriptor journal(
        calls.open(journalPath.c_str(), O_RDONLY | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, 0));
    if (!journal.isOpen()) {
        return {};
    }
    // A writer holds its journal locked until it is gone: a write going on.
    if (::flock(journal.get(), LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
        return {};
    }
    struct stat held = {};
    if (calls.fstat(journal.get(), &held) != 0 || held.st_nlink == 0) {
        return {}; // removed meanwhile
    }
    Header header = {};
    std::string recorded;
    if (!readHeader(calls, journal.get(), held.st_size, header, recorded)) {
        (void)calls.unlink(journalPath.c_str());
        return {};
    }
    // A journal whose file is no longer at its path (removed, or replaced by
    // another) is of no use; its inode may even name another file by now.
    struct stat there = {};
    if (calls.stat(recorded.c_str(), &there) != 0 || there.st_dev != header.device ||
        there.st_ino != header.inode) {
        (void)calls.unlink(journalPath.c_str());
        return {};
    }
    if (info.st_dev != header.device || info.st_ino != header.inode) {
        return {}; // another file's, at a cut name
    }
    const FileDescriptor target(calls.open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC, 0));
    if (!target.isOpen()) {
        return {false, errno};
    }
    const auto length = static_cast<off_t>(header.length);
    if (const int error =
            putBack(calls, journal.get(), static_cast<off_t>(sizeof header + header.pathLength),
                    length, target.get());
        error != 0) {
        return {false, error};
    }
    // Should it stay, rolling it back again changes nothing.
    if (calls.unlink(journalPath.c_str()) == 0) {
        syncFolderOf(journalPath);
    }
    return {true, 0};
}

} // namespace

Journal::Journal(SystemCalls &calls, const std::string &path, int target, const struct stat &info)
    : calls_(calls)
{
    // Beside the file, where it travels with it; otherwise where it is found
    // through any of the file's names, or where the user may write at all.
    if (info.st_nlink == 1 && calls_.access(folderOrDot(path).c_str(), W_OK | X_OK) == 0) {
        path_ = besideJournal(path);
    } else {
        path_ = stateJournal(info);
        error_ = makeOwnFolders(stateFolder());
        if (error_ != 0) {
            return;
        }
    }
    error_ = create();
    if (error_ == 0) {
        error_ = fill(target, info, path);
    }
}

Journal::~Journal()
{
    if (!inForce_ && fd_.isOpen()) {
        (void)calls_.unlink(path_.c_str());
    }
}

int Journal::create()
{
    for (int attempt = 0; attempt < 3; ++attempt) {
        fd_.reset(
            calls_.open(path_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (!fd_.isOpen()) {
            return errno;
        }
        // Held until the journal is gone, so that no one takes it for a leftover.
        while (::flock(fd_.get(), LOCK_EX) != 0 && errno == EINTR) {
        }
        // Someone who came between making it and locking it took it for a leftover.
        struct stat made = {};
        if (calls_.fstat(fd_.get(), &made) != 0 || made.st_nlink != 0) {
            return 0;
        }
        fd_.reset();
    }
    return EEXIST;
}

int Journal::fill(int target, const struct stat &info, const std::string &filePath)
{
    Header header = {};
    header.device = static_cast<std::uint64_t>(info.st_dev);
    header.inode = static_cast<std::uint64_t>(info.st_ino);
    header.length = static_cast<std::uint64_t>(info.st_size);
    header.pathLength = filePath.size();
    length_ = info.st_size;
    dataAt_ = static_cast<off_t>(sizeof header + filePath.size());
    if (int error =
            writeAll(calls_, fd_.get(), reinterpret_cast<const char *>(&header), sizeof header);
        error != 0) {
        return error;
    }
    if (int error = writeAll(calls_, fd_.get(), filePath.data(), filePath.size()); error != 0) {
        return error;
    }
    if (int error = copyBytes(calls_, target, 0, fd_.get(), dataAt_, length_); error != 0) {
        return error;
    }
    // Every byte on disk before the mark, and the mark before the file is touched.
    if (int error = syncData(calls_, fd_.get()); error != 0) {
        return error;
    }
    const ssize_t marked = calls_.pwrite(fd_.get(), kMark.data(), kMark.size(), 0);
    if (marked != static_cast<ssize_t>(kMark.size())) {
        return marked < 0 ? errno : EIO;
    }
    if (int error = syncData(calls_, fd_.get()); error != 0) {
        return error;
    }
    syncFolderOf(path_);
    inForce_ = true;
    return 0;
}

int Journal::remove()
{
    if (calls_.unlink(path_.c_str()) != 0) {
        return errno;
    }
    inForce_ = false;
    fd_.reset();
    syncFolderOf(path_);
    return 0;
}

int Journal::rollBack(int target)
{
    if (const int error = putBack(calls_, fd_.get(), dataAt_, length_, target); error != 0) {
        return error;
    }
    return remove();
}

Recovery rollBackJournalOf(SystemCalls &calls, const std::string &path, const struct stat &info)
{
    Recovery recovery;
    for (const std::string &journal : {besideJournal(realPathOf(path)), stateJournal(info)}) {
        const Outcome outcome = rollBackOne(calls, path, info, journal);
        recovery.restored = recovery.restored || outcome.restored;
        if (outcome.error != 0 && !recovery.error) {
            recovery.error = FileError{
                path, "It was being written in place when that write was interrupted, and it "
                      "cannot be restored from its journal " +
                          journal + ": " + systemReason(outcome.error)};
        }
    }
    return recovery;
}

} // namespace lorimand

#include "engine/outputfile.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include "engine/endingsignals.h"
#include "engine/journal.h"
#include "engine/paths.h"

namespace lorimand {

namespace {

constexpr std::size_t kCopyBlock = std::size_t{128} * 1024;
// Hidden scratch names carry this and the writer's process number, so that one
// left by a killed run can be told from one another run is writing.
constexpr std::string_view kScratchMark = ".lorimand-";

// Six letters or digits that differ from call to call; creating the file with
// O_EXCL makes the name safe, this only makes a clash unlikely.
[[nodiscard]] std::string randomSuffix()
{
    static std::atomic<std::uint64_t> counter{0};
    std::uint64_t x =
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
        (static_cast<std::uint64_t>(::getpid()) << 32) ^
        (counter.fetch_add(1) * 0x9E3779B97F4A7C15ull);
    x ^= x >> 30;
    x *= 0xBF58476D1CE4E5B9ull;
    x ^= x >> 27;
    x *= 0x94D049BB133111EBull;
    x ^= x >> 31;
    static constexpr char kAlphabet[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::string suffix;
    for (int i = 0; i < 6; ++i) {
        suffix.push_back(kAlphabet[x % 62]);
        x /= 62;
    }
    return suffix;
}

// "." + name + ".lorimand-", the name cut so that the whole stays a legal name.
[[nodiscard]] std::string hiddenScratchPrefix(const std::string &target)
{
    std::string prefix(1, '.');
    prefix.append(nameOf(target), 0, NAME_MAX - 40);
    prefix.append(kScratchMark);
    return prefix;
}

// Removes the hidden scratch files for target that runs killed before they could
// remove them left behind: the user's own, of a process no longer running.
void removeStaleScratchFiles(const std::string &target)
{
    const std::string folder = folderOrDot(target);
    const std::string prefix = hiddenScratchPrefix(target);
    const std::unique_ptr<DIR, int (*)(DIR *)> dir(::opendir(folder.c_str()), &::closedir);
    if (!dir) {
        return;
    }
    std::vector<std::string> stale;
    while (const dirent *entry = ::readdir(dir.get())) {
        const std::string_view name = entry->d_name;
        if (!name.starts_with(prefix)) {
            continue;
        }
        char *end = nullptr;
        const long pid = std::strtol(entry->d_name + prefix.size(), &end, 10);
        struct stat info = {};
        if (pid <= 0 || *end != '-' ||
            ::fstatat(::dirfd(dir.get()), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISREG(info.st_mode) || info.st_uid != ::geteuid()) {
            continue;
        }
        if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) {
            stale.emplace_back(name);
        }
    }
    for (const std::string &name : stale) {
        ::unlinkat(::dirfd(dir.get()), name.c_str(), 0);
    }
}

[[nodiscard]] std::string freshHiddenScratch(const std::string &target)
{
    return folderOf(target) + hiddenScratchPrefix(target) + std::to_string(::getpid()) + "-" +
           randomSuffix();
}

struct TemporaryFolder
{
    std::string path;
    std::string shown; // how a message names it: TMPDIR by that name, to be recognised
};

[[nodiscard]] TemporaryFolder temporaryFolder()
{
    const char *folder = std::getenv("TMPDIR");
    if (folder != nullptr && *folder == '/') {
        return {folder, "TMPDIR " + std::string(folder)};
    }
    return {"/tmp", "the temporary folder /tmp"};
}

// Whether an unnamed file can be given a name through /proc.
[[nodiscard]] bool canNameUnnamedFiles()
{
    static const bool available = ::access("/proc/self/fd", X_OK) == 0;
    return available;
}

} // namespace

bool isOthersInSharedFolder(SystemCalls &calls, const std::string &path, uid_t owner)
{
    struct stat folder = {};
    if (calls.stat(folderOrDot(path).c_str(), &folder) != 0) {
        return false; // the walk itself fails then, with its own reason
    }
    const bool shared = (folder.st_mode & S_ISVTX) != 0 && (folder.st_mode & S_IWOTH) != 0;
    return shared && owner != ::geteuid() && owner != folder.st_uid;
}

OutputFile::OutputFile(const std::string &path, const WriteOptions &options, SystemCalls &calls)
    : calls_(calls), options_(options), path_(path), targetPath_(path)
{
    resolveLinks();
    if (error_) {
        return;
    }
    const std::optional<struct stat> existing = examineTarget();
    if (error_) {
        return;
    }
    switch (way_) {
    case Way::Direct:
        fd_.reset(calls_.open(path_.c_str(), O_WRONLY | O_TRUNC | O_NOCTTY | O_CLOEXEC, 0));
        if (!fd_.isOpen()) {
            fail(errno);
        }
        return;
    case Way::InPlace:
        openInPlace();
        return;
    case Way::Replace:
        break;
    }
    // A replaced file's mode is given once its owner is; until then only the
    // user may read the scratch file.
    const bool ownerOnly = existing || options_.access == NewFileAccess::OwnerOnly;
    openScratch(ownerOnly ? 0600 : 0666);
    if (!error_ && existing && !keepOwnerAndMode(*existing)) {
        // The owner or group cannot be kept by a new file: the file is written into.
        fd_.reset();
        removeNamedScratch();
        unnamed_ = false;
        way_ = Way::InPlace;
        openInPlace();
    }
}

OutputFile::~OutputFile()
{
    fd_.reset();
    removeNamedScratch();
}

void OutputFile::resolveLinks()
{
    std::string text(PATH_MAX, '\0');
    // The system follows at most 40 links in a row; a longer chain is a loop.
    for (int hops = 0; hops < 40; ++hops) {
        struct stat info = {};
        if (calls_.lstat(targetPath_.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            return;
        }
        if (isOthersInSharedFolder(calls_, targetPath_, info.st_uid)) {
            fail(std::string("It is a link that another user made in a folder anyone may "
                             "write to, so it is not followed"));
            return;
        }
        const ssize_t size = calls_.readlink(targetPath_.c_str(), text.data(), text.size());
        if (size < 0 || static_cast<std::size_t>(size) == text.size()) {
            return; // gone meanwhile, or too long to follow: the walk below says why
        }
        const std::string_view target(text.data(), static_cast<std::size_t>(size));
        targetPath_ = target.starts_with('/') ? std::string(target)
                                              : folderOf(targetPath_) + std::string(target);
    }
}

std::optional<struct stat> OutputFile::examineTarget()
{
    struct stat info = {};
    if (calls_.stat(targetPath_.c_str(), &info) != 0) {
        // A missing file (or the missing end of a link) is created; anything else,
        // a loop of links say, is an error.
        if (errno != ENOENT) {
            fail(errno);
        } else {
            removeStaleScratchFiles(targetPath_);
        }
        return std::nullopt;
    }
    if (S_ISREG(info.st_mode)) {
        const Recovery recovery = recoverInterruptedWrites(calls_, targetPath_, info);
        if (recovery.error) {
            fail(recovery.error->reason);
            return std::nullopt;
        }
        restored_ = recovery.restored;
        oldTextKeptIn_ = recovery.oldTextKeptIn;
        if (restored_ && calls_.stat(targetPath_.c_str(), &info) != 0) {
            fail(errno);
            return std::nullopt;
        }
    }
    targetExists_ = true;
    oldSize_ = info.st_size;
    if (S_ISDIR(info.st_mode)) {
        fail(EISDIR);
    } else if (!S_ISREG(info.st_mode)) {
        way_ = Way::Direct;
    } else if (calls_.access(targetPath_.c_str(), W_OK) != 0) {
        // A file its owner made read-only is not replaced behind its back.
        fail(errno);
    } else if (info.st_nlink != 1 ||
               calls_.access(folderOrDot(targetPath_).c_str(), W_OK | X_OK) != 0) {
        // Replacing would part the file from its other links, or cannot happen in
        // a folder the user may not write.
        way_ = Way::InPlace;
    }
    return info;
}

void OutputFile::openScratch(mode_t mode)
{
    if (canNameUnnamedFiles()) {
        fd_.reset(
            calls_.open(folderOrDot(targetPath_).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode));
        if (fd_.isOpen()) {
            unnamed_ = true;
            return;
        }
        // A file system without unnamed files takes a named scratch file; other
        // reasons (no permission, a full disk) hold for that one too.
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
            fail(errno);
            return;
        }
    }
    openNamedScratch(mode);
}

void OutputFile::openNamedScratch(mode_t mode)
{
    const int flags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
    if (!options_.scratchName.empty()) {
        // Whatever is left at the fixed name, a link above all, is removed, not followed.
        const std::string scratch = folderOf(targetPath_) + options_.scratchName;
        if (calls_.unlink(scratch.c_str()) != 0 && errno != ENOENT) {
            fail(errno);
            return;
        }
        fd_.reset(calls_.open(scratch.c_str(), flags, mode));
        if (!fd_.isOpen()) {
            fail(errno);
            return;
        }
        scratchPath_ = scratch;
        return;
    }
    int error = EEXIST;
    for (int attempt = 0; attempt < 100 && error == EEXIST; ++attempt) {
        const std::string candidate = freshHiddenScratch(targetPath_);
        fd_.reset(calls_.open(candidate.c_str(), flags, mode));
        if (fd_.isOpen()) {
            scratchPath_ = candidate;
            return;
        }
        error = errno;
    }
    fail(error);
}

bool OutputFile::keepOwnerAndMode(const struct stat &existing)
{
    struct stat scratch = {};
    if (calls_.fstat(fd_.get(), &scratch) != 0) {
        fail(errno);
        return true;
    }
    if ((scratch.st_uid != existing.st_uid || scratch.st_gid != existing.st_gid) &&
        calls_.fchown(fd_.get(), existing.st_uid, existing.st_gid) != 0) {
        return false;
    }
    // A file system that keeps no permissions still takes the contents.
    (void)calls_.fchmod(fd_.get(), existing.st_mode & 07777);
    return true;
}

void OutputFile::openInPlace()
{
    // Read too: its old bytes go into the journal first.
    target_.reset(calls_.open(targetPath_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC, 0));
    if (!target_.isOpen()) {
        fail(errno);
        return;
    }
    // The new text waits in an unnamed file until commit() knows its size.
    const TemporaryFolder temporary = temporaryFolder();
    const std::string &spool = temporary.path;
    fd_.reset(calls_.open(spool.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600));
    if (fd_.isOpen()) {
        return;
    }
    // Without unnamed files: a named one, unnamed at once.
    std::string name = spool + "/lorimand-" + randomSuffix();
    fd_.reset(calls_.open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!fd_.isOpen()) {
        fail("The new text cannot be held in " + temporary.shown + ": " + systemReason(errno));
        return;
    }
    (void)calls_.unlink(name.c_str());
}

void OutputFile::removeNamedScratch() noexcept
{
    if (!scratchPath_.empty()) {
        ::unlink(scratchPath_.c_str());
        scratchPath_.clear();
    }
}

void OutputFile::fail(int error)
{
    fail(systemReason(error));
}

void OutputFile::fail(std::string reason)
{
    error_ = FileError{path_, std::move(reason)};
    fd_.reset();
    target_.reset();
    removeNamedScratch();
}

bool OutputFile::write(std::string_view bytes)
{
    if (error_ || !fd_.isOpen()) {
        return false;
    }
    if (const int error = writeAll(calls_, fd_.get(), bytes.data(), bytes.size()); error != 0) {
        fail(error);
        return false;
    }
    written_ += static_cast<off_t>(bytes.size());
    return true;
}

bool OutputFile::commit()
{
    if (error_ || !fd_.isOpen()) {
        return false;
    }
    switch (way_) {
    case Way::Direct:
        if (const int error = fd_.close(calls_); error != 0) {
            fail(error);
            return false;
        }
        return true;
    case Way::InPlace:
        return copyIntoTarget();
    case Way::Replace:
        return replaceTarget();
    }
    return false;
}

bool OutputFile::linkScratch()
{
    const std::string from = "/proc/self/fd/" + std::to_string(fd_.get());
    const auto link = [&](const std::string &to) {
        return calls_.linkat(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), AT_SYMLINK_FOLLOW) == 0;
    };
    // A new file takes its name at once, with no scratch name at all.
    if (!targetExists_ && options_.scratchName.empty()) {
        if (link(targetPath_)) {
            unnamed_ = false;
            return true;
        }
        if (errno != EEXIST) {
            fail(errno);
            return false;
        }
    }
    int error = EEXIST;
    if (!options_.scratchName.empty()) {
        const std::string scratch = folderOf(targetPath_) + options_.scratchName;
        (void)calls_.unlink(scratch.c_str());
        if (link(scratch)) {
            scratchPath_ = scratch;
            error = 0;
        } else {
            error = errno;
        }
    } else {
        for (int attempt = 0; attempt < 100 && error == EEXIST; ++attempt) {
            const std::string candidate = freshHiddenScratch(targetPath_);
            if (link(candidate)) {
                scratchPath_ = candidate;
                error = 0;
            } else {
                error = errno;
            }
        }
    }
    if (error != 0) {
        fail(error);
        return false;
    }
    unnamed_ = false;
    return true;
}

bool OutputFile::replaceTarget()
{
    // Every byte must be on disk before the new file takes the old one's place.
    if (calls_.fsync(fd_.get()) != 0 && errno != EINVAL) {
        fail(errno);
        return false;
    }
    if (unnamed_ && !linkScratch()) {
        return false;
    }
    if (const int error = fd_.close(calls_); error != 0) {
        fail(error);
        return false;
    }
    if (!scratchPath_.empty()) {
        if (calls_.rename(scratchPath_.c_str(), targetPath_.c_str()) != 0) {
            fail(errno);
            return false;
        }
        scratchPath_.clear();
    }
    syncFolderOf(targetPath_);
    return true;
}

bool OutputFile::copyIntoTarget()
{
    // From the journal to its removal an ending signal waits, so that the file is
    // whole, old or new, when the signal ends the process.
    const SignalDeferral deferral;
    // The space for the whole text first, so that a full disk leaves the old text whole.
    if (written_ > 0 && calls_.reserve(target_.get(), written_) != 0) {
        const int error = errno;
        if (error != EOPNOTSUPP && error != ENOSYS) {
            fail(error);
            return false;
        }
        // A file system that cannot reserve: at least the free space must suffice.
        struct statvfs space = {};
        if (written_ > oldSize_ && ::fstatvfs(target_.get(), &space) == 0 &&
            static_cast<unsigned long long>(space.f_bavail) * space.f_frsize <
                static_cast<unsigned long long>(written_ - oldSize_)) {
            fail(ENOSPC);
            return false;
        }
    }
    struct stat info = {};
    if (calls_.fstat(target_.get(), &info) != 0) {
        fail(errno);
        return false;
    }
    Journal journal(calls_, realPathOf(targetPath_), target_.get(), info, fd_.get(), written_);
    if (journal.failed()) {
        fail("It is written in place, and its journal " + journal.path() +
             " cannot be made: " + journal.reason());
        return false;
    }
    bool touched = false;
    // Stops the write with the file as it was, or, should that fail too, with the
    // journal left for the next read or write to roll back.
    const auto undo = [&](const std::string &reason) {
        const int error = touched ? journal.rollBack(target_.get()) : journal.remove();
        fail(error == 0 ? reason
                        : reason + "; the file was being written in place, and its journal " +
                              journal.path() + " restores it when it is next read or written");
        return false;
    };
    std::vector<char> block(kCopyBlock);
    for (off_t at = 0; at < written_;) {
        if (deferral.signalled()) {
            return undo("The write was stopped by a signal");
        }
        const ssize_t got = calls_.pread(fd_.get(), block.data(), block.size(), at);
        if (got <= 0) {
            return undo(systemReason(got < 0 ? errno : EIO));
        }
        touched = true;
        for (ssize_t done = 0; done < got;) {
            const ssize_t put = calls_.pwrite(target_.get(), block.data() + done,
                                              static_cast<std::size_t>(got - done), at + done);
            if (put < 0 && errno == EINTR) {
                continue;
            }
            if (put <= 0) {
                return undo(systemReason(put < 0 ? errno : EIO));
            }
            done += put;
        }
        at += got;
    }
    touched = true;
    if (calls_.ftruncate(target_.get(), written_) != 0 ||
        (calls_.fsync(target_.get()) != 0 && errno != EINVAL)) {
        return undo(systemReason(errno));
    }
    // The new text is on disk; removing the journal makes it the file's.
    if (const int error = journal.remove(); error != 0) {
        return undo("Its journal " + journal.path() + " cannot be removed: " + systemReason(error));
    }
    fd_.reset();
    // The new text is the file's now, flushed to disk: a failing close cannot
    // make that a failed write, only a warning.
    if (const int error = target_.close(calls_); error != 0) {
        warning_ = FileError{path_,
                             "The new text is in it, but closing it afterwards failed: " +
                                 systemReason(error),
                             false, false, true};
    }
    return true;
}

Recovery recoverInterruptedWrites(SystemCalls &calls, const std::string &path,
                                  const struct stat &info)
{
    removeStaleScratchFiles(realPathOf(path));
    return rollBackJournalOf(calls, path, info);
}

} // namespace lorimand

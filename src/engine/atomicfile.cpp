#include "engine/atomicfile.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdint>

#include <fcntl.h>
#include <unistd.h>

namespace lorimand {

namespace {

[[nodiscard]] std::string folderOf(const std::string &path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return {};
    }
    return path.substr(0, slash + 1);
}

[[nodiscard]] std::string nameOf(const std::string &path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The file that saving to path replaces or creates: path itself, or the end of the
// chain of links it starts, which need not exist yet. A link's text is taken
// relative to the link's own folder.
[[nodiscard]] std::string linkDestination(const std::string &path)
{
    std::string destination = path;
    std::string text(PATH_MAX, '\0');
    // The system follows at most 40 links in a row; a longer chain is a loop.
    for (int hops = 0; hops < 40; ++hops) {
        const ssize_t size = ::readlink(destination.c_str(), text.data(), text.size());
        if (size < 0 || static_cast<std::size_t>(size) == text.size()) {
            break; // not a link, or one too long to follow
        }
        const std::string_view target(text.data(), static_cast<std::size_t>(size));
        destination = target.starts_with('/') ? std::string(target)
                                              : folderOf(destination) + std::string(target);
    }
    return destination;
}

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

// Makes a rename durable; a folder that cannot be synced changes nothing.
void syncFolderOf(const std::string &path)
{
    const std::string folder = folderOf(path);
    const FileDescriptor dir(
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.isOpen()) {
        ::fsync(dir.get());
    }
}

} // namespace

AtomicOutputFile::AtomicOutputFile(const std::string &path, const std::string &scratchPath)
    : path_(path), targetPath_(path)
{
    const std::optional<struct stat> existing = examineTarget();
    if (error_) {
        return;
    }
    if (direct_) {
        openDirectly();
        return;
    }
    // Saving through a link replaces (or creates) the file it names and keeps the link.
    targetPath_ = linkDestination(path);
    if (scratchPath.empty()) {
        createHiddenScratch();
    } else {
        createNamedScratch(scratchPath);
    }
    if (!error_ && existing) {
        keepPermissionsOf(*existing);
    }
}

AtomicOutputFile::~AtomicOutputFile()
{
    fd_.reset();
    removeScratch();
}

std::optional<struct stat> AtomicOutputFile::examineTarget()
{
    struct stat info = {};
    if (::stat(path_.c_str(), &info) != 0) {
        // A missing file (or the missing end of a link) is created; anything else,
        // a loop of links say, is an error.
        if (errno != ENOENT) {
            error_ = systemError(path_, errno);
        }
        return std::nullopt;
    }
    if (S_ISDIR(info.st_mode)) {
        error_ = systemError(path_, EISDIR);
    } else if (!S_ISREG(info.st_mode)) {
        // A device or a pipe cannot be replaced by a file: it is written into.
        direct_ = true;
    } else if (::faccessat(AT_FDCWD, path_.c_str(), W_OK, AT_EACCESS) != 0) {
        // A file its owner made read-only is not replaced behind its back.
        error_ = systemError(path_, errno);
    }
    return info;
}

void AtomicOutputFile::openDirectly()
{
    fd_.reset(::open(path_.c_str(), O_WRONLY | O_TRUNC | O_NOCTTY | O_CLOEXEC));
    if (!fd_.isOpen()) {
        error_ = systemError(path_, errno);
    }
}

void AtomicOutputFile::createNamedScratch(const std::string &scratchPath)
{
    // Whatever is left at the fixed name, a link above all, is removed, not followed.
    if (::unlink(scratchPath.c_str()) != 0 && errno != ENOENT) {
        error_ = systemError(scratchPath, errno);
        return;
    }
    // A new file is created with 0666 less the umask.
    fd_.reset(
        ::open(scratchPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
    if (!fd_.isOpen()) {
        error_ = systemError(scratchPath, errno);
        return;
    }
    scratchPath_ = scratchPath;
}

void AtomicOutputFile::createHiddenScratch()
{
    // "." + name + "." + six characters, the name cut so that it stays a legal name.
    const std::string prefix =
        folderOf(targetPath_) + "." + nameOf(targetPath_).substr(0, NAME_MAX - 8) + ".";
    int error = EEXIST;
    for (int attempt = 0; attempt < 100 && error == EEXIST; ++attempt) {
        const std::string candidate = prefix + randomSuffix();
        fd_.reset(
            ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
        if (fd_.isOpen()) {
            scratchPath_ = candidate;
            return;
        }
        error = errno;
    }
    error_ = FileError{path_, "cannot create a temporary file beside it: " + systemReason(error)};
}

void AtomicOutputFile::keepPermissionsOf(const struct stat &replaced)
{
    // A file system that keeps no permissions still takes the contents.
    (void)::fchmod(fd_.get(), replaced.st_mode & 0777);
}

void AtomicOutputFile::removeScratch() noexcept
{
    if (!scratchPath_.empty()) {
        ::unlink(scratchPath_.c_str());
        scratchPath_.clear();
    }
}

void AtomicOutputFile::fail(const std::string &path, const std::string &reason)
{
    error_ = FileError{path, reason};
    fd_.reset();
    removeScratch();
}

bool AtomicOutputFile::write(std::string_view bytes)
{
    if (error_ || !fd_.isOpen()) {
        return false;
    }
    if (const int error = writeAll(fd_.get(), bytes.data(), bytes.size()); error != 0) {
        fail(path_, systemReason(error));
        return false;
    }
    return true;
}

bool AtomicOutputFile::commit()
{
    if (error_ || !fd_.isOpen()) {
        return false;
    }
    // Every byte must be on disk before the new file takes the old one's place; a
    // device or pipe written into directly has nothing to replace.
    if (!direct_ && ::fsync(fd_.get()) != 0 && errno != EINVAL) {
        fail(path_, systemReason(errno));
        return false;
    }
    if (const int error = fd_.close(); error != 0) {
        fail(path_, systemReason(error));
        return false;
    }
    if (direct_) {
        return true;
    }
    if (::rename(scratchPath_.c_str(), targetPath_.c_str()) != 0) {
        fail(path_, systemReason(errno));
        return false;
    }
    scratchPath_.clear();
    syncFolderOf(targetPath_);
    return true;
}

} // namespace lorimand

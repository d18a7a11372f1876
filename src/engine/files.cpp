#include "engine/files.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <memory>
#include <system_error>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lorimand {

namespace {

[[nodiscard]] std::string systemReason(int error)
{
    return std::generic_category().message(error);
}

[[nodiscard]] FileError systemError(const std::string &path, int error)
{
    return FileError{path, systemReason(error)};
}

// Closes a descriptor on every path out of a scope.
class Descriptor
{
public:
    explicit Descriptor(int fd) noexcept : fd_(fd) {}
    ~Descriptor()
    {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    [[nodiscard]] int get() const noexcept { return fd_; }

private:
    int fd_;
};

// Writes every byte, going on after partial writes and interruptions; 0 or errno.
[[nodiscard]] int writeAll(int fd, const char *data, std::size_t size) noexcept
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
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

[[nodiscard]] ssize_t readSome(int fd, char *buffer, std::size_t size) noexcept
{
    for (;;) {
        const ssize_t got = ::read(fd, buffer, size);
        if (got >= 0 || errno != EINTR) {
            return got;
        }
    }
}

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

class RealFileSystem final : public FileSystem
{
public:
    ReadResult readFile(const std::string &path) override
    {
        ReadResult result;
        const Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
        if (fd.get() < 0) {
            result.error = systemError(path, errno);
            return result;
        }
        struct stat info = {};
        if (::fstat(fd.get(), &info) != 0) {
            result.error = systemError(path, errno);
            return result;
        }
        if (S_ISDIR(info.st_mode)) {
            result.error = systemError(path, EISDIR);
            return result;
        }
        // One byte more than the size, so that the end shows without growing.
        std::string &bytes = result.bytes;
        const std::size_t expected =
            S_ISREG(info.st_mode) ? static_cast<std::size_t>(info.st_size) : 0;
        bytes.resize(expected + 1);
        std::size_t used = 0;
        for (;;) {
            if (used == bytes.size()) {
                bytes.resize(bytes.size() < 65536 ? 65536 : 2 * bytes.size());
            }
            const ssize_t got = readSome(fd.get(), bytes.data() + used, bytes.size() - used);
            if (got < 0) {
                result.error = systemError(path, errno);
                bytes.clear();
                return result;
            }
            if (got == 0) {
                break;
            }
            used += static_cast<std::size_t>(got);
        }
        bytes.resize(used);
        return result;
    }

    std::optional<FileError> writeFileAtomically(const std::string &path, std::string_view bytes,
                                                 const std::string &scratchPath) override
    {
        AtomicOutputFile file(path, scratchPath);
        if (file.write(bytes)) {
            (void)file.commit();
        }
        return file.error();
    }

    std::optional<FileError> createIfMissing(const std::string &path) override
    {
        const Descriptor fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666));
        if (fd.get() < 0) {
            return systemError(path, errno);
        }
        return std::nullopt;
    }

    std::vector<std::string> listFiles(const std::string &folder, std::string_view suffix) override
    {
        std::vector<std::string> names;
        const std::unique_ptr<DIR, int (*)(DIR *)> dir(
            ::opendir(folder.empty() ? "." : folder.c_str()), &::closedir);
        if (!dir) {
            return names;
        }
        while (const dirent *entry = ::readdir(dir.get())) {
            const std::string_view name = entry->d_name;
            if (name.starts_with('.') || !name.ends_with(suffix)) {
                continue;
            }
            // What a link names counts, so a link to an ordinary file is listed.
            bool ordinary = entry->d_type == DT_REG;
            if (entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK) {
                struct stat info = {};
                ordinary = ::fstatat(::dirfd(dir.get()), entry->d_name, &info, 0) == 0 &&
                           S_ISREG(info.st_mode);
            }
            if (ordinary) {
                names.emplace_back(name);
            }
        }
        return names;
    }

    std::optional<FileError> removeFile(const std::string &path) override
    {
        if (::unlink(path.c_str()) != 0 && errno != ENOENT) {
            return systemError(path, errno);
        }
        return std::nullopt;
    }
};

} // namespace

std::string FileError::message() const
{
    return path + ": " + reason;
}

FileSystem &realFileSystem()
{
    static RealFileSystem fileSystem;
    return fileSystem;
}

std::optional<FileError> writeStandardOutput(std::string_view bytes)
{
    if (const int error = writeAll(STDOUT_FILENO, bytes.data(), bytes.size()); error != 0) {
        return systemError("standard output", error);
    }
    return std::nullopt;
}

InputFile::InputFile(const std::string &path)
{
    if (path.empty() || path == "-") {
        path_ = "standard input";
        fd_ = STDIN_FILENO;
        return;
    }
    path_ = path;
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) {
        error_ = systemError(path_, errno);
        return;
    }
    ownsFd_ = true;
    struct stat info = {};
    if (::fstat(fd_, &info) != 0) {
        error_ = systemError(path_, errno);
    } else if (S_ISDIR(info.st_mode)) {
        error_ = systemError(path_, EISDIR);
    }
}

InputFile::~InputFile()
{
    if (ownsFd_ && fd_ >= 0) {
        ::close(fd_);
    }
}

std::size_t InputFile::read(char *buffer, std::size_t size)
{
    if (error_ || fd_ < 0 || size == 0) {
        return 0;
    }
    const ssize_t got = readSome(fd_, buffer, size);
    if (got < 0) {
        error_ = systemError(path_, errno);
        return 0;
    }
    return static_cast<std::size_t>(got);
}

AtomicOutputFile::AtomicOutputFile(const std::string &path, const std::string &scratchPath)
    : path_(path), targetPath_(path)
{
    struct stat info = {};
    const bool targetExists = ::stat(path.c_str(), &info) == 0;
    if (!targetExists && errno != ENOENT) {
        // Not a missing file (or the missing end of a link), e.g. a loop of links.
        error_ = systemError(path_, errno);
        return;
    }
    if (targetExists) {
        if (S_ISDIR(info.st_mode)) {
            error_ = systemError(path_, EISDIR);
            return;
        }
        // A device or a pipe cannot be replaced by a file: it is written into.
        if (!S_ISREG(info.st_mode)) {
            direct_ = true;
            fd_ = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_NOCTTY | O_CLOEXEC);
            if (fd_ < 0) {
                error_ = systemError(path_, errno);
            }
            return;
        }
        // A file its owner made read-only is not replaced behind its back.
        if (::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0) {
            error_ = systemError(path_, errno);
            return;
        }
    }
    // Saving through a link replaces (or creates) the file it names and keeps the link.
    targetPath_ = linkDestination(path);

    // A new file is created with 0666 less the umask; a replaced one keeps the
    // permissions of the file it replaces.
    if (!scratchPath.empty()) {
        // Whatever is left at the fixed name, a link above all, is removed, not followed.
        if (::unlink(scratchPath.c_str()) != 0 && errno != ENOENT) {
            error_ = systemError(scratchPath, errno);
            return;
        }
        fd_ =
            ::open(scratchPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd_ < 0) {
            error_ = systemError(scratchPath, errno);
            return;
        }
        scratchPath_ = scratchPath;
    } else {
        // "." + name + "." + six characters, the name cut so that it stays a legal name.
        const std::string prefix =
            folderOf(targetPath_) + "." + nameOf(targetPath_).substr(0, NAME_MAX - 8) + ".";
        int error = EEXIST;
        for (int attempt = 0; attempt < 100 && error == EEXIST; ++attempt) {
            const std::string candidate = prefix + randomSuffix();
            fd_ = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd_ >= 0) {
                scratchPath_ = candidate;
                error = 0;
            } else {
                error = errno;
            }
        }
        if (fd_ < 0) {
            error_ = FileError{path_,
                               "cannot create a temporary file beside it: " + systemReason(error)};
            return;
        }
    }
    if (targetExists) {
        // A file system that keeps no permissions still takes the contents.
        (void)::fchmod(fd_, info.st_mode & 0777);
    }
}

AtomicOutputFile::~AtomicOutputFile()
{
    if (fd_ >= 0) {
        ::close(fd_);
    }
    if (!scratchPath_.empty()) {
        ::unlink(scratchPath_.c_str());
    }
}

void AtomicOutputFile::fail(const std::string &path, const std::string &reason)
{
    error_ = FileError{path, reason};
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!scratchPath_.empty()) {
        ::unlink(scratchPath_.c_str());
        scratchPath_.clear();
    }
}

bool AtomicOutputFile::write(std::string_view bytes)
{
    if (error_ || fd_ < 0) {
        return false;
    }
    if (const int error = writeAll(fd_, bytes.data(), bytes.size()); error != 0) {
        fail(path_, systemReason(error));
        return false;
    }
    return true;
}

bool AtomicOutputFile::commit()
{
    if (error_ || fd_ < 0) {
        return false;
    }
    // Every byte must be on disk before the new file takes the old one's place; a
    // device or pipe written into directly has nothing to replace.
    if (!direct_ && ::fsync(fd_) != 0 && errno != EINVAL) {
        fail(path_, systemReason(errno));
        return false;
    }
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) {
        fail(path_, systemReason(errno));
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
    // Make the rename itself durable; a folder that cannot be synced changes nothing.
    const std::string folder = folderOf(targetPath_);
    const Descriptor dir(
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0) {
        ::fsync(dir.get());
    }
    return true;
}

} // namespace lorimand

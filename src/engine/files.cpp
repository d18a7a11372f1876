#include "engine/files.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>
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
    // Saving through a link replaces the file it names and keeps the link.
    struct stat info = {};
    if (::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
        if (char *real = ::realpath(path.c_str(), nullptr)) {
            targetPath_ = real;
            std::free(real);
        }
    }

    bool targetExists = false;
    if (::stat(targetPath_.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) {
            error_ = systemError(path_, EISDIR);
            return;
        }
        targetExists = true;
    }

    // A new file is created with 0666 less the umask; a replaced one keeps the
    // permissions of the file it replaces.
    if (!scratchPath.empty()) {
        fd_ = ::open(scratchPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (fd_ < 0) {
            error_ = systemError(scratchPath, errno);
            return;
        }
        scratchPath_ = scratchPath;
    } else {
        const std::string prefix = folderOf(targetPath_) + "." + nameOf(targetPath_) + ".";
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
    if (targetExists && ::fchmod(fd_, info.st_mode & 0777) != 0) {
        // The file system may not keep permissions; the contents matter more.
    }
}

AtomicOutputFile::~AtomicOutputFile()
{
    if (fd_ >= 0) {
        ::close(fd_);
    }
    if (!committed_ && !scratchPath_.empty()) {
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
    if (error_ || committed_ || fd_ < 0) {
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
    if (error_ || committed_ || fd_ < 0) {
        return false;
    }
    // Every byte must be on disk before the new file takes the old one's place.
    if (::fsync(fd_) != 0 && errno != EINVAL) {
        fail(path_, systemReason(errno));
        return false;
    }
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) {
        fail(path_, systemReason(errno));
        return false;
    }
    if (::rename(scratchPath_.c_str(), targetPath_.c_str()) != 0) {
        fail(path_, systemReason(errno));
        return false;
    }
    committed_ = true;
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

#include "engine/files.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <memory>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/descriptor.h"
#include "engine/outputfile.h"
#include "engine/systemcalls.h"

namespace lorimand {

namespace {

// What a file that is not an ordinary one is, for the reason it is refused.
[[nodiscard]] std::string notOrdinary(mode_t mode)
{
    if (S_ISFIFO(mode)) {
        return "It is a pipe, not an ordinary file";
    }
    if (S_ISCHR(mode) || S_ISBLK(mode)) {
        return "It is a device, not an ordinary file";
    }
    if (S_ISSOCK(mode)) {
        return "It is a socket, not an ordinary file";
    }
    return "It is not an ordinary file";
}

[[nodiscard]] std::string sizeText(std::size_t bytes)
{
    constexpr std::size_t kMiB = std::size_t{1024} * 1024;
    if (bytes >= kMiB && bytes % kMiB == 0) {
        return std::to_string(bytes / kMiB) + " MiB";
    }
    if (bytes >= 1024 && bytes % 1024 == 0) {
        return std::to_string(bytes / 1024) + " KiB";
    }
    return std::to_string(bytes) + " bytes";
}

// What a read or write with a progress does between two reports.
constexpr std::size_t kProgressBlock = std::size_t{4} << 20;

class RealFileSystem final : public FileSystem
{
public:
    explicit RealFileSystem(SystemCalls &calls) : calls_(calls) {}

    ReadResult readFile(const std::string &path, const ReadOptions &options) override
    {
        ReadResult result;
        // Opening a pipe without O_NONBLOCK waits for a writer.
        const FileDescriptor fd(
            calls_.open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0));
        if (!fd.isOpen()) {
            result.error = systemError(path, errno);
            return result;
        }
        struct stat info = {};
        if (calls_.fstat(fd.get(), &info) != 0) {
            result.error = systemError(path, errno);
            return result;
        }
        if (S_ISDIR(info.st_mode)) {
            result.error = systemError(path, EISDIR);
            return result;
        }
        if (!S_ISREG(info.st_mode)) {
            result.error = FileError{path, notOrdinary(info.st_mode)};
            return result;
        }
        const Recovery recovery = recoverInterruptedWrites(calls_, path, info);
        if (recovery.error) {
            result.error = recovery.error;
            return result;
        }
        result.restored = recovery.restored;
        result.oldTextKeptIn = recovery.oldTextKeptIn;
        if (result.restored && calls_.fstat(fd.get(), &info) != 0) {
            result.error = systemError(path, errno);
            return result;
        }
        const auto size = static_cast<std::size_t>(info.st_size);
        if (!options.firstLineOnly && size > options.limit) {
            result.error = tooLarge(path, options);
            return result;
        }
        // One byte more than expected, so that the end shows without growing; a
        // file that grows meanwhile is still read only up to the limit.
        std::string &bytes = result.bytes;
        const std::size_t room = options.limit == std::numeric_limits<std::size_t>::max()
                                     ? options.limit
                                     : options.limit + 1;
        bytes.resize(std::min(size, room - 1) + 1);
        std::size_t used = 0;
        for (;;) {
            if (used == bytes.size()) {
                if (bytes.size() >= room) {
                    result.error = tooLarge(path, options);
                    bytes.clear();
                    return result;
                }
                bytes.resize(std::min(room, bytes.size() < 65536 ? 65536 : 2 * bytes.size()));
            }
            // With a progress, in blocks, so that it can be shown and the read stopped.
            const std::size_t block = options.progress
                                          ? std::min(kProgressBlock, bytes.size() - used)
                                          : bytes.size() - used;
            const ssize_t got = readSome(calls_, fd.get(), bytes.data() + used, block);
            if (got < 0) {
                result.error = systemError(path, errno);
                bytes.clear();
                return result;
            }
            if (got == 0) {
                break;
            }
            if (options.firstLineOnly) {
                const std::string_view added(bytes.data() + used, static_cast<std::size_t>(got));
                if (const std::size_t end = added.find_first_of("\r\n");
                    end != std::string_view::npos) {
                    bytes.resize(used + end);
                    return result;
                }
            }
            used += static_cast<std::size_t>(got);
            if (options.progress && !options.progress(used, size)) {
                result.stopped = true;
                bytes.clear();
                return result;
            }
        }
        bytes.resize(used);
        if (used > options.limit) {
            result.error = tooLarge(path, options);
            bytes.clear();
        }
        return result;
    }

    std::optional<FileError> writeFile(const std::string &path, std::string_view bytes,
                                       const WriteOptions &options) override
    {
        OutputFile file(path, options, calls_);
        // With a progress, in blocks, so that it can be shown and the write
        // stopped; a file not committed is left as it was.
        const std::size_t block = options.progress ? kProgressBlock : bytes.size();
        std::size_t done = 0;
        do {
            const std::string_view part = bytes.substr(done, block);
            if (!file.write(part)) {
                return file.error();
            }
            done += part.size();
            if (options.progress && !options.progress(done, bytes.size())) {
                FileError stopped{path, "The write was stopped; the file is as it was"};
                stopped.stopped = true;
                return stopped;
            }
        } while (done < bytes.size());
        if (!file.commit()) {
            return file.error();
        }
        return file.warning();
    }

    std::optional<FileError> createIfMissing(const std::string &path, NewFileAccess access) override
    {
        // Made in one step that fails when anything is there, so that no link put
        // there meanwhile is created through. Without O_NONBLOCK, opening a pipe
        // to write waits for a reader.
        constexpr int kFlags = O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
        FileDescriptor fd(calls_.open(path.c_str(), kFlags | O_CREAT | O_EXCL | O_NOFOLLOW,
                                      access == NewFileAccess::OwnerOnly ? 0600 : 0666));
        if (!fd.isOpen() && errno == EEXIST) {
            // There already: it must open for writing (a link to a file may, and is
            // followed to it; a link to nothing fails: nothing is created).
            fd.reset(calls_.open(path.c_str(), kFlags, 0));
        }
        if (!fd.isOpen()) {
            return systemError(path, errno);
        }
        return std::nullopt;
    }

    std::optional<FileError> probeCreate(const std::string &path) override
    {
        if (auto error = removeFile(path)) {
            return error;
        }
        FileDescriptor fd(calls_.open(
            path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, 0600));
        if (!fd.isOpen()) {
            return systemError(path, errno);
        }
        fd.reset();
        return removeFile(path);
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
        if (calls_.unlink(path.c_str()) != 0 && errno != ENOENT) {
            return systemError(path, errno);
        }
        return std::nullopt;
    }

    std::optional<FileError> sharedFolderRefusal(const std::string &path) override
    {
        std::string entry = path;
        std::string text(PATH_MAX, '\0');
        // Each link on the way, as OutputFile walks them, and the file at the end.
        for (int hops = 0; hops < 40; ++hops) {
            struct stat info = {};
            if (calls_.lstat(entry.c_str(), &info) != 0) {
                return std::nullopt; // nothing there: reading or creating it says why
            }
            if (isOthersInSharedFolder(calls_, entry, info.st_uid)) {
                return FileError{path, S_ISLNK(info.st_mode)
                                           ? "It is a link that another user made in a folder "
                                             "anyone may write to, so it is not followed"
                                           : "It is another user's file in a folder anyone may "
                                             "write to, so it is neither read nor written"};
            }
            if (!S_ISLNK(info.st_mode)) {
                return std::nullopt;
            }
            const ssize_t size = calls_.readlink(entry.c_str(), text.data(), text.size());
            if (size < 0 || static_cast<std::size_t>(size) == text.size()) {
                return std::nullopt;
            }
            const std::string_view target(text.data(), static_cast<std::size_t>(size));
            const std::size_t slash = entry.rfind('/');
            entry = target.starts_with('/') || slash == std::string::npos
                        ? std::string(target)
                        : entry.substr(0, slash + 1) + std::string(target);
        }
        return std::nullopt;
    }

private:
    [[nodiscard]] static FileError tooLarge(const std::string &path, const ReadOptions &options)
    {
        return FileError{path,
                         options.firstLineOnly
                             ? "Its first line is longer than " + sizeText(options.limit)
                             : "It is larger than " + sizeText(options.limit) +
                                   ", too large for what it is read for",
                         true};
    }

    SystemCalls &calls_;
};

} // namespace

std::string FileError::message() const
{
    return path + ": " + reason;
}

FileError systemError(const std::string &path, int error)
{
    return FileError{path, systemReason(error), false, error == ENOENT};
}

std::string restoredNotice(const std::string &path)
{
    return path + ": restored from the journal of a write that was interrupted";
}

std::string oldTextKeptNotice(const std::string &path, const std::string &keptIn)
{
    return path +
           ": a write of it in place was interrupted, and it may have been changed since by "
           "another program, so it is kept as it is; its text from before that write is in " +
           keptIn;
}

FileSystem &realFileSystem()
{
    static RealFileSystem fileSystem(realSystemCalls());
    return fileSystem;
}

std::unique_ptr<FileSystem> fileSystemOver(SystemCalls &calls)
{
    return std::make_unique<RealFileSystem>(calls);
}

} // namespace lorimand

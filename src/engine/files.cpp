#include "engine/files.h"

#include <cerrno>
#include <memory>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/atomicfile.h"
#include "engine/descriptor.h"

namespace lorimand {

namespace {

class RealFileSystem final : public FileSystem
{
public:
    ReadResult readFile(const std::string &path) override
    {
        ReadResult result;
        const FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
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
        const FileDescriptor fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666));
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

FileError systemError(const std::string &path, int error)
{
    return FileError{path, systemReason(error)};
}

FileSystem &realFileSystem()
{
    static RealFileSystem fileSystem;
    return fileSystem;
}

} // namespace lorimand

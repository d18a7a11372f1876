#include "engine/streams.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/outputfile.h"
#include "engine/systemcalls.h"

namespace lorimand {

InputFile::InputFile(const std::string &path, SystemCalls &calls) : calls_(calls)
{
    if (path.empty() || path == "-") {
        path_ = "standard input";
        fd_ = STDIN_FILENO;
        return;
    }
    path_ = path;
    owned_.reset(calls_.open(path.c_str(), O_RDONLY | O_CLOEXEC, 0));
    fd_ = owned_.get();
    if (fd_ < 0) {
        error_ = systemError(path_, errno);
        return;
    }
    struct stat info = {};
    if (calls_.fstat(fd_, &info) != 0) {
        error_ = systemError(path_, errno);
    } else if (S_ISDIR(info.st_mode)) {
        error_ = systemError(path_, EISDIR);
    } else if (S_ISREG(info.st_mode)) {
        const Recovery recovery = recoverInterruptedWrites(calls_, path_, info);
        error_ = recovery.error;
        restored_ = recovery.restored;
        oldTextKeptIn_ = recovery.oldTextKeptIn;
    }
}

std::size_t InputFile::read(char *buffer, std::size_t size)
{
    if (error_ || fd_ < 0 || size == 0) {
        return 0;
    }
    const ssize_t got = readSome(calls_, fd_, buffer, size);
    if (got < 0) {
        error_ = systemError(path_, errno);
        return 0;
    }
    return static_cast<std::size_t>(got);
}

std::optional<FileError> writeStandardOutput(std::string_view bytes)
{
    if (const int error = writeAll(realSystemCalls(), STDOUT_FILENO, bytes.data(), bytes.size());
        error != 0) {
        return systemError("standard output", error);
    }
    return std::nullopt;
}

} // namespace lorimand

// The whole-file side of the program's one file layer: every file the window and
// the start-up read or write goes through FileSystem, so that tests can make any
// operation fail. Writes are atomic (see AtomicOutputFile). lorimand-cli's block
// streams are in streams.h.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lorimand {

struct FileError
{
    std::string path;
    std::string reason; // the system's words, e.g. "No such file or directory"
    // "<path>: <reason>"
    [[nodiscard]] std::string message() const;
};

// The error errno error gives for path, in the system's words.
[[nodiscard]] FileError systemError(const std::string &path, int error);

struct ReadResult
{
    std::string bytes;
    std::optional<FileError> error;
};

class FileSystem
{
public:
    virtual ~FileSystem() = default;
    [[nodiscard]] virtual ReadResult readFile(const std::string &path) = 0;
    // scratchPath names the temporary file; empty picks a fresh name beside path.
    [[nodiscard]] virtual std::optional<FileError>
    writeFileAtomically(const std::string &path, std::string_view bytes,
                        const std::string &scratchPath = {}) = 0;
    // Creates an empty file when there is none; an existing file is left alone.
    [[nodiscard]] virtual std::optional<FileError> createIfMissing(const std::string &path) = 0;
    // Names (not paths) of the ordinary, not hidden files of folder whose names end
    // in suffix, in the order the system lists them.
    [[nodiscard]] virtual std::vector<std::string> listFiles(const std::string &folder,
                                                             std::string_view suffix) = 0;
    // A missing file is no error.
    [[nodiscard]] virtual std::optional<FileError> removeFile(const std::string &path) = 0;
};

// The file system of the machine.
[[nodiscard]] FileSystem &realFileSystem();

} // namespace lorimand

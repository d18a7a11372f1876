// The one file layer of the program: every file read or written goes through it,
// so that tests can make any operation fail. Writes are atomic: a temporary file
// beside the target is renamed over it only when every byte is written.
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

// Reading a file block by block, for texts of any size.
class InputFile
{
public:
    // An empty path or "-" reads standard input, which errors name "standard input".
    explicit InputFile(const std::string &path);
    ~InputFile();
    InputFile(const InputFile &) = delete;
    InputFile &operator=(const InputFile &) = delete;

    [[nodiscard]] const std::optional<FileError> &error() const { return error_; }
    // Reads up to size bytes; 0 at the end or on an error (see error()).
    [[nodiscard]] std::size_t read(char *buffer, std::size_t size);

private:
    std::string path_;
    int fd_ = -1;
    bool ownsFd_ = false;
    std::optional<FileError> error_;
};

// Writing a file block by block into a temporary file beside the target, renamed
// over the target by commit(). Destroyed without commit, it removes the temporary
// file and leaves the target untouched.
//
// A link is kept: the file it names is replaced, or created when it does not exist.
// A target that is neither a file nor a folder (a device, a pipe) is written into
// directly, with no temporary file. A file the caller may not write is refused.
class AtomicOutputFile
{
public:
    // scratchPath names the temporary file; whatever is there first is removed.
    explicit AtomicOutputFile(const std::string &path, const std::string &scratchPath = {});
    ~AtomicOutputFile();
    AtomicOutputFile(const AtomicOutputFile &) = delete;
    AtomicOutputFile &operator=(const AtomicOutputFile &) = delete;

    [[nodiscard]] const std::optional<FileError> &error() const { return error_; }
    // false on an error (see error()); later writes and commit() then fail too.
    bool write(std::string_view bytes);
    [[nodiscard]] bool commit();
    // The temporary file while it exists, for removing it when a signal ends the
    // process; empty when there is none.
    [[nodiscard]] const std::string &temporaryPath() const { return scratchPath_; }

private:
    void fail(const std::string &path, const std::string &reason);

    std::string path_;
    std::string targetPath_;  // the file finally replaced: path_, or the file a link names
    std::string scratchPath_; // set while the temporary file exists
    int fd_ = -1;
    bool direct_ = false; // writing into a device or pipe, not a temporary file
    std::optional<FileError> error_;
};

// Writes every byte to standard output; errors name "standard output".
[[nodiscard]] std::optional<FileError> writeStandardOutput(std::string_view bytes);

} // namespace lorimand

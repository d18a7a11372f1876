// The whole-file side of the program's one file layer: every file the window and
// the start-up read or write goes through FileSystem, so that tests can make any
// operation fail. Writes keep what the file was (see OutputFile). lorimand-cli's
// block streams are in streams.h.
#pragma once

#include <cstddef>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/progress.h"

namespace lorimand {

class SystemCalls;

struct FileError
{
    std::string path;
    std::string reason; // plain words, e.g. "No such file or directory"
    // The file is larger than the read allows (ReadOptions::limit); nothing was read.
    bool tooLarge = false;
    // There is no file at the path (or at the end of a link).
    bool missing = false;
    // The new text is in the file all the same, and on disk: what failed came
    // after that (closing the file).
    bool written = false;
    // The write's progress stopped it: the file is as it was. Nothing failed, so
    // nothing need be said, but nothing was written either.
    bool stopped = false;
    // "<path>: <reason>"
    [[nodiscard]] std::string message() const;
};

// The error errno error gives for path, in plain words.
[[nodiscard]] FileError systemError(const std::string &path, int error);

// What is said of path when an interrupted write of it was rolled back before it
// was read or written: "<path>: restored from the journal of a write that was
// interrupted".
[[nodiscard]] std::string restoredNotice(const std::string &path);
// What is said of path when a journal found for it was not rolled back, the file
// having changed since, and its old text was put into keptIn instead.
[[nodiscard]] std::string oldTextKeptNotice(const std::string &path, const std::string &keptIn);

struct ReadResult
{
    std::string bytes;
    std::optional<FileError> error;
    // The read's progress stopped it: no bytes, and no error.
    bool stopped = false;
    // The file was being written in place when that write was interrupted; it
    // was put back as it was before that write, and then read.
    bool restored = false;
    // The file had been changed since a write of it in place was interrupted: it
    // was read as it is, and the text it held before that write was put into
    // this file (see journal.h).
    std::string oldTextKeptIn{};
};

struct ReadOptions
{
    // A file larger than this is not read: an error says it is too large.
    std::size_t limit = std::numeric_limits<std::size_t>::max();
    // Read only up to the first CR or LF (the limit then bounds that line).
    bool firstLineOnly = false;
    // Told after each block read, of the file's size; it may stop the read.
    Progress progress{};
};

// Who may read and write a file the layer creates.
enum class NewFileAccess
{
    Everyone,  // 0666 less the umask
    OwnerOnly, // 0600: the file holds a secret
};

struct WriteOptions
{
    // The name (no folder) of the scratch file; it is placed beside the file
    // finally written, beside a link's target. Empty: a hidden name of its own.
    std::string scratchName;
    NewFileAccess access = NewFileAccess::Everyone;
    // Told after each block written; when it says stop, the file stays as it
    // was and the write gives an error that says so (FileError::stopped).
    Progress progress{};
};

class FileSystem
{
public:
    virtual ~FileSystem() = default;
    // Reads an ordinary file (a link to one included); a folder, device or pipe
    // is refused at once, never waited on. An interrupted in-place write of it is
    // rolled back first (see ReadResult::restored).
    [[nodiscard]] virtual ReadResult readFile(const std::string &path,
                                              const ReadOptions &options = {}) = 0;
    // Replaces the file's contents with bytes, or creates it. The file keeps its
    // owner, group, mode and hard links; a failed write leaves it as it was. An
    // interrupted in-place write of it is rolled back first. An error with
    // `written` set says the new text is in the file, though something after failed.
    [[nodiscard]] virtual std::optional<FileError> writeFile(const std::string &path,
                                                             std::string_view bytes,
                                                             const WriteOptions &options = {}) = 0;
    // Creates an empty file when there is none, never through a link (a link, or
    // any entry, there already counts as the file); an existing file is left alone,
    // but must open for writing.
    [[nodiscard]] virtual std::optional<FileError>
    createIfMissing(const std::string &path, NewFileAccess access = NewFileAccess::Everyone) = 0;
    // Whether a file can be created at path: whatever is there is removed (a link
    // is never followed), a new file made and removed again.
    [[nodiscard]] virtual std::optional<FileError> probeCreate(const std::string &path) = 0;
    // Names (not paths) of the ordinary, not hidden files of folder whose names end
    // in suffix, in the order the system lists them.
    [[nodiscard]] virtual std::vector<std::string> listFiles(const std::string &folder,
                                                             std::string_view suffix) = 0;
    // A missing file is no error.
    [[nodiscard]] virtual std::optional<FileError> removeFile(const std::string &path) = 0;
    // Why a file that holds a secret may not be used at path: it, or a link on the
    // way to it, is in a folder anyone may write to (sticky, like /tmp) and belongs
    // to someone other than the user and the folder's owner (see OutputFile).
    // nullopt when nothing is there or it may be used.
    [[nodiscard]] virtual std::optional<FileError> sharedFolderRefusal(const std::string &path) = 0;
};

// The file system of the machine.
[[nodiscard]] FileSystem &realFileSystem();
// The machine's file system seen through calls, for tests that make calls fail.
[[nodiscard]] std::unique_ptr<FileSystem> fileSystemOver(SystemCalls &calls);

} // namespace lorimand

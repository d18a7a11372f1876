// Writing a file so that a failure leaves it as it was and success keeps what it
// was: its owner, group, mode and hard links.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <sys/stat.h>

#include "engine/descriptor.h"
#include "engine/files.h"
#include "engine/journal.h"
#include "engine/systemcalls.h"

namespace lorimand {

// Whether the entry at path, owned by owner, sits in a sticky folder anyone may
// write to and belongs to someone other than the user and the folder's owner:
// another user may have planted it there, so it is neither followed, read nor
// written, as the kernel's rules for protected links and files have it.
[[nodiscard]] bool isOthersInSharedFolder(SystemCalls &calls, const std::string &path, uid_t owner);

// Writing a file block by block; nothing reaches the file before commit().
// Destroyed without commit, it leaves the file untouched and no scratch file.
//
// - A new file, or one the program may replace whole (a writable folder, a single
//   link, an owner and group it can give the new file), is written into a scratch
//   file beside it that commit() renames over it. Where the file system allows,
//   the scratch file has no name until commit(), so that not even a killed
//   process leaves it behind.
// - Any other file is written into itself at commit(), once the space for the
//   whole new text is reserved and its old bytes are in its journal (see
//   journal.h); until then the text waits in an unnamed file in the temporary
//   folder. A failure, or an ending signal, midway puts the old bytes back, and
//   what a kill leaves is rolled back when the file is next read or written.
// - A device or a pipe is written into directly.
// - A link is kept: the file it names is written, or created. A link in a folder
//   anyone may write to (sticky, like /tmp) that belongs to someone other than
//   the user and the folder's owner is not followed. A file the user may not
//   write is refused.
class OutputFile
{
public:
    explicit OutputFile(const std::string &path, const WriteOptions &options = {},
                        SystemCalls &calls = realSystemCalls());
    ~OutputFile();
    OutputFile(const OutputFile &) = delete;
    OutputFile &operator=(const OutputFile &) = delete;

    // Names the file given (never a scratch file) and the reason.
    [[nodiscard]] const std::optional<FileError> &error() const { return error_; }
    // After a commit() that succeeded: what failed once the new text was in the
    // file and on disk (closing it), with `written` set.
    [[nodiscard]] const std::optional<FileError> &warning() const { return warning_; }
    // false on an error (see error()); later writes and commit() then fail too.
    bool write(std::string_view bytes);
    [[nodiscard]] bool commit();
    // A scratch file with a name while it exists, for removing it when a signal
    // ends the process; empty when there is none.
    [[nodiscard]] const std::string &temporaryPath() const { return scratchPath_; }
    // An interrupted write of the file was rolled back before this one began.
    [[nodiscard]] bool restored() const { return restored_; }
    // The file had been changed since an interrupted in-place write of it: it was
    // kept, and its text from before that write put into this file.
    [[nodiscard]] const std::string &oldTextKeptIn() const { return oldTextKeptIn_; }

private:
    enum class Way
    {
        Replace, // through a scratch file renamed over the file
        InPlace, // into the file itself, at commit()
        Direct,  // into a device or pipe as the bytes come
    };

    void resolveLinks();
    [[nodiscard]] std::optional<struct stat> examineTarget();
    void openScratch(mode_t mode);
    void openNamedScratch(mode_t mode);
    // false when the owner and group cannot be given to the scratch file.
    [[nodiscard]] bool keepOwnerAndMode(const struct stat &existing);
    void openInPlace();
    [[nodiscard]] bool linkScratch();
    [[nodiscard]] bool replaceTarget();
    [[nodiscard]] bool copyIntoTarget();
    void fail(int error);
    void fail(std::string reason);
    void removeNamedScratch() noexcept;

    SystemCalls &calls_;
    WriteOptions options_;
    std::string path_;        // as given; errors name it
    std::string targetPath_;  // the file finally written: path_, or the file a link names
    std::string scratchPath_; // set while a named scratch file exists
    FileDescriptor fd_;       // what write() writes into
    FileDescriptor target_;   // writing in place: the file itself
    Way way_ = Way::Replace;
    bool targetExists_ = false;
    bool unnamed_ = false; // fd_ is a scratch file without a name
    bool restored_ = false;
    std::string oldTextKeptIn_;
    off_t written_ = 0;
    off_t oldSize_ = 0;
    std::optional<FileError> error_;
    std::optional<FileError> warning_;
};

// Puts right what interrupted writes of the file at path (an ordinary file, info
// its status) left, before it is read or written again: removes the scratch files
// that killed runs left beside it and rolls back the journal of an in-place write.
[[nodiscard]] Recovery recoverInterruptedWrites(SystemCalls &calls, const std::string &path,
                                                const struct stat &info);

} // namespace lorimand

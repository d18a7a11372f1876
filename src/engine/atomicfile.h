// Writing a file so that it is either replaced whole or left as it was: the bytes
// go into a temporary file beside the target, renamed over it only when every
// byte is written.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <sys/stat.h>

#include "engine/descriptor.h"
#include "engine/files.h"

namespace lorimand {

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
    // What is at the target now; nullopt when nothing is (or on an error).
    [[nodiscard]] std::optional<struct stat> examineTarget();
    // Opens a device or pipe target to write into it.
    void openDirectly();
    void createNamedScratch(const std::string &scratchPath);
    void createHiddenScratch();
    // Gives the temporary file the permissions of the file it replaces.
    void keepPermissionsOf(const struct stat &replaced);
    void fail(const std::string &path, const std::string &reason);
    void removeScratch() noexcept;

    std::string path_;
    std::string targetPath_;  // the file finally replaced: path_, or the file a link names
    std::string scratchPath_; // set while the temporary file exists
    FileDescriptor fd_;
    bool direct_ = false; // writing into a device or pipe, not a temporary file
    std::optional<FileError> error_;
};

} // namespace lorimand

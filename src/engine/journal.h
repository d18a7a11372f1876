// The rollback journal of a file written in place: the old bytes, kept on disk
// until the new ones are, so that a write that is interrupted (by a kill, a
// power cut, a failing disk) can be undone, then or at the next read or write.
//
// The journal of a file with one name in a folder the user may write is
// ".NAME.lorimand-journal" beside it. That of a hard-linked file (so that it is
// found through any of its names) or of a file in a folder the user may not
// write is "DEVICE-INODE.lorimand-journal" (in hexadecimal) in the user's state
// folder, $XDG_STATE_HOME/lorimand (~/.local/state/lorimand by default), which
// must be the user's alone (see makePrivateFolder). A journal records the file's
// device, inode, path and old length, the new text's length and a hash of each
// of its blocks; it is in force once it carries its mark, which is written only
// after the rest is on disk, and only while no process holds its lock (the
// writer holds it throughout).
//
// A journal is trusted only as opened: the user's own, an ordinary file with one
// link, closed to other users, and the very file whose name was looked at. It
// is rolled back only when every block of its file is the old text's or the new
// text's: what the interrupted write itself can have left. A file changed since
// by another program is kept as it is, and the old text goes into a file beside
// it, "NAME.lorimand-old" (".1", ".2"... when that is taken).
#pragma once

#include <optional>
#include <string>

#include <sys/stat.h>

#include "engine/descriptor.h"
#include "engine/files.h"
#include "engine/systemcalls.h"

namespace lorimand {

class Journal
{
public:
    // Copies the bytes of the file open as target (read and write; info its
    // status, path its real path) into its journal, with the hashes of the new
    // text (newLength bytes at the start of newText), and puts it in force, on
    // disk before the constructor returns. failed() says whether it could not.
    Journal(SystemCalls &calls, const std::string &path, int target, const struct stat &info,
            int newText, off_t newLength);
    // A journal not yet in force is removed; one in force stays, for the next
    // read or write of the file to roll back.
    ~Journal();
    Journal(const Journal &) = delete;
    Journal &operator=(const Journal &) = delete;

    [[nodiscard]] const std::string &path() const { return path_; }
    [[nodiscard]] bool failed() const { return !reason_.empty(); }
    // Why it could not be made, in plain words; empty once in force.
    [[nodiscard]] const std::string &reason() const { return reason_; }
    // The new bytes are on disk: the journal goes. 0 or errno; on a failure the
    // journal stays in force.
    [[nodiscard]] int remove();
    // Puts the old bytes back into target, cut to the old length and on disk,
    // and removes the journal. 0 or errno; on a failure the journal stays in force.
    [[nodiscard]] int rollBack(int target);

private:
    [[nodiscard]] int create();
    [[nodiscard]] int fill(int target, const struct stat &info, const std::string &filePath,
                           int newText, off_t newLength);

    SystemCalls &calls_;
    std::string path_;
    FileDescriptor fd_;
    off_t length_ = 0; // the old file's
    off_t dataAt_ = 0; // where its bytes start in the journal
    bool inForce_ = false;
    std::string reason_;
};

// What looking for the journal of a file found.
struct Recovery
{
    // An interrupted write of the file was rolled back: it is as it was before.
    bool restored = false;
    // The file was changed since an interrupted write of it, so it was kept as it
    // is, and its text from before that write was put into this file.
    std::string oldTextKeptIn{};
    // A journal in force that could not be dealt with (or one still being
    // written): the file may hold part of a new text, so it is not to be read.
    // Names the file.
    std::optional<FileError> error;
};

// Rolls back the journal that an interrupted in-place write of the file at path
// (the ordinary file info describes) left, if there is one: the user's own, in
// force, of this very file, and not held by a write still going on, which is
// waited for a while. A journal that never came into force is removed.
[[nodiscard]] Recovery rollBackJournalOf(SystemCalls &calls, const std::string &path,
                                         const struct stat &info);

} // namespace lorimand

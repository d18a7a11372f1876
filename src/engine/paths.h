// The parts of a path the file layer works with, and making a folder's entries durable.
#pragma once

#include <optional>
#include <string>

namespace lorimand {

// The folder part with its final "/", or empty for a bare name.
[[nodiscard]] std::string folderOf(const std::string &path);
// The folder part, or "." for a bare name.
[[nodiscard]] std::string folderOrDot(const std::string &path);
// The last part.
[[nodiscard]] std::string nameOf(const std::string &path);
// The path with every link and "." or ".." resolved, or path itself when that fails.
[[nodiscard]] std::string realPathOf(const std::string &path);
// Makes an absolute folder and the folders above it that are missing, for the
// user alone (0700). 0, or the errno of the first that cannot be made.
[[nodiscard]] int makeOwnFolders(const std::string &folder);
// A folder for what no one but the user may see or change (the journals).
struct PrivateFolder
{
    std::string path; // its real path, every link above it resolved
    // Why it may not be used, in plain words that name the folder; nullopt when it may.
    std::optional<std::string> refusal;
};
// Makes an absolute folder (and the folders above it that are missing) for the
// user alone, or checks the one that is there: it must be a folder, not a link,
// the user's own and closed to everyone else (0700); and every folder above it
// the user's or the superuser's, and one that no other user may write (unless,
// as /tmp, it is sticky), so that no one else can rename or replace it later.
// Each is checked on its opened descriptor, not by its name.
[[nodiscard]] PrivateFolder makePrivateFolder(const std::string &folder);
// Makes a new, renamed or removed entry of the folder of path durable; a folder
// that cannot be synced changes nothing.
void syncFolderOf(const std::string &path);

} // namespace lorimand

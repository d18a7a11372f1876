// The parts of a path the file layer works with, and making a folder's entries durable.
#pragma once

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
// Makes a new, renamed or removed entry of the folder of path durable; a folder
// that cannot be synced changes nothing.
void syncFolderOf(const std::string &path);

} // namespace lorimand

// Where the program's own files are, for the window and lorimand-cli alike: the
// help text and the code tables beside the program in a build tree or an unpacked
// copy, or in the data folder of an installed copy; and the user's own tables.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/files.h"

namespace lorimand {

inline constexpr std::string_view kHelpFileName = "Readme.txt";
inline constexpr std::string_view kTableSuffix = ".sbt";

// The program folder when it holds the help text; otherwise the installed data
// folder when that does; otherwise the program folder.
[[nodiscard]] std::string dataFolderFor(FileSystem &files, const std::string &programFolder);

// The names (without the final ".sbt") of the .sbt files in a folder, in the order
// the system lists them; none for an empty folder name.
[[nodiscard]] std::vector<std::string> tableNamesIn(FileSystem &files, const std::string &folder);

// The user's own code tables, as the desktop keeps a user's data: in
// $XDG_DATA_HOME/lorimand, or ~/.local/share/lorimand when that is not set to an
// absolute path; empty when neither is known. Either may be null.
[[nodiscard]] std::string userTableFolderFrom(const char *xdgDataHome, const char *home);

// The file of a folder, whether or not the folder's name ends in "/".
[[nodiscard]] std::string fileIn(const std::string &folder, std::string_view name);

} // namespace lorimand

// Where both programs find their own files: the data folder (the help text and
// the sample code tables) of a build tree, an unpacked copy or an installed copy,
// the user's own tables, and a code table by its name, the user's own tables
// before the program's.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/files.h"

namespace lorimand {

inline constexpr std::string_view kHelpFileName = "Readme.txt";
inline constexpr std::string_view kCodeTableSuffix = ".sbt";

// The help text's file for a language ("de"): Readme.de.txt; Readme.txt for
// English ("en") and for no language.
[[nodiscard]] std::string helpFileName(std::string_view language);

// The program folder when it holds the help text; otherwise the installed data
// folder (share/lorimand beside bin/) when that does; otherwise the program folder.
[[nodiscard]] std::string dataFolderOf(FileSystem &files, const std::string &programFolder);

// The user's own code tables: $XDG_DATA_HOME/lorimand when that is an absolute
// path, else ~/.local/share/lorimand; empty when neither can be known.
[[nodiscard]] std::string userTableFolderFrom(const char *xdgDataHome, const char *home);

// The names (without the final ".sbt") of the .sbt files in a folder, in the order
// the system lists them; none for an empty folder name.
[[nodiscard]] std::vector<std::string> tableNamesIn(FileSystem &files, const std::string &folder);

// The file of a folder, whether or not the folder's name ends in "/".
[[nodiscard]] std::string fileIn(const std::string &folder, std::string_view name);

// The path of the first of `folders` (empty ones skipped) that holds an
// ordinary file called fileName; nullopt when none does.
[[nodiscard]] std::optional<std::string> findFileIn(FileSystem &files, std::string_view fileName,
                                                    const std::vector<std::string> &folders);

// The file name a code table's name stands for: "ROT13" and "ROT13.sbt" both
// name ROT13.sbt.
[[nodiscard]] std::string codeTableFileName(std::string_view name);

} // namespace lorimand

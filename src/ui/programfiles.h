// Where the program's own files are: the help text, the code tables and the
// settings. A build tree or an unpacked copy keeps them all in the program folder.
// An installed copy (bin/lorimand beside share/lorimand/) reads its help and
// tables from that data folder and keeps its settings in the user's configuration
// folder. The user's own tables, in their data folder, are listed in either case.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <QString>

namespace lorimand {

class FileSystem;
class Platform;

class ProgramFiles
{
public:
    ProgramFiles(const Platform &platform, FileSystem &files);

    // The program folder when it holds the help text; otherwise the installed data
    // folder when that does; otherwise the program folder.
    [[nodiscard]] const QString &dataFolder() const { return dataFolder_; }
    [[nodiscard]] bool installed() const;

    // The help text in the language of the translation in force
    // (helpFileName) when the data folder holds it, else Readme.txt.
    [[nodiscard]] QString helpFile() const;
    // The names (without the final ".sbt") of the .sbt files in the data folder and
    // in the user's table folder, each once, in the user's sort order. A name is the
    // file name's own bytes: one that is not valid UTF-8 has no QString that gives
    // its bytes back.
    [[nodiscard]] std::vector<std::string> codeTableNames() const;
    // The path, in the file system's bytes, of the user's table of that name when
    // there is one, else of the data folder's.
    [[nodiscard]] std::string codeTableFile(std::string_view name) const;
    // Where the settings file is looked for first: for an installed copy the user's
    // configuration folder, made when missing.
    [[nodiscard]] QString settingsFolder() const;

private:
    const Platform &platform_;
    FileSystem &files_;
    QString dataFolder_;
};

// How a code-table name is shown: its bytes read as a file name.
[[nodiscard]] QString shownTableName(std::string_view name);

// The entry of the code-table list that a remembered name selects, given each
// entry's name as bytes: the entry with exactly those bytes; else the first whose
// name is the same in any letter case, the remembered name read as UTF-8 (as this
// program writes names) or as Windows-1252 (as the earlier program did); else the
// only entry that starts with the remembered name and a dot (earlier copies
// remembered a name only up to its first dot); else the first entry. nullopt for
// an empty list.
[[nodiscard]] std::optional<std::size_t> rememberedTable(const std::vector<std::string> &names,
                                                         std::string_view remembered);

} // namespace lorimand

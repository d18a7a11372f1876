// Where the program's own files are: the help text, the code tables and the
// settings. A build tree or an unpacked copy keeps them all in the program folder.
// An installed copy (bin/lorimand beside share/lorimand/) reads its help and
// tables from that data folder and keeps its settings in the user's configuration
// folder. The user's own tables, in their data folder, are listed in either case.
#pragma once

#include <QString>
#include <QStringList>

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

    [[nodiscard]] QString helpFile() const;
    // The names (up to the first ".") of the .sbt files in the data folder and in
    // the user's table folder, each once, in the user's sort order.
    [[nodiscard]] QStringList codeTableNames() const;
    // The user's table of that name when there is one, else the data folder's.
    [[nodiscard]] QString codeTableFile(const QString &name) const;
    // Where the settings file is looked for first: for an installed copy the user's
    // configuration folder, made when missing.
    [[nodiscard]] QString settingsFolder() const;

private:
    [[nodiscard]] QStringList tableNamesIn(const QString &folder) const;

    const Platform &platform_;
    FileSystem &files_;
    QString dataFolder_;
};

} // namespace lorimand

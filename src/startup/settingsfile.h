// Where the settings file "Lorimand.ini" lives, and reading and rewriting it
// through the file layer.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include <QString>

#include "engine/files.h"
#include "startup/settings.h"

namespace lorimand {

// The given folder holds the file when the file and its scratch file can be
// created there and the file is not another user's in a folder anyone may write
// to; otherwise the fallback folder (the user's configuration folder for the
// program) holds it, for reading and writing alike.
class SettingsFile
{
public:
    // lockWait bounds how long a rewrite waits for another copy's rewrite to end.
    SettingsFile(FileSystem &files, const QString &folder, const QString &fallbackFolder,
                 std::chrono::milliseconds lockWait = std::chrono::seconds(5));

    [[nodiscard]] const QString &path() const { return path_; }
    // The settings, or nothing when the file cannot be created or read.
    [[nodiscard]] StoredSettings read();
    // What the start-up tells the user about the file: why the fallback folder
    // holds it, a key line too long to apply.
    [[nodiscard]] const std::vector<std::string> &warnings() const { return warnings_; }
    // Rewrites the file through the scratch file "Lorimand.tmp"; on a failure the
    // old file stays whole and no scratch file is left. Copies of the program
    // rewriting at once take turns, so the file is always one whole rewrite and
    // the last one wins. A file that read() could not read is left as it was:
    // the window's state came from defaults, not from it; so is a file the rewrite
    // would make larger than read() reads. Returns the error, if any.
    [[nodiscard]] std::optional<std::string> write(const CurrentSettings &current);

private:
    FileSystem &files_;
    std::chrono::milliseconds lockWait_;
    QString folder_;
    QString path_;
    QString scratchPath_;
    std::optional<FileError> unread_; // why read() could not read the file
    std::vector<std::string> warnings_;
};

} // namespace lorimand

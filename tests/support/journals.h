// Where the file layer keeps the journal of a file written in place, and a write
// in place that stops halfway, leaving the file part new and its journal behind
// as a kill would.
#pragma once

#include <memory>

#include <sys/stat.h>

#include <QFile>
#include <QFileInfo>

#include "bytes.h"
#include "engine/files.h"
#include "faultycalls.h"

namespace lorimand::test {

// The journal of a file with one name in a folder the user may write.
inline QString journalBeside(const QString &file)
{
    const QFileInfo info(file);
    return info.canonicalPath() + QStringLiteral("/.") + info.fileName() +
           QStringLiteral(".lorimand-journal");
}

// The journal of a hard-linked file, or of one in a folder the user may not
// write, with $XDG_STATE_HOME at stateHome.
inline QString journalInStateFolder(const QString &stateHome, const QString &file)
{
    struct stat info = {};
    if (::stat(QFile::encodeName(file).constData(), &info) != 0) {
        return {};
    }
    return stateHome + QStringLiteral("/lorimand/") + QString::number(info.st_dev, 16) + u'-' +
           QString::number(info.st_ino, 16) + QStringLiteral(".lorimand-journal");
}

// Writes text in place over file (which must be written in place: hard-linked,
// say) until a few blocks are in, then fails for good, as a kill would stop it:
// the file is left part new, and its journal in force. Whether that came about.
inline bool leaveInterruptedWrite(const QString &file, const QByteArray &text)
{
    FaultyCalls calls;
    calls.failing = FaultyCalls::Call::WriteAt;
    calls.after = 3;
    calls.chunk = 4096;
    calls.onlyFile = pathOf(file);
    const QByteArray old = contentsOf(file);
    const auto error = fileSystemOver(calls)->writeFile(
        pathOf(file), std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
    return error && contentsOf(file) != old && contentsOf(file).startsWith(text.left(3 * 4096));
}

} // namespace lorimand::test

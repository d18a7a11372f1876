#include "ui/programfiles.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include <QDir>
#include <QFile>

#include "engine/files.h"
#include "ui/conversions.h"
#include "ui/platform.h"

#ifndef LORIMAND_DATA_FROM_PROGRAM
#error "LORIMAND_DATA_FROM_PROGRAM must be defined by the build"
#endif

namespace lorimand {
namespace {

constexpr char kHelpFileName[] = "Readme.txt";
constexpr char kTableSuffix[] = ".sbt";

QString fileIn(const QString &folder, const QString &name)
{
    return folder.endsWith(u'/') ? folder + name : folder + u'/' + name;
}

// Whether the folder holds the help text as an ordinary file (a link to one too).
bool holdsHelp(FileSystem &files, const QString &folder)
{
    const std::vector<std::string> names = files.listFiles(nativePath(folder), kHelpFileName);
    return std::find(names.begin(), names.end(), std::string_view(kHelpFileName)) != names.end();
}

} // namespace

ProgramFiles::ProgramFiles(const Platform &platform, FileSystem &files)
    : platform_(platform), files_(files), dataFolder_(platform.programFolder())
{
    const QString installedData =
        QDir::cleanPath(fileIn(dataFolder_, QStringLiteral(LORIMAND_DATA_FROM_PROGRAM)));
    if (!holdsHelp(files_, dataFolder_) && holdsHelp(files_, installedData))
        dataFolder_ = installedData;
}

bool ProgramFiles::installed() const
{
    return dataFolder_ != platform_.programFolder();
}

QString ProgramFiles::helpFile() const
{
    return fileIn(dataFolder_, QLatin1String(kHelpFileName));
}

QStringList ProgramFiles::tableNamesIn(const QString &folder) const
{
    QStringList names;
    if (folder.isEmpty())
        return names;
    for (const std::string &file : files_.listFiles(nativePath(folder), kTableSuffix)) {
        const QString name = fromNativePath(file);
        names.append(name.left(name.indexOf(u'.')));
    }
    return names;
}

QStringList ProgramFiles::codeTableNames() const
{
    QStringList names = tableNamesIn(dataFolder_) + tableNamesIn(platform_.userTableFolder());
    names.removeDuplicates();
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        return QString::localeAwareCompare(a, b) < 0;
    });
    return names;
}

QString ProgramFiles::codeTableFile(const QString &name) const
{
    const QString fileName = name + QLatin1String(kTableSuffix);
    const QString userFolder = platform_.userTableFolder();
    if (!userFolder.isEmpty()) {
        for (const std::string &file : files_.listFiles(nativePath(userFolder), kTableSuffix)) {
            if (fromNativePath(file) == fileName)
                return fileIn(userFolder, fileName);
        }
    }
    return fileIn(dataFolder_, fileName);
}

QString ProgramFiles::settingsFolder() const
{
    if (!installed())
        return platform_.programFolder();
    const QString folder = platform_.userConfigFolder();
    QDir().mkpath(folder);
    return folder;
}

} // namespace lorimand

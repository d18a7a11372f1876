#include "ui/programfiles.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include <QDir>
#include <QFile>
#include <QStringDecoder>

#include "engine/files.h"
#include "engine/programdata.h"
#include "ui/conversions.h"
#include "ui/language.h"
#include "ui/platform.h"

namespace lorimand {
namespace {

// The text of bytes that are UTF-8 through and through; nullopt for others.
std::optional<QString> validUtf8(std::string_view bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    if (decoder.hasError()) {
        return std::nullopt;
    }
    return text;
}

} // namespace

ProgramFiles::ProgramFiles(const Platform &platform, FileSystem &files)
    : platform_(platform), files_(files)
{
    const QString programFolder = platform.programFolder();
    const std::string data = dataFolderOf(files_, nativePath(programFolder));
    dataFolder_ = data == nativePath(programFolder) ? programFolder : fromNativePath(data);
}

bool ProgramFiles::installed() const
{
    return dataFolder_ != platform_.programFolder();
}

QString ProgramFiles::helpFile() const
{
    // The help in the window's language, else the English one.
    const std::string folder = nativePath(dataFolder_);
    return fromNativePath(
        findFileIn(files_, helpFileName(currentLanguage().toStdString()), {folder})
            .value_or(fileIn(folder, kHelpFileName)));
}

std::vector<std::string> ProgramFiles::codeTableNames() const
{
    std::vector<std::string> names = tableNamesIn(files_, nativePath(dataFolder_));
    for (std::string &name : tableNamesIn(files_, nativePath(platform_.userTableFolder()))) {
        if (std::find(names.begin(), names.end(), name) == names.end()) {
            names.push_back(std::move(name));
        }
    }
    std::stable_sort(names.begin(), names.end(), [](const std::string &a, const std::string &b) {
        return QString::localeAwareCompare(shownTableName(a), shownTableName(b)) < 0;
    });
    return names;
}

std::string ProgramFiles::codeTableFile(std::string_view name) const
{
    // The whole name is the file's name but the suffix, so it always gets one.
    const std::string fileName = std::string(name).append(kCodeTableSuffix);
    const std::string dataFolder = nativePath(dataFolder_);
    return findFileIn(files_, fileName, {nativePath(platform_.userTableFolder()), dataFolder})
        .value_or(fileIn(dataFolder, fileName));
}

QString ProgramFiles::settingsFolder() const
{
    if (!installed()) {
        return platform_.programFolder();
    }
    QString folder = platform_.userConfigFolder();
    QDir().mkpath(folder);
    return folder;
}

QString shownTableName(std::string_view name)
{
    return fromNativePath(name);
}

std::optional<std::size_t> rememberedTable(const std::vector<std::string> &names,
                                           std::string_view remembered)
{
    if (names.empty()) {
        return std::nullopt;
    }
    const auto exact = std::find(names.begin(), names.end(), remembered);
    if (exact != names.end()) {
        return static_cast<std::size_t>(exact - names.begin());
    }
    const std::optional<QString> asUtf8 = validUtf8(remembered);
    const QString asWindows1252 = fromCharset(remembered).toLower();
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::optional<QString> name = validUtf8(names[i]);
        if (name && ((asUtf8 && name->toLower() == asUtf8->toLower()) ||
                     name->toLower() == asWindows1252)) {
            return i;
        }
    }
    // Earlier copies listed a table by its name up to the first dot; such a name
    // still finds its table when no other could be meant.
    if (!remembered.empty()) {
        const std::string stem = std::string(remembered) + '.';
        std::optional<std::size_t> only;
        for (std::size_t i = 0; i < names.size(); ++i) {
            if (names[i].starts_with(stem)) {
                if (only) {
                    return 0;
                }
                only = i;
            }
        }
        if (only) {
            return only;
        }
    }
    return 0;
}

} // namespace lorimand

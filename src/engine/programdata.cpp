#include "engine/programdata.h"

#include <algorithm>
#include <filesystem>

#ifndef LORIMAND_DATA_FROM_PROGRAM
#error "LORIMAND_DATA_FROM_PROGRAM must be defined by the build"
#endif

namespace lorimand {
namespace {

// Whether the folder holds the file as an ordinary file (a link to one too).
bool holds(FileSystem &files, const std::string &folder, std::string_view fileName)
{
    const std::vector<std::string> names = files.listFiles(folder, fileName);
    return std::find(names.begin(), names.end(), fileName) != names.end();
}

} // namespace

std::string fileIn(const std::string &folder, std::string_view name)
{
    std::string path = folder;
    if (!path.ends_with('/')) {
        path += '/';
    }
    return path.append(name);
}

std::string dataFolderOf(FileSystem &files, const std::string &programFolder)
{
    std::string installed = std::filesystem::path(fileIn(programFolder, LORIMAND_DATA_FROM_PROGRAM))
                                .lexically_normal()
                                .string();
    while (installed.size() > 1 && installed.ends_with('/')) {
        installed.pop_back();
    }
    if (!holds(files, programFolder, kHelpFileName) && holds(files, installed, kHelpFileName)) {
        return installed;
    }
    return programFolder;
}

std::string userTableFolderFrom(const char *xdgDataHome, const char *home)
{
    // As the XDG rule says, a relative XDG_DATA_HOME is ignored.
    if (xdgDataHome != nullptr && xdgDataHome[0] == '/') {
        return fileIn(xdgDataHome, "lorimand");
    }
    if (home != nullptr && home[0] != '\0') {
        return fileIn(home, ".local/share/lorimand");
    }
    return {};
}

std::vector<std::string> tableNamesIn(FileSystem &files, const std::string &folder)
{
    std::vector<std::string> names;
    if (folder.empty()) {
        return names;
    }
    // The whole name but the suffix: it names the file again, dots and all.
    for (const std::string &file : files.listFiles(folder, kCodeTableSuffix)) {
        names.push_back(file.substr(0, file.size() - kCodeTableSuffix.size()));
    }
    return names;
}

std::optional<std::string> findFileIn(FileSystem &files, std::string_view fileName,
                                      const std::vector<std::string> &folders)
{
    for (const std::string &folder : folders) {
        if (!folder.empty() && holds(files, folder, fileName)) {
            return fileIn(folder, fileName);
        }
    }
    return std::nullopt;
}

std::string helpFileName(std::string_view language)
{
    if (language.empty() || language == "en") {
        return std::string(kHelpFileName);
    }
    return "Readme." + std::string(language) + ".txt";
}

std::string codeTableFileName(std::string_view name)
{
    std::string fileName(name);
    if (!fileName.ends_with(kCodeTableSuffix)) {
        fileName += kCodeTableSuffix;
    }
    return fileName;
}

} // namespace lorimand

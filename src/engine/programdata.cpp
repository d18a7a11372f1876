#include "engine/programdata.h"

#include <algorithm>
#include <filesystem>

#ifndef LORIMAND_DATA_FROM_PROGRAM
#error "LORIMAND_DATA_FROM_PROGRAM must be defined by the build"
#endif

namespace lorimand {
namespace {

// Whether the folder holds the help text as an ordinary file (a link to one too).
bool holdsHelp(FileSystem &files, const std::string &folder)
{
    const std::vector<std::string> names = files.listFiles(folder, kHelpFileName);
    return std::find(names.begin(), names.end(), kHelpFileName) != names.end();
}

} // namespace

std::string fileIn(const std::string &folder, std::string_view name)
{
    std::string path = folder;
    if (!path.ends_with('/')) {
        path += '/';
    }
    path += name;
    return path;
}

std::string dataFolderFor(FileSystem &files, const std::string &programFolder)
{
    std::string installed = std::filesystem::path(fileIn(programFolder, LORIMAND_DATA_FROM_PROGRAM))
                                .lexically_normal()
                                .string();
    while (installed.size() > 1 && installed.ends_with('/')) {
        installed.pop_back();
    }
    if (!holdsHelp(files, programFolder) && holdsHelp(files, installed)) {
        return installed;
    }
    return programFolder;
}

std::string userTableFolderFrom(const char *xdgDataHome, const char *home)
{
    if (xdgDataHome != nullptr && *xdgDataHome == '/') {
        return fileIn(xdgDataHome, "lorimand");
    }
    if (home != nullptr && *home != '\0') {
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
    for (const std::string &file : files.listFiles(folder, kTableSuffix)) {
        names.push_back(file.substr(0, file.size() - kTableSuffix.size()));
    }
    return names;
}

} // namespace lorimand

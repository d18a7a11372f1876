#include "engine/paths.h"

#include <cerrno>
#include <cstdlib>
#include <memory>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/descriptor.h"

namespace lorimand {

std::string folderOf(const std::string &path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return {};
    }
    return path.substr(0, slash + 1);
}

std::string folderOrDot(const std::string &path)
{
    const std::string folder = folderOf(path);
    return folder.empty() ? std::string(".") : folder;
}

std::string nameOf(const std::string &path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

int makeOwnFolders(const std::string &folder)
{
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            return errno;
        }
        if (slash == std::string::npos) {
            return 0;
        }
    }
}

std::string realPathOf(const std::string &path)
{
    const std::unique_ptr<char, void (*)(void *)> real(::realpath(path.c_str(), nullptr),
                                                       &std::free);
    return real ? std::string(real.get()) : path;
}

void syncFolderOf(const std::string &path)
{
    const FileDescriptor dir(::open(folderOrDot(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.isOpen()) {
        ::fsync(dir.get());
    }
}

} // namespace lorimand

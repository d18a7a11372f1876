#include "engine/paths.h"

#include <cstdlib>
#include <memory>

#include <fcntl.h>
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

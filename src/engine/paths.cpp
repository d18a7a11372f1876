#include "engine/paths.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/descriptor.h"

namespace lorimand {

namespace {

// Opens the folder name in the folder at (a descriptor), not following a link, for
// looking at and below only.
[[nodiscard]] FileDescriptor openFolderIn(int at, const std::string &name)
{
    return FileDescriptor(
        ::openat(at, name.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
}

// Why an entry that is not a folder (ELOOP, ENOTDIR) or cannot be opened is refused.
[[nodiscard]] std::string notOpened(int at, const std::string &name, const std::string &shown,
                                    int error)
{
    struct stat info = {};
    if ((error == ELOOP || error == ENOTDIR) &&
        ::fstatat(at, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0) {
        return shown + (S_ISLNK(info.st_mode) ? " is a link, not a folder" : " is not a folder");
    }
    return shown + ": " + systemReason(error);
}

// Why a folder above the private one, as opened, would let another user replace
// what is in it; nullopt when it would not.
[[nodiscard]] std::optional<std::string> unsafeAbove(int fd, const std::string &shown)
{
    struct stat info = {};
    if (::fstat(fd, &info) != 0) {
        return shown + ": " + systemReason(errno);
    }
    if (info.st_uid != ::geteuid() && info.st_uid != 0) {
        return "The folder " + shown + " is another user's";
    }
    if ((info.st_mode & S_IWOTH) != 0 && (info.st_mode & S_ISVTX) == 0) {
        return "The folder " + shown + " may be changed by every user";
    }
    return std::nullopt;
}

// Why the private folder itself, as opened, may not be used; nullopt when it may.
[[nodiscard]] std::optional<std::string> unsafeOwn(int fd, const std::string &shown)
{
    struct stat info = {};
    if (::fstat(fd, &info) != 0) {
        return shown + ": " + systemReason(errno);
    }
    if (info.st_uid != ::geteuid()) {
        return "The folder " + shown + " is another user's";
    }
    if ((info.st_mode & 077) != 0) {
        char mode[8];
        std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(info.st_mode & 07777));
        return "The folder " + shown + " is open to other users (mode " + mode +
               "); it must be yours alone (mode 0700)";
    }
    return std::nullopt;
}

} // namespace

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

PrivateFolder makePrivateFolder(const std::string &folder)
{
    std::string above = folderOf(folder);
    while (above.size() > 1 && above.ends_with('/')) {
        above.pop_back();
    }
    const std::string name = nameOf(folder);
    if (!folder.starts_with('/') || name.empty() || name == "." || name == "..") {
        return {folder, "The folder " + folder + " is not an absolute path to a folder"};
    }
    if (const int error = makeOwnFolders(above); error != 0) {
        return {folder, above + ": " + systemReason(error)};
    }
    // Each folder from the root down, by descriptor: a link or a folder swapped in
    // meanwhile is seen, not followed.
    std::string real = realPathOf(above);
    if (real == "/") {
        real.clear();
    }
    FileDescriptor at(::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!at.isOpen()) {
        return {folder, "/: " + systemReason(errno)};
    }
    if (auto refusal = unsafeAbove(at.get(), "/")) {
        return {folder, *refusal};
    }
    std::string walked;
    for (std::size_t from = 1; from < real.size();) {
        const std::size_t slash = std::min(real.find('/', from), real.size());
        const std::string part = real.substr(from, slash - from);
        walked += "/" + part;
        FileDescriptor next = openFolderIn(at.get(), part);
        if (!next.isOpen()) {
            return {folder, notOpened(at.get(), part, walked, errno)};
        }
        if (auto refusal = unsafeAbove(next.get(), walked)) {
            return {folder, *refusal};
        }
        at = std::move(next);
        from = slash + 1;
    }
    const std::string path = real + "/" + name;
    FileDescriptor own = openFolderIn(at.get(), name);
    if (!own.isOpen() && errno == ENOENT) {
        if (::mkdirat(at.get(), name.c_str(), 0700) != 0 && errno != EEXIST) {
            return {path, path + ": " + systemReason(errno)};
        }
        own = openFolderIn(at.get(), name);
    }
    if (!own.isOpen()) {
        return {path, notOpened(at.get(), name, path, errno)};
    }
    if (auto refusal = unsafeOwn(own.get(), path)) {
        return {path, *refusal};
    }
    return {path, std::nullopt};
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

// A file system in memory whose operations fail where the test says.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "engine/files.h"

namespace lorimand::test {

class FakeFileSystem : public FileSystem
{
public:
    struct Write
    {
        std::string path;
        std::string bytes;
        std::string scratchPath; // the scratch name placed beside path; empty for none
        NewFileAccess access = NewFileAccess::Everyone;
    };

    std::map<std::string, std::string> files;
    std::set<std::string> uncreatable;  // createIfMissing and probeCreate fail here
    std::set<std::string> unreadable;   // readFile fails here
    std::set<std::string> othersShared; // another user's, in a folder anyone may write to
    bool writesFail = false;
    std::vector<Write> writes;

    ReadResult readFile(const std::string &path, const ReadOptions & = {}) override
    {
        if (unreadable.contains(path)) {
            return {{}, FileError{path, "Permission denied"}};
        }
        const auto it = files.find(path);
        if (it == files.end()) {
            return {{}, FileError{path, "No such file or directory", false, true}};
        }
        return {it->second, std::nullopt};
    }
    std::optional<FileError> writeFile(const std::string &path, std::string_view bytes,
                                       const WriteOptions &options = {}) override
    {
        if (writesFail) {
            return FileError{path, "The disk is full"};
        }
        const std::string scratchPath =
            options.scratchName.empty() ? std::string()
                                        : path.substr(0, path.rfind('/') + 1) + options.scratchName;
        writes.push_back({path, std::string(bytes), scratchPath, options.access});
        files[path] = std::string(bytes);
        return std::nullopt;
    }
    std::optional<FileError> createIfMissing(const std::string &path,
                                             NewFileAccess = NewFileAccess::Everyone) override
    {
        if (uncreatable.contains(path)) {
            return FileError{path, "Read-only file system"};
        }
        files.try_emplace(path);
        return std::nullopt;
    }
    std::optional<FileError> probeCreate(const std::string &path) override
    {
        if (uncreatable.contains(path)) {
            return FileError{path, "Read-only file system"};
        }
        files.erase(path);
        return std::nullopt;
    }
    std::vector<std::string> listFiles(const std::string &, std::string_view) override
    {
        return {};
    }
    std::optional<FileError> removeFile(const std::string &path) override
    {
        files.erase(path);
        return std::nullopt;
    }
    std::optional<FileError> sharedFolderRefusal(const std::string &path) override
    {
        if (othersShared.contains(path)) {
            return FileError{path, "It is another user's file in a folder anyone may write to"};
        }
        return std::nullopt;
    }
};

} // namespace lorimand::test

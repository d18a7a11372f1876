// The machine's file system, with operations a test can make fail.
#pragma once

#include "engine/files.h"

namespace lorimand::test {

class FailingFileSystem final : public FileSystem
{
public:
    bool failReads = false;
    bool failWrites = false;
    int reads = 0;

    ReadResult readFile(const std::string &path, const ReadOptions &options = {}) override
    {
        ++reads;
        if (failReads) {
            return {{}, FileError{path, "Input/output error"}};
        }
        return realFileSystem().readFile(path, options);
    }
    std::optional<FileError> writeFile(const std::string &path, std::string_view bytes,
                                       const WriteOptions &options = {}) override
    {
        if (failWrites) {
            return FileError{path, "The disk is full"};
        }
        return realFileSystem().writeFile(path, bytes, options);
    }
    std::optional<FileError>
    createIfMissing(const std::string &path,
                    NewFileAccess access = NewFileAccess::Everyone) override
    {
        return realFileSystem().createIfMissing(path, access);
    }
    std::optional<FileError> probeCreate(const std::string &path) override
    {
        return realFileSystem().probeCreate(path);
    }
    std::vector<std::string> listFiles(const std::string &folder, std::string_view suffix) override
    {
        return realFileSystem().listFiles(folder, suffix);
    }
    std::optional<FileError> removeFile(const std::string &path) override
    {
        return realFileSystem().removeFile(path);
    }
    std::optional<FileError> sharedFolderRefusal(const std::string &path) override
    {
        return realFileSystem().sharedFolderRefusal(path);
    }
};

} // namespace lorimand::test

// The machine's file system, with operations a test can make fail.
#pragma once

#include "engine/files.h"

namespace lorimand::test {

class FailingFileSystem final : public FileSystem
{
public:
    bool failReads = false;
    bool failWrites = false;
    // The text is written whole, and closing the file afterwards fails.
    bool failCloses = false;
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
        std::optional<FileError> error = realFileSystem().writeFile(path, bytes, options);
        if (!error && failCloses) {
            error = FileError{path, "The new text is in it, but closing it afterwards failed"};
            error->written = true;
        }
        return error;
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

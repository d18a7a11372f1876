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

    ReadResult readFile(const std::string &path) override
    {
        ++reads;
        if (failReads)
            return {{}, FileError{path, "Input/output error"}};
        return realFileSystem().readFile(path);
    }
    std::optional<FileError> writeFileAtomically(const std::string &path, std::string_view bytes,
                                                 const std::string &scratchPath) override
    {
        if (failWrites)
            return FileError{path, "No space left on device"};
        return realFileSystem().writeFileAtomically(path, bytes, scratchPath);
    }
    std::optional<FileError> createIfMissing(const std::string &path) override
    {
        return realFileSystem().createIfMissing(path);
    }
    std::vector<std::string> listFiles(const std::string &folder, std::string_view suffix) override
    {
        return realFileSystem().listFiles(folder, suffix);
    }
    std::optional<FileError> removeFile(const std::string &path) override
    {
        return realFileSystem().removeFile(path);
    }
};

} // namespace lorimand::test

// A FileSystem for tests that records the paths read and answers every read
// with the result the test chose.
#pragma once

#include "engine/files.h"

#include <string>
#include <vector>

namespace lorimand::test {

class ScriptedFileSystem final : public FileSystem
{
public:
    [[nodiscard]] ReadResult readFile(const std::string &path) override
    {
        readPaths.push_back(path);
        return readAnswer;
    }
    [[nodiscard]] std::optional<FileError>
    writeFileAtomically(const std::string &path, std::string_view, const std::string &) override
    {
        return refuse(path);
    }
    [[nodiscard]] std::optional<FileError> createIfMissing(const std::string &path) override
    {
        return refuse(path);
    }
    [[nodiscard]] std::vector<std::string> listFiles(const std::string &, std::string_view) override
    {
        return {};
    }
    [[nodiscard]] std::optional<FileError> removeFile(const std::string &path) override
    {
        return refuse(path);
    }

    ReadResult readAnswer;
    std::vector<std::string> readPaths;
    std::vector<std::string> refusedPaths; // writes and removals, which these tests never expect

private:
    std::optional<FileError> refuse(const std::string &path)
    {
        refusedPaths.push_back(path);
        return FileError{path, "Read-only file system"};
    }
};

} // namespace lorimand::test

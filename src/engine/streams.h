// lorimand-cli's side of the file layer: its input read block by block, from a
// file or standard input, and standard output written whole. The output file is
// an OutputFile.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "engine/descriptor.h"
#include "engine/files.h"
#include "engine/systemcalls.h"

namespace lorimand {

// Reading a file block by block, for texts of any size.
class InputFile
{
public:
    // An empty path or "-" reads standard input, which errors name "standard input".
    explicit InputFile(const std::string &path, SystemCalls &calls = realSystemCalls());

    [[nodiscard]] const std::optional<FileError> &error() const { return error_; }
    // An interrupted in-place write of the file was rolled back before reading it.
    [[nodiscard]] bool restored() const { return restored_; }
    // The file had been changed since an interrupted in-place write of it: it is
    // read as it is, and its text from before that write was put into this file.
    [[nodiscard]] const std::string &oldTextKeptIn() const { return oldTextKeptIn_; }
    // Reads up to size bytes; 0 at the end or on an error (see error()).
    [[nodiscard]] std::size_t read(char *buffer, std::size_t size);

private:
    SystemCalls &calls_;
    std::string path_;
    FileDescriptor owned_; // none for standard input, which stays open
    int fd_ = -1;
    std::optional<FileError> error_;
    bool restored_ = false;
    std::string oldTextKeptIn_;
};

// Writes every byte to standard output; errors name "standard output".
[[nodiscard]] std::optional<FileError> writeStandardOutput(std::string_view bytes);

} // namespace lorimand

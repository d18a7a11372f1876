// Reading code-table files: one entry n=m per line (a line ends at CR LF, CR or
// LF), n the plain code and m the encoded one; a line without "=" is skipped.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "engine/codetable.h"
#include "engine/files.h"

namespace lorimand {

struct CodeTableLineError
{
    std::size_t line = 0; // 1-based
    std::string reason;   // e.g. "the code before \"=\" is 300, not a whole number from 0 to 255"
};

struct CodeTableParse
{
    // The entries of the lines before the first bad line (all lines when none is bad).
    CodeTables tables;
    std::optional<CodeTableLineError> error;
};

[[nodiscard]] CodeTableParse parseCodeTable(std::string_view fileBytes);

struct CodeTableLoad
{
    // nullopt when the file cannot be read; otherwise what parseCodeTable gives.
    std::optional<CodeTables> tables;
    // Names the file, and why it cannot be read or the line where it stops.
    std::optional<FileError> error;
};

// Far above any real code table, so that a wrong file cannot take all memory.
inline constexpr std::size_t kCodeTableFileLimit = std::size_t{16} * 1024 * 1024;

[[nodiscard]] CodeTableLoad loadCodeTableFile(FileSystem &files, const std::string &path);

} // namespace lorimand

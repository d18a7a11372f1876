// lorimand-cli find-key: the likeliest keys (or code tables and directions) of an
// encoded input, best first, one a line with tab-separated fields for scripts.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "engine/systemcalls.h"

namespace lorimand {

struct FindKeyOptions
{
    std::size_t top = 5;
    bool tables = false; // rank code tables instead of shifts
    // The folder of the tables; the program's and the user's when absent.
    std::optional<std::string> tablesFolder;
};

// Reads the start of input (empty or "-": standard input), prints the candidates
// and returns the exit status.
[[nodiscard]] int runFindKey(const FindKeyOptions &options, const std::string &input,
                             SystemCalls &calls);

// The start of a decoding as one line of UTF-8: up to `characters` characters,
// a byte sequence that is UTF-8 as its character and any other byte as its
// Windows-1252 character; control codes (tab and line ends too) as their control
// pictures and the codes Windows-1252 leaves unassigned as U+FFFD.
[[nodiscard]] std::string previewLine(std::string_view decoded, std::size_t characters);

} // namespace lorimand

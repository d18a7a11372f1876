// lorimand-cli's work: reading its command line, loading the key or the code table,
// and streaming the input through the translation block by block, so that files of
// any size are translated in constant memory.
#pragma once

#include <cstddef>

#include "engine/systemcalls.h"

namespace lorimand {

// What lorimand-cli ends with.
enum class BatchExit : int
{
    Success = 0,
    FileError = 1,   // a file (or standard input or output) could not be read or written
    UsageError = 2,  // a bad command line, or a code-table file that does not load
    NotClear = 3,    // find-key printed its candidates, but none is clearly ahead
    Undecodable = 3, // check-table: decoding cannot give back every code
};

// The size of the blocks read, translated and written.
inline constexpr std::size_t kBatchBlockSize = std::size_t{128} * 1024;

// Runs lorimand-cli with its command line (argv[0] the program's name). Messages go
// to standard error, help and version to standard output; the translation goes to
// the output file or standard output. Every file is reached through `calls`.
// Returns the exit status.
[[nodiscard]] int runBatch(int argc, const char *const *argv,
                           SystemCalls &calls = realSystemCalls());

} // namespace lorimand

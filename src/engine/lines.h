// The program's line rule for text files: a line ends at CR LF or at a CR that
// no LF follows; an LF on its own stays inside its line; every other byte (NUL
// and 0x1A included) is kept.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lorimand {

// The lines, without their line ends; a line end at the very end starts no further line.
[[nodiscard]] std::vector<std::string_view> splitLines(std::string_view bytes);

// The lines of a code-table or settings file: as splitLines, except that an LF on
// its own also ends a line, as in files written by Linux editors.
[[nodiscard]] std::vector<std::string_view> splitRecordLines(std::string_view bytes);

// A loaded text: the lines joined by CR LF, so a final line end is dropped.
[[nodiscard]] std::string joinLines(std::string_view bytes);

// Every line followed by CR LF, the last one included.
[[nodiscard]] std::string endEveryLine(std::string_view bytes);

} // namespace lorimand

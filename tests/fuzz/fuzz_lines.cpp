// The line rule on any bytes: a CR always ends a line and no line holds one;
// loading gives the lines joined by CR LF, and loading that again gives the same
// lines; the save-and-reload check says "unchanged" exactly when it is. The rule
// of code-table and settings files also ends a line at an LF.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/lines.h"
#include "fuzzinput.h"

using lorimand::fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view bytes = lorimand::fuzz::FuzzInput(data, size).rest();
    const std::vector<std::string_view> lines = lorimand::splitLines(bytes);

    std::string joined;
    std::string ended;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        require(lines[i].find('\r') == std::string_view::npos, "no line holds a CR");
        if (i > 0) {
            joined += "\r\n";
        }
        joined += lines[i];
        ended += lines[i];
        ended += "\r\n";
    }
    const std::string loaded = lorimand::joinLines(bytes);
    require(loaded == joined, "a loaded text is its lines joined by CR LF");
    require(lorimand::endEveryLine(bytes) == ended, "every line ends in CR LF, the last too");
    // A line end at the very end starts no further line, so a last line that is
    // empty has nothing to show it once the lines are joined.
    std::vector<std::string_view> reloaded = lines;
    if (!reloaded.empty() && reloaded.back().empty()) {
        reloaded.pop_back();
    }
    require(lorimand::splitLines(loaded) == reloaded, "loading a loaded text gives its lines");

    const std::vector<std::string_view> records = lorimand::splitRecordLines(bytes);
    for (const std::string_view record : records) {
        require(record.find_first_of("\r\n") == std::string_view::npos,
                "no line of a code-table or settings file holds a CR or an LF");
    }
    if (bytes.find('\n') == std::string_view::npos) {
        require(records == lines, "without an LF, both rules find the same lines");
    }
    return 0;
}

// The start-up command line on any argument text: an empty text asks for nothing;
// any other names a file, which is the text itself or the text after a switch of
// three characters, never otherwise changed; a request written back as its switch
// and file name reads as the same request.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "fuzzinput.h"
#include "startup/commandline.h"

using lorimand::fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    const std::optional<lorimand::CommandLineRequest> request = lorimand::parseCommandLine(text);
    require(request.has_value() == !text.empty(), "only an empty text asks for nothing");
    if (!request) {
        return 0;
    }
    const std::size_t switchLength = text.size() - request->fileName.size();
    require(text.ends_with(request->fileName), "the file name is the end of the text, unchanged");
    require(switchLength == 0 || switchLength == 3, "only a switch comes before the file name");
    require(switchLength == 3 || request->direction == lorimand::Direction::Decode,
            "a file name alone is decoded");

    const std::string written =
        (request->direction == lorimand::Direction::Encode ? "-e " : "-d ") + request->fileName;
    require(lorimand::parseCommandLine(written) == request,
            "a request written back reads the same");
    return 0;
}

// The start-up command line on any argument text: an empty text asks for nothing;
// any other names a file, which is the text itself or the text after a switch of
// three characters, never otherwise changed; a request written back as its switch
// and file name reads as the same request.
#include <cstddef>
#include <cstdint>
#include <optional>

#include <QString>

#include "fuzzinput.h"
#include "startup/commandline.h"

using lorimand::fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const std::optional<lorimand::CommandLineRequest> request = lorimand::parseCommandLine(text);
    require(request.has_value() == !text.isEmpty(), "only an empty text asks for nothing");
    if (!request) {
        return 0;
    }
    const qsizetype switchLength = text.size() - request->fileName.size();
    require(text.endsWith(request->fileName), "the file name is the end of the text, unchanged");
    require(switchLength == 0 || switchLength == 3, "only a switch comes before the file name");
    require(switchLength == 3 || request->direction == lorimand::Direction::Decode,
            "a file name alone is decoded");

    const QString written =
        (request->direction == lorimand::Direction::Encode ? QStringLiteral("-e ")
                                                           : QStringLiteral("-d ")) +
        request->fileName;
    require(lorimand::parseCommandLine(written) == request,
            "a request written back reads the same");
    return 0;
}

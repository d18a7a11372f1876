// The start-up command line: "-e FILE" encodes a plain-text file, "-d FILE" or a
// file name alone decodes an encoded one.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/direction.h"

namespace lorimand {

struct CommandLineRequest
{
    // The file system's bytes, used unchanged: blanks and quotation marks are part
    // of it, and it need not be valid UTF-8.
    std::string fileName;
    Direction direction = Direction::Decode;
    friend bool operator==(const CommandLineRequest &, const CommandLineRequest &) = default;
};

// The argument text: the program's arguments (without its own name), as the
// bytes the system gave, joined by single blanks.
[[nodiscard]] std::string argumentText(const std::vector<std::string_view> &arguments);

// nullopt for an empty argument text.
[[nodiscard]] std::optional<CommandLineRequest> parseCommandLine(std::string_view argumentText);

} // namespace lorimand

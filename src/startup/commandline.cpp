#include "startup/commandline.h"

namespace lorimand {

namespace {

// Whether text starts with the switch "-" letter blank, the letter in either case.
bool startsWithSwitch(std::string_view text, char letter)
{
    return text.size() >= 3 && text[0] == '-' && (text[1] | 0x20) == letter && text[2] == ' ';
}

} // namespace

std::string argumentText(const std::vector<std::string_view> &arguments)
{
    std::string text;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (i > 0) {
            text += ' ';
        }
        text += arguments[i];
    }
    return text;
}

std::optional<CommandLineRequest> parseCommandLine(std::string_view argumentText)
{
    if (argumentText.empty()) {
        return std::nullopt;
    }
    // The blank belongs to the switch: "-e" alone or "-enotes.txt" is a file name.
    if (startsWithSwitch(argumentText, 'e')) {
        return CommandLineRequest{std::string(argumentText.substr(3)), Direction::Encode};
    }
    if (startsWithSwitch(argumentText, 'd')) {
        return CommandLineRequest{std::string(argumentText.substr(3)), Direction::Decode};
    }
    return CommandLineRequest{std::string(argumentText), Direction::Decode};
}

} // namespace lorimand

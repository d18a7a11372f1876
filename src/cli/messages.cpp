#include "cli/messages.h"

#include <iostream>

namespace lorimand {

int exitCode(BatchExit status)
{
    return static_cast<int>(status);
}

void complain(std::string_view message)
{
    std::cerr << kProgram << ": " << message << '\n' << std::flush;
}

std::string shown(std::string_view argument)
{
    std::string text;
    text.reserve(argument.size());
    for (const char c : argument) {
        const auto code = static_cast<unsigned char>(c);
        switch (c) {
        case '\\':
            text += "\\\\";
            break;
        case '\n':
            text += "\\n";
            break;
        case '\r':
            text += "\\r";
            break;
        case '\t':
            text += "\\t";
            break;
        default:
            if (code < 0x20 || code == 0x7F) {
                static constexpr char kHex[] = "0123456789ABCDEF";
                text += "\\x";
                text += kHex[code >> 4];
                text += kHex[code & 0xF];
            } else {
                text += c;
            }
        }
    }
    return text;
}

std::string describe(const FileError &error)
{
    return (error.path.empty() ? std::string("\"\"") : shown(error.path)) + ": " + error.reason;
}

void tellRecovery(const std::string &path, bool restored, const std::string &oldTextKeptIn)
{
    if (restored) {
        complain(restoredNotice(shown(path)));
    }
    if (!oldTextKeptIn.empty()) {
        complain(oldTextKeptNotice(shown(path), shown(oldTextKeptIn)));
    }
}

} // namespace lorimand

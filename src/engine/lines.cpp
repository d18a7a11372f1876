#include "engine/lines.h"

#include <cstring>

namespace lorimand {

std::vector<std::string_view> splitLines(std::string_view bytes)
{
    std::vector<std::string_view> lines;
    const std::size_t size = bytes.size();
    std::size_t start = 0;
    while (start < size) {
        const void *cr = std::memchr(bytes.data() + start, '\r', size - start);
        if (cr == nullptr) {
            lines.push_back(bytes.substr(start));
            break;
        }
        const auto end = static_cast<std::size_t>(static_cast<const char *>(cr) - bytes.data());
        lines.push_back(bytes.substr(start, end - start));
        start = end + 1;
        if (start < size && bytes[start] == '\n') {
            ++start;
        }
    }
    return lines;
}

std::vector<std::string_view> splitRecordLines(std::string_view bytes)
{
    std::vector<std::string_view> lines;
    const std::size_t size = bytes.size();
    std::size_t start = 0;
    while (start < size) {
        const std::size_t end = bytes.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.push_back(bytes.substr(start));
            break;
        }
        lines.push_back(bytes.substr(start, end - start));
        start = end + 1;
        if (bytes[end] == '\r' && start < size && bytes[start] == '\n') {
            ++start;
        }
    }
    return lines;
}

std::string joinLines(std::string_view bytes)
{
    const std::vector<std::string_view> lines = splitLines(bytes);
    std::string text;
    text.reserve(bytes.size() + lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) {
            text += "\r\n";
        }
        text += lines[i];
    }
    return text;
}

std::string endEveryLine(std::string_view bytes)
{
    const std::vector<std::string_view> lines = splitLines(bytes);
    std::string text;
    text.reserve(bytes.size() + 2 * lines.size());
    for (const std::string_view line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

} // namespace lorimand

#include "engine/lines.h"

#include <algorithm>
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
    // In one pass, as loading a large text waits for it: what lies between the
    // CRs is copied as it is, and a lone CR becomes CR LF.
    if (bytes.ends_with("\r\n")) {
        bytes.remove_suffix(2);
    } else if (bytes.ends_with('\r')) {
        bytes.remove_suffix(1);
    }
    std::string text;
    text.reserve(bytes.size() +
                 static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\r')));
    for (std::size_t from = 0;;) {
        const std::size_t cr = bytes.find('\r', from);
        if (cr == std::string_view::npos) {
            text += bytes.substr(from);
            return text;
        }
        text += bytes.substr(from, cr + 1 - from);
        if (cr + 1 == bytes.size() || bytes[cr + 1] != '\n') {
            text += '\n';
        }
        from = cr + 1;
    }
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

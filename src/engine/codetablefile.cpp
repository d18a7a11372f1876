#include "engine/codetablefile.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>

#include "engine/lines.h"
#include "engine/numberreader.h"

namespace lorimand {

namespace {

// The shortest text that reads back as value.
[[nodiscard]] std::string numberText(double value)
{
    std::array<char, 64> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return std::string(buffer.data(), result.ptr);
}

// The code a side of an entry stands for, or the reason it stands for none.
[[nodiscard]] std::optional<std::int32_t> readCode(std::string_view text, const char *side,
                                                   std::string &reason)
{
    const double value = readNumber(text);
    const std::optional<std::int32_t> code = roundToInt32(value);
    if (code && *code >= 0 && *code <= 255) {
        return code;
    }
    reason = std::string("the code ") + side + " \"=\" is " + numberText(value);
    if (code && static_cast<double>(*code) != value) {
        reason += ", which rounds to " + std::to_string(*code);
    }
    reason += ", not a whole number from 0 to 255";
    return std::nullopt;
}

} // namespace

CodeTableParse parseCodeTable(std::string_view fileBytes)
{
    CodeTableParse parse;
    std::size_t lineNumber = 0;
    for (const std::string_view line : splitRecordLines(fileBytes)) {
        ++lineNumber;
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) {
            continue;
        }
        // The right side is checked first, and nothing is stored unless both
        // sides are good. The left side is read from the start of the line, so
        // the "=" ends it.
        std::string reason;
        const auto m = readCode(line.substr(equals + 1), "after", reason);
        if (!m) {
            parse.error = CodeTableLineError{lineNumber, reason};
            break;
        }
        const auto n = readCode(line, "before", reason);
        if (!n) {
            parse.error = CodeTableLineError{lineNumber, reason};
            break;
        }
        parse.tables.encodeTable[static_cast<std::size_t>(*n)] = static_cast<std::int16_t>(*m);
        parse.tables.decodeTable[static_cast<std::size_t>(*m)] = static_cast<std::int16_t>(*n);
    }
    return parse;
}

CodeTableLoad loadCodeTableFile(FileSystem &files, const std::string &path)
{
    const ReadResult read = files.readFile(path, ReadOptions{kCodeTableFileLimit, false});
    if (read.error) {
        return {std::nullopt, read.error};
    }
    CodeTableParse parsed = parseCodeTable(read.bytes);
    CodeTableLoad load{parsed.tables, std::nullopt};
    if (parsed.error) {
        load.error = FileError{path, "line " + std::to_string(parsed.error->line) + ": " +
                                         parsed.error->reason};
    }
    return load;
}

} // namespace lorimand

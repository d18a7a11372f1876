// The code-table file reader on any bytes: the line it blames for an error is a
// line of the file holding an "=", with a reason; the table it keeps is the one
// the lines before that line give on their own, without an error.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/codetablefile.h"
#include "engine/lines.h"
#include "engine/tablecheck.h"
#include "fuzzinput.h"

using lorimand::fuzz::require;

namespace {

// Whether text comes back whole from encoding and decoding through the tables.
bool comesBack(const std::string &text, const lorimand::CodeTables &tables)
{
    const std::string encoded = lorimand::translateThroughTable(text, tables.encodeTable);
    return lorimand::translateThroughTable(encoded, tables.decodeTable) == text;
}

// The check says a table decodes exactly when every code as a text of its own,
// and every code after a CR, comes back from a round trip: a code's translation
// depends on itself and, for an LF, on whether a CR comes before it.
void checkDecodable(const lorimand::CodeTables &tables)
{
    bool allComeBack = true;
    for (int code = 0; code < 256; ++code) {
        const char c = static_cast<char>(code);
        allComeBack = allComeBack && comesBack(std::string(1, c), tables) &&
                      comesBack(std::string{'\r', c}, tables);
    }
    const lorimand::TableCheck check = lorimand::checkTable(tables);
    require(check.decodable() == allComeBack, "the check agrees with a round trip of every code");
    require(check.decodable() == lorimand::describeProblems(check).empty(),
            "a table is described by its problems alone");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view file = lorimand::fuzz::FuzzInput(data, size).rest();
    const lorimand::CodeTableParse parse = lorimand::parseCodeTable(file);
    checkDecodable(parse.tables);
    if (!parse.error) {
        return 0;
    }
    const std::vector<std::string_view> lines = lorimand::splitRecordLines(file);
    const std::size_t blamed = parse.error->line;
    require(blamed >= 1 && blamed <= lines.size(), "the line blamed is a line of the file");
    require(lines[blamed - 1].find('=') != std::string_view::npos,
            "only a line with an \"=\" is blamed");
    require(!parse.error->reason.empty(), "an error gives its reason");

    std::string before;
    for (std::size_t i = 0; i + 1 < blamed; ++i) {
        before += lines[i];
        before += "\r\n";
    }
    const lorimand::CodeTableParse head = lorimand::parseCodeTable(before);
    require(!head.error, "the lines before the one blamed read without an error");
    require(head.tables == parse.tables, "the table kept is the one the lines before give");
    return 0;
}

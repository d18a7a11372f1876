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

// The check says a table decodes exactly when every code, each CR followed by
// an LF, comes back from a round trip of the whole text.
void checkDecodable(const lorimand::CodeTables &tables)
{
    std::string text;
    for (int code = 0; code < 256; ++code) {
        text += static_cast<char>(code);
        if (code == '\r') {
            text += '\n';
        }
    }
    const std::string encoded = lorimand::translateThroughTable(text, tables.encodeTable);
    const bool comesBack = lorimand::translateThroughTable(encoded, tables.decodeTable) == text;
    const lorimand::TableCheck check = lorimand::checkTable(tables);
    require(check.decodable() == comesBack, "the check agrees with a round trip of every code");
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

#include "engine/tablecheck.h"

#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/charset.h"

namespace lorimand {

namespace {

using CodeMap = std::array<unsigned char, 256>;

// What each code becomes through one direction, as a text of its own.
[[nodiscard]] CodeMap codeMapOf(const CodeTable &table)
{
    TableTranslator translator(table);
    CodeMap map{};
    for (std::size_t code = 0; code < map.size(); ++code) {
        char byte = static_cast<char>(code);
        translator.translate(std::span<char>(&byte, 1));
        translator.finish();
        map[code] = static_cast<unsigned char>(byte);
    }
    return map;
}

// Two codes through a translator, as a text of their own.
[[nodiscard]] std::array<char, 2> translated(TableTranslator &translator, std::array<char, 2> pair)
{
    translator.translate(pair);
    translator.finish();
    return pair;
}

[[nodiscard]] std::string listOf(const std::vector<unsigned char> &codes)
{
    std::string list;
    for (std::size_t i = 0; i < codes.size(); ++i) {
        if (i > 0) {
            list += i + 1 == codes.size() ? " and " : ", ";
        }
        list += codeShown(codes[i]);
    }
    return list;
}

} // namespace

TableCheck checkTable(const CodeTables &tables)
{
    const CodeMap encodes = codeMapOf(tables.encodeTable);
    const CodeMap decodes = codeMapOf(tables.decodeTable);
    // The codes that encode as each code, in ascending order.
    std::array<std::vector<unsigned char>, 256> byEncoding;
    for (std::size_t code = 0; code < encodes.size(); ++code) {
        byEncoding[encodes[code]].push_back(static_cast<unsigned char>(code));
    }
    TableCheck check;
    for (std::size_t encoded = 0; encoded < byEncoding.size(); ++encoded) {
        if (byEncoding[encoded].size() > 1) {
            check.clashes.push_back({byEncoding[encoded], static_cast<unsigned char>(encoded)});
        }
    }
    for (std::size_t code = 0; code < encodes.size(); ++code) {
        const unsigned char encoded = encodes[code];
        if (byEncoding[encoded].size() == 1 && decodes[encoded] != code) {
            check.mismatches.push_back(
                {static_cast<unsigned char>(code), encoded, decodes[encoded]});
        }
    }
    if (!check.clashes.empty() || !check.mismatches.empty()) {
        return check;
    }
    // Every code comes back alone, a CR too; after a CR only an LF translates
    // differently, so a code can fail there only through the LF of a line break.
    TableTranslator encoder(tables.encodeTable);
    TableTranslator decoder(tables.decodeTable);
    for (std::size_t code = 0; code < encodes.size(); ++code) {
        const auto encoded = translated(encoder, {'\r', static_cast<char>(code)});
        const auto decoded = translated(decoder, encoded);
        if (static_cast<unsigned char>(decoded[1]) != code) {
            check.afterCr.push_back({static_cast<unsigned char>(code),
                                     static_cast<unsigned char>(encoded[1]),
                                     static_cast<unsigned char>(decoded[1])});
        }
    }
    return check;
}

std::string codeShown(unsigned char code)
{
    // Blanks, control codes and the soft hyphen show nothing a reader could name.
    if ((code > 32 && code < 127) || (code > 160 && code != 173)) {
        std::string shown;
        charset::appendUtf8(charset::toUnicode(code), shown);
        return shown;
    }
    return "code " + std::to_string(code);
}

std::vector<std::string> describeProblems(const TableCheck &check)
{
    std::vector<std::string> lines;
    for (const TableClash &clash : check.clashes) {
        const std::string encoded = codeShown(clash.encoded);
        if (clash.codes.size() == 2) {
            lines.push_back("Decoding cannot tell " + codeShown(clash.codes[0]) + " from " +
                            codeShown(clash.codes[1]) + ": both encode as " + encoded);
        } else {
            lines.push_back("Decoding cannot tell " + listOf(clash.codes) +
                            " apart: all encode as " + encoded);
        }
    }
    for (const TableMismatch &mismatch : check.mismatches) {
        lines.push_back(codeShown(mismatch.code) + " encodes as " + codeShown(mismatch.encoded) +
                        ", which decodes as " + codeShown(mismatch.decoded));
    }
    for (const TableAfterCr &after : check.afterCr) {
        lines.push_back("After a CR, " + codeShown(after.code) + " encodes as " +
                        codeShown(after.encoded) + ", which decodes as " +
                        codeShown(after.decoded));
    }
    return lines;
}

} // namespace lorimand

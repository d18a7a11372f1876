#include "engine/codetable.h"

#include <cstring>

#include "engine/charset.h"

namespace lorimand {

namespace {

[[nodiscard]] bool hasEntry(std::int16_t entry) noexcept
{
    return entry >= 0 && entry <= 255;
}

[[nodiscard]] std::int16_t resolve(const CodeTable &table, unsigned char code) noexcept
{
    if (hasEntry(table[code])) {
        return table[code];
    }
    // A letter without an entry of its own borrows the other case's entry, given
    // the case of the letter. For other characters both forms are the character
    // itself, whose entry is already known to be empty.
    const std::int16_t lowerEntry = table[charset::toLower(code)];
    if (hasEntry(lowerEntry)) {
        return charset::toUpper(static_cast<unsigned char>(lowerEntry));
    }
    const std::int16_t upperEntry = table[charset::toUpper(code)];
    if (hasEntry(upperEntry)) {
        return charset::toLower(static_cast<unsigned char>(upperEntry));
    }
    return kNoEntry;
}

constexpr unsigned char kCr = 13;
constexpr unsigned char kLf = 10;

// Whether any of the eight bytes is a CR (the classic test for a zero byte,
// applied to the bytes XOR CR).
[[nodiscard]] bool hasCr(std::uint64_t block) noexcept
{
    constexpr std::uint64_t kOnes = 0x0101010101010101ull;
    const std::uint64_t x = block ^ (kOnes * kCr);
    return ((x - kOnes) & ~x & (kOnes * 0x80)) != 0;
}

} // namespace

TableTranslator::TableTranslator(const CodeTable &table) noexcept
{
    for (int code = 0; code < 256; ++code) {
        const auto c = static_cast<unsigned char>(code);
        const std::int16_t entry = resolve(table, c);
        map_[c] = hasEntry(entry) ? static_cast<unsigned char>(entry) : c;
    }
    lfAfterCrPasses_ = !hasEntry(resolve(table, kCr)) && map_[kLf] != kLf;
}

void TableTranslator::translate(std::string_view piece, std::string &out)
{
    const std::size_t start = out.size();
    out.resize(start + piece.size());
    translate(reinterpret_cast<const unsigned char *>(piece.data()), piece.size(),
              out.data() + start);
}

void TableTranslator::translate(std::span<char> bytes) noexcept
{
    translate(reinterpret_cast<const unsigned char *>(bytes.data()), bytes.size(), bytes.data());
}

void TableTranslator::translate(const unsigned char *in, std::size_t size, char *out) noexcept
{
    const unsigned char *map = map_.data();
    std::size_t i = 0;
    while (i < size) {
        // Eight bytes at a time while no LF among them can follow a CR: plain
        // table lookups, unrolled, about the speed of a byte copy loop. Each byte
        // is read before its place is written, so the text may be translated in place.
        if (size - i >= 8) {
            std::uint64_t block = 0;
            std::memcpy(&block, in + i, 8);
            if (!lfAfterCrPasses_ || (!afterCr_ && !hasCr(block))) {
                for (std::size_t k = 0; k < 8; ++k) {
                    out[i + k] = static_cast<char>(map[in[i + k]]);
                }
                i += 8;
                continue;
            }
        }
        const unsigned char c = in[i];
        out[i++] = static_cast<char>(afterCr_ && c == kLf ? kLf : map[c]);
        afterCr_ = lfAfterCrPasses_ && c == kCr;
    }
}

void TableTranslator::translateWithin(std::string_view text, std::size_t from, std::size_t to,
                                      std::string &out) const
{
    out.reserve(out.size() + (to - from));
    for (std::size_t i = from; i < to; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        const bool lfOfCrLf =
            lfAfterCrPasses_ && c == kLf && i > 0 && text[i - 1] == static_cast<char>(kCr);
        out += static_cast<char>(lfOfCrLf ? kLf : map_[c]);
    }
}

std::string translateThroughTable(std::string_view text, const CodeTable &table)
{
    TableTranslator translator(table);
    std::string result;
    translator.translate(text, result);
    translator.finish();
    return result;
}

} // namespace lorimand

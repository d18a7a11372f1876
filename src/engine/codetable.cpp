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
        resolved_[c] = resolve(table, c);
        map_[c] = hasEntry(resolved_[c]) ? static_cast<unsigned char>(resolved_[c]) : c;
    }
    crWithoutEntry_ = !hasEntry(resolved_[kCr]);
}

void TableTranslator::translate(std::string_view piece, std::string &out)
{
    const std::size_t start = out.size();
    // Every byte gives at most one byte, except a held CR that an LF completes.
    out.resize(start + piece.size() + 1);
    out.resize(start + translate(piece, out.data() + start));
}

std::size_t TableTranslator::translate(std::string_view piece, char *out) noexcept
{
    const auto *in = reinterpret_cast<const unsigned char *>(piece.data());
    const std::size_t size = piece.size();
    char *dst = out;
    std::size_t i = 0;

    if (pendingCr_ && size > 0) {
        pendingCr_ = false;
        if (in[0] == kLf) {
            *dst++ = static_cast<char>(kCr);
            *dst++ = static_cast<char>(kLf);
            i = 1;
        }
    }

    const unsigned char *map = map_.data();
    while (i < size) {
        // Eight bytes at a time while they hold no CR that needs the line-break
        // rule: plain table lookups, unrolled, about the speed of a byte copy loop.
        if (size - i >= 8) {
            std::uint64_t block = 0;
            std::memcpy(&block, in + i, 8);
            if (!crWithoutEntry_ || !hasCr(block)) {
                for (std::size_t k = 0; k < 8; ++k) {
                    dst[k] = static_cast<char>(map[in[i + k]]);
                }
                dst += 8;
                i += 8;
                continue;
            }
        }
        const unsigned char c = in[i++];
        if (c != kCr || !crWithoutEntry_) {
            *dst++ = static_cast<char>(map[c]);
            continue;
        }
        // A CR without an entry: kept only as part of CR LF, whose LF is consumed
        // with it; at the end of the piece, the next piece decides.
        if (i == size) {
            pendingCr_ = true;
        } else if (in[i] == kLf) {
            *dst++ = static_cast<char>(kCr);
            *dst++ = static_cast<char>(kLf);
            ++i;
        }
    }
    return static_cast<std::size_t>(dst - out);
}

void TableTranslator::translateWithin(std::string_view text, std::size_t from, std::size_t to,
                                      std::string &out) const
{
    out.reserve(out.size() + (to - from));
    for (std::size_t i = from; i < to; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (crWithoutEntry_ && c == kCr) {
            // Kept only as part of CR LF.
            if (i + 1 < text.size() && text[i + 1] == static_cast<char>(kLf)) {
                out += static_cast<char>(kCr);
            }
            continue;
        }
        const bool lfOfCrLf =
            crWithoutEntry_ && c == kLf && i > 0 && text[i - 1] == static_cast<char>(kCr);
        // The LF of a CR LF passes as it is.
        out += static_cast<char>(lfOfCrLf ? kLf : map_[c]);
    }
}

std::size_t countLoneCrs(std::string_view bytes) noexcept
{
    std::size_t count = 0;
    for (std::size_t i = bytes.find('\r'); i != std::string_view::npos;
         i = bytes.find('\r', i + 1)) {
        if (i + 1 == bytes.size() || bytes[i + 1] != '\n') {
            ++count;
        }
    }
    return count;
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

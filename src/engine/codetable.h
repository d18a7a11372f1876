// Code-table translation: every character replaced by its table entry, a letter
// without one borrowing the entry of its other case, a character without any
// entry passed unchanged (CR LF as a line break).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace lorimand {

// One direction of a code table: the code each character turns into, or kNoEntry.
using CodeTable = std::array<std::int16_t, 256>;
inline constexpr std::int16_t kNoEntry = -1;

[[nodiscard]] constexpr CodeTable emptyCodeTable() noexcept
{
    CodeTable table{};
    table.fill(kNoEntry);
    return table;
}

struct CodeTables
{
    CodeTable encodeTable = emptyCodeTable();
    CodeTable decodeTable = emptyCodeTable();
    friend bool operator==(const CodeTables &, const CodeTables &) = default;
};

// Translates a text that arrives in pieces, byte for byte: the translation is as
// long as the text. A CR without an entry passes unchanged, and so does the LF
// right after it (CR LF is a line break, whatever the LF's entry); the LF of a
// CR that ended the piece before is known by the translator.
class TableTranslator
{
public:
    explicit TableTranslator(const CodeTable &table) noexcept;
    // Appends the translation of piece to out.
    void translate(std::string_view piece, std::string &out);
    // Translates bytes in place.
    void translate(std::span<char> bytes) noexcept;
    // Ends the text: what comes next is a new text.
    void finish() noexcept { afterCr_ = false; }

    // Appends what bytes [from, to) of a text translate to as part of the whole
    // text: each byte by itself, but an LF by the byte before it. `text` is a
    // stretch of the whole text that holds the byte before `from` unless the
    // whole text starts at from.
    void translateWithin(std::string_view text, std::size_t from, std::size_t to,
                         std::string &out) const;

private:
    // Translates size bytes from in to out, which may be the same place.
    void translate(const unsigned char *in, std::size_t size, char *out) noexcept;

    std::array<unsigned char, 256> map_; // the entry each code finally uses, case borrowing
                                         // done, or the code itself when it has none
    bool lfAfterCrPasses_ = false;       // CR has no entry and LF has one: CR LF keeps its LF
    bool afterCr_ = false;               // the piece before ended with a CR
};

[[nodiscard]] std::string translateThroughTable(std::string_view text, const CodeTable &table);

} // namespace lorimand

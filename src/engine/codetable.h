// Code-table translation: every character replaced by its table entry, a letter
// without one borrowing the entry of its other case, line breaks passed through.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
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

// Translates a text that arrives in pieces. A CR without an entry passes only as
// part of CR LF; one that ends a piece is held back until the next piece shows
// whether an LF follows, and one that ends the text is dropped.
class TableTranslator
{
public:
    explicit TableTranslator(const CodeTable &table) noexcept;
    // Appends the translation of piece to out.
    void translate(std::string_view piece, std::string &out);
    // Writes the translation of piece to out, which has room for piece.size() + 1
    // bytes (a held CR comes out with the next piece); returns the bytes written.
    std::size_t translate(std::string_view piece, char *out) noexcept;
    // Ends the text; a CR held back is dropped.
    void finish() noexcept { pendingCr_ = false; }

    // Whether a lone CR (one that no LF follows) is dropped, so that the
    // translation is shorter than the text by the lone CRs it holds.
    [[nodiscard]] bool dropsLoneCr() const noexcept { return crWithoutEntry_; }
    // Appends what bytes [from, to) of a text translate to as part of the whole
    // text: each byte by itself, but a CR and an LF by their neighbours.
    // `text` is a stretch of the whole text that holds the byte before `from`
    // unless the whole text starts at from, and the byte at `to` unless it ends there.
    void translateWithin(std::string_view text, std::size_t from, std::size_t to,
                         std::string &out) const;

private:
    CodeTable resolved_;                 // the entry each code finally uses, case borrowing done
    std::array<unsigned char, 256> map_; // resolved entry, or the code itself when none
    bool crWithoutEntry_ = false;        // whether CR follows the line-break rule
    bool pendingCr_ = false;
};

// How many CRs of the bytes no LF follows, a CR at the very end included.
[[nodiscard]] std::size_t countLoneCrs(std::string_view bytes) noexcept;

[[nodiscard]] std::string translateThroughTable(std::string_view text, const CodeTable &table);

} // namespace lorimand

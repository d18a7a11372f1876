// Making a code table of one's own: the kinds of simple substitution the program
// offers, the randomness that shuffles them, and the text of the .sbt file.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/codetable.h"

namespace lorimand {

enum class TableKind : unsigned char
{
    ShuffleLetters,    // a random order of a-z
    ShuffleCharacters, // codes 32-126 and 160-255 in a random order among themselves
    ShiftLetters,      // each letter N places along the alphabet (ROT-N)
    ReverseAlphabet,   // a and z change places, b and y, ...
    KeywordAlphabet,   // the keyword's letters first, then the rest in order
};

inline constexpr std::array kTableKinds = {TableKind::ShuffleLetters, TableKind::ShuffleCharacters,
                                           TableKind::ShiftLetters, TableKind::ReverseAlphabet,
                                           TableKind::KeywordAlphabet};

// The kind's name on the command line: "shuffle-letters", "shuffle-all", "shift",
// "reverse", "keyword".
[[nodiscard]] std::string_view tableKindName(TableKind kind) noexcept;
[[nodiscard]] std::optional<TableKind> tableKindNamed(std::string_view name) noexcept;
// Whether two tables made of the kind may differ: the shuffles draw at random.
[[nodiscard]] bool isRandomKind(TableKind kind) noexcept;

inline constexpr int kFirstShift = 1;
inline constexpr int kLastShift = 25;
inline constexpr int kDefaultShift = 13;

struct TableRecipe
{
    TableKind kind = TableKind::ShuffleLetters;
    int shift = kDefaultShift; // ShiftLetters: from kFirstShift to kLastShift
    std::string keyword;       // KeywordAlphabet: letters a-z in either case
};

// Why a table cannot be made from the recipe, in plain words; nullopt when it can.
[[nodiscard]] std::optional<std::string> recipeProblem(const TableRecipe &recipe);

// Where the shuffles draw from.
class RandomSource
{
public:
    virtual ~RandomSource() = default;
    [[nodiscard]] virtual std::uint64_t next() = 0;
    // A number from 0 to bound - 1, every one as likely as the others.
    [[nodiscard]] std::uint32_t below(std::uint32_t bound);
};

// The system's secure source (getrandom). A table is a secret, so it is never
// drawn from a generator someone could replay; throws std::system_error when the
// system gives no random bytes.
class SystemRandomSource final : public RandomSource
{
public:
    [[nodiscard]] std::uint64_t next() override;
};

// The same numbers for the same seed, for tests alone.
class SeededRandomSource final : public RandomSource
{
public:
    explicit SeededRandomSource(std::uint64_t seed) noexcept : state_(seed) {}
    [[nodiscard]] std::uint64_t next() override;

private:
    std::uint64_t state_;
};

// A table made from a recipe: the code each code encodes as (the identity where
// the kind leaves a code alone), which codes the file lists, and what it is.
struct MadeTable
{
    std::array<unsigned char, 256> encodesAs{};
    // The letter kinds list a-z alone (capitals borrow their entries); the
    // character shuffle lists every code it shuffles.
    std::array<bool, 256> listed{};
    std::string description; // one line, without "=", e.g. "letters shifted by 13 (ROT13)"
};

// The recipe must be one recipeProblem accepts.
[[nodiscard]] MadeTable makeTable(const TableRecipe &recipe, RandomSource &random);

// The .sbt file: a first line that says what the table is, then one n=m entry a
// line, each line ending in CR LF.
[[nodiscard]] std::string codeTableText(const MadeTable &table);

// Both directions, as reading the file gives them.
[[nodiscard]] CodeTables codeTablesOf(const MadeTable &table);

} // namespace lorimand

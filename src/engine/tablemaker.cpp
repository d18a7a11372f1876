#include "engine/tablemaker.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <limits>
#include <system_error>
#include <utility>

#include <sys/random.h>

#include "engine/charset.h"
#include "engine/codetablefile.h"

namespace lorimand {

namespace {

struct KindName
{
    TableKind kind;
    std::string_view name;
};

constexpr std::array<KindName, kTableKinds.size()> kKindNames = {{
    {TableKind::ShuffleLetters, "shuffle-letters"},
    {TableKind::ShuffleCharacters, "shuffle-all"},
    {TableKind::ShiftLetters, "shift"},
    {TableKind::ReverseAlphabet, "reverse"},
    {TableKind::KeywordAlphabet, "keyword"},
}};

constexpr std::size_t kLetters = 26;

[[nodiscard]] bool isLetter(char c) noexcept
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

[[nodiscard]] bool isShuffledCharacter(std::size_t code) noexcept
{
    return (code >= 32 && code <= 126) || code >= 160;
}

template <typename Container> void shuffle(Container &items, RandomSource &random)
{
    for (std::size_t i = items.size(); i > 1; --i) {
        const std::size_t j = random.below(static_cast<std::uint32_t>(i));
        std::swap(items[i - 1], items[j]);
    }
}

// The order the letters a-z take the places of a, b, c, ...
[[nodiscard]] std::array<char, kLetters> letterOrder(const TableRecipe &recipe,
                                                     RandomSource &random)
{
    std::array<char, kLetters> order{};
    for (std::size_t i = 0; i < kLetters; ++i) {
        order[i] = static_cast<char>('a' + i);
    }
    switch (recipe.kind) {
    case TableKind::ShuffleLetters:
        shuffle(order, random);
        break;
    case TableKind::ShiftLetters:
        std::rotate(order.begin(), order.begin() + recipe.shift, order.end());
        break;
    case TableKind::ReverseAlphabet:
        std::reverse(order.begin(), order.end());
        break;
    case TableKind::KeywordAlphabet: {
        std::string first;
        for (const char c : recipe.keyword) {
            const char letter = static_cast<char>(charset::toLower(static_cast<unsigned char>(c)));
            if (first.find(letter) == std::string::npos) {
                first += letter;
            }
        }
        std::stable_partition(order.begin(), order.end(), [&first](char letter) {
            return first.find(letter) != std::string::npos;
        });
        std::copy(first.begin(), first.end(), order.begin());
        break;
    }
    case TableKind::ShuffleCharacters:
        break;
    }
    return order;
}

[[nodiscard]] std::string descriptionOf(const TableRecipe &recipe)
{
    const std::string capitals = "; capital letters borrow the entries of the small ones.";
    switch (recipe.kind) {
    case TableKind::ShuffleLetters:
        return "Lorimand code table: the letters a to z in a random order" + capitals;
    case TableKind::ShuffleCharacters:
        return "Lorimand code table: every printable character in a random order among the "
               "printable ones; line ends, tabs and control codes stay as they are.";
    case TableKind::ShiftLetters:
        return "Lorimand code table: each letter moves " + std::to_string(recipe.shift) +
               " places along the alphabet (ROT" + std::to_string(recipe.shift) + ")" + capitals;
    case TableKind::ReverseAlphabet:
        return "Lorimand code table: the alphabet reversed, a and z change places, b and y, and "
               "so on" +
               capitals;
    case TableKind::KeywordAlphabet:
        return "Lorimand code table: the keyword alphabet of " + charset::toLower(recipe.keyword) +
               ", the keyword's letters first and the rest in order" + capitals;
    }
    return {};
}

} // namespace

std::string_view tableKindName(TableKind kind) noexcept
{
    for (const KindName &entry : kKindNames) {
        if (entry.kind == kind) {
            return entry.name;
        }
    }
    return {};
}

std::optional<TableKind> tableKindNamed(std::string_view name) noexcept
{
    for (const KindName &entry : kKindNames) {
        if (entry.name == name) {
            return entry.kind;
        }
    }
    return std::nullopt;
}

bool isRandomKind(TableKind kind) noexcept
{
    return kind == TableKind::ShuffleLetters || kind == TableKind::ShuffleCharacters;
}

std::optional<std::string> recipeProblem(const TableRecipe &recipe)
{
    if (recipe.kind == TableKind::ShiftLetters &&
        (recipe.shift < kFirstShift || recipe.shift > kLastShift)) {
        return "the shift is " + std::to_string(recipe.shift) + ", not a whole number from " +
               std::to_string(kFirstShift) + " to " + std::to_string(kLastShift);
    }
    if (recipe.kind == TableKind::KeywordAlphabet) {
        if (recipe.keyword.empty()) {
            return std::string("the keyword is empty");
        }
        if (!std::all_of(recipe.keyword.begin(), recipe.keyword.end(), isLetter)) {
            return std::string("the keyword may hold only the letters a to z");
        }
    }
    return std::nullopt;
}

std::uint32_t RandomSource::below(std::uint32_t bound)
{
    // The numbers past the last whole multiple of bound would favour the small
    // results, so they are drawn again.
    constexpr std::uint64_t kLargest = std::numeric_limits<std::uint64_t>::max();
    const std::uint64_t past = (kLargest % bound + 1) % bound; // 2^64 modulo bound
    std::uint64_t number = next();
    while (past != 0 && number > kLargest - past) {
        number = next();
    }
    return static_cast<std::uint32_t>(number % bound);
}

std::uint64_t SystemRandomSource::next()
{
    std::uint64_t number = 0;
    auto *bytes = reinterpret_cast<unsigned char *>(&number);
    std::size_t got = 0;
    while (got < sizeof number) {
        const ssize_t read = ::getrandom(bytes + got, sizeof number - got, 0);
        if (read < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw std::system_error(errno, std::generic_category(),
                                    "the system gives no random numbers");
        }
        got += static_cast<std::size_t>(read);
    }
    return number;
}

std::uint64_t SeededRandomSource::next()
{
    // splitmix64
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30U)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27U)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31U);
}

MadeTable makeTable(const TableRecipe &recipe, RandomSource &random)
{
    MadeTable table;
    for (std::size_t code = 0; code < table.encodesAs.size(); ++code) {
        table.encodesAs[code] = static_cast<unsigned char>(code);
    }
    table.description = descriptionOf(recipe);
    if (recipe.kind == TableKind::ShuffleCharacters) {
        std::vector<unsigned char> codes;
        for (std::size_t code = 0; code < table.encodesAs.size(); ++code) {
            if (isShuffledCharacter(code)) {
                codes.push_back(static_cast<unsigned char>(code));
                table.listed[code] = true;
            }
        }
        std::vector<unsigned char> order = codes;
        shuffle(order, random);
        for (std::size_t i = 0; i < codes.size(); ++i) {
            table.encodesAs[codes[i]] = order[i];
        }
        // A letter left out whose other case is shuffled would borrow that
        // case's entry: an entry of its own keeps it as it is.
        for (std::size_t code = 0; code < table.encodesAs.size(); ++code) {
            const auto letter = static_cast<unsigned char>(code);
            const unsigned char other = charset::toLower(letter) == letter
                                            ? charset::toUpper(letter)
                                            : charset::toLower(letter);
            if (!table.listed[code] && other != letter && table.listed[other]) {
                table.listed[code] = true;
            }
        }
        return table;
    }
    const std::array<char, kLetters> order = letterOrder(recipe, random);
    for (std::size_t i = 0; i < kLetters; ++i) {
        const std::size_t code = 'a' + i;
        table.encodesAs[code] = static_cast<unsigned char>(order[i]);
        table.listed[code] = true;
    }
    return table;
}

std::string codeTableText(const MadeTable &table)
{
    std::string text = table.description + "\r\n";
    for (std::size_t code = 0; code < table.encodesAs.size(); ++code) {
        if (table.listed[code]) {
            text += std::to_string(code) + '=' + std::to_string(table.encodesAs[code]) + "\r\n";
        }
    }
    return text;
}

CodeTables codeTablesOf(const MadeTable &table)
{
    return parseCodeTable(codeTableText(table)).tables;
}

} // namespace lorimand

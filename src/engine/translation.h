// The one translation rule of the program, for the window and lorimand-cli alike:
// key-shift mode with a key (an empty key copies the text unchanged and needs no
// generator; any other key needs the generator to pass its self-test first), or
// code-table mode with the table of the direction. A translation works on a whole
// text or on a stream of blocks.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "engine/codetable.h"
#include "engine/direction.h"
#include "engine/generator.h"

namespace lorimand {

// A change of a text, as much of it as its translation needs: the changed bytes
// with the unchanged byte either side (none only at the text's start or end).
struct TextChange
{
    std::string_view around; // the text now, from `offset`
    std::size_t offset = 0;
    std::size_t begin = 0; // the changed bytes are around[begin, end)
    std::size_t end = 0;
    std::size_t removed = 0; // the bytes of the text before that they replace
};

// What a change of a text does to its translation: bytes [from, from + removed)
// of the translation of the text before become `bytes`.
struct TranslationSplice
{
    std::size_t from = 0;
    std::size_t removed = 0;
    std::string bytes;
};

class Translation
{
public:
    // Key-shift mode; nullopt when the key needs the generator and it fails its
    // self-test, so that no key can be used.
    [[nodiscard]] static std::optional<Translation>
    forKey(std::string_view key, Direction direction, RandomGenerator &generator);
    // Code-table mode, with the table of the direction.
    [[nodiscard]] static Translation forTables(const CodeTables &tables, Direction direction);

    // Whether the text passes unchanged (key-shift mode with an empty key).
    [[nodiscard]] bool copiesUnchanged() const noexcept { return kind_ == Kind::Copy; }

    // The translation of a whole text.
    [[nodiscard]] std::string apply(std::string_view text);

    // How the translation of a text changes with the text: every byte translates
    // by itself into one byte, except that the table's rule for CR LF looks at
    // the byte before an LF, so only the changed bytes and the byte after them
    // translate anew.
    [[nodiscard]] TranslationSplice applyToChange(const TextChange &change) const;

    // Translates the next block of a stream in place.
    void applyToBlock(std::span<char> block) noexcept;
    // Ends the stream; nothing more comes out.
    void finish() noexcept;

private:
    enum class Kind
    {
        Copy,
        Shift,
        Table
    };
    explicit Translation(Kind kind, Direction direction, int shift, const CodeTable *table);

    Kind kind_;
    Direction direction_;
    int shift_ = 0;
    std::optional<TableTranslator> table_;
};

} // namespace lorimand

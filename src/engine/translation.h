// The one translation rule of the program, for the window and lorimand-cli alike:
// key-shift mode with a key (an empty key copies the text unchanged and needs no
// generator; any other key needs the generator to pass its self-test first), or
// code-table mode with the table of the direction. A translation works on a whole
// text or on a stream of blocks.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "engine/codetable.h"
#include "engine/direction.h"
#include "engine/generator.h"

namespace lorimand {

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

    // The translation of the next block of a stream: the block itself, translated in
    // place, or the bytes written to out, which has room for block.size() + 1.
    [[nodiscard]] std::string_view applyToBlock(std::span<char> block, char *out) noexcept;
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

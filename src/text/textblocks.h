// The blocks a text area lays out one at a time: each line, and a line longer
// than kBlockBytes cut into pieces of that many bytes (a line of 128 MiB, which
// encoded text can be, would take seconds to lay out whole). The blocks are
// numbered through the text, so that the view scrolls by them. Only long lines
// are listed, so following an edit costs the edit and the long lines, not the
// text's size.
//
// Following a change either completes or, when memory runs out, leaves the
// blocks as they were; with room made beforehand (reserveFor) it allocates nothing.
#pragma once

#include <cstddef>
#include <vector>

#include "text/textbuffer.h"

namespace lorimand::text {

class TextBlocks
{
public:
    static constexpr std::size_t kBlockBytes = 4096;

    // Where a block lies: its line, which piece of the line it is, and its
    // bytes [start, end) before any character is kept whole across its edges.
    struct Block
    {
        std::size_t number = 0;
        std::size_t line = 0;
        std::size_t piece = 0;
        std::size_t start = 0;
        std::size_t end = 0;
        bool lastOfLine = true;
    };

    explicit TextBlocks(const TextBuffer &text);

    // After the text was shown anew.
    void rebuild();
    // After `change`, when the text held `linesBefore` lines.
    void update(const ByteChange &change, std::size_t linesBefore);
    // Room for following a change that brings up to `bytes` bytes into the text,
    // made before the text changes (undoBrings() and redoBrings() tell it for
    // undo and redo). The room a rebuild needs is that of the whole text.
    void reserveFor(std::size_t bytes);

    // The count follows the text's lines when rebuild or update is called, not
    // before: between a change and its update it still counts the blocks before.
    [[nodiscard]] std::size_t count() const noexcept;
    [[nodiscard]] Block block(std::size_t number) const;
    // The block that holds byte `offset`: a line's end belongs to its last block.
    [[nodiscard]] Block blockAt(std::size_t offset) const;
    [[nodiscard]] std::size_t firstBlockOf(std::size_t line) const;

private:
    struct LongLine
    {
        std::size_t line = 0;
        std::size_t extra = 0;       // blocks beyond the first
        std::size_t extraBefore = 0; // those of the long lines before it
    };
    [[nodiscard]] std::size_t extraOf(std::size_t line) const;
    // The long lines among lines [first, last], in order, to `out` (nullptr: counted only).
    std::size_t collectLong(std::size_t first, std::size_t last, LongLine *out) const;
    void sumUp() noexcept;
    [[nodiscard]] Block make(std::size_t number, std::size_t line, std::size_t piece) const;

    const TextBuffer &text_;
    std::vector<LongLine> long_;
    std::size_t lines_ = 1;
    std::size_t extra_ = 0;
};

} // namespace lorimand::text

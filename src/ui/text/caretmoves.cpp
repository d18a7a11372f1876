#include "ui/text/caretmoves.h"

#include <QChar>

namespace lorimand::caretmoves {

namespace {

using Block = LayoutCache::Block;

[[nodiscard]] bool isWordCharacter(QChar ch)
{
    return ch.isLetterOrNumber() || ch == u'_' || ch.isMark();
}

} // namespace

std::size_t nextCharacter(const LayoutCache &layouts, std::size_t offset)
{
    const text::TextBuffer &text = layouts.text();
    if (offset >= text.size()) {
        return text.size();
    }
    const Block &block = layouts.blockAt(offset);
    const int index = block.indexOf(offset);
    if (index < block.run.text.size()) {
        return block.offsetOf(block.layout.nextCursorPosition(index));
    }
    const std::size_t line = text.lineOf(offset);
    return line + 1 < text.lineCount() ? text.lineStart(line + 1) : text.size();
}

std::size_t previousCharacter(const LayoutCache &layouts, std::size_t offset)
{
    if (offset == 0) {
        return 0;
    }
    const Block &block = layouts.blockAt(offset);
    const int index = block.indexOf(offset);
    if (index > 0) {
        return block.offsetOf(block.layout.previousCursorPosition(index));
    }
    if (layouts.continuesLine(block.number)) {
        const Block &before = layouts.block(block.number - 1);
        return before.offsetOf(
            before.layout.previousCursorPosition(static_cast<int>(before.run.text.size())));
    }
    const text::TextBuffer &text = layouts.text();
    return text.lineEnd(text.lineOf(offset) - 1);
}

// A word, or the blanks next to one, may go on across the edges between a
// line's blocks: an edge stops the caret only where a word begins at it.
std::size_t nextWord(const LayoutCache &layouts, std::size_t offset)
{
    const Block *block = &layouts.blockAt(offset);
    const int index = block->indexOf(offset);
    if (index >= block->run.text.size()) {
        return nextCharacter(layouts, offset);
    }
    int next = block->layout.nextCursorPosition(index, QTextLayout::SkipWords);
    while (next == block->run.text.size() && !block->lastOfLine) {
        const bool afterBlank = block->run.text.back().isSpace();
        block = &layouts.block(block->number + 1);
        if (block->run.text.isEmpty() || (afterBlank && !block->run.text.front().isSpace())) {
            return block->start;
        }
        next = block->layout.nextCursorPosition(0, QTextLayout::SkipWords);
    }
    return block->offsetOf(next);
}

std::size_t previousWord(const LayoutCache &layouts, std::size_t offset)
{
    const Block *block = &layouts.blockAt(offset);
    const int index = block->indexOf(offset);
    if (index == 0 && !layouts.continuesLine(block->number)) {
        return previousCharacter(layouts, offset);
    }
    int previous =
        index == 0 ? 0 : block->layout.previousCursorPosition(index, QTextLayout::SkipWords);
    bool moved = index > 0;
    while (previous == 0 && layouts.continuesLine(block->number)) {
        const std::size_t edge = block->start;
        const bool wordBegins =
            moved && !block->run.text.isEmpty() && !block->run.text.front().isSpace();
        block = &layouts.block(block->number - 1);
        if (block->run.text.isEmpty() || (wordBegins && block->run.text.back().isSpace())) {
            return edge;
        }
        previous = block->layout.previousCursorPosition(static_cast<int>(block->run.text.size()),
                                                        QTextLayout::SkipWords);
        moved = true;
    }
    return block->offsetOf(previous);
}

text::Selection wordAt(const LayoutCache &layouts, std::size_t offset)
{
    const Block &block = layouts.blockAt(offset);
    const QString &text = block.run.text;
    int index = block.indexOf(offset);
    if (index >= text.size()) {
        if (index == 0) {
            return {offset, offset};
        }
        --index;
    }
    if (!isWordCharacter(text[index])) {
        return {block.offsetOf(index), block.offsetOf(block.layout.nextCursorPosition(index))};
    }
    int first = index;
    while (first > 0 && isWordCharacter(text[first - 1])) {
        --first;
    }
    int last = index + 1;
    while (last < text.size() && isWordCharacter(text[last])) {
        ++last;
    }
    text::Selection word{block.offsetOf(first), block.offsetOf(last)};
    // The word may go on across the line's block edges.
    const std::size_t number = block.number;
    const bool toEnd = last == text.size() && !block.lastOfLine;
    for (std::size_t before = number; first == 0 && layouts.continuesLine(before); --before) {
        const Block &previous = layouts.block(before - 1);
        first = static_cast<int>(previous.run.text.size());
        while (first > 0 && isWordCharacter(previous.run.text[first - 1])) {
            --first;
        }
        word.anchor = previous.offsetOf(first);
    }
    for (std::size_t after = number + 1; toEnd && after < layouts.count(); ++after) {
        const Block &next = layouts.block(after);
        last = 0;
        while (last < next.run.text.size() && isWordCharacter(next.run.text[last])) {
            ++last;
        }
        word.position = next.offsetOf(last);
        if (last < next.run.text.size() || next.lastOfLine) {
            break;
        }
    }
    return word;
}

std::size_t rowStart(const LayoutCache &layouts, std::size_t offset)
{
    const Block &block = layouts.blockAt(offset);
    return block.offsetOf(block.rowAt(offset).textStart());
}

std::size_t rowEnd(const LayoutCache &layouts, std::size_t offset)
{
    const Block &block = layouts.blockAt(offset);
    const QTextLine line = block.rowAt(offset);
    int end = line.textStart() + line.textLength();
    // A row that wraps at a blank ends before it; one cut in a word ends after
    // its last character.
    if (end < block.run.text.size() && end > line.textStart() &&
        block.run.text[end - 1].isSpace()) {
        end = block.layout.previousCursorPosition(end);
    }
    return block.offsetOf(end);
}

std::size_t movedByRows(const LayoutCache &layouts, std::size_t offset, int rows,
                        std::optional<qreal> &stickyX)
{
    std::size_t number = layouts.blockNumberAt(offset);
    const Block &from = layouts.block(number);
    const int index = from.indexOf(offset);
    const QTextLine line = from.layout.lineForTextPosition(index);
    if (!stickyX) {
        stickyX = line.cursorToX(index);
    }
    int row = line.lineNumber() + rows;
    const std::size_t last = layouts.count() - 1;
    while (row < 0) {
        if (number == 0) {
            return 0;
        }
        --number;
        row += layouts.block(number).rows();
    }
    while (row >= layouts.block(number).rows()) {
        if (number == last) {
            return layouts.text().size();
        }
        row -= layouts.block(number).rows();
        ++number;
    }
    const Block &to = layouts.block(number);
    return to.offsetOf(to.layout.lineAt(row).xToCursor(*stickyX));
}

} // namespace lorimand::caretmoves

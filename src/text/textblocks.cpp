#include "text/textblocks.h"

#include <algorithm>

namespace lorimand::text {

TextBlocks::TextBlocks(const TextBuffer &text) : text_(text)
{
    rebuild();
}

std::size_t TextBlocks::extraOf(std::size_t line) const
{
    const std::size_t length = text_.lineEnd(line) - text_.lineStart(line);
    return length == 0 ? 0 : (length - 1) / kBlockBytes;
}

std::size_t TextBlocks::collectLong(std::size_t first, std::size_t last, LongLine *out) const
{
    const std::size_t lines = text_.lineCount();
    std::size_t found = 0;
    // Checked from the starts of lines alone: a line no longer than a block
    // with its break cannot be long, and that is nearly every line.
    for (std::size_t line = first; line <= last; ++line) {
        const std::size_t next = line + 1 < lines ? text_.lineStart(line + 1) : text_.size() + 2;
        if (next - text_.lineStart(line) > kBlockBytes + 1) {
            if (const std::size_t extra = extraOf(line); extra > 0) {
                if (out != nullptr) {
                    out[found] = {line, extra, 0};
                }
                ++found;
            }
        }
    }
    return found;
}

void TextBlocks::rebuild()
{
    const std::size_t last = text_.lineCount() - 1;
    const std::size_t count = collectLong(0, last, nullptr);
    if (count > long_.capacity()) {
        long_.reserve(count);
    }
    long_.resize(count);
    (void)collectLong(0, last, long_.data());
    sumUp();
}

void TextBlocks::update(const ByteChange &change, std::size_t linesBefore)
{
    if (change.from == 0 && change.added == text_.size()) {
        rebuild();
        return;
    }
    const std::size_t first = text_.lineOf(change.from);
    const std::size_t lastNow = text_.lineOf(change.from + change.added);
    const auto delta =
        static_cast<std::ptrdiff_t>(text_.lineCount()) - static_cast<std::ptrdiff_t>(linesBefore);
    const auto lastBefore = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(lastNow) - delta);
    const auto begin = static_cast<std::size_t>(
        std::lower_bound(long_.begin(), long_.end(), first,
                         [](const LongLine &l, std::size_t n) { return l.line < n; }) -
        long_.begin());
    const auto end = static_cast<std::size_t>(
        std::upper_bound(long_.begin() + static_cast<std::ptrdiff_t>(begin), long_.end(),
                         lastBefore, [](std::size_t n, const LongLine &l) { return n < l.line; }) -
        long_.begin());
    // The long lines of the changed lines are counted, and room made for them,
    // before anything changes.
    const std::size_t now = collectLong(first, lastNow, nullptr);
    const std::size_t size = long_.size() - (end - begin) + now;
    if (size > long_.capacity()) {
        long_.reserve(std::max(size, long_.capacity() + long_.capacity() / 2));
    }
    for (std::size_t i = end; i < long_.size(); ++i) {
        long_[i].line =
            static_cast<std::size_t>(static_cast<std::ptrdiff_t>(long_[i].line) + delta);
    }
    const auto at = long_.begin() + static_cast<std::ptrdiff_t>(begin);
    if (now < end - begin) {
        long_.erase(at + static_cast<std::ptrdiff_t>(now),
                    at + static_cast<std::ptrdiff_t>(end - begin));
    } else {
        long_.insert(at + static_cast<std::ptrdiff_t>(end - begin), now - (end - begin),
                     LongLine{});
    }
    (void)collectLong(first, lastNow, long_.data() + begin);
    sumUp();
}

void TextBlocks::reserveFor(std::size_t bytes)
{
    // A change can make long every line it touches that holds a block's bytes of
    // its own, and the line it starts in and the one it ends in.
    const std::size_t room = long_.size() + bytes / kBlockBytes + 2;
    if (room > long_.capacity()) {
        long_.reserve(room);
    }
}

void TextBlocks::sumUp() noexcept
{
    lines_ = text_.lineCount();
    extra_ = 0;
    for (LongLine &line : long_) {
        line.extraBefore = extra_;
        extra_ += line.extra;
    }
}

std::size_t TextBlocks::count() const noexcept
{
    return lines_ + extra_;
}

std::size_t TextBlocks::firstBlockOf(std::size_t line) const
{
    const auto it = std::lower_bound(long_.begin(), long_.end(), line,
                                     [](const LongLine &l, std::size_t n) { return l.line < n; });
    if (it == long_.end()) {
        return line + extra_;
    }
    return line + it->extraBefore;
}

TextBlocks::Block TextBlocks::make(std::size_t number, std::size_t line, std::size_t piece) const
{
    const std::size_t lineStart = text_.lineStart(line);
    const std::size_t lineEnd = text_.lineEnd(line);
    Block block;
    block.number = number;
    block.line = line;
    block.piece = piece;
    block.start = lineStart + piece * kBlockBytes;
    block.end = std::min(lineEnd, block.start + kBlockBytes);
    block.lastOfLine = block.end == lineEnd;
    return block;
}

TextBlocks::Block TextBlocks::block(std::size_t number) const
{
    // The last long line whose first block is at or before `number`.
    const auto after =
        std::upper_bound(long_.begin(), long_.end(), number, [](std::size_t n, const LongLine &l) {
            return n < l.line + l.extraBefore;
        });
    if (after != long_.begin()) {
        const LongLine &longLine = *(after - 1);
        const std::size_t firstBlock = longLine.line + longLine.extraBefore;
        if (number <= firstBlock + longLine.extra) {
            return make(number, longLine.line, number - firstBlock);
        }
        return make(number, number - longLine.extraBefore - longLine.extra, 0);
    }
    return make(number, number, 0);
}

TextBlocks::Block TextBlocks::blockAt(std::size_t offset) const
{
    const std::size_t line = text_.lineOf(offset);
    const std::size_t start = text_.lineStart(line);
    const std::size_t piece = std::min((offset - start) / kBlockBytes, extraOf(line));
    return make(firstBlockOf(line) + piece, line, piece);
}

} // namespace lorimand::text

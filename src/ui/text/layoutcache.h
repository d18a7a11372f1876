// The blocks of a text area laid out at its width and in its charset and font:
// each block (a line, or a piece of a long one: text::TextBlocks) is laid out
// when first asked for and kept until a change of the text reaches it, so that
// only the blocks on screen and near the caret are ever laid out.
//
// The cache owns its invalidation: follow() after every change of the text
// keeps the layouts of the blocks the change left as they were (renumbered
// when lines came or went) and drops the rest; a new charset, font or width
// drops them all. The layouts hold the text alone: the caret, the selection and
// the text an input method is composing are drawn over them.
#pragma once

#include <cstddef>
#include <memory>
#include <unordered_map>
#include <vector>

#include <QFont>
#include <QString>
#include <QTextLayout>

#include "text/textblocks.h"
#include "text/textbuffer.h"
#include "ui/text/displaytext.h"

namespace lorimand {

// The smaller font a mark (a byte that is not part of a UTF-8 character) names
// its byte in; a mark is laid out as wide as the box it is drawn as.
[[nodiscard]] QFont markFont(QFont font);

class LayoutCache
{
public:
    // A block laid out: its bytes [start, end), after any UTF-8 character kept
    // whole across its edges, and the characters they show.
    struct Block
    {
        std::size_t number = 0;
        std::size_t line = 0;
        std::size_t start = 0;
        std::size_t end = 0;
        bool lastOfLine = true;
        displaytext::ShownRun run;
        QTextLayout layout;
        qreal height = 0;

        [[nodiscard]] int rows() const { return layout.lineCount(); }
        // The character at byte `offset` of the block (clamped to it), and back.
        [[nodiscard]] int indexOf(std::size_t offset) const;
        [[nodiscard]] std::size_t offsetOf(int index) const;
        // The row that holds byte `offset`.
        [[nodiscard]] QTextLine rowAt(std::size_t offset) const;
    };

    explicit LayoutCache(const text::TextBuffer &text);

    [[nodiscard]] const text::TextBuffer &text() const { return text_; }
    [[nodiscard]] displaytext::Charset charset() const { return charset_; }
    [[nodiscard]] const QFont &font() const { return font_; }
    [[nodiscard]] qreal width() const { return width_; }
    // Each drops every layout when it changes anything.
    void setCharset(displaytext::Charset charset);
    void setFont(const QFont &font);
    void setWidth(qreal width);

    // Room for the block index to follow a change that brings `bytes` bytes,
    // made before the text changes: following it then allocates nothing there.
    void reserveFor(std::size_t bytes) { blocks_.reserveFor(bytes); }
    // After the whole text was shown anew.
    void rebuild();
    // After `change` of a text that held `linesBefore` lines before it.
    void follow(const text::ByteChange &change, std::size_t linesBefore);

    [[nodiscard]] std::size_t count() const { return blocks_.count(); }
    // Block `number`, laid out. The reference holds until the next trim() or change.
    [[nodiscard]] const Block &block(std::size_t number) const;
    [[nodiscard]] std::size_t blockNumberAt(std::size_t offset) const;
    [[nodiscard]] const Block &blockAt(std::size_t offset) const
    {
        return block(blockNumberAt(offset));
    }
    // Whether block `number` goes on a line that began in the block before.
    [[nodiscard]] bool continuesLine(std::size_t number) const;
    // The start of the character that holds `offset`: never inside a CR LF nor
    // inside a UTF-8 character.
    [[nodiscard]] std::size_t snapped(std::size_t offset) const;

    // Lets go of layouts when more are kept than a screen needs, keeping those
    // from block `from` on for `count` blocks. Called between the area's
    // operations, never while a block is in use.
    void trim(std::size_t from, std::size_t count);
    // The numbers of the blocks whose layouts are kept, for checks of the cache.
    [[nodiscard]] std::vector<std::size_t> keptBlocks() const;

    // A layout of `block` with `preedit` shown at character `index`, underlined,
    // made for the moment: the cache keeps the block's own.
    [[nodiscard]] std::unique_ptr<QTextLayout> withPreedit(const Block &block, int index,
                                                           const QString &preedit) const;

private:
    // Where a block's bytes end after the last character begun in it.
    [[nodiscard]] std::size_t edgeAfter(std::size_t nominal, bool lineEnds) const;
    void layOut(Block &block) const;
    [[nodiscard]] QList<QTextLayout::FormatRange> markFormats(const QString &text) const;
    void dropAll();

    const text::TextBuffer &text_;
    text::TextBlocks blocks_;
    displaytext::Charset charset_ = displaytext::Charset::Windows1252;
    QFont font_;
    qreal width_ = 1;
    mutable std::unordered_map<std::size_t, std::unique_ptr<Block>> kept_;
};

} // namespace lorimand

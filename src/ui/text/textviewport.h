// Which part of a text area's laid-out text shows, and where: the top of the
// view (a block and a row of it), scrolling by rows, bringing a byte into view,
// and hit testing both ways (a point to the byte nearest it, a byte to the box
// of its character). Positions are in the viewport's coordinates; the text
// begins a margin in from its left and, at the top of the text, from its top.
#pragma once

#include <cstddef>
#include <optional>

#include <QPointF>
#include <QRect>

#include "ui/text/layoutcache.h"

namespace lorimand {

// A place in the view: a block of the text and a row of it.
struct ViewTop
{
    std::size_t block = 0;
    int row = 0;
    friend bool operator==(const ViewTop &, const ViewTop &) = default;
    // Higher up in the text.
    friend bool operator<(const ViewTop &a, const ViewTop &b)
    {
        return a.block < b.block || (a.block == b.block && a.row < b.row);
    }
};

class TextViewport
{
public:
    static constexpr qreal kMargin = 4;

    explicit TextViewport(const LayoutCache &layouts) : layouts_(layouts) {}

    void setHeight(qreal height) { height_ = height; }
    [[nodiscard]] qreal height() const { return height_; }
    // How many rows of the font fit.
    [[nodiscard]] int visibleRows() const;

    [[nodiscard]] ViewTop top() const { return top_; }
    // At most the last row of the text.
    void setTop(ViewTop top);
    // After the text changed: a top past the text's end moves back to its last block.
    void keepWithinText();

    // Where the top lies when the given row shows at the bottom.
    [[nodiscard]] ViewTop topShowingAtBottom(ViewTop row) const;
    // The top when the end of the text shows at the bottom: where scrolling ends.
    [[nodiscard]] ViewTop lastTop() const;
    // The top after scrolling by `rows` rows, down for positive ones; the end of
    // the text stays at the bottom, not above it.
    [[nodiscard]] ViewTop scrolledBy(int rows) const;
    // The top that brings the row of byte `offset` into view with as little
    // scrolling as can be; nothing when it shows already.
    [[nodiscard]] std::optional<ViewTop> topShowing(std::size_t offset) const;

    // Where block `number` begins: above the view or below it for a block off screen.
    [[nodiscard]] QPointF blockOrigin(std::size_t number) const;
    // The box of the character at byte `offset`; empty when it is not on screen.
    [[nodiscard]] QRect characterBox(std::size_t offset, int width) const;
    // The byte offset of the character boundary nearest to `point`.
    [[nodiscard]] std::size_t offsetAt(QPointF point) const;

private:
    const LayoutCache &layouts_;
    ViewTop top_;
    qreal height_ = 1;
};

} // namespace lorimand

#include "ui/text/textviewport.h"

#include <algorithm>

#include <QFontMetricsF>

namespace lorimand {

int TextViewport::visibleRows() const
{
    const qreal row = QFontMetricsF(layouts_.font()).lineSpacing();
    return std::max(1, static_cast<int>(height_ / row));
}

void TextViewport::setTop(ViewTop top)
{
    const std::size_t last = layouts_.count() - 1;
    if (top.block > last) {
        top = {last, layouts_.block(last).rows() - 1};
    }
    top.row = std::clamp(top.row, 0, layouts_.block(top.block).rows() - 1);
    top_ = top;
}

void TextViewport::keepWithinText()
{
    if (top_.block >= layouts_.count()) {
        top_ = {layouts_.count() - 1, 0};
    } else if (top_.row > 0) {
        top_.row = std::min(top_.row, layouts_.block(top_.block).rows() - 1);
    }
}

ViewTop TextViewport::topShowingAtBottom(ViewTop row) const
{
    // Walked back from that row until the view is full.
    ViewTop top = row;
    qreal filled = layouts_.block(row.block).layout.lineAt(row.row).height();
    for (;;) {
        if (top.row > 0) {
            const qreal above = layouts_.block(top.block).layout.lineAt(top.row - 1).height();
            if (filled + above > height_) {
                return top;
            }
            filled += above;
            --top.row;
        } else if (top.block > 0) {
            const LayoutCache::Block &previous = layouts_.block(top.block - 1);
            const int last = previous.rows() - 1;
            const qreal above = previous.layout.lineAt(last).height();
            if (filled + above > height_) {
                return top;
            }
            filled += above;
            --top.block;
            top.row = last;
        } else {
            return top;
        }
    }
}

ViewTop TextViewport::lastTop() const
{
    const std::size_t last = layouts_.count() - 1;
    return topShowingAtBottom({last, layouts_.block(last).rows() - 1});
}

ViewTop TextViewport::scrolledBy(int rows) const
{
    std::size_t block = top_.block;
    int row = top_.row + rows;
    while (row < 0 && block > 0) {
        --block;
        row += layouts_.block(block).rows();
    }
    row = std::max(row, 0);
    const std::size_t last = layouts_.count() - 1;
    while (row >= layouts_.block(block).rows() && block < last) {
        row -= layouts_.block(block).rows();
        ++block;
    }
    row = std::min(row, layouts_.block(block).rows() - 1);
    const ViewTop end = lastTop();
    if (rows > 0 && end < ViewTop{block, row}) {
        // Already further down than the end needs: it stays.
        return end < top_ ? top_ : end;
    }
    return {block, row};
}

std::optional<ViewTop> TextViewport::topShowing(std::size_t offset) const
{
    const std::size_t number = layouts_.blockNumberAt(offset);
    const LayoutCache::Block &block = layouts_.block(number);
    const QTextLine line = block.rowAt(offset);
    const int row = line.lineNumber();
    if (ViewTop{number, row} < top_) {
        return ViewTop{number, row};
    }
    const bool near = number <= top_.block + static_cast<std::size_t>(visibleRows()) + 1;
    if (near && blockOrigin(number).y() + line.y() + line.height() <= height_) {
        return std::nullopt;
    }
    // The row goes to the bottom.
    return topShowingAtBottom({number, row});
}

QPointF TextViewport::blockOrigin(std::size_t number) const
{
    const LayoutCache::Block &top = layouts_.block(top_.block);
    // The margin is above the text's first row only: scrolled past it, no
    // sliver of the row above shows in its place.
    qreal y = top_ == ViewTop{} ? kMargin : 0;
    y -= top.layout.lineAt(std::min(top_.row, top.rows() - 1)).y();
    for (std::size_t n = top_.block; n < number; ++n) {
        y += layouts_.block(n).height;
        if (y > height_) {
            return {kMargin, y + height_}; // somewhere below
        }
    }
    if (number < top_.block) {
        return {kMargin, -height_}; // somewhere above
    }
    return {kMargin, y};
}

QRect TextViewport::characterBox(std::size_t offset, int width) const
{
    const std::size_t number = layouts_.blockNumberAt(offset);
    if (number < top_.block) {
        return {};
    }
    const QPointF origin = blockOrigin(number);
    if (origin.y() > height_) {
        return {};
    }
    const LayoutCache::Block &block = layouts_.block(number);
    const int index = block.indexOf(offset);
    const QTextLine line = block.layout.lineForTextPosition(index);
    if (!line.isValid()) {
        return {};
    }
    const qreal left = line.cursorToX(index);
    const qreal right = index < block.run.text.size() ? line.cursorToX(index + 1) : left + 1;
    const QRect box = QRectF(origin.x() + left, origin.y() + line.y(),
                             std::max<qreal>(1, right - left), line.height())
                          .toAlignedRect();
    // A row of the block scrolled past, or below the view, is not on screen either.
    const QRect screen(0, 0, width, static_cast<int>(height_));
    return box.intersects(screen) ? box : QRect();
}

std::size_t TextViewport::offsetAt(QPointF point) const
{
    QPointF origin = blockOrigin(top_.block);
    if (point.y() < origin.y()) {
        if (top_ == ViewTop{}) {
            return 0;
        }
        const LayoutCache::Block &top = layouts_.block(top_.block);
        return top.offsetOf(top.layout.lineAt(top_.row).textStart());
    }
    const std::size_t count = layouts_.count();
    for (std::size_t number = top_.block; number < count; ++number) {
        const LayoutCache::Block &block = layouts_.block(number);
        if (point.y() < origin.y() + block.height || number + 1 == count) {
            const qreal y = point.y() - origin.y();
            QTextLine line = block.layout.lineAt(block.rows() - 1);
            for (int i = 0; i < block.rows(); ++i) {
                const QTextLine candidate = block.layout.lineAt(i);
                if (y < candidate.y() + candidate.height()) {
                    line = candidate;
                    break;
                }
            }
            return block.offsetOf(line.xToCursor(point.x() - origin.x()));
        }
        origin.ry() += block.height;
    }
    return layouts_.text().size();
}

} // namespace lorimand

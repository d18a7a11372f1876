#include "ui/text/textrenderer.h"

#include <memory>

#include <QPainter>

namespace lorimand {

namespace {

using Block = LayoutCache::Block;

// Draws the boxes that name the bytes shown as marks; `shift` moves indices
// from `shiftFrom` on past an input method's text.
void paintMarks(QPainter &painter, const Block &block, const QTextLayout &layout, QPointF origin,
                const QPalette &colours, int selectedFrom, int selectedTo, int shiftFrom, int shift,
                const QFont &font)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setFont(markFont(font));
    const QString &text = block.run.text;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const std::optional<unsigned char> byte = displaytext::markedByte(text[i]);
        if (!byte) {
            continue;
        }
        const int index = static_cast<int>(i) + (i >= shiftFrom ? shift : 0);
        const QTextLine line = layout.lineForTextPosition(index);
        const qreal left = line.cursorToX(index);
        const qreal right = line.cursorToX(index + 1);
        const QRectF box =
            QRectF(origin.x() + left, origin.y() + line.y(), right - left, line.height())
                .adjusted(0.5, 1.5, -0.5, -1.5);
        const bool inSelection = index >= selectedFrom && index < selectedTo;
        painter.setPen(
            QPen(colours.color(inSelection ? QPalette::HighlightedText : QPalette::Text), 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(box, 2, 2);
        painter.drawText(box, Qt::AlignCenter, byteName(*byte));
    }
    painter.restore();
}

} // namespace

QString byteName(unsigned char byte)
{
    return QStringLiteral("%1").arg(byte, 2, 16, QLatin1Char('0')).toUpper();
}

void paintText(QPainter &painter, const LayoutCache &layouts, const TextViewport &view,
               const TextOverlay &overlay, const QPalette &colours, const QRect &clip)
{
    const std::size_t start = overlay.selectionStart;
    const std::size_t end = overlay.selectionEnd;
    const std::size_t caretBlock = layouts.blockNumberAt(overlay.caret);
    const std::size_t count = layouts.count();
    QPointF origin = view.blockOrigin(view.top().block);
    for (std::size_t number = view.top().block; number < count && origin.y() < view.height();
         ++number) {
        const Block &block = layouts.block(number);
        // The text being composed shows in the caret's block, which grows by it.
        std::unique_ptr<QTextLayout> composed;
        int composedAt = static_cast<int>(block.run.text.size()) + 1;
        if (number == caretBlock && !overlay.preedit.isEmpty()) {
            composedAt = block.indexOf(overlay.caret);
            composed = layouts.withPreedit(block, composedAt, overlay.preedit);
        }
        const QTextLayout &layout = composed ? *composed : block.layout;
        const qreal height = composed ? layout.boundingRect().height() : block.height;
        const int shift = composed ? static_cast<int>(overlay.preedit.size()) : 0;
        const auto shown = [&](std::size_t offset) {
            const int index = block.indexOf(offset);
            return index >= composedAt ? index + shift : index;
        };
        if (origin.y() + height >= clip.top() && origin.y() <= clip.bottom()) {
            QList<QTextLayout::FormatRange> selections;
            const bool selected =
                overlay.focused && start < end && start <= block.end && end > block.start;
            int selectedFrom = 0;
            int selectedTo = 0;
            if (selected) {
                QTextCharFormat format;
                format.setBackground(colours.brush(QPalette::Highlight));
                format.setForeground(colours.brush(QPalette::HighlightedText));
                selectedFrom = shown(start);
                selectedTo = shown(end);
                selections.append({selectedFrom, selectedTo - selectedFrom, format});
            }
            layout.draw(&painter, origin, selections, clip);
            // A selected line break shows as a selected blank at the line's end.
            if (selected && end > block.end && block.lastOfLine && number + 1 < count) {
                const QTextLine last = layout.lineAt(layout.lineCount() - 1);
                const qreal x = origin.x() + last.naturalTextWidth();
                painter.fillRect(QRectF(x, origin.y() + last.y(),
                                        QFontMetricsF(layouts.font()).averageCharWidth(),
                                        last.height()),
                                 colours.brush(QPalette::Highlight));
            }
            if (layouts.charset() == displaytext::Charset::Utf8) {
                paintMarks(painter, block, layout, origin, colours, selected ? selectedFrom : 0,
                           selected ? selectedTo : 0, composedAt, shift, layouts.font());
            }
            if (number == caretBlock && overlay.focused && overlay.caretShown) {
                painter.setPen(colours.color(QPalette::Text));
                const int caret =
                    composed ? composedAt + overlay.preeditCursor : block.indexOf(overlay.caret);
                layout.drawCursor(&painter, origin, caret, 1);
            }
            if (overlay.dropAt && layouts.blockNumberAt(*overlay.dropAt) == number) {
                painter.setPen(colours.color(QPalette::Text));
                layout.drawCursor(&painter, origin, shown(*overlay.dropAt), 2);
            }
        }
        origin.ry() += height;
    }
}

} // namespace lorimand

// How a text area draws what shows of its text: each block's layout from the
// cache, with the selection, the caret, the text an input method is composing
// and where a drag would drop drawn over it, and in UTF-8 the boxes that name
// the bytes that are no part of a character.
#pragma once

#include <cstddef>
#include <optional>

#include <QPalette>
#include <QRect>
#include <QString>

#include "ui/text/layoutcache.h"
#include "ui/text/textviewport.h"

class QPainter;

namespace lorimand {

// What goes over the text.
struct TextOverlay
{
    // The selection [start, end), shown only with the focus.
    std::size_t selectionStart = 0;
    std::size_t selectionEnd = 0;
    bool focused = false;
    // The caret, shown when it blinks on; an input method's text is composed at it.
    std::size_t caret = 0;
    bool caretShown = false;
    QString preedit;
    int preeditCursor = 0;
    std::optional<std::size_t> dropAt;
};

// Draws the blocks that meet `clip`, from the view's top down.
void paintText(QPainter &painter, const LayoutCache &layouts, const TextViewport &view,
               const TextOverlay &overlay, const QPalette &colours, const QRect &clip);

// The name a mark shows for its byte: two hexadecimal digits.
[[nodiscard]] QString byteName(unsigned char byte);

} // namespace lorimand

#include "ui/text/accessibletextarea.h"

#include <algorithm>
#include <climits>

#include "ui/text/bytetextedit.h"
#include "ui/text/displaytext.h"

namespace lorimand {

namespace {

// How far either side of an offset the boundaries are looked for at first;
// farther only for a longer word, sentence or line.
constexpr int kReach = 4096;

QAccessibleInterface *textAreaFactory(const QString &key, QObject *object)
{
    // Asked for each class from the object's own up: answer for exactly ours.
    if (key != QLatin1StringView(ByteTextEdit::staticMetaObject.className())) {
        return nullptr;
    }
    auto *area = qobject_cast<ByteTextEdit *>(object);
    return area != nullptr ? new AccessibleTextArea(area) : nullptr;
}

} // namespace

void installAccessibleTextArea()
{
    static bool installed = false;
    if (!installed) {
        QAccessible::installFactory(&textAreaFactory);
        installed = true;
    }
}

AccessibleTextArea::AccessibleTextArea(ByteTextEdit *area)
    : QAccessibleWidget(area, QAccessible::EditableText)
{
}

ByteTextEdit *AccessibleTextArea::area() const
{
    return static_cast<ByteTextEdit *>(widget());
}

std::size_t AccessibleTextArea::bytesAt(int offset) const
{
    return displaytext::byteOffset(area()->text(), static_cast<std::size_t>(std::max(offset, 0)),
                                   area()->charset());
}

int AccessibleTextArea::offsetOf(std::size_t bytes) const
{
    return static_cast<int>(std::min<std::size_t>(
        displaytext::characterOffset(area()->text(), bytes, area()->charset()), INT_MAX));
}

void *AccessibleTextArea::interface_cast(QAccessible::InterfaceType type)
{
    switch (type) {
    case QAccessible::TextInterface:
        return static_cast<QAccessibleTextInterface *>(this);
    case QAccessible::EditableTextInterface:
        return static_cast<QAccessibleEditableTextInterface *>(this);
    default:
        return QAccessibleWidget::interface_cast(type);
    }
}

QAccessible::State AccessibleTextArea::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    const bool readOnly = area()->isReadOnly();
    state.multiLine = true;
    state.editable = !readOnly;
    state.readOnly = readOnly;
    state.selectableText = true;
    return state;
}

// ---------------------------------------------------------------------------
// The text

void AccessibleTextArea::selection(int selectionIndex, int *startOffset, int *endOffset) const
{
    *startOffset = 0;
    *endOffset = 0;
    if (selectionIndex == 0 && area()->hasSelection()) {
        *startOffset = offsetOf(area()->selectionStart());
        *endOffset = offsetOf(area()->selectionEnd());
    }
}

int AccessibleTextArea::selectionCount() const
{
    return area()->hasSelection() ? 1 : 0;
}

void AccessibleTextArea::addSelection(int startOffset, int endOffset)
{
    setSelection(0, startOffset, endOffset);
}

void AccessibleTextArea::removeSelection(int selectionIndex)
{
    if (selectionIndex == 0) {
        area()->setCursorPosition(area()->cursorPosition());
    }
}

void AccessibleTextArea::setSelection(int selectionIndex, int startOffset, int endOffset)
{
    if (selectionIndex == 0) {
        area()->setSelection(bytesAt(startOffset), bytesAt(endOffset));
    }
}

int AccessibleTextArea::cursorPosition() const
{
    return offsetOf(area()->cursorPosition());
}

void AccessibleTextArea::setCursorPosition(int position)
{
    area()->setCursorPosition(bytesAt(position));
    area()->ensureCursorVisible();
}

QString AccessibleTextArea::text(int startOffset, int endOffset) const
{
    if (endOffset <= startOffset) {
        return {};
    }
    return area()->shownText(bytesAt(startOffset), bytesAt(endOffset));
}

int AccessibleTextArea::characterCount() const
{
    return static_cast<int>(std::min<std::size_t>(
        displaytext::characterCount(area()->text(), area()->charset()), INT_MAX));
}

QString AccessibleTextArea::boundary(Side side, int offset, QAccessible::TextBoundaryType type,
                                     int *startOffset, int *endOffset) const
{
    if (type == QAccessible::LineBoundary) {
        return rowBoundary(side, offset, startOffset, endOffset);
    }
    *startOffset = -1;
    *endOffset = -1;
    const int count = characterCount();
    if (offset == -1) {
        offset = count; // the end of the text, as Qt's own answers read it
    }
    if (offset < 0 || offset > count) {
        return {};
    }
    // At the end of the text lies the word or sentence that ends there. (Qt's
    // own answer, asked at the very end, can search forever.)
    if (side == Side::At && offset == count &&
        (type == QAccessible::WordBoundary || type == QAccessible::SentenceBoundary)) {
        if (count == 0) {
            return {};
        }
        --offset;
    }
    // The stretch around the offset grows until what is found there does not
    // run into its edges, where the text goes on.
    int reach = type == QAccessible::NoBoundary ? count : kReach;
    for (;;) {
        const int from = std::max(0, offset - reach);
        const int to = offset + std::min(reach, count - offset);
        const AccessibleStretch part(text(from, to));
        const int local = offset - from;
        QString found;
        switch (side) {
        case Side::Before:
            found = part.textBeforeOffset(local, type, startOffset, endOffset);
            break;
        case Side::At:
            found = part.textAtOffset(local, type, startOffset, endOffset);
            break;
        case Side::After:
            found = part.textAfterOffset(local, type, startOffset, endOffset);
            break;
        }
        const bool more = reach < count;
        const bool cutBefore =
            from > 0 && (*startOffset == 0 || (side == Side::Before && *startOffset < 0));
        const bool cutAfter =
            to < count && (*endOffset == to - from || (side == Side::After && *startOffset < 0));
        if (!more || (!cutBefore && !cutAfter)) {
            if (*startOffset >= 0) {
                *startOffset += from;
                *endOffset += from;
            }
            return found;
        }
        reach = reach > count / 2 ? count : reach * 2;
    }
}

AccessibleTextArea::Row AccessibleTextArea::rowAt(std::size_t offset) const
{
    const LayoutCache &layouts = area()->layouts();
    const LayoutCache::Block &block = layouts.blockAt(offset);
    const QTextLine row = block.rowAt(offset);
    const Row found{block.offsetOf(row.textStart()),
                    block.offsetOf(row.textStart() + row.textLength())};
    if (row.lineNumber() + 1 < block.rows() || !block.lastOfLine) {
        return found;
    }
    // The last row of a line goes on to the start of the next line.
    const text::TextBuffer &text = layouts.text();
    const std::size_t next = block.line + 1;
    return {found.start, next < text.lineCount() ? text.lineStart(next) : text.size()};
}

QString AccessibleTextArea::rowBoundary(Side side, int offset, int *startOffset,
                                        int *endOffset) const
{
    *startOffset = -1;
    *endOffset = -1;
    const int count = characterCount();
    if (offset == -1) {
        offset = count;
    }
    if (offset < 0 || offset > count) {
        return {};
    }
    Row row = rowAt(bytesAt(offset));
    if (side == Side::Before) {
        if (row.start == 0) {
            return {};
        }
        row = rowAt(area()->layouts().snapped(row.start - 1));
    } else if (side == Side::After) {
        // After the last row comes the empty one after a final line break, if any.
        const Row next = rowAt(row.end);
        if (next.start == row.start) {
            return {};
        }
        row = next;
    }
    *startOffset = offsetOf(row.start);
    *endOffset = offsetOf(row.end);
    return area()->shownText(row.start, row.end);
}

QString AccessibleTextArea::textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                             int *startOffset, int *endOffset) const
{
    return boundary(Side::Before, offset, boundaryType, startOffset, endOffset);
}

QString AccessibleTextArea::textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                            int *startOffset, int *endOffset) const
{
    return boundary(Side::After, offset, boundaryType, startOffset, endOffset);
}

QString AccessibleTextArea::textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                         int *startOffset, int *endOffset) const
{
    return boundary(Side::At, offset, boundaryType, startOffset, endOffset);
}

// ---------------------------------------------------------------------------
// On screen

QRect AccessibleTextArea::characterRect(int offset) const
{
    const QRect box = area()->characterRect(bytesAt(offset));
    if (box.isEmpty()) {
        return {};
    }
    return {area()->viewport()->mapToGlobal(box.topLeft()), box.size()};
}

int AccessibleTextArea::offsetAtPoint(const QPoint &point) const
{
    const QWidget *viewport = area()->viewport();
    const QPoint at = viewport->mapFromGlobal(point);
    if (!viewport->rect().contains(at)) {
        return -1;
    }
    // The nearest caret position lies before or after the character hit.
    const int near = offsetOf(area()->offsetAt(at));
    for (const int offset : {near, near - 1}) {
        if (offset >= 0 && area()->characterRect(bytesAt(offset)).contains(at)) {
            return offset;
        }
    }
    return -1;
}

void AccessibleTextArea::scrollToSubstring(int startIndex, int endIndex)
{
    // The end first, so that the start is on screen when both cannot be.
    area()->ensureVisible(bytesAt(endIndex));
    area()->ensureVisible(bytesAt(startIndex));
}

QString AccessibleTextArea::attributes(int offset, int *startOffset, int *endOffset) const
{
    *startOffset = -1;
    *endOffset = -1;
    const int count = characterCount();
    if (offset < 0 || offset > count) {
        return {};
    }
    // One font for the whole text.
    *startOffset = 0;
    *endOffset = count;
    const QFont font = area()->font();
    return QStringLiteral("font-family:\"%1\";font-size:%2pt;")
        .arg(font.family())
        .arg(font.pointSizeF());
}

// ---------------------------------------------------------------------------
// Editing

void AccessibleTextArea::deleteText(int startOffset, int endOffset)
{
    replaceText(startOffset, endOffset, {});
}

void AccessibleTextArea::insertText(int offset, const QString &text)
{
    replaceText(offset, offset, text);
}

void AccessibleTextArea::replaceText(int startOffset, int endOffset, const QString &text)
{
    if (area()->isReadOnly()) {
        return;
    }
    area()->replaceShown(bytesAt(std::min(startOffset, endOffset)),
                         bytesAt(std::max(startOffset, endOffset)), text);
}

} // namespace lorimand

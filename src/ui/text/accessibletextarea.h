// What an assistive technology (a screen reader, a braille display, speech
// input) sees of a ByteTextEdit: an editable multi-line text whose characters
// are those shown, '\n' for each line break, so that a CR LF is one character.
// Offsets are counted in those characters (UTF-16 code units, as Qt counts
// them), never in bytes.
//
// Turning an offset into bytes and back is linear in the size of the text; the
// area asks for it only while an assistive technology is active, and the
// answers here are worked out on the stretch of text they need, never on a
// copy of the whole text (which may be a gigabyte).
#pragma once

#include <cstddef>
#include <utility>

#include <QAccessibleWidget>

namespace lorimand {

class ByteTextEdit;

// A piece of text as shown, alone: what QAccessibleTextInterface's own answers
// to the boundary questions (words, sentences, lines) read, since they read
// the text they are given whole.
class AccessibleStretch final : public QAccessibleTextInterface
{
public:
    explicit AccessibleStretch(QString text) : text_(std::move(text)) {}

    [[nodiscard]] QString text(int startOffset, int endOffset) const override
    {
        return text_.mid(startOffset, endOffset - startOffset);
    }
    [[nodiscard]] int characterCount() const override { return static_cast<int>(text_.size()); }

    // Those answers ask for nothing else.
    void selection(int /*selectionIndex*/, int *startOffset, int *endOffset) const override
    {
        *startOffset = 0;
        *endOffset = 0;
    }
    [[nodiscard]] int selectionCount() const override { return 0; }
    void addSelection(int /*startOffset*/, int /*endOffset*/) override {}
    void removeSelection(int /*selectionIndex*/) override {}
    void setSelection(int /*selectionIndex*/, int /*startOffset*/, int /*endOffset*/) override {}
    [[nodiscard]] int cursorPosition() const override { return 0; }
    void setCursorPosition(int /*position*/) override {}
    [[nodiscard]] QRect characterRect(int /*offset*/) const override { return {}; }
    [[nodiscard]] int offsetAtPoint(const QPoint & /*point*/) const override { return -1; }
    void scrollToSubstring(int /*startIndex*/, int /*endIndex*/) override {}
    QString attributes(int /*offset*/, int *startOffset, int *endOffset) const override
    {
        *startOffset = -1;
        *endOffset = -1;
        return {};
    }

private:
    QString text_;
};

// The text is read and edited through the text interfaces alone: the area has
// no value, which some platforms read as a number.
class AccessibleTextArea : public QAccessibleWidget,
                           public QAccessibleTextInterface,
                           public QAccessibleEditableTextInterface
{
public:
    explicit AccessibleTextArea(ByteTextEdit *area);

    void *interface_cast(QAccessible::InterfaceType type) override;
    [[nodiscard]] QAccessible::State state() const override;
    // The name and description, beside the text interface's text(from, to).
    using QAccessibleWidget::text;

    // QAccessibleTextInterface: one selection at most.
    void selection(int selectionIndex, int *startOffset, int *endOffset) const override;
    [[nodiscard]] int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    [[nodiscard]] int cursorPosition() const override;
    void setCursorPosition(int position) override;
    [[nodiscard]] QString text(int startOffset, int endOffset) const override;
    // A line is a row on screen, as the area wraps it, up to the start of the
    // next row (so the last row of a line holds its line break); a paragraph is
    // a line between line breaks, the break included.
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                             int *startOffset, int *endOffset) const override;
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                            int *startOffset, int *endOffset) const override;
    QString textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType, int *startOffset,
                         int *endOffset) const override;
    [[nodiscard]] int characterCount() const override;
    // In screen coordinates; empty for a character off screen.
    [[nodiscard]] QRect characterRect(int offset) const override;
    // The character under a point of the screen, -1 for a point outside the text.
    [[nodiscard]] int offsetAtPoint(const QPoint &point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int *startOffset, int *endOffset) const override;

    // QAccessibleEditableTextInterface: each is an edit of the user's (undo takes
    // it back), and characters the 8-bit set cannot hold are left out.
    void deleteText(int startOffset, int endOffset) override;
    void insertText(int offset, const QString &text) override;
    void replaceText(int startOffset, int endOffset, const QString &text) override;

private:
    enum class Side
    {
        Before,
        At,
        After,
    };
    [[nodiscard]] ByteTextEdit *area() const;
    [[nodiscard]] std::size_t bytesAt(int offset) const;
    [[nodiscard]] int offsetOf(std::size_t bytes) const;
    [[nodiscard]] QString boundary(Side side, int offset, QAccessible::TextBoundaryType type,
                                   int *startOffset, int *endOffset) const;
    // The row on screen that holds byte `offset`, from its start to the next row's.
    struct Row
    {
        std::size_t start = 0;
        std::size_t end = 0;
    };
    [[nodiscard]] Row rowAt(std::size_t offset) const;
    [[nodiscard]] QString rowBoundary(Side side, int offset, int *startOffset,
                                      int *endOffset) const;
};

// Makes QAccessible give an AccessibleTextArea for every ByteTextEdit. Each
// area calls it as it is made; it installs the factory once.
void installAccessibleTextArea();

} // namespace lorimand

// A multi-line text area that holds 8-bit text faithfully: every byte string
// shown in it reads back unchanged. CR LF and a lone LF both show as a line
// break and each break remembers which it was; a line break typed or pasted
// takes the kind of the text's first line break (CR LF when there is none). A
// CR that no LF follows and every other control code but TAB show as their
// control pictures. A character the 8-bit set cannot hold becomes "?" as it is
// typed or pasted. A very long line is shown in chunks, one block each, so that
// the widget never lays out more than a chunk at once; the chunks read, copy and
// edit as one line.
#pragma once

#include <QPlainTextEdit>
#include <QStringView>

#include <string>
#include <string_view>

namespace lorimand {

class ByteTextEdit : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit ByteTextEdit(QWidget *parent = nullptr);

    [[nodiscard]] std::string bytes() const;
    // Replaces the whole text in one write: one textChanged, linear in the size.
    void setBytes(std::string_view bytes);
    // Selection from the start to the end of the text.
    void selectWholeText();

signals:
    // One local file was dropped onto the area.
    void fileDropped(const QString &path);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    // Ctrl+A selects the whole text when the keys are let go.
    void keyReleaseEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    bool canInsertFromMimeData(const QMimeData *source) const override;
    void insertFromMimeData(const QMimeData *source) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    // Copies the characters as shown, a chunked line as one: toPlainText() would
    // turn U+00A0 into a blank.
    [[nodiscard]] QMimeData *createMimeDataFromSelection() const override;

private:
    // Inserts sanitized text ('\n' for each line break) in place of the selection,
    // in one edit: one textChanged and one undo step. Each break gets the kind of
    // the text's first line break as it stood before the insertion.
    void insertShown(QStringView shown);
    // A line too long to lay out at once is shown in blocks joined by
    // continuations (see displaytext). Before a key that deletes or moves over
    // the character next to the caret, moves the caret across the continuations
    // there, so that the key acts on a real character.
    void stepOverContinuation(const QKeyEvent &event);
};

} // namespace lorimand

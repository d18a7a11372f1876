// A multi-line text area that holds 8-bit text faithfully: every byte string
// shown in it reads back unchanged. CR LF and a lone LF both show as a line
// break and each break remembers which it was; a line break typed or pasted
// takes the kind of the text's first line break (CR LF when there is none). A
// CR that no LF follows and every other control code but TAB show as their
// control pictures. A character the 8-bit set cannot hold becomes "?" as it is
// typed or pasted. A very long line is shown in chunks, one block each, so that
// the widget never lays out more than a chunk at once; the chunks read, copy and
// edit as one line. The area may show its bytes as UTF-8 instead (see
// displaytext), where a byte that is not part of a character is drawn as a box
// naming it.
#pragma once

#include <QPlainTextEdit>
#include <QStringView>
#include <string>
#include <string_view>

#include "ui/main/displaytext.h"

class QSyntaxHighlighter;
class QTextBlock;

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

    [[nodiscard]] displaytext::Charset charset() const { return charset_; }
    // Shows the same bytes in another charset. This changes no byte and is no
    // edit: no textChanged, no undo step; the caret and selection stay on the
    // same bytes. The undo history goes when the shown text changes, since its
    // steps name characters of the other charset.
    void setCharset(displaytext::Charset charset);
    // Lets the user choose the charset: from the context menu and by kCharsetKey.
    void offerCharsetChoice();
    // Switches between the two charsets.
    static constexpr QKeyCombination kCharsetKey{Qt::ControlModifier | Qt::AltModifier, Qt::Key_U};

signals:
    // One local file was dropped onto the area.
    void fileDropped(const QString &path);
    // The user chose a charset.
    void charsetChosen(lorimand::displaytext::Charset charset);

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
    void contextMenuEvent(QContextMenuEvent *event) override;
    // Draws the marks of stray bytes as boxes naming them.
    void paintEvent(QPaintEvent *event) override;
    // A mark's tool tip says which byte it stands for and why.
    bool viewportEvent(QEvent *event) override;

private:
    // Shows a text in place of the document's, with no undo history.
    void showText(const displaytext::ShownText &shown);
    // How many bytes the characters before a position stand for.
    [[nodiscard]] std::size_t bytesBefore(int position) const;
    void chooseCharset(displaytext::Charset charset);
    // The box a mark at `position` in `block` is drawn in, in viewport coordinates.
    [[nodiscard]] QRectF markBox(const QTextBlock &block, int position) const;

    // Inserts sanitized text ('\n' for each line break) in place of the selection,
    // in one edit: one textChanged and one undo step. Each break gets the kind of
    // the text's first line break as it stood before the insertion.
    void insertShown(QStringView shown);
    // A line too long to lay out at once is shown in blocks joined by
    // continuations (see displaytext). Before a key that deletes or moves over
    // the character next to the caret, moves the caret across the continuations
    // there, so that the key acts on a real character.
    void stepOverContinuation(const QKeyEvent &event);

    displaytext::Charset charset_ = displaytext::Charset::Windows1252;
    bool charsetChoice_ = false;
    // Makes room for the boxes of marks; only in UTF-8, where marks can be.
    QSyntaxHighlighter *markRoom_ = nullptr;
};

} // namespace lorimand

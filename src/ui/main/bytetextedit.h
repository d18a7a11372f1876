// A multi-line text area that holds 8-bit text faithfully: every byte string
// shown in it reads back unchanged. CR LF and a lone LF both show as a line
// break and each break remembers which it was; a line break typed or pasted
// takes the kind of the text's first line break (CR LF when there is none). A
// CR that no LF follows and every other control code but TAB show as their
// control pictures. A character the 8-bit set cannot hold is left out as it is
// typed or pasted, and a tool tip at the caret says so. A very long line is shown in chunks, one
// block each, so that the widget never lays out more than a chunk at once; the chunks read, copy
// and edit as one line. The area may show its bytes as UTF-8 instead (see displaytext), where a
// byte that is not part of a character is drawn as a box naming it. Without the focus, the area
// does not show its selection.
//
// Undo covers the program's replacements of the whole text as well as the
// user's edits: each replaced text is kept as a document of its own, with its
// own edit history, and undoing past the first edit of a text brings back the
// text it replaced. Replacing is as cheap as before, and undoing one is
// immediate, whatever the size.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <QPlainTextEdit>
#include <QStringView>

#include "engine/progress.h"
#include "ui/main/blockbytes.h"
#include "ui/main/displaytext.h"

class QSyntaxHighlighter;
class QTextBlock;

namespace lorimand {

class ByteTextEdit : public QPlainTextEdit
{
    Q_OBJECT

public:
    // How a replacement of the whole text joins the undo history.
    enum class History
    {
        Step,      // one undo step
        Automatic, // one step together with the automatic replacements right before it
        Fresh,     // the history starts again from this text
    };

    // The replaced texts kept for undo: the latest always, older ones while
    // there are no more than `steps` of them and they hold no more than
    // `characters` together; the oldest go first. Typing into a text adds only
    // what it changes.
    struct UndoLimits
    {
        std::size_t steps = 20;
        qsizetype characters = qsizetype{64} << 20;
    };

    explicit ByteTextEdit(QWidget *parent = nullptr);
    ~ByteTextEdit() override;

    [[nodiscard]] std::string bytes() const;
    // As bytes(), read out in steps, telling `progress` after each, in
    // characters; nothing when progress stopped it.
    [[nodiscard]] std::optional<std::string> bytes(const Progress &progress) const;
    [[nodiscard]] std::size_t byteCount() const { return blockBytes_.size(); }
    // Bytes [from, to) of the text, read from the blocks that hold them alone.
    [[nodiscard]] std::string bytesIn(std::size_t from, std::size_t to) const;
    // How many times the bytes have changed (bytesChanged was emitted).
    [[nodiscard]] std::uint64_t changeCount() const { return changes_; }
    // Replaces the whole text in one write: one textChanged, linear in the size.
    void setBytes(std::string_view bytes, History history = History::Step);
    // As setBytes, filling the new text in steps and telling `progress` after
    // each, in characters, so that the window can paint meanwhile; false when
    // progress stopped it, and the area is as it was.
    [[nodiscard]] bool setBytesInSteps(std::string_view bytes, History history,
                                       const Progress &progress);
    // Whether spliceAutomatic can be used: the text shown is an automatic
    // replacement that nothing has edited since.
    [[nodiscard]] bool joinsAutomatic() const;
    // Replaces bytes [from, to) as part of the automatic replacement shown,
    // changing only the characters that change: the caret, the selection and
    // the view stay where they lie elsewhere. Only where joinsAutomatic().
    void spliceAutomatic(std::size_t from, std::size_t to, std::string_view bytes);
    // Selection from the start to the end of the text.
    void selectWholeText();

    // Undo and redo across edits and replacements alike; Ctrl+Z, Ctrl+Y and the
    // context menu use these. They hide QPlainTextEdit's, which know only edits.
    void undo();
    void redo();
    [[nodiscard]] bool isUndoAvailable() const;
    [[nodiscard]] bool isRedoAvailable() const;
    void setUndoLimits(UndoLimits limits);

    [[nodiscard]] displaytext::Charset charset() const { return charset_; }
    // Shows the same bytes in another charset. This changes no byte and is no
    // edit: no textChanged, no undo step; the caret and selection stay on the
    // same bytes. The undo history (the replaced texts with it) goes when the
    // shown text changes, since its steps name characters of the other charset.
    // With `progress`, the text is shown anew in steps, told after each; false
    // when progress stopped it, and nothing changed.
    bool setCharset(displaytext::Charset charset, const Progress &progress = nullptr);
    // As the user chose it: in steps behind a progress dialog, which can cancel
    // it; then emits charsetChosen.
    void chooseCharset(displaytext::Charset charset);
    // Lets the user choose the charset: from the context menu and by kCharsetKey.
    void offerCharsetChoice();
    // Switches between the two charsets.
    static constexpr QKeyCombination kCharsetKey{Qt::ControlModifier | Qt::AltModifier, Qt::Key_U};

signals:
    // One local file was dropped onto the area.
    void fileDropped(const QString &path);
    // The user chose a charset.
    void charsetChosen(lorimand::displaytext::Charset charset);
    // The bytes changed, by an edit of the text or by showing another (after
    // textChanged); `change` covers at least the bytes that changed.
    void bytesChanged(const lorimand::ByteChange &change);

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
    void changeEvent(QEvent *event) override;
    // Draws the marks of stray bytes as boxes naming them.
    void paintEvent(QPaintEvent *event) override;
    // A mark's tool tip says which byte it stands for and why.
    bool viewportEvent(QEvent *event) override;

private:
    // Shows a text in place of the document's, with no undo history.
    void showText(const displaytext::ShownText &shown);
    // The bytes of a block: the line break before it, if any, and its characters.
    [[nodiscard]] std::string bytesOf(const QTextBlock &block) const;
    [[nodiscard]] BlockBytes blockBytesOf(const displaytext::ShownText &shown) const;
    // Follows an edit of the shown document in blockBytes_ and tells it as bytesChanged.
    void followEdit(int position, int added);
    // Tells a change of the whole text, which held `before` bytes and `loneBefore` lone CRs.
    void tellWholeChange(std::size_t before, std::size_t loneBefore);
    // How many bytes the characters before a position stand for.
    [[nodiscard]] std::size_t bytesBefore(int position) const;
    // Where the character that holds byte `offset` stands; the end for the end.
    [[nodiscard]] int positionOfByte(std::size_t offset) const;
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
    // An area without the focus paints its selection in the colours of the
    // inactive group; those are made the colours of the text itself.
    void hideSelectionWithoutFocus();
    // Shows which characters were left out, if any.
    void tellLeftOut(const QString &leftOut);
    // Gives the shown document the room for marks when it shows UTF-8.
    void attachMarkRoom();

    // A text the area held before or after the one it shows, and where its
    // caret was.
    struct Version
    {
        std::unique_ptr<QTextDocument> document;
        int anchor = 0;
        int position = 0;
        bool automatic = false;
        BlockBytes blockBytes;
    };
    [[nodiscard]] std::unique_ptr<QTextDocument> newDocument();
    // The shown text becomes a version; `next` is shown in its place.
    [[nodiscard]] Version swapIn(Version next);
    // Shows the latest of `from`; the text shown before goes to `to`.
    void showVersion(std::vector<Version> &from, std::vector<Version> &to);
    void keepWithinBounds();

    displaytext::Charset charset_ = displaytext::Charset::Windows1252;
    bool charsetChoice_ = false;
    // Makes room for the boxes of marks; only in UTF-8, where marks can be.
    QSyntaxHighlighter *markRoom_ = nullptr;
    UndoLimits limits_;
    bool automatic_ = false; // the shown text is an automatic replacement
    BlockBytes blockBytes_;  // of the shown document
    bool refilling_ = false; // the shown document is filled anew, not edited
    std::uint64_t changes_ = 0;
    std::vector<Version> undone_; // the texts undo brings back, the latest last
    std::vector<Version> redone_; // the texts redo brings back, the next last
};

} // namespace lorimand

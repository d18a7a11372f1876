// A multi-line text area that holds 8-bit text faithfully: every byte string
// shown in it reads back unchanged. CR LF and a lone LF both show as a line
// break and stay what they were; a line break typed or pasted takes the kind of
// the text's first line break (CR LF when there is none). A CR that no LF
// follows and every other control code but TAB show as their control pictures.
// A character the 8-bit set cannot hold is left out as it is typed or pasted,
// and a tool tip at the caret says so. The area may show its bytes as UTF-8
// instead (see displaytext), where a byte that is not part of a character is
// drawn as a box naming it. Without the focus, the area does not show its
// selection.
//
// The bytes live in a text model of their own (text::TextDocument); the area
// lays out and draws only the lines on screen, so that a text of any size opens,
// scrolls and takes a keystroke in the time a short one does. Positions, the
// caret and the selection are byte offsets, always at the start of a character
// as shown (never inside a CR LF, nor inside a UTF-8 character).
//
// The area is the widget that ties a few parts together: the layouts of the
// blocks (LayoutCache), which part of them shows (TextViewport), where the
// caret goes (caretmoves), how they are drawn (textrenderer) and what they
// show (displaytext). Its own files hold the text and its edits
// (bytetextedit.cpp) and the user's input: keys, the mouse, drag and drop, the
// input method and the clipboard (bytetextedit_input.cpp).
//
// Undo covers the program's replacements of the whole text as well as the
// user's edits; a replaced text is kept by moving it aside, and undoing a
// replacement is immediate whatever the size.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QElapsedTimer>
#include <QList>
#include <QPoint>
#include <QPointer>
#include <QString>

#include "text/textdocument.h"
#include "ui/text/displaytext.h"
#include "ui/text/layoutcache.h"
#include "ui/text/textviewport.h"

class QAction;
class QDropEvent;
class QMimeData;

namespace lorimand {

class OfferedSelection;
using ByteChange = text::ByteChange;

class ByteTextEdit : public QAbstractScrollArea
{
    Q_OBJECT

public:
    using History = text::TextDocument::History;
    using UndoLimits = text::TextDocument::UndoLimits;
    using Selection = text::Selection;

    explicit ByteTextEdit(QWidget *parent = nullptr);
    ~ByteTextEdit() override;

    // The text model's bytes, for reading them without a copy.
    [[nodiscard]] const text::TextBuffer &text() const { return document_.text(); }
    [[nodiscard]] std::string bytes() const;
    [[nodiscard]] std::size_t byteCount() const;
    // Bytes [from, to) of the text.
    [[nodiscard]] std::string bytesIn(std::size_t from, std::size_t to) const;
    // The whole text without copying it where it lies in one piece (as after
    // loading or translating); otherwise it is put together in `scratch`.
    [[nodiscard]] std::string_view wholeText(std::string &scratch) const;
    // How many times the bytes have changed (bytesChanged was emitted).
    [[nodiscard]] std::uint64_t changeCount() const;
    // Replaces the whole text with `bytes`, moved in: one textChanged, linear in the size.
    void setBytes(std::string bytes, History history = History::Step);
    // Whether the text shown is an automatic replacement that nothing has edited since.
    [[nodiscard]] bool joinsAutomatic() const;
    // Replaces bytes [from, to) as part of the automatic replacement shown, or
    // as a new automatic step when nothing joins: the caret, the selection and
    // the view stay where they lie elsewhere.
    void spliceAutomatic(std::size_t from, std::size_t to, std::string_view bytes);

    // The characters of bytes [from, to) as shown, '\n' for each line break.
    [[nodiscard]] QString shownText(std::size_t from, std::size_t to) const;
    [[nodiscard]] QString shownText() const { return shownText(0, byteCount()); }

    [[nodiscard]] Selection selection() const { return selection_; }
    [[nodiscard]] bool hasSelection() const { return selection_.anchor != selection_.position; }
    [[nodiscard]] std::size_t selectionStart() const;
    [[nodiscard]] std::size_t selectionEnd() const;
    // Both are moved to the start of the character that holds them.
    void setSelection(std::size_t anchor, std::size_t position);
    void setCursorPosition(std::size_t position) { setSelection(position, position); }
    [[nodiscard]] std::size_t cursorPosition() const { return selection_.position; }
    // Selection from the start to the end of the text.
    void selectWholeText();
    // The caret's box, in the viewport's coordinates.
    [[nodiscard]] QRect cursorRect() const;
    void ensureCursorVisible() { ensureVisible(selection_.position); }
    // The layouts the area draws from, for checks of what it shows.
    [[nodiscard]] const LayoutCache &layouts() const { return layouts_; }
    // The row at the top of the view, and scrolling to put one there.
    [[nodiscard]] ViewTop viewTop() const { return view_.top(); }
    void scrollTo(ViewTop top);
    // Scrolls as little as brings the row of byte `offset` on screen.
    void ensureVisible(std::size_t offset);

    // Undo and redo across edits and replacements alike; Ctrl+Z, Ctrl+Shift+Z
    // and the context menu use these.
    void undo();
    void redo();
    [[nodiscard]] bool isUndoAvailable() const;
    [[nodiscard]] bool isRedoAvailable() const;
    void setUndoLimits(UndoLimits limits);

    void cut();
    void copy();
    void paste();

    [[nodiscard]] bool isReadOnly() const { return readOnly_; }
    void setReadOnly(bool readOnly);
    // Tab moves the focus on instead of typing a TAB.
    void setTabChangesFocus(bool changes) { tabChangesFocus_ = changes; }
    void zoomIn(int steps = 1);
    void zoomOut(int steps = 1) { zoomIn(-steps); }

    [[nodiscard]] displaytext::Charset charset() const { return layouts_.charset(); }
    // Shows the same bytes in another charset. This changes no byte and is no
    // edit: no textChanged, no undo step; the caret and selection stay on the
    // same bytes (at the start of the character that holds them), and the undo
    // history stays, since it is kept in bytes.
    void setCharset(displaytext::Charset charset);
    // As the user chose it; then emits charsetChosen.
    void chooseCharset(displaytext::Charset charset);
    // Lets the user choose the charset: from the context menu and by kCharsetKey.
    void offerCharsetChoice();
    // Switches between the two charsets.
    static constexpr QKeyCombination kCharsetKey{Qt::ControlModifier | Qt::AltModifier, Qt::Key_U};
    // Actions of the window's that the context menu offers after its own; the
    // area does not own them.
    void setExtraMenuActions(const QList<QAction *> &actions);

    [[nodiscard]] QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

    // The box of the character at byte `offset`, in the viewport's coordinates;
    // empty when it is not on screen.
    [[nodiscard]] QRect characterRect(std::size_t offset) const;
    // The byte offset of the character nearest to a point of the viewport.
    [[nodiscard]] std::size_t offsetAt(QPoint point) const;
    // Replaces bytes [from, to) by shown text, as an edit of the user's.
    void replaceShown(std::size_t from, std::size_t to, QStringView shown);

signals:
    void textChanged();
    // The bytes changed, by an edit of the text or by showing another (after
    // textChanged); `change` covers at least the bytes that changed.
    void bytesChanged(const lorimand::text::ByteChange &change);
    void cursorPositionChanged();
    void selectionChanged();
    // One local file was dropped onto the area.
    void fileDropped(const QString &path);
    // The user chose a charset.
    void charsetChosen(lorimand::displaytext::Charset charset);

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    // Ctrl+A selects the whole text when the keys are let go.
    void keyReleaseEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void timerEvent(QTimerEvent *event) override;
    void changeEvent(QEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    // A mark's tool tip says which byte it stands for and why.
    bool viewportEvent(QEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    // Bytes [from, to) become `bytes` as the user's edit.
    void editBytes(std::size_t from, std::size_t to, std::string_view bytes,
                   text::TextDocument::EditKind kind);
    // Sanitized text ('\n' for each line break) as the bytes it stands for, each
    // line break of the kind the text's first one has.
    [[nodiscard]] std::string bytesOfShown(QStringView shown) const;
    // Sanitized text ('\n' for each line break) in place of the selection.
    void insertShown(QStringView shown, text::TextDocument::EditKind kind);
    void insertFromMimeData(const QMimeData *source);
    [[nodiscard]] QMimeData *mimeDataFromSelection() const;
    // Offers the selection the user made as the X selection (PRIMARY).
    void offerSelection();
    // Whether a drop moves the area's own selection within it: not with Ctrl,
    // which copies.
    [[nodiscard]] bool movesWithin(const QDropEvent &event) const;
    void deleteSelection();
    // Runs an edit (or a copy); running out of memory on the way leaves the text
    // as it was (the text model allocates before it changes anything), and a
    // tool tip at the caret says so.
    void guarded(const std::function<void()> &edit);
    // Shows which characters were left out, if any.
    void tellLeftOut(const QString &leftOut);
    // Where the caret and the selection lie in characters, as an assistive
    // technology counts them.
    struct Spot
    {
        int caret = 0;
        int start = 0;
        int end = 0;
    };
    [[nodiscard]] Spot spotOf(Selection selection) const;
    // Tells an assistive technology that the caret or the selection moved in
    // characters since `before`: a caret that keeps its character offset while
    // its bytes change (the text before it changed) has not moved for a reader,
    // and one that keeps its bytes while the characters before it change has.
    void announceSpot(const Spot &before);
    // What a change needs of the text before it: its line count, and while an
    // assistive technology is active, its character count, the characters
    // shown of bytes [from, to), which the change removes, and the caret and
    // selection in characters.
    struct Before
    {
        std::size_t lines = 0;
        std::size_t characters = 0;
        QString removed;
        Spot spot;
    };
    // Also lets the X selection offered keep its text, which is about to change.
    [[nodiscard]] Before takeBefore(std::size_t from, std::size_t to);
    // After any change of the bytes: the layouts, the view, the caret and the
    // signals follow; the view shows the caret unless `showCaret` is false.
    void followChange(const ByteChange &change, const Before &was, Selection selection,
                      bool showCaret = true);
    void announceChange(const ByteChange &change, const Before &was);
    // The character offset of byte `offset`, as an assistive technology counts.
    [[nodiscard]] int characterAt(std::size_t offset) const;

    // The caret moved to `position`, extending the selection when `select`.
    void moveCursor(std::size_t position, bool select);
    // Settles what the keys that move the caret, select, delete and use the
    // clipboard do; false for any other key. Up, Down and the page keys keep
    // `stickyX`, the x of the caret before the moves up and down in a row.
    bool handleStandardKey(QKeyEvent *event, std::optional<qreal> stickyX);
    void restartBlink();
    // Tells the input method what changed of what it asks about (the caret's
    // box, the text around the caret, the selection), while the area has the focus.
    void updateInputMethod(Qt::InputMethodQueries queries);
    // The text being composed goes in as the input method's commit, before a
    // click or a change of the focus acts: the input method commits it when it
    // can, and otherwise the area does as the input method would and has it
    // start afresh.
    void commitPreedit();

    // The layouts follow the area's font and width, and the view its height.
    void relayout();
    void updateScrollBar();
    void scrollByRows(int rows);
    // Lets go of layouts far from the view between events.
    void trimLayouts();

    text::TextDocument document_;
    LayoutCache layouts_;
    TextViewport view_;
    Selection selection_;
    bool charsetChoice_ = false;
    QList<QPointer<QAction>> extraMenuActions_;
    bool readOnly_ = false;
    bool tabChangesFocus_ = false;
    bool settingScrollBar_ = false;
    // The x the caret keeps when it moves up and down.
    std::optional<qreal> stickyX_;
    bool caretShown_ = true;
    QBasicTimer blink_;
    QBasicTimer autoScroll_;
    // Mouse: where a press began, and whether it may start a drag of the selection.
    std::optional<QPoint> pressedAt_;
    bool mayDrag_ = false;
    // Since and where the last double click was, for a third click to select the line.
    QElapsedTimer doubleClicked_;
    QPoint doubleClickedAt_;
    bool selectingWords_ = false;
    Selection wordAnchor_;
    // Where a drag over the area would drop.
    std::optional<std::size_t> dropAt_;
    // The input method's text being composed at the caret.
    QString preedit_;
    int preeditCursor_ = 0;
    // The X selection last offered, while the clipboard holds it.
    QPointer<OfferedSelection> offered_;
};

} // namespace lorimand

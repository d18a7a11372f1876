// The text area's input: keys, the input method, the clipboard, the mouse and
// the wheel, drag and drop, and the context menu. Each settles what the user
// asked for and hands it to the area's edits and moves (bytetextedit.cpp).
#include <algorithm>
#include <utility>

#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QHelpEvent>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QStyleHints>
#include <QToolTip>
#include <QUrl>

#include "ui/text/bytetextedit.h"
#include "ui/text/caretmoves.h"
#include "ui/text/textclipboard.h"
#include "ui/text/textrenderer.h"

namespace lorimand {

namespace {

using displaytext::Charset;
using text::TextDocument;

// What a drag carries for the area: the path of exactly one local file, several
// files (which are neither loaded nor pasted as their addresses), or anything else.
struct DraggedFiles
{
    std::optional<QString> single;
    bool several = false;
};

[[nodiscard]] DraggedFiles draggedFiles(const QMimeData *mime)
{
    if (mime == nullptr || !mime->hasUrls()) {
        return {};
    }
    const QList<QUrl> urls = mime->urls();
    if (urls.size() == 1 && urls.front().isLocalFile()) {
        return {urls.front().toLocalFile(), false};
    }
    const bool anyFile =
        std::any_of(urls.begin(), urls.end(), [](const QUrl &url) { return url.isLocalFile(); });
    return {std::nullopt, anyFile};
}

// A file is only ever read: a move offered by a file manager must not be taken,
// or the manager could delete the file afterwards.
bool acceptAsFileDrop(QDropEvent *event)
{
    for (const Qt::DropAction action : {Qt::CopyAction, Qt::LinkAction}) {
        if (event->possibleActions().testFlag(action)) {
            event->setDropAction(action);
            event->accept();
            return true;
        }
    }
    event->ignore();
    return false;
}

[[nodiscard]] bool isModifierOnly(const QKeyEvent &event)
{
    switch (event.key()) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
        return true;
    default:
        return false;
    }
}

// A menu entry with its shortcut shown beside it, as text areas show them.
[[nodiscard]] QString withShortcut(const QString &text, QKeySequence::StandardKey key)
{
    const QKeySequence sequence(key);
    return sequence.isEmpty() ? text : text + u'\t' + sequence.toString(QKeySequence::NativeText);
}

} // namespace

// ---------------------------------------------------------------------------
// Keys

bool ByteTextEdit::handleStandardKey(QKeyEvent *event, std::optional<qreal> stickyX)
{
    struct Move
    {
        QKeySequence::StandardKey move;
        QKeySequence::StandardKey select;
        std::size_t (*to)(const LayoutCache &, std::size_t);
    };
    static const Move moves[] = {
        {QKeySequence::MoveToNextChar, QKeySequence::SelectNextChar, &caretmoves::nextCharacter},
        {QKeySequence::MoveToPreviousChar, QKeySequence::SelectPreviousChar,
         &caretmoves::previousCharacter},
        {QKeySequence::MoveToNextWord, QKeySequence::SelectNextWord, &caretmoves::nextWord},
        {QKeySequence::MoveToPreviousWord, QKeySequence::SelectPreviousWord,
         &caretmoves::previousWord},
        {QKeySequence::MoveToStartOfLine, QKeySequence::SelectStartOfLine, &caretmoves::rowStart},
        {QKeySequence::MoveToEndOfLine, QKeySequence::SelectEndOfLine, &caretmoves::rowEnd},
    };
    for (const Move &move : moves) {
        const bool select = event->matches(move.select);
        if (select || event->matches(move.move)) {
            std::size_t to = move.to(layouts_, selection_.position);
            // Left and right without Shift end a selection at its edge.
            if (!select && hasSelection() && move.move == QKeySequence::MoveToNextChar) {
                to = selectionEnd();
            } else if (!select && hasSelection() && move.move == QKeySequence::MoveToPreviousChar) {
                to = selectionStart();
            }
            moveCursor(to, select);
            return true;
        }
    }
    const auto vertical = [&](QKeySequence::StandardKey moveKey,
                              QKeySequence::StandardKey selectKey, int rows, bool page) {
        const bool select = event->matches(selectKey);
        if (!select && !event->matches(moveKey)) {
            return false;
        }
        stickyX_ = stickyX;
        const std::size_t to =
            caretmoves::movedByRows(layouts_, selection_.position, rows, stickyX_);
        if (page) {
            scrollByRows(rows);
        }
        moveCursor(to, select);
        return true;
    };
    const int page = std::max(1, view_.visibleRows() - 1);
    if (vertical(QKeySequence::MoveToNextLine, QKeySequence::SelectNextLine, 1, false) ||
        vertical(QKeySequence::MoveToPreviousLine, QKeySequence::SelectPreviousLine, -1, false) ||
        vertical(QKeySequence::MoveToNextPage, QKeySequence::SelectNextPage, page, true) ||
        vertical(QKeySequence::MoveToPreviousPage, QKeySequence::SelectPreviousPage, -page, true)) {
        return true;
    }
    if (event->matches(QKeySequence::MoveToStartOfDocument) ||
        event->matches(QKeySequence::SelectStartOfDocument)) {
        moveCursor(0, event->matches(QKeySequence::SelectStartOfDocument));
        return true;
    }
    if (event->matches(QKeySequence::MoveToEndOfDocument) ||
        event->matches(QKeySequence::SelectEndOfDocument)) {
        moveCursor(byteCount(), event->matches(QKeySequence::SelectEndOfDocument));
        return true;
    }
    if (event->matches(QKeySequence::SelectAll)) {
        selectWholeText();
        offerSelection();
        return true;
    }
    if (event->matches(QKeySequence::Copy)) {
        copy();
        return true;
    }
    if (readOnly_) {
        return false;
    }
    if (event->matches(QKeySequence::Cut)) {
        cut();
        return true;
    }
    if (event->matches(QKeySequence::Paste)) {
        paste();
        return true;
    }
    const bool plainBackspace =
        event->key() == Qt::Key_Backspace && !(event->modifiers() & ~Qt::ShiftModifier);
    if (plainBackspace || event->matches(QKeySequence::Backspace) ||
        event->matches(QKeySequence::Delete)) {
        if (hasSelection()) {
            deleteSelection();
        } else if (plainBackspace || event->matches(QKeySequence::Backspace)) {
            editBytes(caretmoves::previousCharacter(layouts_, selection_.position),
                      selection_.position, {}, TextDocument::EditKind::Step);
        } else {
            editBytes(selection_.position, caretmoves::nextCharacter(layouts_, selection_.position),
                      {}, TextDocument::EditKind::Step);
        }
        return true;
    }
    if (event->matches(QKeySequence::DeleteStartOfWord) ||
        event->matches(QKeySequence::DeleteEndOfWord)) {
        if (hasSelection()) {
            deleteSelection();
        } else if (event->matches(QKeySequence::DeleteStartOfWord)) {
            editBytes(caretmoves::previousWord(layouts_, selection_.position), selection_.position,
                      {}, TextDocument::EditKind::Step);
        } else {
            editBytes(selection_.position, caretmoves::nextWord(layouts_, selection_.position), {},
                      TextDocument::EditKind::Step);
        }
        return true;
    }
    return false;
}

bool ByteTextEdit::event(QEvent *event)
{
    trimLayouts();
    // Tab types a TAB unless it moves the focus on; Ctrl+Tab always moves it.
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) && !tabChangesFocus_ &&
            !readOnly_ && !(key->modifiers() & Qt::ControlModifier)) {
            keyPressEvent(key);
            return true;
        }
    } else if (event->type() == QEvent::ShortcutOverride) {
        // The area's own keys are not taken by the window's shortcuts.
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo) ||
            key->matches(QKeySequence::Copy) || key->matches(QKeySequence::Paste) ||
            key->matches(QKeySequence::Cut) || key->matches(QKeySequence::SelectAll) ||
            key->keyCombination() == kCharsetKey ||
            (displaytext::insertsText(*key) && !key->modifiers().testFlag(Qt::AltModifier))) {
            key->accept();
            return true;
        }
    }
    return QAbstractScrollArea::event(event);
}

void ByteTextEdit::keyPressEvent(QKeyEvent *event)
{
    // The x kept for moving up and down lasts from one such move to the next,
    // past no other key, not even one that types nothing; Shift or Ctrl alone,
    // pressed on the way to the next move, is no key of its own.
    if (isModifierOnly(*event)) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    const std::optional<qreal> stickyX = std::exchange(stickyX_, std::nullopt);
    if (charsetChoice_ && event->keyCombination() == kCharsetKey) {
        chooseCharset(charset() == Charset::Utf8 ? Charset::Windows1252 : Charset::Utf8);
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo)) {
        if (!readOnly_) {
            event->matches(QKeySequence::Undo) ? undo() : redo();
        }
        event->accept();
        return;
    }
    // Ctrl+= is Ctrl+plus without Shift on many keyboards.
    if (event->matches(QKeySequence::ZoomIn) ||
        (event->key() == Qt::Key_Equal && event->modifiers() == Qt::ControlModifier)) {
        zoomIn();
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::ZoomOut)) {
        zoomOut();
        event->accept();
        return;
    }
    if (displaytext::isUnusedAltKey(*event)) {
        event->ignore();
        return;
    }
    if (handleStandardKey(event, stickyX)) {
        event->accept();
        return;
    }
    if (readOnly_) {
        event->ignore();
        return;
    }
    // Enter and Shift+Enter alike make a line break of the default kind.
    if (event->matches(QKeySequence::InsertParagraphSeparator) ||
        event->matches(QKeySequence::InsertLineSeparator)) {
        insertShown(u"\n", TextDocument::EditKind::Step);
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Tab && !tabChangesFocus_ && event->modifiers() == Qt::NoModifier) {
        insertShown(u"\t", TextDocument::EditKind::Typing);
        event->accept();
        return;
    }
    if (displaytext::insertsText(*event)) {
        const auto fixed =
            displaytext::sanitized(event->text(), displaytext::Breaks::AsLineBreaks, charset());
        if (!fixed.text.isEmpty()) {
            insertShown(fixed.text, fixed.text.contains(u'\n') ? TextDocument::EditKind::Step
                                                               : TextDocument::EditKind::Typing);
        }
        tellLeftOut(fixed.leftOut);
        event->accept();
        return;
    }
    event->ignore();
}

void ByteTextEdit::keyReleaseEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_A && event->modifiers() == Qt::ControlModifier) {
        selectWholeText();
        offerSelection();
    }
    QAbstractScrollArea::keyReleaseEvent(event);
}

// ---------------------------------------------------------------------------
// Input methods

void ByteTextEdit::inputMethodEvent(QInputMethodEvent *event)
{
    if (readOnly_) {
        event->ignore();
        return;
    }
    const QString commit = event->commitString();
    // The text composed so far goes, whatever takes its place.
    preedit_.clear();
    if (!commit.isEmpty() || event->replacementLength() > 0) {
        std::size_t from = selectionStart();
        std::size_t to = selectionEnd();
        if (event->replacementLength() > 0 || event->replacementStart() != 0) {
            // The replacement counts characters from the caret within its block.
            const LayoutCache::Block &block = layouts_.blockAt(selection_.position);
            const int first = block.indexOf(selection_.position) + event->replacementStart();
            from = block.offsetOf(first);
            to = block.offsetOf(first + event->replacementLength());
        }
        const auto fixed =
            displaytext::sanitized(commit, displaytext::Breaks::AsLineBreaks, charset());
        // Nothing the set holds and nothing to replace: the selection stays, as for a key.
        if (!fixed.text.isEmpty() || event->replacementLength() > 0) {
            setSelection(from, to);
            // Each commit is a step of its own: undo takes back what the input
            // method put in one word or phrase at a time, not a whole sentence.
            insertShown(fixed.text, TextDocument::EditKind::Step);
        }
        tellLeftOut(fixed.leftOut);
    }
    preedit_ = event->preeditString();
    preeditCursor_ = static_cast<int>(preedit_.size());
    for (const QInputMethodEvent::Attribute &attribute : event->attributes()) {
        if (attribute.type == QInputMethodEvent::Cursor) {
            preeditCursor_ = attribute.start;
        }
    }
    viewport()->update();
    // The caret moves within the text being composed.
    updateInputMethod(Qt::ImCursorRectangle | Qt::ImAnchorRectangle);
    event->accept();
}

void ByteTextEdit::commitPreedit()
{
    if (preedit_.isEmpty()) {
        return;
    }
    const bool ours = QGuiApplication::focusObject() == this;
    if (ours) {
        QGuiApplication::inputMethod()->commit();
        if (preedit_.isEmpty()) {
            return;
        }
    }
    QInputMethodEvent commit;
    commit.setCommitString(preedit_);
    inputMethodEvent(&commit);
    if (ours) {
        QGuiApplication::inputMethod()->reset();
    }
}

void ByteTextEdit::updateInputMethod(Qt::InputMethodQueries queries)
{
    if (QGuiApplication::focusObject() == this) {
        QGuiApplication::inputMethod()->update(queries);
    }
}

QVariant ByteTextEdit::inputMethodQuery(Qt::InputMethodQuery query) const
{
    const LayoutCache::Block &block = layouts_.blockAt(selection_.position);
    const int caret = block.indexOf(selection_.position);
    switch (query) {
    case Qt::ImEnabled:
        return !readOnly_;
    case Qt::ImCursorRectangle:
        return cursorRect();
    case Qt::ImAnchorRectangle:
        return characterRect(selection_.anchor);
    case Qt::ImFont:
        return font();
    case Qt::ImCursorPosition:
        return caret;
    case Qt::ImAnchorPosition:
        // An anchor beyond the caret's block is at its edge: the part of the
        // selection in the surrounding text.
        return block.indexOf(selection_.anchor);
    case Qt::ImSurroundingText:
        return block.run.text;
    case Qt::ImTextBeforeCursor:
        return block.run.text.first(caret);
    case Qt::ImTextAfterCursor:
        return block.run.text.sliced(caret);
    case Qt::ImCurrentSelection:
        return shownText(selectionStart(), std::min(selectionEnd(), selectionStart() + 4096));
    case Qt::ImHints:
        return static_cast<int>(Qt::ImhMultiLine);
    case Qt::ImReadOnly:
        return readOnly_;
    default:
        return QAbstractScrollArea::inputMethodQuery(query);
    }
}

// ---------------------------------------------------------------------------
// The clipboard

QMimeData *ByteTextEdit::mimeDataFromSelection() const
{
    return copiedText(document_.text(), selectionStart(), selectionEnd(), charset());
}

void ByteTextEdit::offerSelection()
{
    QClipboard *clipboard = QApplication::clipboard();
    if (!clipboard->supportsSelection() || !hasSelection()) {
        return;
    }
    auto *offer =
        new OfferedSelection(*this, document_.text(), selectionStart(), selectionEnd(), charset());
    clipboard->setMimeData(offer, QClipboard::Selection);
    offered_ = offer;
}

void ByteTextEdit::copy()
{
    if (hasSelection()) {
        guarded([this] { QApplication::clipboard()->setMimeData(mimeDataFromSelection()); });
    }
}

void ByteTextEdit::cut()
{
    if (hasSelection() && !readOnly_) {
        copy();
        deleteSelection();
    }
}

void ByteTextEdit::paste()
{
    if (!readOnly_) {
        insertFromMimeData(QApplication::clipboard()->mimeData());
    }
}

void ByteTextEdit::insertFromMimeData(const QMimeData *source)
{
    // QMimeData gives the addresses of dragged files as their text.
    if (readOnly_ || source == nullptr || !source->hasText() || draggedFiles(source).several) {
        return;
    }
    guarded([&] {
        const auto fixed =
            displaytext::sanitized(source->text(), displaytext::Breaks::AsLineBreaks, charset());
        insertShown(fixed.text, TextDocument::EditKind::Step);
        tellLeftOut(fixed.leftOut);
    });
}

// ---------------------------------------------------------------------------
// The mouse

void ByteTextEdit::mousePressEvent(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    if (event->button() == Qt::MiddleButton) {
        const QClipboard *clipboard = QApplication::clipboard();
        if (!readOnly_ && clipboard->supportsSelection()) {
            setSelection(offsetAt(at), offsetAt(at));
            insertFromMimeData(clipboard->mimeData(QClipboard::Selection));
        }
        event->accept();
        return;
    }
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    const std::size_t offset = offsetAt(at);
    if (doubleClicked_.isValid() &&
        doubleClicked_.elapsed() < QGuiApplication::styleHints()->mouseDoubleClickInterval() &&
        (at - doubleClickedAt_).manhattanLength() < QApplication::startDragDistance()) {
        // A third click selects the line, as far as its line break.
        doubleClicked_.invalidate();
        const text::TextBuffer &text = document_.text();
        const std::size_t line = text.lineOf(offset);
        setSelection(text.lineStart(line), text.lineEnd(line));
        offerSelection();
        pressedAt_.reset();
        selectingWords_ = false;
        mayDrag_ = false;
        event->accept();
        return;
    }
    doubleClicked_.invalidate();
    pressedAt_ = at;
    selectingWords_ = false;
    mayDrag_ = hasSelection() && offset >= selectionStart() && offset < selectionEnd() &&
               !(event->modifiers() & Qt::ShiftModifier);
    if (!mayDrag_) {
        moveCursor(offset, event->modifiers() & Qt::ShiftModifier);
    }
    event->accept();
}

void ByteTextEdit::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    wordAnchor_ = caretmoves::wordAt(layouts_, offsetAt(event->position().toPoint()));
    setSelection(wordAnchor_.anchor, wordAnchor_.position);
    offerSelection();
    doubleClicked_.start();
    doubleClickedAt_ = event->position().toPoint();
    pressedAt_ = doubleClickedAt_;
    selectingWords_ = true;
    mayDrag_ = false;
    event->accept();
}

void ByteTextEdit::mouseMoveEvent(QMouseEvent *event)
{
    if (!pressedAt_ || !(event->buttons() & Qt::LeftButton)) {
        return;
    }
    const QPoint at = event->position().toPoint();
    if (mayDrag_) {
        if ((at - *pressedAt_).manhattanLength() < QApplication::startDragDistance()) {
            return;
        }
        mayDrag_ = false;
        pressedAt_.reset();
        const Selection dragged = selection_;
        auto *drag = new QDrag(this);
        drag->setMimeData(mimeDataFromSelection());
        const Qt::DropAction done =
            drag->exec(readOnly_ ? Qt::CopyAction : Qt::CopyAction | Qt::MoveAction,
                       readOnly_ ? Qt::CopyAction : Qt::MoveAction);
        // Moved into another widget: the text leaves this one. A move within
        // the area is settled by its drop.
        if (done == Qt::MoveAction && !readOnly_ && drag->target() != viewport() &&
            selection_ == dragged) {
            deleteSelection();
        }
        return;
    }
    const int height = viewport()->height();
    if (at.y() < 0 || at.y() > height) {
        if (!autoScroll_.isActive()) {
            autoScroll_.start(50, this);
        }
    } else {
        autoScroll_.stop();
    }
    QPoint inside = at;
    inside.setY(std::clamp(at.y(), 0, std::max(0, height - 1)));
    const std::size_t offset = offsetAt(inside);
    if (selectingWords_) {
        const Selection word = caretmoves::wordAt(layouts_, offset);
        if (offset < wordAnchor_.anchor) {
            setSelection(wordAnchor_.position, word.anchor);
        } else {
            setSelection(wordAnchor_.anchor, std::max(word.position, wordAnchor_.position));
        }
        offerSelection();
        ensureCursorVisible();
    } else {
        moveCursor(offset, true);
    }
}

void ByteTextEdit::mouseReleaseEvent(QMouseEvent *event)
{
    autoScroll_.stop();
    if (event->button() == Qt::LeftButton && mayDrag_) {
        moveCursor(offsetAt(event->position().toPoint()), false);
    }
    mayDrag_ = false;
    pressedAt_.reset();
    selectingWords_ = false;
}

void ByteTextEdit::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu menu(this);
    const auto add = [&](const QString &text, QKeySequence::StandardKey key, const char *name,
                         bool enabled, auto slot) {
        QAction *action = menu.addAction(withShortcut(text, key));
        action->setObjectName(QString::fromLatin1(name));
        action->setEnabled(enabled);
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    if (!readOnly_) {
        add(tr("&Undo"), QKeySequence::Undo, "edit-undo", isUndoAvailable(), [this] { undo(); });
        add(tr("&Redo"), QKeySequence::Redo, "edit-redo", isRedoAvailable(), [this] { redo(); });
        menu.addSeparator();
        add(tr("Cu&t"), QKeySequence::Cut, "edit-cut", hasSelection(), [this] { cut(); });
    }
    add(tr("&Copy"), QKeySequence::Copy, "edit-copy", hasSelection(), [this] { copy(); });
    if (!readOnly_) {
        const QMimeData *clipboard = QApplication::clipboard()->mimeData();
        add(tr("&Paste"), QKeySequence::Paste, "edit-paste",
            clipboard != nullptr && clipboard->hasText(), [this] { paste(); });
        add(tr("Delete"), QKeySequence::UnknownKey, "edit-delete", hasSelection(),
            [this] { deleteSelection(); });
    }
    menu.addSeparator();
    add(tr("Select All"), QKeySequence::SelectAll, "select-all", byteCount() > 0, [this] {
        selectWholeText();
        offerSelection();
    });
    if (charsetChoice_) {
        menu.addSeparator();
        QMenu *choice = menu.addMenu(tr("Character &Set"));
        auto *group = new QActionGroup(choice);
        for (const auto &[charset, name] : {std::pair{Charset::Windows1252, tr("&Windows-1252")},
                                            std::pair{Charset::Utf8, tr("&UTF-8")}}) {
            QAction *action = choice->addAction(name);
            action->setCheckable(true);
            action->setChecked(charset == this->charset());
            action->setShortcut(QKeySequence(kCharsetKey));
            group->addAction(action);
            connect(action, &QAction::triggered, this,
                    [this, charset = charset] { chooseCharset(charset); });
        }
    }
    bool separated = false;
    for (QAction *action : extraMenuActions_) {
        if (action != nullptr) {
            if (!std::exchange(separated, true)) {
                menu.addSeparator();
            }
            menu.addAction(action);
        }
    }
    menu.exec(event->globalPos());
}

void ByteTextEdit::setExtraMenuActions(const QList<QAction *> &actions)
{
    extraMenuActions_.clear();
    for (QAction *action : actions) {
        extraMenuActions_.append(action);
    }
}

// ---------------------------------------------------------------------------
// Drag and drop

void ByteTextEdit::dragEnterEvent(QDragEnterEvent *event)
{
    dragMoveEvent(event);
}

bool ByteTextEdit::movesWithin(const QDropEvent &event) const
{
    const bool within = event.source() == viewport() || event.source() == this;
    return within && event.possibleActions().testFlag(Qt::MoveAction) &&
           !event.modifiers().testFlag(Qt::ControlModifier);
}

void ByteTextEdit::dragMoveEvent(QDragMoveEvent *event)
{
    const DraggedFiles files = draggedFiles(event->mimeData());
    if (files.single) {
        acceptAsFileDrop(event);
        return;
    }
    if (files.several || readOnly_ || !event->mimeData()->hasText()) {
        event->ignore();
        return;
    }
    event->setDropAction(movesWithin(*event) ? Qt::MoveAction : Qt::CopyAction);
    event->accept();
    dropAt_ = offsetAt(event->position().toPoint());
    viewport()->update();
}

void ByteTextEdit::dragLeaveEvent(QDragLeaveEvent * /*event*/)
{
    dropAt_.reset();
    viewport()->update();
}

void ByteTextEdit::dropEvent(QDropEvent *event)
{
    dropAt_.reset();
    viewport()->update();
    const DraggedFiles files = draggedFiles(event->mimeData());
    if (files.single) {
        if (acceptAsFileDrop(event)) {
            emit fileDropped(*files.single);
        }
        return;
    }
    if (files.several || readOnly_ || !event->mimeData()->hasText()) {
        event->ignore();
        return;
    }
    const std::size_t at = offsetAt(event->position().toPoint());
    if (movesWithin(*event)) {
        // Moved within the area: the selection goes to where it was dropped.
        const std::size_t start = selectionStart();
        const std::size_t end = selectionEnd();
        event->setDropAction(Qt::MoveAction);
        event->accept();
        if (at >= start && at <= end) {
            return;
        }
        const std::string moved = bytesIn(start, end);
        deleteSelection();
        const std::size_t target = at > end ? at - (end - start) : at;
        setSelection(target, target);
        editBytes(target, target, moved, TextDocument::EditKind::Step);
        setSelection(target, target + moved.size());
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    setSelection(at, at);
    insertFromMimeData(event->mimeData());
}

bool ByteTextEdit::viewportEvent(QEvent *event)
{
    trimLayouts();
    // A click that moves the caret or pastes takes the text being composed as
    // committed first, as Qt's own text widgets do; then it acts on the text as it is.
    if ((event->type() == QEvent::MouseButtonPress ||
         event->type() == QEvent::MouseButtonDblClick) &&
        static_cast<QMouseEvent *>(event)->button() != Qt::RightButton) {
        commitPreedit();
    }
    if (event->type() != QEvent::ToolTip || charset() != Charset::Utf8) {
        return QAbstractScrollArea::viewportEvent(event);
    }
    const auto *help = static_cast<QHelpEvent *>(event);
    const std::size_t near = offsetAt(help->pos());
    for (const std::size_t offset : {caretmoves::previousCharacter(layouts_, near), near}) {
        if (offset >= byteCount()) {
            continue;
        }
        const LayoutCache::Block &block = layouts_.blockAt(offset);
        const int index = block.indexOf(offset);
        const std::optional<unsigned char> byte =
            index < block.run.text.size() ? displaytext::markedByte(block.run.text[index])
                                          : std::nullopt;
        if (byte && characterRect(offset).contains(help->pos())) {
            QToolTip::showText(help->globalPos(),
                               tr("Byte %1: not part of a UTF-8 character").arg(byteName(*byte)),
                               viewport());
            return true;
        }
    }
    QToolTip::hideText();
    return true;
}

void ByteTextEdit::wheelEvent(QWheelEvent *event)
{
    if (event->modifiers() & Qt::ControlModifier) {
        // Ctrl+wheel makes the text larger or smaller.
        if (const int steps = event->angleDelta().y() / QWheelEvent::DefaultDeltasPerStep;
            steps != 0) {
            zoomIn(steps);
        }
        event->accept();
        return;
    }
    const QPoint pixels = event->pixelDelta();
    int rows = 0;
    if (!pixels.isNull()) {
        rows = -static_cast<int>(std::lround(pixels.y() / QFontMetricsF(font()).lineSpacing()));
    } else {
        rows = -event->angleDelta().y() * QApplication::wheelScrollLines() /
               QWheelEvent::DefaultDeltasPerStep;
    }
    if (rows != 0) {
        scrollByRows(rows);
    }
    event->accept();
}

} // namespace lorimand

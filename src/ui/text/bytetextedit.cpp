// The text area's text: holding and showing bytes, the edits and the undo
// history, the caret and the selection, the view following them, and the
// charset. The user's input is in bytetextedit_input.cpp.
#include "ui/text/bytetextedit.h"

#include <algorithm>
#include <utility>

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QInputMethod>
#include <QPaintEvent>
#include <QPainter>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QToolTip>

#include "ui/text/caretmoves.h"
#include "ui/text/textclipboard.h"
#include "ui/text/textrenderer.h"

namespace lorimand {

namespace {

using displaytext::Charset;
using text::TextDocument;

// Where `offset` lies after bytes [from, to) became `added` bytes: before them
// it stays, after them it moves with the text, and within them it goes to their start.
[[nodiscard]] std::size_t movedByReplacing(std::size_t offset, std::size_t from, std::size_t to,
                                           std::size_t added)
{
    if (offset <= from) {
        return offset;
    }
    if (offset >= to) {
        return offset - (to - from) + added;
    }
    return from;
}

// What the input method asks about that a move of the view changes: the boxes.
constexpr Qt::InputMethodQueries kBoxes = Qt::ImCursorRectangle | Qt::ImAnchorRectangle;

} // namespace

ByteTextEdit::ByteTextEdit(QWidget *parent)
    : QAbstractScrollArea(parent), layouts_(document_.text()), view_(layouts_)
{
    setAttribute(Qt::WA_InputMethodEnabled);
    setAttribute(Qt::WA_KeyCompression, false);
    setFocusPolicy(Qt::StrongFocus);
    setAcceptDrops(true);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setMouseTracking(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    verticalScrollBar()->setSingleStep(1);
    relayout();
}

ByteTextEdit::~ByteTextEdit()
{
    if (offered_ != nullptr) {
        offered_->textChanging();
    }
}

// ---------------------------------------------------------------------------
// The text

std::string ByteTextEdit::bytes() const
{
    return document_.text().bytes();
}

std::size_t ByteTextEdit::byteCount() const
{
    return document_.text().size();
}

std::string ByteTextEdit::bytesIn(std::size_t from, std::size_t to) const
{
    return document_.text().bytes(from, to);
}

std::string_view ByteTextEdit::wholeText(std::string &scratch) const
{
    const std::vector<std::string_view> pieces = document_.text().pieces();
    if (pieces.size() == 1) {
        return pieces.front();
    }
    scratch = document_.text().bytes();
    return scratch;
}

std::uint64_t ByteTextEdit::changeCount() const
{
    return document_.changeCount();
}

QString ByteTextEdit::shownText(std::size_t from, std::size_t to) const
{
    return displaytext::shownText(document_.text(), from, to, charset());
}

void ByteTextEdit::setBytes(std::string bytes, History history)
{
    const Before was = takeBefore(0, 0);
    layouts_.reserveFor(bytes.size());
    const ByteChange change = document_.replaceAll(std::move(bytes), history, selection_);
    followChange(change, was, Selection{});
}

bool ByteTextEdit::joinsAutomatic() const
{
    return document_.joinsAutomatic();
}

void ByteTextEdit::spliceAutomatic(std::size_t from, std::size_t to, std::string_view bytes)
{
    const Before was = takeBefore(from, to);
    // The caret and the selection stay on the bytes they were on.
    const Selection kept{movedByReplacing(selection_.anchor, from, to, bytes.size()),
                         movedByReplacing(selection_.position, from, to, bytes.size())};
    layouts_.reserveFor(bytes.size());
    const ByteChange change = document_.spliceAutomatic(from, to, bytes);
    // The view stays where it is too: the user is reading there, not here.
    followChange(change, was, kept, false);
}

ByteTextEdit::Before ByteTextEdit::takeBefore(std::size_t from, std::size_t to)
{
    if (offered_ != nullptr) {
        offered_->textChanging();
    }
    Before was;
    was.lines = document_.text().lineCount();
    if (QAccessible::isActive()) {
        was.characters = displaytext::characterCount(document_.text(), charset());
        was.removed = shownText(from, to);
        was.spot = spotOf(selection_);
    }
    return was;
}

void ByteTextEdit::followChange(const ByteChange &change, const Before &was, Selection selection,
                                bool showCaret)
{
    layouts_.follow(change, was.lines);
    view_.keepWithinText();
    preedit_.clear();
    const Selection before = selection_;
    selection_ = {layouts_.snapped(std::min(selection.anchor, byteCount())),
                  layouts_.snapped(std::min(selection.position, byteCount()))};
    stickyX_.reset();
    updateScrollBar();
    if (showCaret) {
        ensureCursorVisible();
    }
    viewport()->update();
    updateInputMethod(Qt::ImQueryInput);
    emit textChanged();
    emit bytesChanged(change);
    if (selection_.position != before.position) {
        emit cursorPositionChanged();
    }
    if (selection_ != before) {
        emit selectionChanged();
    }
    if (QAccessible::isActive()) {
        announceChange(change, was);
        announceSpot(was.spot);
    }
}

void ByteTextEdit::editBytes(std::size_t from, std::size_t to, std::string_view bytes,
                             TextDocument::EditKind kind)
{
    if (from == to && bytes.empty()) {
        return;
    }
    guarded([&] {
        const Before was = takeBefore(from, to);
        layouts_.reserveFor(bytes.size());
        const ByteChange change = document_.edit(from, to, bytes, kind, selection_);
        const std::size_t caret = from + bytes.size();
        followChange(change, was, Selection{caret, caret});
    });
}

std::string ByteTextEdit::bytesOfShown(QStringView shown) const
{
    // Each break takes the kind of the text's first line break as it stands
    // before the insertion.
    std::string out;
    const std::string_view lineBreak = text::breakBytes(document_.text().firstBreak());
    for (;;) {
        const qsizetype end = shown.indexOf(u'\n');
        displaytext::appendBytes(end < 0 ? shown : shown.first(end), out, charset());
        if (end < 0) {
            return out;
        }
        out += lineBreak;
        shown = shown.sliced(end + 1);
    }
}

void ByteTextEdit::replaceShown(std::size_t from, std::size_t to, QStringView shown)
{
    guarded([&] {
        const auto fixed =
            displaytext::sanitized(shown, displaytext::Breaks::AsLineBreaks, charset());
        editBytes(from, to, bytesOfShown(fixed.text), TextDocument::EditKind::Step);
        tellLeftOut(fixed.leftOut);
    });
}

void ByteTextEdit::insertShown(QStringView shown, TextDocument::EditKind kind)
{
    guarded([&] { editBytes(selectionStart(), selectionEnd(), bytesOfShown(shown), kind); });
}

void ByteTextEdit::deleteSelection()
{
    editBytes(selectionStart(), selectionEnd(), {}, TextDocument::EditKind::Step);
}

void ByteTextEdit::guarded(const std::function<void()> &edit)
{
    try {
        edit();
    } catch (const std::bad_alloc &) {
        QToolTip::showText(viewport()->mapToGlobal(cursorRect().bottomLeft()),
                           tr("There is not enough memory for this; the text is as it was."),
                           viewport());
    }
}

void ByteTextEdit::tellLeftOut(const QString &leftOut)
{
    if (!leftOut.isEmpty()) {
        displaytext::tellLeftOut(*viewport(), cursorRect(), leftOut);
    }
}

int ByteTextEdit::characterAt(std::size_t offset) const
{
    return static_cast<int>(std::min<std::size_t>(
        displaytext::characterOffset(document_.text(), offset, charset()), INT_MAX));
}

ByteTextEdit::Spot ByteTextEdit::spotOf(Selection selection) const
{
    const int caret = characterAt(selection.position);
    const int anchor =
        selection.anchor == selection.position ? caret : characterAt(selection.anchor);
    return {caret, std::min(caret, anchor), std::max(caret, anchor)};
}

void ByteTextEdit::announceSpot(const Spot &before)
{
    const Spot now = spotOf(selection_);
    if (now.caret != before.caret) {
        QAccessibleTextCursorEvent moved(this, now.caret);
        QAccessible::updateAccessibility(&moved);
    }
    // A reader says what is selected as it grows, and that it went.
    const bool wasSelected = before.start != before.end;
    if ((now.start != before.start || now.end != before.end) &&
        (now.start != now.end || wasSelected)) {
        QAccessibleTextSelectionEvent selected(this, now.start, now.end);
        selected.setCursorPosition(now.caret);
        QAccessible::updateAccessibility(&selected);
    }
}

void ByteTextEdit::announceChange(const ByteChange &change, const Before &was)
{
    // From the start of the character that holds the change: bytes added next
    // to a lone CR or to part of a UTF-8 character change the character shown there.
    const std::size_t start = layouts_.snapped(change.from);
    const QString added = shownText(start, change.from + change.added);
    const std::size_t removedCount = was.characters + static_cast<std::size_t>(added.size()) -
                                     displaytext::characterCount(document_.text(), charset());
    // A reader speaks what was removed: the characters kept before the change,
    // or as many blanks where they were not.
    const QString removed = static_cast<std::size_t>(was.removed.size()) == removedCount
                                ? was.removed
                                : QString(static_cast<qsizetype>(removedCount), QChar::Space);
    const int at = characterAt(start);
    if (removed.isEmpty() && added.isEmpty()) {
        return;
    }
    if (removed.isEmpty()) {
        QAccessibleTextInsertEvent inserted(this, at, added);
        QAccessible::updateAccessibility(&inserted);
    } else if (added.isEmpty()) {
        QAccessibleTextRemoveEvent gone(this, at, removed);
        QAccessible::updateAccessibility(&gone);
    } else {
        QAccessibleTextUpdateEvent updated(this, at, removed, added);
        QAccessible::updateAccessibility(&updated);
    }
}

// ---------------------------------------------------------------------------
// Undo

void ByteTextEdit::undo()
{
    guarded([&] {
        const Before was = takeBefore(0, 0);
        layouts_.reserveFor(document_.undoBrings());
        if (const std::optional<TextDocument::Restored> restored = document_.undo()) {
            followChange(restored->change, was, restored->selection);
        }
    });
}

void ByteTextEdit::redo()
{
    guarded([&] {
        const Before was = takeBefore(0, 0);
        layouts_.reserveFor(document_.redoBrings());
        if (const std::optional<TextDocument::Restored> restored = document_.redo()) {
            followChange(restored->change, was, restored->selection);
        }
    });
}

bool ByteTextEdit::isUndoAvailable() const
{
    return document_.canUndo();
}

bool ByteTextEdit::isRedoAvailable() const
{
    return document_.canRedo();
}

void ByteTextEdit::setUndoLimits(UndoLimits limits)
{
    document_.setUndoLimits(limits);
}

// ---------------------------------------------------------------------------
// The caret and the selection

std::size_t ByteTextEdit::selectionStart() const
{
    return std::min(selection_.anchor, selection_.position);
}

std::size_t ByteTextEdit::selectionEnd() const
{
    return std::max(selection_.anchor, selection_.position);
}

void ByteTextEdit::setSelection(std::size_t anchor, std::size_t position)
{
    if (!preedit_.isEmpty() && layouts_.snapped(position) != selection_.position) {
        // The caret leaves the text being composed, which goes in first, as Qt's
        // own text widgets have it; the offsets asked for move on with the text.
        const std::size_t from = selectionStart();
        const std::size_t to = selectionEnd();
        const std::size_t size = byteCount();
        commitPreedit();
        const std::size_t added = byteCount() + (to - from) - size;
        anchor = movedByReplacing(anchor, from, to, added);
        position = movedByReplacing(position, from, to, added);
    }
    const Selection before = selection_;
    selection_ = {layouts_.snapped(anchor), layouts_.snapped(position)};
    stickyX_.reset();
    restartBlink();
    viewport()->update();
    if (selection_ == before) {
        return;
    }
    updateInputMethod(Qt::ImQueryInput);
    if (selection_.position != before.position) {
        emit cursorPositionChanged();
    }
    emit selectionChanged();
    // The text is as it was: where the selection was, in characters, is read
    // from it as it is.
    if (QAccessible::isActive()) {
        announceSpot(spotOf(before));
    }
}

void ByteTextEdit::moveCursor(std::size_t position, bool select)
{
    const std::optional<qreal> sticky = stickyX_;
    setSelection(select ? selection_.anchor : position, position);
    ensureCursorVisible();
    if (select) {
        offerSelection();
    }
    stickyX_ = sticky;
}

void ByteTextEdit::selectWholeText()
{
    setSelection(0, byteCount());
}

QRect ByteTextEdit::characterRect(std::size_t offset) const
{
    return view_.characterBox(offset, viewport()->width());
}

QRect ByteTextEdit::cursorRect() const
{
    QRect rect = characterRect(selection_.position);
    if (rect.isNull()) {
        return {};
    }
    if (!preedit_.isEmpty()) {
        // The caret is within the text being composed, which shows at the caret.
        const LayoutCache::Block &block = layouts_.blockAt(selection_.position);
        const int at = block.indexOf(selection_.position);
        const std::unique_ptr<QTextLayout> composed = layouts_.withPreedit(block, at, preedit_);
        const int index = at + preeditCursor_;
        const QTextLine line = composed->lineForTextPosition(index);
        const QPointF origin = view_.blockOrigin(block.number);
        rect = QRectF(origin.x() + line.cursorToX(index), origin.y() + line.y(), 1, line.height())
                   .toAlignedRect();
    }
    rect.setWidth(1);
    return rect.adjusted(-1, 0, 1, 0);
}

std::size_t ByteTextEdit::offsetAt(QPoint point) const
{
    return view_.offsetAt(point);
}

// ---------------------------------------------------------------------------
// The view

void ByteTextEdit::relayout()
{
    layouts_.setFont(font());
    layouts_.setWidth(viewport()->width() - 2 * TextViewport::kMargin);
    view_.setHeight(viewport()->height());
    view_.keepWithinText();
    // The x kept for moving up and down belonged to the rows as they were.
    stickyX_.reset();
    updateScrollBar();
    viewport()->update();
    updateInputMethod(kBoxes | Qt::ImFont);
}

void ByteTextEdit::trimLayouts()
{
    layouts_.trim(view_.top().block, static_cast<std::size_t>(view_.visibleRows()) + 1);
}

void ByteTextEdit::updateScrollBar()
{
    const QScopedValueRollback setting(settingScrollBar_, true);
    QScrollBar *bar = verticalScrollBar();
    // The bar ends where the end of the text shows at the bottom.
    bar->setRange(0, static_cast<int>(std::min<std::size_t>(view_.lastTop().block, INT_MAX)));
    bar->setPageStep(view_.visibleRows());
    bar->setValue(static_cast<int>(std::min<std::size_t>(view_.top().block, INT_MAX)));
}

void ByteTextEdit::scrollContentsBy(int /*dx*/, int /*dy*/)
{
    if (settingScrollBar_) {
        return;
    }
    view_.setTop({static_cast<std::size_t>(verticalScrollBar()->value()), 0});
    viewport()->update();
    updateInputMethod(kBoxes);
}

void ByteTextEdit::scrollTo(ViewTop top)
{
    view_.setTop(top);
    updateScrollBar();
    viewport()->update();
    updateInputMethod(kBoxes);
}

void ByteTextEdit::scrollByRows(int rows)
{
    scrollTo(view_.scrolledBy(rows));
}

void ByteTextEdit::ensureVisible(std::size_t offset)
{
    if (const std::optional<ViewTop> top = view_.topShowing(offset)) {
        scrollTo(*top);
    }
}

void ByteTextEdit::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    view_.setTop({view_.top().block, 0});
    relayout();
}

void ByteTextEdit::paintEvent(QPaintEvent *event)
{
    QPainter painter(viewport());
    TextOverlay overlay;
    overlay.selectionStart = selectionStart();
    overlay.selectionEnd = selectionEnd();
    overlay.focused = hasFocus();
    overlay.caret = selection_.position;
    overlay.caretShown = caretShown_;
    overlay.preedit = preedit_;
    overlay.preeditCursor = preeditCursor_;
    overlay.dropAt = dropAt_;
    paintText(painter, layouts_, view_, overlay, palette(), event->rect());
}

void ByteTextEdit::restartBlink()
{
    caretShown_ = true;
    const int flash = QApplication::cursorFlashTime();
    if (hasFocus() && flash > 0) {
        blink_.start(flash / 2, this);
    } else {
        blink_.stop();
    }
}

void ByteTextEdit::timerEvent(QTimerEvent *event)
{
    if (event->timerId() == blink_.timerId()) {
        caretShown_ = !caretShown_;
        viewport()->update(cursorRect());
        return;
    }
    if (event->timerId() == autoScroll_.timerId()) {
        const QPoint at = viewport()->mapFromGlobal(QCursor::pos());
        scrollByRows(at.y() < 0 ? -1 : 1);
        QPoint inside = at;
        inside.setY(std::clamp(at.y(), 0, std::max(0, viewport()->height() - 1)));
        moveCursor(offsetAt(inside), true);
        return;
    }
    QAbstractScrollArea::timerEvent(event);
}

void ByteTextEdit::focusInEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusInEvent(event);
    restartBlink();
    viewport()->update();
}

void ByteTextEdit::focusOutEvent(QFocusEvent *event)
{
    // Leaving for a menu or a popup keeps the composition, as Qt's own widgets do.
    if (event->reason() != Qt::PopupFocusReason && event->reason() != Qt::MenuBarFocusReason) {
        commitPreedit();
    }
    QAbstractScrollArea::focusOutEvent(event);
    blink_.stop();
    viewport()->update();
}

void ByteTextEdit::changeEvent(QEvent *event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        relayout();
    } else if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange) {
        viewport()->update();
    }
}

void ByteTextEdit::setReadOnly(bool readOnly)
{
    if (readOnly) {
        commitPreedit();
    }
    readOnly_ = readOnly;
    setAttribute(Qt::WA_InputMethodEnabled, !readOnly);
}

void ByteTextEdit::zoomIn(int steps)
{
    QFont bigger = font();
    const qreal size = bigger.pointSizeF();
    if (size > 0) {
        bigger.setPointSizeF(std::max<qreal>(1, size + steps));
    } else {
        bigger.setPixelSize(std::max(1, bigger.pixelSize() + steps));
    }
    setFont(bigger);
}

// ---------------------------------------------------------------------------
// The charset

void ByteTextEdit::setCharset(Charset charset)
{
    if (charset == layouts_.charset()) {
        return;
    }
    // Only bytes from 0x80 on show otherwise in the other set: a reader hears
    // of the stretch from the first of them to the last, as it showed and as it shows.
    const bool told = QAccessible::isActive();
    const displaytext::ByteSpan differing =
        told ? displaytext::charsetDependent(document_.text()) : displaytext::ByteSpan{};
    const QString was = shownText(differing.from, differing.to);
    const Spot spot = told ? spotOf(selection_) : Spot{};
    layouts_.setCharset(charset);
    const Selection kept = selection_;
    selection_ = {layouts_.snapped(kept.anchor), layouts_.snapped(kept.position)};
    stickyX_.reset();
    view_.keepWithinText();
    updateScrollBar();
    viewport()->update();
    updateInputMethod(Qt::ImQueryInput);
    if (differing.from < differing.to) {
        QAccessibleTextUpdateEvent shown(this, characterAt(differing.from), was,
                                         shownText(differing.from, differing.to));
        QAccessible::updateAccessibility(&shown);
    }
    if (told) {
        announceSpot(spot);
    }
}

void ByteTextEdit::offerCharsetChoice()
{
    charsetChoice_ = true;
}

void ByteTextEdit::chooseCharset(Charset charset)
{
    if (charset == layouts_.charset()) {
        return;
    }
    setCharset(charset);
    emit charsetChosen(charset);
}

} // namespace lorimand

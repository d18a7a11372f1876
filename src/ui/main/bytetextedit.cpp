#include "ui/main/bytetextedit.h"

#include "ui/main/displaytext.h"

#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>

#include <algorithm>
#include <array>
#include <initializer_list>
#include <optional>

namespace lorimand {

namespace {

using displaytext::LineBreak;

// Each line break or continuation is the block separator before a block, and
// its kind is kept in that separator's character format: the format goes with
// the separator itself, so whichever block Qt keeps when a break is deleted,
// the kinds left are those of the breaks left, also through undo and redo.
// The first block's kind means nothing.
constexpr int kBreakKind = QTextFormat::UserProperty + 0x4C42;

[[nodiscard]] std::optional<LineBreak> storedKind(const QTextBlock &block)
{
    const QVariant kind = block.charFormat().property(kBreakKind);
    if (!kind.isValid())
        return std::nullopt;
    switch (kind.toInt()) {
    case static_cast<int>(LineBreak::Lf):
        return LineBreak::Lf;
    case static_cast<int>(LineBreak::Continuation):
        return LineBreak::Continuation;
    default:
        return LineBreak::CrLf;
    }
}

// Whether the block goes on with the line of the one before it, with no line
// break between them.
[[nodiscard]] bool continuesLine(const QTextBlock &block)
{
    return block.isValid() && block.previous().isValid() &&
           storedKind(block) == LineBreak::Continuation;
}

// The kind a new line break takes: that of the text's first line break, CR LF when
// there is none; continuations are no line breaks. Blocks written by something
// other than this class carry no kind; the first break that has one stands for them.
[[nodiscard]] LineBreak defaultBreak(const QTextDocument &document)
{
    for (QTextBlock block = document.begin().next(); block.isValid(); block = block.next()) {
        const std::optional<LineBreak> kind = storedKind(block);
        if (kind && *kind != LineBreak::Continuation)
            return *kind;
    }
    return LineBreak::CrLf;
}

[[nodiscard]] QTextCharFormat withKind(QTextCharFormat format, LineBreak kind)
{
    format.setProperty(kBreakKind, static_cast<int>(kind));
    return format;
}

[[nodiscard]] LineBreak mostCommon(const std::vector<LineBreak> &breaks)
{
    std::array<std::ptrdiff_t, 3> counts{};
    for (const LineBreak kind : breaks)
        ++counts[static_cast<std::size_t>(kind)];
    return static_cast<LineBreak>(std::max_element(counts.begin(), counts.end()) - counts.begin());
}

// Walks the characters of `raw`, which starts at `start` in the document, as
// they are shown: calls run() with each stretch of characters between line
// breaks and lineBreak() with the kind of each line break. A soft break
// (Shift+Enter, written by other means) is a line break of the default kind, and
// continuations are left out, so that a chunked line reads as one.
template <typename Run, typename Break>
void walkShown(const QTextDocument &document, int start, QStringView raw, Run run, Break lineBreak)
{
    std::optional<LineBreak> fallback;
    const auto resolved = [&](std::optional<LineBreak> kind) {
        if (kind)
            return *kind;
        if (!fallback)
            fallback = defaultBreak(document);
        return *fallback;
    };
    QTextBlock block = document.findBlock(start);
    qsizetype from = 0;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar ch = raw[i];
        if (ch != QChar::ParagraphSeparator && ch != QChar::LineSeparator)
            continue;
        run(raw.sliced(from, i - from));
        from = i + 1;
        std::optional<LineBreak> kind;
        if (ch == QChar::ParagraphSeparator) {
            block = block.next();
            kind = storedKind(block);
            if (kind == LineBreak::Continuation)
                continue;
        }
        lineBreak(resolved(kind));
    }
    run(raw.sliced(from));
}

// Where a key that acts on the character before the caret (or after it, when
// `forward`) finds that character: across the continuations at the caret, as if
// they were not there.
[[nodiscard]] int pastContinuations(const QTextCursor &cursor, bool forward)
{
    QTextBlock block = cursor.block();
    int position = cursor.position();
    if (forward) {
        while (position == block.position() + block.length() - 1 && continuesLine(block.next())) {
            block = block.next();
            position = block.position();
        }
    } else {
        while (position == block.position() && continuesLine(block)) {
            block = block.previous();
            position = block.position() + block.length() - 1;
        }
    }
    return position;
}

// What a drag carries for the area: the path of exactly one local file, several
// files (which are neither loaded nor pasted as their addresses), or anything else.
struct DraggedFiles
{
    std::optional<QString> single;
    bool several = false;
};

[[nodiscard]] DraggedFiles draggedFiles(const QMimeData *mime)
{
    if (mime == nullptr || !mime->hasUrls())
        return {};
    const QList<QUrl> urls = mime->urls();
    if (urls.size() == 1 && urls.front().isLocalFile())
        return {urls.front().toLocalFile(), false};
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

// Whether a drag of files is settled here: one file is taken as a copy, several
// are refused; any other drag is the base class's.
bool handledAsFiles(QDragMoveEvent *event)
{
    const DraggedFiles files = draggedFiles(event->mimeData());
    if (files.single)
        acceptAsFileDrop(event);
    else if (files.several)
        event->ignore();
    return files.single || files.several;
}

} // namespace

ByteTextEdit::ByteTextEdit(QWidget *parent) : QPlainTextEdit(parent) {}

std::string ByteTextEdit::bytes() const
{
    // The raw text, unlike toPlainText(), keeps CR, U+00A0 and soft breaks as
    // they are, with U+2029 between blocks.
    const QTextDocument &doc = *document();
    const QString raw = doc.toRawText();
    std::string out;
    out.reserve(static_cast<std::size_t>(raw.size()) + static_cast<std::size_t>(doc.blockCount()));
    walkShown(
        doc, 0, raw, [&out](QStringView run) { displaytext::appendBytes(run, out); },
        [&out](LineBreak kind) { out += displaytext::breakBytes(kind); });
    return out;
}

void ByteTextEdit::setBytes(std::string_view bytes)
{
    const displaytext::ShownText shown = displaytext::textFromBytes(bytes);
    // Every new block copies the format of the one it is split from, so the kind
    // most blocks have is given to all of them at once and the others are set
    // one by one.
    const LineBreak common = mostCommon(shown.breaks);
    QTextDocument &doc = *document();
    // The text is replaced whole, so its undo history goes with it.
    doc.setUndoRedoEnabled(false);
    {
        QTextCursor cursor(&doc);
        cursor.beginEditBlock();
        doc.clear();
        cursor = QTextCursor(&doc);
        const QTextCharFormat base = cursor.charFormat();
        cursor.insertText(shown.text, withKind(base, common));
        if (std::any_of(shown.breaks.begin(), shown.breaks.end(),
                        [common](LineBreak kind) { return kind != common; })) {
            QTextBlock block = doc.begin().next();
            QTextCursor sep(&doc);
            for (const LineBreak kind : shown.breaks) {
                if (kind != common) {
                    sep.setPosition(block.position() - 1);
                    sep.setPosition(block.position(), QTextCursor::KeepAnchor);
                    sep.setCharFormat(withKind(base, kind));
                }
                block = block.next();
            }
        }
        cursor.endEditBlock();
    }
    doc.setUndoRedoEnabled(true);
    doc.setModified(false);
    setTextCursor(QTextCursor(&doc));
}

void ByteTextEdit::selectWholeText()
{
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

void ByteTextEdit::insertShown(QStringView shown)
{
    const QTextCharFormat current = textCursor().charFormat();
    const QTextCharFormat lineFormat = withKind(current, defaultBreak(*document()));
    const QTextCharFormat chunkFormat = withKind(current, LineBreak::Continuation);
    QTextCursor cursor = textCursor();
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    for (;;) {
        const qsizetype end = shown.indexOf(u'\n');
        QStringView line = end < 0 ? shown : shown.first(end);
        // A long line pasted is shown in chunks, like one set whole.
        while (line.size() > displaytext::kChunkLength) {
            const qsizetype chunk = displaytext::firstChunk(line);
            cursor.insertText(line.first(chunk).toString());
            cursor.insertBlock(cursor.blockFormat(), chunkFormat);
            line = line.sliced(chunk);
        }
        cursor.insertText(line.toString());
        if (end < 0)
            break;
        cursor.insertBlock(cursor.blockFormat(), lineFormat);
        shown = shown.sliced(end + 1);
    }
    cursor.endEditBlock();
    setTextCursor(cursor);
    ensureCursorVisible();
}

void ByteTextEdit::stepOverContinuation(const QKeyEvent &event)
{
    using Key = QKeySequence::StandardKey;
    const auto matchesAny = [&event](std::initializer_list<Key> keys) {
        return std::any_of(keys.begin(), keys.end(),
                           [&event](Key key) { return event.matches(key); });
    };
    const bool plainBackspace =
        event.key() == Qt::Key_Backspace && !(event.modifiers() & ~Qt::ShiftModifier);
    const bool selects =
        matchesAny({QKeySequence::SelectPreviousChar, QKeySequence::SelectNextChar});
    const bool backward =
        plainBackspace ||
        matchesAny({QKeySequence::Backspace, QKeySequence::DeleteStartOfWord,
                    QKeySequence::MoveToPreviousChar, QKeySequence::SelectPreviousChar});
    const bool forward = matchesAny({QKeySequence::Delete, QKeySequence::DeleteEndOfWord,
                                     QKeySequence::MoveToNextChar, QKeySequence::SelectNextChar});
    QTextCursor cursor = textCursor();
    // With a selection, the other keys act on the selection.
    if ((!backward && !forward) || (cursor.hasSelection() && !selects))
        return;
    const int position = pastContinuations(cursor, forward);
    if (position == cursor.position())
        return;
    cursor.setPosition(position, selects ? QTextCursor::KeepAnchor : QTextCursor::MoveAnchor);
    setTextCursor(cursor);
}

void ByteTextEdit::keyPressEvent(QKeyEvent *event)
{
    stepOverContinuation(*event);
    if (isReadOnly()) {
        QPlainTextEdit::keyPressEvent(event);
        return;
    }
    // Enter and Shift+Enter alike make a line break of the default kind.
    if (event->matches(QKeySequence::InsertParagraphSeparator) ||
        event->matches(QKeySequence::InsertLineSeparator)) {
        insertShown(u"\n");
        event->accept();
        return;
    }
    if (displaytext::insertsText(*event)) {
        const QString text = event->text();
        const QString fixed = displaytext::sanitized(text, displaytext::Breaks::AsLineBreaks);
        if (fixed.contains(u'\n')) {
            insertShown(fixed);
            event->accept();
            return;
        }
        if (fixed != text) {
            QKeyEvent replaced = displaytext::withText(*event, fixed);
            QPlainTextEdit::keyPressEvent(&replaced);
            event->setAccepted(replaced.isAccepted());
            return;
        }
    }
    QPlainTextEdit::keyPressEvent(event);
}

void ByteTextEdit::keyReleaseEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_A && event->modifiers() == Qt::ControlModifier)
        selectWholeText();
    QPlainTextEdit::keyReleaseEvent(event);
}

void ByteTextEdit::inputMethodEvent(QInputMethodEvent *event)
{
    const QString commit = event->commitString();
    const QString fixed = displaytext::sanitized(commit, displaytext::Breaks::AsLineBreaks);
    if (isReadOnly() || fixed == commit) {
        QPlainTextEdit::inputMethodEvent(event);
        return;
    }
    const bool hasBreak = fixed.contains(u'\n');
    // With nothing else to do for the base class, the text goes in as one change.
    if (hasBreak && event->preeditString().isEmpty() && event->replacementLength() == 0) {
        insertShown(fixed);
        event->accept();
        return;
    }
    QInputMethodEvent replaced(event->preeditString(), event->attributes());
    replaced.setCommitString(hasBreak ? QString() : fixed, event->replacementStart(),
                             event->replacementLength());
    QPlainTextEdit::inputMethodEvent(&replaced);
    event->setAccepted(replaced.isAccepted());
    // Line breaks need their kind, which the base class cannot give them.
    if (hasBreak)
        insertShown(fixed);
}

bool ByteTextEdit::canInsertFromMimeData(const QMimeData *source) const
{
    const DraggedFiles files = draggedFiles(source);
    return files.single || (!files.several && QPlainTextEdit::canInsertFromMimeData(source));
}

void ByteTextEdit::insertFromMimeData(const QMimeData *source)
{
    // QMimeData gives the addresses of dragged files as their text.
    if (isReadOnly() || source == nullptr || !source->hasText() || draggedFiles(source).several)
        return;
    insertShown(displaytext::sanitized(source->text(), displaytext::Breaks::AsLineBreaks));
}

QMimeData *ByteTextEdit::createMimeDataFromSelection() const
{
    const QTextCursor cursor = textCursor();
    QString text;
    walkShown(
        *document(), cursor.selectionStart(), cursor.selectedText(),
        [&text](QStringView run) { text += run; }, [&text](LineBreak) { text += u'\n'; });
    auto *mime = new QMimeData;
    mime->setText(text);
    return mime;
}

void ByteTextEdit::dragEnterEvent(QDragEnterEvent *event)
{
    if (!handledAsFiles(event))
        QPlainTextEdit::dragEnterEvent(event);
}

void ByteTextEdit::dragMoveEvent(QDragMoveEvent *event)
{
    if (!handledAsFiles(event))
        QPlainTextEdit::dragMoveEvent(event);
}

void ByteTextEdit::dropEvent(QDropEvent *event)
{
    const DraggedFiles files = draggedFiles(event->mimeData());
    if (files.single) {
        if (acceptAsFileDrop(event))
            emit fileDropped(*files.single);
        return;
    }
    if (files.several) {
        event->ignore();
        return;
    }
    QPlainTextEdit::dropEvent(event);
}

} // namespace lorimand

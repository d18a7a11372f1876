#include "ui/main/bytetextedit.h"

#include "ui/main/displaytext.h"

#include "engine/charset.h"

#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>

#include <algorithm>
#include <optional>

namespace lorimand {

namespace {

using displaytext::LineBreak;

// Each line break is the block separator before a block, and its kind is kept
// in that block's format: formats travel with the blocks through splitting,
// joining, undo and redo, where a block's user state is lost. The first block's
// kind means nothing.
constexpr int kBreakKind = QTextFormat::UserProperty + 0x4C42;

[[nodiscard]] std::optional<LineBreak> storedKind(const QTextBlock &block)
{
    const QVariant kind = block.blockFormat().property(kBreakKind);
    if (!kind.isValid())
        return std::nullopt;
    return kind.toInt() == static_cast<int>(LineBreak::Lf) ? LineBreak::Lf : LineBreak::CrLf;
}

// The kind a new line break takes: that of the text's first line break, CR LF when
// there is none. Blocks written by something other than this class carry no kind;
// the first break that has one stands for them.
[[nodiscard]] LineBreak defaultBreak(const QTextDocument &document)
{
    for (QTextBlock block = document.begin().next(); block.isValid(); block = block.next()) {
        if (const std::optional<LineBreak> kind = storedKind(block))
            return *kind;
    }
    return LineBreak::CrLf;
}

[[nodiscard]] QTextBlockFormat withKind(QTextBlockFormat format, LineBreak kind)
{
    format.setProperty(kBreakKind, static_cast<int>(kind));
    return format;
}

[[nodiscard]] LineBreak mostCommon(const std::vector<LineBreak> &breaks)
{
    const auto lf = std::count(breaks.begin(), breaks.end(), LineBreak::Lf);
    return 2 * lf > static_cast<std::ptrdiff_t>(breaks.size()) ? LineBreak::Lf : LineBreak::CrLf;
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

// The key event, with its text replaced.
[[nodiscard]] QKeyEvent withText(const QKeyEvent &event, const QString &text)
{
    return QKeyEvent(event.type(), event.key(), event.modifiers(), event.nativeScanCode(),
                     event.nativeVirtualKey(), event.nativeModifiers(), text, event.isAutoRepeat(),
                     static_cast<quint16>(event.count()));
}

// Whether the base class would insert the key's text; Ctrl and Ctrl+Shift
// combinations and control codes insert nothing.
[[nodiscard]] bool insertsText(const QKeyEvent &event)
{
    const QString text = event.text();
    if (text.isEmpty())
        return false;
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    if (modifiers == Qt::ControlModifier || modifiers == (Qt::ShiftModifier | Qt::ControlModifier))
        return false;
    const char16_t first = text.front().unicode();
    return first >= 0x20 && !(first >= 0x7F && first <= 0x9F);
}

} // namespace

ByteTextEdit::ByteTextEdit(QWidget *parent) : QPlainTextEdit(parent) {}

std::string ByteTextEdit::bytes() const
{
    const QTextDocument &doc = *document();
    // The raw text, unlike toPlainText(), keeps CR, U+00A0 and soft breaks as
    // they are, with U+2029 between blocks.
    const QString raw = doc.toRawText();
    std::string out;
    out.reserve(static_cast<std::size_t>(raw.size()) + static_cast<std::size_t>(doc.blockCount()));
    std::optional<LineBreak> fallback;
    const auto resolved = [&](std::optional<LineBreak> kind) {
        if (kind)
            return *kind;
        if (!fallback)
            fallback = defaultBreak(doc);
        return *fallback;
    };
    QTextBlock block = doc.begin();
    for (const QChar ch : raw) {
        if (ch == QChar::ParagraphSeparator) {
            block = block.next();
            out += displaytext::breakBytes(resolved(storedKind(block)));
        } else if (ch == QChar::LineSeparator) {
            // A soft break (Shift+Enter, written by other means) is a line break
            // of the default kind.
            out += displaytext::breakBytes(resolved(std::nullopt));
        } else {
            out.push_back(
                static_cast<char>(displaytext::codeOf(ch).value_or(charset::kReplacement)));
        }
    }
    return out;
}

void ByteTextEdit::setBytes(std::string_view bytes)
{
    const displaytext::ShownText shown = displaytext::textFromBytes(bytes);
    // Every new block copies the format of the one it is split from, so the kind
    // most breaks have is given to all of them at once and the others are set
    // one by one.
    const LineBreak common = mostCommon(shown.breaks);
    QTextDocument &doc = *document();
    // The text is replaced whole, so its undo history goes with it.
    doc.setUndoRedoEnabled(false);
    {
        QTextCursor cursor(&doc);
        cursor.beginEditBlock();
        cursor.select(QTextCursor::Document);
        cursor.removeSelectedText();
        cursor.setBlockFormat(withKind(cursor.blockFormat(), common));
        cursor.insertText(shown.text);
        if (std::find(shown.breaks.begin(), shown.breaks.end(),
                      common == LineBreak::Lf ? LineBreak::CrLf : LineBreak::Lf) !=
            shown.breaks.end()) {
            QTextBlock block = doc.begin().next();
            for (const LineBreak kind : shown.breaks) {
                if (kind != common) {
                    QTextCursor(block).setBlockFormat(withKind(block.blockFormat(), kind));
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
    const QTextBlockFormat format = withKind(textCursor().blockFormat(), defaultBreak(*document()));
    QTextCursor cursor = textCursor();
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    for (;;) {
        const qsizetype end = shown.indexOf(u'\n');
        cursor.insertText((end < 0 ? shown : shown.first(end)).toString());
        if (end < 0)
            break;
        cursor.insertBlock(format);
        shown = shown.sliced(end + 1);
    }
    cursor.endEditBlock();
    setTextCursor(cursor);
    ensureCursorVisible();
}

void ByteTextEdit::keyPressEvent(QKeyEvent *event)
{
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
    if (insertsText(*event)) {
        const QString text = event->text();
        const QString fixed = displaytext::sanitized(text, displaytext::Breaks::AsLineBreaks);
        if (fixed.contains(u'\n')) {
            insertShown(fixed);
            event->accept();
            return;
        }
        if (fixed != text) {
            QKeyEvent replaced = withText(*event, fixed);
            QPlainTextEdit::keyPressEvent(&replaced);
            event->setAccepted(replaced.isAccepted());
            return;
        }
    }
    QPlainTextEdit::keyPressEvent(event);
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
    QString text = textCursor().selectedText();
    text.replace(QChar::ParagraphSeparator, u'\n');
    text.replace(QChar::LineSeparator, u'\n');
    auto *mime = new QMimeData;
    mime->setText(text);
    return mime;
}

void ByteTextEdit::dragEnterEvent(QDragEnterEvent *event)
{
    const DraggedFiles files = draggedFiles(event->mimeData());
    if (files.single)
        acceptAsFileDrop(event);
    else if (files.several)
        event->ignore();
    else
        QPlainTextEdit::dragEnterEvent(event);
}

void ByteTextEdit::dragMoveEvent(QDragMoveEvent *event)
{
    const DraggedFiles files = draggedFiles(event->mimeData());
    if (files.single)
        acceptAsFileDrop(event);
    else if (files.several)
        event->ignore();
    else
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

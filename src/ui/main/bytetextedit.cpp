#include "ui/main/bytetextedit.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <memory>
#include <numeric>
#include <optional>
#include <utility>

#include <QActionGroup>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QHelpEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QSyntaxHighlighter>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QToolTip>
#include <QUrl>

#include "ui/busycursor.h"
#include "ui/main/displaytext.h"
#include "ui/stepprogress.h"

namespace lorimand {

namespace {

using displaytext::Charset;
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
    if (!kind.isValid()) {
        return std::nullopt;
    }
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
        if (kind && *kind != LineBreak::Continuation) {
            return *kind;
        }
    }
    return LineBreak::CrLf;
}

// The kind of the break before a block, the default one for a block without a kind.
[[nodiscard]] LineBreak breakBefore(const QTextBlock &block)
{
    if (const std::optional<LineBreak> kind = storedKind(block)) {
        return *kind;
    }
    return defaultBreak(*block.document());
}

[[nodiscard]] QTextCharFormat withKind(QTextCharFormat format, LineBreak kind)
{
    format.setProperty(kBreakKind, static_cast<int>(kind));
    return format;
}

[[nodiscard]] LineBreak mostCommon(const std::vector<LineBreak> &breaks)
{
    std::array<std::ptrdiff_t, 3> counts{};
    for (const LineBreak kind : breaks) {
        ++counts[static_cast<std::size_t>(kind)];
    }
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
        if (kind) {
            return *kind;
        }
        if (!fallback) {
            fallback = defaultBreak(document);
        }
        return *fallback;
    };
    QTextBlock block = document.findBlock(start);
    qsizetype from = 0;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar ch = raw[i];
        if (ch != QChar::ParagraphSeparator && ch != QChar::LineSeparator) {
            continue;
        }
        run(raw.sliced(from, i - from));
        from = i + 1;
        std::optional<LineBreak> kind;
        if (ch == QChar::ParagraphSeparator) {
            block = block.next();
            kind = storedKind(block);
            if (kind == LineBreak::Continuation) {
                continue;
            }
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

// Whether a drag of files is settled here: one file is taken as a copy, several
// are refused; any other drag is the base class's.
bool handledAsFiles(QDragMoveEvent *event)
{
    const DraggedFiles files = draggedFiles(event->mimeData());
    if (files.single) {
        acceptAsFileDrop(event);
    } else if (files.several) {
        event->ignore();
    }
    return files.single || files.several;
}

// The smaller font a mark names its byte in.
[[nodiscard]] QFont markFont(QFont font)
{
    font.setPointSizeF(font.pointSizeF() * 0.75);
    font.setBold(false);
    return font;
}

[[nodiscard]] QString byteName(unsigned char byte)
{
    return QStringLiteral("%1").arg(byte, 2, 16, QLatin1Char('0')).toUpper();
}

// Gives each mark the width of the box it is drawn as, and hides the glyph a
// font has for its private-use character; the layout places the text after it.
class MarkRoom final : public QSyntaxHighlighter
{
public:
    using QSyntaxHighlighter::QSyntaxHighlighter;

protected:
    void highlightBlock(const QString &text) override
    {
        const QFont font = document()->defaultFont();
        if (font != font_) {
            font_ = font;
            formats_.fill(std::nullopt);
        }
        qsizetype i = 0;
        while (i < text.size()) {
            const std::optional<unsigned char> byte = displaytext::markedByte(text[i]);
            if (!byte) {
                ++i;
                continue;
            }
            // Marks side by side take one format change, not one each.
            qsizetype end = i + 1;
            while (end < text.size() && text[end] == text[i]) {
                ++end;
            }
            setFormat(static_cast<int>(i), static_cast<int>(end - i), formatFor(*byte, text[i]));
            i = end;
        }
    }

private:
    const QTextCharFormat &formatFor(unsigned char byte, QChar mark)
    {
        std::optional<QTextCharFormat> &format = formats_[byte & 0x7F];
        if (!format) {
            const QFontMetricsF shown(font_);
            const qreal box =
                QFontMetricsF(markFont(font_)).horizontalAdvance(QStringLiteral("DD")) +
                shown.averageCharWidth() / 2;
            format.emplace();
            format->setForeground(Qt::transparent);
            format->setFontLetterSpacingType(QFont::AbsoluteSpacing);
            format->setFontLetterSpacing(box - shown.horizontalAdvance(mark));
        }
        return *format;
    }

    QFont font_;
    // One for each byte a mark can stand for, 0x80 to 0xFF.
    std::array<std::optional<QTextCharFormat>, 128> formats_;
};

// Fills a document with a text in place of its own: every new block copies the
// format of the one it is split from, so the kind most blocks have is given to
// all of them at once and the others are set one by one.
// With `progress`, the text goes in in steps, after each of which progress is
// told how far it is; false when it said to stop.
bool fill(QTextDocument &doc, const displaytext::ShownText &shown,
          const Progress &progress = nullptr)
{
    const LineBreak common = mostCommon(shown.breaks);
    QTextCursor cursor(&doc);
    cursor.beginEditBlock();
    doc.clear();
    cursor = QTextCursor(&doc);
    const QTextCharFormat base = cursor.charFormat();
    if (progress) {
        constexpr qsizetype kStep = qsizetype{1} << 21;
        QTextBlock laidOut; // the last block given its layout
        QStringView rest(shown.text);
        while (!rest.isEmpty()) {
            qsizetype step = std::min(kStep, rest.size());
            if (step < rest.size() && rest[step - 1].isHighSurrogate()) {
                --step;
            }
            cursor.insertText(rest.first(step).toString(), withKind(base, common));
            rest = rest.sliced(step);
            // The text area gives every block a layout object when it shows a
            // document (about 2 s for 1.5 million lines, and some hundreds of
            // bytes each); made here, step by step, the window paints meanwhile.
            for (QTextBlock block = laidOut.isValid() ? laidOut.next() : doc.begin();
                 block.isValid(); block = block.next()) {
                (void)block.layout();
                laidOut = block;
            }
            if (!progress(static_cast<std::size_t>(shown.text.size() - rest.size()),
                          static_cast<std::size_t>(shown.text.size()))) {
                cursor.endEditBlock();
                return false;
            }
        }
    } else {
        cursor.insertText(shown.text, withKind(base, common));
    }
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
    return true;
}

} // namespace

ByteTextEdit::ByteTextEdit(QWidget *parent) : QPlainTextEdit(parent)
{
    // The shown document is always one of this class's own, so that it can go
    // into the history like any other.
    std::unique_ptr<QTextDocument> first = newDocument();
    first->setParent(this);
    setDocument(first.release());
    hideSelectionWithoutFocus();
}

ByteTextEdit::~ByteTextEdit()
{
    // The mark room, going with the widget, tells the document of its formats.
    disconnect(document(), nullptr, this, nullptr);
}

void ByteTextEdit::hideSelectionWithoutFocus()
{
    QPalette colours = palette();
    colours.setBrush(QPalette::Inactive, QPalette::Highlight,
                     colours.brush(QPalette::Inactive, QPalette::Base));
    colours.setBrush(QPalette::Inactive, QPalette::HighlightedText,
                     colours.brush(QPalette::Inactive, QPalette::Text));
    // Set again only when it changes, so that setting it ends here.
    if (colours != palette()) {
        setPalette(colours);
    }
}

void ByteTextEdit::changeEvent(QEvent *event)
{
    QPlainTextEdit::changeEvent(event);
    // A palette given from outside gets the rule too.
    if (event->type() == QEvent::PaletteChange) {
        hideSelectionWithoutFocus();
    }
}

std::string ByteTextEdit::bytes() const
{
    return *bytes(nullptr);
}

std::optional<std::string> ByteTextEdit::bytes(const Progress &progress) const
{
    // The raw text, unlike toPlainText(), keeps CR, U+00A0 and soft breaks as
    // they are, with U+2029 between blocks.
    const QTextDocument &doc = *document();
    const QString raw = doc.toRawText();
    std::string out;
    out.reserve(static_cast<std::size_t>(raw.size()) + static_cast<std::size_t>(doc.blockCount()));
    constexpr qsizetype kStep = qsizetype{1} << 21;
    const qsizetype step = progress ? kStep : raw.size();
    qsizetype from = 0;
    do {
        // Each step starts where the last ended; a surrogate pair stays whole.
        qsizetype size = std::min(step, raw.size() - from);
        if (from + size < raw.size() && raw[from + size - 1].isHighSurrogate()) {
            --size;
        }
        walkShown(
            doc, static_cast<int>(from), QStringView(raw).sliced(from, size),
            [&](QStringView run) { displaytext::appendBytes(run, out, charset_); },
            [&out](LineBreak kind) { out += displaytext::breakBytes(kind); });
        from += size;
        if (progress &&
            !progress(static_cast<std::size_t>(from), static_cast<std::size_t>(raw.size()))) {
            return std::nullopt;
        }
    } while (from < raw.size());
    return out;
}

std::size_t ByteTextEdit::bytesBefore(int position) const
{
    // Counted from where the block that holds the position starts, so that only
    // that block is read.
    const QTextBlock block = document()->findBlock(position);
    std::string out;
    if (block.previous().isValid()) {
        out += displaytext::breakBytes(breakBefore(block));
    }
    walkShown(
        *document(), block.position(), QStringView(block.text()).first(position - block.position()),
        [&](QStringView run) { displaytext::appendBytes(run, out, charset_); },
        [&out](LineBreak kind) { out += displaytext::breakBytes(kind); });
    return blockBytes_.start(static_cast<std::size_t>(block.blockNumber())) + out.size();
}

int ByteTextEdit::positionOfByte(std::size_t offset) const
{
    // Found in the block that holds the byte, which alone is read; a line break
    // before the block shows as the character before its position.
    const auto [number, start] = blockBytes_.locate(offset);
    const QTextBlock block = document()->findBlockByNumber(static_cast<int>(number));
    const bool withBreak = number > 0 && breakBefore(block) != LineBreak::Continuation;
    const displaytext::ShownText shown = displaytext::textFromBytes(bytesOf(block), charset_);
    return block.position() - (withBreak ? 1 : 0) +
           static_cast<int>(displaytext::positionOfByte(shown, offset - start, charset_));
}

void ByteTextEdit::setBytes(std::string_view bytes, History history)
{
    const displaytext::ShownText text = displaytext::textFromBytes(bytes, charset_);
    QTextDocument *shown = document();
    const bool joined =
        history == History::Automatic && automatic_ && shown->availableUndoSteps() == 0;
    if (history == History::Fresh || joined) {
        if (history == History::Fresh) {
            undone_.clear();
        }
        redone_.clear();
        const std::size_t before = byteCount();
        const std::size_t loneBefore = blockBytes_.loneCrs();
        // Refilled in place: its history, which holds nothing of the user's, goes.
        showText(text);
        shown->setModified(false);
        setTextCursor(QTextCursor(shown));
        tellWholeChange(before, loneBefore);
        return;
    }
    std::unique_ptr<QTextDocument> next = newDocument();
    next->setUndoRedoEnabled(false);
    fill(*next, text);
    next->setUndoRedoEnabled(true);
    Version replaced =
        swapIn({std::move(next), 0, 0, history == History::Automatic, blockBytesOf(text)});
    // What was undone in the replaced text cannot come back after this.
    replaced.document->clearUndoRedoStacks(QTextDocument::RedoStack);
    undone_.push_back(std::move(replaced));
    redone_.clear();
    keepWithinBounds();
}

bool ByteTextEdit::setBytesInSteps(std::string_view bytes, History history,
                                   const Progress &progress)
{
    // Turning the bytes into characters takes about a fifth of the time.
    const std::optional<displaytext::ShownText> text =
        displaytext::textFromBytes(bytes, charset_, partOf(progress, 0, 0.2));
    if (!text) {
        return false;
    }
    const bool joined = history == History::Automatic && joinsAutomatic();
    std::unique_ptr<QTextDocument> next = newDocument();
    next->setUndoRedoEnabled(false);
    if (!fill(*next, *text, partOf(progress, 0.2, 0.8))) {
        return false;
    }
    next->setUndoRedoEnabled(true);
    Version replaced =
        swapIn({std::move(next), 0, 0, history == History::Automatic, blockBytesOf(*text)});
    redone_.clear();
    if (history == History::Fresh) {
        undone_.clear();
    }
    // Joined to the automatic replacement shown, the text replaced goes.
    if (history == History::Fresh || joined) {
        return true;
    }
    replaced.document->clearUndoRedoStacks(QTextDocument::RedoStack);
    undone_.push_back(std::move(replaced));
    keepWithinBounds();
    return true;
}

bool ByteTextEdit::joinsAutomatic() const
{
    return automatic_ && document()->availableUndoSteps() == 0;
}

void ByteTextEdit::spliceAutomatic(std::size_t from, std::size_t to, std::string_view bytes)
{
    QTextDocument &doc = *document();
    // The blocks that hold the bytes are shown anew from their bytes, from the
    // line break before them (which the change may touch) to their end.
    const auto [first, firstStart] = blockBytes_.locate(from);
    const std::size_t last = std::max(first, to > from ? blockBytes_.locate(to - 1).first : first);
    const QTextBlock firstBlock = doc.findBlockByNumber(static_cast<int>(first));
    const QTextBlock lastBlock = doc.findBlockByNumber(static_cast<int>(last));
    std::string region;
    for (QTextBlock block = firstBlock;; block = block.next()) {
        region += bytesOf(block);
        if (block == lastBlock) {
            break;
        }
    }
    // A line break before the first block is part of the region; a
    // continuation stands for no bytes.
    const std::optional<LineBreak> firstKind =
        first > 0 ? std::optional(breakBefore(firstBlock)) : std::nullopt;
    const bool withBreak = firstKind && *firstKind != LineBreak::Continuation;
    const int regionStart = firstBlock.position() - (withBreak ? 1 : 0);
    const int regionEnd = lastBlock.position() + lastBlock.length() - 1;
    std::string changed = region.substr(0, from - firstStart);
    changed += bytes;
    changed += std::string_view(region).substr(std::min(region.size(), to - firstStart));
    const displaytext::ShownText now = displaytext::textFromBytes(changed, charset_);

    // The region as shown before, with the kinds of its breaks.
    QTextCursor cursor(&doc);
    cursor.setPosition(regionStart);
    cursor.setPosition(regionEnd, QTextCursor::KeepAnchor);
    QString before = cursor.selectedText();
    before.replace(QChar::ParagraphSeparator, u'\n');
    std::vector<LineBreak> beforeBreaks;
    if (withBreak) {
        beforeBreaks.push_back(*firstKind);
    }
    for (QTextBlock block = firstBlock.next(); block.isValid() && block.position() <= regionEnd;
         block = block.next()) {
        beforeBreaks.push_back(breakBefore(block));
    }

    // Only what differs is replaced, so that the caret and the selection stay.
    const qsizetype shorter = std::min(before.size(), now.text.size());
    qsizetype head = 0;
    std::size_t headBreaks = 0;
    while (head < shorter && before[head] == now.text[head]) {
        if (before[head] == u'\n') {
            if (beforeBreaks[headBreaks] != now.breaks[headBreaks]) {
                break;
            }
            ++headBreaks;
        }
        ++head;
    }
    qsizetype tail = 0;
    std::size_t tailBreaks = 0;
    while (tail < shorter - head &&
           before[before.size() - 1 - tail] == now.text[now.text.size() - 1 - tail]) {
        if (before[before.size() - 1 - tail] == u'\n') {
            if (beforeBreaks[beforeBreaks.size() - 1 - tailBreaks] !=
                now.breaks[now.breaks.size() - 1 - tailBreaks]) {
                break;
            }
            ++tailBreaks;
        }
        ++tail;
    }

    // Joined to the replacement shown, as a refill would be: no undo step.
    redone_.clear();
    doc.setUndoRedoEnabled(false);
    cursor.setPosition(regionStart + static_cast<int>(head));
    cursor.setPosition(regionEnd - static_cast<int>(tail), QTextCursor::KeepAnchor);
    const QTextCharFormat base = cursor.charFormat();
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    QStringView middle = QStringView(now.text).sliced(head, now.text.size() - head - tail);
    auto kind = now.breaks.begin() + static_cast<std::ptrdiff_t>(headBreaks);
    for (;;) {
        const qsizetype end = middle.indexOf(u'\n');
        cursor.insertText((end < 0 ? middle : middle.first(end)).toString(), base);
        if (end < 0) {
            break;
        }
        cursor.insertBlock(cursor.blockFormat(), withKind(base, *kind++));
        middle = middle.sliced(end + 1);
    }
    cursor.endEditBlock();
    doc.setUndoRedoEnabled(true);
    doc.setModified(false);
}

std::string ByteTextEdit::bytesIn(std::size_t from, std::size_t to) const
{
    const auto [first, start] = blockBytes_.locate(from);
    std::string out;
    for (QTextBlock block = document()->findBlockByNumber(static_cast<int>(first));
         block.isValid() && start + out.size() < to; block = block.next()) {
        out += bytesOf(block);
    }
    return out.substr(std::min(out.size(), from - start), to - from);
}

std::string ByteTextEdit::bytesOf(const QTextBlock &block) const
{
    std::string out;
    if (block.previous().isValid()) {
        out += displaytext::breakBytes(breakBefore(block));
    }
    walkShown(
        *document(), block.position(), block.text(),
        [&](QStringView run) { displaytext::appendBytes(run, out, charset_); },
        [&out](LineBreak kind) { out += displaytext::breakBytes(kind); });
    return out;
}

BlockBytes ByteTextEdit::blockBytesOf(const displaytext::ShownText &shown) const
{
    std::vector<BlockBytes::Block> blocks;
    blocks.reserve(shown.breaks.size() + 1);
    std::string scratch;
    QStringView rest(shown.text);
    for (std::size_t line = 0;; ++line) {
        const qsizetype end = rest.indexOf(u'\n');
        scratch.clear();
        if (line > 0) {
            scratch += displaytext::breakBytes(shown.breaks[line - 1]);
        }
        displaytext::appendBytes(end < 0 ? rest : rest.first(end), scratch, charset_);
        blocks.push_back(BlockBytes::measure(scratch));
        if (end < 0) {
            break;
        }
        rest = rest.sliced(end + 1);
    }
    return BlockBytes(std::move(blocks));
}

void ByteTextEdit::followEdit(int position, int added)
{
    const QTextDocument &doc = *document();
    const int end = doc.characterCount() - 1;
    const auto first =
        static_cast<std::size_t>(doc.findBlock(std::clamp(position, 0, end)).blockNumber());
    const auto lastNow =
        static_cast<std::size_t>(doc.findBlock(std::clamp(position + added, 0, end)).blockNumber());
    const auto blocksNow = static_cast<std::size_t>(doc.blockCount());
    const std::size_t blocksBefore = blockBytes_.blockCount();
    // The blocks after the change are those after it before; should the
    // document say otherwise, every block is counted again.
    if (lastNow < first || lastNow + blocksBefore < blocksNow + first) {
        const std::size_t before = byteCount();
        const std::size_t loneBefore = blockBytes_.loneCrs();
        std::vector<BlockBytes::Block> blocks;
        for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
            blocks.push_back(BlockBytes::measure(bytesOf(block)));
        }
        blockBytes_ = BlockBytes(std::move(blocks));
        tellWholeChange(before, loneBefore);
        return;
    }
    const std::size_t lastBefore = lastNow + blocksBefore - blocksNow;
    std::vector<BlockBytes::Block> blocks;
    blocks.reserve(lastNow - first + 1);
    QTextBlock block = doc.findBlockByNumber(static_cast<int>(first));
    for (std::size_t i = first; i <= lastNow; ++i, block = block.next()) {
        blocks.push_back(BlockBytes::measure(bytesOf(block)));
    }
    const ByteChange change = blockBytes_.replace(first, lastBefore, std::move(blocks));
    ++changes_;
    emit bytesChanged(change);
}

void ByteTextEdit::tellWholeChange(std::size_t before, std::size_t loneBefore)
{
    ByteChange change;
    change.removed = before;
    change.added = byteCount();
    change.loneCrsAdded = static_cast<std::ptrdiff_t>(blockBytes_.loneCrs()) -
                          static_cast<std::ptrdiff_t>(loneBefore);
    ++changes_;
    emit bytesChanged(change);
}

void ByteTextEdit::showText(const displaytext::ShownText &shown)
{
    QTextDocument &doc = *document();
    {
        const QScopedValueRollback refilling(refilling_, true);
        doc.setUndoRedoEnabled(false);
        fill(doc, shown);
        doc.setUndoRedoEnabled(true);
    }
    blockBytes_ = blockBytesOf(shown);
}

std::unique_ptr<QTextDocument> ByteTextEdit::newDocument()
{
    const QTextDocument &shown = *document();
    auto next = std::make_unique<QTextDocument>();
    next->setDocumentLayout(new QPlainTextDocumentLayout(next.get()));
    next->setDefaultFont(shown.defaultFont());
    next->setDefaultTextOption(shown.defaultTextOption());
    next->setDocumentMargin(shown.documentMargin());
    // A new edit after an undo makes the texts redo would bring back unreachable.
    QTextDocument *added = next.get();
    connect(added, &QTextDocument::undoCommandAdded, this, [this, added] {
        if (added == document()) {
            redone_.clear();
        }
    });
    connect(added, &QTextDocument::contentsChange, this,
            [this, added](int position, int /*removed*/, int charsAdded) {
                if (added == document() && !refilling_) {
                    followEdit(position, charsAdded);
                }
            });
    return next;
}

// Showing another document emits textChanged once.
ByteTextEdit::Version ByteTextEdit::swapIn(Version next)
{
    const QTextCursor cursor = textCursor();
    const std::size_t before = byteCount();
    const std::size_t loneBefore = blockBytes_.loneCrs();
    Version previous{std::unique_ptr<QTextDocument>(document()), cursor.anchor(), cursor.position(),
                     automatic_, std::move(blockBytes_)};
    blockBytes_ = std::move(next.blockBytes);
    previous.document->setParent(nullptr);
    next.document->setParent(this);
    next.document->setDefaultFont(font());
    automatic_ = next.automatic;
    setDocument(next.document.release());
    attachMarkRoom();
    QTextCursor restored(document());
    const int end = document()->characterCount() - 1;
    restored.setPosition(std::min(next.anchor, end));
    restored.setPosition(std::min(next.position, end), QTextCursor::KeepAnchor);
    setTextCursor(restored);
    ensureCursorVisible();
    tellWholeChange(before, loneBefore);
    return previous;
}

void ByteTextEdit::attachMarkRoom()
{
    if (markRoom_ == nullptr || charset_ != Charset::Utf8) {
        return;
    }
    // Making room for marks is no edit.
    const QSignalBlocker noEdit(this);
    markRoom_->setDocument(document());
    markRoom_->rehighlight();
}

void ByteTextEdit::keepWithinBounds()
{
    qsizetype kept = std::accumulate(
        undone_.begin(), undone_.end(), qsizetype{0},
        [](qsizetype sum, const Version &v) { return sum + v.document->characterCount(); });
    std::size_t drop = 0;
    while (undone_.size() - drop > 1 &&
           (undone_.size() - drop > limits_.steps || kept > limits_.characters)) {
        kept -= undone_[drop].document->characterCount();
        ++drop;
    }
    undone_.erase(undone_.begin(), undone_.begin() + static_cast<std::ptrdiff_t>(drop));
}

void ByteTextEdit::setUndoLimits(UndoLimits limits)
{
    limits_ = limits;
    keepWithinBounds();
}

bool ByteTextEdit::isUndoAvailable() const
{
    return document()->isUndoAvailable() || !undone_.empty();
}

bool ByteTextEdit::isRedoAvailable() const
{
    return document()->isRedoAvailable() || !redone_.empty();
}

void ByteTextEdit::undo()
{
    if (document()->isUndoAvailable()) {
        QPlainTextEdit::undo();
    } else {
        showVersion(undone_, redone_);
    }
}

void ByteTextEdit::redo()
{
    if (document()->isRedoAvailable()) {
        QPlainTextEdit::redo();
    } else {
        showVersion(redone_, undone_);
    }
}

void ByteTextEdit::showVersion(std::vector<Version> &from, std::vector<Version> &to)
{
    if (from.empty()) {
        return;
    }
    Version next = std::move(from.back());
    from.pop_back();
    to.push_back(swapIn(std::move(next)));
}

bool ByteTextEdit::setCharset(Charset charset, const Progress &progress)
{
    if (charset == charset_) {
        return true;
    }
    const QTextCursor cursor = textCursor();
    const std::size_t anchor = bytesBefore(cursor.anchor());
    const std::size_t position = bytesBefore(cursor.position());
    // Reading the bytes out, turning them into characters and filling a
    // document with them come to about a fifth, a fifth and the rest.
    const std::optional<std::string> bytes = this->bytes(partOf(progress, 0, 0.2));
    if (!bytes) {
        return false;
    }
    const std::optional<displaytext::ShownText> shown =
        displaytext::textFromBytes(*bytes, charset, partOf(progress, 0.2, 0.2));
    if (!shown) {
        return false;
    }
    QString raw = document()->toRawText();
    raw.replace(QChar::ParagraphSeparator, u'\n');
    const bool showAnew = raw != shown->text;
    std::unique_ptr<QTextDocument> next;
    if (showAnew) {
        next = newDocument();
        next->setUndoRedoEnabled(false);
        if (!fill(*next, *shown, partOf(progress, 0.4, 0.6))) {
            return false;
        }
        next->setUndoRedoEnabled(true);
    }

    // Nothing is stopped from here on.
    charset_ = charset;
    // The texts kept for undo are shown in the charset they were replaced in.
    undone_.clear();
    redone_.clear();
    {
        // Neither showing the text anew nor making room for marks is an edit.
        const QSignalBlocker noEdit(this);
        if (markRoom_ != nullptr) {
            markRoom_->setDocument(nullptr);
        }
        if (next) {
            // The same bytes in other characters: the text is as modified as it was.
            next->setModified(document()->isModified());
            next->setParent(this);
            next->setDefaultFont(font());
            const std::unique_ptr<QTextDocument> replaced(document());
            setDocument(next.release());
            blockBytes_ = blockBytesOf(*shown);
        }
        if (charset == Charset::Utf8) {
            if (markRoom_ == nullptr) {
                markRoom_ = new MarkRoom(this);
            }
            markRoom_->setDocument(document());
            // Done now rather than later on its own, when it would count as an edit.
            markRoom_->rehighlight();
        }
    }
    if (showAnew) {
        QTextCursor moved(document());
        moved.setPosition(positionOfByte(anchor));
        moved.setPosition(positionOfByte(position), QTextCursor::KeepAnchor);
        setTextCursor(moved);
    }
    viewport()->update();
    return true;
}

void ByteTextEdit::offerCharsetChoice()
{
    charsetChoice_ = true;
}

void ByteTextEdit::chooseCharset(Charset charset)
{
    if (charset == charset_) {
        return;
    }
    BusyCursor busy;
    StepProgress progress(this, charset == Charset::Utf8
                                    ? QStringLiteral("Showing the text as UTF-8 ...")
                                    : QStringLiteral("Showing the text as Windows-1252 ..."));
    if (setCharset(charset, progress.stage(0, 1000))) {
        emit charsetChosen(charset);
    }
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
        if (end < 0) {
            break;
        }
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
    if ((!backward && !forward) || (cursor.hasSelection() && !selects)) {
        return;
    }
    const int position = pastContinuations(cursor, forward);
    if (position == cursor.position()) {
        return;
    }
    cursor.setPosition(position, selects ? QTextCursor::KeepAnchor : QTextCursor::MoveAnchor);
    setTextCursor(cursor);
}

void ByteTextEdit::keyPressEvent(QKeyEvent *event)
{
    if (charsetChoice_ && event->keyCombination() == kCharsetKey) {
        chooseCharset(charset_ == Charset::Utf8 ? Charset::Windows1252 : Charset::Utf8);
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo)) {
        if (!isReadOnly()) {
            event->matches(QKeySequence::Undo) ? undo() : redo();
        }
        event->accept();
        return;
    }
    if (displaytext::isUnusedAltKey(*event)) {
        event->ignore();
        return;
    }
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
        const auto fixed =
            displaytext::sanitized(text, displaytext::Breaks::AsLineBreaks, charset_);
        if (fixed.text.contains(u'\n')) {
            insertShown(fixed.text);
            event->accept();
        } else if (fixed.text.isEmpty()) {
            event->accept();
        } else if (fixed.text != text) {
            QKeyEvent replaced = displaytext::withText(*event, fixed.text);
            QPlainTextEdit::keyPressEvent(&replaced);
            event->setAccepted(replaced.isAccepted());
        } else {
            QPlainTextEdit::keyPressEvent(event);
        }
        tellLeftOut(fixed.leftOut);
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void ByteTextEdit::tellLeftOut(const QString &leftOut)
{
    if (!leftOut.isEmpty()) {
        displaytext::tellLeftOut(*this, cursorRect(), leftOut);
    }
}

void ByteTextEdit::keyReleaseEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_A && event->modifiers() == Qt::ControlModifier) {
        selectWholeText();
    }
    QPlainTextEdit::keyReleaseEvent(event);
}

void ByteTextEdit::inputMethodEvent(QInputMethodEvent *event)
{
    const QString commit = event->commitString();
    const auto fixed = displaytext::sanitized(commit, displaytext::Breaks::AsLineBreaks, charset_);
    if (isReadOnly() || fixed.text == commit) {
        QPlainTextEdit::inputMethodEvent(event);
        return;
    }
    const bool hasBreak = fixed.text.contains(u'\n');
    // With nothing else to do for the base class, the text goes in as one change.
    if (hasBreak && event->preeditString().isEmpty() && event->replacementLength() == 0) {
        insertShown(fixed.text);
        event->accept();
    } else {
        QInputMethodEvent replaced(event->preeditString(), event->attributes());
        replaced.setCommitString(hasBreak ? QString() : fixed.text, event->replacementStart(),
                                 event->replacementLength());
        QPlainTextEdit::inputMethodEvent(&replaced);
        event->setAccepted(replaced.isAccepted());
        // Line breaks need their kind, which the base class cannot give them.
        if (hasBreak) {
            insertShown(fixed.text);
        }
    }
    tellLeftOut(fixed.leftOut);
}

bool ByteTextEdit::canInsertFromMimeData(const QMimeData *source) const
{
    const DraggedFiles files = draggedFiles(source);
    return files.single || (!files.several && QPlainTextEdit::canInsertFromMimeData(source));
}

void ByteTextEdit::insertFromMimeData(const QMimeData *source)
{
    // QMimeData gives the addresses of dragged files as their text.
    if (isReadOnly() || source == nullptr || !source->hasText() || draggedFiles(source).several) {
        return;
    }
    const auto fixed =
        displaytext::sanitized(source->text(), displaytext::Breaks::AsLineBreaks, charset_);
    insertShown(fixed.text);
    tellLeftOut(fixed.leftOut);
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

void ByteTextEdit::contextMenuEvent(QContextMenuEvent *event)
{
    const std::unique_ptr<QMenu> menu(createStandardContextMenu(event->pos()));
    for (QAction *action : menu->actions()) {
        const bool isUndo = action->objectName() == u"edit-undo";
        if (!isUndo && action->objectName() != u"edit-redo") {
            continue;
        }
        disconnect(action, &QAction::triggered, nullptr, nullptr);
        action->setEnabled(!isReadOnly() && (isUndo ? isUndoAvailable() : isRedoAvailable()));
        connect(action, &QAction::triggered, this,
                isUndo ? &ByteTextEdit::undo : &ByteTextEdit::redo);
    }
    if (charsetChoice_) {
        menu->addSeparator();
        QMenu *choice = menu->addMenu(tr("Character &Set"));
        auto *group = new QActionGroup(choice);
        for (const auto &[charset, name] : {std::pair{Charset::Windows1252, tr("&Windows-1252")},
                                            std::pair{Charset::Utf8, tr("&UTF-8")}}) {
            QAction *action = choice->addAction(name);
            action->setCheckable(true);
            action->setChecked(charset == charset_);
            action->setShortcut(QKeySequence(kCharsetKey));
            group->addAction(action);
            connect(action, &QAction::triggered, this,
                    [this, charset = charset] { chooseCharset(charset); });
        }
    }
    menu->exec(event->globalPos());
}

QRectF ByteTextEdit::markBox(const QTextBlock &block, int position) const
{
    const QTextLayout *layout = block.layout();
    const int inBlock = position - block.position();
    const QTextLine line = layout->lineForTextPosition(inBlock);
    if (!line.isValid()) {
        return {};
    }
    const QPointF origin =
        blockBoundingGeometry(block).translated(contentOffset()).topLeft() + layout->position();
    const qreal left = line.cursorToX(inBlock);
    const qreal right = line.cursorToX(inBlock + 1);
    return QRectF(origin.x() + left, origin.y() + line.y(), right - left, line.height())
        .adjusted(0.5, 1.5, -0.5, -1.5);
}

void ByteTextEdit::paintEvent(QPaintEvent *event)
{
    QPlainTextEdit::paintEvent(event);
    if (charset_ != Charset::Utf8) {
        return;
    }
    QPainter painter(viewport());
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setFont(markFont(font()));
    const QTextCursor cursor = textCursor();
    const QPalette &colours = palette();
    const int bottom = event->rect().bottom();
    for (QTextBlock block = firstVisibleBlock(); block.isValid(); block = block.next()) {
        if (blockBoundingGeometry(block).translated(contentOffset()).top() > bottom) {
            break;
        }
        const QString text = block.text();
        for (qsizetype i = 0; i < text.size(); ++i) {
            const std::optional<unsigned char> byte = displaytext::markedByte(text[i]);
            if (!byte) {
                continue;
            }
            const int position = block.position() + static_cast<int>(i);
            const bool selected =
                position >= cursor.selectionStart() && position < cursor.selectionEnd();
            const QColor ink = colours.color(selected ? QPalette::HighlightedText : QPalette::Text);
            const QRectF box = markBox(block, position);
            painter.setPen(QPen(ink, 1));
            painter.setBrush(Qt::NoBrush);
            painter.drawRoundedRect(box, 2, 2);
            painter.drawText(box, Qt::AlignCenter, byteName(*byte));
        }
    }
}

bool ByteTextEdit::viewportEvent(QEvent *event)
{
    if (event->type() != QEvent::ToolTip || charset_ != Charset::Utf8) {
        return QPlainTextEdit::viewportEvent(event);
    }
    const auto *help = static_cast<QHelpEvent *>(event);
    const int near = cursorForPosition(help->pos()).position();
    for (const int position : {near - 1, near}) {
        const std::optional<unsigned char> byte =
            displaytext::markedByte(document()->characterAt(position));
        if (byte && markBox(document()->findBlock(position), position).contains(help->pos())) {
            QToolTip::showText(help->globalPos(),
                               tr("Byte %1: not part of a UTF-8 character").arg(byteName(*byte)),
                               viewport());
            return true;
        }
    }
    QToolTip::hideText();
    return true;
}

void ByteTextEdit::dragEnterEvent(QDragEnterEvent *event)
{
    if (!handledAsFiles(event)) {
        QPlainTextEdit::dragEnterEvent(event);
    }
}

void ByteTextEdit::dragMoveEvent(QDragMoveEvent *event)
{
    if (!handledAsFiles(event)) {
        QPlainTextEdit::dragMoveEvent(event);
    }
}

void ByteTextEdit::dropEvent(QDropEvent *event)
{
    const DraggedFiles files = draggedFiles(event->mimeData());
    if (files.single) {
        if (acceptAsFileDrop(event)) {
            emit fileDropped(*files.single);
        }
        return;
    }
    if (files.several) {
        event->ignore();
        return;
    }
    QPlainTextEdit::dropEvent(event);
}

} // namespace lorimand

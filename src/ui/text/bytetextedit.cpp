#include "ui/text/bytetextedit.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <utility>

#include <QAccessible>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDrag>
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
#include <QScrollBar>
#include <QStyleHints>
#include <QTextLayout>
#include <QToolTip>
#include <QUrl>

#include "ui/text/accessibletextarea.h"

namespace lorimand {

namespace {

using displaytext::Charset;
using text::TextDocument;

// The room between the frame and the text, as a text document keeps it.
constexpr qreal kMargin = 4;
constexpr qreal kTabStop = 80;
// Laid-out blocks kept for painting and moving about; a screen holds far fewer.
constexpr std::size_t kKeptLayouts = 512;

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

[[nodiscard]] bool isWordCharacter(QChar ch)
{
    return ch.isLetterOrNumber() || ch == u'_' || ch.isMark();
}

// A menu entry with its shortcut shown beside it, as text areas show them.
[[nodiscard]] QString withShortcut(const QString &text, QKeySequence::StandardKey key)
{
    const QKeySequence sequence(key);
    return sequence.isEmpty() ? text : text + u'\t' + sequence.toString(QKeySequence::NativeText);
}

// Runs an edit (or a copy) of the area's; running out of memory on the way leaves the text
// as it was (the text model allocates before it changes anything), and a tool
// tip at the caret says so.
template <typename Edit> void guarded(QAbstractScrollArea &area, const QRect &caret, Edit &&edit)
{
    try {
        edit();
    } catch (const std::bad_alloc &) {
        QToolTip::showText(area.viewport()->mapToGlobal(caret.bottomLeft()),
                           QCoreApplication::translate(
                               "lorimand::ByteTextEdit",
                               "There is not enough memory for this; the text is as it was."),
                           area.viewport());
    }
}

} // namespace

// A block of the text laid out at the area's width.
struct ByteTextEdit::Block
{
    std::size_t number = 0;
    std::size_t start = 0;
    std::size_t end = 0;
    std::size_t line = 0;
    bool lastOfLine = true;
    displaytext::ShownRun run;
    std::unique_ptr<QTextLayout> layout;
    qreal height = 0;
};

class ByteTextEdit::Layouts
{
public:
    std::unordered_map<std::size_t, std::unique_ptr<Block>> blocks;
};

ByteTextEdit::ByteTextEdit(QWidget *parent)
    : QAbstractScrollArea(parent), blocks_(document_.text()), layouts_(std::make_unique<Layouts>())
{
    setAttribute(Qt::WA_InputMethodEnabled);
    setAttribute(Qt::WA_KeyCompression, false);
    setFocusPolicy(Qt::StrongFocus);
    setAcceptDrops(true);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setMouseTracking(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    verticalScrollBar()->setSingleStep(1);
    updateScrollBar();
    installAccessibleTextArea();
}

ByteTextEdit::~ByteTextEdit() = default;

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

void ByteTextEdit::setBytes(std::string bytes, History history)
{
    const Before was = takeBefore(0, 0);
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
    const auto moved = [&](std::size_t offset) {
        if (offset <= from) {
            return offset;
        }
        if (offset >= to) {
            return offset - (to - from) + bytes.size();
        }
        return from;
    };
    const Selection kept{moved(selection_.anchor), moved(selection_.position)};
    const ByteChange change = document_.spliceAutomatic(from, to, bytes);
    // The view stays where it is too: the user is reading there, not here.
    followChange(change, was, kept, false);
}

ByteTextEdit::Before ByteTextEdit::takeBefore(std::size_t from, std::size_t to) const
{
    Before was;
    was.lines = document_.text().lineCount();
    if (QAccessible::isActive()) {
        was.characters = characterCount();
        was.removed = shownText(from, to);
    }
    return was;
}

void ByteTextEdit::followChange(const ByteChange &change, const Before &was, Selection selection,
                                bool showCaret)
{
    const std::size_t blocksBefore = blocks_.count();
    blocks_.update(change, was.lines);
    keepLayoutsThrough(change, was.lines, blocksBefore);
    preedit_.clear();
    const Selection before = selection_;
    selection_ = {snapped(std::min(selection.anchor, byteCount())),
                  snapped(std::min(selection.position, byteCount()))};
    if (topBlock_ >= blocks_.count()) {
        topBlock_ = blocks_.count() - 1;
        topRow_ = 0;
    }
    stickyX_.reset();
    updateScrollBar();
    if (showCaret) {
        ensureCursorVisible();
    }
    viewport()->update();
    emit textChanged();
    emit bytesChanged(change);
    if (selection_.position != before.position) {
        emit cursorPositionChanged();
    }
    if (selection_ != before) {
        emit selectionChanged();
    }
    announceChange(change, was);
    if (selection_.position != before.position && QAccessible::isActive()) {
        QAccessibleTextCursorEvent moved(this,
                                         static_cast<int>(characterOffset(selection_.position)));
        QAccessible::updateAccessibility(&moved);
    }
}

void ByteTextEdit::keepLayoutsThrough(const ByteChange &change, std::size_t linesBefore,
                                      std::size_t blocksBefore)
{
    auto &kept = layouts_->blocks;
    const text::TextBuffer &text = document_.text();
    if (change.from == 0 && change.added == text.size()) {
        kept.clear();
        return;
    }
    // A block well before the change keeps its layout; one of a line after the
    // change's lines keeps it too, under its new number. Four bytes either side
    // cover a CR LF made or broken at the edge and a UTF-8 character kept whole
    // across a cut.
    const std::size_t changeEnd = change.from + change.added;
    const auto linesAdded =
        static_cast<std::ptrdiff_t>(text.lineCount()) - static_cast<std::ptrdiff_t>(linesBefore);
    const auto lastLineBefore = static_cast<std::size_t>(
        static_cast<std::ptrdiff_t>(text.lineOf(std::min(changeEnd + 4, text.size()))) -
        linesAdded);
    const auto blocksAdded =
        static_cast<std::ptrdiff_t>(blocks_.count()) - static_cast<std::ptrdiff_t>(blocksBefore);
    const auto bytesAdded =
        static_cast<std::ptrdiff_t>(change.added) - static_cast<std::ptrdiff_t>(change.removed);
    const auto moved = [](std::size_t value, std::ptrdiff_t by) {
        return static_cast<std::size_t>(static_cast<std::ptrdiff_t>(value) + by);
    };
    std::unordered_map<std::size_t, std::unique_ptr<Block>> still;
    for (auto &[number, block] : kept) {
        if (block->end + 4 < change.from) {
            still.emplace(number, std::move(block));
        } else if (block->line > lastLineBefore) {
            block->number = moved(number, blocksAdded);
            block->line = moved(block->line, linesAdded);
            block->start = moved(block->start, bytesAdded);
            block->end = moved(block->end, bytesAdded);
            still.emplace(block->number, std::move(block));
        }
    }
    kept = std::move(still);
}

void ByteTextEdit::editBytes(std::size_t from, std::size_t to, std::string_view bytes,
                             TextDocument::EditKind kind)
{
    if (from == to && bytes.empty()) {
        return;
    }
    guarded(*this, cursorRect(), [&] {
        const Before was = takeBefore(from, to);
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
        displaytext::appendBytes(end < 0 ? shown : shown.first(end), out, charset_);
        if (end < 0) {
            return out;
        }
        out += lineBreak;
        shown = shown.sliced(end + 1);
    }
}

void ByteTextEdit::replaceShown(std::size_t from, std::size_t to, QStringView shown)
{
    guarded(*this, cursorRect(), [&] {
        const auto fixed =
            displaytext::sanitized(shown, displaytext::Breaks::AsLineBreaks, charset_);
        editBytes(from, to, bytesOfShown(fixed.text), TextDocument::EditKind::Step);
        tellLeftOut(fixed.leftOut);
    });
}

void ByteTextEdit::insertShown(QStringView shown, TextDocument::EditKind kind)
{
    guarded(*this, cursorRect(),
            [&] { editBytes(selectionStart(), selectionEnd(), bytesOfShown(shown), kind); });
}

void ByteTextEdit::deleteSelection()
{
    editBytes(selectionStart(), selectionEnd(), {}, TextDocument::EditKind::Step);
}

QString ByteTextEdit::shownText(std::size_t from, std::size_t to) const
{
    const text::TextBuffer &text = document_.text();
    to = std::min(to, text.size());
    QString shown;
    std::size_t at = from;
    while (at < to) {
        const std::size_t line = text.lineOf(at);
        const std::size_t end = text.lineEnd(line);
        // In UTF-8 a character shows only whole, so a line is read from its start.
        const std::size_t start = charset_ == Charset::Utf8 ? text.lineStart(line) : at;
        const std::size_t stop = std::min(end, to);
        if (start < stop) {
            const displaytext::ShownRun run =
                displaytext::shownRun(text.bytes(start, stop), charset_);
            if (charset_ == Charset::Utf8) {
                const auto first = std::lower_bound(run.starts.begin(), run.starts.end(),
                                                    static_cast<std::uint32_t>(at - start));
                shown += QStringView(run.text).sliced(first - run.starts.begin());
            } else {
                shown += run.text;
            }
        }
        if (stop < to) {
            shown += u'\n';
        }
        at = line + 1 < text.lineCount() ? text.lineStart(line + 1) : text.size();
    }
    return shown;
}

std::size_t ByteTextEdit::characterCount() const
{
    return characterOffset(byteCount());
}

std::size_t ByteTextEdit::characterOffset(std::size_t byte) const
{
    const text::TextBuffer &text = document_.text();
    byte = std::min(byte, text.size());
    const std::size_t lastLine = text.lineOf(byte);
    if (charset_ != Charset::Utf8) {
        // Each CR LF before is one character for two bytes.
        std::size_t pairs = 0;
        for (std::size_t line = 0; line < lastLine; ++line) {
            pairs += text.lineBreak(line) == text::LineBreak::CrLf ? 1U : 0U;
        }
        return byte - pairs;
    }
    std::size_t characters = 0;
    for (std::size_t line = 0; line < lastLine; ++line) {
        characters += static_cast<std::size_t>(
                          displaytext::shownRun(
                              text.bytes(text.lineStart(line), text.lineEnd(line)), charset_)
                              .text.size()) +
                      1;
    }
    const std::size_t start = text.lineStart(lastLine);
    return characters + static_cast<std::size_t>(
                            displaytext::shownRun(
                                text.bytes(start, std::min(byte, text.lineEnd(lastLine))), charset_)
                                .text.size());
}

std::size_t ByteTextEdit::byteOffset(std::size_t character) const
{
    const text::TextBuffer &text = document_.text();
    std::size_t counted = 0;
    for (std::size_t line = 0; line < text.lineCount(); ++line) {
        const std::size_t start = text.lineStart(line);
        const std::size_t end = text.lineEnd(line);
        const displaytext::ShownRun run = displaytext::shownRun(text.bytes(start, end), charset_);
        const auto length = static_cast<std::size_t>(run.text.size());
        if (character <= counted + length) {
            const std::size_t index = character - counted;
            return start + (charset_ == Charset::Utf8 ? run.starts[index] : index);
        }
        counted += length + 1;
    }
    return text.size();
}

// ---------------------------------------------------------------------------
// Blocks and their layout

std::size_t ByteTextEdit::edgeAfter(std::size_t nominal, bool lineEnds) const
{
    if (charset_ != Charset::Utf8 || lineEnds) {
        return nominal;
    }
    const text::TextBuffer &text = document_.text();
    const std::size_t from = nominal - std::min<std::size_t>(nominal, 3);
    const std::string around = text.bytes(from, std::min(text.size(), nominal + 3));
    return nominal + displaytext::characterTail(around, nominal - from);
}

ByteTextEdit::Block ByteTextEdit::makeBlock(std::size_t number) const
{
    const text::TextBlocks::Block nominal = blocks_.block(number);
    Block block;
    block.number = number;
    block.line = nominal.line;
    block.lastOfLine = nominal.lastOfLine;
    block.start = nominal.piece == 0 ? nominal.start : edgeAfter(nominal.start, false);
    block.end = edgeAfter(nominal.end, nominal.lastOfLine);
    block.run = displaytext::shownRun(document_.text().bytes(block.start, block.end), charset_);
    return block;
}

const ByteTextEdit::Block &ByteTextEdit::laidOut(std::size_t number) const
{
    auto &kept = layouts_->blocks;
    if (const auto found = kept.find(number); found != kept.end()) {
        return *found->second;
    }
    if (kept.size() >= kKeptLayouts) {
        kept.clear();
    }
    auto block = std::make_unique<Block>(makeBlock(number));
    block->layout = std::make_unique<QTextLayout>(block->run.text, font());
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setTabStopDistance(kTabStop);
    block->layout->setTextOption(option);
    block->layout->setCacheEnabled(true);
    QList<QTextLayout::FormatRange> formats;
    if (charset_ == Charset::Utf8) {
        // Each mark takes the width of the box it is drawn as, and its glyph is hidden.
        const QFont shown = font();
        const QFontMetricsF metrics(shown);
        const qreal box = QFontMetricsF(markFont(shown)).horizontalAdvance(QStringLiteral("DD")) +
                          metrics.averageCharWidth() / 2;
        const QString &text = block->run.text;
        for (qsizetype i = 0; i < text.size();) {
            if (!displaytext::markedByte(text[i])) {
                ++i;
                continue;
            }
            qsizetype end = i + 1;
            while (end < text.size() && text[end] == text[i]) {
                ++end;
            }
            QTextCharFormat format;
            format.setForeground(Qt::transparent);
            format.setFontLetterSpacingType(QFont::AbsoluteSpacing);
            format.setFontLetterSpacing(box - metrics.horizontalAdvance(text[i]));
            formats.append({static_cast<int>(i), static_cast<int>(end - i), format});
            i = end;
        }
    }
    if (!preedit_.isEmpty() && blockNumberAt(selection_.position) == number) {
        const int at = charIndexIn(*block, selection_.position);
        block->layout->setPreeditArea(at, preedit_);
        QTextCharFormat underlined;
        underlined.setFontUnderline(true);
        formats.append({at, static_cast<int>(preedit_.size()), underlined});
    }
    block->layout->setFormats(formats);
    const qreal width = std::max<qreal>(1, viewport()->width() - 2 * kMargin);
    qreal y = 0;
    block->layout->beginLayout();
    for (QTextLine line = block->layout->createLine(); line.isValid();
         line = block->layout->createLine()) {
        line.setLineWidth(width);
        line.setPosition(QPointF(0, y));
        y += line.height();
    }
    block->layout->endLayout();
    block->height = y;
    const Block &made = *block;
    kept.emplace(number, std::move(block));
    return made;
}

std::size_t ByteTextEdit::blockNumberAt(std::size_t offset) const
{
    const text::TextBlocks::Block nominal = blocks_.blockAt(offset);
    // A character kept whole across the cut belongs to the block before it.
    if (nominal.piece > 0 && charset_ == Charset::Utf8 &&
        offset < edgeAfter(nominal.start, false)) {
        return nominal.number - 1;
    }
    return nominal.number;
}

int ByteTextEdit::charIndexIn(const Block &block, std::size_t offset) const
{
    const std::size_t relative = std::clamp(offset, block.start, block.end) - block.start;
    if (charset_ != Charset::Utf8) {
        return static_cast<int>(relative);
    }
    const auto &starts = block.run.starts;
    return static_cast<int>(
        std::lower_bound(starts.begin(), starts.end(), static_cast<std::uint32_t>(relative)) -
        starts.begin());
}

std::size_t ByteTextEdit::offsetIn(const Block &block, int index) const
{
    const auto at =
        static_cast<std::size_t>(std::clamp<qsizetype>(index, 0, block.run.text.size()));
    return block.start + (charset_ == Charset::Utf8 ? block.run.starts[at] : at);
}

std::size_t ByteTextEdit::snapped(std::size_t offset) const
{
    const text::TextBuffer &text = document_.text();
    if (offset >= text.size()) {
        return text.size();
    }
    const std::size_t line = text.lineOf(offset);
    if (offset > text.lineEnd(line)) {
        return text.lineEnd(line); // inside a CR LF
    }
    if (charset_ != Charset::Utf8) {
        return offset;
    }
    const Block &block = laidOut(blockNumberAt(offset));
    const auto &starts = block.run.starts;
    const auto after = std::upper_bound(starts.begin(), starts.end(),
                                        static_cast<std::uint32_t>(offset - block.start));
    return block.start + *(after - 1);
}

int ByteTextEdit::rowsOf(std::size_t number) const
{
    return laidOut(number).layout->lineCount();
}

void ByteTextEdit::relayout()
{
    layouts_->blocks.clear();
    updateScrollBar();
    viewport()->update();
}

// ---------------------------------------------------------------------------
// Scrolling

int ByteTextEdit::visibleRows() const
{
    const qreal row = QFontMetricsF(font()).lineSpacing();
    return std::max(1, static_cast<int>(viewport()->height() / row));
}

void ByteTextEdit::updateScrollBar()
{
    const QScopedValueRollback setting(settingScrollBar_, true);
    QScrollBar *bar = verticalScrollBar();
    // The bar ends where the end of the text shows at the bottom.
    const std::size_t last = blocks_.count() - 1;
    const std::size_t end = topShowingAtBottom(last, rowsOf(last) - 1).block;
    bar->setRange(0, static_cast<int>(std::min<std::size_t>(end, INT_MAX)));
    bar->setPageStep(visibleRows());
    bar->setValue(static_cast<int>(std::min<std::size_t>(topBlock_, INT_MAX)));
}

void ByteTextEdit::scrollContentsBy(int /*dx*/, int /*dy*/)
{
    if (settingScrollBar_) {
        return;
    }
    topBlock_ = static_cast<std::size_t>(verticalScrollBar()->value());
    topRow_ = 0;
    viewport()->update();
}

void ByteTextEdit::scrollToRow(std::size_t block, int row)
{
    topBlock_ = block;
    topRow_ = row;
    updateScrollBar();
    viewport()->update();
}

void ByteTextEdit::scrollByRows(int rows)
{
    std::size_t block = topBlock_;
    int row = topRow_ + rows;
    while (row < 0 && block > 0) {
        --block;
        row += rowsOf(block);
    }
    row = std::max(row, 0);
    const std::size_t last = blocks_.count() - 1;
    while (row >= rowsOf(block) && block < last) {
        row -= rowsOf(block);
        ++block;
    }
    row = std::min(row, rowsOf(block) - 1);
    // The end of the text stays at the bottom, not above it.
    const ViewTop lastTop = topShowingAtBottom(last, rowsOf(last) - 1);
    if (rows > 0 && std::pair(lastTop.block, lastTop.row) < std::pair(block, row)) {
        if (std::pair(lastTop.block, lastTop.row) < std::pair(topBlock_, topRow_)) {
            return; // already further down than the end needs
        }
        block = lastTop.block;
        row = lastTop.row;
    }
    scrollToRow(block, row);
}

QPointF ByteTextEdit::blockOrigin(std::size_t number) const
{
    qreal y = topBlock_ == 0 ? kMargin : 0;
    y -= laidOut(topBlock_).layout->lineAt(std::min(topRow_, rowsOf(topBlock_) - 1)).y();
    const qreal bottom = viewport()->height();
    for (std::size_t n = topBlock_; n < number; ++n) {
        y += laidOut(n).height;
        if (y > bottom) {
            return {kMargin, y + bottom}; // somewhere below
        }
    }
    if (number < topBlock_) {
        return {kMargin, -bottom}; // somewhere above
    }
    return {kMargin, y};
}

void ByteTextEdit::ensureVisible(std::size_t offset)
{
    const std::size_t number = blockNumberAt(offset);
    const Block &block = laidOut(number);
    const QTextLine line = block.layout->lineForTextPosition(charIndexIn(block, offset));
    const int row = line.isValid() ? line.lineNumber() : 0;
    if (number < topBlock_ || (number == topBlock_ && row < topRow_)) {
        scrollToRow(number, row);
        return;
    }
    const qreal height = viewport()->height();
    const bool near = number <= topBlock_ + static_cast<std::size_t>(visibleRows()) + 1;
    if (near) {
        const QPointF origin = blockOrigin(number);
        const qreal bottom =
            origin.y() + block.layout->lineAt(row).y() + block.layout->lineAt(row).height();
        if (bottom <= height) {
            return;
        }
    }
    // The caret's row goes to the bottom.
    const ViewTop top = topShowingAtBottom(number, row);
    scrollToRow(top.block, top.row);
}

ByteTextEdit::ViewTop ByteTextEdit::topShowingAtBottom(std::size_t block, int row) const
{
    // Walked back from that row until the view is full.
    const qreal height = viewport()->height();
    ViewTop top{block, row};
    qreal filled = laidOut(block).layout->lineAt(row).height();
    for (;;) {
        if (top.row > 0) {
            const qreal above = laidOut(top.block).layout->lineAt(top.row - 1).height();
            if (filled + above > height) {
                return top;
            }
            filled += above;
            --top.row;
        } else if (top.block > 0) {
            const Block &previous = laidOut(top.block - 1);
            const int last = previous.layout->lineCount() - 1;
            const qreal above = previous.layout->lineAt(last).height();
            if (filled + above > height) {
                return top;
            }
            filled += above;
            --top.block;
            top.row = last;
        } else {
            return top;
        }
    }
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

void ByteTextEdit::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    topRow_ = 0;
    relayout();
}

// ---------------------------------------------------------------------------
// Painting

void ByteTextEdit::paintEvent(QPaintEvent *event)
{
    QPainter painter(viewport());
    const QRect clip = event->rect();
    const QPalette &colours = palette();
    const bool focused = hasFocus();
    const std::size_t start = selectionStart();
    const std::size_t end = selectionEnd();
    const std::size_t caretBlock = blockNumberAt(selection_.position);
    const qreal bottom = viewport()->height();
    const QFont marks = markFont(font());
    QPointF origin = blockOrigin(topBlock_);
    for (std::size_t number = topBlock_; number < blocks_.count() && origin.y() < bottom;
         ++number) {
        const Block &block = laidOut(number);
        if (origin.y() + block.height >= clip.top() && origin.y() <= clip.bottom()) {
            QList<QTextLayout::FormatRange> selections;
            const bool selected = focused && start < end && start <= block.end && end > block.start;
            int selectedFrom = 0;
            int selectedTo = 0;
            if (selected) {
                QTextCharFormat format;
                format.setBackground(colours.brush(QPalette::Highlight));
                format.setForeground(colours.brush(QPalette::HighlightedText));
                selectedFrom = charIndexIn(block, start);
                selectedTo = charIndexIn(block, end);
                // A selected line break shows as a selected space at the line's end.
                if (end > block.end && block.lastOfLine) {
                    format.setProperty(QTextFormat::FullWidthSelection, false);
                }
                selections.append({selectedFrom, selectedTo - selectedFrom, format});
            }
            block.layout->draw(&painter, origin, selections, clip);
            if (selected && end > block.end && block.lastOfLine &&
                block.number + 1 < blocks_.count()) {
                const QTextLine last = block.layout->lineAt(block.layout->lineCount() - 1);
                const qreal x = origin.x() + last.naturalTextWidth();
                painter.fillRect(QRectF(x, origin.y() + last.y(),
                                        QFontMetricsF(font()).averageCharWidth(), last.height()),
                                 colours.brush(QPalette::Highlight));
            }
            if (charset_ == Charset::Utf8) {
                painter.save();
                painter.setRenderHint(QPainter::Antialiasing);
                painter.setFont(marks);
                const QString &text = block.run.text;
                for (qsizetype i = 0; i < text.size(); ++i) {
                    const std::optional<unsigned char> byte = displaytext::markedByte(text[i]);
                    if (!byte) {
                        continue;
                    }
                    const auto index = static_cast<int>(i);
                    const QTextLine line = block.layout->lineForTextPosition(index);
                    const qreal left = line.cursorToX(index);
                    const qreal right = line.cursorToX(index + 1);
                    const QRectF box = QRectF(origin.x() + left, origin.y() + line.y(),
                                              right - left, line.height())
                                           .adjusted(0.5, 1.5, -0.5, -1.5);
                    const bool inSelection =
                        selected && index >= selectedFrom && index < selectedTo;
                    painter.setPen(QPen(
                        colours.color(inSelection ? QPalette::HighlightedText : QPalette::Text),
                        1));
                    painter.setBrush(Qt::NoBrush);
                    painter.drawRoundedRect(box, 2, 2);
                    painter.drawText(box, Qt::AlignCenter, byteName(*byte));
                }
                painter.restore();
            }
            if (number == caretBlock && focused && caretShown_) {
                painter.setPen(colours.color(QPalette::Text));
                block.layout->drawCursor(&painter, origin,
                                         charIndexIn(block, selection_.position) +
                                             (preedit_.isEmpty() ? 0 : preeditCursor_),
                                         1);
            }
            if (dropAt_ && blockNumberAt(*dropAt_) == number) {
                painter.setPen(colours.color(QPalette::Text));
                block.layout->drawCursor(&painter, origin, charIndexIn(block, *dropAt_), 2);
            }
        }
        origin.ry() += block.height;
    }
}

QRect ByteTextEdit::characterRect(std::size_t offset) const
{
    const std::size_t number = blockNumberAt(offset);
    const qreal bottom = viewport()->height();
    if (number < topBlock_) {
        return {};
    }
    const QPointF origin = blockOrigin(number);
    if (origin.y() > bottom) {
        return {};
    }
    const Block &block = laidOut(number);
    const int index = charIndexIn(block, offset);
    const QTextLine line = block.layout->lineForTextPosition(index);
    if (!line.isValid()) {
        return {};
    }
    const qreal left = line.cursorToX(index);
    const qreal right = index < block.run.text.size() ? line.cursorToX(index + 1) : left + 1;
    const QRect box = QRectF(origin.x() + left, origin.y() + line.y(),
                             std::max<qreal>(1, right - left), line.height())
                          .toAlignedRect();
    // A row of the block scrolled past, or below the view, is not on screen either.
    return box.intersects(viewport()->rect()) ? box : QRect();
}

QRect ByteTextEdit::cursorRect() const
{
    QRect rect = characterRect(selection_.position);
    if (rect.isNull()) {
        return {};
    }
    if (!preedit_.isEmpty()) {
        // The caret is within the text being composed, which the layout holds at the caret.
        const Block &block = laidOut(blockNumberAt(selection_.position));
        const int index = charIndexIn(block, selection_.position) + preeditCursor_;
        const QTextLine line = block.layout->lineForTextPosition(index);
        const QPointF origin = blockOrigin(block.number);
        rect = QRectF(origin.x() + line.cursorToX(index), origin.y() + line.y(), 1, line.height())
                   .toAlignedRect();
    }
    rect.setWidth(1);
    return rect.adjusted(-1, 0, 1, 0);
}

std::size_t ByteTextEdit::offsetAt(QPoint point) const
{
    QPointF origin = blockOrigin(topBlock_);
    if (point.y() < origin.y()) {
        return topBlock_ == 0 && topRow_ == 0
                   ? 0
                   : offsetIn(laidOut(topBlock_),
                              laidOut(topBlock_).layout->lineAt(topRow_).textStart());
    }
    for (std::size_t number = topBlock_; number < blocks_.count(); ++number) {
        const Block &block = laidOut(number);
        if (point.y() < origin.y() + block.height || number + 1 == blocks_.count()) {
            const qreal y = point.y() - origin.y();
            QTextLine line = block.layout->lineAt(block.layout->lineCount() - 1);
            for (int i = 0; i < block.layout->lineCount(); ++i) {
                const QTextLine candidate = block.layout->lineAt(i);
                if (y < candidate.y() + candidate.height()) {
                    line = candidate;
                    break;
                }
            }
            return offsetIn(block, line.xToCursor(point.x() - origin.x()));
        }
        origin.ry() += block.height;
    }
    return byteCount();
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
    const Selection before = selection_;
    selection_ = {snapped(anchor), snapped(position)};
    stickyX_.reset();
    restartBlink();
    viewport()->update();
    if (!preedit_.isEmpty() && selection_.position != before.position) {
        // The caret leaves the text being composed: it goes, and the input method starts afresh.
        layouts_->blocks.erase(blockNumberAt(before.position));
        preedit_.clear();
        QGuiApplication::inputMethod()->reset();
    }
    if (selection_.position != before.position) {
        emit cursorPositionChanged();
        if (QAccessible::isActive()) {
            QAccessibleTextCursorEvent moved(
                this, static_cast<int>(characterOffset(selection_.position)));
            QAccessible::updateAccessibility(&moved);
        }
    }
    if (selection_ != before) {
        emit selectionChanged();
        // A reader says what is selected as it grows, and that it went.
        const bool wasSelected = before.anchor != before.position;
        if (QAccessible::isActive() && (hasSelection() || wasSelected)) {
            QAccessibleTextSelectionEvent selected(
                this, static_cast<int>(characterOffset(selectionStart())),
                static_cast<int>(characterOffset(selectionEnd())));
            selected.setCursorPosition(static_cast<int>(characterOffset(selection_.position)));
            QAccessible::updateAccessibility(&selected);
        }
    }
}

void ByteTextEdit::moveCursor(std::size_t position, bool select)
{
    const std::optional<qreal> sticky = stickyX_;
    setSelection(select ? selection_.anchor : position, position);
    ensureCursorVisible();
    if (select && QApplication::clipboard()->supportsSelection() && hasSelection()) {
        QApplication::clipboard()->setText(shownText(selectionStart(), selectionEnd()),
                                           QClipboard::Selection);
    }
    stickyX_ = sticky;
}

void ByteTextEdit::selectWholeText()
{
    setSelection(0, byteCount());
}

std::size_t ByteTextEdit::nextCharacter(std::size_t offset) const
{
    const text::TextBuffer &text = document_.text();
    if (offset >= text.size()) {
        return text.size();
    }
    const Block &block = laidOut(blockNumberAt(offset));
    const int index = charIndexIn(block, offset);
    if (index < block.run.text.size()) {
        return offsetIn(block, block.layout->nextCursorPosition(index));
    }
    const std::size_t line = text.lineOf(offset);
    return line + 1 < text.lineCount() ? text.lineStart(line + 1) : text.size();
}

std::size_t ByteTextEdit::previousCharacter(std::size_t offset) const
{
    if (offset == 0) {
        return 0;
    }
    const text::TextBuffer &text = document_.text();
    const Block &block = laidOut(blockNumberAt(offset));
    const int index = charIndexIn(block, offset);
    if (index > 0) {
        return offsetIn(block, block.layout->previousCursorPosition(index));
    }
    if (block.number > 0 && blocks_.block(block.number).piece > 0) {
        const Block &before = laidOut(block.number - 1);
        return offsetIn(before, before.layout->previousCursorPosition(
                                    static_cast<int>(before.run.text.size())));
    }
    return text.lineEnd(text.lineOf(offset) - 1);
}

bool ByteTextEdit::continuesLine(std::size_t number) const
{
    return number > 0 && blocks_.block(number).piece > 0;
}

// A word, or the blanks next to one, may go on across the edges between a
// line's blocks: an edge stops the caret only where a word begins at it.
std::size_t ByteTextEdit::nextWord(std::size_t offset) const
{
    const Block *block = &laidOut(blockNumberAt(offset));
    const int index = charIndexIn(*block, offset);
    if (index >= block->run.text.size()) {
        return nextCharacter(offset);
    }
    int next = block->layout->nextCursorPosition(index, QTextLayout::SkipWords);
    while (next == block->run.text.size() && !block->lastOfLine) {
        const bool afterBlank = block->run.text.back().isSpace();
        block = &laidOut(block->number + 1);
        if (block->run.text.isEmpty() || (afterBlank && !block->run.text.front().isSpace())) {
            return block->start;
        }
        next = block->layout->nextCursorPosition(0, QTextLayout::SkipWords);
    }
    return offsetIn(*block, next);
}

std::size_t ByteTextEdit::previousWord(std::size_t offset) const
{
    const Block *block = &laidOut(blockNumberAt(offset));
    const int index = charIndexIn(*block, offset);
    if (index == 0 && !continuesLine(block->number)) {
        return previousCharacter(offset);
    }
    int previous =
        index == 0 ? 0 : block->layout->previousCursorPosition(index, QTextLayout::SkipWords);
    bool moved = index > 0;
    while (previous == 0 && continuesLine(block->number)) {
        const std::size_t edge = block->start;
        const bool wordBegins =
            moved && !block->run.text.isEmpty() && !block->run.text.front().isSpace();
        block = &laidOut(block->number - 1);
        if (block->run.text.isEmpty() || (wordBegins && block->run.text.back().isSpace())) {
            return edge;
        }
        previous = block->layout->previousCursorPosition(static_cast<int>(block->run.text.size()),
                                                         QTextLayout::SkipWords);
        moved = true;
    }
    return offsetIn(*block, previous);
}

ByteTextEdit::Selection ByteTextEdit::wordAt(std::size_t offset) const
{
    const Block &block = laidOut(blockNumberAt(offset));
    const QString &text = block.run.text;
    int index = charIndexIn(block, offset);
    if (index >= text.size()) {
        if (index == 0) {
            return {offset, offset};
        }
        --index;
    }
    if (!isWordCharacter(text[index])) {
        return {offsetIn(block, index), offsetIn(block, block.layout->nextCursorPosition(index))};
    }
    int first = index;
    while (first > 0 && isWordCharacter(text[first - 1])) {
        --first;
    }
    int last = index + 1;
    while (last < text.size() && isWordCharacter(text[last])) {
        ++last;
    }
    Selection word{offsetIn(block, first), offsetIn(block, last)};
    // The word may go on across the line's block edges.
    const std::size_t number = block.number;
    const bool toEnd = last == text.size() && !block.lastOfLine;
    for (std::size_t before = number; first == 0 && continuesLine(before); --before) {
        const Block &previous = laidOut(before - 1);
        first = static_cast<int>(previous.run.text.size());
        while (first > 0 && isWordCharacter(previous.run.text[first - 1])) {
            --first;
        }
        word.anchor = offsetIn(previous, first);
    }
    for (std::size_t after = number + 1; toEnd && after < blocks_.count(); ++after) {
        const Block &next = laidOut(after);
        last = 0;
        while (last < next.run.text.size() && isWordCharacter(next.run.text[last])) {
            ++last;
        }
        word.position = offsetIn(next, last);
        if (last < next.run.text.size() || next.lastOfLine) {
            break;
        }
    }
    return word;
}

std::size_t ByteTextEdit::rowStart(std::size_t offset) const
{
    const Block &block = laidOut(blockNumberAt(offset));
    const QTextLine line = block.layout->lineForTextPosition(charIndexIn(block, offset));
    return offsetIn(block, line.textStart());
}

std::size_t ByteTextEdit::rowEnd(std::size_t offset) const
{
    const Block &block = laidOut(blockNumberAt(offset));
    const QTextLine line = block.layout->lineForTextPosition(charIndexIn(block, offset));
    int end = line.textStart() + line.textLength();
    // A row that wraps ends before the blank it wrapped at.
    if (end < block.run.text.size() && end > line.textStart()) {
        end = block.layout->previousCursorPosition(end);
    }
    return offsetIn(block, end);
}

std::size_t ByteTextEdit::movedByRows(std::size_t offset, int rows)
{
    std::size_t number = blockNumberAt(offset);
    const Block *block = &laidOut(number);
    const int index = charIndexIn(*block, offset);
    QTextLine line = block->layout->lineForTextPosition(index);
    if (!stickyX_) {
        stickyX_ = line.cursorToX(index);
    }
    int row = line.lineNumber() + rows;
    const std::size_t last = blocks_.count() - 1;
    while (row < 0) {
        if (number == 0) {
            return 0;
        }
        --number;
        row += rowsOf(number);
    }
    while (row >= rowsOf(number)) {
        if (number == last) {
            return byteCount();
        }
        row -= rowsOf(number);
        ++number;
    }
    block = &laidOut(number);
    line = block->layout->lineAt(row);
    return offsetIn(*block, line.xToCursor(*stickyX_));
}

// ---------------------------------------------------------------------------
// Keys

bool ByteTextEdit::handleStandardKey(QKeyEvent *event)
{
    struct Move
    {
        QKeySequence::StandardKey move;
        QKeySequence::StandardKey select;
        std::size_t (ByteTextEdit::*to)(std::size_t) const;
    };
    static const Move moves[] = {
        {QKeySequence::MoveToNextChar, QKeySequence::SelectNextChar, &ByteTextEdit::nextCharacter},
        {QKeySequence::MoveToPreviousChar, QKeySequence::SelectPreviousChar,
         &ByteTextEdit::previousCharacter},
        {QKeySequence::MoveToNextWord, QKeySequence::SelectNextWord, &ByteTextEdit::nextWord},
        {QKeySequence::MoveToPreviousWord, QKeySequence::SelectPreviousWord,
         &ByteTextEdit::previousWord},
        {QKeySequence::MoveToStartOfLine, QKeySequence::SelectStartOfLine, &ByteTextEdit::rowStart},
        {QKeySequence::MoveToEndOfLine, QKeySequence::SelectEndOfLine, &ByteTextEdit::rowEnd},
    };
    for (const Move &move : moves) {
        const bool select = event->matches(move.select);
        if (select || event->matches(move.move)) {
            std::size_t to = (this->*move.to)(selection_.position);
            // Left and right without Shift end a selection at its edge.
            if (!select && hasSelection() && move.move == QKeySequence::MoveToNextChar) {
                to = selectionEnd();
            } else if (!select && hasSelection() && move.move == QKeySequence::MoveToPreviousChar) {
                to = selectionStart();
            }
            stickyX_.reset();
            moveCursor(to, select);
            stickyX_.reset();
            return true;
        }
    }
    const auto vertical = [&](QKeySequence::StandardKey moveKey,
                              QKeySequence::StandardKey selectKey, int rows, bool page) {
        const bool select = event->matches(selectKey);
        if (!select && !event->matches(moveKey)) {
            return false;
        }
        const std::size_t to = movedByRows(selection_.position, rows);
        if (page) {
            scrollByRows(rows);
        }
        moveCursor(to, select);
        return true;
    };
    const int page = std::max(1, visibleRows() - 1);
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
            editBytes(previousCharacter(selection_.position), selection_.position, {},
                      TextDocument::EditKind::Step);
        } else {
            editBytes(selection_.position, nextCharacter(selection_.position), {},
                      TextDocument::EditKind::Step);
        }
        return true;
    }
    if (event->matches(QKeySequence::DeleteStartOfWord) ||
        event->matches(QKeySequence::DeleteEndOfWord)) {
        if (hasSelection()) {
            deleteSelection();
        } else if (event->matches(QKeySequence::DeleteStartOfWord)) {
            editBytes(previousWord(selection_.position), selection_.position, {},
                      TextDocument::EditKind::Step);
        } else {
            editBytes(selection_.position, nextWord(selection_.position), {},
                      TextDocument::EditKind::Step);
        }
        return true;
    }
    return false;
}

bool ByteTextEdit::event(QEvent *event)
{
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
    if (charsetChoice_ && event->keyCombination() == kCharsetKey) {
        chooseCharset(charset_ == Charset::Utf8 ? Charset::Windows1252 : Charset::Utf8);
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
    if (handleStandardKey(event)) {
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
            displaytext::sanitized(event->text(), displaytext::Breaks::AsLineBreaks, charset_);
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

void ByteTextEdit::tellLeftOut(const QString &leftOut)
{
    if (!leftOut.isEmpty()) {
        displaytext::tellLeftOut(*viewport(), cursorRect(), leftOut);
    }
}

void ByteTextEdit::keyReleaseEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_A && event->modifiers() == Qt::ControlModifier) {
        selectWholeText();
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
    if (!preedit_.isEmpty()) {
        // The text composed so far goes, whatever takes its place.
        layouts_->blocks.erase(blockNumberAt(selection_.position));
        preedit_.clear();
    }
    if (!commit.isEmpty() || event->replacementLength() > 0) {
        std::size_t from = selectionStart();
        std::size_t to = selectionEnd();
        if (event->replacementLength() > 0 || event->replacementStart() != 0) {
            // The replacement counts characters from the caret within its block.
            const Block &block = laidOut(blockNumberAt(selection_.position));
            const int caret = charIndexIn(block, selection_.position);
            const int first = caret + event->replacementStart();
            from = offsetIn(block, first);
            to = offsetIn(block, first + event->replacementLength());
        }
        const auto fixed =
            displaytext::sanitized(commit, displaytext::Breaks::AsLineBreaks, charset_);
        // Nothing the set holds and nothing to replace: the selection stays, as for a key.
        if (!fixed.text.isEmpty() || event->replacementLength() > 0) {
            setSelection(from, to);
            insertShown(fixed.text, fixed.text.contains(u'\n') ? TextDocument::EditKind::Step
                                                               : TextDocument::EditKind::Typing);
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
    layouts_->blocks.erase(blockNumberAt(selection_.position));
    viewport()->update();
    event->accept();
}

QVariant ByteTextEdit::inputMethodQuery(Qt::InputMethodQuery query) const
{
    const Block &block = laidOut(blockNumberAt(selection_.position));
    const int caret = charIndexIn(block, selection_.position);
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
        return charIndexIn(block, selection_.anchor);
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
// Undo

void ByteTextEdit::undo()
{
    guarded(*this, cursorRect(), [&] {
        const Before was = takeBefore(0, 0);
        if (const std::optional<TextDocument::Restored> restored = document_.undo()) {
            followChange(restored->change, was, restored->selection);
        }
    });
}

void ByteTextEdit::redo()
{
    guarded(*this, cursorRect(), [&] {
        const Before was = takeBefore(0, 0);
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
// The clipboard

QMimeData *ByteTextEdit::mimeDataFromSelection() const
{
    auto *mime = new QMimeData;
    mime->setText(shownText(selectionStart(), selectionEnd()));
    return mime;
}

void ByteTextEdit::copy()
{
    if (hasSelection()) {
        guarded(*this, cursorRect(),
                [this] { QApplication::clipboard()->setMimeData(mimeDataFromSelection()); });
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
    guarded(*this, cursorRect(), [&] {
        const auto fixed =
            displaytext::sanitized(source->text(), displaytext::Breaks::AsLineBreaks, charset_);
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
    wordAnchor_ = wordAt(offsetAt(event->position().toPoint()));
    setSelection(wordAnchor_.anchor, wordAnchor_.position);
    if (QApplication::clipboard()->supportsSelection() && hasSelection()) {
        QApplication::clipboard()->setText(shownText(selectionStart(), selectionEnd()),
                                           QClipboard::Selection);
    }
    pressedAt_ = event->position().toPoint();
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
        const Selection word = wordAt(offset);
        if (offset < wordAnchor_.anchor) {
            setSelection(wordAnchor_.position, word.anchor);
        } else {
            setSelection(wordAnchor_.anchor, std::max(word.position, wordAnchor_.position));
        }
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

void ByteTextEdit::focusInEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusInEvent(event);
    restartBlink();
    viewport()->update();
}

void ByteTextEdit::focusOutEvent(QFocusEvent *event)
{
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
    if (charset == charset_) {
        return;
    }
    charset_ = charset;
    blocks_.rebuild();
    layouts_->blocks.clear();
    const Selection kept = selection_;
    selection_ = {snapped(kept.anchor), snapped(kept.position)};
    updateScrollBar();
    viewport()->update();
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
    setCharset(charset);
    emit charsetChosen(charset);
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
    add(tr("Select All"), QKeySequence::SelectAll, "select-all", byteCount() > 0,
        [this] { selectWholeText(); });
    if (charsetChoice_) {
        menu.addSeparator();
        QMenu *choice = menu.addMenu(tr("Character &Set"));
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
    const bool within = event->source() == viewport() || event->source() == this;
    event->setDropAction(within && event->possibleActions().testFlag(Qt::MoveAction)
                             ? Qt::MoveAction
                             : Qt::CopyAction);
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
    const bool within = event->source() == viewport() || event->source() == this;
    if (within && event->possibleActions().testFlag(Qt::MoveAction)) {
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
    if (event->type() != QEvent::ToolTip || charset_ != Charset::Utf8) {
        return QAbstractScrollArea::viewportEvent(event);
    }
    const auto *help = static_cast<QHelpEvent *>(event);
    const std::size_t near = offsetAt(help->pos());
    for (const std::size_t offset : {previousCharacter(near), near}) {
        if (offset >= byteCount()) {
            continue;
        }
        const Block &block = laidOut(blockNumberAt(offset));
        const int index = charIndexIn(block, offset);
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

void ByteTextEdit::announceChange(const ByteChange &change, const Before &was)
{
    if (!QAccessible::isActive()) {
        return;
    }
    // From the start of the character that holds the change: bytes added next
    // to a lone CR or to part of a UTF-8 character change the character shown there.
    const std::size_t start = snapped(change.from);
    const QString added = shownText(start, change.from + change.added);
    const std::size_t removedCount =
        was.characters + static_cast<std::size_t>(added.size()) - characterCount();
    // A reader speaks what was removed: the characters kept before the change,
    // or as many blanks where they were not.
    const QString removed = static_cast<std::size_t>(was.removed.size()) == removedCount
                                ? was.removed
                                : QString(static_cast<qsizetype>(removedCount), QChar::Space);
    const auto at = static_cast<int>(characterOffset(start));
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

} // namespace lorimand

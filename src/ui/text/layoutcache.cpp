#include "ui/text/layoutcache.h"

#include <algorithm>
#include <new>
#include <utility>

#include <QFontMetricsF>
#include <QTextOption>

namespace lorimand {

namespace {

using displaytext::Charset;

constexpr qreal kTabStop = 80;
// Layouts kept past what a screen needs before trim() lets go of them.
constexpr std::size_t kKeptLayouts = 512;

// The text a block's layout holds: what it shows, but a soft hyphen as a
// hyphen. Qt shows a soft hyphen only where a row breaks at it, and how wide it
// is there depends on how the row was reached; the area shows every byte, the
// same way whatever came before. One character for one, so indices stay.
[[nodiscard]] QString laidOutText(QString shown)
{
    shown.replace(QChar(0x00AD), QChar(0x2010));
    return shown;
}

} // namespace

QFont markFont(QFont font)
{
    font.setPointSizeF(font.pointSizeF() * 0.75);
    font.setBold(false);
    return font;
}

int LayoutCache::Block::indexOf(std::size_t offset) const
{
    const std::size_t relative = std::clamp(offset, start, end) - start;
    if (run.starts.empty()) {
        return static_cast<int>(relative);
    }
    return static_cast<int>(std::lower_bound(run.starts.begin(), run.starts.end(),
                                             static_cast<std::uint32_t>(relative)) -
                            run.starts.begin());
}

std::size_t LayoutCache::Block::offsetOf(int index) const
{
    const auto at = static_cast<std::size_t>(std::clamp<qsizetype>(index, 0, run.text.size()));
    return start + (run.starts.empty() ? at : run.starts[at]);
}

QTextLine LayoutCache::Block::rowAt(std::size_t offset) const
{
    const QTextLine row = layout.lineForTextPosition(indexOf(offset));
    return row.isValid() ? row : layout.lineAt(0);
}

LayoutCache::LayoutCache(const text::TextBuffer &text) : text_(text), blocks_(text) {}

void LayoutCache::setCharset(Charset charset)
{
    if (charset != charset_) {
        charset_ = charset;
        dropAll();
    }
}

void LayoutCache::setFont(const QFont &font)
{
    if (font != font_) {
        font_ = font;
        dropAll();
    }
}

void LayoutCache::setWidth(qreal width)
{
    width = std::max<qreal>(1, width);
    if (width != width_) {
        width_ = width;
        dropAll();
    }
}

void LayoutCache::dropAll()
{
    kept_.clear();
}

void LayoutCache::rebuild()
{
    blocks_.rebuild();
    dropAll();
}

void LayoutCache::follow(const text::ByteChange &change, std::size_t linesBefore)
{
    const std::size_t blocksBefore = blocks_.count();
    blocks_.update(change, linesBefore);
    if (change.from == 0 && change.added == text_.size()) {
        dropAll();
        return;
    }
    // A block well before the change keeps its layout; one of a line after the
    // change's lines keeps it too, under its new number. Four bytes either side
    // cover a CR LF made or broken at the edge and a UTF-8 character kept whole
    // across a cut.
    const std::size_t changeEnd = change.from + change.added;
    const auto linesAdded =
        static_cast<std::ptrdiff_t>(text_.lineCount()) - static_cast<std::ptrdiff_t>(linesBefore);
    const auto lastLineBefore = static_cast<std::size_t>(
        static_cast<std::ptrdiff_t>(text_.lineOf(std::min(changeEnd + 4, text_.size()))) -
        linesAdded);
    const auto blocksAdded =
        static_cast<std::ptrdiff_t>(blocks_.count()) - static_cast<std::ptrdiff_t>(blocksBefore);
    const auto bytesAdded =
        static_cast<std::ptrdiff_t>(change.added) - static_cast<std::ptrdiff_t>(change.removed);
    const auto moved = [](std::size_t value, std::ptrdiff_t by) {
        return static_cast<std::size_t>(static_cast<std::ptrdiff_t>(value) + by);
    };
    // The text has changed already: running out of memory here lets every
    // layout go, which costs only laying the blocks on screen out again.
    try {
        std::unordered_map<std::size_t, std::unique_ptr<Block>> still;
        for (auto &[number, block] : kept_) {
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
        kept_ = std::move(still);
    } catch (const std::bad_alloc &) {
        dropAll();
    }
}

std::size_t LayoutCache::edgeAfter(std::size_t nominal, bool lineEnds) const
{
    if (charset_ != Charset::Utf8 || lineEnds) {
        return nominal;
    }
    const std::size_t from = nominal - std::min<std::size_t>(nominal, 3);
    const std::string around = text_.bytes(from, std::min(text_.size(), nominal + 3));
    return nominal + displaytext::characterTail(around, nominal - from);
}

const LayoutCache::Block &LayoutCache::block(std::size_t number) const
{
    if (const auto found = kept_.find(number); found != kept_.end()) {
        return *found->second;
    }
    const text::TextBlocks::Block nominal = blocks_.block(number);
    auto block = std::make_unique<Block>();
    block->number = number;
    block->line = nominal.line;
    block->lastOfLine = nominal.lastOfLine;
    block->start = nominal.piece == 0 ? nominal.start : edgeAfter(nominal.start, false);
    block->end = edgeAfter(nominal.end, nominal.lastOfLine);
    block->run = displaytext::shownRun(text_.bytes(block->start, block->end), charset_);
    layOut(*block);
    return *kept_.emplace(number, std::move(block)).first->second;
}

QList<QTextLayout::FormatRange> LayoutCache::markFormats(const QString &text) const
{
    // Each mark takes the width of the box it is drawn as, and its glyph is hidden.
    QList<QTextLayout::FormatRange> formats;
    if (charset_ != Charset::Utf8) {
        return formats;
    }
    const QFontMetricsF metrics(font_);
    const qreal box = QFontMetricsF(markFont(font_)).horizontalAdvance(QStringLiteral("DD")) +
                      metrics.averageCharWidth() / 2;
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
    return formats;
}

void LayoutCache::layOut(Block &block) const
{
    QTextLayout &layout = block.layout;
    layout.setText(laidOutText(block.run.text));
    layout.setFont(font_);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setTabStopDistance(kTabStop);
    layout.setTextOption(option);
    layout.setCacheEnabled(true);
    layout.setFormats(markFormats(block.run.text));
    qreal y = 0;
    layout.beginLayout();
    for (QTextLine row = layout.createLine(); row.isValid(); row = layout.createLine()) {
        row.setLineWidth(width_);
        row.setPosition(QPointF(0, y));
        y += row.height();
    }
    layout.endLayout();
    block.height = y;
}

std::unique_ptr<QTextLayout> LayoutCache::withPreedit(const Block &block, int index,
                                                      const QString &preedit) const
{
    auto layout = std::make_unique<QTextLayout>(laidOutText(block.run.text), font_);
    layout->setTextOption(block.layout.textOption());
    layout->setCacheEnabled(true);
    layout->setPreeditArea(index, preedit);
    QList<QTextLayout::FormatRange> formats = markFormats(block.run.text);
    QTextCharFormat underlined;
    underlined.setFontUnderline(true);
    formats.append({index, static_cast<int>(preedit.size()), underlined});
    layout->setFormats(formats);
    qreal y = 0;
    layout->beginLayout();
    for (QTextLine row = layout->createLine(); row.isValid(); row = layout->createLine()) {
        row.setLineWidth(width_);
        row.setPosition(QPointF(0, y));
        y += row.height();
    }
    layout->endLayout();
    return layout;
}

std::size_t LayoutCache::blockNumberAt(std::size_t offset) const
{
    const text::TextBlocks::Block nominal = blocks_.blockAt(offset);
    // A character kept whole across the cut belongs to the block before it.
    if (nominal.piece > 0 && charset_ == Charset::Utf8 &&
        offset < edgeAfter(nominal.start, false)) {
        return nominal.number - 1;
    }
    return nominal.number;
}

bool LayoutCache::continuesLine(std::size_t number) const
{
    return number > 0 && blocks_.block(number).piece > 0;
}

std::size_t LayoutCache::snapped(std::size_t offset) const
{
    if (offset >= text_.size()) {
        return text_.size();
    }
    const std::size_t line = text_.lineOf(offset);
    if (offset > text_.lineEnd(line)) {
        return text_.lineEnd(line); // inside a CR LF
    }
    if (charset_ != Charset::Utf8) {
        return offset;
    }
    const Block &at = blockAt(offset);
    const auto &starts = at.run.starts;
    const auto after = std::upper_bound(starts.begin(), starts.end(),
                                        static_cast<std::uint32_t>(offset - at.start));
    return at.start + *(after - 1);
}

std::vector<std::size_t> LayoutCache::keptBlocks() const
{
    std::vector<std::size_t> numbers;
    numbers.reserve(kept_.size());
    for (const auto &entry : kept_) {
        numbers.push_back(entry.first);
    }
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

void LayoutCache::trim(std::size_t from, std::size_t count)
{
    if (kept_.size() <= kKeptLayouts) {
        return;
    }
    const std::size_t low = from - std::min(from, count);
    const std::size_t high = from + 2 * count;
    std::erase_if(kept_,
                  [&](const auto &entry) { return entry.first < low || entry.first > high; });
}

} // namespace lorimand

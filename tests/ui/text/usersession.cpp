#include "ui/text/usersession.h"

#include <algorithm>
#include <deque>
#include <sstream>
#include <tuple>

#include <QApplication>
#include <QClipboard>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTest>
#include <QTextBoundaryFinder>
#include <QWheelEvent>

#include "text/textblocks.h"
#include "ui/text/displaytext.h"
#include "ui/text/layoutcheck.h"

namespace lorimand::testing {

namespace {

using displaytext::Charset;
using Selection = ByteTextEdit::Selection;
using History = ByteTextEdit::History;

constexpr std::size_t kBlock = text::TextBlocks::kBlockBytes;
// Whole texts the undo history keeps, as the area's default limits say.
constexpr std::size_t kKeptWholes = ByteTextEdit::UndoLimits{}.steps;

// The input taken apart from the front; an exhausted input gives zeros.
class Reader
{
public:
    explicit Reader(std::string_view input) : input_(input) {}
    [[nodiscard]] bool done() const { return input_.empty(); }
    [[nodiscard]] unsigned byte()
    {
        if (input_.empty()) {
            return 0;
        }
        const auto value = static_cast<unsigned char>(input_.front());
        input_.remove_prefix(1);
        return value;
    }
    [[nodiscard]] unsigned below(unsigned limit) { return byte() % limit; }

private:
    std::string_view input_;
};

// Characters a text is made of: each kind a line may hold.
void appendCharacter(Reader &in, std::string &out)
{
    static const char *const kUtf8[] = {
        "\xC3\xA4", "\xE4\xB8\xAD", "\xF0\x9F\x98\x80", "\xE2\x82\xAC", "\xC3", "\xE4\xB8", "\xBF"};
    switch (in.below(10)) {
    case 0:
        out += ' ';
        break;
    case 1:
        out += '\0';
        break;
    case 2:
        out += static_cast<char>(0x80 + in.below(0x20)); // C1, or an 8-bit set's own
        break;
    case 3:
        out += static_cast<char>(0xA0 + in.below(0x60));
        break;
    case 4:
        out += kUtf8[in.below(std::size(kUtf8))];
        break;
    case 5:
        out += '\t';
        break;
    default:
        out += static_cast<char>('a' + in.below(26));
        break;
    }
}

// A text of a few lines with every kind of line end, some lines longer than a
// block, and UTF-8 characters across the blocks' edges.
std::string makeText(Reader &in)
{
    std::string text;
    const unsigned lines = 1 + in.below(8);
    for (unsigned line = 0; line < lines; ++line) {
        const unsigned shape = in.below(16);
        std::size_t length = in.below(24);
        if (shape == 0) {
            length = kBlock - 4 + in.below(9);
        } else if (shape == 1) {
            length = 2 * kBlock - 3 + in.below(7);
        }
        const std::size_t start = text.size();
        // Long lines are mostly one character repeated, to keep the input short.
        std::string unit;
        appendCharacter(in, unit);
        while (text.size() - start < length) {
            if (length > 64 && (text.size() - start) % 61 != 0) {
                text += unit;
            } else {
                appendCharacter(in, text);
            }
        }
        if (line + 1 < lines) {
            static const char *const kBreaks[] = {"\r\n", "\n", "\r", "\r\n", "\r\r\n", "\n\r"};
            text += kBreaks[in.below(std::size(kBreaks))];
        }
    }
    return text;
}

QString typedText(Reader &in)
{
    static const char16_t kTyped[] = {u'a', u'Z', u' ', u'\u00E9', u'\u20AC', u'\u4E2D', u'\u00FF'};
    return QString(QChar(kTyped[in.below(std::size(kTyped))]));
}

// Bytes [from, to) of a line as the area shows them.
[[nodiscard]] QString shown(std::string_view bytes, Charset charset)
{
    return displaytext::shownRun(bytes, charset).text;
}

// Whether a step may change the text or how it is laid out, so that an area
// laid out afresh must be made to compare with.
[[nodiscard]] bool changesText(const UserStep &step)
{
    if (step.kind != UserStep::Kind::Key) {
        return step.kind == UserStep::Kind::Replace || step.kind == UserStep::Kind::Splice ||
               step.kind == UserStep::Kind::Resize;
    }
    if (!step.text.isEmpty() || step.key == ByteTextEdit::kCharsetKey) {
        return true;
    }
    switch (step.key.key()) {
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
    case Qt::Key_Return:
    case Qt::Key_Tab:
    case Qt::Key_X:
    case Qt::Key_V:
    case Qt::Key_Z:
        return true;
    default:
        return false;
    }
}

} // namespace

UserStep UserStep::press(QKeyCombination key, QString text)
{
    UserStep step;
    step.key = key;
    step.text = std::move(text);
    return step;
}

UserStep UserStep::load(std::string bytes)
{
    UserStep step;
    step.kind = Kind::Replace;
    step.bytes = std::move(bytes);
    return step;
}

std::string UserStep::describe() const
{
    std::ostringstream out;
    const auto quoted = [](const std::string &raw) {
        std::string q = "\"";
        for (const char c : raw.substr(0, 80)) {
            const auto u = static_cast<unsigned char>(c);
            if (u >= 0x20 && u < 0x7F && c != '\\' && c != '"') {
                q += c;
            } else {
                static const char kHex[] = "0123456789abcdef";
                q += "\\x";
                q += kHex[u >> 4];
                q += kHex[u & 15];
            }
        }
        return q + (raw.size() > 80 ? "...\"" : "\"") + " (" + std::to_string(raw.size()) +
               " bytes)";
    };
    switch (kind) {
    case Kind::Key:
        out << "key " << QKeySequence(key).toString().toStdString();
        if (!text.isEmpty()) {
            out << " typing U+" << std::hex << static_cast<unsigned>(text.front().unicode())
                << std::dec;
        }
        break;
    case Kind::Click:
        out << "click at " << x << "," << y
            << (key.keyboardModifiers().testFlag(Qt::ShiftModifier) ? " with Shift" : "");
        break;
    case Kind::DoubleClick:
        out << "double click at " << x << "," << y;
        break;
    case Kind::TripleClick:
        out << "triple click at " << x << "," << y;
        break;
    case Kind::Drag:
        out << "drag from " << x << "," << y << " to " << to.x() << "," << to.y();
        break;
    case Kind::Wheel:
        out << "wheel " << amount << " rows";
        break;
    case Kind::ScrollBar:
        out << "scroll bar to " << amount << "/1000";
        break;
    case Kind::Replace:
        out << (history == History::Automatic ? "automatic replacement " : "replacement ")
            << quoted(bytes);
        break;
    case Kind::Splice:
        out << "automatic splice [" << x << ", " << y << ") = " << quoted(bytes);
        break;
    case Kind::Resize:
        out << "resize to " << x << "x" << y;
        break;
    }
    return out.str();
}

std::vector<UserStep> userSteps(std::string_view input)
{
    Reader in(input);
    std::vector<UserStep> steps;
    // The text is loaded first, as a user's text is.
    steps.push_back(UserStep::load(makeText(in)));
    static const Qt::Key kMoves[] = {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up,     Qt::Key_Down,
                                     Qt::Key_Home, Qt::Key_End,   Qt::Key_PageUp, Qt::Key_PageDown};
    while (!in.done()) {
        const unsigned op = in.below(32);
        const bool shift = (op & 1) != 0;
        const Qt::KeyboardModifiers selecting = shift ? Qt::ShiftModifier : Qt::NoModifier;
        UserStep step;
        if (op < 8) {
            step = UserStep::press({Qt::Key_A}, typedText(in));
        } else if (op < 14) {
            step = UserStep::press(QKeyCombination(selecting, kMoves[in.below(std::size(kMoves))]));
        } else if (op < 16) {
            static const Qt::Key kCtrlMoves[] = {Qt::Key_Home, Qt::Key_End, Qt::Key_Left,
                                                 Qt::Key_Right};
            step = UserStep::press(QKeyCombination(selecting | Qt::ControlModifier,
                                                   kCtrlMoves[in.below(std::size(kCtrlMoves))]));
        } else if (op < 18) {
            step = UserStep::press({Qt::Key_Backspace});
        } else if (op < 19) {
            step = UserStep::press({Qt::Key_Delete});
        } else if (op < 20) {
            step = UserStep::press({Qt::Key_Return});
        } else if (op < 22) {
            static const QKeyCombination kCommands[] = {
                QKeyCombination(Qt::ControlModifier, Qt::Key_A),
                QKeyCombination(Qt::ControlModifier, Qt::Key_X),
                QKeyCombination(Qt::ControlModifier, Qt::Key_C),
                QKeyCombination(Qt::ControlModifier, Qt::Key_V),
                QKeyCombination(Qt::ControlModifier, Qt::Key_Z),
                QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z),
                QKeyCombination(Qt::ControlModifier, Qt::Key_Backspace),
                QKeyCombination(Qt::ControlModifier, Qt::Key_Delete),
                QKeyCombination(Qt::Key_Tab),
                ByteTextEdit::kCharsetKey,
            };
            step = UserStep::press(kCommands[in.below(std::size(kCommands))]);
        } else if (op < 25) {
            static const UserStep::Kind kKinds[] = {
                UserStep::Kind::Click, UserStep::Kind::Click, UserStep::Kind::DoubleClick,
                UserStep::Kind::TripleClick, UserStep::Kind::Drag};
            step.kind = kKinds[in.below(std::size(kKinds))];
            step.key = QKeyCombination(selecting, Qt::Key_unknown);
            step.x = static_cast<int>(in.below(256) * 2);
            step.y = static_cast<int>(in.below(256));
            step.to = QPoint(static_cast<int>(in.below(256) * 2), static_cast<int>(in.below(256)));
        } else if (op < 26) {
            step.kind = UserStep::Kind::Wheel;
            step.amount = static_cast<int>(in.below(13)) - 6;
        } else if (op < 27) {
            step.kind = UserStep::Kind::ScrollBar;
            step.amount = static_cast<int>(in.below(251)) * 4;
        } else if (op < 29) {
            step.kind = UserStep::Kind::Replace;
            static const History kHistories[] = {History::Step, History::Automatic,
                                                 History::Automatic, History::Fresh};
            step.history = kHistories[in.below(std::size(kHistories))];
            step.bytes = makeText(in);
        } else if (op < 31) {
            step.kind = UserStep::Kind::Splice;
            // Where the splice goes is a share of the text: the session fits it.
            step.x = static_cast<int>(in.below(256));
            step.y = static_cast<int>(in.below(8));
            std::string bytes;
            for (unsigned n = in.below(4); n > 0; --n) {
                appendCharacter(in, bytes);
            }
            if (in.below(4) == 0) {
                bytes += in.below(2) == 0 ? "\r\n" : "\n";
            }
            step.bytes = bytes;
        } else {
            step.kind = UserStep::Kind::Resize;
            static const int kWidths[] = {90, 160, 320, 640};
            static const int kHeights[] = {40, 120, 300};
            step.x = kWidths[in.below(std::size(kWidths))];
            step.y = kHeights[in.below(std::size(kHeights))];
        }
        steps.push_back(std::move(step));
    }
    return steps;
}

// ---------------------------------------------------------------------------
// The model: the bytes, the caret and the selection, and the undo history, kept
// as plainly as can be: whole copies of the text.

struct UserSession::Model
{
    std::string bytes;
    Selection selection;
    Charset charset = Charset::Windows1252;
    std::optional<QString> clipboard;

    struct Step
    {
        std::string before;
        std::string after;
        Selection selectionBefore;
        std::size_t caretAfter = 0;
        std::size_t typedEnd = 0;
        bool whole = false;
        bool typing = false;
        bool automatic = false;
    };
    std::deque<Step> undo;
    std::vector<Step> redo;
    bool latestOpen = false;
    bool automaticShown = false;

    // Lines: each ends at an LF, its characters at the CR of a CR LF.
    [[nodiscard]] std::size_t lineOf(std::size_t offset) const
    {
        return static_cast<std::size_t>(
            std::count(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(offset), '\n'));
    }
    [[nodiscard]] std::size_t lineStart(std::size_t offset) const
    {
        const std::size_t lf = offset == 0 ? std::string::npos : bytes.rfind('\n', offset - 1);
        return lf == std::string::npos ? 0 : lf + 1;
    }
    [[nodiscard]] std::size_t lineEnd(std::size_t offset) const
    {
        const std::size_t lf = bytes.find('\n', offset);
        if (lf == std::string::npos) {
            return bytes.size();
        }
        return lf > lineStart(offset) && bytes[lf - 1] == '\r' ? lf - 1 : lf;
    }
    // Where the line after the one holding `offset` starts, or the end.
    [[nodiscard]] std::size_t nextLineStart(std::size_t offset) const
    {
        const std::size_t lf = bytes.find('\n', offset);
        return lf == std::string::npos ? bytes.size() : lf + 1;
    }

    // The characters of the line holding `offset` and where each starts.
    struct Line
    {
        std::size_t start = 0;
        displaytext::ShownRun run;
        [[nodiscard]] std::size_t offsetOf(qsizetype index) const
        {
            const auto i = static_cast<std::size_t>(index);
            return start + (run.starts.empty() ? i : run.starts[i]);
        }
        [[nodiscard]] qsizetype indexOf(std::size_t offset) const
        {
            const std::size_t relative = offset - start;
            if (run.starts.empty()) {
                return static_cast<qsizetype>(relative);
            }
            return std::lower_bound(run.starts.begin(), run.starts.end(),
                                    static_cast<std::uint32_t>(relative)) -
                   run.starts.begin();
        }
    };
    [[nodiscard]] Line line(std::size_t offset) const
    {
        const std::size_t start = lineStart(offset);
        const std::size_t end = lineEnd(offset);
        return {start,
                displaytext::shownRun(std::string_view(bytes).substr(start, end - start), charset)};
    }

    // The start of the character that holds `offset`.
    [[nodiscard]] std::size_t snapped(std::size_t offset) const
    {
        if (offset >= bytes.size()) {
            return bytes.size();
        }
        const std::size_t end = lineEnd(offset);
        if (offset > end) {
            return end;
        }
        const Line l = line(offset);
        if (l.run.starts.empty()) {
            return offset;
        }
        const auto after = std::upper_bound(l.run.starts.begin(), l.run.starts.end(),
                                            static_cast<std::uint32_t>(offset - l.start));
        return l.start + *(after - 1);
    }
    [[nodiscard]] std::size_t nextCharacter(std::size_t offset) const
    {
        if (offset >= bytes.size()) {
            return bytes.size();
        }
        if (offset >= lineEnd(offset)) {
            return nextLineStart(offset);
        }
        const Line l = line(offset);
        QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, l.run.text);
        finder.setPosition(l.indexOf(offset));
        return l.offsetOf(finder.toNextBoundary());
    }
    [[nodiscard]] std::size_t previousCharacter(std::size_t offset) const
    {
        if (offset == 0) {
            return 0;
        }
        const std::size_t start = lineStart(offset);
        if (offset == start) {
            return lineEnd(offset - 1);
        }
        const Line l = line(offset);
        QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, l.run.text);
        finder.setPosition(l.indexOf(offset));
        return l.offsetOf(finder.toPreviousBoundary());
    }
    // The places between characters from `from` to `to`, both included.
    [[nodiscard]] std::vector<std::size_t> boundaries(std::size_t from, std::size_t to) const
    {
        std::vector<std::size_t> out;
        std::size_t at = lineStart(from);
        for (;;) {
            const Line l = line(at);
            QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, l.run.text);
            for (qsizetype i = 0; i >= 0; i = finder.toNextBoundary()) {
                const std::size_t offset = l.offsetOf(i);
                if (offset > to) {
                    return out;
                }
                if (offset >= from) {
                    out.push_back(offset);
                }
            }
            const std::size_t next = nextLineStart(at);
            if (next >= bytes.size() && lineEnd(at) == bytes.size()) {
                return out;
            }
            at = next;
        }
    }
    // Bytes [from, to) as the area shows them, '\n' for each line break.
    [[nodiscard]] QString shownText(std::size_t from, std::size_t to) const
    {
        QString out;
        std::size_t at = from;
        while (at < to) {
            const std::size_t end = std::min(lineEnd(at), to);
            out += shown(std::string_view(bytes).substr(at, end - at), charset);
            if (end < to) {
                out += u'\n';
            }
            at = nextLineStart(at);
        }
        return out;
    }
    // Typed or pasted text as bytes: each line break of the kind of the text's first one.
    [[nodiscard]] std::string bytesOf(const QString &sanitized) const
    {
        const std::size_t lf = bytes.find('\n');
        const std::string_view lineBreak =
            lf != std::string::npos && lf > 0 && bytes[lf - 1] == '\r' ? "\r\n"
            : lf != std::string::npos                                  ? "\n"
                                                                       : "\r\n";
        std::string out;
        const QStringList parts = sanitized.split(u'\n');
        for (qsizetype i = 0; i < parts.size(); ++i) {
            if (i > 0) {
                out += lineBreak;
            }
            displaytext::appendBytes(parts[i], out, charset);
        }
        return out;
    }

    [[nodiscard]] std::size_t start() const
    {
        return std::min(selection.anchor, selection.position);
    }
    [[nodiscard]] std::size_t end() const { return std::max(selection.anchor, selection.position); }

    [[nodiscard]] bool joinsAutomatic() const
    {
        return automaticShown && !undo.empty() && undo.back().automatic && redo.empty();
    }
    void bound()
    {
        const auto wholes = [&] {
            return static_cast<std::size_t>(
                std::count_if(undo.begin(), undo.end(), [](const Step &s) { return s.whole; }));
        };
        while (undo.size() > 1 && wholes() > kKeptWholes) {
            undo.pop_front();
        }
    }

    // The user's edit: bytes [from, to) become `added`, the caret after them.
    void edit(std::size_t from, std::size_t to, const std::string &added, bool typing)
    {
        if (from == to && added.empty()) {
            return;
        }
        Step step;
        step.before = bytes;
        step.selectionBefore = selection;
        bytes.replace(from, to - from, added);
        const std::size_t caret = from + added.size();
        selection = {snapped(caret), snapped(caret)};
        redo.clear();
        automaticShown = false;
        if (typing && latestOpen && from == to && !undo.empty() && undo.back().typing &&
            undo.back().typedEnd == from) {
            undo.back().after = bytes;
            undo.back().typedEnd = caret;
            undo.back().caretAfter = caret;
            return;
        }
        step.after = bytes;
        step.caretAfter = caret;
        step.typedEnd = caret;
        step.typing = typing;
        undo.push_back(std::move(step));
        bound();
        latestOpen = true;
    }
    void replaceAll(std::string next, History history)
    {
        if (history == History::Fresh) {
            undo.clear();
            redo.clear();
            latestOpen = false;
            automaticShown = false;
        } else if (history == History::Automatic && joinsAutomatic()) {
            undo.back().whole = true;
            undo.back().after = next;
            undo.back().caretAfter = next.size();
            bound();
        } else {
            Step step;
            step.before = bytes;
            step.after = next;
            step.selectionBefore = selection;
            step.caretAfter = next.size();
            step.whole = true;
            step.automatic = history == History::Automatic;
            redo.clear();
            undo.push_back(std::move(step));
            bound();
            latestOpen = false;
            automaticShown = history == History::Automatic;
        }
        bytes = std::move(next);
        selection = {};
    }
    void splice(std::size_t from, std::size_t to, const std::string &added)
    {
        if (from == to && added.empty()) {
            return;
        }
        const auto moved = [&](std::size_t offset) {
            if (offset <= from) {
                return offset;
            }
            return offset >= to ? offset - (to - from) + added.size() : from;
        };
        const Selection kept{moved(selection.anchor), moved(selection.position)};
        const std::string before = bytes;
        bytes.replace(from, to - from, added);
        selection = {snapped(kept.anchor), snapped(kept.position)};
        if (joinsAutomatic()) {
            Step &latest = undo.back();
            latest.after = bytes;
            latest.caretAfter = latest.whole ? bytes.size() : from + added.size();
            return;
        }
        Step step;
        step.before = before;
        step.after = bytes;
        step.selectionBefore = {from, from};
        step.caretAfter = from + added.size();
        step.automatic = true;
        redo.clear();
        undo.push_back(std::move(step));
        bound();
        latestOpen = false;
        automaticShown = true;
    }
    void undoStep()
    {
        if (undo.empty()) {
            return;
        }
        Step step = std::move(undo.back());
        undo.pop_back();
        bytes = step.before;
        selection = {snapped(std::min(step.selectionBefore.anchor, bytes.size())),
                     snapped(std::min(step.selectionBefore.position, bytes.size()))};
        redo.push_back(std::move(step));
        latestOpen = false;
        automaticShown = false;
    }
    void redoStep()
    {
        if (redo.empty()) {
            return;
        }
        Step step = std::move(redo.back());
        redo.pop_back();
        bytes = step.after;
        const std::size_t caret = snapped(std::min(step.caretAfter, bytes.size()));
        selection = {caret, caret};
        undo.push_back(std::move(step));
        bound();
        latestOpen = false;
        automaticShown = false;
    }
    void setCharset(Charset next)
    {
        charset = next;
        selection = {snapped(selection.anchor), snapped(selection.position)};
    }
};

UserSession::UserSession()
    : model_(std::make_unique<Model>()), area_(std::make_unique<ByteTextEdit>())
{
    QApplication::clipboard()->clear();
    area_->offerCharsetChoice();
    area_->resize(320, 120);
    area_->show();
    freshReference();
}

UserSession::~UserSession() = default;

ByteTextEdit &UserSession::area()
{
    return *area_;
}

const std::string &UserSession::expectedBytes() const
{
    return model_->bytes;
}

void UserSession::freshReference()
{
    reference_ = std::make_unique<ByteTextEdit>();
    reference_->offerCharsetChoice();
    reference_->resize(area_->size());
    // The scroll bar may stay or stay away where the text fits just so: the
    // fresh area's viewport takes the same width as the area's.
    reference_->setVerticalScrollBarPolicy(
        area_->verticalScrollBar()->isVisible() ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    reference_->setCharset(model_->charset);
    reference_->setBytes(model_->bytes, History::Fresh);
    reference_->show();
    // The scroll bar comes and goes, and the viewport's width with it, once events are handled.
    QCoreApplication::processEvents();
    reference_->setSelection(model_->selection.anchor, model_->selection.position);
    reference_->scrollTo(area_->viewTop());
}

void UserSession::runOnArea(const UserStep &step, ByteTextEdit &area)
{
    QWidget *viewport = area.viewport();
    const QPoint point(step.x, step.y);
    switch (step.kind) {
    case UserStep::Kind::Key:
        if (step.text.isEmpty()) {
            QTest::keyClick(&area, step.key.key(), step.key.keyboardModifiers());
        } else {
            QTest::sendKeyEvent(QTest::Click, &area, step.key.key(), step.text,
                                step.key.keyboardModifiers());
        }
        break;
    case UserStep::Kind::Click:
        QTest::mouseClick(viewport, Qt::LeftButton, step.key.keyboardModifiers(), point);
        break;
    case UserStep::Kind::DoubleClick:
        QTest::mouseDClick(viewport, Qt::LeftButton, Qt::NoModifier, point);
        break;
    case UserStep::Kind::TripleClick:
        QTest::mouseDClick(viewport, Qt::LeftButton, Qt::NoModifier, point);
        QTest::mouseClick(viewport, Qt::LeftButton, Qt::NoModifier, point);
        break;
    case UserStep::Kind::Drag: {
        // A press in the selection would drag the text, which waits for a drop
        // that no event here makes: such a drag is a click.
        const std::size_t at = area.offsetAt(point);
        if (at >= area.selectionStart() && at < area.selectionEnd()) {
            QTest::mouseClick(viewport, Qt::LeftButton, Qt::NoModifier, point);
            break;
        }
        // Within the viewport: a drag out of it scrolls on a timer, as long as it is held.
        const QPoint to(std::min(step.to.x(), viewport->width() - 1),
                        std::min(step.to.y(), viewport->height() - 1));
        QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, point);
        QMouseEvent move(QEvent::MouseMove, to, viewport->mapToGlobal(to), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &move);
        QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, to);
        break;
    }
    case UserStep::Kind::Wheel: {
        QWheelEvent wheel(QPointF(point), viewport->mapToGlobal(QPointF(point)), QPoint(),
                          QPoint(0, -step.amount * QWheelEvent::DefaultDeltasPerStep / 3),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(viewport, &wheel);
        break;
    }
    case UserStep::Kind::ScrollBar: {
        QScrollBar *bar = area.verticalScrollBar();
        bar->setValue(static_cast<int>(static_cast<qint64>(bar->maximum()) * step.amount / 1000));
        break;
    }
    case UserStep::Kind::Replace:
        area.setBytes(step.bytes, step.history);
        break;
    case UserStep::Kind::Splice:
        area.spliceAutomatic(static_cast<std::size_t>(step.x), static_cast<std::size_t>(step.y),
                             step.bytes);
        break;
    case UserStep::Kind::Resize:
        area.resize(step.x, step.y);
        break;
    }
}

bool UserSession::runOnModel(const UserStep &step)
{
    Model &m = *model_;
    switch (step.kind) {
    case UserStep::Kind::Replace:
        m.replaceAll(step.bytes, step.history);
        return true;
    case UserStep::Kind::Splice:
        m.splice(static_cast<std::size_t>(step.x), static_cast<std::size_t>(step.y), step.bytes);
        return true;
    case UserStep::Kind::Resize:
        return true;
    case UserStep::Kind::Key:
        break;
    default:
        return false;
    }
    const Qt::KeyboardModifiers mods = step.key.keyboardModifiers();
    const bool shift = mods.testFlag(Qt::ShiftModifier);
    const bool ctrl = mods.testFlag(Qt::ControlModifier);
    const auto moveTo = [&](std::size_t to, bool select) {
        m.selection = {select ? m.selection.anchor : to, to};
    };
    if (!step.text.isEmpty()) {
        const auto fixed =
            displaytext::sanitized(step.text, displaytext::Breaks::AsLineBreaks, m.charset);
        if (!fixed.text.isEmpty()) {
            m.edit(m.start(), m.end(), m.bytesOf(fixed.text), !fixed.text.contains(u'\n'));
        }
        return true;
    }
    if (step.key == ByteTextEdit::kCharsetKey) {
        m.setCharset(m.charset == Charset::Utf8 ? Charset::Windows1252 : Charset::Utf8);
        return true;
    }
    switch (step.key.key()) {
    case Qt::Key_Left:
    case Qt::Key_Right: {
        if (ctrl) {
            return false; // words: from the layout
        }
        const bool right = step.key.key() == Qt::Key_Right;
        std::size_t to = right ? m.nextCharacter(m.selection.position)
                               : m.previousCharacter(m.selection.position);
        if (!shift && m.start() != m.end()) {
            to = right ? m.end() : m.start();
        }
        moveTo(to, shift);
        return true;
    }
    case Qt::Key_Home:
    case Qt::Key_End:
        if (!ctrl) {
            return false; // rows: from the layout
        }
        moveTo(step.key.key() == Qt::Key_Home ? 0 : m.bytes.size(), shift);
        return true;
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
        if (ctrl && m.start() == m.end()) {
            return false; // words: from the layout
        }
        if (m.start() != m.end()) {
            m.edit(m.start(), m.end(), {}, false);
        } else if (step.key.key() == Qt::Key_Backspace) {
            m.edit(m.previousCharacter(m.selection.position), m.selection.position, {}, false);
        } else {
            m.edit(m.selection.position, m.nextCharacter(m.selection.position), {}, false);
        }
        return true;
    case Qt::Key_Return:
        m.edit(m.start(), m.end(), m.bytesOf(QStringLiteral("\n")), false);
        return true;
    case Qt::Key_Tab:
        m.edit(m.start(), m.end(), "\t", true);
        return true;
    case Qt::Key_A:
        m.selection = {0, m.bytes.size()};
        return true;
    case Qt::Key_C:
    case Qt::Key_X:
        if (m.start() != m.end()) {
            m.clipboard = m.shownText(m.start(), m.end());
            if (step.key.key() == Qt::Key_X) {
                m.edit(m.start(), m.end(), {}, false);
            }
        }
        return true;
    case Qt::Key_V:
        if (m.clipboard) {
            const auto fixed =
                displaytext::sanitized(*m.clipboard, displaytext::Breaks::AsLineBreaks, m.charset);
            m.edit(m.start(), m.end(), m.bytesOf(fixed.text), false);
        }
        return true;
    case Qt::Key_Z:
        shift ? m.redoStep() : m.undoStep();
        return true;
    default:
        return false;
    }
}

std::optional<std::string> UserSession::run(const UserStep &step)
{
    UserStep fitted = step;
    if (step.kind == UserStep::Kind::Splice) {
        // A share of the text, fitted to the characters it holds now.
        const std::size_t size = model_->bytes.size();
        const std::size_t from = model_->snapped(size * static_cast<std::size_t>(step.x) / 255);
        std::size_t to = from;
        for (int n = 0; n < step.y; ++n) {
            to = model_->nextCharacter(to);
        }
        fitted.x = static_cast<int>(from);
        fitted.y = static_cast<int>(to);
    }
    done_.push_back(fitted.describe());
    const std::string before = model_->bytes;
    runOnArea(fitted, *area_);
    QCoreApplication::processEvents();
    bool referenceFollowed = false;
    if (runOnModel(fitted)) {
        if (!changesText(fitted)) {
            // A move the model settled: the fresh area takes it too, to follow the area's top.
            runOnArea(fitted, *reference_);
            QCoreApplication::processEvents();
            referenceFollowed = true;
        }
    } else {
        // Settled by the layout: the fresh area takes the same step, and what it
        // does to its text and selection is what the model's become.
        runOnArea(fitted, *reference_);
        QCoreApplication::processEvents();
        const std::string after = reference_->bytes();
        const Selection selection = reference_->selection();
        if (after != before) {
            // Only deleting a word is an edit settled by the layout: the caret
            // stays where the bytes went.
            const std::size_t from = selection.position;
            model_->edit(from, from + before.size() - after.size(), {}, false);
        }
        model_->selection = selection;
        referenceFollowed = after == before;
    }
    if (!referenceFollowed) {
        freshReference();
    }
    return compare(referenceFollowed);
}

std::optional<std::string> UserSession::runAll(const std::vector<UserStep> &steps)
{
    for (const UserStep &step : steps) {
        if (std::optional<std::string> wrong = run(step)) {
            std::string report = *wrong + "\nafter the steps:";
            for (const std::string &line : done_) {
                report += "\n  " + line;
            }
            return report;
        }
    }
    return std::nullopt;
}

std::optional<std::string> UserSession::compare(bool referenceFollowed)
{
    ByteTextEdit &area = *area_;
    ByteTextEdit &fresh = *reference_;
    const Model &m = *model_;
    const auto hex = [](const std::string &bytes) {
        return UserStep::load(bytes).describe().substr(std::string("replacement ").size());
    };
    if (area.bytes() != m.bytes) {
        return "the text is " + hex(area.bytes()) + ", not " + hex(m.bytes);
    }
    const auto selectionText = [](Selection s) {
        std::ostringstream out;
        out << "[" << s.anchor << ", " << s.position << "]";
        return out.str();
    };
    if (area.selection() != m.selection) {
        return "the selection is " + selectionText(area.selection()) + ", not " +
               selectionText(m.selection);
    }
    if (area.charset() != m.charset) {
        return std::string("the charset differs");
    }
    if (std::optional<std::string> wrong = differenceFromFresh(area.layouts())) {
        return wrong;
    }
    if (referenceFollowed && !(area.viewTop() == fresh.viewTop())) {
        return "the view's top is block " + std::to_string(area.viewTop().block) + " row " +
               std::to_string(area.viewTop().row) + ", an area laid out afresh has block " +
               std::to_string(fresh.viewTop().block) + " row " +
               std::to_string(fresh.viewTop().row);
    }
    fresh.scrollTo(area.viewTop());
    if (area.verticalScrollBar()->maximum() != fresh.verticalScrollBar()->maximum() ||
        area.verticalScrollBar()->value() != fresh.verticalScrollBar()->value()) {
        return "the scroll bar ends at " + std::to_string(area.verticalScrollBar()->maximum()) +
               " and shows " + std::to_string(area.verticalScrollBar()->value()) +
               "; laid out afresh, at " + std::to_string(fresh.verticalScrollBar()->maximum()) +
               " and " + std::to_string(fresh.verticalScrollBar()->value());
    }
    // Where each character on screen lies, and where clicks land.
    const QRect screen = fresh.viewport()->rect();
    const std::size_t first = fresh.offsetAt(screen.topLeft());
    const std::size_t last = fresh.offsetAt(screen.bottomRight());
    // Where each character begins, and its row's height: the width of the last
    // on a row may vary with how the row was reached (a soft hyphen shows there).
    for (const std::size_t offset : m.boundaries(first, last)) {
        const QRect a = area.characterRect(offset);
        const QRect f = fresh.characterRect(offset);
        if (a.topLeft() != f.topLeft() || a.height() != f.height()) {
            std::ostringstream out;
            out << "the character at byte " << offset << " shows at (" << a.x() << "," << a.y()
                << " " << a.width() << "x" << a.height() << "), laid out afresh at (" << f.x()
                << "," << f.y() << " " << f.width() << "x" << f.height() << ") in a viewport of "
                << area.viewport()->width() << "x" << area.viewport()->height() << ", "
                << fresh.viewport()->width() << "x" << fresh.viewport()->height() << " afresh";
            return out.str();
        }
    }
    for (int y = 0; y < screen.height(); y += 7) {
        for (int x = 0; x < screen.width(); x += 37) {
            if (area.offsetAt({x, y}) != fresh.offsetAt({x, y})) {
                return "a click at " + std::to_string(x) + "," + std::to_string(y) +
                       " lands on byte " + std::to_string(area.offsetAt({x, y})) +
                       ", laid out afresh on " + std::to_string(fresh.offsetAt({x, y}));
            }
        }
    }
    return std::nullopt;
}

} // namespace lorimand::testing

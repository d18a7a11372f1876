#include "ui/text/displaytext.h"

#include <algorithm>
#include <array>
#include <utility>

#include <QAccessible>
#include <QApplication>
#include <QCoreApplication>
#include <QStringList>
#include <QToolTip>
#include <QWidget>

#include "engine/charset.h"

namespace lorimand::displaytext {

namespace {

constexpr char16_t kPictures = 0x2400;
constexpr char16_t kDelPicture = 0x2421;
constexpr unsigned char kDel = 0x7F;
// Byte b >= 0x80 is marked by U+F700 + b, in a private-use range no font or
// text of this program uses.
constexpr char16_t kMarks = 0xF700;
constexpr unsigned char kFirstMarked = 0x80;
// Characters Qt's text document takes for block breaks.
constexpr char16_t kFrameStart = 0xFDD0;
constexpr char16_t kFrameEnd = 0xFDD1;

[[nodiscard]] constexpr bool isControl(char16_t ch)
{
    return ch < 0x20 || ch == kDel;
}

// What each byte shows as; a text area keeps TAB as itself, the key field does not.
using ByteTable = std::array<char16_t, 256>;

[[nodiscard]] ByteTable makeTable(bool keepTab)
{
    ByteTable table{};
    for (unsigned code = 0; code < table.size(); ++code) {
        const auto byte = static_cast<unsigned char>(code);
        if (isControl(byte) && !(keepTab && byte == '\t')) {
            table[code] = controlPicture(byte).unicode();
        } else {
            table[code] = static_cast<char16_t>(charset::toUnicode(byte));
        }
    }
    return table;
}

const ByteTable &textTable()
{
    static const ByteTable table = makeTable(true);
    return table;
}

const ByteTable &lineTable()
{
    static const ByteTable table = makeTable(false);
    return table;
}

// The control a picture stands for.
[[nodiscard]] std::optional<unsigned char> pictureCode(char16_t ch)
{
    if (ch >= kPictures && ch < kPictures + 0x20) {
        return static_cast<unsigned char>(ch - kPictures);
    }
    if (ch == kDelPicture) {
        return kDel;
    }
    return std::nullopt;
}

// Whether a character of UTF-8 text can show as itself: pictures and marks
// stand for bytes of their own, and Qt takes some characters for block breaks.
[[nodiscard]] bool showsAsItself(char32_t ch)
{
    if (ch > 0xFFFF) {
        return true;
    }
    const auto unit = static_cast<char16_t>(ch);
    return !pictureCode(unit) && !markedByte(QChar(unit)) && unit != QChar::LineSeparator &&
           unit != QChar::ParagraphSeparator && unit != kFrameStart && unit != kFrameEnd;
}

void appendMarks(char32_t ch, QString &out)
{
    std::string bytes;
    charset::appendUtf8(ch, bytes);
    for (const char byte : bytes) {
        out += byteMark(static_cast<unsigned char>(byte));
    }
}

// The rest of a line in UTF-8: the next character as it shows and the number
// of bytes it takes.
struct ShownUnit
{
    std::array<char16_t, 2> units{};
    qsizetype size = 0;
    std::size_t length = 0;
};

[[nodiscard]] ShownUnit nextUtf8(std::string_view bytes, std::size_t at, const ByteTable &table)
{
    const auto byte = static_cast<unsigned char>(bytes[at]);
    if (byte < kFirstMarked) {
        return {{table[byte]}, 1, 1};
    }
    const std::optional<charset::Utf8Char> ch = charset::utf8CharAt(bytes, at);
    // The other bytes of a character that cannot show as itself are continuation
    // bytes, which show as marks in their turn.
    if (!ch || !showsAsItself(ch->ch)) {
        return {{byteMark(byte).unicode()}, 1, 1};
    }
    const char32_t point = ch->ch;
    if (QChar::requiresSurrogates(point)) {
        return {{QChar::highSurrogate(point), QChar::lowSurrogate(point)}, 2, ch->length};
    }
    return {{static_cast<char16_t>(point)}, 1, ch->length};
}

} // namespace

QChar byteMark(unsigned char byte)
{
    return QChar(static_cast<char16_t>(kMarks + byte));
}

std::optional<unsigned char> markedByte(QChar shown)
{
    const char16_t ch = shown.unicode();
    if (ch >= kMarks + kFirstMarked && ch <= kMarks + 0xFF) {
        return static_cast<unsigned char>(ch - kMarks);
    }
    return std::nullopt;
}

QChar controlPicture(unsigned char code)
{
    return QChar(code == kDel ? kDelPicture : static_cast<char16_t>(kPictures + code));
}

std::optional<unsigned char> codeOfOther(QChar shown)
{
    if (shown.unicode() == kDelPicture) {
        return kDel;
    }
    return charset::fromUnicode(shown.unicode());
}

ShownRun shownRun(std::string_view bytes, Charset charset)
{
    const ByteTable &table = textTable();
    ShownRun run;
    run.text.resize(static_cast<qsizetype>(bytes.size()));
    QChar *out = run.text.data();
    if (charset != Charset::Utf8) {
        for (const char byte : bytes) {
            *out++ = QChar(table[static_cast<unsigned char>(byte)]);
        }
        return run;
    }
    // A character of several bytes shows as at most two units, so the room is enough.
    run.starts.reserve(bytes.size() + 1);
    QChar *const begin = out;
    for (std::size_t i = 0; i < bytes.size();) {
        const ShownUnit unit = nextUtf8(bytes, i, table);
        for (qsizetype k = 0; k < unit.size; ++k) {
            *out++ = QChar(unit.units[static_cast<std::size_t>(k)]);
            run.starts.push_back(static_cast<std::uint32_t>(i));
        }
        i += unit.length;
    }
    run.starts.push_back(static_cast<std::uint32_t>(bytes.size()));
    run.text.truncate(out - begin);
    return run;
}

QString shownText(const text::TextBuffer &text, std::size_t from, std::size_t to, Charset charset)
{
    to = std::min(to, text.size());
    QString shown;
    std::size_t at = from;
    while (at < to) {
        const std::size_t line = text.lineOf(at);
        const std::size_t end = text.lineEnd(line);
        // In UTF-8 a character shows only whole, so a line is read from its start.
        const std::size_t start = charset == Charset::Utf8 ? text.lineStart(line) : at;
        const std::size_t stop = std::min(end, to);
        if (start < stop) {
            const ShownRun run = shownRun(text.bytes(start, stop), charset);
            if (charset == Charset::Utf8) {
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

namespace {

// In the 8-bit set every byte shows as one character whatever is around it:
// each byte's character in UTF-8, for copying without a string of the whole.
struct ShownByte
{
    std::array<char, 3> bytes{};
    qsizetype size = 0;
};

const std::array<ShownByte, 256> &shownBytesInUtf8()
{
    static const std::array<ShownByte, 256> table = [] {
        std::array<ShownByte, 256> made{};
        for (int code = 0; code < 256; ++code) {
            const char byte = static_cast<char>(code);
            const QByteArray utf8 =
                shownRun(std::string_view(&byte, 1), Charset::Windows1252).text.toUtf8();
            std::copy(utf8.begin(), utf8.end(), made[static_cast<std::size_t>(code)].bytes.begin());
            made[static_cast<std::size_t>(code)].size = utf8.size();
        }
        return made;
    }();
    return table;
}

} // namespace

QByteArray shownUtf8(const text::TextBuffer &text, std::size_t from, std::size_t to,
                     Charset charset)
{
    to = std::min(to, text.size());
    QByteArray out;
    if (charset != Charset::Utf8) {
        // A line break is '\n'; a CR that no LF follows is a character of its
        // line. Written straight into room for the most each byte can take.
        const std::array<ShownByte, 256> &shown = shownBytesInUtf8();
        out = QByteArray(static_cast<qsizetype>(3 * (to - std::min(from, to))), Qt::Uninitialized);
        char *write = out.data();
        const auto put = [&](unsigned char byte) {
            const ShownByte &utf8 = shown[byte];
            std::copy_n(utf8.bytes.data(), utf8.size, write);
            write += utf8.size;
        };
        bool crBefore = false;
        for (const std::string_view piece : text.pieces(std::min(from, to), to)) {
            for (const char c : piece) {
                const auto byte = static_cast<unsigned char>(c);
                if (std::exchange(crBefore, false) && byte != '\n') {
                    put('\r');
                }
                if (byte == '\r') {
                    crBefore = true;
                } else if (byte == '\n') {
                    *write++ = '\n';
                } else {
                    put(byte);
                }
            }
        }
        if (crBefore) {
            put('\r'); // a range ends at a character's end, never inside a CR LF
        }
        out.truncate(write - out.data());
        return out;
    }
    // Pieces of a line are cut where no character shown as itself is cut in two.
    constexpr std::size_t kPiece = 64 * 1024;
    out.reserve(static_cast<qsizetype>(to - std::min(from, to)));
    std::size_t at = from;
    std::string piece;
    while (at < to) {
        const std::size_t line = text.lineOf(at);
        const std::size_t stop = std::min(text.lineEnd(line), to);
        while (at < stop) {
            std::size_t cut = std::min(stop, at + kPiece);
            if (cut < stop) {
                const std::size_t around = cut - std::min<std::size_t>(cut, 3);
                cut += characterTail(text.bytes(around, std::min(stop, cut + 3)), cut - around);
            }
            piece.clear();
            text.appendTo(at, cut, piece);
            out += shownRun(piece, charset).text.toUtf8();
            at = cut;
        }
        if (stop < to) {
            out += '\n';
        }
        at = line + 1 < text.lineCount() ? text.lineStart(line + 1) : text.size();
    }
    return out;
}

std::size_t characterOffset(const text::TextBuffer &text, std::size_t byte, Charset charset)
{
    byte = std::min(byte, text.size());
    const std::size_t lastLine = text.lineOf(byte);
    if (charset != Charset::Utf8) {
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
                          shownRun(text.bytes(text.lineStart(line), text.lineEnd(line)), charset)
                              .text.size()) +
                      1;
    }
    const std::size_t start = text.lineStart(lastLine);
    return characters +
           static_cast<std::size_t>(
               shownRun(text.bytes(start, std::min(byte, text.lineEnd(lastLine))), charset)
                   .text.size());
}

std::size_t byteOffset(const text::TextBuffer &text, std::size_t character, Charset charset)
{
    std::size_t counted = 0;
    for (std::size_t line = 0; line < text.lineCount(); ++line) {
        const std::size_t start = text.lineStart(line);
        const std::size_t end = text.lineEnd(line);
        const ShownRun run = shownRun(text.bytes(start, end), charset);
        const auto length = static_cast<std::size_t>(run.text.size());
        if (character <= counted + length) {
            const std::size_t index = character - counted;
            return start + (charset == Charset::Utf8 ? run.starts[index] : index);
        }
        counted += length + 1;
    }
    return text.size();
}

ByteSpan charsetDependent(const text::TextBuffer &text)
{
    const auto high = [](char byte) {
        return static_cast<unsigned char>(byte) >= 0x80;
    };
    ByteSpan span;
    bool found = false;
    std::size_t at = 0;
    for (const std::string_view piece : text.pieces()) {
        const auto first = std::find_if(piece.begin(), piece.end(), high);
        if (first != piece.end()) {
            if (!std::exchange(found, true)) {
                span.from = at + static_cast<std::size_t>(first - piece.begin());
            }
            const auto last = std::find_if(piece.rbegin(), piece.rend(), high);
            span.to = at + static_cast<std::size_t>(piece.rend() - last);
        }
        at += piece.size();
    }
    return span;
}

std::size_t characterTail(std::string_view bytes, std::size_t at)
{
    for (std::size_t back = 1; back <= 3 && back <= at; ++back) {
        const auto lead = static_cast<unsigned char>(bytes[at - back]);
        if (lead < 0xC0) {
            continue; // not the first byte of a sequence
        }
        const std::optional<charset::Utf8Char> ch = charset::utf8CharAt(bytes, at - back);
        if (ch && ch->length > back && showsAsItself(ch->ch)) {
            return ch->length - back;
        }
        return 0;
    }
    return 0;
}

QString lineFromBytes(std::string_view bytes)
{
    const ByteTable &table = lineTable();
    QString shown(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar *out = shown.data();
    for (const char byte : bytes) {
        *out++ = QChar(table[static_cast<unsigned char>(byte)]);
    }
    return shown;
}

void appendBytes(QStringView shown, std::string &out, Charset charset)
{
    if (charset == Charset::Utf8) {
        const qsizetype size = shown.size();
        for (qsizetype i = 0; i < size; ++i) {
            const char16_t ch = shown[i].unicode();
            if (ch < 0x80) {
                out += static_cast<char>(ch);
            } else if (const auto code = pictureCode(ch)) {
                out += static_cast<char>(*code);
            } else if (const auto byte = markedByte(QChar(ch))) {
                out += static_cast<char>(*byte);
            } else if (QChar::isHighSurrogate(ch) && i + 1 < size &&
                       shown[i + 1].isLowSurrogate()) {
                charset::appendUtf8(QChar::surrogateToUcs4(ch, shown[i + 1].unicode()), out);
                ++i;
            } else if (QChar::isSurrogate(ch)) {
                out += static_cast<char>(charset::kReplacement);
            } else {
                charset::appendUtf8(ch, out);
            }
        }
        return;
    }
    const std::size_t at = out.size();
    out.resize(at + static_cast<std::size_t>(shown.size()));
    char *to = out.data() + at;
    for (const QChar ch : shown) {
        *to++ = static_cast<char>(codeOf(ch).value_or(charset::kReplacement));
    }
}

Sanitized sanitized(QStringView text, Breaks breaks, Charset charset)
{
    const bool asLineBreaks = breaks == Breaks::AsLineBreaks;
    const bool utf8 = charset == Charset::Utf8;
    Sanitized result;
    result.text.reserve(text.size());
    const auto leaveOut = [&result](QStringView character) {
        if (!result.leftOut.contains(character)) {
            result.leftOut += character;
        }
    };
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t ch = text[i].unicode();
        const char16_t next = i + 1 < size ? text[i + 1].unicode() : u'\0';
        if (ch == u'\r' || ch == u'\n' || ch == QChar::LineSeparator ||
            ch == QChar::ParagraphSeparator) {
            if (asLineBreaks) {
                result.text += u'\n';
                if (ch == u'\r' && next == u'\n') {
                    ++i;
                }
            } else if (ch == u'\r' || ch == u'\n') {
                result.text += controlPicture(static_cast<unsigned char>(ch));
            } else {
                leaveOut(text.sliced(i, 1));
            }
        } else if (ch == u'\t' && asLineBreaks) {
            result.text += u'\t';
        } else if (isControl(ch)) {
            result.text += controlPicture(static_cast<unsigned char>(ch));
        } else if (QChar::isHighSurrogate(ch) && QChar::isLowSurrogate(next)) {
            if (utf8) {
                result.text += text.sliced(i, 2);
            } else {
                leaveOut(text.sliced(i, 2));
            }
            ++i;
        } else if (utf8 && !QChar::isSurrogate(ch)) {
            // Pictures and marks stand for their bytes as they are.
            if (ch == kFrameStart || ch == kFrameEnd) {
                appendMarks(ch, result.text);
            } else {
                result.text += QChar(ch);
            }
        } else if (codeOf(QChar(ch))) {
            result.text += QChar(ch);
        } else {
            leaveOut(text.sliced(i, 1));
        }
    }
    return result;
}

QString leftOutMessage(const QString &leftOut)
{
    if (leftOut.isEmpty()) {
        return QCoreApplication::translate("lorimand::displaytext",
                                           "A character was left out: the program's character "
                                           "set, Windows-1252, cannot hold it.");
    }
    QStringList characters;
    for (qsizetype i = 0; i < leftOut.size(); ++i) {
        const qsizetype length =
            QChar::isHighSurrogate(leftOut[i].unicode()) && i + 1 < leftOut.size() ? 2 : 1;
        // Quotation marks differ between languages.
        characters << QCoreApplication::translate("lorimand::displaytext", "\u201C%1\u201D")
                          .arg(leftOut.sliced(i, length));
        i += length - 1;
    }
    const char *message =
        characters.size() == 1
            ? QT_TRANSLATE_NOOP("lorimand::displaytext",
                                "Left out: %1. The program's character set, Windows-1252, "
                                "cannot hold it.")
            : QT_TRANSLATE_NOOP("lorimand::displaytext",
                                "Left out: %1. The program's character set, Windows-1252, "
                                "cannot hold them.");
    return QCoreApplication::translate("lorimand::displaytext", message)
        .arg(characters.join(QStringLiteral(", ")));
}

void tellLeftOut(QWidget &widget, const QRect &caret, const QString &leftOut)
{
    QToolTip::showText(widget.mapToGlobal(caret.bottomLeft()), leftOutMessage(leftOut), &widget);
    if (!QAccessible::isActive()) {
        return;
    }
    // A screen reader reads no tool tip that the pointer did not bring up: the
    // tip's words go to it as an alert, from the tip, whose name they are.
    const QWidgetList windows = QApplication::topLevelWidgets();
    const auto tip = std::find_if(windows.begin(), windows.end(), [](const QWidget *window) {
        return window->windowType() == Qt::ToolTip && window->isVisible();
    });
    QAccessibleEvent alert(tip != windows.end() ? *tip : &widget, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}

bool isUnusedAltKey(const QKeyEvent &event)
{
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    return modifiers.testFlag(Qt::AltModifier) && !modifiers.testFlag(Qt::ControlModifier) &&
           !event.text().isEmpty() && event.text().front().isPrint();
}

bool insertsText(const QKeyEvent &event)
{
    const QString text = event.text();
    if (text.isEmpty()) {
        return false;
    }
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    if (modifiers == Qt::ControlModifier ||
        modifiers == (Qt::ShiftModifier | Qt::ControlModifier)) {
        return false;
    }
    const char16_t first = text.front().unicode();
    return first >= 0x20 && !(first >= 0x7F && first <= 0x9F);
}

QKeyEvent withText(const QKeyEvent &event, const QString &text)
{
    return QKeyEvent(event.type(), event.key(), event.modifiers(), event.nativeScanCode(),
                     event.nativeVirtualKey(), event.nativeModifiers(), text, event.isAutoRepeat(),
                     static_cast<quint16>(event.count()));
}

} // namespace lorimand::displaytext

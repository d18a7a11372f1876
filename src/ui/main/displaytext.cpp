#include "ui/main/displaytext.h"

#include "engine/charset.h"

#include <array>

namespace lorimand::displaytext {

namespace {

constexpr char16_t kPictures = 0x2400;
constexpr char16_t kDelPicture = 0x2421;
constexpr unsigned char kDel = 0x7F;

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
        if (isControl(byte) && !(keepTab && byte == '\t'))
            table[code] = controlPicture(byte).unicode();
        else
            table[code] = static_cast<char16_t>(charset::toUnicode(byte));
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

} // namespace

QChar controlPicture(unsigned char code)
{
    return QChar(code == kDel ? kDelPicture : static_cast<char16_t>(kPictures + code));
}

std::optional<unsigned char> codeOfOther(QChar shown)
{
    if (shown.unicode() == kDelPicture)
        return kDel;
    return charset::fromUnicode(shown.unicode());
}

ShownText textFromBytes(std::string_view bytes)
{
    const ByteTable &table = textTable();
    ShownText shown;
    // A line break shows as one character and a continuation adds one to every
    // kChunkLength, so this is room enough.
    const auto room = static_cast<qsizetype>(bytes.size());
    shown.text.resize(room + room / kChunkLength);
    QChar *const begin = shown.text.data();
    QChar *out = begin;
    QChar *block = begin;
    const std::size_t size = bytes.size();
    for (std::size_t i = 0; i < size; ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte == '\n') {
            *out++ = u'\n';
            shown.breaks.push_back(LineBreak::Lf);
            block = out;
        } else if (byte == '\r' && i + 1 < size && bytes[i + 1] == '\n') {
            *out++ = u'\n';
            shown.breaks.push_back(LineBreak::CrLf);
            block = out;
            ++i;
        } else {
            // Only a character starts a new chunk, so a line of exactly the
            // chunk length ends with no empty chunk after it.
            if (out - block == kChunkLength) {
                *out++ = u'\n';
                shown.breaks.push_back(LineBreak::Continuation);
                block = out;
            }
            *out++ = QChar(table[byte]);
        }
    }
    shown.text.truncate(out - begin);
    return shown;
}

QString lineFromBytes(std::string_view bytes)
{
    const ByteTable &table = lineTable();
    QString shown(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar *out = shown.data();
    for (const char byte : bytes)
        *out++ = QChar(table[static_cast<unsigned char>(byte)]);
    return shown;
}

void appendBytes(QStringView shown, std::string &out)
{
    const std::size_t at = out.size();
    out.resize(at + static_cast<std::size_t>(shown.size()));
    char *to = out.data() + at;
    for (const QChar ch : shown)
        *to++ = static_cast<char>(codeOf(ch).value_or(charset::kReplacement));
}

QString sanitized(QStringView text, Breaks breaks)
{
    const bool asLineBreaks = breaks == Breaks::AsLineBreaks;
    QString result;
    result.reserve(text.size());
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t ch = text[i].unicode();
        const char16_t next = i + 1 < size ? text[i + 1].unicode() : u'\0';
        if (ch == u'\r' || ch == u'\n' || ch == QChar::LineSeparator ||
            ch == QChar::ParagraphSeparator) {
            if (asLineBreaks) {
                result += u'\n';
                if (ch == u'\r' && next == u'\n')
                    ++i;
            } else if (ch == u'\r' || ch == u'\n') {
                result += controlPicture(static_cast<unsigned char>(ch));
            } else {
                result += QChar(charset::kReplacement);
            }
        } else if (ch == u'\t' && asLineBreaks) {
            result += u'\t';
        } else if (isControl(ch)) {
            result += controlPicture(static_cast<unsigned char>(ch));
        } else if (QChar::isHighSurrogate(ch) && QChar::isLowSurrogate(next)) {
            result += QChar(charset::kReplacement);
            ++i;
        } else if (codeOf(QChar(ch))) {
            result += QChar(ch);
        } else {
            result += QChar(charset::kReplacement);
        }
    }
    return result;
}

bool insertsText(const QKeyEvent &event)
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

QKeyEvent withText(const QKeyEvent &event, const QString &text)
{
    return QKeyEvent(event.type(), event.key(), event.modifiers(), event.nativeScanCode(),
                     event.nativeVirtualKey(), event.nativeModifiers(), text, event.isAutoRepeat(),
                     static_cast<quint16>(event.count()));
}

} // namespace lorimand::displaytext

// The mapping between 8-bit text and what the text widgets show, shared by
// ByteTextEdit and ByteLineEdit and used by nothing else.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <QKeyEvent>
#include <QRect>
#include <QString>
#include <QStringView>

#include "engine/charset.h"
#include "engine/progress.h"

class QWidget;

namespace lorimand::displaytext {

// How a text area reads its bytes. The key field always uses the 8-bit set.
using Charset = charset::TextCharset;

// What separates two blocks of a text area: one of the two byte sequences shown
// as a line break, or a continuation, which stands for no bytes. A line longer
// than kChunkLength characters is shown in blocks of that many characters joined
// by continuations, because the widget lays out a whole block at once and a line
// of a million characters (encoded text has no line breaks) would take a second.
enum class LineBreak : unsigned char
{
    CrLf,
    Lf,
    Continuation
};

// Measured: shorter chunks make more blocks and more short rows where a chunk
// ends; longer ones slow down showing a text and each keystroke in it. A chunk
// never ends between the two halves of a surrogate pair, so it may be one short.
inline constexpr qsizetype kChunkLength = 1024;

// How many characters of a line go into its first chunk.
[[nodiscard]] qsizetype firstChunk(QStringView line);

[[nodiscard]] constexpr std::string_view breakBytes(LineBreak kind)
{
    switch (kind) {
    case LineBreak::CrLf:
        return "\r\n";
    case LineBreak::Lf:
        return "\n";
    case LineBreak::Continuation:
        break;
    }
    return {};
}

// The character shown for a code that is not shown as itself: the control
// picture U+2400 + code, U+2421 for DEL.
[[nodiscard]] QChar controlPicture(unsigned char code);

// codeOf for the characters it does not settle itself.
[[nodiscard]] std::optional<unsigned char> codeOfOther(QChar shown);

// The code a shown character stands for: a control picture its control, any
// other character its code in the 8-bit set; nothing when the set cannot hold it.
[[nodiscard]] inline std::optional<unsigned char> codeOf(QChar shown)
{
    // The codes that are their own character, most of any text, need no look-up.
    const char16_t ch = shown.unicode();
    if (ch < 0x80 || (ch >= 0xA0 && ch <= 0xFF)) {
        return static_cast<unsigned char>(ch);
    }
    if (ch >= 0x2400 && ch < 0x2420) {
        return static_cast<unsigned char>(ch - 0x2400);
    }
    return codeOfOther(shown);
}

// In UTF-8, a byte that is not part of a character (a stray continuation byte,
// a sequence cut short, an overlong form, a surrogate) shows as a mark of its
// own: one character from a private-use range, which the text area draws as a
// box naming the byte. A valid character the area could not show as itself (a
// control picture, a mark, a character Qt takes for a line break) shows as the
// marks of its bytes. Such bytes are always 0x80 or above.
[[nodiscard]] QChar byteMark(unsigned char byte);
// The byte a mark stands for; nothing for any other character.
[[nodiscard]] std::optional<unsigned char> markedByte(QChar shown);

// A text as a text area shows it: every line break and continuation as '\n', the
// kind of each in `breaks`, in order.
struct ShownText
{
    QString text;
    std::vector<LineBreak> breaks;
};

// CR LF and a lone LF become line breaks; every other control but TAB, a lone CR
// included, becomes its picture; a line longer than kChunkLength is cut into
// chunks. In UTF-8, each valid sequence shows as its character and every other
// byte as its mark.
// With `progress`, told after each step of some MiB; nothing when it stopped.
[[nodiscard]] std::optional<ShownText> textFromBytes(std::string_view bytes, Charset charset,
                                                     const Progress &progress);
[[nodiscard]] inline ShownText textFromBytes(std::string_view bytes,
                                             Charset charset = Charset::Windows1252)
{
    return *textFromBytes(bytes, charset, nullptr);
}
// Where in a shown text the character stands that holds byte `offset` of the
// bytes it shows: the position of its first character, the text's end for an
// offset past the end.
[[nodiscard]] qsizetype positionOfByte(const ShownText &shown, std::size_t offset, Charset charset);
// The key field's form: every control, TAB, CR and LF included, as its picture.
[[nodiscard]] QString lineFromBytes(std::string_view bytes);

// Back to bytes, for text that holds no line break: pictures to their codes,
// other characters through the 8-bit set, a character the set cannot hold to "?".
// In UTF-8, marks to their bytes and other characters to their UTF-8 bytes.
void appendBytes(QStringView shown, std::string &out, Charset charset = Charset::Windows1252);

// What typed, pasted or dropped text becomes before it is inserted.
enum class Breaks
{
    AsLineBreaks, // a text area: CR LF, LF, a lone CR, U+2028 and U+2029 become '\n'; TAB stays
    AsPictures,   // the key field: CR, LF and TAB become their pictures
};
// What goes in: controls become their pictures, pictures stay as they are,
// and a character the set cannot hold (a pair of surrogates counting as one)
// is left out; `leftOut` holds each such character once, in order. In UTF-8
// every character is held: marks stay as they are, and a character the area
// cannot show as itself becomes the marks of its bytes.
struct Sanitized
{
    QString text;
    QString leftOut;
};
[[nodiscard]] Sanitized sanitized(QStringView text, Breaks breaks,
                                  Charset charset = Charset::Windows1252);

// Tells the user at once, without stopping them, which characters were left
// out and why: a tool tip at the caret, which lies at `caret` in `widget`.
void tellLeftOut(QWidget &widget, const QRect &caret, const QString &leftOut);
// The words of that tool tip; with no characters (a masked key must not show
// them), words that name none.
[[nodiscard]] QString leftOutMessage(const QString &leftOut);

// Alt with a key that types: no access key took it, so it types nothing.
[[nodiscard]] bool isUnusedAltKey(const QKeyEvent &event);

// Whether a widget would insert the key's text: Ctrl and Ctrl+Shift combinations
// and control codes insert nothing.
[[nodiscard]] bool insertsText(const QKeyEvent &event);
// The event with other text, for the base class to insert instead.
[[nodiscard]] QKeyEvent withText(const QKeyEvent &event, const QString &text);

} // namespace lorimand::displaytext

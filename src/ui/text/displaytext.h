// The mapping between 8-bit text and what the text widgets show, shared by
// ByteTextEdit and ByteLineEdit, by what an assistive technology reads of a
// text area, and by the previews of Find Key, which show a decoding as the
// Normal area would.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <QByteArray>
#include <QKeyEvent>
#include <QRect>
#include <QString>
#include <QStringView>

#include "engine/charset.h"
#include "text/textbuffer.h"

class QWidget;

namespace lorimand::displaytext {

// How a text area reads its bytes. The key field always uses the 8-bit set.
using Charset = charset::TextCharset;

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

// Bytes of a line, no line break among them, as a text area shows them: every
// control but TAB, a lone CR included, as its picture; in UTF-8 each valid
// sequence as its character and every other byte as its mark. In UTF-8,
// `starts` holds where the bytes of each character shown start (the same for
// both halves of a surrogate pair), then the end; in the 8-bit set character i
// is byte i, and `starts` is empty.
struct ShownRun
{
    QString text;
    std::vector<std::uint32_t> starts;
};
[[nodiscard]] ShownRun shownRun(std::string_view bytes, Charset charset);
// A whole text as a text area shows it, '\n' for each line break (so that a CR
// LF is one character): the characters of bytes [from, to), from and to at the
// starts of characters; the character offset of byte `byte` and the byte
// offset of character `character` (UTF-16 code units, as Qt counts them); and
// how many characters the text shows. Each reads only the lines it needs.
[[nodiscard]] QString shownText(const text::TextBuffer &text, std::size_t from, std::size_t to,
                                Charset charset);
[[nodiscard]] std::size_t characterOffset(const text::TextBuffer &text, std::size_t byte,
                                          Charset charset);
[[nodiscard]] std::size_t byteOffset(const text::TextBuffer &text, std::size_t character,
                                     Charset charset);
// The same characters as shownText gives, in UTF-8, made a piece at a time:
// never a string of the whole range, which may be a gigabyte.
[[nodiscard]] QByteArray shownUtf8(const text::TextBuffer &text, std::size_t from, std::size_t to,
                                   Charset charset);
[[nodiscard]] inline std::size_t characterCount(const text::TextBuffer &text, Charset charset)
{
    return characterOffset(text, text.size(), charset);
}
// Bytes [from, to) of a text.
struct ByteSpan
{
    std::size_t from = 0;
    std::size_t to = 0;
};
// The bytes that may show otherwise in one charset than in the other: from the
// first byte of 0x80 or above to after the last (both at the start of a
// character in either set, since the bytes below 0x80 show alike in both);
// an empty span when the text has none.
[[nodiscard]] ByteSpan charsetDependent(const text::TextBuffer &text);
// In UTF-8, how many bytes from `at` on finish a character that starts before
// `at` and shows as itself: a text area that cuts a long line into pieces moves
// the cut past them, so that no character is cut in two. Reads at most three
// bytes either side of `at`.
[[nodiscard]] std::size_t characterTail(std::string_view bytes, std::size_t at);
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
// out and why: a tool tip at the caret, which lies at `caret` in `widget`, and
// an alert with its words for an assistive technology.
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

// Tests of the mapping between bytes and what a text area shows, in both of
// its views: every line's bytes read back unchanged, UTF-8 characters show as
// themselves, every other byte as a mark of its own, each character knows its
// bytes, a line cut into blocks keeps its characters whole, and typed text
// becomes the bytes the view stands for.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include <QTest>

#include "text/textblocks.h"
#include "ui/main/utf8samples.h"
#include "ui/text/displaytext.h"

using namespace lorimand;
using displaytext::Charset;

namespace {

[[nodiscard]] std::string_view view(const QByteArray &bytes)
{
    return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}

// What a text area reads back from a line shown.
[[nodiscard]] QByteArray readBack(const displaytext::ShownRun &run, Charset charset)
{
    std::string bytes;
    displaytext::appendBytes(run.text, bytes, charset);
    return QByteArray::fromStdString(bytes);
}

[[nodiscard]] QString marks(std::initializer_list<unsigned char> bytes)
{
    QString shown;
    for (const unsigned char byte : bytes) {
        shown += displaytext::byteMark(byte);
    }
    return shown;
}

// The lines of a text as a text area holds them: an LF ends a line, and a CR
// before it belongs to the line break.
[[nodiscard]] QList<QByteArray> linesOf(const QByteArray &bytes)
{
    QList<QByteArray> lines = bytes.split('\n');
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        if (lines[i].endsWith('\r')) {
            lines[i].chop(1);
        }
    }
    return lines;
}

constexpr qsizetype kBlock = text::TextBlocks::kBlockBytes;

} // namespace

class TestDisplayText : public QObject
{
    Q_OBJECT

private slots:
    // A range as UTF-8, made a piece at a time, is the range as shown: across
    // line breaks of every kind and across the pieces' cuts, UTF-8 characters included.
    void shownUtf8IsTheShownText_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        const QByteArray breaks("a\r\nb\nc\rd\r\r\ne\x01\xE4\xB8\xAD\xFF");
        QTest::newRow("every break, whole") << breaks << 0 << int(breaks.size());
        QTest::newRow("from inside a line to a break") << breaks << 3 << 8;
        QTest::newRow("empty") << breaks << 4 << 4;
        QByteArray wide;
        while (wide.size() < 200 * 1024) {
            wide += "\xE4\xB8\xAD\xF0\x9F\x98\x80x";
        }
        QTest::newRow("a long line of UTF-8") << wide << 0 << int(wide.size());
        QTest::newRow("a long line, from a character on") << wide << 8 << int(wide.size()) - 8;
    }
    void shownUtf8IsTheShownText()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, from);
        QFETCH(int, to);
        const text::TextBuffer text(bytes.toStdString());
        for (const auto charset : {Charset::Windows1252, Charset::Utf8}) {
            const auto f = static_cast<std::size_t>(from);
            const auto t = static_cast<std::size_t>(to);
            QCOMPARE(displaytext::shownUtf8(text, f, t, charset),
                     displaytext::shownText(text, f, t, charset).toUtf8());
        }
    }

    void showThenRead_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        testing::addUtf8Rows();
        QByteArray every;
        for (int code = 0; code < 256; ++code) {
            every += static_cast<char>(code);
        }
        QTest::newRow("every byte") << every;
        QTest::newRow("emoji across a block's end")
            << QByteArray(kBlock - 1, 'x') + "\xF0\x9F\x98\x80" + QByteArray(kBlock, 'y');
        QTest::newRow("marks across a block's end")
            << QByteArray(kBlock - 1, 'x') + "\xFF\xFE\xC3\xA4";
    }
    void showThenRead()
    {
        QFETCH(QByteArray, bytes);
        for (const Charset charset : {Charset::Windows1252, Charset::Utf8}) {
            for (const QByteArray &line : linesOf(bytes)) {
                QCOMPARE(readBack(displaytext::shownRun(view(line), charset), charset), line);
            }
        }
    }

    // Each character or mark stands for exactly the bytes it came from.
    void shownAsUtf8_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("shown");
        QTest::newRow("umlauts") << QByteArray("K\xC3\xB6ln") << u"K\u00F6ln"_qs;
        QTest::newRow("Greek and CJK") << QByteArray("\xCE\xA9\xE4\xB8\xAD") << u"\u03A9\u4E2D"_qs;
        QTest::newRow("emoji as a surrogate pair")
            << QByteArray("\xF0\x9F\x98\x80") << u"\U0001F600"_qs;
        QTest::newRow("a lone CR and controls")
            << QByteArray("c\rd\0\t\x7F", 6) << u"c\u240Dd\u2400\t\u2421"_qs;
        QTest::newRow("stray bytes") << QByteArray("\x80\xFF") << marks({0x80, 0xFF});
        QTest::newRow("cut short") << QByteArray("\xE4\xB8x") << marks({0xE4, 0xB8}) + u"x"_qs;
        QTest::newRow("overlong") << QByteArray("\xC0\xAF") << marks({0xC0, 0xAF});
        QTest::newRow("surrogate") << QByteArray("\xED\xA0\x80") << marks({0xED, 0xA0, 0x80});
        QTest::newRow("a picture's bytes")
            << QByteArray("\xE2\x90\x80") << marks({0xE2, 0x90, 0x80});
        QTest::newRow("a mark's bytes") << QByteArray("\xEF\x9F\xBF") << marks({0xEF, 0x9F, 0xBF});
        QTest::newRow("paragraph separator")
            << QByteArray("\xE2\x80\xA9") << marks({0xE2, 0x80, 0xA9});
        QTest::newRow("frame start") << QByteArray("\xEF\xB7\x90") << marks({0xEF, 0xB7, 0x90});
    }
    void shownAsUtf8()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, shown);
        QCOMPARE(displaytext::shownRun(view(bytes), Charset::Utf8).text, shown);
    }

    void marksNameTheirBytes()
    {
        for (int code = 0x80; code < 0x100; ++code) {
            const auto byte = static_cast<unsigned char>(code);
            QCOMPARE(displaytext::markedByte(displaytext::byteMark(byte)), std::optional(byte));
        }
        for (const char16_t other : {u'a', u'\u00FF', u'\u2400', u'\uF77F', u'\uF800'}) {
            QVERIFY(!displaytext::markedByte(QChar(other)));
        }
    }

    // Where each character shown starts among the bytes: a continuation byte
    // starts none, an emoji's two halves start at the same byte, a mark at its
    // own; in the 8-bit set character i is byte i and no starts are kept.
    void startsOfCharacters_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QList<int>>("starts");
        QTest::newRow("empty") << QByteArray() << QList<int>{0};
        QTest::newRow("umlaut") << QByteArray("a\xC3\xBC"
                                              "b")
                                << QList<int>{0, 1, 3, 4};
        QTest::newRow("emoji") << QByteArray("\xF0\x9F\x98\x80"
                                             "x")
                               << QList<int>{0, 0, 4, 5};
        QTest::newRow("lone CR and a mark") << QByteArray("\r\xFF") << QList<int>{0, 1, 2};
        QTest::newRow("cut short") << QByteArray("\xE4\xB8x") << QList<int>{0, 1, 2, 3};
        QTest::newRow("shown as marks") << QByteArray("\xE2\x90\x80") << QList<int>{0, 1, 2, 3};
    }
    void startsOfCharacters()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QList<int>, starts);
        const displaytext::ShownRun run = displaytext::shownRun(view(bytes), Charset::Utf8);
        QList<int> found;
        for (const std::uint32_t start : run.starts) {
            found.append(static_cast<int>(start));
        }
        QCOMPARE(found, starts);
        QCOMPARE(run.text.size() + 1, starts.size());

        const displaytext::ShownRun eightBit =
            displaytext::shownRun(view(bytes), Charset::Windows1252);
        QCOMPARE(eightBit.text.size(), bytes.size());
        QVERIFY(eightBit.starts.empty());
    }

    // How far a cut at `at` moves on so as not to cut a character shown as
    // itself in two; the bytes of one shown as marks may be cut anywhere.
    void characterTail_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("at");
        QTest::addColumn<int>("tail");
        const QByteArray emoji("x\xF0\x9F\x98\x80"
                               "y");
        QTest::newRow("before an emoji") << emoji << 1 << 0;
        QTest::newRow("after its first byte") << emoji << 2 << 3;
        QTest::newRow("after its second byte") << emoji << 3 << 2;
        QTest::newRow("after its third byte") << emoji << 4 << 1;
        QTest::newRow("after an emoji") << emoji << 5 << 0;
        QTest::newRow("inside an umlaut") << QByteArray("a\xC3\xBC") << 2 << 1;
        QTest::newRow("after continuation bytes") << QByteArray("\x80\x80\x80\xC3\xA4") << 4 << 1;
        QTest::newRow("at the start") << QByteArray("\xBC\xBC") << 0 << 0;
        QTest::newRow("a picture's bytes") << QByteArray("\xE2\x90\x80") << 1 << 0;
        QTest::newRow("a surrogate's bytes") << QByteArray("\xED\xA0\x80") << 2 << 0;
        QTest::newRow("overlong") << QByteArray("\xC0\xAF") << 1 << 0;
        QTest::newRow("cut short before ASCII") << QByteArray("\xE4\xB8x") << 1 << 0;
        QTest::newRow("cut short at the end") << QByteArray("\xF0\x9F\x98") << 2 << 0;
        QTest::newRow("lead byte at the end") << QByteArray("a\xC3") << 2 << 0;
    }
    void characterTail()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, at);
        QFETCH(int, tail);
        QCOMPARE(displaytext::characterTail(view(bytes), static_cast<std::size_t>(at)),
                 static_cast<std::size_t>(tail));
    }

    // A line cut at any offset moved on by characterTail shows in two runs as
    // the whole line does, and so reads back whole: the cut lands on the start
    // of the next character shown, never inside one.
    void cutsKeepCharactersWhole_data() { showThenRead_data(); }
    void cutsKeepCharactersWhole()
    {
        QFETCH(QByteArray, bytes);
        for (const QByteArray &line : linesOf(bytes)) {
            const std::string_view all = view(line);
            const displaytext::ShownRun whole = displaytext::shownRun(all, Charset::Utf8);
            // Every offset of a line of one block; a longer one around the block's end.
            const auto block = static_cast<std::size_t>(kBlock);
            const bool longer = all.size() > block;
            const std::size_t to = longer ? std::min(block + 4, all.size()) : all.size();
            for (std::size_t at = longer ? block - 4 : 0; at <= to; ++at) {
                const std::size_t cut = at + displaytext::characterTail(all, at);
                const std::uint32_t next =
                    *std::lower_bound(whole.starts.begin(), whole.starts.end(), at);
                QCOMPARE(cut, std::size_t{next});
                const QString joined =
                    displaytext::shownRun(all.substr(0, cut), Charset::Utf8).text +
                    displaytext::shownRun(all.substr(cut), Charset::Utf8).text;
                QCOMPARE(joined, whole.text);
            }
        }
    }

    // Typed or pasted text in the UTF-8 view, and the bytes it stands for.
    void typedAsUtf8_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("inserted");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("umlaut") << u"\u00E4"_qs << u"\u00E4"_qs << QByteArray("\xC3\xA4");
        QTest::newRow("euro sign") << u"\u20AC"_qs << u"\u20AC"_qs << QByteArray("\xE2\x82\xAC");
        QTest::newRow("Greek") << u"\u03A9"_qs << u"\u03A9"_qs << QByteArray("\xCE\xA9");
        QTest::newRow("emoji") << u"\U0001F600"_qs << u"\U0001F600"_qs
                               << QByteArray("\xF0\x9F\x98\x80");
        QTest::newRow("a mark") << marks({0xFF}) << marks({0xFF}) << QByteArray("\xFF");
        QTest::newRow("a picture") << u"\u2400"_qs << u"\u2400"_qs << QByteArray("\0", 1);
        QTest::newRow("a control") << u"\u001B"_qs << u"\u241B"_qs << QByteArray("\x1B");
        QTest::newRow("frame start")
            << u"\uFDD0"_qs << marks({0xEF, 0xB7, 0x90}) << QByteArray("\xEF\xB7\x90");
        // A lone surrogate is no character at all: it is left out.
        QTest::newRow("lone surrogate") << QString(QChar(0xD800)) << QString() << QByteArray();
    }
    void typedAsUtf8()
    {
        QFETCH(QString, typed);
        QFETCH(QString, inserted);
        QFETCH(QByteArray, bytes);
        const QString shown =
            displaytext::sanitized(typed, displaytext::Breaks::AsLineBreaks, Charset::Utf8).text;
        QCOMPARE(shown, inserted);
        std::string read;
        displaytext::appendBytes(shown, read, Charset::Utf8);
        QCOMPARE(QByteArray::fromStdString(read), bytes);
    }
};

QTEST_APPLESS_MAIN(TestDisplayText)
#include "tst_displaytext.moc"

// Tests of the mapping between bytes and what a text area shows, in both of
// its views: every byte string reads back unchanged, UTF-8 characters show as
// themselves, every other byte as a mark of its own, and typed text becomes
// the bytes the view stands for.
#include <string>

#include <QTest>

#include "ui/text/displaytext.h"
#include "ui/main/utf8samples.h"

using namespace lorimand;
using displaytext::Charset;

namespace {

[[nodiscard]] std::string_view view(const QByteArray &bytes)
{
    return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}

// What a text area reads back from a shown text: each block's characters, then
// the bytes of the break after it.
[[nodiscard]] QByteArray readBack(const displaytext::ShownText &shown, Charset charset)
{
    std::string bytes;
    const QStringList blocks = shown.text.split(u'\n');
    for (qsizetype i = 0; i < blocks.size(); ++i) {
        displaytext::appendBytes(blocks[i], bytes, charset);
        if (i < static_cast<qsizetype>(shown.breaks.size())) {
            bytes += displaytext::breakBytes(shown.breaks[static_cast<std::size_t>(i)]);
        }
    }
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

constexpr qsizetype kChunk = displaytext::kChunkLength;

} // namespace

class TestDisplayText : public QObject
{
    Q_OBJECT

private slots:
    void showThenRead_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        testing::addUtf8Rows();
        QByteArray every;
        for (int code = 0; code < 256; ++code) {
            every += static_cast<char>(code);
        }
        QTest::newRow("every byte") << every;
        QTest::newRow("emoji across a chunk's end")
            << QByteArray(kChunk - 1, 'x') + "\xF0\x9F\x98\x80" + QByteArray(kChunk, 'y');
        QTest::newRow("marks across a chunk's end")
            << QByteArray(kChunk - 1, 'x') + "\xFF\xFE\xC3\xA4";
    }
    void showThenRead()
    {
        QFETCH(QByteArray, bytes);
        for (const Charset charset : {Charset::Windows1252, Charset::Utf8}) {
            const displaytext::ShownText shown = displaytext::textFromBytes(view(bytes), charset);
            QCOMPARE(readBack(shown, charset), bytes);
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
        QTest::newRow("line breaks and controls")
            << QByteArray("a\r\nb\nc\rd\0\t", 10) << u"a\nb\nc\u240Dd\u2400\t"_qs;
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
        QCOMPARE(displaytext::textFromBytes(view(bytes), Charset::Utf8).text, shown);
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

    // A chunk never ends between the halves of a surrogate pair, so each block
    // shows whole characters.
    void chunksKeepPairsWhole_data()
    {
        QTest::addColumn<qsizetype>("before");
        QTest::addColumn<qsizetype>("firstBlock");
        QTest::newRow("pair would straddle") << kChunk - 1 << kChunk - 1;
        QTest::newRow("pair ends the chunk") << kChunk - 2 << kChunk;
        QTest::newRow("pair starts the next chunk") << kChunk << kChunk;
    }
    void chunksKeepPairsWhole()
    {
        QFETCH(qsizetype, before);
        QFETCH(qsizetype, firstBlock);
        const QByteArray bytes = QByteArray(before, 'x') + "\xF0\x9F\x98\x80" + "yz";
        const displaytext::ShownText shown = displaytext::textFromBytes(view(bytes), Charset::Utf8);
        const QStringList blocks = shown.text.split(u'\n');
        QCOMPARE(blocks.size(), 2);
        QCOMPARE(blocks[0].size(), firstBlock);
        QCOMPARE(displaytext::firstChunk(QString(shown.text).remove(u'\n')), firstBlock);
        QVERIFY(!blocks[1].front().isLowSurrogate());
    }

    // A byte offset lands on the character that holds it: a continuation
    // stands for no bytes, a CR LF for two, an emoji for four.
    void positionOfByte_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("position");
        const QByteArray umlaut("a\xC3\xBC"
                                "b");
        QTest::newRow("before an umlaut") << umlaut << 1 << 1;
        QTest::newRow("inside an umlaut") << umlaut << 2 << 1;
        QTest::newRow("after an umlaut") << umlaut << 3 << 2;
        QTest::newRow("past the end") << umlaut << 9 << 3;
        const QByteArray emoji("\xF0\x9F\x98\x80"
                               "x");
        QTest::newRow("inside an emoji") << emoji << 3 << 0;
        QTest::newRow("after an emoji") << emoji << 4 << 2;
        const QByteArray breaks("\r\n\xFF\n");
        QTest::newRow("inside CR LF") << breaks << 1 << 0;
        QTest::newRow("a mark") << breaks << 2 << 1;
        QTest::newRow("after a continuation")
            << QByteArray(kChunk, 'x') + "y" << int(kChunk) << int(kChunk) + 1;
    }
    void positionOfByte()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, offset);
        QFETCH(int, position);
        const displaytext::ShownText shown = displaytext::textFromBytes(view(bytes), Charset::Utf8);
        QCOMPARE(
            displaytext::positionOfByte(shown, static_cast<std::size_t>(offset), Charset::Utf8),
            position);
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

// Tests of the 8-bit character set and its letter case.
#include <string>

#include <QTest>

#include "engine/charset.h"

using namespace lorimand;

class TestCharset : public QObject
{
    Q_OBJECT

private slots:
    void toUnicode_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<uint>("expected");
        QTest::newRow("NUL") << 0x00 << 0x0000u;
        QTest::newRow("A") << 0x41 << 0x0041u;
        QTest::newRow("euro") << 0x80 << 0x20ACu;
        QTest::newRow("unassigned 0x81") << 0x81 << 0x0081u;
        QTest::newRow("unassigned 0x8D") << 0x8D << 0x008Du;
        QTest::newRow("unassigned 0x8F") << 0x8F << 0x008Fu;
        QTest::newRow("unassigned 0x90") << 0x90 << 0x0090u;
        QTest::newRow("unassigned 0x9D") << 0x9D << 0x009Du;
        QTest::newRow("S caron") << 0x8A << 0x0160u;
        QTest::newRow("left double quote") << 0x93 << 0x201Cu;
        QTest::newRow("trade mark") << 0x99 << 0x2122u;
        QTest::newRow("Y diaeresis") << 0x9F << 0x0178u;
        QTest::newRow("no-break space") << 0xA0 << 0x00A0u;
        QTest::newRow("y diaeresis") << 0xFF << 0x00FFu;
    }
    void toUnicode()
    {
        QFETCH(int, code);
        QFETCH(uint, expected);
        QCOMPARE(static_cast<uint>(charset::toUnicode(static_cast<unsigned char>(code))), expected);
    }

    void everyCodeRoundTrips()
    {
        for (int code = 0; code < 256; ++code) {
            const auto back =
                charset::fromUnicode(charset::toUnicode(static_cast<unsigned char>(code)));
            QVERIFY(back.has_value());
            QCOMPARE(static_cast<int>(*back), code);
        }
    }

    void fromUnicodeIsTheExactInverse()
    {
        int held = 0;
        for (char32_t ch = 0; ch <= 0x10FFFF; ++ch) {
            if (const auto code = charset::fromUnicode(ch)) {
                ++held;
                QCOMPARE(static_cast<uint>(charset::toUnicode(*code)), static_cast<uint>(ch));
            }
        }
        QCOMPARE(held, 256);
        QVERIFY(!charset::fromUnicode(0x80));
        QVERIFY(!charset::fromUnicode(0x0100));
        QVERIFY(!charset::fromUnicode(0x1F600));
    }

    void casePairs_data()
    {
        QTest::addColumn<int>("upper");
        QTest::addColumn<int>("lower");
        QTest::newRow("A") << int('A') << int('a');
        QTest::newRow("Z") << int('Z') << int('z');
        QTest::newRow("A grave") << 0xC0 << 0xE0;
        QTest::newRow("E acute") << 0xC9 << 0xE9;
        QTest::newRow("O stroke") << 0xD8 << 0xF8;
        QTest::newRow("thorn") << 0xDE << 0xFE;
        QTest::newRow("S caron") << 0x8A << 0x9A;
        QTest::newRow("OE") << 0x8C << 0x9C;
        QTest::newRow("Z caron") << 0x8E << 0x9E;
        QTest::newRow("Y diaeresis") << 0x9F << 0xFF;
    }
    void casePairs()
    {
        QFETCH(int, upper);
        QFETCH(int, lower);
        const auto u = static_cast<unsigned char>(upper);
        const auto l = static_cast<unsigned char>(lower);
        QCOMPARE(charset::toLower(u), l);
        QCOMPARE(charset::toUpper(l), u);
        QCOMPARE(charset::toUpper(u), u);
        QCOMPARE(charset::toLower(l), l);
    }

    void caselessCodes_data()
    {
        QTest::addColumn<int>("code");
        QTest::newRow("multiplication") << 0xD7;
        QTest::newRow("division") << 0xF7;
        QTest::newRow("sharp s") << 0xDF;
        QTest::newRow("micro") << 0xB5;
        QTest::newRow("digit") << int('1');
        QTest::newRow("at") << int('@');
        QTest::newRow("bracket") << int('[');
        QTest::newRow("euro") << 0x80;
        QTest::newRow("feminine ordinal") << 0xAA;
    }
    void caselessCodes()
    {
        QFETCH(int, code);
        const auto c = static_cast<unsigned char>(code);
        QCOMPARE(charset::toUpper(c), c);
        QCOMPARE(charset::toLower(c), c);
    }

    void caseTableIsConsistent()
    {
        int uppers = 0;
        int lowers = 0;
        for (int code = 0; code < 256; ++code) {
            const auto c = static_cast<unsigned char>(code);
            uppers += charset::toUpper(c) != c ? 1 : 0;
            lowers += charset::toLower(c) != c ? 1 : 0;
            QCOMPARE(charset::toLower(charset::toUpper(c)), charset::toLower(c));
            QCOMPARE(charset::toUpper(charset::toLower(c)), charset::toUpper(c));
        }
        // 26 ASCII letters, 30 Latin-1 letters and 4 from 0x80-0x9F in each case.
        QCOMPARE(uppers, 60);
        QCOMPARE(lowers, 60);
    }

    void lowerText()
    {
        QCOMPARE(charset::toLower("MaskKey=\xC9\x9F"
                                  "1"),
                 std::string("maskkey=\xE9\xFF"
                             "1"));
    }

    void fromUtf8_data()
    {
        QTest::addColumn<QByteArray>("utf8");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("ASCII") << QByteArray("abc") << true << QByteArray("abc");
        QTest::newRow("empty") << QByteArray() << true << QByteArray();
        QTest::newRow("NUL") << QByteArray("a\0b", 3) << true << QByteArray("a\0b", 3);
        QTest::newRow("e acute") << QByteArray("\xC3\xA9") << true << QByteArray("\xE9");
        QTest::newRow("euro") << QByteArray("\xE2\x82\xAC") << true << QByteArray("\x80");
        QTest::newRow("C1 0x81") << QByteArray("\xC2\x81") << true << QByteArray("\x81");
        QTest::newRow("unholdable A macron") << QByteArray("\xC4\x80") << false << QByteArray();
        QTest::newRow("unholdable C1 0x80") << QByteArray("\xC2\x80") << false << QByteArray();
        QTest::newRow("unholdable emoji")
            << QByteArray("\xF0\x9F\x98\x80") << false << QByteArray();
        QTest::newRow("truncated") << QByteArray("a\xC3") << false << QByteArray();
        QTest::newRow("lone continuation") << QByteArray("\x80") << false << QByteArray();
        QTest::newRow("overlong NUL") << QByteArray("\xC0\x80") << false << QByteArray();
        QTest::newRow("overlong three bytes")
            << QByteArray("\xE0\x81\xA1") << false << QByteArray();
        QTest::newRow("surrogate") << QByteArray("\xED\xA0\x80") << false << QByteArray();
        QTest::newRow("beyond Unicode") << QByteArray("\xF4\x90\x80\x80") << false << QByteArray();
        QTest::newRow("byte 0xFF") << QByteArray("\xFF") << false << QByteArray();
        QTest::newRow("bad continuation") << QByteArray("\xC3(") << false << QByteArray();
    }
    void fromUtf8()
    {
        QFETCH(QByteArray, utf8);
        QFETCH(bool, valid);
        QFETCH(QByteArray, expected);
        const auto text = charset::fromUtf8(utf8.toStdString());
        QCOMPARE(text.has_value(), valid);
        if (valid) {
            QCOMPARE(QByteArray::fromStdString(*text), expected);
        }
    }

    void findUtf8Error_data()
    {
        QTest::addColumn<QByteArray>("utf8");
        QTest::addColumn<bool>("fails");
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("character"); // -1: the bytes are not UTF-8
        QTest::newRow("all held") << QByteArray("T\xC3\xA9\xE2\x82\xAC") << false << 0 << 0 << 0;
        QTest::newRow("empty") << QByteArray() << false << 0 << 0 << 0;
        QTest::newRow("Greek omega after held ones")
            << QByteArray("T\xC3\xA9\xCE\xA9x") << true << 3 << 2 << 0x3A9;
        QTest::newRow("C1 0x80") << QByteArray("\xC2\x80") << true << 0 << 2 << 0x80;
        QTest::newRow("emoji") << QByteArray("ab\xF0\x9F\x98\x80") << true << 2 << 4 << 0x1F600;
        QTest::newRow("unholdable before bad bytes")
            << QByteArray("\xC4\x80\xFF") << true << 0 << 2 << 0x100;
        QTest::newRow("bad bytes before unholdable")
            << QByteArray("a\xFF\xC4\x80") << true << 1 << 1 << -1;
        QTest::newRow("truncated") << QByteArray("ab\xE2\x82") << true << 2 << 1 << -1;
        QTest::newRow("lone continuation") << QByteArray("\x80") << true << 0 << 1 << -1;
        QTest::newRow("overlong") << QByteArray("x\xC0\x80") << true << 1 << 1 << -1;
        QTest::newRow("surrogate") << QByteArray("\xED\xA0\x80") << true << 0 << 1 << -1;
        QTest::newRow("beyond Unicode") << QByteArray("\xF4\x90\x80\x80") << true << 0 << 1 << -1;
    }
    void findUtf8Error()
    {
        QFETCH(QByteArray, utf8);
        QFETCH(bool, fails);
        QFETCH(int, offset);
        QFETCH(int, length);
        QFETCH(int, character);
        const auto error = charset::findUtf8Error(utf8.toStdString());
        // It fails exactly where fromUtf8 does.
        QCOMPARE(error.has_value(), !charset::fromUtf8(utf8.toStdString()).has_value());
        QCOMPARE(error.has_value(), fails);
        if (fails) {
            QCOMPARE(error->offset, std::size_t(offset));
            QCOMPARE(error->length, std::size_t(length));
            QCOMPARE(error->character.has_value(), character >= 0);
            if (character >= 0) {
                QCOMPARE(static_cast<int>(*error->character), character);
            }
        }
    }

    // Code points at the edges of each encoded length: written as Qt writes
    // them, and read back whole from amid other bytes.
    void utf8Character_data()
    {
        QTest::addColumn<int>("codePoint");
        for (const int codePoint :
             {0x00, 0x7F, 0x80, 0x7FF, 0x800, 0xD7FF, 0xE000, 0xFFFF, 0x10000, 0x1F600, 0x10FFFF}) {
            QTest::addRow("U+%04X", codePoint) << codePoint;
        }
    }
    void utf8Character()
    {
        QFETCH(int, codePoint);
        const auto ch = static_cast<char32_t>(codePoint);
        std::string written;
        charset::appendUtf8(ch, written);
        QCOMPARE(QByteArray::fromStdString(written), QString::fromUcs4(&ch, 1).toUtf8());
        const std::string amid = "x" + written + "y";
        QCOMPARE(charset::utf8CharAt(amid, 1),
                 std::optional(charset::Utf8Char{ch, written.size()}));
    }

    void readsAsUtf8_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("utf8");
        QTest::newRow("umlaut") << QByteArray("K\xC3\xB6ln") << true;
        QTest::newRow("emoji") << QByteArray("\xF0\x9F\x98\x80") << true;
        QTest::newRow("ASCII only") << QByteArray("Koeln\r\n") << false;
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("Windows-1252 umlaut") << QByteArray("K\xF6ln") << false;
        QTest::newRow("valid, then a stray byte") << QByteArray("\xC3\xB6\xB6") << false;
        QTest::newRow("cut short at the end") << QByteArray("\xC3\xB6\xE2\x82") << false;
    }
    void readsAsUtf8()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, utf8);
        QCOMPARE(charset::readsAsUtf8(text.toStdString()), utf8);
    }

    void fromUtf8TakesEveryCode()
    {
        std::string all;
        QList<char32_t> points;
        for (int code = 0; code < 256; ++code) {
            all.push_back(static_cast<char>(code));
            points.append(charset::toUnicode(static_cast<unsigned char>(code)));
        }
        const QByteArray utf8 = QString::fromUcs4(points.constData(), points.size()).toUtf8();
        const auto text = charset::fromUtf8(utf8.toStdString());
        QVERIFY(text.has_value());
        QCOMPARE(*text, all);
    }
};

QTEST_APPLESS_MAIN(TestCharset)
#include "tst_charset.moc"

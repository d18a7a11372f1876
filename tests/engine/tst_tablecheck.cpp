// Tests of checking whether a code table can be decoded: hand-made tables that
// clash, and good ones that must pass without a word.
#include <string>

#include <QStringList>
#include <QTest>

#include "engine/codetablefile.h"
#include "engine/tablecheck.h"

using namespace lorimand;

namespace {

QStringList problemsOf(const QByteArray &file)
{
    const CodeTableParse parsed = parseCodeTable(file.toStdString());
    QStringList lines;
    for (const std::string &line : describeProblems(checkTable(parsed.tables))) {
        lines.append(QString::fromStdString(line));
    }
    return lines;
}

} // namespace

class TestTableCheck : public QObject
{
    Q_OBJECT

private slots:
    void problems_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("problems");

        // Tables that can be decoded.
        QTest::newRow("no entries") << QByteArray() << QStringList();
        QTest::newRow("a swap") << QByteArray("97=98\r\n98=97\r\n") << QStringList();
        QTest::newRow("a comment line first")
            << QByteArray("Swaps a and b\r\n97=98\r\n98=97\r\n") << QStringList();
        QTest::newRow("an entry that changes nothing") << QByteArray("97=97") << QStringList();
        QTest::newRow("a line end given an entry")
            << QByteArray("13=164\r\n164=13\r\n") << QStringList();

        // Tables that cannot.
        QTest::newRow("onto a code left as it is")
            << QByteArray("97=98")
            << QStringList{QStringLiteral("Decoding cannot tell A from B: both encode as B"),
                           QStringLiteral("Decoding cannot tell a from b: both encode as b")};
        QTest::newRow("two entries onto one code")
            << QByteArray("49=120\r\n50=120\r\n120=49\r\n")
            << QStringList{QStringLiteral("Decoding cannot tell X from x: both encode as 1"),
                           QStringLiteral("Decoding cannot tell 1 from 2: both encode as x")};
        QTest::newRow("a letter onto a line end, its other case following")
            << QByteArray("13=200\r\n200=13\r\n")
            << QStringList{QStringLiteral("Decoding cannot tell \u00c8 from \u00e8: both encode "
                                          "as code 13")};
        QTest::newRow("three onto one")
            << QByteArray("49=51\r\n50=51\r\n")
            << QStringList{
                   QStringLiteral("Decoding cannot tell 1, 2 and 3 apart: all encode as 3")};
        QTest::newRow("onto a control code")
            << QByteArray("43=13")
            << QStringList{
                   QStringLiteral("Decoding cannot tell code 13 from +: both encode as code 13")};
        QTest::newRow("a blank and an accented letter")
            << QByteArray("32=233")
            << QStringList{QStringLiteral("Decoding cannot tell code 32 from \u00e9: both encode "
                                          "as \u00e9"),
                           QStringLiteral("\u00c9 encodes as \u00c9, which decodes as code 32")};
        QTest::newRow("one code given two entries, the later one winning")
            << QByteArray("97=120\r\n97=98\r\n98=97\r\n")
            << QStringList{QStringLiteral("X encodes as X, which decodes as A"),
                           QStringLiteral("x encodes as x, which decodes as a")};
        // A line break passes whole, so the code that encodes as LF cannot follow a CR.
        QTest::newRow("a line feed given an entry, swapped with another code")
            << QByteArray("10=164\r\n164=10\r\n")
            << QStringList{QStringLiteral(
                   "After a CR, \u00a4 encodes as code 10, which decodes as code 10")};
        QTest::newRow("a line feed and a line end given entries")
            << QByteArray("10=164\r\n164=10\r\n13=165\r\n165=13\r\n") << QStringList();
        QTest::newRow("a capital onto its own small letter")
            << QByteArray("65=97\r\n")
            << QStringList{QStringLiteral("Decoding cannot tell A from a: both encode as a")};
    }
    void problems()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, problems);
        QCOMPARE(problemsOf(file), problems);
    }

    void everyClashIsFound()
    {
        // Any table that is not a one-to-one match of the codes is refused; a
        // random swap of two codes never is.
        for (int a = 32; a < 256; a += 7) {
            for (int b = a + 1; b < 256; b += 11) {
                const QByteArray swap = QByteArray::number(a) + '=' + QByteArray::number(b) +
                                        "\r\n" + QByteArray::number(b) + '=' +
                                        QByteArray::number(a) + "\r\n";
                const TableCheck good = checkTable(parseCodeTable(swap.toStdString()).tables);
                // A letter swapped with a code that is no letter leaves its other
                // case to borrow the swap, so only pairs of non-letters are sure.
                const auto isLetter = [](int code) {
                    return (code >= 'a' && code <= 'z') || (code >= 'A' && code <= 'Z') ||
                           code >= 192 || code == 138 || code == 140 || code == 142 ||
                           code == 154 || code == 156 || code == 158 || code == 159;
                };
                if (!isLetter(a) && !isLetter(b)) {
                    QVERIFY2(good.decodable(), swap.constData());
                }
                const QByteArray oneWay = QByteArray::number(a) + '=' + QByteArray::number(b);
                QVERIFY2(!checkTable(parseCodeTable(oneWay.toStdString()).tables).decodable(),
                         oneWay.constData());
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestTableCheck)
#include "tst_tablecheck.moc"

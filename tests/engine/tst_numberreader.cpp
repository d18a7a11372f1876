// Tests of the lenient number reader and the rounding to whole numbers.
#include <cmath>
#include <limits>
#include <optional>

#include <QTest>

#include "engine/numberreader.h"

using namespace lorimand;

class TestNumberReader : public QObject
{
    Q_OBJECT

private slots:
    void read_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<double>("expected");
        QTest::newRow("digits") << QByteArray("65") << 65.0;
        QTest::newRow("leading blanks and tabs") << QByteArray(" \t 65") << 65.0;
        QTest::newRow("blank between digits") << QByteArray("6 5") << 65.0;
        QTest::newRow("minus") << QByteArray("-5") << -5.0;
        QTest::newRow("plus") << QByteArray("+5") << 5.0;
        QTest::newRow("blank after the sign") << QByteArray("- 5") << -5.0;
        QTest::newRow("fraction") << QByteArray("1.5") << 1.5;
        QTest::newRow("fraction only") << QByteArray(".5") << 0.5;
        QTest::newRow("point without fraction") << QByteArray("5.") << 5.0;
        QTest::newRow("blanks around the point") << QByteArray("1 . 5") << 1.5;
        QTest::newRow("exponent") << QByteArray("1e3") << 1000.0;
        QTest::newRow("exponent with sign") << QByteArray("1E+3") << 1000.0;
        QTest::newRow("D exponent") << QByteArray("1D-2") << 0.01;
        QTest::newRow("blanks in the exponent") << QByteArray("1 e 2") << 100.0;
        QTest::newRow("E without digits") << QByteArray("1e") << 1.0;
        QTest::newRow("E then letters") << QByteArray("12ex") << 12.0;
        QTest::newRow("stops at =") << QByteArray("65=66") << 65.0;
        QTest::newRow("stops at a second point") << QByteArray("1.2.3") << 1.2;
        QTest::newRow("stops at LF") << QByteArray("66\n67") << 66.0;
        QTest::newRow("no number") << QByteArray("abc") << 0.0;
        QTest::newRow("empty") << QByteArray() << 0.0;
        QTest::newRow("sign only") << QByteArray("-") << 0.0;
        QTest::newRow("point only") << QByteArray(".") << 0.0;
        QTest::newRow("two signs") << QByteArray("+-5") << 0.0;
        QTest::newRow("= first") << QByteArray("=66") << 0.0;
        // Correctly rounded, not summed digit by digit.
        QTest::newRow("0.3 exact") << QByteArray("0.3") << 0.3;
        QTest::newRow("2.675 exact") << QByteArray("2.675") << 2.675;
        QTest::newRow("many digits")
            << QByteArray("123456789012345678901234567890") << 123456789012345678901234567890.0;
        QTest::newRow("too large")
            << QByteArray("1e400") << std::numeric_limits<double>::infinity();
        QTest::newRow("too large by digits")
            << QByteArray("1" + QByteArray(400, '0')) << std::numeric_limits<double>::infinity();
        QTest::newRow("too small") << QByteArray("1e-400") << 0.0;
        QTest::newRow("too small by zeros") << QByteArray("0." + QByteArray(400, '0') + "1") << 0.0;
        QTest::newRow("negative too large")
            << QByteArray("-1e400") << -std::numeric_limits<double>::infinity();
    }
    void read()
    {
        QFETCH(QByteArray, text);
        QFETCH(double, expected);
        QCOMPARE(readNumber(text.toStdString()), expected);
    }

    void wholeText_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<double>("expected");
        QTest::newRow("number") << QByteArray("65") << true << 65.0;
        QTest::newRow("blanks around") << QByteArray(" \t65 \t") << true << 65.0;
        QTest::newRow("blank inside") << QByteArray("6 5") << true << 65.0;
        QTest::newRow("negative fraction") << QByteArray("-1.5") << true << -1.5;
        QTest::newRow("exponent") << QByteArray("2E1") << true << 20.0;
        QTest::newRow("letters") << QByteArray("abc") << false << 0.0;
        QTest::newRow("empty") << QByteArray() << false << 0.0;
        QTest::newRow("blanks only") << QByteArray("   ") << false << 0.0;
        QTest::newRow("trailing text") << QByteArray("65x") << false << 0.0;
        QTest::newRow("E without digits") << QByteArray("1e") << false << 0.0;
        QTest::newRow("sign only") << QByteArray("-") << false << 0.0;
    }
    void wholeText()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, valid);
        QFETCH(double, expected);
        const std::optional<double> value = readWholeText(text.toStdString());
        QCOMPARE(value.has_value(), valid);
        if (valid) {
            QCOMPARE(*value, expected);
        }
    }

    void round_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<bool>("fits");
        QTest::addColumn<int>("expected");
        QTest::newRow("half down to even 0") << 0.5 << true << 0;
        QTest::newRow("half up to even 2") << 1.5 << true << 2;
        QTest::newRow("half down to even 2") << 2.5 << true << 2;
        QTest::newRow("65.5") << 65.5 << true << 66;
        QTest::newRow("66.5") << 66.5 << true << 66;
        QTest::newRow("negative half") << -0.5 << true << 0;
        QTest::newRow("negative one and a half") << -1.5 << true << -2;
        QTest::newRow("below half") << 2.4999999999999996 << true << 2;
        QTest::newRow("above half") << 2.5000000000000004 << true << 3;
        QTest::newRow("largest") << 2147483647.0 << true << 2147483647;
        QTest::newRow("largest plus a fraction") << 2147483647.4 << true << 2147483647;
        QTest::newRow("rounds past the largest") << 2147483647.5 << false << 0;
        QTest::newRow("smallest") << -2147483648.0 << true << std::numeric_limits<int>::min();
        QTest::newRow("smallest minus a half")
            << -2147483648.5 << true << std::numeric_limits<int>::min();
        QTest::newRow("below the smallest") << -2147483649.0 << false << 0;
        QTest::newRow("huge") << 1e300 << false << 0;
        QTest::newRow("infinite") << std::numeric_limits<double>::infinity() << false << 0;
        QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << false << 0;
    }
    void round()
    {
        QFETCH(double, value);
        QFETCH(bool, fits);
        QFETCH(int, expected);
        const std::optional<std::int32_t> rounded = roundToInt32(value);
        QCOMPARE(rounded.has_value(), fits);
        if (fits) {
            QCOMPARE(*rounded, expected);
        }
    }
};

QTEST_APPLESS_MAIN(TestNumberReader)
#include "tst_numberreader.moc"

// Tests of the key-shift cipher: key seeds, shifts and the wrap within 1..255.
#include <cmath>
#include <string>
#include <vector>

#include <QRandomGenerator>
#include <QTest>

#include "bytes.h"
#include "engine/keyshift.h"
#include "generators.h"

using namespace lorimand;
using lorimand::test::bytesOf;
using lorimand::test::FixedGenerator;
using namespace std::string_literals;

namespace {

// The wrap as written out: encode adds and takes 255 off above 255, decode
// subtracts and adds 255 below 1.
int shiftedByRule(int code, int shift, Direction direction)
{
    if (code == 0) {
        return 0;
    }
    if (direction == Direction::Encode) {
        const int v = code + shift;
        return v > 255 ? v - 255 : v;
    }
    const int v = code - shift;
    return v < 1 ? v + 255 : v;
}

} // namespace

Q_DECLARE_METATYPE(Direction)

class TestKeyShift : public QObject
{
    Q_OBJECT

private slots:
    void contribution_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("expected");
        QTest::newRow("a") << 97 << 300;
        QTest::newRow("A") << 65 << 201;
        QTest::newRow("255") << 255 << 790;
        QTest::newRow("y rounds down from 374.9948") << 121 << 374;
        QTest::newRow("0") << 0 << 0;
        QTest::newRow("1") << 1 << 3;
    }
    void contribution()
    {
        QFETCH(int, code);
        QFETCH(int, expected);
        QCOMPARE(keyContribution(static_cast<unsigned char>(code)), expected);
    }

    void seedAndShift_data()
    {
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<float>("seed");
        QTest::addColumn<int>("shift");
        QTest::newRow("TarnVeli") << QByteArray("TarnVeli") << 2491.0f << 18;
        QTest::newRow("a") << QByteArray("a") << 300.0f << 49;
        QTest::newRow("A") << QByteArray("A") << 201.0f << 25;
        QTest::newRow("255") << QByteArray("\xff") << 790.0f << 240;
        QTest::newRow("y") << QByteArray("y") << 374.0f << 16;
    }
    void seedAndShift()
    {
        QFETCH(QByteArray, key);
        QFETCH(float, seed);
        QFETCH(int, shift);
        QCOMPARE(keySeed(bytesOf(key)), seed);
        RuntimeGenerator generator;
        QCOMPARE(shiftForKey(bytesOf(key), generator), shift);
    }

    void seedIsTheSumOfContributionsInKeyOrder()
    {
        std::string key;
        int sum = 0;
        for (int code = 255; code >= 0; --code) {
            key.push_back(static_cast<char>(code));
            sum += keyContribution(static_cast<unsigned char>(code));
        }
        QCOMPARE(keySeed(key), static_cast<float>(sum));
    }

    void seedIsHeldInSinglePrecision()
    {
        // Past 2^24 a float cannot hold odd sums, so rounding after every step
        // gives another total than adding exactly and rounding once.
        const std::string key(90000, 'A');
        float expected = 0.0f;
        double exact = 0.0;
        for (std::size_t i = 0; i < key.size(); ++i) {
            expected = static_cast<float>(static_cast<double>(expected) + 201.0);
            exact += 201.0;
        }
        QCOMPARE(keySeed(key), expected);
        QVERIFY(keySeed(key) != static_cast<float>(exact));
    }

    void shiftScalesTheGeneratorValueByTheFirstCode_data()
    {
        QTest::addColumn<float>("value");
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<int>("shift");
        QTest::newRow("zero gives 1") << 0.0f << QByteArray("zz") << 1;
        QTest::newRow("just below 1 gives the first code") << 0.9999999f << QByteArray("Az") << 65;
        QTest::newRow("half of 97") << 0.5f << QByteArray("a") << 49;
        QTest::newRow("first code 0") << 0.75f << QByteArray("\0a", 2) << 1;
        QTest::newRow("first code 255") << 0.9999999f << QByteArray("\xff") << 255;
    }
    void shiftScalesTheGeneratorValueByTheFirstCode()
    {
        QFETCH(float, value);
        QFETCH(QByteArray, key);
        QFETCH(int, shift);
        FixedGenerator generator(value);
        QCOMPARE(shiftForKey(bytesOf(key), generator), shift);
        QCOMPARE(generator.seeds, std::vector<double>{keySeed(bytesOf(key))});
    }

    void emptyKeyGivesNoShiftAndLeavesTheGeneratorAlone()
    {
        FixedGenerator generator(0.5f);
        QCOMPARE(shiftForKey({}, generator), 0);
        QVERIFY(generator.seeds.empty());
        const std::string text = "\x01\x00\xff text"s;
        QCOMPARE(applyShift(text, 0, Direction::Encode), text);
        QCOMPARE(applyShift(text, 0, Direction::Decode), text);
    }

    void shiftLiesBetweenOneAndTheFirstCode()
    {
        QRandomGenerator random(20240611);
        RuntimeGenerator generator;
        for (int round = 0; round < 2000; ++round) {
            std::string key(1 + random.bounded(20u), '\0');
            for (char &ch : key) {
                ch = static_cast<char>(random.bounded(256u));
            }
            const int first = static_cast<unsigned char>(key.front());
            const int shift = shiftForKey(key, generator);
            QVERIFY(shift >= 1);
            QVERIFY(shift <= std::max(first, 1));
        }
    }

    void wrapEdges_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("shift");
        QTest::addColumn<Direction>("direction");
        QTest::addColumn<int>("expected");
        QTest::newRow("encode 255+1 wraps to 1") << 255 << 1 << Direction::Encode << 1;
        QTest::newRow("decode 1-1 wraps to 255") << 1 << 1 << Direction::Decode << 255;
        QTest::newRow("encode to exactly 255") << 200 << 55 << Direction::Encode << 255;
        QTest::newRow("encode to 256 gives 1") << 200 << 56 << Direction::Encode << 1;
        QTest::newRow("decode to exactly 1") << 56 << 55 << Direction::Decode << 1;
        QTest::newRow("decode to 0 gives 255") << 55 << 55 << Direction::Decode << 255;
        QTest::newRow("encode code 0 stays 0") << 0 << 5 << Direction::Encode << 0;
        QTest::newRow("decode code 0 stays 0") << 0 << 5 << Direction::Decode << 0;
        QTest::newRow("encode code 0, shift 255") << 0 << 255 << Direction::Encode << 0;
        QTest::newRow("encode CR") << 13 << 18 << Direction::Encode << 31;
    }
    void wrapEdges()
    {
        QFETCH(int, code);
        QFETCH(int, shift);
        QFETCH(Direction, direction);
        QFETCH(int, expected);
        const std::string text(1, static_cast<char>(code));
        const std::string result = applyShift(text, shift, direction);
        QCOMPARE(result.size(), std::size_t{1});
        QCOMPARE(static_cast<int>(static_cast<unsigned char>(result[0])), expected);
    }

    void shift255LeavesEveryCodeFrom1To255()
    {
        std::string text;
        for (int code = 1; code <= 255; ++code) {
            text.push_back(static_cast<char>(code));
        }
        QCOMPARE(applyShift(text, 255, Direction::Encode), text);
        QCOMPARE(applyShift(text, 255, Direction::Decode), text);
    }

    void fastLoopFollowsTheRuleForEveryCodeAndShift_data()
    {
        QTest::addColumn<Direction>("direction");
        QTest::newRow("encode") << Direction::Encode;
        QTest::newRow("decode") << Direction::Decode;
    }
    void fastLoopFollowsTheRuleForEveryCodeAndShift()
    {
        QFETCH(Direction, direction);
        // Three copies of every code, so the vector body and the tail both run.
        std::string all;
        for (int copy = 0; copy < 3; ++copy) {
            for (int code = 0; code < 256; ++code) {
                all.push_back(static_cast<char>(code));
            }
        }
        all.push_back('\x7f');
        for (int shift = 1; shift <= 255; ++shift) {
            std::string bytes = all;
            applyShiftInPlace(std::span<char>(bytes.data(), bytes.size()), shift, direction);
            for (std::size_t i = 0; i < bytes.size(); ++i) {
                const int code = static_cast<unsigned char>(all[i]);
                const int got = static_cast<unsigned char>(bytes[i]);
                if (got != shiftedByRule(code, shift, direction)) {
                    QFAIL(qPrintable(QStringLiteral("code %1 shift %2 gave %3, not %4")
                                         .arg(code)
                                         .arg(shift)
                                         .arg(got)
                                         .arg(shiftedByRule(code, shift, direction))));
                }
            }
        }
    }

    // Texts encoded before code 0 stayed 0 never hold it, so they decode as they did.
    void encodeGivesCode0OnlyForCode0()
    {
        for (int shift = 1; shift <= 255; ++shift) {
            std::string all;
            for (int code = 1; code < 256; ++code) {
                all.push_back(static_cast<char>(code));
            }
            QVERIFY(applyShift(all, shift, Direction::Encode).find('\0') == std::string::npos);
        }
    }

    void decodeUndoesEncode()
    {
        QRandomGenerator random(424242);
        RuntimeGenerator generator;
        for (int round = 0; round < 300; ++round) {
            std::string key(1 + random.bounded(12u), '\0');
            for (char &ch : key) {
                ch = static_cast<char>(1 + random.bounded(255u));
            }
            std::string text(random.bounded(3000u), '\0');
            for (char &ch : text) {
                ch = static_cast<char>(random.bounded(256u));
            }
            const int shift = shiftForKey(key, generator);
            const std::string encoded = applyShift(text, shift, Direction::Encode);
            QCOMPARE(applyShift(encoded, shift, Direction::Decode), text);
            if (shift != 255 && !text.empty()) {
                QVERIFY(encoded != text);
            }
        }
    }
};

QTEST_APPLESS_MAIN(TestKeyShift)
#include "tst_keyshift.moc"

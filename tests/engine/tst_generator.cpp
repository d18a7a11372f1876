// Tests of the emulated runtime generator and its self-test.
#include <cmath>
#include <vector>

#include <QTest>

#include "engine/generator.h"
#include "generators.h"

using namespace lorimand;
using lorimand::test::FixedGenerator;

class TestGenerator : public QObject
{
    Q_OBJECT

private slots:
    void valueForSeed_data()
    {
        QTest::addColumn<double>("seed");
        QTest::addColumn<float>("expected");
        QTest::newRow("2 gives a quarter") << 2.0 << 0.25f;
        QTest::newRow("0") << 0.0 << 0.0f;
        // 1.0 has the high bits 0x3FF00000: 0x3FF0 lands in the middle of the state.
        QTest::newRow("1") << 1.0 << float(0x3FF000) / 16777216.0f;
        // 2491.0 has the high bits 0x40A37600: 0x7600 ^ 0x40A3 = 0x36A3.
        QTest::newRow("2491") << 2491.0 << float(0x36A300) / 16777216.0f;
        // The low 32 bits of the double play no part.
        QTest::newRow("low bits ignored") << 2.0000000000000004 << 0.25f;
    }
    void valueForSeed()
    {
        QFETCH(double, seed);
        QFETCH(float, expected);
        RuntimeGenerator generator;
        generator.randomize(seed);
        QCOMPARE(generator.current(), expected);
    }

    void valueDependsOnTheLastSeedAlone()
    {
        RuntimeGenerator fresh;
        fresh.randomize(2491.0);
        RuntimeGenerator used;
        used.randomize(123456.75);
        used.randomize(-7.0);
        used.randomize(2491.0);
        QCOMPARE(used.current(), fresh.current());
        // Reading does not move the generator on.
        QCOMPARE(used.current(), fresh.current());
    }

    void valueStaysAFraction_data()
    {
        QTest::addColumn<double>("seed");
        QTest::newRow("negative") << -2.0;
        QTest::newRow("large negative") << -1e300;
        QTest::newRow("large") << 1e300;
        QTest::newRow("tiny") << 1e-300;
    }
    void valueStaysAFraction()
    {
        QFETCH(double, seed);
        RuntimeGenerator generator;
        generator.randomize(seed);
        QVERIFY(generator.current() >= 0.0f);
        QVERIFY(generator.current() < 1.0f);
    }

    void checkPassesForTheRuntimeGenerator()
    {
        RuntimeGenerator generator;
        generator.randomize(790.0);
        QVERIFY(checkGenerator(generator));
        QCOMPARE(generator.current(), 0.25f);
    }

    void checkFailsForAnotherGenerator_data()
    {
        QTest::addColumn<float>("value");
        QTest::addColumn<bool>("passes");
        QTest::newRow("exactly a quarter") << 0.25f << true;
        QTest::newRow("half") << 0.5f << false;
        QTest::newRow("next float above a quarter") << std::nextafter(0.25f, 1.0f) << false;
    }
    void checkFailsForAnotherGenerator()
    {
        QFETCH(float, value);
        QFETCH(bool, passes);
        FixedGenerator generator(value);
        QCOMPARE(checkGenerator(generator), passes);
        QCOMPARE(generator.seeds, std::vector<double>{2.0});
    }
};

QTEST_APPLESS_MAIN(TestGenerator)
#include "tst_generator.moc"

// The translation rule shared by the window and lorimand-cli: the mode, the
// empty-key copy, when the generator is checked, which table applies, and the
// block form giving the same text as the whole-text form.
#include <optional>
#include <string>
#include <vector>

#include <QTest>

#include "engine/translation.h"
#include "generators.h"

using namespace lorimand;

Q_DECLARE_METATYPE(lorimand::Direction)

namespace {

constexpr float kPasses = 0.25f; // what the self-test asks for the seed 2
constexpr float kFails = 0.5f;

// 97 (a) becomes 120 (x), and back.
CodeTables aToX()
{
    CodeTables tables;
    tables.encodeTable[97] = 120;
    tables.decodeTable[120] = 97;
    return tables;
}

} // namespace

class TestTranslation : public QObject
{
    Q_OBJECT

private slots:
    void rules_data()
    {
        QTest::addColumn<bool>("useKey");
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<float>("generatorValue");
        QTest::addColumn<Direction>("direction");
        QTest::addColumn<QByteArray>("text");
        // The translation; a null array when none can be made.
        QTest::addColumn<QByteArray>("expected");
        // The seeds the generator is given: none, or the self-test's 2 and the key's.
        QTest::addColumn<int>("seeds");

        const auto encode = Direction::Encode;
        const auto decode = Direction::Decode;
        const QByteArray none;
        // With the generator at 0.25, the key "a" (code 97) shifts by floor(0.25 * 97 + 1) = 25.
        QTest::newRow("key, encode adds the shift, code 0 stays")
            << true << QByteArray("a") << kPasses << encode << QByteArray("ab\0\xf0", 4)
            << QByteArray("z{\0\x0a", 4) << 2;
        QTest::newRow("key, decode subtracts the shift")
            << true << QByteArray("a") << kPasses << decode << QByteArray("z{\0\x0a", 4)
            << QByteArray("ab\0\xf0", 4) << 2;
        QTest::newRow("key, empty text still checks the generator")
            << true << QByteArray("a") << kPasses << encode << QByteArray("") << QByteArray("")
            << 2;
        QTest::newRow("key, generator fails its self-test")
            << true << QByteArray("a") << kFails << encode << QByteArray("ab") << none << 1;
        QTest::newRow("empty key copies without the generator, encode")
            << true << QByteArray() << kFails << encode << QByteArray("ab\r\0", 4)
            << QByteArray("ab\r\0", 4) << 0;
        QTest::newRow("empty key copies without the generator, decode")
            << true << QByteArray() << kFails << decode << QByteArray("z\r") << QByteArray("z\r")
            << 0;
        QTest::newRow("table, encode table, a key is not used")
            << false << QByteArray("a") << kFails << encode << QByteArray("aAxb\r\n")
            << QByteArray("xXxb\r\n") << 0;
        QTest::newRow("table, decode table") << false << QByteArray() << kPasses << decode
                                             << QByteArray("aAxX") << QByteArray("aAaA") << 0;
        QTest::newRow("table, CR without LF dropped, at the end too")
            << false << QByteArray() << kPasses << encode << QByteArray("a\rb\r")
            << QByteArray("xb") << 0;
    }

    void rules()
    {
        QFETCH(bool, useKey);
        QFETCH(QByteArray, key);
        QFETCH(float, generatorValue);
        QFETCH(Direction, direction);
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, expected);
        QFETCH(int, seeds);

        test::FixedGenerator generator(generatorValue);
        const CodeTables tables = aToX();
        const auto make = [&]() -> std::optional<Translation> {
            if (useKey) {
                return Translation::forKey(key.toStdString(), direction, generator);
            }
            return Translation::forTables(tables, direction);
        };

        std::optional<Translation> whole = make();
        QCOMPARE(generator.seeds.size(), std::size_t(seeds));
        if (expected.isNull()) {
            QVERIFY(!whole);
            return;
        }
        QVERIFY(whole);
        QCOMPARE(whole->copiesUnchanged(), useKey && key.isEmpty());
        QCOMPARE(QByteArray::fromStdString(whole->apply(text.toStdString())), expected);

        // The same text as a stream cut at every place gives the same translation.
        for (qsizetype cut = 0; cut <= text.size(); ++cut) {
            std::optional<Translation> stream = make();
            QVERIFY(stream);
            QByteArray got;
            for (QByteArray block : {text.left(cut), text.mid(cut)}) {
                std::vector<char> out(static_cast<std::size_t>(block.size()) + 1);
                const std::string_view piece = stream->applyToBlock(
                    std::span<char>(block.data(), static_cast<std::size_t>(block.size())),
                    out.data());
                got.append(piece.data(), static_cast<qsizetype>(piece.size()));
            }
            stream->finish();
            QCOMPARE(got, expected);
        }
    }
};

QTEST_APPLESS_MAIN(TestTranslation)
#include "tst_translation.moc"

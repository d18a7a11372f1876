// The translation rule shared by the window and lorimand-cli: the mode, the
// empty-key copy, when the generator is checked, which table applies, and the
// block form giving the same text as the whole-text form.
#include <optional>
#include <random>
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
        QTest::newRow("table, CR without LF kept, at the end too")
            << false << QByteArray() << kPasses << encode << QByteArray("a\rb\r")
            << QByteArray("x\rb\r") << 0;
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
                stream->applyToBlock(
                    std::span<char>(block.data(), static_cast<std::size_t>(block.size())));
                got.append(block);
            }
            stream->finish();
            QCOMPARE(got, expected);
        }
    }

    // A change of a text, spliced into the translation of the text before, gives
    // the translation of the text now, whatever the change and however much
    // unchanged text it is reported with.
    void changesSpliceIntoTheTranslation_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<Direction>("direction");
        for (const Direction direction : {Direction::Encode, Direction::Decode}) {
            const char *name = direction == Direction::Encode ? "encode" : "decode";
            QTest::addRow("key, %s", name) << 0 << direction;
            QTest::addRow("table, CR without an entry, %s", name) << 1 << direction;
            QTest::addRow("table, CR with an entry, %s", name) << 2 << direction;
            QTest::addRow("table, CR without an entry, LF with one, %s", name) << 3 << direction;
        }
    }
    void changesSpliceIntoTheTranslation()
    {
        QFETCH(int, mode);
        QFETCH(Direction, direction);
        test::FixedGenerator generator(kPasses);
        CodeTables tables = aToX();
        if (mode == 2) {
            tables.encodeTable[13] = 10;
            tables.decodeTable[10] = 13;
        }
        if (mode == 3) {
            tables.encodeTable[10] = 'b';
            tables.decodeTable['b'] = 10;
        }
        const std::optional<Translation> translation =
            mode == 0 ? Translation::forKey("a", direction, generator)
                      : std::optional(Translation::forTables(tables, direction));
        QVERIFY(translation);
        const auto whole = [&](std::string_view text) {
            return Translation(*translation).apply(text);
        };

        // Few codes, so that CR LF pairs are made and broken often.
        const std::string codes("ab\r\n\r\nx\0\xff", 9);
        std::mt19937 random(20261210);
        const auto pick = [&random](std::size_t below) {
            return std::uniform_int_distribution<std::size_t>(0, below - 1)(random);
        };
        const auto randomText = [&](std::size_t length) {
            std::string text;
            for (std::size_t i = 0; i < length; ++i) {
                text += codes[pick(codes.size())];
            }
            return text;
        };
        for (int round = 0; round < 4000; ++round) {
            const std::string before = randomText(pick(12));
            const std::size_t at = pick(before.size() + 1);
            const std::size_t removed = pick(before.size() - at + 1);
            const std::string inserted = randomText(pick(4));
            std::string now = before;
            now.replace(at, removed, inserted);
            // Reported with some unchanged bytes either side, as a text area
            // reports whole lines.
            const std::size_t widenBefore = pick(at + 1);
            const std::size_t widenAfter = pick(before.size() - at - removed + 1);
            const std::size_t begin = at - widenBefore;
            const std::size_t end = at + inserted.size() + widenAfter;
            const std::size_t offset = begin - std::min<std::size_t>(begin, 1);
            TextChange change;
            change.around =
                std::string_view(now).substr(offset, std::min(end + 1, now.size()) - offset);
            change.offset = offset;
            change.begin = begin - offset;
            change.end = end - offset;
            change.removed = removed + widenBefore + widenAfter;

            const TranslationSplice splice = translation->applyToChange(change);
            std::string spliced = whole(before);
            QVERIFY2(splice.from + splice.removed <= spliced.size(), before.c_str());
            spliced.replace(splice.from, splice.removed, splice.bytes);
            QCOMPARE(QByteArray::fromStdString(spliced), QByteArray::fromStdString(whole(now)));
        }
    }
};

QTEST_APPLESS_MAIN(TestTranslation)
#include "tst_translation.moc"

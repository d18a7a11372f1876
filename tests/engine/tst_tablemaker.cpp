// Tests of making code tables: every kind gives a table that reads back and
// decodes every code, the fixed kinds give exactly their alphabets, and the
// shuffles draw from the randomness they are given.
#include <array>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include <QTest>

#include "engine/codetable.h"
#include "engine/codetablefile.h"
#include "engine/tablecheck.h"
#include "engine/tablemaker.h"

using namespace lorimand;

Q_DECLARE_METATYPE(lorimand::TableKind)

namespace {

// Every code once (the CR among them a lone one, as old Mac texts end their
// lines), then every code after a CR, and a lone CR at the very end.
std::string everyCode()
{
    std::string text;
    for (int code = 0; code < 256; ++code) {
        text += static_cast<char>(code);
    }
    for (int code = 0; code < 256; ++code) {
        text += '\r';
        text += static_cast<char>(code);
    }
    text += '\r';
    return text;
}

// The letters a-z as the table encodes them.
std::string encodedAlphabet(const TableRecipe &recipe)
{
    SeededRandomSource random(1);
    const CodeTables tables = codeTablesOf(makeTable(recipe, random));
    return translateThroughTable("abcdefghijklmnopqrstuvwxyz", tables.encodeTable);
}

// Numbers given in turn.
class ScriptedRandomSource final : public RandomSource
{
public:
    explicit ScriptedRandomSource(std::vector<std::uint64_t> numbers) : numbers_(std::move(numbers))
    {
    }
    [[nodiscard]] std::uint64_t next() override { return numbers_.at(taken_++); }
    [[nodiscard]] std::size_t taken() const { return taken_; }

private:
    std::vector<std::uint64_t> numbers_;
    std::size_t taken_ = 0;
};

} // namespace

class TestTableMaker : public QObject
{
    Q_OBJECT

private slots:
    void everyKindDecodesEveryCode_data()
    {
        QTest::addColumn<TableKind>("kind");
        QTest::addColumn<int>("shift");
        QTest::addColumn<QString>("keyword");
        QTest::addColumn<bool>("lettersOnly");
        QTest::newRow("shuffle letters") << TableKind::ShuffleLetters << 0 << QString() << true;
        QTest::newRow("shuffle all") << TableKind::ShuffleCharacters << 0 << QString() << false;
        QTest::newRow("shift 1") << TableKind::ShiftLetters << 1 << QString() << true;
        QTest::newRow("shift 13") << TableKind::ShiftLetters << 13 << QString() << true;
        QTest::newRow("shift 25") << TableKind::ShiftLetters << 25 << QString() << true;
        QTest::newRow("reverse") << TableKind::ReverseAlphabet << 0 << QString() << true;
        QTest::newRow("keyword") << TableKind::KeywordAlphabet << 0 << QStringLiteral("Zebras")
                                 << true;
        QTest::newRow("keyword of one letter")
            << TableKind::KeywordAlphabet << 0 << QStringLiteral("q") << true;
    }
    void everyKindDecodesEveryCode()
    {
        QFETCH(TableKind, kind);
        QFETCH(int, shift);
        QFETCH(QString, keyword);
        QFETCH(bool, lettersOnly);
        const TableRecipe recipe{kind, shift, keyword.toStdString()};
        QVERIFY(!recipeProblem(recipe));
        const std::string text = everyCode();
        SystemRandomSource random;
        for (int round = 0; round < 200; ++round) {
            const MadeTable made = makeTable(recipe, random);
            const std::string file = codeTableText(made);
            const CodeTableParse parsed = parseCodeTable(file);
            QVERIFY2(!parsed.error, file.c_str());
            const TableCheck check = checkTable(parsed.tables);
            QVERIFY2(check.decodable(), file.c_str());
            const std::string encoded = translateThroughTable(text, parsed.tables.encodeTable);
            QCOMPARE(encoded.size(), text.size());
            QCOMPARE(translateThroughTable(encoded, parsed.tables.decodeTable), text);
            // Line ends, lone CRs among them, tabs and control codes always pass
            // as they are; the letter kinds change letters alone.
            for (std::size_t i = 0; i < text.size(); ++i) {
                const auto code = static_cast<unsigned char>(text[i]);
                const bool letter = (code >= 'a' && code <= 'z') || (code >= 'A' && code <= 'Z');
                if (code < 32 || code == 127 || (lettersOnly && !letter)) {
                    QCOMPARE(encoded[i], text[i]);
                }
            }
        }
    }

    void fileText()
    {
        SeededRandomSource random(7);
        const std::string file =
            codeTableText(makeTable({TableKind::ShiftLetters, 13, {}}, random));
        const std::size_t firstEnd = file.find("\r\n");
        const std::string firstLine = file.substr(0, firstEnd);
        QCOMPARE(firstLine, std::string("Lorimand code table: each letter moves 13 places along "
                                        "the alphabet (ROT13); capital letters borrow the entries "
                                        "of the small ones."));
        QVERIFY(file.ends_with("\r\n"));
        // Every line ends in CR LF, and each after the first is an entry.
        std::size_t lines = 0;
        for (std::size_t at = firstEnd + 2; at < file.size(); ++lines) {
            const std::size_t end = file.find("\r\n", at);
            QVERIFY(end != std::string::npos);
            const std::string line = file.substr(at, end - at);
            QVERIFY2(line.find('\n') == std::string::npos && line.find('\r') == std::string::npos,
                     line.c_str());
            QVERIFY2(line.find('=') != std::string::npos, line.c_str());
            at = end + 2;
        }
        QCOMPARE(lines, std::size_t{26});
        QCOMPARE(file.substr(firstEnd + 2, 8), std::string("97=110\r\n"));
    }

    void descriptionsHoldNoEntry()
    {
        // A first line with "=" would be read as an entry.
        for (const TableKind kind : kTableKinds) {
            SeededRandomSource random(3);
            const MadeTable made = makeTable({kind, 5, "key"}, random);
            QVERIFY(!made.description.empty());
            QVERIFY2(made.description.find('=') == std::string::npos, made.description.c_str());
            QVERIFY(made.description.find('\n') == std::string::npos);
        }
    }

    void fixedAlphabets_data()
    {
        QTest::addColumn<TableKind>("kind");
        QTest::addColumn<int>("shift");
        QTest::addColumn<QString>("keyword");
        QTest::addColumn<QString>("alphabet");
        QTest::newRow("ROT13") << TableKind::ShiftLetters << 13 << QString()
                               << QStringLiteral("nopqrstuvwxyzabcdefghijklm");
        QTest::newRow("shift 3") << TableKind::ShiftLetters << 3 << QString()
                                 << QStringLiteral("defghijklmnopqrstuvwxyzabc");
        QTest::newRow("reverse") << TableKind::ReverseAlphabet << 0 << QString()
                                 << QStringLiteral("zyxwvutsrqponmlkjihgfedcba");
        QTest::newRow("keyword, repeated letters once")
            << TableKind::KeywordAlphabet << 0 << QStringLiteral("ZebrAs")
            << QStringLiteral("zebrascdfghijklmnopqtuvwxy");
        QTest::newRow("keyword of the whole alphabet")
            << TableKind::KeywordAlphabet << 0 << QStringLiteral("thequickbrownfxjmpsvlazydg")
            << QStringLiteral("thequickbrownfxjmpsvlazydg");
    }
    void fixedAlphabets()
    {
        QFETCH(TableKind, kind);
        QFETCH(int, shift);
        QFETCH(QString, keyword);
        QFETCH(QString, alphabet);
        QCOMPARE(QString::fromStdString(encodedAlphabet({kind, shift, keyword.toStdString()})),
                 alphabet);
    }

    void capitalsFollowTheirSmallLetters()
    {
        SeededRandomSource random(11);
        const CodeTables tables =
            codeTablesOf(makeTable({TableKind::KeywordAlphabet, 0, "secret"}, random));
        QCOMPARE(translateThroughTable("Abc XYZ", tables.encodeTable), std::string("Sec XYZ"));
    }

    void shufflesDrawFromTheirSource()
    {
        // The same seed gives the same table, the secure source a new one each time.
        for (const TableKind kind : {TableKind::ShuffleLetters, TableKind::ShuffleCharacters}) {
            SeededRandomSource first(42);
            SeededRandomSource second(42);
            QCOMPARE(makeTable({kind, kDefaultShift, {}}, first).encodesAs,
                     makeTable({kind, kDefaultShift, {}}, second).encodesAs);
            SystemRandomSource system;
            std::set<std::array<unsigned char, 256>> tables;
            for (int i = 0; i < 20; ++i) {
                tables.insert(makeTable({kind, kDefaultShift, {}}, system).encodesAs);
            }
            QCOMPARE(tables.size(), std::size_t{20});
        }
    }

    void everyLetterTakesEveryPlace()
    {
        // Over many shuffles each letter lands on each place: no place is
        // out of reach, as a wrong shuffle loop would leave one.
        SystemRandomSource random;
        std::array<std::array<bool, 26>, 26> seen{};
        for (int i = 0; i < 3000; ++i) {
            const MadeTable made =
                makeTable({TableKind::ShuffleLetters, kDefaultShift, {}}, random);
            for (std::size_t letter = 0; letter < 26; ++letter) {
                seen[letter][made.encodesAs['a' + letter] - 'a'] = true;
            }
        }
        for (const auto &places : seen) {
            for (const bool place : places) {
                QVERIFY(place);
            }
        }
    }

    void belowDrawsAgainPastTheLastWholeMultiple()
    {
        // 2^64 - 1 lies past the last multiple of 3, so it is drawn again.
        ScriptedRandomSource random({UINT64_MAX, 5});
        QCOMPARE(random.below(3), 2U);
        QCOMPARE(random.taken(), std::size_t{2});
        ScriptedRandomSource once({UINT64_MAX - 1});
        QCOMPARE(once.below(2), 0U);
        QCOMPARE(once.taken(), std::size_t{1});
    }

    void recipeProblems_data()
    {
        QTest::addColumn<TableKind>("kind");
        QTest::addColumn<int>("shift");
        QTest::addColumn<QByteArray>("keyword");
        QTest::addColumn<QString>("problem"); // empty: none
        QTest::newRow("shift 0") << TableKind::ShiftLetters << 0 << QByteArray()
                                 << QStringLiteral(
                                        "the shift is 0, not a whole number from 1 to 25");
        QTest::newRow("shift 26") << TableKind::ShiftLetters << 26 << QByteArray()
                                  << QStringLiteral(
                                         "the shift is 26, not a whole number from 1 to 25");
        QTest::newRow("shift -3") << TableKind::ShiftLetters << -3 << QByteArray()
                                  << QStringLiteral(
                                         "the shift is -3, not a whole number from 1 to 25");
        QTest::newRow("shift 25") << TableKind::ShiftLetters << 25 << QByteArray() << QString();
        QTest::newRow("empty keyword") << TableKind::KeywordAlphabet << 0 << QByteArray()
                                       << QStringLiteral("the keyword is empty");
        QTest::newRow("keyword with a digit")
            << TableKind::KeywordAlphabet << 0 << QByteArray("ab1")
            << QStringLiteral("the keyword may hold only the letters a to z");
        QTest::newRow("keyword with a blank")
            << TableKind::KeywordAlphabet << 0 << QByteArray("two words")
            << QStringLiteral("the keyword may hold only the letters a to z");
        QTest::newRow("keyword with an accent")
            << TableKind::KeywordAlphabet << 0 << QByteArray("caf\xe9")
            << QStringLiteral("the keyword may hold only the letters a to z");
        QTest::newRow("keyword of capitals")
            << TableKind::KeywordAlphabet << 0 << QByteArray("KEY") << QString();
        QTest::newRow("the shift is not the keyword's business")
            << TableKind::KeywordAlphabet << 99 << QByteArray("key") << QString();
        QTest::newRow("reverse takes no keyword")
            << TableKind::ReverseAlphabet << 0 << QByteArray("1 2") << QString();
    }
    void recipeProblems()
    {
        QFETCH(TableKind, kind);
        QFETCH(int, shift);
        QFETCH(QByteArray, keyword);
        QFETCH(QString, problem);
        const std::optional<std::string> found =
            recipeProblem({kind, shift, keyword.toStdString()});
        QCOMPARE(found ? QString::fromStdString(*found) : QString(), problem);
    }

    void kindNames()
    {
        std::set<std::string_view> names;
        for (const TableKind kind : kTableKinds) {
            QCOMPARE(tableKindNamed(tableKindName(kind)), std::optional<TableKind>(kind));
            names.insert(tableKindName(kind));
        }
        QCOMPARE(names.size(), kTableKinds.size());
        QCOMPARE(tableKindNamed("rot13"), std::optional<TableKind>());
        QCOMPARE(tableKindNamed(""), std::optional<TableKind>());
    }
};

QTEST_GUILESS_MAIN(TestTableMaker)
#include "tst_tablemaker.moc"

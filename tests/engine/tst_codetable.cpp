// Tests of code-table translation: entries, case borrowing and line breaks.
#include <span>
#include <string>
#include <utility>

#include <QRandomGenerator>
#include <QTest>

#include "bytes.h"
#include "engine/charset.h"
#include "engine/codetable.h"

using namespace lorimand;
using lorimand::test::bytesOf;

namespace {

using Entries = QList<std::pair<int, int>>;

CodeTable tableOf(const Entries &entries)
{
    CodeTable table = emptyCodeTable();
    for (const auto &[code, entry] : entries) {
        table[static_cast<std::size_t>(code)] = static_cast<std::int16_t>(entry);
    }
    return table;
}

// The translation one character at a time, step by step as the rule reads.
std::string translatedStepByStep(const std::string &text, const CodeTable &table)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        const auto lower = charset::toLower(c);
        const auto upper = charset::toUpper(c);
        if (table[c] != kNoEntry) {
            out.push_back(static_cast<char>(table[c]));
        } else if (table[lower] != kNoEntry) {
            out.push_back(
                static_cast<char>(charset::toUpper(static_cast<unsigned char>(table[lower]))));
        } else if (table[upper] != kNoEntry) {
            out.push_back(
                static_cast<char>(charset::toLower(static_cast<unsigned char>(table[upper]))));
        } else if (c == 13 && i + 1 < text.size() && text[i + 1] == 10) {
            // CR LF passes as a line break: its LF does not reach the table.
            out += "\r\n";
            ++i;
        } else {
            out.push_back(static_cast<char>(c));
        }
    }
    return out;
}

} // namespace

class TestCodeTable : public QObject
{
    Q_OBJECT

private slots:
    void translate_data()
    {
        QTest::addColumn<Entries>("entries");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("expected");

        const Entries none;
        QTest::newRow("empty text") << Entries{{97, 120}} << QByteArray() << QByteArray();
        QTest::newRow("no table copies")
            << none << QByteArray("Hello, 1 2!") << QByteArray("Hello, 1 2!");
        QTest::newRow("no table keeps CR LF")
            << none << QByteArray("a\r\nb") << QByteArray("a\r\nb");
        QTest::newRow("no table keeps lone LF") << none << QByteArray("a\nb") << QByteArray("a\nb");
        QTest::newRow("no table keeps lone CR") << none << QByteArray("a\rb") << QByteArray("a\rb");
        QTest::newRow("CR CR LF") << none << QByteArray("a\r\r\nb") << QByteArray("a\r\r\nb");
        QTest::newRow("CR at the end kept") << none << QByteArray("a\r") << QByteArray("a\r");
        QTest::newRow("old Mac lines")
            << Entries{{97, 120}} << QByteArray("a\ra\r\ra") << QByteArray("x\rx\r\rx");
        QTest::newRow("every byte without entry copied")
            << none << QByteArray("\0\x1a\x7f\xff", 4) << QByteArray("\0\x1a\x7f\xff", 4);

        const Entries ax{{97, 120}};
        QTest::newRow("own entry") << ax << QByteArray("a") << QByteArray("x");
        QTest::newRow("upper case borrows and becomes upper")
            << ax << QByteArray("aA") << QByteArray("xX");
        QTest::newRow("neither case has an entry") << ax << QByteArray("Xx") << QByteArray("Xx");
        const Entries xa{{120, 97}};
        QTest::newRow("decode direction") << xa << QByteArray("xX") << QByteArray("aA");
        QTest::newRow("decode leaves a") << xa << QByteArray("a") << QByteArray("a");
        QTest::newRow("lower case borrows from upper")
            << Entries{{65, 66}} << QByteArray("Aa") << QByteArray("Bb");
        QTest::newRow("both cases own entries")
            << Entries{{65, 66}, {97, 100}} << QByteArray("Aa") << QByteArray("Bd");
        QTest::newRow("accented letters borrow")
            << Entries{{0xE9, 0xE8}} << QByteArray("\xC9\xE9") << QByteArray("\xC8\xE8");
        QTest::newRow("y diaeresis pairs with 0x9F")
            << Entries{{0x9F, 0x8A}} << QByteArray("\xFF\x9F") << QByteArray("\x9A\x8A");
        QTest::newRow("borrowed non-letter keeps its case")
            << Entries{{97, 49}} << QByteArray("aA") << QByteArray("11");
        QTest::newRow("multiplication sign is no letter")
            << Entries{{0xF7, 65}} << QByteArray("\xD7\xF7")
            << QByteArray("\xD7"
                          "A");
        QTest::newRow("digits blanks punctuation copied")
            << Entries{{97, 120}} << QByteArray("0 9.,;!") << QByteArray("0 9.,;!");

        const Entries lf{{10, 65}};
        QTest::newRow("LF entry does not touch CR LF")
            << lf << QByteArray("a\r\nb") << QByteArray("a\r\nb");
        QTest::newRow("LF entry used for lone LF")
            << lf << QByteArray("a\nb\r\n\n") << QByteArray("aAb\r\nA");
        QTest::newRow("LF entry, lone CRs kept")
            << lf << QByteArray("\r\r\n\n\r") << QByteArray("\r\r\nA\r");
        QTest::newRow("an entry that is CR makes no pair with the LF after it")
            << Entries{{65, 13}, {10, 66}} << QByteArray("A\n\r\n") << QByteArray("\rB\r\n");
        QTest::newRow("CR entry") << Entries{{13, 66}} << QByteArray("a\r\nb\r")
                                  << QByteArray("aB\nbB");
        QTest::newRow("CR and LF entries")
            << Entries{{13, 66}, {10, 67}} << QByteArray("\r\n") << QByteArray("BC");
        QTest::newRow("entry that is CR is not dropped")
            << Entries{{65, 13}} << QByteArray("AxA") << QByteArray("\rx\r");
        QTest::newRow("entry 0") << Entries{{0, 255}, {255, 0}} << QByteArray("\0\xff", 2)
                                 << QByteArray("\xff\0", 2);
    }
    void translate()
    {
        QFETCH(Entries, entries);
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, expected);
        QCOMPARE(QByteArray::fromStdString(translateThroughTable(bytesOf(text), tableOf(entries))),
                 expected);
    }

    void pieces_data()
    {
        QTest::addColumn<Entries>("entries");
        QTest::addColumn<QByteArrayList>("pieces");
        QTest::addColumn<QByteArray>("expected");
        const Entries none;
        QTest::newRow("CR then LF in the next piece")
            << none << QByteArrayList{"a\r", "\nb"} << QByteArray("a\r\nb");
        QTest::newRow("CR then another character")
            << none << QByteArrayList{"a\r", "b"} << QByteArray("a\rb");
        QTest::newRow("CR then CR LF")
            << none << QByteArrayList{"\r", "\r", "\n"} << QByteArray("\r\r\n");
        QTest::newRow("empty piece keeps the CR held")
            << none << QByteArrayList{"a\r", "", "\nb"} << QByteArray("a\r\nb");
        QTest::newRow("CR at the end of the text kept")
            << none << QByteArrayList{"a", "b\r"} << QByteArray("ab\r");
        QTest::newRow("an LF with an entry after a CR in the piece before")
            << Entries{{10, 65}} << QByteArrayList{"a\r", "\n\n"} << QByteArray("a\r\nA");
        QTest::newRow("a new text after finish is not after a CR")
            << Entries{{10, 65}} << QByteArrayList{"a\r", "|", "\n"} << QByteArray("a\rA");
        QTest::newRow("entries apply in every piece")
            << Entries{{97, 120}} << QByteArrayList{"aA", "Aa"} << QByteArray("xXXx");
    }
    void pieces()
    {
        QFETCH(Entries, entries);
        QFETCH(QByteArrayList, pieces);
        QFETCH(QByteArray, expected);
        TableTranslator translator(tableOf(entries));
        std::string out = "kept:";
        for (const QByteArray &piece : pieces) {
            if (piece == "|") {
                translator.finish();
                continue;
            }
            translator.translate(bytesOf(piece), out);
        }
        translator.finish();
        translator.translate({}, out);
        QCOMPARE(QByteArray::fromStdString(out), "kept:" + expected);
    }

    void longTextsFollowTheRuleStepByStep()
    {
        QRandomGenerator random(2024);
        for (int round = 0; round < 200; ++round) {
            CodeTable table = emptyCodeTable();
            for (int entry = 0; entry < 40; ++entry) {
                table[random.bounded(256u)] = static_cast<std::int16_t>(random.bounded(256));
            }
            if (round % 2 == 0) {
                table[13] = kNoEntry;
            }
            // Mostly letters and line breaks, so that blocks with and without CR both occur.
            std::string text(random.bounded(2000u), '\0');
            for (char &ch : text) {
                const int pick = random.bounded(40);
                ch = pick == 0 ? '\r' : pick == 1 ? '\n' : static_cast<char>(random.bounded(256));
            }
            QCOMPARE(translateThroughTable(text, table), translatedStepByStep(text, table));
        }
    }

    void piecesGiveTheSameAsTheWholeText()
    {
        QRandomGenerator random(77);
        const char alphabet[] = {'\r', '\n', 'a', 'B', '\r', '\n', 'z'};
        for (int round = 0; round < 500; ++round) {
            CodeTable table = emptyCodeTable();
            if (round % 3 == 1) {
                table[10] = 'L';
            }
            if (round % 3 == 2) {
                table[97] = 'q';
            }
            std::string text(random.bounded(40u), '\0');
            for (char &ch : text) {
                ch = alphabet[random.bounded(int(sizeof alphabet))];
            }
            // Appended, and in place, piece by piece.
            TableTranslator translator(table);
            TableTranslator inPlace(table);
            std::string out;
            std::string translated = text;
            std::size_t at = 0;
            while (at < text.size()) {
                const std::size_t length =
                    std::min<std::size_t>(random.bounded(5u), text.size() - at);
                translator.translate(std::string_view(text).substr(at, length), out);
                inPlace.translate(std::span<char>(translated.data() + at, length));
                at += length;
            }
            translator.finish();
            QCOMPARE(out, translateThroughTable(text, table));
            QCOMPARE(translated, out);
        }
    }
};

QTEST_APPLESS_MAIN(TestCodeTable)
#include "tst_codetable.moc"

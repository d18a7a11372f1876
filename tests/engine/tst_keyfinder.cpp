// Finding the key of an encoded text: the ranking of the shifts over texts in
// several languages, lengths and character sets, the key found for every shift,
// and the ranking of code tables and their directions.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include <QTest>

#include "engine/charset.h"
#include "engine/generator.h"
#include "engine/keyfinder.h"
#include "engine/keyshift.h"

using namespace lorimand;

namespace {

struct Language
{
    const char *name;
    std::string_view text; // UTF-8
};

// Sentences written for these tests, a short paragraph in each language.
constexpr std::array<Language, 7> kTexts{{
    {"English",
     "The kettle was still warm when we came back from the market. My sister had left a note "
     "on the table: the cat is fed, the plants are not. Tomorrow we should call the plumber "
     "about the leaking tap in the kitchen, and somebody has to return the ladder to the "
     "neighbours before Friday. I would rather walk along the river than sit in traffic again."},
    {"German",
     "Gestern Abend haben wir lange über den Umzug gesprochen. Die neue Wohnung ist größer, "
     "aber der Weg zur Arbeit wird länger. Meine Mutter meint, wir sollten erst im Frühling "
     "umziehen, wenn die Tage wieder heller sind. Der Hund weiß davon noch nichts und schläft "
     "ruhig neben dem Ofen, während draußen der Regen auf das Dach trommelt."},
    {"French",
     "Nous avons pris le train très tôt ce matin pour voir la mer. Le café de la gare était "
     "déjà ouvert, et la serveuse nous a offert des croissants encore chauds. Après une longue "
     "promenade sur la plage, ma fille a trouvé un coquillage énorme qu'elle veut garder dans "
     "sa chambre. Il faudra rentrer avant la pluie, car nos parapluies sont restés à la maison."},
    {"Spanish",
     "Mañana por la tarde vamos a pintar la cocina de un color más claro. Mi hermano trae las "
     "brochas y yo compraré la pintura en la tienda de la esquina. Después comeremos juntos en "
     "el jardín si no hace demasiado calor. La vecina dice que el año pasado también pintó su "
     "casa, pero nadie notó la diferencia porque eligió el mismo tono de siempre."},
    {"Italian",
     "Ieri sera abbiamo cucinato la pasta con i pomodori dell'orto di mio nonno. Lui dice che "
     "quest'anno la stagione è stata generosa, anche se ha piovuto poco. Dopo cena siamo usciti "
     "a guardare le stelle dal balcone, ma le nuvole sono arrivate presto. La prossima volta "
     "porteremo una coperta e resteremo fuori fino a mezzanotte, perché l'estate finisce già."},
    {"Dutch",
     "Vanochtend fietste ik door de regen naar het station, maar de trein was weer te laat. "
     "Op het perron stond een man met een grote hond die iedereen vriendelijk begroette. Mijn "
     "collega had koffie voor ons allebei meegenomen, wat de dag een stuk beter maakte. "
     "Vanavond wil ik vroeg naar bed, want morgen begint de verbouwing van onze keuken."},
    {"Portuguese",
     "Na semana passada fomos visitar a minha avó, que mora numa aldeia perto do rio. Ela "
     "preparou um almoço enorme, com peixe assado, batatas e uma salada de tomate. Depois "
     "ficámos a conversar no jardim até o sol se pôr, enquanto as crianças brincavam com o "
     "cão. Na próxima visita vou levar as fotografias do casamento, porque ela ainda não as viu."},
}};

// The characters (not bytes) of a UTF-8 text, as the offsets where each starts.
std::vector<std::size_t> characterStarts(std::string_view utf8)
{
    std::vector<std::size_t> starts;
    for (std::size_t at = 0; at < utf8.size();) {
        starts.push_back(at);
        const std::optional<charset::Utf8Char> ch = charset::utf8CharAt(utf8, at);
        at += ch ? ch->length : 1;
    }
    starts.push_back(utf8.size());
    return starts;
}

// Pieces of `length` characters of every language's text, one starting at every
// third word, in UTF-8.
std::vector<std::string> pieces(std::size_t length)
{
    std::vector<std::string> result;
    for (const Language &language : kTexts) {
        const std::vector<std::size_t> starts = characterStarts(language.text);
        const std::size_t characters = starts.size() - 1;
        std::size_t word = 0;
        for (std::size_t i = 0; i + length <= characters; ++i) {
            if (i != 0 && language.text[starts[i] - 1] != ' ') {
                continue;
            }
            if (word++ % 3 == 0) {
                result.emplace_back(
                    language.text.substr(starts[i], starts[i + length] - starts[i]));
            }
        }
    }
    return result;
}

struct HitRate
{
    std::size_t texts = 0;
    std::size_t first = 0;
    std::size_t topThree = 0;
};

// Each piece encoded with 15 shifts spread over 1..255 (a different set for each
// piece), in Windows-1252 or UTF-8, and where the true shift ranks.
HitRate hitRate(std::size_t length, charset::TextCharset set)
{
    HitRate rate;
    std::size_t index = 0;
    for (const std::string &utf8 : pieces(length)) {
        const std::string plain =
            set == charset::TextCharset::Utf8 ? utf8 : charset::fromUtf8(utf8).value();
        for (int k = 0; k < 15; ++k) {
            const int shift =
                static_cast<int>((index * 37 + static_cast<std::size_t>(k) * 17) % 255) + 1;
            const Ranking<ShiftCandidate> ranking =
                rankShifts(applyShift(plain, shift, Direction::Encode));
            const auto found =
                std::find_if(ranking.candidates.begin(), ranking.candidates.end(),
                             [&](const ShiftCandidate &c) { return c.shift == shift; });
            const auto place = found - ranking.candidates.begin();
            ++rate.texts;
            rate.first += place == 0 ? 1 : 0;
            rate.topThree += place < 3 ? 1 : 0;
        }
        ++index;
    }
    return rate;
}

} // namespace

class TestKeyFinder : public QObject
{
    Q_OBJECT

private slots:
    // The true shift of texts in seven languages ranks first (or among the first
    // three for the shortest), in both character sets, at the rates asked of it.
    void trueShiftRanksFirst_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("utf8");
        QTest::addColumn<double>("firstAtLeast");
        QTest::addColumn<double>("topThreeAtLeast");
        for (const bool utf8 : {false, true}) {
            const char *set = utf8 ? "UTF-8" : "Windows-1252";
            QTest::addRow("16 characters, %s", set) << 16 << utf8 << 0.0 << 0.90;
            QTest::addRow("40 characters, %s", set) << 40 << utf8 << 0.98 << 0.0;
            QTest::addRow("120 characters, %s", set) << 120 << utf8 << 0.995 << 0.0;
        }
    }
    void trueShiftRanksFirst()
    {
        QFETCH(int, length);
        QFETCH(bool, utf8);
        QFETCH(double, firstAtLeast);
        QFETCH(double, topThreeAtLeast);
        const HitRate rate =
            hitRate(static_cast<std::size_t>(length),
                    utf8 ? charset::TextCharset::Utf8 : charset::TextCharset::Windows1252);
        QVERIFY(rate.texts > 100);
        const double first = static_cast<double>(rate.first) / static_cast<double>(rate.texts);
        const double topThree =
            static_cast<double>(rate.topThree) / static_cast<double>(rate.texts);
        qInfo("%zu texts: first %.2f %%, among the first three %.2f %%", rate.texts, first * 100.0,
              topThree * 100.0);
        QVERIFY2(first >= firstAtLeast, QByteArray::number(first).constData());
        QVERIFY2(topThree >= topThreeAtLeast, QByteArray::number(topThree).constData());
    }

    // Every shift gets a short printable key that gives it through the real
    // generator: ASCII letters and digits up to 'z', then a key that starts with a
    // letter of the 8-bit set, since no key's shift exceeds its first code.
    void keyForEveryShift()
    {
        RuntimeGenerator generator;
        for (int shift = 1; shift <= 255; ++shift) {
            const std::string &key = keyForShift(shift);
            QVERIFY2(!key.empty() && key.size() <= 12, QByteArray::number(shift).constData());
            QCOMPARE(shiftForKey(key, generator), shift);
            const auto first = static_cast<unsigned char>(key.front());
            const bool asciiKey = std::all_of(key.begin(), key.end(), [](char c) {
                return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
            });
            QCOMPARE(asciiKey, shift <= 'z');
            if (!asciiKey) {
                QVERIFY(first >= 0xC0 && first != 0xD7 && first != 0xF7);
                QVERIFY(std::all_of(key.begin() + 1, key.end(),
                                    [](char c) { return static_cast<unsigned char>(c) < 0x80; }));
            }
        }
        QVERIFY(keyForShift(0).empty());
        QVERIFY(keyForShift(256).empty());
    }

    // Control codes sink a shift, and code 0 counts for none: a text of code 0
    // alone and an empty text rank every shift alike.
    void controlCodesAndCodeZero()
    {
        QVERIFY(textScore("plain words here") > textScore("plain\x01words\x02here") + 2.0);
        for (const std::string_view text : {std::string_view(), std::string_view("\0\0\0", 3)}) {
            const Ranking<ShiftCandidate> ranking = rankShifts(text);
            QCOMPARE(ranking.candidates.size(), std::size_t{255});
            QCOMPARE(ranking.candidates.front().shift, 1);
            QVERIFY(!ranking.clearlyAhead());
        }
        // Code 0 inside a text neither helps nor hurts: the true shift still wins.
        const std::string plain = std::string("meet me at the old bridge") + '\0' + "at nine";
        const Ranking<ShiftCandidate> ranking =
            rankShifts(applyShift(plain, 200, Direction::Encode));
        QCOMPARE(ranking.candidates.front().shift, 200);
        QVERIFY(ranking.clearlyAhead());
    }

    // A large text is ranked on a bounded sample spread over all of it: 16 MiB in
    // well under a second, and a text whose start alone is not text still ranks.
    void largeTextRanksOnSample()
    {
        const std::string line = "A line of an ordinary letter, with nothing special in it.\r\n";
        std::string plain(std::size_t{1} << 20, '\x05');
        while (plain.size() < (std::size_t{16} << 20)) {
            plain += line;
        }
        const std::string encoded = applyShift(plain, 77, Direction::Encode);
        const auto start = std::chrono::steady_clock::now();
        const Ranking<ShiftCandidate> ranking = rankShifts(encoded);
        const auto elapsed = std::chrono::steady_clock::now() - start;
        QCOMPARE(ranking.candidates.front().shift, 77);
        QCOMPARE(ranking.sampled, kRankingSampleBytes);
        QVERIFY(ranking.clearlyAhead());
        QVERIFY(elapsed < std::chrono::milliseconds(250));

        // The pieces reach from the start to the end, none overlapping, and the
        // sample's own pieces rank alike.
        const std::vector<SampleRange> sample = rankingSample(encoded.size());
        QCOMPARE(sample.front().offset, std::size_t{0});
        QCOMPARE(sample.back().offset + sample.back().length, encoded.size());
        std::size_t total = 0;
        std::vector<std::string_view> pieces;
        for (std::size_t i = 0; i < sample.size(); ++i) {
            total += sample[i].length;
            QVERIFY(i == 0 || sample[i].offset >= sample[i - 1].offset + sample[i - 1].length);
            pieces.push_back(std::string_view(encoded).substr(sample[i].offset, sample[i].length));
        }
        QCOMPARE(total, kRankingSampleBytes);
        QCOMPARE(rankShifts(pieces).candidates.front().score, ranking.candidates.front().score);
        QCOMPARE(rankingSample(100).size(), std::size_t{1});
    }

    // Code tables: the table and direction that decode the text rank first; a
    // table that turns the text into control codes ranks last; a table that is its
    // own inverse is ranked once.
    void tablesRankByDecoding()
    {
        const auto rotation = [](int by) {
            CodeTables tables;
            for (int c = 'a'; c <= 'z'; ++c) {
                const int to = 'a' + (c - 'a' + by) % 26;
                tables.encodeTable[static_cast<std::size_t>(c)] = static_cast<std::int16_t>(to);
                tables.decodeTable[static_cast<std::size_t>(to)] = static_cast<std::int16_t>(c);
            }
            return tables;
        };
        CodeTables controls;
        for (std::size_t c = 0x20; c < 0x7F; ++c) {
            controls.decodeTable[c] = 1;
            controls.encodeTable[c] = 2;
        }
        // rotation(13) is its own inverse: its two sides are the same, listed once.
        const std::vector<CodeTables> tables{controls, rotation(3), rotation(11), rotation(13)};
        const std::string plain = "we will be at the station before the train leaves";
        const std::string encoded = translateThroughTable(plain, tables[2].encodeTable);
        const Ranking<TableCandidate> ranking = rankTables(encoded, tables);
        QCOMPARE(ranking.candidates.size(), std::size_t{7});
        QCOMPARE(ranking.candidates.front().table, std::size_t{2});
        QCOMPARE(ranking.candidates.front().direction, Direction::Decode);
        QVERIFY(ranking.clearlyAhead());
        QCOMPARE(ranking.candidates.back().table, std::size_t{0});

        // Text encoded through a table's decode side comes back through its encode side.
        const Ranking<TableCandidate> reverse =
            rankTables(translateThroughTable(plain, tables[1].decodeTable), tables);
        QCOMPARE(reverse.candidates.front().table, std::size_t{1});
        QCOMPARE(reverse.candidates.front().direction, Direction::Encode);
    }
};

QTEST_GUILESS_MAIN(TestKeyFinder)
#include "tst_keyfinder.moc"

// The files the program ships beside its executables: the help text and the
// sample code tables, as they stand in the source tree.
#include <algorithm>
#include <string>

#include <QTest>

#include "bytes.h"
#include "engine/codetable.h"
#include "engine/codetablefile.h"
#include "engine/tablecheck.h"

using namespace lorimand;
using lorimand::test::contentsOf;

namespace {

QByteArray resource(const QString &name)
{
    return contentsOf(QStringLiteral(LORIMAND_RESOURCES_DIR "/") + name);
}

// The codes Windows-1252 leaves unassigned.
bool unassignedIn1252(unsigned char code)
{
    return code == 0x81 || code == 0x8D || code == 0x8F || code == 0x90 || code == 0x9D;
}

// Whether the file is plain ASCII text (with the letters and punctuation of
// Windows-1252 when `windows1252`) whose every line, the last included, ends
// with CR LF, and no line is longer than maxLength.
QString plainCrLfTextProblem(const QByteArray &bytes, qsizetype maxLength, bool windows1252 = false)
{
    if (bytes.isEmpty()) {
        return QStringLiteral("empty or missing");
    }
    if (!bytes.endsWith("\r\n")) {
        return QStringLiteral("does not end with CR LF");
    }
    qsizetype lineLength = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto code = static_cast<unsigned char>(bytes[i]);
        if (code == '\r') {
            if (i + 1 >= bytes.size() || bytes[i + 1] != '\n') {
                return QStringLiteral("a CR without LF at byte %1").arg(i);
            }
            ++i;
            lineLength = 0;
            continue;
        }
        if (code == '\n') {
            return QStringLiteral("an LF without CR at byte %1").arg(i);
        }
        const bool printable = (code >= 0x20 && code <= 0x7E) ||
                               (windows1252 && code >= 0x80 && !unassignedIn1252(code));
        if (!printable) {
            return QStringLiteral("byte %1 is not printable ASCII").arg(i);
        }
        if (++lineLength > maxLength) {
            return QStringLiteral("a line longer than %1 at byte %2").arg(maxLength).arg(i);
        }
    }
    return {};
}

} // namespace

class TestResources : public QObject
{
    Q_OBJECT

private slots:
    void readmeIsPlainCrLfText();
    void translatedReadmes_data();
    void translatedReadmes();
    void sampleTablesLoad_data();
    void sampleTablesLoad();
    void sampleTablesTranslate_data();
    void sampleTablesTranslate();
};

void TestResources::readmeIsPlainCrLfText()
{
    const QByteArray readme = resource(QStringLiteral("Readme.txt"));
    // Short lines, so the help box wraps none at its initial width.
    const QString problem = plainCrLfTextProblem(readme, 76);
    QVERIFY2(problem.isEmpty(), qPrintable(problem));

    // The example code table of the help text is one that loads.
    const std::string example = "Swaps a and b, and writes c as z.\r\n97=98\r\n98=97\r\n99=122\r\n";
    QVERIFY(readme.contains("  Swaps a and b, and writes c as z.\r\n  97=98\r\n  98=97\r\n"
                            "  99=122\r\n"));
    const CodeTableParse parse = parseCodeTable(example);
    QVERIFY(!parse.error);
    QCOMPARE(translateThroughTable("cab CAB", parse.tables.encodeTable), std::string("zba ZBA"));
    QCOMPARE(translateThroughTable("zba", parse.tables.decodeTable), std::string("cab"));
}

void TestResources::translatedReadmes_data()
{
    QTest::addColumn<QString>("name");
    for (const QString &language :
         QStringLiteral(LORIMAND_LANGUAGES).split(u' ', Qt::SkipEmptyParts)) {
        const QString name = QStringLiteral("Readme.%1.txt").arg(language);
        QTest::newRow(name.toUtf8().constData()) << name;
    }
}

void TestResources::translatedReadmes()
{
    QFETCH(QString, name);
    // The help box shows Windows-1252, and wraps no line at its initial width.
    const QByteArray readme = resource(name);
    const QString problem = plainCrLfTextProblem(readme, 76, true);
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    // A UTF-8 accented letter would start with C3, which is Windows-1252's A tilde.
    QVERIFY2(!readme.contains('\xC3'), "written in UTF-8, not Windows-1252");

    // The same example table, and the same sections as the English help.
    QVERIFY(readme.contains("  97=98\r\n  98=97\r\n  99=122\r\n"));
    const auto underlines = [](const QByteArray &text) {
        qsizetype count = 0;
        for (const QByteArray &line : text.split('\n')) {
            const QByteArray bare = line.trimmed();
            count += !bare.isEmpty() &&
                     (bare.count('-') == bare.size() || bare.count('=') == bare.size());
        }
        return count;
    };
    QCOMPARE(underlines(readme), underlines(resource(QStringLiteral("Readme.txt"))));
}

void TestResources::sampleTablesLoad_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("entries");

    QTest::newRow("ROT13") << QStringLiteral("ROT13.sbt") << 26;
    QTest::newRow("Reverse") << QStringLiteral("Reverse.sbt") << 26;
    QTest::newRow("Digits") << QStringLiteral("Digits.sbt") << 10;
}

void TestResources::sampleTablesLoad()
{
    QFETCH(QString, name);
    QFETCH(int, entries);

    const QByteArray bytes = resource(name);
    const QString problem = plainCrLfTextProblem(bytes, 76);
    QVERIFY2(problem.isEmpty(), qPrintable(problem));

    // The comment lines explain the table and are skipped: they hold no "=".
    const QList<QByteArray> lines = bytes.chopped(2).split('\n');
    const auto comments = std::count_if(lines.begin(), lines.end(),
                                        [](const QByteArray &line) { return !line.contains('='); });
    QVERIFY(comments >= 1);
    QCOMPARE(lines.size() - comments, entries);

    const CodeTableParse parse =
        parseCodeTable(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    QVERIFY2(!parse.error, parse.error ? parse.error->reason.c_str() : "");
    const auto filled = [](const CodeTable &table) {
        return std::count_if(table.begin(), table.end(), [](auto e) { return e != kNoEntry; });
    };
    QCOMPARE(filled(parse.tables.encodeTable), entries);
    QCOMPARE(filled(parse.tables.decodeTable), entries);
    // What a sample shows, a table of one's own should be: one that decodes.
    QVERIFY(checkTable(parse.tables).decodable());
}

void TestResources::sampleTablesTranslate_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("plain");
    QTest::addColumn<QByteArray>("encoded");

    QTest::newRow("ROT13") << QStringLiteral("ROT13.sbt") << QByteArray("Hello, World! 42\r\nAz")
                           << QByteArray("Uryyb, Jbeyq! 42\r\nNm");
    QTest::newRow("Reverse") << QStringLiteral("Reverse.sbt") << QByteArray("Hello, World! 42")
                             << QByteArray("Svool, Dliow! 42");
    QTest::newRow("Digits") << QStringLiteral("Digits.sbt") << QByteArray("Call 0123456789 now")
                            << QByteArray("Call 5678901234 now");
}

void TestResources::sampleTablesTranslate()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, plain);
    QFETCH(QByteArray, encoded);

    const QByteArray bytes = resource(name);
    const CodeTableParse parse =
        parseCodeTable(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    QVERIFY(!parse.error);
    const std::string plainText = plain.toStdString();
    const std::string encodedText = encoded.toStdString();
    QCOMPARE(translateThroughTable(plainText, parse.tables.encodeTable), encodedText);
    QCOMPARE(translateThroughTable(encodedText, parse.tables.decodeTable), plainText);

    // Each sample undoes itself: encoding twice gives the text back.
    QCOMPARE(translateThroughTable(encodedText, parse.tables.encodeTable), plainText);

    // Every printable character comes back through both tables.
    std::string printable;
    for (int code = 0x20; code < 0x7F; ++code) {
        printable += static_cast<char>(code);
    }
    QCOMPARE(translateThroughTable(translateThroughTable(printable, parse.tables.encodeTable),
                                   parse.tables.decodeTable),
             printable);
}

QTEST_APPLESS_MAIN(TestResources)
#include "tst_resources.moc"

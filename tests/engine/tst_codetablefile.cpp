// Tests of reading code-table files into both directions of a table.
#include <string>
#include <utility>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "bytes.h"
#include "engine/codetablefile.h"

using namespace Qt::StringLiterals;

using namespace lorimand;
using lorimand::test::writeSparse;

namespace {

using Entries = QList<std::pair<int, int>>;

// The entries of one direction that are set, in code order.
Entries entriesOf(const CodeTable &table)
{
    Entries entries;
    for (int code = 0; code < 256; ++code) {
        if (table[static_cast<std::size_t>(code)] != kNoEntry) {
            entries.append({code, table[static_cast<std::size_t>(code)]});
        }
    }
    return entries;
}

} // namespace

class TestCodeTableFile : public QObject
{
    Q_OBJECT

private slots:
    void parse_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<Entries>("encode");
        QTest::addColumn<Entries>("decode");
        QTest::addColumn<int>("errorLine"); // 0: no error
        QTest::addColumn<QString>("errorReason");

        QTest::newRow("one entry")
            << QByteArray("65=66") << Entries{{65, 66}} << Entries{{66, 65}} << 0 << QString();
        QTest::newRow("two plain codes to one")
            << QByteArray("97=120\r\n98=120\r\n") << Entries{{97, 120}, {98, 120}}
            << Entries{{120, 98}} << 0 << QString();
        QTest::newRow("later line overrides") << QByteArray("65=66\r\n65=67") << Entries{{65, 67}}
                                              << Entries{{66, 65}, {67, 65}} << 0 << QString();
        QTest::newRow("nothing before = reads 0")
            << QByteArray("=66") << Entries{{0, 66}} << Entries{{66, 0}} << 0 << QString();
        QTest::newRow("second = ends the right side")
            << QByteArray("65=66=67") << Entries{{65, 66}} << Entries{{66, 65}} << 0 << QString();
        QTest::newRow("65.5 rounds to even 66")
            << QByteArray("65.5=66") << Entries{{66, 66}} << Entries{{66, 66}} << 0 << QString();
        QTest::newRow("66.5 rounds to even 66")
            << QByteArray("66.5=66") << Entries{{66, 66}} << Entries{{66, 66}} << 0 << QString();
        // As a Linux editor writes it: every entry counts.
        QTest::newRow("LF alone ends a line")
            << QByteArray("97=98\n98=97\n") << Entries{{97, 98}, {98, 97}}
            << Entries{{97, 98}, {98, 97}} << 0 << QString();
        QTest::newRow("LF lines, bad third line")
            << QByteArray("65=66\n\n300=1\n67=68") << Entries{{65, 66}} << Entries{{66, 65}} << 3
            << QString(u"the code before \"=\" is 300, not a whole number from 0 to 255"_s);
        QTest::newRow("mixed CR LF, CR and LF")
            << QByteArray("65=66\r\n67=68\r69=70\n71=72")
            << Entries{{65, 66}, {67, 68}, {69, 70}, {71, 72}}
            << Entries{{66, 65}, {68, 67}, {70, 69}, {72, 71}} << 0 << QString();
        QTest::newRow("lone CR ends a line")
            << QByteArray("65=66\r67=68") << Entries{{65, 66}, {67, 68}}
            << Entries{{66, 65}, {68, 67}} << 0 << QString();
        QTest::newRow("empty file") << QByteArray() << Entries{} << Entries{} << 0 << QString();
        QTest::newRow("lines without = skipped")
            << QByteArray("a comment\r\n\r\n65 66\r\n97=98") << Entries{{97, 98}}
            << Entries{{98, 97}} << 0 << QString();
        QTest::newRow("blanks anywhere in the numbers")
            << QByteArray(" 6 5 =\t6 6 ") << Entries{{65, 66}} << Entries{{66, 65}} << 0
            << QString();
        QTest::newRow("text after = reads 0")
            << QByteArray("65=abc") << Entries{{65, 0}} << Entries{{0, 65}} << 0 << QString();
        QTest::newRow("edges 0 and 255")
            << QByteArray("0=255\r\n255=0") << Entries{{0, 255}, {255, 0}}
            << Entries{{0, 255}, {255, 0}} << 0 << QString();
        QTest::newRow("very long line") << QByteArray("65=" + QByteArray(40000, ' ') + "66")
                                        << Entries{{65, 66}} << Entries{{66, 65}} << 0 << QString();

        QTest::newRow("left code too large after good lines")
            << QByteArray("65=66\r\n300=65\r\n67=68") << Entries{{65, 66}} << Entries{{66, 65}} << 2
            << QString(u"the code before \"=\" is 300, not a whole number from 0 to 255"_s);
        QTest::newRow("right code too large")
            << QByteArray("65=66\r\n\r\n65=256") << Entries{{65, 66}} << Entries{{66, 65}} << 3
            << QString(u"the code after \"=\" is 256, not a whole number from 0 to 255"_s);
        QTest::newRow("right side checked first")
            << QByteArray("300=256") << Entries{} << Entries{} << 1
            << QString(u"the code after \"=\" is 256, not a whole number from 0 to 255"_s);
        QTest::newRow("negative code")
            << QByteArray("-1=5") << Entries{} << Entries{} << 1
            << QString(u"the code before \"=\" is -1, not a whole number from 0 to 255"_s);
        QTest::newRow("half rounds out of range")
            << QByteArray("255.5=1") << Entries{} << Entries{} << 1
            << QString("the code before \"=\" is 255.5, which rounds to 256, not a whole number "
                       u"from 0 to 255"_s);
        QTest::newRow("beyond 32 bits") << QByteArray("65=1e99") << Entries{} << Entries{} << 1
                                        << QString("the code after \"=\" is 1e+99, not a whole "
                                                   u"number from 0 to 255"_s);
    }
    void parse()
    {
        QFETCH(QByteArray, file);
        QFETCH(Entries, encode);
        QFETCH(Entries, decode);
        QFETCH(int, errorLine);
        QFETCH(QString, errorReason);

        const CodeTableParse parse = parseCodeTable(file.toStdString());
        QCOMPARE(entriesOf(parse.tables.encodeTable), encode);
        QCOMPARE(entriesOf(parse.tables.decodeTable), decode);
        if (errorLine == 0) {
            QVERIFY(!parse.error);
        } else {
            QVERIFY(parse.error);
            QCOMPARE(parse.error->line, static_cast<std::size_t>(errorLine));
            QCOMPARE(QString::fromStdString(parse.error->reason), errorReason);
        }
    }

    // No table is ever that size: refused from the size, or at once for a device
    // that never ends, without the file's size in memory.
    void hostileFilesAreRefused_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("reason");
        QTest::newRow("1 GiB") << u"huge.sbt"_s << u"It is larger than 16 MiB"_s;
        QTest::newRow("device") << u"/dev/zero"_s << u"It is a device"_s;
    }
    void hostileFilesAreRefused()
    {
        QFETCH(QString, file);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        writeSparse(dir.filePath(u"huge.sbt"_s), qint64{1} << 30);
        // An absolute name stays as it is.
        const std::string path = QFile::encodeName(QDir(dir.path()).filePath(file)).toStdString();
        QElapsedTimer clock;
        clock.start();
        const CodeTableLoad load = loadCodeTableFile(realFileSystem(), path);
        QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(!load.tables);
        QVERIFY(load.error);
        QCOMPARE(load.error->path, path);
        QVERIFY2(QString::fromStdString(load.error->reason).startsWith(reason),
                 load.error->reason.c_str());
    }
};

QTEST_APPLESS_MAIN(TestCodeTableFile)
#include "tst_codetablefile.moc"

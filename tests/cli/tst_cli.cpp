// lorimand-cli run as a process: translations through files and standard streams,
// the key sources, and what every failure leaves behind.
#include <csignal>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include "about/about.h"
#include "bytes.h"
#include "journals.h"

using namespace Qt::StringLiterals;

using namespace lorimand::test;

namespace {

constexpr qsizetype kBlock = 128 * 1024;

struct Run
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// The encoded form of every code under a shift, straight from the cipher's rule:
// c + shift, less 255 when above 255; code 0 stays 0.
QByteArray shifted(const QByteArray &plain, int shift)
{
    QByteArray result = plain;
    for (char &ch : result) {
        int v = static_cast<unsigned char>(ch);
        if (v != 0) {
            v += shift;
        }
        if (v > 255) {
            v -= 255;
        }
        ch = static_cast<char>(v);
    }
    return result;
}

// Every code 0..255 over and over, each CR followed by LF, with a CR LF pair split
// across each of the first two block boundaries.
QByteArray allBytesWithPairedCr()
{
    QByteArray bytes;
    while (bytes.size() < 2 * kBlock + 1000) {
        for (int c = 0; c < 256; ++c) {
            bytes.append(static_cast<char>(c));
            if (c == '\r') {
                bytes.append('\n');
            }
        }
    }
    for (const qsizetype boundary : {kBlock, 2 * kBlock}) {
        bytes[boundary - 1] = '\r';
        bytes[boundary] = '\n';
        // The byte before must not be a CR left without its LF.
        if (bytes[boundary - 2] == '\r') {
            bytes[boundary - 2] = 'x';
        }
    }
    return bytes;
}

// The test's code table: the codes other than LF and CR rotated by 97 places among
// themselves, so it is one-to-one and leaves line breaks to the CR LF rule.
QList<int> rotatedCodes()
{
    QList<int> codes;
    for (int c = 0; c < 256; ++c) {
        if (c != '\n' && c != '\r') {
            codes.append(c);
        }
    }
    return codes;
}

QByteArray rotationTable()
{
    const QList<int> codes = rotatedCodes();
    QByteArray file = "Rotation by 97 places, line breaks untouched\r\n";
    for (qsizetype i = 0; i < codes.size(); ++i) {
        file += QByteArray::number(codes[i]) + "=" +
                QByteArray::number(codes[(i + 97) % codes.size()]) + "\r\n";
    }
    return file;
}

QByteArray rotated(const QByteArray &plain)
{
    const QList<int> codes = rotatedCodes();
    int map[256];
    for (int c = 0; c < 256; ++c) {
        map[c] = c;
    }
    for (qsizetype i = 0; i < codes.size(); ++i) {
        map[codes[i]] = codes[(i + 97) % codes.size()];
    }
    QByteArray result = plain;
    for (char &ch : result) {
        ch = static_cast<char>(map[static_cast<unsigned char>(ch)]);
    }
    return result;
}

// The lines find-key prints, each split into its four tab-separated fields.
QList<QList<QByteArray>> candidateLines(const QByteArray &out)
{
    QList<QList<QByteArray>> lines;
    if (!out.endsWith('\n')) {
        return lines;
    }
    for (const QByteArray &line : out.chopped(1).split('\n')) {
        lines.append(line.split('\t'));
        if (lines.back().size() != 4) {
            qWarning("not four fields: %s", line.constData());
        }
    }
    return lines;
}

} // namespace

class TestCli : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void translatesFilesAndStreams_data();
    void translatesFilesAndStreams();
    void codeTableKeepsLoneCarriageReturns_data();
    void codeTableKeepsLoneCarriageReturns();
    void keyFileGivesTheSameKey_data();
    void keyFileGivesTheSameKey();
    void emptyKeyCopiesUnchanged_data();
    void emptyKeyCopiesUnchanged();
    void outputMayReplaceItsInput();
    void emptyArgumentsEndAtOnce_data();
    void emptyArgumentsEndAtOnce();
    void doubleDashEndsTheOptions_data();
    void doubleDashEndsTheOptions();
    void usageErrorsExitTwo_data();
    void usageErrorsExitTwo();
    void badCodeTableNamesFileAndLine_data();
    void badCodeTableNamesFileAndLine();
    void failedRunLeavesOutputUntouched_data();
    void failedRunLeavesOutputUntouched();
    void standardOutputErrorIsReported();
    void unusableTemporaryFolderIsNamed();
    void signalRemovesTheTemporaryFile_data();
    void signalRemovesTheTemporaryFile();
    void leftJournalIsRolledBackByTheNextRun_data();
    void leftJournalIsRolledBackByTheNextRun();
    void writeGoingOnIsWaitedForThenRefused();
    void killedInPlaceWritesLeaveOldOrNew_data();
    void killedInPlaceWritesLeaveOldOrNew();
    void tableByName_data();
    void tableByName();
    void helpAndVersion_data();
    void helpAndVersion();
    void closedPipeEndsQuietly();

    void findKeyGivesAKeyThatDecodes_data();
    void findKeyGivesAKeyThatDecodes();
    void findKeyShowsControlCodesInThePreview();
    void findKeyWithoutAClearWinnerExitsThree();
    void findKeyRanksCodeTables_data();
    void findKeyRanksCodeTables();
    void findKeyEscapesTableNames_data();
    void findKeyEscapesTableNames();
    void findKeyUsageErrors_data();
    void findKeyUsageErrors();
    void findKeyFileErrors_data();
    void findKeyFileErrors();

    void newTableMakesATableThatDecodes_data();
    void newTableMakesATableThatDecodes();
    void newTableFileErrors();
    void checkTable_data();
    void checkTable();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    QString write(const QString &name, const QByteArray &bytes) const;
    QByteArray read(const QString &name) const { return contentsOf(path(name)); }
    // Replaces the placeholders TABLE and KEYFILE in arguments by the files of init().
    QStringList withFiles(QStringList arguments) const;
    Run
    run(const QStringList &arguments, const QByteArray &input = {}, qint64 fileSizeLimit = 0,
        const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment()) const;

    std::unique_ptr<QTemporaryDir> m_dir;
    // The user's state folder, where the journals of hard-linked files go.
    QTemporaryDir m_stateHome;
};

QString TestCli::write(const QString &name, const QByteArray &bytes) const
{
    writeBytes(path(name), bytes);
    return path(name);
}

QStringList TestCli::withFiles(QStringList arguments) const
{
    for (QString &argument : arguments) {
        if (argument == QLatin1String("TABLE")) {
            argument = path(u"rotation.sbt"_s);
        } else if (argument == QLatin1String("KEYFILE")) {
            argument = path(u"key.txt"_s);
        }
    }
    return arguments;
}

Run TestCli::run(const QStringList &arguments, const QByteArray &input, qint64 fileSizeLimit,
                 const QProcessEnvironment &environment) const
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(m_dir->path());
    if (fileSizeLimit > 0) {
        // Writes beyond the limit fail with EFBIG instead of raising SIGXFSZ.
        process.setChildProcessModifier([fileSizeLimit] {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{static_cast<rlim_t>(fileSizeLimit),
                               static_cast<rlim_t>(fileSizeLimit)};
            setrlimit(RLIMIT_FSIZE, &limit);
        });
    }
    process.start(QStringLiteral(LORIMAND_CLI_PATH), arguments);
    if (!process.waitForStarted()) {
        qFatal("lorimand-cli did not start");
    }
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
    }
    Run result;
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

void TestCli::initTestCase()
{
    QVERIFY(m_stateHome.isValid());
    qputenv("XDG_STATE_HOME", QFile::encodeName(m_stateHome.path()));
}

void TestCli::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    write(u"rotation.sbt"_s, rotationTable());
    write(u"key.txt"_s, "TarnVeli\r\n");
}

void TestCli::translatesFilesAndStreams_data()
{
    QTest::addColumn<QStringList>("source");
    QTest::addColumn<QByteArray>("plain");
    QTest::addColumn<QByteArray>("encoded");
    QTest::addColumn<QString>("via"); // "files", "stdio", "dash"

    // The check values of the generator: "TarnVeli" shifts by 18, a key of the
    // single code 255 (given as UTF-8) by 240.
    const QByteArray plain = allBytesWithPairedCr();
    const QStringList tarn{u"--key"_s, u"TarnVeli"_s};
    const QStringList table{u"--table"_s, u"TABLE"_s};
    for (const QString &via : {u"files"_s, u"stdio"_s, u"dash"_s}) {
        const QByteArray tag = via.toLatin1();
        QTest::newRow(tag + ", key TarnVeli") << tarn << plain << shifted(plain, 18) << via;
        QTest::newRow(tag + ", code table") << table << plain << rotated(plain) << via;
    }
    QTest::newRow("files, key of code 255") << QStringList{u"--key"_s, QString(QChar(0xFF))}
                                            << plain << shifted(plain, 240) << u"files"_s;
    QTest::newRow("files, key file")
        << QStringList{u"--key-file"_s, u"KEYFILE"_s} << plain << shifted(plain, 18) << u"files"_s;
    QTest::newRow("files, empty input, key") << tarn << QByteArray() << QByteArray() << "files";
    QTest::newRow("stdio, empty input, table") << table << QByteArray() << QByteArray() << "stdio";
}

void TestCli::translatesFilesAndStreams()
{
    QFETCH(QStringList, source);
    QFETCH(QByteArray, plain);
    QFETCH(QByteArray, encoded);
    QFETCH(QString, via);
    source = withFiles(source);

    const auto translate = [&](const QString &action, const QByteArray &input,
                               const QString &name) -> QByteArray {
        const QStringList base = QStringList{action} + source;
        if (via == QLatin1String("files")) {
            const QString in = write(name + u".in"_s, input);
            const Run result = run(base + QStringList{in, u"-o"_s, path(name + u".out"_s)});
            if (result.exitCode != 0 || !result.out.isEmpty() || !result.err.isEmpty()) {
                qWarning() << action << result.exitCode << result.err;
                return "<failed>";
            }
            return read(name + u".out"_s);
        }
        const QStringList streams =
            via == QLatin1String("dash") ? QStringList{u"-"_s} : QStringList{};
        const Run result = run(base + streams, input);
        if (result.exitCode != 0 || !result.err.isEmpty()) {
            qWarning() << action << result.exitCode << result.err;
            return "<failed>";
        }
        return result.out;
    };

    const QByteArray gotEncoded = translate(u"encode"_s, plain, u"plain"_s);
    QCOMPARE(gotEncoded.size(), encoded.size());
    QVERIFY(gotEncoded == encoded);
    const QByteArray gotPlain = translate(u"decode"_s, gotEncoded, u"encoded"_s);
    QCOMPARE(gotPlain.size(), plain.size());
    QVERIFY(gotPlain == plain);
    if (via == QLatin1String("files")) {
        // Nothing but the files of the run: no temporary file left behind.
        QStringList expected{u"encoded.in"_s, u"encoded.out"_s, u"key.txt"_s,
                             u"plain.in"_s,   u"plain.out"_s,   u"rotation.sbt"_s};
        QCOMPARE(entriesOf(m_dir->path()), expected);
    }
}

// An old Mac text ends its lines with a lone CR: a code table passes each one as
// it is, at a block's end and at the very end too, and decoding gives the text back.
void TestCli::codeTableKeepsLoneCarriageReturns_data()
{
    QTest::addColumn<QString>("table"); // a name, or AX for a table of 97=120 alone
    QTest::addColumn<bool>("stdio");
    for (const bool stdio : {false, true}) {
        const char *via = stdio ? "stdio" : "files";
        QTest::addRow("a to x, %s", via) << u"AX"_s << stdio;
        QTest::addRow("ROT13 by name, %s", via) << u"ROT13"_s << stdio;
    }
}

void TestCli::codeTableKeepsLoneCarriageReturns()
{
    QFETCH(QString, table);
    QFETCH(bool, stdio);
    const bool rot13 = table == u"ROT13"_s;
    if (!rot13) {
        // 97=120 only: a becomes x and A borrows it as X.
        table = write(u"ax.sbt"_s, "97=120");
    }
    // Lines ended by a lone CR; one ends the first block, a CR LF pair spans the
    // second boundary, and the text ends with a lone CR.
    const QByteArray line = "Dear Anna,\rthe apples are in.\r";
    QByteArray plain;
    while (plain.size() < kBlock - 1) {
        plain += line;
    }
    plain.truncate(kBlock - 1);
    plain += '\r';
    while (plain.size() < 2 * kBlock - 1) {
        plain += line;
    }
    plain.truncate(2 * kBlock - 1);
    plain += "\r\nAnna\r";
    QByteArray expected = plain;
    for (char &ch : expected) {
        const char base = ch >= 'a' && ch <= 'z' ? 'a' : ch >= 'A' && ch <= 'Z' ? 'A' : 0;
        if (rot13 && base != 0) {
            ch = static_cast<char>(base + (ch - base + 13) % 26);
        } else if (!rot13 && base != 0 && (ch == 'a' || ch == 'A')) {
            ch = static_cast<char>(ch + ('x' - 'a'));
        }
    }

    const auto translate = [&](const QString &action, const QByteArray &input) {
        Run result;
        if (stdio) {
            result = run({action, u"--table"_s, table}, input);
        } else {
            result =
                run({action, u"--table"_s, table, write(u"in"_s, input), u"-o"_s, path(u"out"_s)});
            result.out = read(u"out"_s);
        }
        return result;
    };
    const Run encoded = translate(u"encode"_s, plain);
    QCOMPARE(encoded.exitCode, 0);
    QCOMPARE(encoded.err, QByteArray());
    QCOMPARE(encoded.out.size(), expected.size());
    QVERIFY(encoded.out == expected);
    const Run decoded = translate(u"decode"_s, encoded.out);
    QCOMPARE(decoded.exitCode, 0);
    QCOMPARE(decoded.out.size(), plain.size());
    QVERIFY(decoded.out == plain);
}

void TestCli::keyFileGivesTheSameKey_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QByteArray>("keyFile");

    QTest::newRow("CR LF after the key") << "TarnVeli" << QByteArray("TarnVeli\r\nnot the key");
    QTest::newRow("LF after the key") << "TarnVeli" << QByteArray("TarnVeli\nnot the key\n");
    QTest::newRow("CR after the key") << "TarnVeli" << QByteArray("TarnVeli\rnot the key");
    QTest::newRow("no line end") << "TarnVeli" << QByteArray("TarnVeli");
    QTest::newRow("blanks kept") << " Tarn Veli " << QByteArray(" Tarn Veli \n");
    QTest::newRow("Latin-1 letter")
        << QString::fromUtf8("\xC3\xA9t\xC3\xA9") << QByteArray("\xE9t\xE9\r\n");
    QTest::newRow("Windows-1252 euro sign")
        << QString::fromUtf8("\xE2\x82\xAC") + u"uro"_s << QByteArray("\x80uro");
    QTest::newRow("100,000 characters")
        << QString(100'000, u'k') << QByteArray(100'000, 'k') + "\r\n";
}

void TestCli::keyFileGivesTheSameKey()
{
    QFETCH(QString, key);
    QFETCH(QByteArray, keyFile);
    const QByteArray plain = allBytesWithPairedCr().left(5000);
    const QString in = write(u"in"_s, plain);
    write(u"key.txt"_s, keyFile);

    const Run fromOption = run({u"encode"_s, u"--key"_s, key, in});
    const Run fromFile = run({u"encode"_s, u"--key-file"_s, path(u"key.txt"_s), in});
    QCOMPARE(fromOption.exitCode, 0);
    QCOMPARE(fromFile.exitCode, 0);
    QCOMPARE(fromOption.out.size(), plain.size());
    QVERIFY(fromOption.out != plain);
    QVERIFY(fromFile.out == fromOption.out);
}

void TestCli::emptyKeyCopiesUnchanged_data()
{
    QTest::addColumn<QStringList>("source");
    QTest::addColumn<QByteArray>("keyFile");
    QTest::addColumn<QString>("action");

    QTest::newRow("--key \"\", encode")
        << QStringList{u"--key"_s, u""_s} << QByteArray() << u"encode"_s;
    QTest::newRow("--key \"\", decode")
        << QStringList{u"--key"_s, u""_s} << QByteArray() << u"decode"_s;
    QTest::newRow("--key=, encode") << QStringList{u"--key="_s} << QByteArray() << u"encode"_s;
    QTest::newRow("empty key file")
        << QStringList{u"--key-file"_s, u"KEYFILE"_s} << QByteArray() << u"encode"_s;
    QTest::newRow("key file starting with a line end")
        << QStringList{u"--key-file"_s, u"KEYFILE"_s} << QByteArray("\r\nTarnVeli") << "decode";
}

void TestCli::emptyKeyCopiesUnchanged()
{
    QFETCH(QStringList, source);
    QFETCH(QByteArray, keyFile);
    QFETCH(QString, action);
    write(u"key.txt"_s, keyFile);
    // Every code, NUL and lone CRs included, passes untouched.
    QByteArray plain;
    for (int round = 0; round < 700; ++round) {
        for (int c = 0; c < 256; ++c) {
            plain.append(static_cast<char>(c));
        }
    }
    plain += "\r";

    const Run result = run(QStringList{action} + withFiles(source), plain);
    QCOMPARE(result.exitCode, 0);
    QVERIFY(result.out == plain);
    QVERIFY(result.err.startsWith("lorimand-cli: warning: "));
}

void TestCli::outputMayReplaceItsInput()
{
    const QByteArray plain = allBytesWithPairedCr();
    const QString file = write(u"text"_s, plain);
    QCOMPARE(
        run({u"encode"_s, u"--table"_s, path(u"rotation.sbt"_s), file, u"-o"_s, file}).exitCode, 0);
    QVERIFY(read(u"text"_s) == rotated(plain));
    QCOMPARE(
        run({u"decode"_s, u"--table"_s, path(u"rotation.sbt"_s), file, u"-o"_s, file}).exitCode, 0);
    QVERIFY(read(u"text"_s) == plain);
}

void TestCli::emptyArgumentsEndAtOnce_data()
{
    QTest::addColumn<QStringList>("arguments");
    // An empty argument in every place of a whole command line, as a script with
    // an empty variable writes: each is a usage error, never a run that hangs.
    const QStringList whole{u"encode"_s, u"--key"_s, u"TarnVeli"_s, u"in"_s, u"-o"_s, u"out"_s};
    for (qsizetype at = 0; at <= whole.size(); ++at) {
        QStringList arguments = whole;
        arguments.insert(at, QString());
        QTest::newRow(qPrintable(QStringLiteral("empty at %1").arg(at))) << arguments;
    }
    QTest::newRow("empty after --") << QStringList{u"encode"_s, u"--key"_s, u"k"_s, u"--"_s, u""_s};
    QTest::newRow("--output=") << QStringList{u"encode"_s, u"--key"_s, u"k"_s, u"in"_s,
                                              u"--output="_s};
    QTest::newRow("--key= then an empty INPUT")
        << QStringList{u"encode"_s, u"--key="_s, u""_s, u"-o"_s, u"out"_s};
}

void TestCli::emptyArgumentsEndAtOnce()
{
    QFETCH(QStringList, arguments);
    write(u"in"_s, "some text");
    write(u"out"_s, "old contents");
    const QStringList before = entriesOf(m_dir->path());
    QElapsedTimer clock;
    clock.start();
    const Run result = run(arguments);
    QVERIFY2(clock.elapsed() < 10000, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(result.exitCode, 2);
    QVERIFY2(result.err.startsWith("lorimand-cli: "), result.err);
    QCOMPARE(entriesOf(m_dir->path()), before);
    QCOMPARE(read(u"out"_s), QByteArray("old contents"));
}

void TestCli::doubleDashEndsTheOptions_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("input"); // the file the text is in; empty: standard input

    const QString key = u"--key"_s;
    const QString tarn = u"TarnVeli"_s;
    QTest::newRow("INPUT starting with a dash")
        << QStringList{u"encode"_s, key, tarn, u"--"_s, u"-in"_s} << u"-in"_s;
    QTest::newRow("ACTION and INPUT after it")
        << QStringList{key, tarn, u"--"_s, u"encode"_s, u"-in"_s} << u"-in"_s;
    QTest::newRow("OUTPUT before it")
        << QStringList{u"encode"_s, key, tarn, u"-o"_s, u"-"_s, u"--"_s, u"-in"_s} << u"-in"_s;
    QTest::newRow("a second -- is INPUT")
        << QStringList{u"encode"_s, key, tarn, u"--"_s, u"--"_s} << u"--"_s;
    QTest::newRow("an option's name is INPUT")
        << QStringList{u"encode"_s, key, tarn, u"--"_s, u"--key"_s} << u"--key"_s;
    QTest::newRow("- is still standard input")
        << QStringList{u"encode"_s, key, tarn, u"--"_s, u"-"_s} << QString();
}

void TestCli::doubleDashEndsTheOptions()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, input);
    const QByteArray plain = "plain text\r\n";
    if (!input.isEmpty()) {
        write(input, plain);
    }
    const Run result = run(arguments, input.isEmpty() ? plain : QByteArray());
    QCOMPARE(result.err, QByteArray());
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.out, shifted(plain, 18));
}

void TestCli::usageErrorsExitTwo_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("message");

    QTest::newRow("no key or table")
        << QStringList{u"encode"_s, u"in"_s}
        << QByteArray("no key or code table: give one of --key, --key-file and --table");
    QTest::newRow("key and table")
        << QStringList{u"encode"_s, u"--key"_s, u"k"_s, u"--table"_s, u"TABLE"_s, u"in"_s}
        << QByteArray("give only one of --key, --key-file and --table");
    QTest::newRow("key and key file")
        << QStringList{u"decode"_s, u"--key"_s, u"k"_s, u"--key-file"_s, u"KEYFILE"_s, u"in"_s}
        << QByteArray("give only one of --key, --key-file and --table");
    QTest::newRow("all three") << QStringList{u"encode"_s,     u"--key"_s,   u"k"_s,
                                              u"--key-file"_s, u"KEYFILE"_s, u"--table"_s,
                                              u"TABLE"_s,      u"in"_s}
                               << QByteArray("give only one of --key, --key-file and --table");
    QTest::newRow("key twice") << QStringList{u"encode"_s, u"--key"_s, u"k"_s,
                                              u"--key"_s,  u"j"_s,     u"in"_s}
                               << QByteArray("--key is given more than once");
    QTest::newRow("output twice") << QStringList{u"encode"_s, u"--key"_s, u"k"_s,
                                                 u"-o"_s,     u"a"_s,     u"in"_s}
                                  << QByteArray("--output is given more than once");
    QTest::newRow("key without its value")
        << QStringList{u"encode"_s, u"in"_s, u"--key"_s} << QByteArray("--key needs a value");
    QTest::newRow("unknown action") << QStringList{u"scramble"_s, u"--key"_s, u"k"_s, u"in"_s}
                                    << QByteArray("unknown action \"scramble\": give encode, "
                                                  "decode, find-key, new-table or check-table");
    QTest::newRow("no action")
        << QStringList{u"--key"_s, u"k"_s}
        << QByteArray("no action: give encode, decode, find-key, new-table or check-table");
    QTest::newRow("greek letter in key")
        << QStringList{u"encode"_s, u"--key"_s, QString::fromUtf8("Tarn\xCE\xA9"), u"in"_s}
        << QByteArray("--key: the character \"\xCE\xA9\" (U+03A9) is not in the 8-bit "
                      "character set");
    QTest::newRow("two inputs") << QStringList{u"encode"_s, u"--key"_s, u"k"_s, u"in"_s, u"extra"_s}
                                << QByteArray(
                                       "unexpected argument \"extra\": only one INPUT is read");
    QTest::newRow("unknown option")
        << QStringList{u"encode"_s, u"--key"_s, u"k"_s, u"--rotate"_s, u"3"_s, u"in"_s}
        << QByteArray("unknown option \"--rotate\"");
    QTest::newRow("a third word after --")
        << QStringList{u"encode"_s, u"--key"_s, u"k"_s, u"--"_s, u"in"_s, u"-x"_s}
        << QByteArray("unexpected argument \"-x\": only one INPUT is read");
    QTest::newRow("an option's name after -- is ACTION")
        << QStringList{u"--key"_s, u"k"_s, u"--"_s, u"--table"_s, u"in"_s}
        << QByteArray("unknown action \"--table\": give encode, decode, find-key, new-table or "
                      "check-table");
    QTest::newRow("nothing after --")
        << QStringList{u"--key"_s, u"k"_s, u"--"_s}
        << QByteArray("no action: give encode, decode, find-key, new-table or check-table");
    // An argument is echoed on the message's one line, its control characters escaped.
    QTest::newRow("line break in the action")
        << QStringList{u"enc\node"_s, u"--key"_s, u"k"_s, u"in"_s}
        << QByteArray("unknown action \"enc\\node\": give encode, decode, find-key, new-table or "
                      "check-table");
    QTest::newRow("terminal escape in an option")
        << QStringList{u"encode"_s, u"--key"_s, u"k"_s, u"--x\x1b[2J\r"_s, u"in"_s}
        << QByteArray("unknown option \"--x\\x1B[2J\\r\"");
    QTest::newRow("tab, DEL and backslash in an extra argument")
        << QStringList{u"encode"_s, u"--key"_s, u"k"_s, u"in"_s, u"a\tb\x7f\\n"_s}
        << QByteArray("unexpected argument \"a\\tb\\x7F\\\\n\": only one INPUT is read");
}

void TestCli::usageErrorsExitTwo()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, message);
    write(u"in"_s, "some text");
    const QStringList before = entriesOf(m_dir->path());

    // OUTPUT first, so that an option may end the command line.
    const Run result = run(QStringList{u"-o"_s, path(u"out"_s)} + withFiles(arguments));
    QCOMPARE(result.exitCode, 2);
    // The program's own words, then where to find the usage.
    QCOMPARE(result.err, "lorimand-cli: " + message + " (run lorimand-cli --help for the usage)\n");
    QVERIFY(result.out.isEmpty());
    QCOMPARE(entriesOf(m_dir->path()), before);
}

void TestCli::badCodeTableNamesFileAndLine_data()
{
    QTest::addColumn<QByteArray>("table");
    QTest::addColumn<int>("line");

    QTest::newRow("left code too large") << QByteArray("65=66\r\n300=65\r\n97=98") << 2;
    QTest::newRow("right code too large") << QByteArray("65=256") << 1;
    QTest::newRow("after skipped lines") << QByteArray("a comment\r\n\r\n97=120\r\n65=-1\r\n") << 4;
    QTest::newRow("lone CR ends a line") << QByteArray("65=66\r66=67\r1000=1") << 3;
}

void TestCli::badCodeTableNamesFileAndLine()
{
    QFETCH(QByteArray, table);
    QFETCH(int, line);
    const QString tablePath = write(u"bad.sbt"_s, table);
    const QString in = write(u"in"_s, "Abc");
    const QStringList before = entriesOf(m_dir->path());

    const Run result = run({u"encode"_s, u"--table"_s, tablePath, in, u"-o"_s, path(u"out"_s)});
    QCOMPARE(result.exitCode, 2);
    QVERIFY2(result.err.startsWith("lorimand-cli: " + tablePath.toUtf8() + ": line " +
                                   QByteArray::number(line) + ": "),
             result.err);
    QCOMPARE(entriesOf(m_dir->path()), before);
}

void TestCli::failedRunLeavesOutputUntouched_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QStringList>("source");
    QTest::addColumn<QString>("output");
    QTest::addColumn<qint64>("fileSizeLimit");
    QTest::addColumn<QString>("named"); // the file the message must name

    const QStringList key{u"--key"_s, u"TarnVeli"_s};
    QTest::newRow("missing input") << "missing" << key << "out" << qint64(0) << "missing";
    QTest::newRow("missing input with a line break in its name")
        << "miss\ning" << key << "out" << qint64(0) << "miss\\ning";
    QTest::newRow("missing key file with an escape in its name")
        << "in" << QStringList{u"--key-file"_s, u"no\x1b[2Jkey"_s} << u"out"_s << qint64(0)
        << "no\\x1B[2Jkey";
    QTest::newRow("input is a folder") << "folder" << key << "out" << qint64(0) << "folder";
    QTest::newRow("missing key file")
        << "in" << QStringList{u"--key-file"_s, u"nokey"_s} << u"out"_s << qint64(0) << "nokey";
    QTest::newRow("missing table")
        << "in" << QStringList{u"--table"_s, u"none.sbt"_s} << u"out"_s << qint64(0) << "none.sbt";
    // A key file or code table is always a file: "-" is a file of that name.
    QTest::newRow("key file named -")
        << "in" << QStringList{u"--key-file"_s, u"-"_s} << u"out"_s << qint64(0) << "-";
    QTest::newRow("table named -")
        << "in" << QStringList{u"--table"_s, u"-"_s} << u"out"_s << qint64(0) << "-";
    QTest::newRow("key file with an empty name")
        << "in" << QStringList{u"--key-file"_s, u""_s} << u"out"_s << qint64(0) << "\"\"";
    QTest::newRow("table with an empty name")
        << "in" << QStringList{u"--table"_s, u""_s} << u"out"_s << qint64(0) << "\"\"";
    QTest::newRow("output's parent is a file")
        << "in" << key << "out/new" << qint64(0) << "out/new";
    QTest::newRow("output is a folder") << "in" << key << "folder" << qint64(0) << "folder";
    // Sizes that would take all memory are refused from the size or the first
    // MiB; a device is refused at once.
    QTest::newRow("table of 1 GiB")
        << "in" << QStringList{u"--table"_s, u"huge.sbt"_s} << u"out"_s << qint64(0) << "huge.sbt";
    QTest::newRow("table that never ends") << "in" << QStringList{u"--table"_s, u"/dev/urandom"_s}
                                           << u"out"_s << qint64(0) << "/dev/urandom";
    QTest::newRow("key file whose first line passes 1 MiB")
        << "in" << QStringList{u"--key-file"_s, u"longkey.txt"_s} << u"out"_s << qint64(0)
        << "longkey.txt";
    QTest::newRow("key file that never ends")
        << "in" << QStringList{u"--key-file"_s, u"/dev/zero"_s} << u"out"_s << qint64(0)
        << "/dev/zero";
    QTest::newRow("write fails midway, key") << "in" << key << "out" << qint64(3 * kBlock) << "out";
    QTest::newRow("write fails midway, table")
        << "in" << QStringList{u"--table"_s, u"TABLE"_s} << u"out"_s << qint64(3 * kBlock) << "out";
}

void TestCli::failedRunLeavesOutputUntouched()
{
    QFETCH(QString, input);
    QFETCH(QStringList, source);
    QFETCH(QString, output);
    QFETCH(qint64, fileSizeLimit);
    QFETCH(QString, named);
    write(u"in"_s, allBytesWithPairedCr() + allBytesWithPairedCr());
    write(u"out"_s, "old contents");
    QVERIFY(QDir(m_dir->path()).mkdir(u"folder"_s));
    write(u"folder/kept"_s, "kept");
    writeSparse(path(u"huge.sbt"_s), qint64{1} << 30);
    write(u"longkey.txt"_s, QByteArray((1 << 20) + 1, 'k'));
    const QStringList before = entriesOf(m_dir->path());
    QElapsedTimer clock;
    clock.start();

    const Run result =
        run(QStringList{u"encode"_s} + withFiles(source) + QStringList{input, u"-o"_s, output}, {},
            fileSizeLimit);
    QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(result.exitCode, 1);
    QVERIFY2(result.err.startsWith("lorimand-cli: " + named.toUtf8() + ": "), result.err);
    QCOMPARE(result.err.count('\n'), 1);
    QVERIFY(result.out.isEmpty());
    QCOMPARE(read(u"out"_s), QByteArray("old contents"));
    QCOMPARE(read(u"folder/kept"_s), QByteArray("kept"));
    QCOMPARE(
        QDir(path(u"folder"_s)).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
        QStringList{u"kept"_s});
    QCOMPARE(entriesOf(m_dir->path()), before);
}

void TestCli::standardOutputErrorIsReported()
{
    QProcess process;
    process.setStandardOutputFile(u"/dev/full"_s);
    process.start(QStringLiteral(LORIMAND_CLI_PATH),
                  {u"encode"_s, u"--key"_s, u"TarnVeli"_s, write(u"in"_s, allBytesWithPairedCr())});
    QVERIFY(process.waitForFinished());
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 1);
    const QByteArray err = process.readAllStandardError();
    QVERIFY2(err.startsWith("lorimand-cli: standard output: "), err);
}

// A file written in place (here: one with a second link) waits in TMPDIR for the
// whole text; a TMPDIR that cannot hold it is named with the real reason.
void TestCli::unusableTemporaryFolderIsNamed()
{
    const QString in = write(u"in"_s, "some text");
    const QString out = write(u"out"_s, "old contents");
    QCOMPARE(::link(QFile::encodeName(out).constData(),
                    QFile::encodeName(path(u"second link"_s)).constData()),
             0);
    write(u"a file"_s, "not a folder");
    const QStringList before = entriesOf(m_dir->path());

    const std::pair<QString, QByteArray> folders[] = {
        {path(u"missing"_s), "No such file or directory"},
        {path(u"a file"_s), "Not a directory"},
    };
    for (const auto &[folder, reason] : folders) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"TMPDIR"_s, folder);
        const Run result =
            run({u"encode"_s, u"--key"_s, u"TarnVeli"_s, in, u"-o"_s, out}, {}, 0, environment);
        QCOMPARE(result.exitCode, 1);
        QVERIFY2(result.err.startsWith("lorimand-cli: " + out.toUtf8() + ": ") &&
                     result.err.endsWith("TMPDIR " + folder.toUtf8() + ": " + reason + "\n"),
                 result.err);
        QCOMPARE(read(u"out"_s), QByteArray("old contents"));
        QCOMPARE(entriesOf(m_dir->path()), before);
    }
}

void TestCli::signalRemovesTheTemporaryFile_data()
{
    QTest::addColumn<int>("signal");
    for (const int signal :
         {SIGTERM, SIGINT, SIGHUP, SIGQUIT, SIGUSR1, SIGALRM, SIGXFSZ, SIGKILL}) {
        QTest::newRow(sigabbrev_np(signal)) << signal;
    }
}

// A run ended by a signal midway, even one no handler can catch, leaves no
// temporary file and the old OUTPUT.
void TestCli::signalRemovesTheTemporaryFile()
{
    QFETCH(int, signal);
    write(u"out"_s, "old contents");
    const QStringList before = entriesOf(m_dir->path());

    QProcess process;
    process.setChildProcessModifier([] {
        for (const int each : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGUSR1, SIGALRM, SIGXFSZ}) {
            std::signal(each, SIG_DFL);
        }
    });
    process.start(QStringLiteral(LORIMAND_CLI_PATH),
                  {u"encode"_s, u"--key"_s, u"TarnVeli"_s, u"-o"_s, path(u"out"_s)});
    QVERIFY(process.waitForStarted());
    // Input that keeps coming: the pipe stays open, so the run is still going.
    process.write(allBytesWithPairedCr());
    // Once the run has taken most of it, it is writing its output.
    QTRY_VERIFY_WITH_TIMEOUT(process.bytesToWrite() < kBlock, 10000);
    QVERIFY(::kill(static_cast<pid_t>(process.processId()), signal) == 0);
    QVERIFY(process.waitForFinished(10000));
    QCOMPARE(process.exitStatus(), QProcess::CrashExit);
    QCOMPARE(entriesOf(m_dir->path()), before);
    QCOMPARE(read(u"out"_s), QByteArray("old contents"));
}

void TestCli::leftJournalIsRolledBackByTheNextRun_data()
{
    QTest::addColumn<bool>("asOutput");
    QTest::addColumn<bool>("changedSince"); // by another program, after the kill
    QTest::newRow("file read") << false << false;
    QTest::newRow("file written") << true << false;
    QTest::newRow("file read, changed since") << false << true;
    QTest::newRow("file written, changed since") << true << true;
}

// A journal that a kill left in force is rolled back by the next run that reads
// or writes its file, which says so. A file that another program changed since
// is kept as it is, its old text put beside it, and that is said instead.
void TestCli::leftJournalIsRolledBackByTheNextRun()
{
    QFETCH(bool, asOutput);
    QFETCH(bool, changedSince);
    const QByteArray old = allBytesWithPairedCr();
    const QString file = write(u"text"_s, old);
    QVERIFY(::link(QFile::encodeName(file).constData(),
                   QFile::encodeName(path(u"twin"_s)).constData()) == 0);
    const QString journal = journalInStateFolder(m_stateHome.path(), file);
    QVERIFY(leaveInterruptedWrite(file, randomBytes(old.size() + 1000)));
    QVERIFY(QFileInfo::exists(journal));
    const QByteArray changed = "written by another program since\n";
    if (changedSince) {
        QFile other(file);
        QVERIFY(other.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(other.write(changed), changed.size());
    }

    const QStringList key{u"encode"_s, u"--key"_s, u"TarnVeli"_s};
    const Run result =
        asOutput ? run(key + QStringList{u"-o"_s, file}, "new") : run(key + QStringList{file});
    QCOMPARE(result.exitCode, 0);
    const QString kept = QFileInfo(file).canonicalFilePath() + u".lorimand-old"_s;
    QCOMPARE(result.err,
             "lorimand-cli: " + QFile::encodeName(file) +
                 (changedSince
                      ? ": a write of it in place was interrupted, and it may have been changed "
                        "since by another program, so it is kept as it is; its text from before "
                        "that write is in " +
                            QFile::encodeName(kept) + "\n"
                      : QByteArray(": restored from the journal of a write that was "
                                   "interrupted\n")));
    QVERIFY(!QFileInfo::exists(journal));
    QCOMPARE(QFileInfo::exists(kept), changedSince);
    if (changedSince) {
        QVERIFY(contentsOf(kept) == old);
    }
    if (asOutput) {
        QCOMPARE(read(u"twin"_s), shifted("new", 18));
    } else {
        QVERIFY(result.out == shifted(changedSince ? changed : old, 18));
        QVERIFY(read(u"twin"_s) == (changedSince ? changed : old));
    }
}

// A run that finds its file being written in place by another run waits for it
// a while, then refuses with a message that names the file: never a torn read.
void TestCli::writeGoingOnIsWaitedForThenRefused()
{
    const QByteArray old = allBytesWithPairedCr();
    const QString file = write(u"text"_s, old);
    QVERIFY(::link(QFile::encodeName(file).constData(),
                   QFile::encodeName(path(u"twin"_s)).constData()) == 0);
    QVERIFY(leaveInterruptedWrite(file, randomBytes(old.size() + 1000)));
    const QByteArray torn = read(u"text"_s);
    const QString journal = journalInStateFolder(m_stateHome.path(), file);
    // Held as the writer holds it while writing.
    const int lock = ::open(QFile::encodeName(journal).constData(), O_RDONLY | O_CLOEXEC);
    QVERIFY(lock >= 0 && ::flock(lock, LOCK_EX) == 0);
    QElapsedTimer clock;
    clock.start();

    const Run result = run({u"encode"_s, u"--key"_s, u"TarnVeli"_s, file});
    const qint64 waited = clock.elapsed();
    ::close(lock);
    QCOMPARE(result.exitCode, 1);
    QCOMPARE(result.err, "lorimand-cli: " + QFile::encodeName(file) +
                             ": Another run of Lorimand is writing it in place and has not "
                             "finished after 2 seconds\n");
    QVERIFY(result.out.isEmpty());
    QVERIFY2(waited >= 1900, qPrintable(QString::number(waited)));
    QVERIFY(read(u"text"_s) == torn);
    // Still there for when that write ends; gone with it, for the tests after this one.
    QVERIFY(QFile::remove(journal));
}

void TestCli::killedInPlaceWritesLeaveOldOrNew_data()
{
    QTest::addColumn<bool>("lockedFolder"); // else a hard-linked file
    QTest::newRow("hard-linked file") << false;
    QTest::newRow("read-only folder") << true;
}

// lorimand-cli writing in place, over a hard-linked file or one in a folder the
// user may not write, ended by SIGTERM, SIGINT or SIGKILL at random moments:
// after a catchable signal the file is the old text or the new one, whole, and
// no journal is left; after SIGKILL it is so once the next run has read it.
void TestCli::killedInPlaceWritesLeaveOldOrNew()
{
    QFETCH(bool, lockedFolder);
    // The superuser may write any folder, so the run is made as "nobody" there.
    const bool asNobody = lockedFolder && ::geteuid() == 0;
    QVERIFY(QDir(m_dir->path()).mkdir(u"place"_s));
    QVERIFY(QDir(m_dir->path()).mkdir(u"state"_s));
    const QString out = path(u"place/out"_s);
    const QByteArray old = randomBytes(24 << 20, 1);
    const QByteArray input = randomBytes(32 << 20, 2);
    const QByteArray expected = shifted(input, 18);
    const QString in = write(u"in"_s, input);
    writeBytes(out, old);
    QString stateHome = m_stateHome.path();
    if (lockedFolder) {
        stateHome = path(u"state"_s);
        if (asNobody) {
            QVERIFY(::chown(QFile::encodeName(out).constData(), 65534, 65534) == 0);
            QVERIFY(::chown(QFile::encodeName(stateHome).constData(), 65534, 65534) == 0);
            QVERIFY(::chmod(QFile::encodeName(m_dir->path()).constData(), 0755) == 0);
        }
        QVERIFY(::chmod(QFile::encodeName(path(u"place"_s)).constData(), 0555) == 0);
    } else {
        QVERIFY(::link(QFile::encodeName(out).constData(),
                       QFile::encodeName(path(u"place/twin"_s)).constData()) == 0);
    }
    const QStringList entries = entriesOf(path(u"place"_s));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"XDG_STATE_HOME"_s, stateHome);
    const auto start = [&](QProcess &process, const QStringList &arguments) {
        process.setProcessEnvironment(environment);
        process.setChildProcessModifier([asNobody] {
            for (const int each : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
                std::signal(each, SIG_DFL);
            }
            if (asNobody &&
                (::setresgid(65534, 65534, 65534) != 0 || ::setresuid(65534, 65534, 65534) != 0)) {
                ::_exit(3);
            }
        });
        process.start(QStringLiteral(LORIMAND_CLI_PATH), arguments);
        return process.waitForStarted();
    };
    const QStringList encode{u"encode"_s, u"--key"_s, u"TarnVeli"_s, in, u"-o"_s, out};

    // How long a whole run takes, so that the kills fall anywhere within one.
    QElapsedTimer clock;
    clock.start();
    {
        QProcess whole;
        QVERIFY(start(whole, encode));
        QVERIFY(whole.waitForFinished(60000));
        QCOMPARE(whole.exitCode(), 0);
    }
    const auto runTime = static_cast<int>(clock.elapsed());
    QVERIFY(contentsOf(out) == expected);

    QRandomGenerator random(11);
    const int endings[] = {SIGTERM, SIGINT, SIGKILL};
    int ended[2] = {0, 0}; // old, new
    int begun = 0;         // ended old, killed once the in-place write had begun
    int restored = 0;
    const auto changed = [&] {
        struct stat info = {};
        ::stat(QFile::encodeName(out).constData(), &info);
        return info.st_ctim.tv_sec * 1000000000LL + info.st_ctim.tv_nsec;
    };
    const int rounds = 30;
    for (int round = 0; round < rounds; ++round) {
        writeBytes(out, old);
        const qint64 written = changed();
        const int signal = endings[round % 3];
        QProcess process;
        QVERIFY(start(process, encode));
        // The first part of a run only reads the input; the file is written after it.
        QTest::qSleep(static_cast<int>(random.bounded(runTime / 4, runTime + runTime / 10 + 1)));
        ::kill(static_cast<pid_t>(process.processId()), signal);
        QVERIFY(process.waitForFinished(60000));
        if (signal == SIGKILL) {
            // The next run that reads the file rolls back what the kill left.
            QProcess next;
            QVERIFY(start(next,
                          {u"encode"_s, u"--key"_s, u"TarnVeli"_s, out, u"-o"_s, u"/dev/null"_s}));
            QVERIFY(next.waitForFinished(60000));
            QCOMPARE(next.exitCode(), 0);
            restored += next.readAllStandardError().contains("restored from the journal") ? 1 : 0;
        }
        const QByteArray now = contentsOf(out);
        QVERIFY2(now == old || now == expected,
                 qPrintable(u"round %1, %2: %3 bytes, neither old nor new"_s.arg(round).arg(
                     QString::fromLatin1(sigabbrev_np(signal)), QString::number(now.size()))));
        ++ended[now == old ? 0 : 1];
        begun += now == old && changed() != written ? 1 : 0;
        QCOMPARE(entriesOf(path(u"place"_s)), entries);
        QCOMPARE(entriesOf(stateHome + u"/lorimand"_s), QStringList{});
    }
    qInfo("%d rounds in %lld ms (a whole run %d ms): %d ended new, %d old, %d of them killed "
          "once the in-place write had begun; %d of %d SIGKILL rounds restored by the next run",
          rounds, clock.elapsed(), runTime, ended[1], ended[0], begun, restored, rounds / 3);
    ::chmod(QFile::encodeName(path(u"place"_s)).constData(), 0755);
    ::chmod(QFile::encodeName(m_dir->path()).constData(), 0700);
}

// --table finds a table by its name as the window does, the user's before the
// program's, from an installed copy (bin/ beside share/lorimand/); a path, or a
// file in the working folder, is used as it stands.
void TestCli::tableByName_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QStringList>("tables"); // where a table swapping a and the letter is
    QTest::addColumn<bool>("xdgDataHome");
    QTest::addColumn<QByteArray>("encoded"); // of "abc"; empty for a missing table
    const QString installed = u"prefix/share/lorimand/T.sbt=x"_s;
    const QString user = u"data/lorimand/T.sbt=y"_s;
    QTest::newRow("installed, by name") << u"T"_s << QStringList{installed} << true << "xbc"_ba;
    QTest::newRow("installed, with .sbt")
        << u"T.sbt"_s << QStringList{installed} << true << "xbc"_ba;
    QTest::newRow("the user's before the program's")
        << u"T"_s << QStringList{installed, user} << true << "ybc"_ba;
    QTest::newRow("the user's under HOME")
        << u"T"_s << QStringList{installed, u"home/.local/share/lorimand/T.sbt=z"_s} << false
        << "zbc"_ba;
    QTest::newRow("a file in the working folder is that file")
        << u"T.sbt"_s << QStringList{installed, user, u"T.sbt=w"_s} << true << "wbc"_ba;
    QTest::newRow("a path is never a name")
        << u"./T.sbt"_s << QStringList{installed, user} << true << QByteArray();
    QTest::newRow("found nowhere")
        << u"U"_s << QStringList{installed, user} << true << QByteArray();
}

void TestCli::tableByName()
{
    QFETCH(QString, table);
    QFETCH(QStringList, tables);
    QFETCH(bool, xdgDataHome);
    QFETCH(QByteArray, encoded);
    QDir root(m_dir->path());
    QVERIFY(root.mkpath(u"prefix/bin"_s) && root.mkpath(u"prefix/share/lorimand"_s));
    QVERIFY(QFile::copy(QStringLiteral(LORIMAND_CLI_PATH), path(u"prefix/bin/lorimand-cli"_s)));
    QVERIFY(QFile::setPermissions(path(u"prefix/bin/lorimand-cli"_s),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    write(u"prefix/share/lorimand/Readme.txt"_s, "help");
    for (const QString &place : tables) {
        const QString file = place.section(u'=', 0, 0);
        const QByteArray letter = place.section(u'=', 1).toLatin1();
        QVERIFY(root.mkpath(QFileInfo(path(file)).path()));
        write(file, "97=" + QByteArray::number(letter[0]) + "\r\n");
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"HOME"_s, path(u"home"_s));
    if (xdgDataHome) {
        environment.insert(u"XDG_DATA_HOME"_s, path(u"data"_s));
    } else {
        environment.remove(u"XDG_DATA_HOME"_s);
    }
    const QString in = write(u"in"_s, "abc");

    QProcess process;
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(m_dir->path());
    process.start(path(u"prefix/bin/lorimand-cli"_s), {u"encode"_s, u"--table"_s, table, in});
    QVERIFY(process.waitForFinished(60000));
    const QByteArray err = process.readAllStandardError();
    if (encoded.isEmpty()) {
        QCOMPARE(process.exitCode(), 1);
        QVERIFY2(err.startsWith("lorimand-cli: " + table.toUtf8() + ": "), err);
        return;
    }
    QVERIFY2(process.exitCode() == 0, err);
    QCOMPARE(process.readAllStandardOutput(), encoded);
}

void TestCli::helpAndVersion_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("help");
    QTest::newRow("--help") << QStringList{u"--help"_s} << true;
    QTest::newRow("--help among other arguments")
        << QStringList{u"encode"_s, u"--key"_s, u"k"_s, u"--help"_s} << true;
    QTest::newRow("--version") << QStringList{u"--version"_s} << false;
}

void TestCli::helpAndVersion()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, help);
    write(u"k"_s, "TarnVeli");
    const Run result = run(arguments);
    QCOMPARE(result.exitCode, 0);
    QVERIFY(result.err.isEmpty());
    if (!help) {
        QCOMPARE(result.out,
                 QByteArray::fromStdString(lorimand::about::versionText("lorimand-cli")));
        QVERIFY(result.out.contains("MIT"));
        return;
    }
    // The usage first, and every line, the usage's too, fits a terminal of 80 columns.
    QVERIFY(result.out.endsWith('\n'));
    const QList<QByteArray> lines = result.out.chopped(1).split('\n');
    QVERIFY2(lines.front().startsWith("Usage: lorimand-cli encode|decode "), lines.front());
    QVERIFY2(lines[1].trimmed().startsWith("[INPUT|-] [-o OUTPUT]"), lines[1]);
    QVERIFY2(lines[2].startsWith("       lorimand-cli find-key "), lines[2]);
    for (const QByteArray &line : lines) {
        QVERIFY2(!line.endsWith(' ') && !line.endsWith('\t'), line);
        QVERIFY2(line.size() <= 80, line);
    }
    for (const char *option :
         {"--key TEXT", "--key-file FILE", "--table TABLE", "--output", "--version", "find-key",
          "--top N", "--tables [FOLDER]", "Exit status"}) {
        QVERIFY2(result.out.contains(option), option);
    }
}

// A reader that stops reading ends the run as it ends cat: by SIGPIPE, no message.
void TestCli::closedPipeEndsQuietly()
{
    write(u"in"_s, QByteArray(8 * 1024 * 1024, 'a'));
    QProcess shell;
    shell.setWorkingDirectory(m_dir->path());
    shell.start(u"bash"_s, {u"-c"_s,
                            "\"$0\" encode --key TarnVeli in 2>err | head -c 10 >/dev/null; "
                            u"echo ${PIPESTATUS[0]}"_s,
                            QStringLiteral(LORIMAND_CLI_PATH)});
    QVERIFY(shell.waitForFinished(60000));
    const QByteArray status = shell.readAllStandardOutput().trimmed();
    QVERIFY2(status == "141" || status == "0", status);
    QCOMPARE(read(u"err"_s), QByteArray());
}

void TestCli::findKeyGivesAKeyThatDecodes_data()
{
    QTest::addColumn<QByteArray>("plain"); // UTF-8 unless said
    QTest::addColumn<QString>("key");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("via"); // "file", "stdin" or "dash"
    QTest::addColumn<int>("lines");

    const QByteArray letter = "Dear Anna, the garden looks lovely this spring. Love, Tom\n";
    QTest::newRow("English, a file, the first five")
        << letter << u"TarnVeli"_s << QStringList() << u"file"_s << 5;
    QTest::newRow("German in UTF-8, standard input, --top 2")
        << QByteArray("Schöne Grüße aus München, wir sehen uns übermorgen.") << u"Kl\u00e4ger"_s
        << QStringList{u"--top"_s, u"2"_s} << u"stdin"_s << 2;
    QTest::newRow("French in Windows-1252, -, --top=1")
        << QByteArray("Le th\xE9 est pr\xEAt, viens vite avant qu'il refroidisse.") << u"\u00ffz"_s
        << QStringList{u"--top=1"_s} << u"dash"_s << 1;
    QTest::newRow("more than there are shifts")
        << letter << u"x"_s << QStringList{u"--top"_s, u"1000"_s} << u"file"_s << 255;
}

// The best line's key, typed back into decode, gives the plain text back; the
// fields are a shift, its key, scores best first and the decoding's start.
void TestCli::findKeyGivesAKeyThatDecodes()
{
    QFETCH(QByteArray, plain);
    QFETCH(QString, key);
    QFETCH(QStringList, options);
    QFETCH(QString, via);
    QFETCH(int, lines);
    write(u"plain"_s, plain);
    const Run encoded = run({u"encode"_s, u"--key"_s, key, u"plain"_s, u"-o"_s, u"encoded"_s});
    QCOMPARE(encoded.exitCode, 0);

    QStringList arguments = QStringList{u"find-key"_s} + options;
    if (via == u"file"_s) {
        arguments.append(u"encoded"_s);
    } else if (via == u"dash"_s) {
        arguments.append(u"-"_s);
    }
    const Run found = run(arguments, via == u"file"_s ? QByteArray() : read(u"encoded"_s));
    QCOMPARE(found.err, QByteArray());
    QCOMPARE(found.exitCode, 0);
    const QList<QList<QByteArray>> candidates = candidateLines(found.out);
    QCOMPARE(candidates.size(), lines);
    QSet<int> shifts;
    for (qsizetype i = 0; i < candidates.size(); ++i) {
        QCOMPARE(candidates[i].size(), 4);
        const int shift = candidates[i][0].toInt();
        QVERIFY(shift >= 1 && shift <= 255);
        shifts.insert(shift);
        QVERIFY(!candidates[i][1].isEmpty());
        if (i > 0) {
            QVERIFY(candidates[i][2].toDouble() <= candidates[i - 1][2].toDouble());
        }
    }
    QCOMPARE(shifts.size(), lines);

    const Run decoded =
        run({u"decode"_s, u"--key"_s, QString::fromUtf8(candidates[0][1]), u"encoded"_s});
    QCOMPARE(decoded.exitCode, 0);
    QCOMPARE(decoded.out, plain);
    // The preview is the decoding's start, as UTF-8 whichever set the text is in.
    const QByteArray shown = plain.isValidUtf8() ? plain : QString::fromLatin1(plain).toUtf8();
    QVERIFY(shown.startsWith(candidates[0][3]));
    QCOMPARE(QString::fromUtf8(candidates[0][3]).size(), 40);
}

// Control codes, tab and line ends show as control pictures, so that a preview
// stays on its line and in its field.
void TestCli::findKeyShowsControlCodesInThePreview()
{
    const QByteArray plain = "Line one\r\nLine\ttwo\x01, and a third line of the text";
    const Run found = run({u"find-key"_s, u"--top"_s, u"1"_s}, shifted(plain, 100));
    QCOMPARE(found.exitCode, 0);
    const QList<QList<QByteArray>> candidates = candidateLines(found.out);
    QCOMPARE(candidates.size(), 1);
    QCOMPARE(candidates[0][0], QByteArray("100"));
    QCOMPARE(QString::fromUtf8(candidates[0][3]),
             u"Line one\u240D\u240ALine\u2409two\u2401, and a third line of"_s);
}

// A text too short to tell still gets its candidates, with exit 3 and a line
// that says why.
void TestCli::findKeyWithoutAClearWinnerExitsThree()
{
    const Run found = run({u"find-key"_s}, shifted("ok", 30));
    QCOMPARE(found.exitCode, 3);
    QCOMPARE(candidateLines(found.out).size(), 5);
    QCOMPARE(found.err, QByteArray("lorimand-cli: no candidate is clearly ahead: the text may be "
                                   "too short, or not encoded this way\n"));
}

void TestCli::findKeyRanksCodeTables_data()
{
    QTest::addColumn<QStringList>("arguments"); // TABLES: the folder of tables
    QTest::addColumn<QByteArray>("direction");  // the direction that decodes

    QTest::newRow("--tables FOLDER, a table's encode side undone")
        << QStringList{u"find-key"_s, u"--tables"_s, u"TABLES"_s, u"in"_s} << QByteArray("decode");
    QTest::newRow("--tables=FOLDER after INPUT")
        << QStringList{u"find-key"_s, u"in"_s, u"--tables=TABLES"_s} << QByteArray("decode");
    QTest::newRow("--tables before INPUT, which is no folder")
        << QStringList{u"find-key"_s, u"--tables"_s, u"in"_s} << QByteArray("decode");
    QTest::newRow("a text made with the table's decode side")
        << QStringList{u"find-key"_s, u"--tables"_s, u"TABLES"_s, u"in"_s} << QByteArray("encode");
}

// The tables of a folder, or the user's (XDG_DATA_HOME) beside the program's, and
// both directions: the table and direction that decode the text come first.
void TestCli::findKeyRanksCodeTables()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, direction);
    const QByteArray plain = "Please water the tomatoes on Sunday, they dry out fast.\n";
    const bool decodes = direction == "decode";
    QByteArray encoded = rotated(plain);
    if (!decodes) {
        // Through the table's decode side: the rotation undone, code by code.
        QByteArray codes(256, '\0');
        for (int c = 0; c < 256; ++c) {
            codes[c] = static_cast<char>(c);
        }
        const QByteArray images = rotated(codes);
        for (qsizetype i = 0; i < plain.size(); ++i) {
            encoded[i] = static_cast<char>(images.indexOf(plain[i]));
        }
        QCOMPARE(rotated(encoded), plain);
    }
    write(u"in"_s, encoded);
    const QString tables = path(u"tables"_s);
    QVERIFY(QDir().mkpath(tables + u"/lorimand"_s));
    writeBytes(tables + u"/rotation.sbt"_s, rotationTable());
    writeBytes(tables + u"/lorimand/rotation.sbt"_s, rotationTable());
    writeBytes(tables + u"/swap.sbt"_s, "97=98\n98=97\n");
    writeBytes(tables + u"/lorimand/swap.sbt"_s, "97=98\n98=97\n");
    for (QString &argument : arguments) {
        argument.replace(u"TABLES"_s, tables);
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"XDG_DATA_HOME"_s, tables);
    // All of them.
    const Run found = run(arguments + QStringList{u"--top=100"_s}, {}, 0, environment);
    QCOMPARE(found.err, QByteArray());
    QCOMPARE(found.exitCode, 0);
    const QList<QList<QByteArray>> candidates = candidateLines(found.out);
    // swap's two sides are the same, so it is listed once; without FOLDER the
    // tables beside the program come too.
    const bool ownFolder = arguments.join(u' ').contains(tables);
    QVERIFY(ownFolder ? candidates.size() == 3 : candidates.size() >= 3);
    QCOMPARE(std::count_if(candidates.begin(), candidates.end(),
                           [](const QList<QByteArray> &line) { return line[0] == "swap"; }),
             1);
    QCOMPARE(candidates[0][0], QByteArray("rotation"));
    QCOMPARE(candidates[0][1], direction);
    QVERIFY(plain.startsWith(candidates[0][3]));
}

void TestCli::findKeyEscapesTableNames_data()
{
    QTest::addColumn<QString>("name"); // of the table, without ".sbt"
    QTest::addColumn<QByteArray>("shown");
    QTest::newRow("ESC and BEL") << u"a\x1b[2Jb\x07"_s << "a\\x1B[2Jb\\x07"_ba;
    QTest::newRow("a line break") << u"one\ntwo"_s << "one\\ntwo"_ba;
    QTest::newRow("a tab and a CR") << u"t\tab\r"_s << "t\\tab\\r"_ba;
    QTest::newRow("a backslash") << u"back\\slash"_s << "back\\\\slash"_ba;
    QTest::newRow("an ordinary name, UTF-8") << u"K\u00f6ln"_s << "K\xc3\xb6ln"_ba;
}

// A table's name is printed as an echoed argument is, so that no name can drive
// the terminal or break a line's four tab-separated fields.
void TestCli::findKeyEscapesTableNames()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, shown);
    const QByteArray plain = "Please water the tomatoes on Sunday, they dry out fast.\n";
    write(u"in"_s, rotated(plain));
    const QString tables = path(u"tables"_s);
    QVERIFY(QDir().mkpath(tables));
    writeBytes(tables + u'/' + name + u".sbt"_s, rotationTable());
    const Run found = run({u"find-key"_s, u"--top=1"_s, u"--tables"_s, tables, u"in"_s});
    QCOMPARE(found.err, QByteArray());
    QCOMPARE(found.exitCode, 0);
    for (const char c : found.out) {
        QVERIFY2(c == '\n' || c == '\t' || static_cast<unsigned char>(c) >= 0x20,
                 found.out.toPercentEncoding().constData());
    }
    const QList<QList<QByteArray>> candidates = candidateLines(found.out);
    QCOMPARE(candidates.size(), 1);
    QCOMPARE(candidates[0].size(), 4);
    QCOMPARE(candidates[0][0], shown);
    QCOMPARE(candidates[0][1], QByteArray("decode"));
}

void TestCli::findKeyUsageErrors_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("message");

    QTest::newRow("--top 0") << QStringList{u"find-key"_s, u"--top"_s, u"0"_s, u"in"_s}
                             << QByteArray("--top \"0\": give a whole number from 1");
    QTest::newRow("--top in words") << QStringList{u"find-key"_s, u"--top=five"_s, u"in"_s}
                                    << QByteArray("--top \"five\": give a whole number from 1");
    QTest::newRow("--top negative") << QStringList{u"find-key"_s, u"--top=-3"_s, u"in"_s}
                                    << QByteArray("--top \"-3\": give a whole number from 1");
    QTest::newRow("--top twice") << QStringList{u"find-key"_s, u"--top"_s, u"1"_s,
                                                u"--top"_s,    u"2"_s,     u"in"_s}
                                 << QByteArray("--top is given more than once");
    QTest::newRow("--top without its value")
        << QStringList{u"find-key"_s, u"in"_s, u"--top"_s} << QByteArray("--top needs a value");
    QTest::newRow("--tables twice")
        << QStringList{u"find-key"_s, u"--tables"_s, u"--tables"_s, u"in"_s}
        << QByteArray("--tables is given more than once");
    QTest::newRow("--tables= empty") << QStringList{u"find-key"_s, u"--tables="_s, u"in"_s}
                                     << QByteArray("FOLDER (--tables=) is empty: name a folder, "
                                                   "or leave out \"=\" for the program's code "
                                                   "tables");
    QTest::newRow("a key") << QStringList{u"find-key"_s, u"--key"_s, u"k"_s, u"in"_s}
                           << QByteArray("find-key takes no --key: it prints the keys it finds "
                                         "for INPUT");
    QTest::newRow("a table") << QStringList{u"find-key"_s, u"--table"_s, u"TABLE"_s, u"in"_s}
                             << QByteArray("find-key takes no --table: it prints the keys it "
                                           "finds for INPUT");
    QTest::newRow("an output") << QStringList{u"find-key"_s, u"in"_s, u"-o"_s, u"out"_s}
                               << QByteArray("find-key takes no --output: it prints the keys it "
                                             "finds for INPUT");
    QTest::newRow("--top with decode")
        << QStringList{u"decode"_s, u"--key"_s, u"k"_s, u"--top"_s, u"3"_s, u"in"_s}
        << QByteArray("--top goes with find-key only");
    QTest::newRow("--tables with encode")
        << QStringList{u"encode"_s, u"--tables"_s, u"--key"_s, u"k"_s, u"in"_s}
        << QByteArray("--tables goes with find-key only");
    QTest::newRow("two inputs") << QStringList{u"find-key"_s, u"in"_s, u"in"_s}
                                << QByteArray("unexpected argument \"in\": only one INPUT is read");

    // new-table and check-table share find-key's way of refusing what they take not.
    const QByteArray kinds = "give shuffle-letters, shuffle-all, shift, reverse or keyword";
    QTest::newRow("new-table without a kind")
        << QStringList{u"new-table"_s}
        << "new-table needs a KIND: shuffle-letters, shuffle-all, "
           "shift, reverse or keyword"_ba;
    QTest::newRow("new-table of an unknown kind")
        << QStringList{u"new-table"_s, u"rot13"_s} << "unknown KIND \"rot13\": " + kinds;
    QTest::newRow("--shift 0") << QStringList{u"new-table"_s, u"shift"_s, u"--shift"_s, u"0"_s}
                               << "--shift \"0\": give a whole number from 1 to 25"_ba;
    QTest::newRow("--shift 26") << QStringList{u"new-table"_s, u"shift"_s, u"--shift=26"_s}
                                << "--shift \"26\": give a whole number from 1 to 25"_ba;
    QTest::newRow("--shift in words") << QStringList{u"new-table"_s, u"shift"_s, u"--shift=three"_s}
                                      << "--shift \"three\": give a whole number from 1 to 25"_ba;
    QTest::newRow("--shift with another kind")
        << QStringList{u"new-table"_s, u"reverse"_s, u"--shift=3"_s}
        << "--shift goes with the kind shift only"_ba;
    QTest::newRow("--shift with encode")
        << QStringList{u"encode"_s, u"--key"_s, u"k"_s, u"--shift=3"_s, u"in"_s}
        << "--shift goes with new-table only"_ba;
    QTest::newRow("keyword without --keyword")
        << QStringList{u"new-table"_s, u"keyword"_s} << "the kind keyword needs --keyword WORD"_ba;
    QTest::newRow("--keyword with another kind")
        << QStringList{u"new-table"_s, u"shuffle-letters"_s, u"--keyword=abc"_s}
        << "--keyword goes with the kind keyword only"_ba;
    QTest::newRow("--keyword of two words")
        << QStringList{u"new-table"_s, u"keyword"_s, u"--keyword"_s, u"two words"_s}
        << "--keyword \"two words\": the keyword may hold only the letters a to z"_ba;
    QTest::newRow("--keyword empty") << QStringList{u"new-table"_s, u"keyword"_s, u"--keyword="_s}
                                     << "--keyword needs a value"_ba;
    QTest::newRow("new-table with a key")
        << QStringList{u"new-table"_s, u"reverse"_s, u"--key"_s, u"k"_s}
        << "new-table takes no --key"_ba;
    QTest::newRow("check-table without a table")
        << QStringList{u"check-table"_s} << "check-table needs the TABLE to check"_ba;
    QTest::newRow("check-table of standard input")
        << QStringList{u"check-table"_s, u"-"_s} << "check-table needs the TABLE to check"_ba;
    QTest::newRow("check-table with an output")
        << QStringList{u"check-table"_s, u"TABLE"_s, u"-o"_s, u"out"_s}
        << "check-table takes no -o: it prints what it finds"_ba;
    QTest::newRow("check-table with --top")
        << QStringList{u"check-table"_s, u"TABLE"_s, u"--top=2"_s}
        << "check-table takes no --top"_ba;
}

void TestCli::findKeyUsageErrors()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, message);
    write(u"in"_s, "some text");
    const QStringList before = entriesOf(m_dir->path());
    const Run result = run(withFiles(arguments));
    QCOMPARE(result.exitCode, 2);
    QCOMPARE(result.err, "lorimand-cli: " + message + " (run lorimand-cli --help for the usage)\n");
    QVERIFY(result.out.isEmpty());
    QCOMPARE(entriesOf(m_dir->path()), before);
}

void TestCli::findKeyFileErrors_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("message"); // DIR: the test's folder

    QTest::newRow("missing INPUT")
        << QStringList{u"find-key"_s, u"missing"_s} << QByteArray("lorimand-cli: missing: ");
    QTest::newRow("a folder without tables")
        << QStringList{u"find-key"_s, u"--tables"_s, u"empty"_s, u"in"_s}
        << QByteArray("lorimand-cli: empty: no code tables (.sbt files) to rank\n");
    QTest::newRow("a table that does not load is left out, none left")
        << QStringList{u"find-key"_s, u"--tables"_s, u"bad"_s, u"in"_s}
        << QByteArray("lorimand-cli: warning: bad/broken.sbt: ");
}

void TestCli::findKeyFileErrors()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, message);
    write(u"in"_s, "some text");
    QVERIFY(QDir(m_dir->path()).mkdir(u"empty"_s));
    QVERIFY(QDir(m_dir->path()).mkdir(u"bad"_s));
    write(u"bad/broken.sbt"_s, "97=300\n");
    const Run result = run(arguments);
    QCOMPARE(result.exitCode, 1);
    QVERIFY2(result.err.startsWith(message), result.err);
    QVERIFY(result.out.isEmpty());
}

// Each kind, to a file or to standard output, gives a table that check-table
// passes in silence and that decodes what it encodes.
void TestCli::newTableMakesATableThatDecodes_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("firstLine");
    QTest::addColumn<bool>("toFile");
    QTest::newRow("shuffle-letters") << QStringList{u"shuffle-letters"_s}
                                     << "Lorimand code table: the letters a to z"_ba << true;
    QTest::newRow("shuffle-all") << QStringList{u"shuffle-all"_s}
                                 << "Lorimand code table: every printable character"_ba << true;
    QTest::newRow("shift, 13 when not given")
        << QStringList{u"shift"_s} << "Lorimand code table: each letter moves 13 places"_ba << true;
    QTest::newRow("shift 5") << QStringList{u"shift"_s, u"--shift"_s, u"5"_s}
                             << "Lorimand code table: each letter moves 5 places"_ba << false;
    QTest::newRow("reverse") << QStringList{u"reverse"_s}
                             << "Lorimand code table: the alphabet reversed"_ba << false;
    QTest::newRow("keyword") << QStringList{u"keyword"_s, u"--keyword=Kangaroo"_s}
                             << "Lorimand code table: the keyword alphabet of kangaroo"_ba << true;
}

void TestCli::newTableMakesATableThatDecodes()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, firstLine);
    QFETCH(bool, toFile);
    const QStringList output = toFile ? QStringList{u"-o"_s, u"mine.sbt"_s} : QStringList();
    const Run made = run(QStringList{u"new-table"_s} + arguments + output);
    QCOMPARE(made.err, QByteArray());
    QCOMPARE(made.exitCode, 0);
    if (toFile) {
        QVERIFY(made.out.isEmpty());
    } else {
        write(u"mine.sbt"_s, made.out);
    }
    const QByteArray table = read(u"mine.sbt"_s);
    QVERIFY2(table.startsWith(firstLine), table.constData());
    QVERIFY(table.endsWith("\r\n"));
    QCOMPARE(table.count('\n'), table.count("\r\n"));

    const Run check = run({u"check-table"_s, u"mine.sbt"_s});
    QCOMPARE(check.exitCode, 0);
    QCOMPARE(check.out + check.err, QByteArray());

    QByteArray plain = "The Quick Brown Fox, 12 Jumps!\tover the lazy dog.\r\n";
    for (int c = 128; c < 256; ++c) {
        plain += static_cast<char>(c);
    }
    const Run encoded = run({u"encode"_s, u"--table"_s, u"mine.sbt"_s}, plain);
    QCOMPARE(encoded.exitCode, 0);
    QVERIFY(encoded.out != plain);
    const Run decoded = run({u"decode"_s, u"--table"_s, u"mine.sbt"_s}, encoded.out);
    QCOMPARE(decoded.exitCode, 0);
    QCOMPARE(decoded.out, plain);
}

void TestCli::newTableFileErrors()
{
    // A missing folder is named, and a table written over keeps nothing half-made.
    const Run missing = run({u"new-table"_s, u"reverse"_s, u"-o"_s, u"nowhere/t.sbt"_s});
    QCOMPARE(missing.exitCode, 1);
    QVERIFY2(missing.err.startsWith("lorimand-cli: nowhere/t.sbt: "), missing.err);
    QVERIFY(!QFileInfo::exists(path(u"nowhere"_s)));

    write(u"old.sbt"_s, "97=98\r\n98=97\r\n");
    const Run full = run({u"new-table"_s, u"shuffle-all"_s, u"-o"_s, u"old.sbt"_s}, {}, 100);
    QCOMPARE(full.exitCode, 1);
    QVERIFY2(full.err.startsWith("lorimand-cli: old.sbt: "), full.err);
    QCOMPARE(read(u"old.sbt"_s), QByteArray("97=98\r\n98=97\r\n"));
}

void TestCli::checkTable_data()
{
    QTest::addColumn<QByteArray>("table");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("out");
    QTest::addColumn<QByteArray>("err");
    QTest::newRow("a swap") << "97=98\r\n98=97\r\n"_ba << 0 << QByteArray() << QByteArray();
    QTest::newRow("onto a code left as it is")
        << "49=50\r\n"_ba << 3 << "Decoding cannot tell 1 from 2: both encode as 2\n"_ba
        << QByteArray();
    QTest::newRow("two clashes, in the order of the code they encode as")
        << "98=120\n97=120\n120=97\n"_ba << 3
        << "Decoding cannot tell A from B: both encode as X\n"
           "Decoding cannot tell a from b: both encode as x\n"_ba
        << QByteArray();
    QTest::newRow("a line feed swapped with a code that would follow a CR as LF")
        << "10=164\r\n164=10\r\n"_ba << 3
        << "After a CR, \xc2\xa4 encodes as code 10, which decodes as code 10\n"_ba << QByteArray();
    QTest::newRow("a line that does not read")
        << "97=98\n98=300\n"_ba << 2 << QByteArray()
        << "lorimand-cli: DIR/t.sbt: line 2: the code after \"=\" is 300, not a whole number "
           "from 0 to 255\n"_ba;
}

void TestCli::checkTable()
{
    QFETCH(QByteArray, table);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, out);
    QFETCH(QByteArray, err);
    write(u"t.sbt"_s, table);
    const Run result = run({u"check-table"_s, path(u"t.sbt"_s)});
    QCOMPARE(result.exitCode, exitCode);
    QCOMPARE(result.out, out);
    QCOMPARE(result.err, err.replace("DIR", m_dir->path().toUtf8()));
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"

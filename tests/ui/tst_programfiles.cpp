// Where the help, the code tables and the settings are found, for a build tree,
// an installed copy and a copy without its files, with and without the user's
// own tables.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "bytes.h"
#include "engine/files.h"
#include "scriptedplatform.h"
#include "ui/language.h"
#include "ui/programfiles.h"

using namespace Qt::StringLiterals;

using namespace lorimand;
using lorimand::test::pathOf;

namespace {

// Creates each file (a path relative to root), with its folders; a path ending
// in "/" is made a folder.
void makeFiles(const QString &root, const QStringList &files)
{
    for (const QString &file : files) {
        const QString path = root + u'/' + file;
        if (path.endsWith(u'/')) {
            QVERIFY(QDir().mkpath(path));
            continue;
        }
        QVERIFY(QDir().mkpath(QFileInfo(path).path()));
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(file.toUtf8());
    }
}

QStringList shownNames(const std::vector<std::string> &names)
{
    QStringList shown;
    for (const std::string &name : names) {
        shown.append(shownTableName(name));
    }
    return shown;
}

} // namespace

class TestProgramFiles : public QObject
{
    Q_OBJECT

private slots:
    void findsItsFiles_data();
    void findsItsFiles();
    void helpInTheWindowsLanguage_data();
    void helpInTheWindowsLanguage();
    void userTablesWinOnNameClash();
    void tableNamesAreBytes();
    void rememberedTable_data();
    void rememberedTable();
};

void TestProgramFiles::findsItsFiles_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("dataFolder"); // relative to the scratch root
    QTest::addColumn<bool>("installed");
    QTest::addColumn<QStringList>("tables");

    QTest::newRow("build tree: everything beside the program")
        << QStringList{u"bin/Readme.txt"_s, u"bin/ROT13.sbt"_s, u"bin/Digits.sbt"_s,
                       u"share/lorimand/Readme.txt"_s, u"share/lorimand/Other.sbt"_s}
        << "bin" << false << QStringList{u"Digits"_s, u"ROT13"_s};
    QTest::newRow("installed: help and tables in share/lorimand")
        << QStringList{u"bin/Stray.sbt"_s, u"share/lorimand/Readme.txt"_s,
                       u"share/lorimand/ROT13.sbt"_s, u"share/lorimand/Digits.sbt"_s}
        << "share/lorimand" << true << QStringList{u"Digits"_s, u"ROT13"_s};
    QTest::newRow("installed with the user's tables, merged and sorted")
        << QStringList{u"share/lorimand/Readme.txt"_s,
                       u"share/lorimand/ROT13.sbt"_s,
                       u"user/Mine.sbt"_s,
                       u"user/ROT13.sbt"_s,
                       u"user/notes.txt"_s,
                       u"user/Zed.sbt"_s}
        << "share/lorimand" << true << QStringList{u"Mine"_s, u"ROT13"_s, u"Zed"_s};
    QTest::newRow("a data folder without help is not taken")
        << QStringList{u"bin/ROT13.sbt"_s, u"share/lorimand/Digits.sbt"_s} << u"bin"_s << false
        << QStringList{u"ROT13"_s};
    QTest::newRow("names with dots, listed whole")
        << QStringList{u"bin/Readme.txt"_s, u"bin/A.v2.sbt"_s, u"bin/A.sbt"_s, u"bin/B.sbt.sbt"_s,
                       u"bin/notes.sbt.txt"_s}
        << "bin" << false << QStringList{u"A"_s, u"A.v2"_s, u"B.sbt"_s};
    QTest::newRow("nothing anywhere")
        << QStringList{u"bin/lorimand"_s} << u"bin"_s << false << QStringList{};
}

void TestProgramFiles::findsItsFiles()
{
    QFETCH(QStringList, files);
    QFETCH(QString, dataFolder);
    QFETCH(bool, installed);
    QFETCH(QStringList, tables);

    QTemporaryDir root;
    QVERIFY(root.isValid());
    makeFiles(root.path(), files);
    test::ScriptedPlatform platform(root.filePath(u"bin"_s));
    platform.userTables = root.filePath(u"user"_s);
    platform.userConfig = root.filePath(u"config/Lorimand"_s);
    const ProgramFiles programFiles(platform, realFileSystem());

    QCOMPARE(programFiles.dataFolder(), root.filePath(dataFolder));
    QCOMPARE(programFiles.installed(), installed);
    QCOMPARE(programFiles.helpFile(), root.filePath(dataFolder + u"/Readme.txt"_s));
    QCOMPARE(shownNames(programFiles.codeTableNames()), tables);
    QCOMPARE(programFiles.settingsFolder(),
             installed ? root.filePath(u"config/Lorimand"_s) : root.filePath(u"bin"_s));
    // The settings of an installed copy need their folder to exist.
    QCOMPARE(QFileInfo(root.filePath(u"config/Lorimand"_s)).isDir(), installed);
}

void TestProgramFiles::helpInTheWindowsLanguage_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("help"); // relative to the scratch root

    QTest::newRow("German, beside the program")
        << u"de"_s << QStringList{u"bin/Readme.txt"_s, u"bin/Readme.de.txt"_s}
        << u"bin/Readme.de.txt"_s;
    QTest::newRow("Spanish, installed")
        << u"es"_s
        << QStringList{u"share/lorimand/Readme.txt"_s, u"share/lorimand/Readme.es.txt"_s,
                       u"share/lorimand/Readme.de.txt"_s}
        << u"share/lorimand/Readme.es.txt"_s;
    QTest::newRow("French without its help: the English one")
        << u"fr"_s << QStringList{u"bin/Readme.txt"_s, u"bin/Readme.de.txt"_s}
        << u"bin/Readme.txt"_s;
    QTest::newRow("English beside translated helps")
        << u"en"_s << QStringList{u"bin/Readme.txt"_s, u"bin/Readme.de.txt"_s}
        << u"bin/Readme.txt"_s;
    QTest::newRow("a folder in the help's place is not taken")
        << u"de"_s << QStringList{u"bin/Readme.txt"_s, u"bin/Readme.de.txt/"_s}
        << u"bin/Readme.txt"_s;
}

void TestProgramFiles::helpInTheWindowsLanguage()
{
    QFETCH(QString, language);
    QFETCH(QStringList, files);
    QFETCH(QString, help);

    const Translations translations(language);
    QVERIFY(translations.loaded());
    QTemporaryDir root;
    QVERIFY(root.isValid());
    makeFiles(root.path(), files);
    const test::ScriptedPlatform platform(root.filePath(u"bin"_s));
    QCOMPARE(ProgramFiles(platform, realFileSystem()).helpFile(), root.filePath(help));
}

void TestProgramFiles::userTablesWinOnNameClash()
{
    QTemporaryDir root;
    QVERIFY(root.isValid());
    makeFiles(root.path(),
              {u"share/lorimand/Readme.txt"_s, u"share/lorimand/ROT13.sbt"_s,
               u"share/lorimand/Digits.sbt"_s, u"user/ROT13.sbt"_s, u"user/rot13.sbt"_s});
    test::ScriptedPlatform platform(root.filePath(u"bin"_s));
    platform.userTables = root.filePath(u"user"_s);
    const ProgramFiles programFiles(platform, realFileSystem());

    QCOMPARE(programFiles.codeTableFile("ROT13"), pathOf(root.filePath(u"user/ROT13.sbt"_s)));
    QCOMPARE(programFiles.codeTableFile("rot13"), pathOf(root.filePath(u"user/rot13.sbt"_s)));
    QCOMPARE(programFiles.codeTableFile("Digits"),
             pathOf(root.filePath(u"share/lorimand/Digits.sbt"_s)));
    // A name found nowhere is looked for where the program's own tables are.
    QCOMPARE(programFiles.codeTableFile("Gone"),
             pathOf(root.filePath(u"share/lorimand/Gone.sbt"_s)));

    platform.userTables.clear();
    QCOMPARE(programFiles.codeTableFile("ROT13"),
             pathOf(root.filePath(u"share/lorimand/ROT13.sbt"_s)));
}

// A file name need not be valid UTF-8 nor hold only characters of the 8-bit set:
// the table is listed, and its name's own bytes find its file again.
void TestProgramFiles::tableNamesAreBytes()
{
    QTemporaryDir root;
    QVERIFY(root.isValid());
    makeFiles(root.path(), {u"bin/Readme.txt"_s, u"bin/Alpha.sbt"_s});
    const std::string folder = pathOf(root.filePath(u"bin"_s));
    const std::vector<std::string> names = {"Caf\xE9\xFF", "\xCE\xA9mega \xE4\xB8\xAD",
                                            "Line\rBreak"};
    const auto fileOf = [&folder](const std::string &name) {
        std::string file = folder;
        file.append("/").append(name).append(".sbt");
        return file;
    };
    for (const std::string &name : names) {
        QVERIFY(!realFileSystem().writeFile(fileOf(name), "97=100\r\n"));
    }
    test::ScriptedPlatform platform(root.filePath(u"bin"_s));
    const ProgramFiles programFiles(platform, realFileSystem());

    const std::vector<std::string> listed = programFiles.codeTableNames();
    QCOMPARE(listed.size(), std::size_t{4});
    for (const std::string &name : names) {
        QVERIFY2(std::find(listed.begin(), listed.end(), name) != listed.end(), name.c_str());
        const std::string file = programFiles.codeTableFile(name);
        QCOMPARE(file, fileOf(name));
        const ReadResult read = realFileSystem().readFile(file);
        QVERIFY(!read.error);
        QCOMPARE(read.bytes, std::string("97=100\r\n"));
    }
}

void TestProgramFiles::rememberedTable_data()
{
    QTest::addColumn<QList<QByteArray>>("entries");
    QTest::addColumn<QByteArray>("remembered");
    QTest::addColumn<int>("expected"); // -1: nothing to select
    const QByteArray cafe = "Caf\xC3\xA9";
    QTest::newRow("no entries") << QList<QByteArray>{} << QByteArray("Alpha") << -1;
    QTest::newRow("nothing remembered") << QList<QByteArray>{"Alpha", "Beta"} << QByteArray() << 0;
    QTest::newRow("unknown name") << QList<QByteArray>{"Alpha", "Beta"} << QByteArray("Gamma") << 0;
    QTest::newRow("any letter case")
        << QList<QByteArray>{"Alpha", "Caesar"} << QByteArray("CAESAR") << 1;
    QTest::newRow("exact bytes before letter case")
        << QList<QByteArray>{"caesar", "Caesar"} << QByteArray("Caesar") << 1;
    QTest::newRow("UTF-8 in any letter case")
        << QList<QByteArray>{"Alpha", cafe} << QByteArray("CAF\xC3\x89") << 1;
    QTest::newRow("Windows-1252, as the earlier program wrote it")
        << QList<QByteArray>{"Alpha", cafe} << QByteArray("CAF\xC9") << 1;
    QTest::newRow("bytes that are not UTF-8")
        << QList<QByteArray>{"Alpha", "\xFF\xFE"} << QByteArray("\xFF\xFE") << 1;
    QTest::newRow("other bytes that are not UTF-8 match nothing")
        << QList<QByteArray>{"Alpha", "\xFF\xFE"} << QByteArray("\xFF\xFD") << 0;
    // Names remembered up to their first dot, as earlier copies listed them.
    QTest::newRow("name up to the first dot, one table")
        << QList<QByteArray>{"Alpha", "B.v2", "Beta"} << QByteArray("B") << 1;
    QTest::newRow("name up to the first dot, two tables")
        << QList<QByteArray>{"Alpha", "B.v1", "B.v2"} << QByteArray("B") << 0;
    QTest::newRow("a name with dots is exact first")
        << QList<QByteArray>{"Alpha", "B.v1", "B.v1.x"} << QByteArray("B.v1") << 1;
    QTest::newRow("a name without the dot is no stem")
        << QList<QByteArray>{"Alpha", "Beta"} << QByteArray("B") << 0;
}

void TestProgramFiles::rememberedTable()
{
    QFETCH(QList<QByteArray>, entries);
    QFETCH(QByteArray, remembered);
    QFETCH(int, expected);
    std::vector<std::string> names;
    for (const QByteArray &entry : entries) {
        names.push_back(entry.toStdString());
    }
    const std::optional<std::size_t> index =
        lorimand::rememberedTable(names, remembered.toStdString());
    QCOMPARE(index ? static_cast<int>(*index) : -1, expected);
}

QTEST_GUILESS_MAIN(TestProgramFiles)
#include "tst_programfiles.moc"

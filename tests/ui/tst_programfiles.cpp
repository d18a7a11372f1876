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
#include "ui/programfiles.h"

using namespace lorimand;
using lorimand::test::pathOf;

namespace {

// Creates each file (a path relative to root), with its folders.
void makeFiles(const QString &root, const QStringList &files)
{
    for (const QString &file : files) {
        const QString path = root + u'/' + file;
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
        << QStringList{"bin/Readme.txt", "bin/ROT13.sbt", "bin/Digits.sbt",
                       "share/lorimand/Readme.txt", "share/lorimand/Other.sbt"}
        << "bin" << false << QStringList{"Digits", "ROT13"};
    QTest::newRow("installed: help and tables in share/lorimand")
        << QStringList{"bin/Stray.sbt", "share/lorimand/Readme.txt", "share/lorimand/ROT13.sbt",
                       "share/lorimand/Digits.sbt"}
        << "share/lorimand" << true << QStringList{"Digits", "ROT13"};
    QTest::newRow("installed with the user's tables, merged and sorted")
        << QStringList{"share/lorimand/Readme.txt",
                       "share/lorimand/ROT13.sbt",
                       "user/Mine.sbt",
                       "user/ROT13.sbt",
                       "user/notes.txt",
                       "user/Zed.sbt"}
        << "share/lorimand" << true << QStringList{"Mine", "ROT13", "Zed"};
    QTest::newRow("a data folder without help is not taken")
        << QStringList{"bin/ROT13.sbt", "share/lorimand/Digits.sbt"} << "bin" << false
        << QStringList{"ROT13"};
    QTest::newRow("nothing anywhere")
        << QStringList{"bin/lorimand"} << "bin" << false << QStringList{};
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
    test::ScriptedPlatform platform(root.filePath("bin"));
    platform.userTables = root.filePath("user");
    platform.userConfig = root.filePath("config/Lorimand");
    const ProgramFiles programFiles(platform, realFileSystem());

    QCOMPARE(programFiles.dataFolder(), root.filePath(dataFolder));
    QCOMPARE(programFiles.installed(), installed);
    QCOMPARE(programFiles.helpFile(), root.filePath(dataFolder + "/Readme.txt"));
    QCOMPARE(shownNames(programFiles.codeTableNames()), tables);
    QCOMPARE(programFiles.settingsFolder(),
             installed ? root.filePath("config/Lorimand") : root.filePath("bin"));
    // The settings of an installed copy need their folder to exist.
    QCOMPARE(QFileInfo(root.filePath("config/Lorimand")).isDir(), installed);
}

void TestProgramFiles::userTablesWinOnNameClash()
{
    QTemporaryDir root;
    QVERIFY(root.isValid());
    makeFiles(root.path(), {"share/lorimand/Readme.txt", "share/lorimand/ROT13.sbt",
                            "share/lorimand/Digits.sbt", "user/ROT13.sbt", "user/rot13.sbt"});
    test::ScriptedPlatform platform(root.filePath("bin"));
    platform.userTables = root.filePath("user");
    const ProgramFiles programFiles(platform, realFileSystem());

    QCOMPARE(programFiles.codeTableFile("ROT13"), pathOf(root.filePath("user/ROT13.sbt")));
    QCOMPARE(programFiles.codeTableFile("rot13"), pathOf(root.filePath("user/rot13.sbt")));
    QCOMPARE(programFiles.codeTableFile("Digits"),
             pathOf(root.filePath("share/lorimand/Digits.sbt")));
    // A name found nowhere is looked for where the program's own tables are.
    QCOMPARE(programFiles.codeTableFile("Gone"), pathOf(root.filePath("share/lorimand/Gone.sbt")));

    platform.userTables.clear();
    QCOMPARE(programFiles.codeTableFile("ROT13"),
             pathOf(root.filePath("share/lorimand/ROT13.sbt")));
}

// A file name need not be valid UTF-8 nor hold only characters of the 8-bit set:
// the table is listed, and its name's own bytes find its file again.
void TestProgramFiles::tableNamesAreBytes()
{
    QTemporaryDir root;
    QVERIFY(root.isValid());
    makeFiles(root.path(), {"bin/Readme.txt", "bin/Alpha.sbt"});
    const std::string folder = pathOf(root.filePath("bin"));
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
    test::ScriptedPlatform platform(root.filePath("bin"));
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

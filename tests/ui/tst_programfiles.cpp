// Where the help, the code tables and the settings are found, for a build tree,
// an installed copy and a copy without its files, with and without the user's
// own tables.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "engine/files.h"
#include "scriptedplatform.h"
#include "ui/programfiles.h"

using namespace lorimand;

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

} // namespace

class TestProgramFiles : public QObject
{
    Q_OBJECT

private slots:
    void findsItsFiles_data();
    void findsItsFiles();
    void userTablesWinOnNameClash();
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
    QCOMPARE(programFiles.codeTableNames(), tables);
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

    QCOMPARE(programFiles.codeTableFile("ROT13"), root.filePath("user/ROT13.sbt"));
    QCOMPARE(programFiles.codeTableFile("rot13"), root.filePath("user/rot13.sbt"));
    QCOMPARE(programFiles.codeTableFile("Digits"), root.filePath("share/lorimand/Digits.sbt"));
    // A name found nowhere is looked for where the program's own tables are.
    QCOMPARE(programFiles.codeTableFile("Gone"), root.filePath("share/lorimand/Gone.sbt"));

    platform.userTables.clear();
    QCOMPARE(programFiles.codeTableFile("ROT13"), root.filePath("share/lorimand/ROT13.sbt"));
}

QTEST_GUILESS_MAIN(TestProgramFiles)
#include "tst_programfiles.moc"

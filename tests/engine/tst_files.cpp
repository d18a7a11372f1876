// Tests of the file layer on the real file system.
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/files.h"

using namespace lorimand;

namespace {

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray contentsOf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return "<unreadable>";
    }
    return file.readAll();
}

// Every entry of the folder, hidden ones included.
QStringList entriesOf(const QString &folder)
{
    QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                               QDir::NoDotAndDotDot);
    names.sort();
    return names;
}

std::string pathOf(const QString &path)
{
    return QFile::encodeName(path).toStdString();
}

int permissionsOf(const QString &path)
{
    struct stat info = {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0) {
        return -1;
    }
    return static_cast<int>(info.st_mode & 0777);
}

QByteArray randomBytes(qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator random(99);
    for (char &ch : bytes) {
        ch = static_cast<char>(random.bounded(256));
    }
    return bytes;
}

} // namespace

class TestFiles : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir_;
    FileSystem &files_ = realFileSystem();
    QString path(const QString &name) const { return dir_.filePath(name); }

private slots:
    void init()
    {
        QVERIFY(dir_.isValid());
        for (const QString &name : entriesOf(dir_.path())) {
            const QString full = path(name);
            ::chmod(QFile::encodeName(full).constData(), 0700);
            if (QFileInfo(full).isDir() && !QFileInfo(full).isSymLink()) {
                QVERIFY(QDir(full).removeRecursively());
            } else {
                QVERIFY(QFile::remove(full));
            }
        }
    }

    void errorMessageNamesPathAndReason()
    {
        const FileError error{"/x/y.txt", "No such file or directory"};
        QCOMPARE(error.message(), std::string("/x/y.txt: No such file or directory"));
    }

    void readsEveryByte_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("NUL, 0x1A and line ends") << QByteArray("a\0\x1a\r\n\rb\n", 8);
        QTest::newRow("several MiB") << randomBytes(3 * 1024 * 1024 + 17);
    }
    void readsEveryByte()
    {
        QFETCH(QByteArray, bytes);
        writeBytes(path("in.txt"), bytes);
        const ReadResult result = files_.readFile(pathOf(path("in.txt")));
        QVERIFY(!result.error);
        QCOMPARE(QByteArray::fromStdString(result.bytes), bytes);
    }

    void readFailures_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing") << "missing.txt"
                                 << "No such file or directory";
        QTest::newRow("folder") << "folder"
                                << "Is a directory";
        QTest::newRow("below a file") << "plain/x.txt"
                                      << "Not a directory";
    }
    void readFailures()
    {
        QFETCH(QString, name);
        QFETCH(QString, reason);
        QVERIFY(QDir(dir_.path()).mkdir("folder"));
        writeBytes(path("plain"), "x");
        const std::string target = pathOf(path(name));
        const ReadResult result = files_.readFile(target);
        QVERIFY(result.error);
        QCOMPARE(result.error->path, target);
        QCOMPARE(QString::fromStdString(result.error->reason), reason);
        QVERIFY(result.bytes.empty());
    }

    void writeCreatesAndReplaces()
    {
        const std::string target = pathOf(path("out.txt"));
        QVERIFY(!files_.writeFileAtomically(target, "first\r\n"));
        QCOMPARE(contentsOf(path("out.txt")), QByteArray("first\r\n"));
        const QByteArray big = randomBytes(2 * 1024 * 1024 + 3);
        QVERIFY(!files_.writeFileAtomically(target, big.toStdString()));
        QCOMPARE(contentsOf(path("out.txt")), big);
        QCOMPARE(entriesOf(dir_.path()), QStringList{"out.txt"});
    }

    void newFileFollowsTheUmask()
    {
        const mode_t old = ::umask(027);
        const auto error = files_.writeFileAtomically(pathOf(path("new.txt")), "x");
        ::umask(old);
        QVERIFY(!error);
        QCOMPARE(permissionsOf(path("new.txt")), 0640);
    }

    void replacedFileKeepsItsPermissions()
    {
        writeBytes(path("kept.txt"), "old");
        QVERIFY(::chmod(QFile::encodeName(path("kept.txt")).constData(), 0604) == 0);
        QVERIFY(!files_.writeFileAtomically(pathOf(path("kept.txt")), "new"));
        QCOMPARE(contentsOf(path("kept.txt")), QByteArray("new"));
        QCOMPARE(permissionsOf(path("kept.txt")), 0604);
    }

    void namedScratchFileIsRenamed()
    {
        writeBytes(path("Lorimand.ini"), "old");
        writeBytes(path("Lorimand.tmp"), "stale scratch that is longer");
        QVERIFY(!files_.writeFileAtomically(pathOf(path("Lorimand.ini")), "new",
                                            pathOf(path("Lorimand.tmp"))));
        QCOMPARE(contentsOf(path("Lorimand.ini")), QByteArray("new"));
        QCOMPARE(entriesOf(dir_.path()), QStringList{"Lorimand.ini"});
    }

    void writingThroughALinkKeepsTheLink()
    {
        writeBytes(path("real.txt"), "old");
        QVERIFY(QFile::link(path("real.txt"), path("link.txt")));
        QVERIFY(!files_.writeFileAtomically(pathOf(path("link.txt")), "new"));
        QVERIFY(QFileInfo(path("link.txt")).isSymLink());
        QCOMPARE(contentsOf(path("real.txt")), QByteArray("new"));
        QCOMPARE(entriesOf(dir_.path()), (QStringList{"link.txt", "real.txt"}));
    }

    void failedWriteLeavesEverythingAsItWas_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("scratch");
        QTest::addColumn<QString>("failedPath");
        QTest::newRow("target is a folder") << "folder" << QString() << "folder";
        QTest::newRow("parent is a file") << "plain/x.txt" << QString() << "plain/x.txt";
        QTest::newRow("scratch beside a file") << "out.txt"
                                               << "plain/x.tmp"
                                               << "plain/x.tmp";
        QTest::newRow("rename onto a folder") << "folder"
                                              << "scratch.tmp"
                                              << "folder";
    }
    void failedWriteLeavesEverythingAsItWas()
    {
        QFETCH(QString, target);
        QFETCH(QString, scratch);
        QFETCH(QString, failedPath);
        QVERIFY(QDir(dir_.path()).mkdir("folder"));
        writeBytes(path("folder/inside.txt"), "inside");
        writeBytes(path("plain"), "plain");
        writeBytes(path("out.txt"), "old");
        const QStringList before = entriesOf(dir_.path());

        const auto error = files_.writeFileAtomically(
            pathOf(path(target)), "new", scratch.isEmpty() ? std::string() : pathOf(path(scratch)));
        QVERIFY(error);
        QCOMPARE(error->path, pathOf(path(failedPath)));
        QVERIFY(!error->reason.empty());
        QCOMPARE(entriesOf(dir_.path()), before);
        QCOMPARE(contentsOf(path("out.txt")), QByteArray("old"));
        QCOMPARE(contentsOf(path("plain")), QByteArray("plain"));
        QCOMPARE(entriesOf(path("folder")), QStringList{"inside.txt"});
    }

    void unwritableFolderKeepsTheOldFile()
    {
        if (::geteuid() == 0) {
            QSKIP("permissions do not bind the superuser");
        }
        QVERIFY(QDir(dir_.path()).mkdir("locked"));
        writeBytes(path("locked/old.txt"), "old");
        QVERIFY(::chmod(QFile::encodeName(path("locked")).constData(), 0555) == 0);
        const auto error = files_.writeFileAtomically(pathOf(path("locked/old.txt")), "new");
        ::chmod(QFile::encodeName(path("locked")).constData(), 0755);
        QVERIFY(error);
        QCOMPARE(error->path, pathOf(path("locked/old.txt")));
        QCOMPARE(error->reason,
                 std::string("cannot create a temporary file beside it: Permission denied"));
        QCOMPARE(contentsOf(path("locked/old.txt")), QByteArray("old"));
        QCOMPARE(entriesOf(path("locked")), QStringList{"old.txt"});
    }

    void outputFileWithoutCommitChangesNothing()
    {
        writeBytes(path("out.txt"), "old");
        {
            AtomicOutputFile file(pathOf(path("out.txt")));
            QVERIFY(!file.error());
            QVERIFY(file.write("half of "));
            QCOMPARE(entriesOf(dir_.path()).size(), 2);
        }
        QCOMPARE(contentsOf(path("out.txt")), QByteArray("old"));
        QCOMPARE(entriesOf(dir_.path()), QStringList{"out.txt"});
    }

    void outputFileInBlocks()
    {
        const QByteArray bytes = randomBytes(1000003);
        AtomicOutputFile file(pathOf(path("blocks.txt")));
        for (qsizetype at = 0; at < bytes.size(); at += 4096) {
            QVERIFY(file.write(std::string_view(bytes.constData() + at,
                                                std::min<qsizetype>(4096, bytes.size() - at))));
        }
        QVERIFY(file.commit());
        QVERIFY(!file.error());
        QCOMPARE(contentsOf(path("blocks.txt")), bytes);
        QVERIFY(!file.write("more"));
        QVERIFY(!file.commit());
        QCOMPARE(contentsOf(path("blocks.txt")), bytes);
        QCOMPARE(entriesOf(dir_.path()), QStringList{"blocks.txt"});
    }

    void outputFileThatCannotStartRefusesWrites()
    {
        writeBytes(path("plain"), "plain");
        AtomicOutputFile file(pathOf(path("plain/x.txt")));
        QVERIFY(file.error());
        QVERIFY(!file.write("x"));
        QVERIFY(!file.commit());
        QCOMPARE(entriesOf(dir_.path()), QStringList{"plain"});
    }

    void createIfMissing()
    {
        QVERIFY(!files_.createIfMissing(pathOf(path("made.ini"))));
        QVERIFY(QFileInfo::exists(path("made.ini")));
        QCOMPARE(contentsOf(path("made.ini")), QByteArray());

        writeBytes(path("kept.ini"), "key=x\r\n");
        QVERIFY(!files_.createIfMissing(pathOf(path("kept.ini"))));
        QCOMPARE(contentsOf(path("kept.ini")), QByteArray("key=x\r\n"));

        const auto error = files_.createIfMissing(pathOf(path("none/made.ini")));
        QVERIFY(error);
        QCOMPARE(error->path, pathOf(path("none/made.ini")));
        QCOMPARE(error->reason, std::string("No such file or directory"));
    }

    void removeFile()
    {
        writeBytes(path("gone.tmp"), "x");
        QVERIFY(!files_.removeFile(pathOf(path("gone.tmp"))));
        QVERIFY(!QFileInfo::exists(path("gone.tmp")));
        QVERIFY(!files_.removeFile(pathOf(path("gone.tmp"))));
        writeBytes(path("plain"), "x");
        const auto error = files_.removeFile(pathOf(path("plain/x")));
        QVERIFY(error);
        QCOMPARE(error->reason, std::string("Not a directory"));
    }

    void listFilesSkipsFoldersAndHiddenFiles()
    {
        writeBytes(path("Latin.sbt"), "65=66");
        writeBytes(path("Greek.sbt"), "");
        writeBytes(path("notes.txt"), "");
        writeBytes(path(".hidden.sbt"), "");
        writeBytes(path("upper.SBT"), "");
        writeBytes(path("sbt"), "");
        QVERIFY(QDir(dir_.path()).mkdir("folder.sbt"));
        QVERIFY(QFile::link(path("Latin.sbt"), path("linked.sbt")));
        QVERIFY(QFile::link(path("folder.sbt"), path("linkedfolder.sbt")));

        std::vector<std::string> names = files_.listFiles(pathOf(dir_.path()), ".sbt");
        std::sort(names.begin(), names.end());
        QCOMPARE(names, (std::vector<std::string>{"Greek.sbt", "Latin.sbt", "linked.sbt"}));

        QVERIFY(files_.listFiles(pathOf(path("missing")), ".sbt").empty());
    }

    void inputFileReadsInBlocks()
    {
        const QByteArray bytes = randomBytes(100000);
        writeBytes(path("in.bin"), bytes);
        InputFile file(pathOf(path("in.bin")));
        QVERIFY(!file.error());
        QByteArray got;
        char buffer[7];
        while (const std::size_t size = file.read(buffer, sizeof buffer)) {
            got.append(buffer, static_cast<qsizetype>(size));
        }
        QVERIFY(!file.error());
        QCOMPARE(got, bytes);
    }

    void inputFileFailures_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing") << "missing.txt"
                                 << "No such file or directory";
        QTest::newRow("folder") << "folder"
                                << "Is a directory";
    }
    void inputFileFailures()
    {
        QFETCH(QString, name);
        QFETCH(QString, reason);
        QVERIFY(QDir(dir_.path()).mkdir("folder"));
        InputFile file(pathOf(path(name)));
        QVERIFY(file.error());
        QCOMPARE(file.error()->path, pathOf(path(name)));
        QCOMPARE(QString::fromStdString(file.error()->reason), reason);
        char buffer[16];
        QCOMPARE(file.read(buffer, sizeof buffer), std::size_t{0});
    }

    void inputFileReadsStandardInput_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("dash") << "-";
        QTest::newRow("empty") << QString();
    }
    void inputFileReadsStandardInput()
    {
        QFETCH(QString, name);
        int pipeEnds[2];
        QVERIFY(::pipe(pipeEnds) == 0);
        QCOMPARE(::write(pipeEnds[1], "piped\r\n", 7), ssize_t{7});
        ::close(pipeEnds[1]);
        const int savedInput = ::dup(STDIN_FILENO);
        QVERIFY(::dup2(pipeEnds[0], STDIN_FILENO) == STDIN_FILENO);
        ::close(pipeEnds[0]);

        QByteArray got;
        {
            InputFile file(name.toStdString());
            char buffer[64];
            while (const std::size_t size = file.read(buffer, sizeof buffer)) {
                got.append(buffer, static_cast<qsizetype>(size));
            }
            QVERIFY(!file.error());
        }
        const bool stillOpen = ::fcntl(STDIN_FILENO, F_GETFD) != -1;
        ::dup2(savedInput, STDIN_FILENO);
        ::close(savedInput);
        QCOMPARE(got, QByteArray("piped\r\n"));
        QVERIFY(stillOpen);
    }
};

QTEST_APPLESS_MAIN(TestFiles)
#include "tst_files.moc"

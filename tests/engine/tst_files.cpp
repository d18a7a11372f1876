// Tests of the file layer on the real file system.
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <climits>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include "engine/atomicfile.h"
#include "engine/files.h"
#include "engine/streams.h"

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

// The kind of entry path names itself, links not followed (S_IFREG, S_IFLNK, ...).
mode_t kindOf(const QString &path)
{
    struct stat info = {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0) {
        return 0;
    }
    return info.st_mode & S_IFMT;
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

    // A link (or anything else) where the scratch file goes is removed, never
    // followed: the file it names stays as it was and nothing is created there.
    void namedScratchLinkIsNotFollowed_data()
    {
        QTest::addColumn<QString>("linkTo");
        QTest::addColumn<QStringList>("after");
        QTest::newRow("link to a file")
            << "victim.txt" << QStringList{"Lorimand.ini", "victim.txt"};
        QTest::newRow("dangling link") << "created.txt" << QStringList{"Lorimand.ini"};
    }
    void namedScratchLinkIsNotFollowed()
    {
        QFETCH(QString, linkTo);
        QFETCH(QStringList, after);
        writeBytes(path("Lorimand.ini"), "old");
        if (linkTo == "victim.txt") {
            writeBytes(path("victim.txt"), "keep me");
        }
        QVERIFY(QFile::link(linkTo, path("Lorimand.tmp")));
        QVERIFY(!files_.writeFileAtomically(pathOf(path("Lorimand.ini")), "new",
                                            pathOf(path("Lorimand.tmp"))));
        QCOMPARE(kindOf(path("Lorimand.ini")), mode_t(S_IFREG));
        QCOMPARE(contentsOf(path("Lorimand.ini")), QByteArray("new"));
        QCOMPARE(entriesOf(dir_.path()), after);
        if (linkTo == "victim.txt") {
            QCOMPARE(contentsOf(path("victim.txt")), QByteArray("keep me"));
        }
    }

    // The temporary file's name is cut so that it stays a legal name.
    void longestNameIsWritten()
    {
        const QString name(NAME_MAX, QLatin1Char('n'));
        writeBytes(path(name), "old");
        QVERIFY(!files_.writeFileAtomically(pathOf(path(name)), "new"));
        QCOMPARE(contentsOf(path(name)), QByteArray("new"));
        QCOMPARE(entriesOf(dir_.path()), QStringList{name});
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

    // A link whose file does not exist yet: the file is created where the link
    // points (relative to the link's folder) and the link stays.
    void writingThroughADanglingLinkCreatesItsFile_data()
    {
        QTest::addColumn<QStringList>("links"); // link name, where it points; in pairs
        QTest::addColumn<QString>("created");
        QTest::newRow("beside the link") << QStringList{"link.txt", "missing.txt"} << "missing.txt";
        QTest::newRow("relative to the link's folder")
            << QStringList{"sub/link.txt", "../made.txt"} << "made.txt";
        QTest::newRow("into another folder")
            << QStringList{"link.txt", "sub/made.txt"} << "sub/made.txt";
        QTest::newRow("chain of links")
            << QStringList{"first.txt", "second.txt", "second.txt", "sub/end.txt"} << "sub/end.txt";
        QTest::newRow("absolute") << QStringList{"abs.txt", "ABSOLUTE/absolute.txt"}
                                  << "absolute.txt";
    }
    void writingThroughADanglingLinkCreatesItsFile()
    {
        QFETCH(QStringList, links);
        QFETCH(QString, created);
        QVERIFY(QDir(dir_.path()).mkdir("sub"));
        for (qsizetype i = 0; i < links.size(); i += 2) {
            const QString linkTo = QString(links[i + 1]).replace("ABSOLUTE", dir_.path());
            QVERIFY(::symlink(QFile::encodeName(linkTo).constData(),
                              QFile::encodeName(path(links[i])).constData()) == 0);
        }
        QVERIFY(!files_.writeFileAtomically(pathOf(path(links[0])), "new"));
        for (qsizetype i = 0; i < links.size(); i += 2) {
            QCOMPARE(kindOf(path(links[i])), mode_t(S_IFLNK));
        }
        QCOMPARE(kindOf(path(created)), mode_t(S_IFREG));
        QCOMPARE(contentsOf(path(created)), QByteArray("new"));
        QStringList expected{"sub"};
        QStringList expectedInSub;
        for (qsizetype i = 0; i < links.size(); i += 2) {
            (links[i].startsWith("sub/") ? expectedInSub : expected)
                .append(links[i].section('/', -1));
        }
        (created.startsWith("sub/") ? expectedInSub : expected).append(created.section('/', -1));
        expected.sort();
        expectedInSub.sort();
        QCOMPARE(entriesOf(dir_.path()), expected);
        QCOMPARE(entriesOf(path("sub")), expectedInSub);
    }

    // A device or a pipe cannot be replaced by a file: the bytes go straight into it.
    void writesIntoADeviceWithoutReplacingIt_data()
    {
        QTest::addColumn<bool>("throughLink");
        QTest::newRow("device") << false;
        QTest::newRow("link to a device") << true;
    }
    void writesIntoADeviceWithoutReplacingIt()
    {
        QFETCH(bool, throughLink);
        // The superuser gets a null device of the test's own, so that a fault cannot
        // harm /dev/null; anyone else cannot replace /dev/null anyway.
        QString device = "/dev/null";
        if (::geteuid() == 0) {
            device = path("null");
            if (::mknod(QFile::encodeName(device).constData(), S_IFCHR | 0666, makedev(1, 3)) !=
                0) {
                QSKIP("no device node can be made here");
            }
        }
        QVERIFY(QFile::link(device, path("link")));
        const QStringList before = entriesOf(dir_.path());
        const std::string target = pathOf(throughLink ? path("link") : device);
        AtomicOutputFile file(target);
        QVERIFY(!file.error());
        QVERIFY(file.write("discarded"));
        QVERIFY(file.commit());
        QCOMPARE(kindOf(device), mode_t(S_IFCHR));
        QCOMPARE(kindOf(path("link")), mode_t(S_IFLNK));
        QVERIFY(!files_.writeFileAtomically(target, "again"));
        QCOMPARE(kindOf(device), mode_t(S_IFCHR));
        QCOMPARE(entriesOf(dir_.path()), before);
    }

    void writesIntoAPipe()
    {
        QVERIFY(::mkfifo(QFile::encodeName(path("fifo")).constData(), 0600) == 0);
        // The reading end first, so that opening the pipe to write does not wait.
        const int reading =
            ::open(QFile::encodeName(path("fifo")).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        QVERIFY(reading >= 0);
        QVERIFY(::fcntl(reading, F_SETFL, 0) == 0);
        const QByteArray bytes = randomBytes(300000); // more than the pipe holds
        QByteArray received;
        {
            AtomicOutputFile file(pathOf(path("fifo")));
            QVERIFY(!file.error());
            std::thread reader([&] {
                char buffer[4096];
                ssize_t got = 0;
                while ((got = ::read(reading, buffer, sizeof buffer)) > 0) {
                    received.append(buffer, got);
                }
            });
            const bool written = file.write(std::string_view(bytes.constData(), bytes.size()));
            const bool committed = file.commit();
            reader.join();
            QVERIFY(written);
            QVERIFY(committed);
        }
        ::close(reading);
        QCOMPARE(received.size(), bytes.size());
        QVERIFY(received == bytes);
        QCOMPARE(kindOf(path("fifo")), mode_t(S_IFIFO));
        QCOMPARE(entriesOf(dir_.path()), QStringList{"fifo"});
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
        QTest::newRow("loop of links") << "loop1" << QString() << "loop1";
        QTest::newRow("folder, named scratch") << "folder"
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
        QVERIFY(QFile::link("loop2", path("loop1")));
        QVERIFY(QFile::link("loop1", path("loop2")));
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
        QCOMPARE(kindOf(path("loop1")), mode_t(S_IFLNK));
    }

    // A read-only file is not replaced behind its owner's back, and a file in a
    // read-only folder cannot be. The superuser passes every permission check, so
    // then the attempt runs in a child process as "nobody".
    void unwritableTargetKeepsTheOldFile_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("reason");
        QTest::newRow("read-only file") << "locked.txt"
                                        << "Permission denied";
        QTest::newRow("read-only folder")
            << "locked/old.txt"
            << "cannot create a temporary file beside it: Permission denied";
    }
    void unwritableTargetKeepsTheOldFile()
    {
        QFETCH(QString, target);
        QFETCH(QString, reason);
        writeBytes(path("locked.txt"), "old");
        QVERIFY(QDir(dir_.path()).mkdir("locked"));
        writeBytes(path("locked/old.txt"), "old");
        QVERIFY(::chmod(QFile::encodeName(path("locked.txt")).constData(), 0444) == 0);
        QVERIFY(::chmod(QFile::encodeName(path("locked/old.txt")).constData(), 0666) == 0);
        QVERIFY(::chmod(QFile::encodeName(path("locked")).constData(), 0555) == 0);
        const QByteArray folder = QFile::encodeName(dir_.path());
        QVERIFY(::chmod(folder.constData(), 0777) == 0);
        const QStringList before = entriesOf(dir_.path());
        const std::string file = pathOf(path(target));
        const std::string expected = reason.toStdString();

        const pid_t child = ::fork();
        if (child == 0) {
            if (::geteuid() == 0 &&
                (::setresgid(65534, 65534, 65534) != 0 || ::setresuid(65534, 65534, 65534) != 0)) {
                ::_exit(3);
            }
            const auto error = realFileSystem().writeFileAtomically(file, "new");
            ::_exit(!error ? 1 : error->path != file ? 2 : error->reason != expected ? 4 : 0);
        }
        int status = -1;
        ::waitpid(child, &status, 0);
        ::chmod(folder.constData(), 0700);
        ::chmod(QFile::encodeName(path("locked")).constData(), 0755);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0);
        QCOMPARE(contentsOf(path(target)), QByteArray("old"));
        QCOMPARE(entriesOf(dir_.path()), before);
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

    // The rename itself fails: the target became a folder after the temporary file
    // was made.
    void failedRenameLeavesNothingBehind()
    {
        writeBytes(path("out.txt"), "old");
        AtomicOutputFile file(pathOf(path("out.txt")));
        QVERIFY(!file.error());
        QVERIFY(QFile::remove(path("out.txt")));
        QVERIFY(QDir(dir_.path()).mkdir("out.txt"));
        writeBytes(path("out.txt/inside.txt"), "inside");
        QVERIFY(file.write("new"));
        QVERIFY(!file.commit());
        QVERIFY(file.error());
        QCOMPARE(file.error()->path, pathOf(path("out.txt")));
        QCOMPARE(file.error()->reason, std::string("Is a directory"));
        QVERIFY(!file.write("more"));
        QCOMPARE(entriesOf(dir_.path()), QStringList{"out.txt"});
        QCOMPARE(entriesOf(path("out.txt")), QStringList{"inside.txt"});
        QCOMPARE(contentsOf(path("out.txt/inside.txt")), QByteArray("inside"));
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

    // Reading block by block fails where reading whole does.
    void inputFileFailures_data() { readFailures_data(); }
    void inputFileFailures()
    {
        QFETCH(QString, name);
        QFETCH(QString, reason);
        QVERIFY(QDir(dir_.path()).mkdir("folder"));
        writeBytes(path("plain"), "x");
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

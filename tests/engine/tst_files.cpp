// Tests of the file layer on the real file system.
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

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include "bytes.h"
#include "engine/files.h"
#include "engine/outputfile.h"
#include "engine/streams.h"
#include "engine/systemcalls.h"
#include "faultycalls.h"
#include "journals.h"

using namespace Qt::StringLiterals;

using namespace lorimand;
using namespace lorimand::test;

namespace {

const WriteOptions kScratch{"Lorimand.tmp"};

int permissionsOf(const QString &path)
{
    struct stat info = {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0) {
        return -1;
    }
    return static_cast<int>(info.st_mode & 0777);
}

// A progress that notes each report of `total` bytes and stops the work after
// the `stopAfter`th (never for 0).
Progress stoppingAfter(int stopAfter, std::size_t total, std::vector<std::size_t> &told)
{
    return [stopAfter, total, &told](std::size_t done, std::size_t reported) {
        if (reported != total) {
            return false;
        }
        told.push_back(done);
        return static_cast<int>(told.size()) != stopAfter;
    };
}

} // namespace

class TestFiles : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir_;
    // The user's state folder, where journals go that cannot go beside their file.
    QTemporaryDir stateHome_;
    FileSystem &files_ = realFileSystem();
    QString path(const QString &name) const { return dir_.filePath(name); }
    QString stateHome() const { return QFileInfo(stateHome_.path()).canonicalFilePath(); }

private slots:
    void initTestCase()
    {
        QVERIFY(stateHome_.isValid());
        qputenv("XDG_STATE_HOME", QFile::encodeName(stateHome()));
    }

    void init()
    {
        QVERIFY(dir_.isValid());
        QVERIFY(QDir(stateHome() + u"/lorimand"_s).removeRecursively());
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
        writeBytes(path(u"in.txt"_s), bytes);
        const ReadResult result = files_.readFile(pathOf(path(u"in.txt"_s)));
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
        QVERIFY(QDir(dir_.path()).mkdir(u"folder"_s));
        writeBytes(path(u"plain"_s), "x");
        const std::string target = pathOf(path(name));
        const ReadResult result = files_.readFile(target);
        QVERIFY(result.error);
        QCOMPARE(result.error->path, target);
        QCOMPARE(QString::fromStdString(result.error->reason), reason);
        QVERIFY(result.bytes.empty());
    }

    void writeCreatesAndReplaces()
    {
        const std::string target = pathOf(path(u"out.txt"_s));
        QVERIFY(!files_.writeFile(target, "first\r\n"));
        QCOMPARE(contentsOf(path(u"out.txt"_s)), QByteArray("first\r\n"));
        const QByteArray big = randomBytes(2 * 1024 * 1024 + 3);
        QVERIFY(!files_.writeFile(target, big.toStdString()));
        QCOMPARE(contentsOf(path(u"out.txt"_s)), big);
        QCOMPARE(entriesOf(dir_.path()), QStringList{u"out.txt"_s});
    }

    // A new file follows the umask, unless it is to be its owner's alone; an
    // existing file keeps its mode either way.
    void newFileMode_data()
    {
        QTest::addColumn<bool>("create");
        QTest::addColumn<bool>("ownerOnly");
        QTest::addColumn<int>("mode");
        QTest::newRow("written, everyone") << false << false << 0640;
        QTest::newRow("written, owner only") << false << true << 0600;
        QTest::newRow("created empty, everyone") << true << false << 0640;
        QTest::newRow("created empty, owner only") << true << true << 0600;
    }
    void newFileMode()
    {
        QFETCH(bool, create);
        QFETCH(bool, ownerOnly);
        QFETCH(int, mode);
        const NewFileAccess access = ownerOnly ? NewFileAccess::OwnerOnly : NewFileAccess::Everyone;
        const auto write = [&](const QString &name) {
            return create ? files_.createIfMissing(pathOf(path(name)), access)
                          : files_.writeFile(pathOf(path(name)), "x", WriteOptions{{}, access});
        };
        writeBytes(path(u"old.txt"_s), "old");
        QVERIFY(::chmod(QFile::encodeName(path(u"old.txt"_s)).constData(), 0664) == 0);
        const mode_t old = ::umask(027);
        const auto madeError = write(u"new.txt"_s);
        const auto keptError = write(u"old.txt"_s);
        ::umask(old);
        QVERIFY(!madeError);
        QVERIFY(!keptError);
        QCOMPARE(permissionsOf(path(u"new.txt"_s)), mode);
        QCOMPARE(permissionsOf(path(u"old.txt"_s)), 0664);
    }

    void replacedFileKeepsItsPermissions()
    {
        writeBytes(path(u"kept.txt"_s), "old");
        QVERIFY(::chmod(QFile::encodeName(path(u"kept.txt"_s)).constData(), 0604) == 0);
        QVERIFY(!files_.writeFile(pathOf(path(u"kept.txt"_s)), "new"));
        QCOMPARE(contentsOf(path(u"kept.txt"_s)), QByteArray("new"));
        QCOMPARE(permissionsOf(path(u"kept.txt"_s)), 0604);
    }

    void namedScratchFileIsRenamed()
    {
        writeBytes(path(u"Lorimand.ini"_s), "old");
        writeBytes(path(u"Lorimand.tmp"_s), "stale scratch that is longer");
        QVERIFY(!files_.writeFile(pathOf(path(u"Lorimand.ini"_s)), "new", kScratch));
        QCOMPARE(contentsOf(path(u"Lorimand.ini"_s)), QByteArray("new"));
        QCOMPARE(entriesOf(dir_.path()), QStringList{u"Lorimand.ini"_s});
    }

    // A settings file that is a link (to another disk, say) is written through a
    // scratch file beside the file it names, so that the rename stays on one disk.
    void namedScratchGoesBesideTheLinksTarget()
    {
        QVERIFY(QDir(dir_.path()).mkdir(u"elsewhere"_s));
        writeBytes(path(u"elsewhere/Lorimand.ini"_s), "old");
        QVERIFY(QFile::link(path(u"elsewhere/Lorimand.ini"_s), path(u"Lorimand.ini"_s)));
        // A file system without unnamed files, so that the scratch file has its name.
        FaultyCalls calls;
        calls.alsoFailing = FaultyCalls::Call::OpenUnnamed;
        calls.foldersOnOwnDisks = true;
        const std::unique_ptr<FileSystem> files = fileSystemOver(calls);
        const auto error = files->writeFile(pathOf(path(u"Lorimand.ini"_s)), "new", kScratch);
        QVERIFY2(!error, error ? error->message().c_str() : "");
        QCOMPARE(contentsOf(path(u"elsewhere/Lorimand.ini"_s)), QByteArray("new"));
        QCOMPARE(kindOf(path(u"Lorimand.ini"_s)), mode_t(S_IFLNK));
        QCOMPARE(entriesOf(dir_.path()), (QStringList{u"Lorimand.ini"_s, u"elsewhere"_s}));
        QCOMPARE(entriesOf(path(u"elsewhere"_s)), QStringList{u"Lorimand.ini"_s});
    }

    // A link (or anything else) where the scratch file goes is removed, never
    // followed: the file it names stays as it was and nothing is created there.
    void namedScratchLinkIsNotFollowed_data()
    {
        QTest::addColumn<QString>("linkTo");
        QTest::addColumn<QStringList>("after");
        QTest::newRow("link to a file")
            << "victim.txt" << QStringList{u"Lorimand.ini"_s, u"victim.txt"_s};
        QTest::newRow("dangling link") << "created.txt" << QStringList{u"Lorimand.ini"_s};
    }
    void namedScratchLinkIsNotFollowed()
    {
        QFETCH(QString, linkTo);
        QFETCH(QStringList, after);
        writeBytes(path(u"Lorimand.ini"_s), "old");
        if (linkTo == u"victim.txt"_s) {
            writeBytes(path(u"victim.txt"_s), "keep me");
        }
        QVERIFY(QFile::link(linkTo, path(u"Lorimand.tmp"_s)));
        QVERIFY(!files_.writeFile(pathOf(path(u"Lorimand.ini"_s)), "new", kScratch));
        QCOMPARE(kindOf(path(u"Lorimand.ini"_s)), mode_t(S_IFREG));
        QCOMPARE(contentsOf(path(u"Lorimand.ini"_s)), QByteArray("new"));
        QCOMPARE(entriesOf(dir_.path()), after);
        if (linkTo == u"victim.txt"_s) {
            QCOMPARE(contentsOf(path(u"victim.txt"_s)), QByteArray("keep me"));
        }
    }

    // The temporary file's name is cut so that it stays a legal name.
    void longestNameIsWritten()
    {
        const QString name(NAME_MAX, QLatin1Char('n'));
        writeBytes(path(name), "old");
        QVERIFY(!files_.writeFile(pathOf(path(name)), "new"));
        QCOMPARE(contentsOf(path(name)), QByteArray("new"));
        QCOMPARE(entriesOf(dir_.path()), QStringList{name});
    }

    void writingThroughALinkKeepsTheLink()
    {
        writeBytes(path(u"real.txt"_s), "old");
        QVERIFY(QFile::link(path(u"real.txt"_s), path(u"link.txt"_s)));
        QVERIFY(!files_.writeFile(pathOf(path(u"link.txt"_s)), "new"));
        QVERIFY(QFileInfo(path(u"link.txt"_s)).isSymLink());
        QCOMPARE(contentsOf(path(u"real.txt"_s)), QByteArray("new"));
        QCOMPARE(entriesOf(dir_.path()), (QStringList{u"link.txt"_s, u"real.txt"_s}));
    }

    // A link whose file does not exist yet: the file is created where the link
    // points (relative to the link's folder) and the link stays.
    void writingThroughADanglingLinkCreatesItsFile_data()
    {
        QTest::addColumn<QStringList>("links"); // link name, where it points; in pairs
        QTest::addColumn<QString>("created");
        QTest::newRow("beside the link")
            << QStringList{u"link.txt"_s, u"missing.txt"_s} << u"missing.txt"_s;
        QTest::newRow("relative to the link's folder")
            << QStringList{u"sub/link.txt"_s, u"../made.txt"_s} << u"made.txt"_s;
        QTest::newRow("into another folder")
            << QStringList{u"link.txt"_s, u"sub/made.txt"_s} << u"sub/made.txt"_s;
        QTest::newRow("chain of links")
            << QStringList{u"first.txt"_s, u"second.txt"_s, u"second.txt"_s, u"sub/end.txt"_s}
            << u"sub/end.txt"_s;
        QTest::newRow("absolute") << QStringList{u"abs.txt"_s, u"ABSOLUTE/absolute.txt"_s}
                                  << "absolute.txt";
    }
    void writingThroughADanglingLinkCreatesItsFile()
    {
        QFETCH(QStringList, links);
        QFETCH(QString, created);
        QVERIFY(QDir(dir_.path()).mkdir(u"sub"_s));
        for (qsizetype i = 0; i < links.size(); i += 2) {
            const QString linkTo = QString(links[i + 1]).replace(u"ABSOLUTE"_s, dir_.path());
            QVERIFY(::symlink(QFile::encodeName(linkTo).constData(),
                              QFile::encodeName(path(links[i])).constData()) == 0);
        }
        QVERIFY(!files_.writeFile(pathOf(path(links[0])), "new"));
        for (qsizetype i = 0; i < links.size(); i += 2) {
            QCOMPARE(kindOf(path(links[i])), mode_t(S_IFLNK));
        }
        QCOMPARE(kindOf(path(created)), mode_t(S_IFREG));
        QCOMPARE(contentsOf(path(created)), QByteArray("new"));
        QStringList expected{u"sub"_s};
        QStringList expectedInSub;
        for (qsizetype i = 0; i < links.size(); i += 2) {
            (links[i].startsWith(u"sub/"_s) ? expectedInSub : expected)
                .append(links[i].section(u'/', -1));
        }
        (created.startsWith(u"sub/"_s) ? expectedInSub : expected)
            .append(created.section(u'/', -1));
        expected.sort();
        expectedInSub.sort();
        QCOMPARE(entriesOf(dir_.path()), expected);
        QCOMPARE(entriesOf(path(u"sub"_s)), expectedInSub);
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
        QString device = u"/dev/null"_s;
        if (::geteuid() == 0) {
            device = path(u"null"_s);
            if (::mknod(QFile::encodeName(device).constData(), S_IFCHR | 0666, makedev(1, 3)) !=
                0) {
                QSKIP("no device node can be made here");
            }
        }
        QVERIFY(QFile::link(device, path(u"link"_s)));
        const QStringList before = entriesOf(dir_.path());
        const std::string target = pathOf(throughLink ? path(u"link"_s) : device);
        OutputFile file(target);
        QVERIFY(!file.error());
        QVERIFY(file.write("discarded"));
        QVERIFY(file.commit());
        QCOMPARE(kindOf(device), mode_t(S_IFCHR));
        QCOMPARE(kindOf(path(u"link"_s)), mode_t(S_IFLNK));
        QVERIFY(!files_.writeFile(target, "again"));
        QCOMPARE(kindOf(device), mode_t(S_IFCHR));
        QCOMPARE(entriesOf(dir_.path()), before);
    }

    void writesIntoAPipe()
    {
        QVERIFY(::mkfifo(QFile::encodeName(path(u"fifo"_s)).constData(), 0600) == 0);
        // The reading end first, so that opening the pipe to write does not wait.
        const int reading = ::open(QFile::encodeName(path(u"fifo"_s)).constData(),
                                   O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        QVERIFY(reading >= 0);
        QVERIFY(::fcntl(reading, F_SETFL, 0) == 0);
        const QByteArray bytes = randomBytes(300000); // more than the pipe holds
        QByteArray received;
        {
            OutputFile file(pathOf(path(u"fifo"_s)));
            QVERIFY(!file.error());
            std::thread reader([&] {
                char buffer[4096];
                ssize_t got = 0;
                while ((got = ::read(reading, buffer, sizeof buffer)) > 0) {
                    received.append(buffer, got);
                }
            });
            const bool written = file.write(
                std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
            const bool committed = file.commit();
            reader.join();
            QVERIFY(written);
            QVERIFY(committed);
        }
        ::close(reading);
        QCOMPARE(received.size(), bytes.size());
        QVERIFY(received == bytes);
        QCOMPARE(kindOf(path(u"fifo"_s)), mode_t(S_IFIFO));
        QCOMPARE(entriesOf(dir_.path()), QStringList{u"fifo"_s});
    }

    void failedWriteLeavesEverythingAsItWas_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("scratch");
        QTest::addColumn<QString>("failedPath");
        QTest::newRow("target is a folder") << "folder" << QString() << "folder";
        QTest::newRow("parent is a file") << "plain/x.txt" << QString() << "plain/x.txt";
        QTest::newRow("scratch name taken by a folder") << "out.txt"
                                                        << "folder"
                                                        << "out.txt";
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
        QVERIFY(QDir(dir_.path()).mkdir(u"folder"_s));
        writeBytes(path(u"folder/inside.txt"_s), "inside");
        writeBytes(path(u"plain"_s), "plain");
        writeBytes(path(u"out.txt"_s), "old");
        QVERIFY(QFile::link(u"loop2"_s, path(u"loop1"_s)));
        QVERIFY(QFile::link(u"loop1"_s, path(u"loop2"_s)));
        const QStringList before = entriesOf(dir_.path());

        const auto error =
            files_.writeFile(pathOf(path(target)), "new", WriteOptions{scratch.toStdString()});
        QVERIFY(error);
        QCOMPARE(error->path, pathOf(path(failedPath)));
        QVERIFY(!error->reason.empty());
        QCOMPARE(entriesOf(dir_.path()), before);
        QCOMPARE(contentsOf(path(u"out.txt"_s)), QByteArray("old"));
        QCOMPARE(contentsOf(path(u"plain"_s)), QByteArray("plain"));
        QCOMPARE(entriesOf(path(u"folder"_s)), QStringList{u"inside.txt"_s});
        QCOMPARE(kindOf(path(u"loop1"_s)), mode_t(S_IFLNK));
    }

    // Saving keeps what the file was: its owner, group, mode and hard links. A file
    // the user may not write is refused; one in a folder the user may not write is
    // written in place. The superuser passes every permission check, so rows that
    // need an ordinary user run in a child process as "nobody".
    void saveKeepsWhatTheFileWas_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("asNobody");
        QTest::addColumn<QString>("reason"); // empty: the save succeeds
        QTest::newRow("read-only file") << "read-only" << true << "Permission denied";
        QTest::newRow("read-only folder, writable file") << "locked folder" << true << QString();
        QTest::newRow("hard links") << "linked" << false << QString();
        QTest::newRow("another user's file the user may write")
            << "root's, writable" << true << QString();
        QTest::newRow("owner and group kept by the superuser") << "nobody's" << false << QString();
        QTest::newRow("mode with set-group-id kept") << "mode 2754" << false << QString();
    }
    void saveKeepsWhatTheFileWas()
    {
        QFETCH(QString, kind);
        QFETCH(bool, asNobody);
        QFETCH(QString, reason);
        const bool root = ::geteuid() == 0;
        if ((kind == u"root's, writable"_s || kind == u"nobody's"_s) && !root) {
            QSKIP("only the superuser can give a file to another user");
        }
        QVERIFY(QDir(dir_.path()).mkdir(u"folder"_s));
        const QString target = path(u"folder/file.txt"_s);
        const QByteArray name = QFile::encodeName(target);
        writeBytes(target, "old text");
        QVERIFY(::chmod(name.constData(), 0666) == 0);
        if (kind == u"read-only"_s) {
            QVERIFY(::chmod(name.constData(), 0444) == 0);
        } else if (kind == u"linked"_s) {
            QVERIFY(::link(name.constData(),
                           QFile::encodeName(path(u"folder/twin.txt"_s)).constData()) == 0);
        } else if (kind == u"nobody's"_s) {
            QVERIFY(::chown(name.constData(), 65534, 65534) == 0);
            QVERIFY(::chmod(name.constData(), 0640) == 0);
        } else if (kind == u"mode 2754"_s) {
            QVERIFY(::chmod(name.constData(), 02754) == 0);
        }
        struct stat before = {};
        QVERIFY(::stat(name.constData(), &before) == 0);
        const QStringList entries = entriesOf(path(u"folder"_s));
        const QByteArray folder = QFile::encodeName(path(u"folder"_s));
        const QByteArray top = QFile::encodeName(dir_.path());
        QVERIFY(::chmod(top.constData(), 0755) == 0);
        QVERIFY(::chmod(folder.constData(), kind == u"locked folder"_s ? 0555 : 0777) == 0);

        // A journal that cannot go beside the file goes into the state folder, which
        // must be the user's.
        QVERIFY(QDir(dir_.path()).mkdir(u"state"_s));
        const QByteArray state = QFile::encodeName(path(u"state"_s));
        QVERIFY(!asNobody || !root || ::chown(state.constData(), 65534, 65534) == 0);
        const std::string file = name.toStdString();
        const std::string expected = reason.toStdString();
        const pid_t child = ::fork();
        if (child == 0) {
            if (asNobody && root &&
                (::setresgid(65534, 65534, 65534) != 0 || ::setresuid(65534, 65534, 65534) != 0)) {
                ::_exit(3);
            }
            ::setenv("XDG_STATE_HOME", state.constData(), 1);
            const auto error = realFileSystem().writeFile(file, "new text, longer than the old");
            if (expected.empty()) {
                ::_exit(error ? 1 : 0);
            }
            ::_exit(!error ? 1 : error->path != file ? 2 : error->reason != expected ? 4 : 0);
        }
        int status = -1;
        ::waitpid(child, &status, 0);
        ::chmod(top.constData(), 0700);
        ::chmod(folder.constData(), 0755);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0);

        struct stat after = {};
        QVERIFY(::stat(name.constData(), &after) == 0);
        QCOMPARE(contentsOf(target),
                 reason.isEmpty() ? QByteArray("new text, longer than the old") : "old text");
        QCOMPARE(after.st_uid, before.st_uid);
        QCOMPARE(after.st_gid, before.st_gid);
        QCOMPARE(after.st_mode, before.st_mode);
        QCOMPARE(after.st_nlink, before.st_nlink);
        if (kind == u"linked"_s) {
            QCOMPARE(after.st_ino, before.st_ino);
            QCOMPARE(contentsOf(path(u"folder/twin.txt"_s)), contentsOf(target));
        }
        QCOMPARE(entriesOf(path(u"folder"_s)), entries);
    }

    void outputFileWithoutCommitChangesNothing()
    {
        writeBytes(path(u"out.txt"_s), "old");
        {
            OutputFile file(pathOf(path(u"out.txt"_s)));
            QVERIFY(!file.error());
            QVERIFY(file.write("half of "));
            // The scratch file has no name yet, so nothing could leave it behind.
            QCOMPARE(entriesOf(dir_.path()), QStringList{u"out.txt"_s});
        }
        QCOMPARE(contentsOf(path(u"out.txt"_s)), QByteArray("old"));
        QCOMPARE(entriesOf(dir_.path()), QStringList{u"out.txt"_s});
    }

    void outputFileInBlocks()
    {
        const QByteArray bytes = randomBytes(1000003);
        OutputFile file(pathOf(path(u"blocks.txt"_s)));
        for (qsizetype at = 0; at < bytes.size(); at += 4096) {
            QVERIFY(file.write(std::string_view(
                bytes.constData() + at,
                static_cast<std::size_t>(std::min<qsizetype>(4096, bytes.size() - at)))));
        }
        QVERIFY(file.commit());
        QVERIFY(!file.error());
        QCOMPARE(contentsOf(path(u"blocks.txt"_s)), bytes);
        QVERIFY(!file.write("more"));
        QVERIFY(!file.commit());
        QCOMPARE(contentsOf(path(u"blocks.txt"_s)), bytes);
        QCOMPARE(entriesOf(dir_.path()), QStringList{u"blocks.txt"_s});
    }

    // A write with a progress is told of every block; stopped after any of them,
    // the old file stays whole, nothing is left beside it, and the write says it
    // was stopped, so that no one takes it for done.
    void writeWithProgress_data()
    {
        QTest::addColumn<int>("stopAfter"); // blocks told; 0: never stopped
        QTest::newRow("runs to the end") << 0;
        QTest::newRow("stopped after the first block") << 1;
        QTest::newRow("stopped after the last block") << 3;
    }
    void writeWithProgress()
    {
        QFETCH(int, stopAfter);
        writeBytes(path(u"out.txt"_s), "old");
        const QByteArray bytes = randomBytes((qsizetype{8} << 20) + 5);
        std::vector<std::size_t> told;
        WriteOptions options;
        options.progress = stoppingAfter(stopAfter, static_cast<std::size_t>(bytes.size()), told);
        const std::optional<FileError> error =
            files_.writeFile(pathOf(path(u"out.txt"_s)), bytes.toStdString(), options);
        QCOMPARE(error.has_value(), stopAfter != 0);
        if (error) {
            QVERIFY(error->stopped);
            QCOMPARE(error->path, pathOf(path(u"out.txt"_s)));
        }

        QCOMPARE(contentsOf(path(u"out.txt"_s)), stopAfter == 0 ? bytes : QByteArray("old"));
        QCOMPARE(entriesOf(dir_.path()), QStringList{u"out.txt"_s});
        QCOMPARE(static_cast<int>(told.size()), stopAfter == 0 ? 3 : stopAfter);
        QVERIFY(std::is_sorted(told.begin(), told.end()));
        if (stopAfter == 0) {
            QCOMPARE(told.back(), static_cast<std::size_t>(bytes.size()));
        }
    }

    // A read with a progress is told of every block, of the file's size; stopped
    // after any of them, it gives no bytes and no error.
    void readWithProgress_data() { writeWithProgress_data(); }
    void readWithProgress()
    {
        QFETCH(int, stopAfter);
        const QByteArray bytes = randomBytes((qsizetype{8} << 20) + 5);
        writeBytes(path(u"in.txt"_s), bytes);
        std::vector<std::size_t> told;
        ReadOptions options;
        options.progress = stoppingAfter(stopAfter, static_cast<std::size_t>(bytes.size()), told);
        const ReadResult read = files_.readFile(pathOf(path(u"in.txt"_s)), options);

        QVERIFY(!read.error);
        QCOMPARE(read.stopped, stopAfter != 0);
        QCOMPARE(QByteArray::fromStdString(read.bytes), stopAfter == 0 ? bytes : QByteArray());
        QCOMPARE(static_cast<int>(told.size()), stopAfter == 0 ? 3 : stopAfter);
        QVERIFY(std::is_sorted(told.begin(), told.end()));
    }

    // The rename itself fails: the target became a folder after the temporary file
    // was made.
    void failedRenameLeavesNothingBehind()
    {
        writeBytes(path(u"out.txt"_s), "old");
        OutputFile file(pathOf(path(u"out.txt"_s)));
        QVERIFY(!file.error());
        QVERIFY(QFile::remove(path(u"out.txt"_s)));
        QVERIFY(QDir(dir_.path()).mkdir(u"out.txt"_s));
        writeBytes(path(u"out.txt/inside.txt"_s), "inside");
        QVERIFY(file.write("new"));
        QVERIFY(!file.commit());
        QVERIFY(file.error());
        QCOMPARE(file.error()->path, pathOf(path(u"out.txt"_s)));
        QCOMPARE(file.error()->reason, std::string("Is a directory"));
        QVERIFY(!file.write("more"));
        QCOMPARE(entriesOf(dir_.path()), QStringList{u"out.txt"_s});
        QCOMPARE(entriesOf(path(u"out.txt"_s)), QStringList{u"inside.txt"_s});
        QCOMPARE(contentsOf(path(u"out.txt/inside.txt"_s)), QByteArray("inside"));
    }

    void outputFileThatCannotStartRefusesWrites()
    {
        writeBytes(path(u"plain"_s), "plain");
        OutputFile file(pathOf(path(u"plain/x.txt"_s)));
        QVERIFY(file.error());
        QVERIFY(!file.write("x"));
        QVERIFY(!file.commit());
        QCOMPARE(entriesOf(dir_.path()), QStringList{u"plain"_s});
    }

    void createIfMissing()
    {
        QVERIFY(!files_.createIfMissing(pathOf(path(u"made.ini"_s))));
        QVERIFY(QFileInfo::exists(path(u"made.ini"_s)));
        QCOMPARE(contentsOf(path(u"made.ini"_s)), QByteArray());

        writeBytes(path(u"kept.ini"_s), "key=x\r\n");
        QVERIFY(!files_.createIfMissing(pathOf(path(u"kept.ini"_s))));
        QCOMPARE(contentsOf(path(u"kept.ini"_s)), QByteArray("key=x\r\n"));

        const auto error = files_.createIfMissing(pathOf(path(u"none/made.ini"_s)));
        QVERIFY(error);
        QCOMPARE(error->path, pathOf(path(u"none/made.ini"_s)));
        QCOMPARE(error->reason, std::string("No such file or directory"));
    }

    // A new file is made in one step that fails when anything is at its name, so
    // that a link put there, before or between a look and the create, is never
    // created through: nothing appears where it points. What is there counts as
    // the file when it opens for writing.
    void createIfMissingCreatesThroughNoLink_data()
    {
        QTest::addColumn<QString>("there");  // what is at the name
        QTest::addColumn<bool>("meanwhile"); // put there just before the create
        QTest::addColumn<QString>("reason"); // empty: success
        for (const bool meanwhile : {false, true}) {
            const char *when = meanwhile ? "put there meanwhile" : "there before";
            QTest::addRow("a link to nothing, %s", when)
                << "dangling link" << meanwhile << "No such file or directory";
            QTest::addRow("a link to a file, %s", when) << "link" << meanwhile << "";
            QTest::addRow("a file, %s", when) << "file" << meanwhile << "";
        }
    }
    void createIfMissingCreatesThroughNoLink()
    {
        QFETCH(QString, there);
        QFETCH(bool, meanwhile);
        QFETCH(QString, reason);
        const QString name = path(u"Lorimand.ini"_s);
        const QString target = path(u"target.ini"_s);
        const auto plant = [&] {
            if (there == u"file"_s) {
                writeBytes(name, "key=x\r\n");
            } else {
                if (there == u"link"_s) {
                    writeBytes(target, "key=x\r\n");
                }
                QVERIFY(QFile::link(target, name));
            }
        };
        FaultyCalls calls;
        if (meanwhile) {
            calls.beforeOpen = [&](const char *opened, int flags) {
                if ((flags & O_CREAT) != 0 && pathOf(name) == opened) {
                    plant();
                }
            };
        } else {
            plant();
        }

        const auto error =
            fileSystemOver(calls)->createIfMissing(pathOf(name), NewFileAccess::OwnerOnly);
        QCOMPARE(error ? QString::fromStdString(error->reason) : QString(), reason);
        QCOMPARE(QFileInfo::exists(target), there == u"link"_s);
        QCOMPARE(contentsOf(there == u"file"_s ? name : target),
                 there == u"dangling link"_s ? QByteArray("<unreadable>") : "key=x\r\n");
    }

    void removeFile()
    {
        writeBytes(path(u"gone.tmp"_s), "x");
        QVERIFY(!files_.removeFile(pathOf(path(u"gone.tmp"_s))));
        QVERIFY(!QFileInfo::exists(path(u"gone.tmp"_s)));
        QVERIFY(!files_.removeFile(pathOf(path(u"gone.tmp"_s))));
        writeBytes(path(u"plain"_s), "x");
        const auto error = files_.removeFile(pathOf(path(u"plain/x"_s)));
        QVERIFY(error);
        QCOMPARE(error->reason, std::string("Not a directory"));
    }

    void listFilesSkipsFoldersAndHiddenFiles()
    {
        writeBytes(path(u"Latin.sbt"_s), "65=66");
        writeBytes(path(u"Greek.sbt"_s), "");
        writeBytes(path(u"notes.txt"_s), "");
        writeBytes(path(u".hidden.sbt"_s), "");
        writeBytes(path(u"upper.SBT"_s), "");
        writeBytes(path(u"sbt"_s), "");
        QVERIFY(QDir(dir_.path()).mkdir(u"folder.sbt"_s));
        QVERIFY(QFile::link(path(u"Latin.sbt"_s), path(u"linked.sbt"_s)));
        QVERIFY(QFile::link(path(u"folder.sbt"_s), path(u"linkedfolder.sbt"_s)));

        std::vector<std::string> names = files_.listFiles(pathOf(dir_.path()), ".sbt");
        std::sort(names.begin(), names.end());
        QCOMPARE(names, (std::vector<std::string>{"Greek.sbt", "Latin.sbt", "linked.sbt"}));

        QVERIFY(files_.listFiles(pathOf(path(u"missing"_s)), ".sbt").empty());
    }

    // Every fault behind the file layer: the message names the file given and the
    // reason in plain words, the old file stays whole, and no scratch file is left.
    void faultsLeaveTheOldFileWhole_data()
    {
        using Call = FaultyCalls::Call;
        QTest::addColumn<Call>("call");
        QTest::addColumn<int>("error");
        QTest::addColumn<int>("after");
        QTest::addColumn<bool>("named");  // a file system without unnamed files
        QTest::addColumn<bool>("linked"); // a hard-linked file, written in place
        QTest::addColumn<QString>("scratch");
        QTest::addColumn<QString>("reason");
        const QString none;
        QTest::newRow("open") << Call::Open << EACCES << 0 << false << false << none
                              << "Permission denied";
        QTest::newRow("disk full")
            << Call::Write << ENOSPC << 0 << false << false << none << "The disk is full";
        QTest::newRow("disk full halfway")
            << Call::Write << ENOSPC << 1 << false << false << none << "The disk is full";
        QTest::newRow("quota") << Call::Write << EDQUOT << 0 << false << false << none
                               << "The disk quota is used up";
        QTest::newRow("flush") << Call::Fsync << EIO << 0 << false << false << none
                               << "Input/output error";
        QTest::newRow("naming the scratch file")
            << Call::Link << EIO << 0 << false << false << none << "Input/output error";
        QTest::newRow("rename") << Call::Rename << EIO << 0 << false << false << none
                                << "Input/output error";
        QTest::newRow("named scratch, disk full")
            << Call::Write << ENOSPC << 0 << true << false << none << "The disk is full";
        QTest::newRow("named scratch, rename")
            << Call::Rename << EXDEV << 0 << true << false << none
            << "The file and its folder are on different disks";
        QTest::newRow("fixed scratch, rename")
            << Call::Rename << EIO << 0 << true << false << "Lorimand.tmp"
            << "Input/output error";
        QTest::newRow("fixed scratch cannot be cleared")
            << Call::Unlink << EACCES << 0 << true << false << "Lorimand.tmp"
            << "Permission denied";
        QTest::newRow("in place, disk full")
            << Call::Reserve << ENOSPC << 0 << false << true << none << "The disk is full";
        QTest::newRow("in place, held text cannot be written")
            << Call::Write << ENOSPC << 0 << false << true << none << "The disk is full";
    }
    void faultsLeaveTheOldFileWhole()
    {
        QFETCH(FaultyCalls::Call, call);
        QFETCH(int, error);
        QFETCH(int, after);
        QFETCH(bool, named);
        QFETCH(bool, linked);
        QFETCH(QString, scratch);
        QFETCH(QString, reason);
        const QByteArray old = randomBytes(300000);
        writeBytes(path(u"out.txt"_s), old);
        if (linked) {
            QVERIFY(::link(QFile::encodeName(path(u"out.txt"_s)).constData(),
                           QFile::encodeName(path(u"twin.txt"_s)).constData()) == 0);
        }
        const QStringList before = entriesOf(dir_.path());

        FaultyCalls calls;
        calls.failing = call;
        calls.error = error;
        calls.after = after;
        if (named) {
            calls.alsoFailing = FaultyCalls::Call::OpenUnnamed;
        }
        const std::unique_ptr<FileSystem> files = fileSystemOver(calls);
        const std::string target = pathOf(path(u"out.txt"_s));
        // Written in two pieces, so that a fault after the first one strikes halfway.
        OutputFile file(target, WriteOptions{scratch.toStdString()}, calls);
        const QByteArray text = randomBytes(200000).toHex();
        const bool written =
            file.write(std::string_view(text.constData(), 1000)) &&
            file.write(std::string_view(text.constData() + 1000,
                                        static_cast<std::size_t>(text.size() - 1000)));
        QVERIFY(!(written && file.commit()));
        QVERIFY(file.error());
        QCOMPARE(file.error()->path, target);
        QCOMPARE(QString::fromStdString(file.error()->reason), reason);
        QCOMPARE(entriesOf(dir_.path()), before);
        QVERIFY(contentsOf(path(u"out.txt"_s)) == old);

        // The same through the whole-file seam.
        const auto seamError =
            files->writeFile(target, text.toStdString(), WriteOptions{scratch.toStdString()});
        QVERIFY(seamError);
        QCOMPARE(QString::fromStdString(seamError->message()),
                 QString::fromStdString(target) + u": "_s + reason);
        QCOMPARE(entriesOf(dir_.path()), before);
        QVERIFY(contentsOf(path(u"out.txt"_s)) == old);
    }

    // Writing in place, a failure at any step leaves the old file whole, or its
    // journal in force, which the next read rolls back; the message names the
    // file. A hard-linked file's journal is in the state folder and found through
    // its other name too; another user's file's is beside it.
    void inPlaceFaultsLeaveTheOldFileOrItsJournal_data()
    {
        using Call = FaultyCalls::Call;
        QTest::addColumn<bool>("beside");
        QTest::addColumn<Call>("call");
        QTest::addColumn<int>("error");
        QTest::addColumn<int>("after");
        QTest::addColumn<bool>("once");
        QTest::addColumn<bool>("inJournal"); // the journal's calls fail, else the file's
        QTest::addColumn<bool>("journalLeft");
        QTest::addColumn<QString>("reason"); // JOURNAL stands for the journal's path
        const QString notMade =
            u"It is written in place, and its journal JOURNAL cannot be made: "_s;
        const QString left =
            u"; the file was being written in place, and its journal JOURNAL restores it when it "
            "is next read or written"_s;
        const QString notRemoved = u"Its journal JOURNAL cannot be removed: Input/output error"_s;
        for (const bool beside : {false, true}) {
            const auto row = [beside](const char *name) -> QTestData & {
                return QTest::addRow("%s, %s", beside ? "beside" : "state folder", name) << beside;
            };
            row("journal cannot be made") << Call::Open << EACCES << 0 << false << true << false
                                          << notMade + u"Permission denied"_s;
            row("journal, disk full") << Call::Write << ENOSPC << 1 << false << true << false
                                      << notMade + u"The disk is full"_s;
            row("journal cannot be flushed") << Call::Fsync << EIO << 0 << false << true << false
                                             << notMade + u"Input/output error"_s;
            row("journal cannot be marked") << Call::WriteAt << EIO << 0 << false << true << false
                                            << notMade + u"Input/output error"_s;
            row("writing in place fails once")
                << Call::WriteAt << EIO << 2 << true << false << false << u"Input/output error"_s;
            row("writing in place fails for good") << Call::WriteAt << EIO << 2 << false << false
                                                   << true << u"Input/output error"_s + left;
            row("final flush fails once")
                << Call::Fsync << EIO << 0 << true << false << false << u"Input/output error"_s;
            row("final flush fails for good") << Call::Fsync << EIO << 0 << false << false << true
                                              << u"Input/output error"_s + left;
            row("journal cannot be removed once")
                << Call::Unlink << EIO << 0 << true << true << false << notRemoved;
            row("journal cannot be removed for good")
                << Call::Unlink << EIO << 0 << false << true << true << notRemoved + left;
        }
    }
    void inPlaceFaultsLeaveTheOldFileOrItsJournal()
    {
        QFETCH(bool, beside);
        QFETCH(FaultyCalls::Call, call);
        QFETCH(int, error);
        QFETCH(int, after);
        QFETCH(bool, once);
        QFETCH(bool, inJournal);
        QFETCH(bool, journalLeft);
        QFETCH(QString, reason);
        const QString file = path(u"out.txt"_s);
        const QByteArray old = randomBytes(300000);
        writeBytes(file, old);
        FaultyCalls calls;
        QString readAs = file;
        if (beside) {
            // Another user's file: the new one cannot be given its owner, so the
            // file is written in place.
            if (::geteuid() != 0) {
                QSKIP("only the superuser can give a file to another user");
            }
            QVERIFY(::chown(QFile::encodeName(file).constData(), 65534, 65534) == 0);
            calls.alsoFailing = FaultyCalls::Call::Chown;
            calls.alsoError = EPERM;
        } else {
            readAs = path(u"twin.txt"_s);
            QVERIFY(::link(QFile::encodeName(file).constData(),
                           QFile::encodeName(readAs).constData()) == 0);
        }
        const QString journal =
            beside ? journalBeside(file) : journalInStateFolder(stateHome(), file);
        const QStringList before = entriesOf(dir_.path());
        calls.failing = call;
        calls.error = error;
        calls.after = after;
        calls.once = once;
        calls.chunk = 65536;
        calls.onlyFile = pathOf(inJournal ? journal : file);

        const QByteArray text = randomBytes(200000).toHex();
        const auto failure = fileSystemOver(calls)->writeFile(pathOf(file), text.toStdString());
        QVERIFY(failure);
        QCOMPARE(failure->path, pathOf(file));
        QCOMPARE(QString::fromStdString(failure->reason),
                 QString(reason).replace(u"JOURNAL"_s, journal));
        QCOMPARE(QFileInfo::exists(journal), journalLeft);
        if (!journalLeft) {
            QVERIFY(contentsOf(file) == old);
            QCOMPARE(entriesOf(dir_.path()), before);
        }

        const ReadResult read = files_.readFile(pathOf(readAs));
        QVERIFY(!read.error);
        QCOMPARE(read.restored, journalLeft);
        QVERIFY(QByteArray::fromStdString(read.bytes) == old);
        QVERIFY(!QFileInfo::exists(journal));
        QCOMPARE(entriesOf(dir_.path()), before);
    }

    // A journal a kill left in force is rolled back before the file is next read
    // or written, whichever way, and the caller is told.
    void leftJournalIsRolledBack_data()
    {
        QTest::addColumn<QString>("way");
        QTest::newRow("read whole") << "read";
        QTest::newRow("read in blocks") << "input";
        QTest::newRow("read through the other link") << "twin";
        QTest::newRow("written") << "write";
    }
    void leftJournalIsRolledBack()
    {
        QFETCH(QString, way);
        const QString file = path(u"out.txt"_s);
        const QByteArray old = randomBytes(300000);
        writeBytes(file, old);
        QVERIFY(::link(QFile::encodeName(file).constData(),
                       QFile::encodeName(path(u"twin.txt"_s)).constData()) == 0);
        const QString journal = journalInStateFolder(stateHome(), file);
        QVERIFY(leaveInterruptedWrite(file, randomBytes(400000, 9)));
        QVERIFY(QFileInfo::exists(journal));

        const std::string target = pathOf(way == u"twin"_s ? path(u"twin.txt"_s) : file);
        if (way == u"write"_s) {
            OutputFile output(target);
            QVERIFY(output.restored());
            QVERIFY(!QFileInfo::exists(journal));
            QVERIFY(contentsOf(file) == old);
            QVERIFY(output.write("new"));
            QVERIFY(output.commit());
            QCOMPARE(contentsOf(path(u"twin.txt"_s)), QByteArray("new"));
        } else if (way == u"input"_s) {
            InputFile input(target);
            QVERIFY(!input.error());
            QVERIFY(input.restored());
            QByteArray got;
            char buffer[65536];
            while (const std::size_t size = input.read(buffer, sizeof buffer)) {
                got.append(buffer, static_cast<qsizetype>(size));
            }
            QVERIFY(got == old);
        } else {
            const ReadResult read = files_.readFile(target);
            QVERIFY(!read.error);
            QVERIFY(read.restored);
            QVERIFY(QByteArray::fromStdString(read.bytes) == old);
        }
        QVERIFY(!QFileInfo::exists(journal));
        QCOMPARE(entriesOf(dir_.path()), (QStringList{u"out.txt"_s, u"twin.txt"_s}));
        QCOMPARE(entriesOf(stateHome() + u"/lorimand"_s), QStringList{});
        // Once rolled back, it is gone: the next read is told of nothing.
        QVERIFY(!files_.readFile(pathOf(file)).restored);
    }

    // A journal that is not one to roll back is left alone, or removed when it
    // is of no use; the file is read as it stands.
    void journalsNotToRollBack_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("removed");
        QTest::newRow("another user's") << "foreign" << false;
        QTest::newRow("never put in force") << "unmarked" << true;
        QTest::newRow("its file replaced since") << "replaced" << true;
    }
    void journalsNotToRollBack()
    {
        QFETCH(QString, kind);
        QFETCH(bool, removed);
        const QString file = path(u"out.txt"_s);
        writeBytes(file, randomBytes(300000));
        QVERIFY(::link(QFile::encodeName(file).constData(),
                       QFile::encodeName(path(u"twin.txt"_s)).constData()) == 0);
        const QString journal = journalInStateFolder(stateHome(), file);
        QVERIFY(leaveInterruptedWrite(file, randomBytes(400000, 9)));
        const QByteArray journalBytes = QFile::encodeName(journal);
        if (kind == u"foreign"_s) {
            if (::geteuid() != 0) {
                QSKIP("only the superuser can give a file to another user");
            }
            QVERIFY(::chown(journalBytes.constData(), 65534, 65534) == 0);
        } else if (kind == u"unmarked"_s) {
            QFile opened(journal);
            QVERIFY(opened.open(QIODevice::ReadWrite));
            QVERIFY(opened.write(QByteArray(16, '\0')) == 16);
        } else {
            // Replaced whole: the journal's inode is no longer at its path.
            QVERIFY(QFile::remove(file));
            writeBytes(file, randomBytes(1000, 3));
            QVERIFY(::link(QFile::encodeName(file).constData(),
                           QFile::encodeName(path(u"twin2.txt"_s)).constData()) == 0);
            // The new file's inode may be the old one's again.
            QVERIFY(QFile::rename(journal, journalInStateFolder(stateHome(), file)) ||
                    journal == journalInStateFolder(stateHome(), file));
        }
        const QString found = journalInStateFolder(stateHome(), file);
        const QByteArray before = contentsOf(file);

        const ReadResult read = files_.readFile(pathOf(file));
        QVERIFY(!read.error);
        QVERIFY(!read.restored);
        QVERIFY(QByteArray::fromStdString(read.bytes) == before);
        QCOMPARE(QFileInfo::exists(found), !removed);
    }

    void readFaults_data()
    {
        using Call = FaultyCalls::Call;
        QTest::addColumn<Call>("call");
        QTest::addColumn<int>("error");
        QTest::addColumn<int>("after");
        QTest::addColumn<QString>("reason");
        QTest::newRow("vanished before the read")
            << Call::Open << ENOENT << 0 << "No such file or directory";
        QTest::newRow("no permission") << Call::Open << EACCES << 0 << "Permission denied";
        QTest::newRow("read error at once") << Call::Read << EIO << 0 << "Input/output error";
        QTest::newRow("read error halfway") << Call::Read << EIO << 1 << "Input/output error";
    }
    void readFaults()
    {
        QFETCH(FaultyCalls::Call, call);
        QFETCH(int, error);
        QFETCH(int, after);
        QFETCH(QString, reason);
        // Growing while it is read, so that a first read cannot take it all.
        writeBytes(path(u"in.txt"_s), randomBytes(100000));
        FaultyCalls calls;
        calls.failing = call;
        calls.error = error;
        calls.after = after;
        const std::string target = pathOf(path(u"in.txt"_s));
        const std::unique_ptr<FileSystem> files = fileSystemOver(calls);
        const ReadResult result = files->readFile(target);
        QVERIFY(result.error);
        QCOMPARE(result.error->path, target);
        QCOMPARE(QString::fromStdString(result.error->reason), reason);
        QVERIFY(result.bytes.empty());
    }

    // A scratch file that a killed run left under the layer's hidden name is
    // removed by the next read or write of its file; one of a running process,
    // another user's and another file's are not.
    void staleScratchFilesAreRemoved_data()
    {
        QTest::addColumn<bool>("write");
        QTest::newRow("by a write") << true;
        QTest::newRow("by a read") << false;
    }
    void staleScratchFilesAreRemoved()
    {
        QFETCH(bool, write);
        const pid_t gone = ::fork();
        if (gone == 0) {
            ::_exit(0);
        }
        ::waitpid(gone, nullptr, 0);
        const QString stale = u".out.txt.lorimand-"_s + QString::number(gone) + u"-abcdef"_s;
        const QString live = u".out.txt.lorimand-"_s + QString::number(::getpid()) + u"-ghijkl"_s;
        const QString other = u".other.txt.lorimand-"_s + QString::number(gone) + u"-mnopqr"_s;
        const QString foreign = u".out.txt.lorimand-"_s + QString::number(gone) + u"-stuvwx"_s;
        writeBytes(path(u"out.txt"_s), "old");
        for (const QString &name : {stale, live, other, foreign}) {
            writeBytes(path(name), "left by a run");
        }
        QStringList kept{live, other, foreign, u"out.txt"_s};
        if (::geteuid() != 0 ||
            ::chown(QFile::encodeName(path(foreign)).constData(), 65534, 65534) != 0) {
            kept.removeOne(foreign);
        }
        kept.sort();
        if (write) {
            QVERIFY(!files_.writeFile(pathOf(path(u"out.txt"_s)), "new"));
        } else {
            QVERIFY(!files_.readFile(pathOf(path(u"out.txt"_s))).error);
        }
        QCOMPARE(contentsOf(path(u"out.txt"_s)), write ? QByteArray("new") : QByteArray("old"));
        QCOMPARE(entriesOf(dir_.path()), kept);
    }

    // Killed at any moment while saving, the file is the old text or the new one,
    // whole. The scratch file has a name only for the moment between linking it
    // and renaming it; one a kill leaves there is gone after the next save.
    void killedSavesLeaveOldOrNewWhole_data()
    {
        QTest::addColumn<QString>("scratch");
        QTest::newRow("hidden scratch") << QString();
        QTest::newRow("fixed scratch name") << "Lorimand.tmp";
    }
    void killedSavesLeaveOldOrNewWhole()
    {
        QFETCH(QString, scratch);
        const QByteArray first = QByteArray(400000, 'a');
        const QByteArray second = QByteArray(300000, 'b');
        writeBytes(path(u"out.txt"_s), first);
        const std::string target = pathOf(path(u"out.txt"_s));
        const WriteOptions options{scratch.toStdString()};
        QRandomGenerator random(7);
        for (int round = 0; round < 40; ++round) {
            const pid_t child = ::fork();
            if (child == 0) {
                for (int i = 0;; ++i) {
                    const QByteArray &text = i % 2 == 0 ? second : first;
                    (void)realFileSystem().writeFile(
                        target,
                        std::string_view(text.constData(), static_cast<std::size_t>(text.size())),
                        options);
                }
            }
            ::usleep(static_cast<useconds_t>(random.bounded(20000)));
            ::kill(child, SIGKILL);
            ::waitpid(child, nullptr, 0);
            const QByteArray now = contentsOf(path(u"out.txt"_s));
            QVERIFY2(now == first || now == second, qPrintable(QString::number(now.size())));
            QVERIFY(!realFileSystem().writeFile(
                target, std::string_view(first.constData(), static_cast<std::size_t>(first.size())),
                options));
            QCOMPARE(entriesOf(dir_.path()), QStringList{u"out.txt"_s});
        }
    }

    // A link that another user made in a folder anyone may write to (sticky, like
    // /tmp) is not followed when writing, as the kernel's rule for protected links.
    void protectedLinkIsNotFollowed()
    {
        if (::geteuid() != 0) {
            QSKIP("only the superuser can make a link that belongs to another user");
        }
        QVERIFY(QDir(dir_.path()).mkdir(u"shared"_s));
        const QByteArray shared = QFile::encodeName(path(u"shared"_s));
        QVERIFY(::chmod(shared.constData(), 01777) == 0);
        writeBytes(path(u"victim.txt"_s), "root's own");
        const QByteArray link = QFile::encodeName(path(u"shared/out.txt"_s));
        QVERIFY(::symlink(QFile::encodeName(path(u"victim.txt"_s)).constData(), link.constData()) ==
                0);
        QVERIFY(::lchown(link.constData(), 65534, 65534) == 0);

        const auto error = files_.writeFile(link.toStdString(), "replaced");
        QVERIFY(error);
        QCOMPARE(error->path, link.toStdString());
        QVERIFY2(error->reason.find("not followed") != std::string::npos, error->reason.c_str());
        QCOMPARE(contentsOf(path(u"victim.txt"_s)), QByteArray("root's own"));
        QCOMPARE(kindOf(path(u"shared/out.txt"_s)), mode_t(S_IFLNK));

        // The user's own link there is followed.
        QVERIFY(::lchown(link.constData(), 0, 0) == 0);
        QVERIFY(!files_.writeFile(link.toStdString(), "replaced"));
        QCOMPARE(contentsOf(path(u"victim.txt"_s)), QByteArray("replaced"));
    }

    // Small files are read with a bound, and a device, pipe or folder is refused
    // at once rather than waited on or read without end.
    void boundedAndSpecialReads_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<bool>("firstLine");
        QTest::addColumn<QByteArray>("expected");
        QTest::addColumn<QString>("reason"); // empty: read
        const QByteArray none;
        QTest::newRow("within the bound")
            << "f" << QByteArray(64, 'x') << false << QByteArray(64, 'x') << QString();
        QTest::newRow("over the bound") << "f" << QByteArray(65, 'x') << false << none
                                        << "It is larger than 64 bytes, too large for what it "
                                           "is read for";
        QTest::newRow("first line, LF")
            << "f" << QByteArray("key\nrest") << true << QByteArray("key") << QString();
        QTest::newRow("first line, CR LF, rest beyond the bound")
            << "f"
            << "key\r\n" + QByteArray(1000, 'x') << true << QByteArray("key") << QString();
        QTest::newRow("first line, no line end")
            << "f" << QByteArray("key") << true << QByteArray("key") << QString();
        QTest::newRow("first line too long") << "f" << QByteArray(100, 'x') << true << none
                                             << "Its first line is longer than 64 bytes";
        QTest::newRow("pipe") << "fifo" << none << false << none
                              << "It is a pipe, not an ordinary file";
        QTest::newRow("device") << "/dev/zero" << none << true << none
                                << "It is a device, not an ordinary file";
        QTest::newRow("folder") << "folder" << none << false << none << "Is a directory";
    }
    void boundedAndSpecialReads()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, contents);
        QFETCH(bool, firstLine);
        QFETCH(QByteArray, expected);
        QFETCH(QString, reason);
        QVERIFY(QDir(dir_.path()).mkdir(u"folder"_s));
        QVERIFY(::mkfifo(QFile::encodeName(path(u"fifo"_s)).constData(), 0600) == 0);
        writeBytes(path(u"f"_s), contents);
        const std::string target = pathOf(name.startsWith(u'/') ? name : path(name));
        const ReadResult result = files_.readFile(target, ReadOptions{64, firstLine});
        if (reason.isEmpty()) {
            QVERIFY(!result.error);
            QCOMPARE(QByteArray::fromStdString(result.bytes), expected);
        } else {
            QVERIFY(result.error);
            QCOMPARE(result.error->path, target);
            QCOMPARE(QString::fromStdString(result.error->reason), reason);
            QCOMPARE(result.error->tooLarge,
                     reason.contains(u"larger"_s) || reason.contains(u"longer"_s));
        }
    }

    // Probing the scratch file's place never follows a link there: a dangling link
    // creates nothing where it points.
    void probeCreateFollowsNoLink()
    {
        QVERIFY(QFile::link(path(u"elsewhere.txt"_s), path(u"Lorimand.tmp"_s)));
        QVERIFY(!files_.probeCreate(pathOf(path(u"Lorimand.tmp"_s))));
        QCOMPARE(entriesOf(dir_.path()), QStringList{});
        QVERIFY(QDir(dir_.path()).mkdir(u"folder"_s));
        QVERIFY(files_.probeCreate(pathOf(path(u"folder"_s))));
    }

    void inputFileReadsInBlocks()
    {
        const QByteArray bytes = randomBytes(100000);
        writeBytes(path(u"in.bin"_s), bytes);
        InputFile file(pathOf(path(u"in.bin"_s)));
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
        QVERIFY(QDir(dir_.path()).mkdir(u"folder"_s));
        writeBytes(path(u"plain"_s), "x");
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

// Tests of the journals of in-place writes when the world around them is not as
// the writer left it: a name swapped between the look and the open, a state
// folder that is not the user's alone, a file changed by another program since a
// kill, a write still going on, and a close that fails after the commit.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <thread>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include "bytes.h"
#include "engine/descriptor.h"
#include "engine/files.h"
#include "engine/outputfile.h"
#include "faultycalls.h"
#include "journals.h"

using namespace Qt::StringLiterals;

using namespace lorimand;
using namespace lorimand::test;

namespace {

// Another user, as the tests run as root: the owner given to planted entries.
constexpr uid_t kOtherUser = 65534;

bool isRoot()
{
    return ::geteuid() == 0;
}

QByteArray nameOf(const QString &path)
{
    return QFile::encodeName(path);
}

int modeOf(const QString &path)
{
    struct stat info = {};
    return ::lstat(nameOf(path).constData(), &info) == 0 ? static_cast<int>(info.st_mode & 07777)
                                                         : -1;
}

// Replaces a file's bytes in place, as `cp` or `printf ... >` do: same inode.
void overwrite(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes) != bytes.size()) {
        qFatal("cannot overwrite %s", qPrintable(path));
    }
}

// A journal as the earlier versions wrote it: a header with the file's device,
// inode, old length and path length, the path, then the old bytes; no hashes.
QByteArray earlierJournal(const QString &file, const QByteArray &old)
{
    struct stat info = {};
    if (::stat(nameOf(file).constData(), &info) != 0) {
        qFatal("no file %s", qPrintable(file));
    }
    const QByteArray path = nameOf(QFileInfo(file).canonicalFilePath());
    QByteArray journal("lorimand-jrnl-1\n");
    for (const std::uint64_t field :
         {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
          static_cast<std::uint64_t>(old.size()), static_cast<std::uint64_t>(path.size())}) {
        journal.append(reinterpret_cast<const char *>(&field), sizeof field);
    }
    return journal + path + old;
}

// Restores XDG_STATE_HOME when a test that changed it ends, however it ends.
class StateHomeGuard
{
public:
    explicit StateHomeGuard(QByteArray saved) : saved_(std::move(saved)) {}
    ~StateHomeGuard() { qputenv("XDG_STATE_HOME", saved_); }
    StateHomeGuard(const StateHomeGuard &) = delete;
    StateHomeGuard &operator=(const StateHomeGuard &) = delete;

private:
    QByteArray saved_;
};

} // namespace

class TestJournal : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir_;
    QTemporaryDir stateHome_;
    FileSystem &files_ = realFileSystem();
    // Every link resolved, as the journals name their files.
    QString folder() const { return QFileInfo(dir_.path()).canonicalFilePath(); }
    QString path(const QString &name) const { return folder() + u'/' + name; }
    QString stateHome() const { return QFileInfo(stateHome_.path()).canonicalFilePath(); }

    // out.txt holding old, with a second name (so that its journal is in the
    // state folder), after a write of text over it that stopped halfway.
    bool interruptedWrite(const QByteArray &old, const QByteArray &text)
    {
        writeBytes(path(u"out.txt"_s), old);
        return ::link(nameOf(path(u"out.txt"_s)).constData(),
                      nameOf(path(u"twin.txt"_s)).constData()) == 0 &&
               leaveInterruptedWrite(path(u"out.txt"_s), text) &&
               QFileInfo::exists(journalInStateFolder(stateHome(), path(u"out.txt"_s)));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        QVERIFY(stateHome_.isValid());
        qputenv("XDG_STATE_HOME", nameOf(stateHome()));
    }

    void init()
    {
        QVERIFY(QDir(stateHome() + u"/lorimand"_s).removeRecursively());
        for (const QString &name : entriesOf(folder())) {
            const QString full = path(name);
            ::chmod(nameOf(full).constData(), 0700);
            if (QFileInfo(full).isDir() && !QFileInfo(full).isSymLink()) {
                QVERIFY(QDir(full).removeRecursively());
            } else {
                QVERIFY(QFile::remove(full));
            }
        }
    }

    // A journal is judged as opened, not by its name: swapped between the look at
    // its name and the open (as another user in a shared folder can, with
    // renameat2's exchange, over and over) for a journal that would put that
    // user's bytes into the file, it is left alone and the file read as it is.
    void journalIsTrustedAsOpened_data()
    {
        QTest::addColumn<QString>("swappedIn"); // empty: the journal itself, no swap
        QTest::addColumn<bool>("rolledBack");
        QTest::newRow("no swap: the user's own journal") << "" << true;
        QTest::newRow("another user's journal") << "another user's" << false;
        QTest::newRow("a journal with a second name") << "linked" << false;
        QTest::newRow("a journal others may read") << "readable" << false;
        QTest::newRow("the user's own, not the file looked at") << "own" << false;
    }
    void journalIsTrustedAsOpened()
    {
        QFETCH(QString, swappedIn);
        QFETCH(bool, rolledBack);
        if (swappedIn == u"another user's"_s && !isRoot()) {
            QSKIP("only the superuser can give a file to another user");
        }
        const QString file = path(u"private.txt"_s);
        const QByteArray planted = QByteArray("ATTACKER BYTES\n").repeated(2000);
        const QByteArray secret = randomBytes(40000, 4);
        // A journal whose old text is the planted one, of this very file, which
        // then holds the new text whole: rolling it back would plant those bytes.
        writeBytes(file, planted);
        QVERIFY(::link(nameOf(file).constData(), nameOf(path(u"twin"_s)).constData()) == 0);
        QVERIFY(leaveInterruptedWrite(file, secret));
        overwrite(file, secret);
        const QString made = journalInStateFolder(stateHome(), file);
        QVERIFY(QFile::remove(path(u"twin"_s)));
        const QString journal = journalBeside(file);
        const QString spare = path(u"spare"_s);
        QVERIFY(QFile::rename(made, spare));
        if (swappedIn == u"another user's"_s) {
            QVERIFY(::chown(nameOf(spare).constData(), kOtherUser, kOtherUser) == 0);
        } else if (swappedIn == u"linked"_s) {
            QVERIFY(::link(nameOf(spare).constData(), nameOf(path(u"spare2"_s)).constData()) == 0);
        } else if (swappedIn == u"readable"_s) {
            QVERIFY(::chmod(nameOf(spare).constData(), 0644) == 0);
        }
        FaultyCalls calls;
        bool swapped = false;
        if (swappedIn.isEmpty()) {
            QVERIFY(QFile::rename(spare, journal));
        } else {
            // What the name holds when it is looked at: a harmless file of the user's.
            writeBytes(journal, "a file of the user's");
            QVERIFY(::chmod(nameOf(journal).constData(), 0600) == 0);
            calls.beforeOpen = [&](const char *opened, int) {
                if (!swapped && pathOf(journal) == opened) {
                    swapped = ::renameat2(AT_FDCWD, nameOf(journal).constData(), AT_FDCWD,
                                          nameOf(spare).constData(), RENAME_EXCHANGE) == 0;
                }
            };
        }

        const ReadResult read = fileSystemOver(calls)->readFile(pathOf(file));
        QVERIFY(!read.error);
        QCOMPARE(swapped, !swappedIn.isEmpty());
        QCOMPARE(read.restored, rolledBack);
        QVERIFY(QByteArray::fromStdString(read.bytes) == (rolledBack ? planted : secret));
        QVERIFY(contentsOf(file) == (rolledBack ? planted : secret));
        // What was swapped in is neither used nor removed.
        QCOMPARE(QFileInfo::exists(journal), !rolledBack);
        QVERIFY(read.oldTextKeptIn.empty());
    }

    // The state folder holds journals that say what to write into the user's
    // files, so it must be the user's alone, and so must be the way to it: else
    // the write that needs it is refused, the file left whole, and the message
    // names the folder and why. Nothing goes anywhere else instead.
    void stateFolderMustBeTheUsersAlone_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("refusal"); // STATE stands for $XDG_STATE_HOME; empty: used
        QTest::newRow("missing: made for the user alone") << "missing"
                                                          << "";
        QTest::newRow("the user's alone") << "own"
                                          << "";
        QTest::newRow("XDG_STATE_HOME sticky and open to all, as /tmp") << "sticky above"
                                                                        << "";
        QTest::newRow("open to other users")
            << "open"
            << "The folder STATE/lorimand is open to other users (mode 0755); it must "
               "be yours alone (mode 0700)";
        QTest::newRow("a link to a folder of the user's")
            << "link"
            << "STATE/lorimand is a link, not a folder";
        QTest::newRow("a file") << "file"
                                << "STATE/lorimand is not a folder";
        QTest::newRow("another user's") << "another user's"
                                        << "The folder STATE/lorimand is another user's";
        QTest::newRow("XDG_STATE_HOME open to every user")
            << "open above"
            << "The folder STATE may be changed by every user";
        QTest::newRow("XDG_STATE_HOME another user's") << "another user's above"
                                                       << "The folder STATE is another user's";
        QTest::newRow("XDG_STATE_HOME a link to another user's folder")
            << "link to another user's above"
            << "The folder STATE is another user's";
    }
    void stateFolderMustBeTheUsersAlone()
    {
        QFETCH(QString, kind);
        QFETCH(QString, refusal);
        if (kind.startsWith(u"another user's"_s) || kind.startsWith(u"link to another"_s)) {
            if (!isRoot()) {
                QSKIP("only the superuser can give a folder to another user");
            }
        }
        const StateHomeGuard guard(qgetenv("XDG_STATE_HOME"));
        const QString state = path(u"state"_s);
        QVERIFY(QDir().mkdir(state));
        QVERIFY(::chmod(nameOf(state).constData(), 0700) == 0);
        const QString own = state + u"/lorimand"_s;
        const QByteArray ownName = nameOf(own);
        if (kind == u"own"_s || kind == u"open"_s || kind == u"another user's"_s) {
            QVERIFY(::mkdir(ownName.constData(), 0700) == 0);
            QVERIFY(::chmod(ownName.constData(), kind == u"open"_s ? 0755 : 0700) == 0);
            QVERIFY(kind != u"another user's"_s ||
                    ::chown(ownName.constData(), kOtherUser, kOtherUser) == 0);
        } else if (kind == u"link"_s) {
            QVERIFY(QDir().mkdir(path(u"elsewhere"_s)));
            QVERIFY(::chmod(nameOf(path(u"elsewhere"_s)).constData(), 0700) == 0);
            QVERIFY(QFile::link(path(u"elsewhere"_s), own));
        } else if (kind == u"file"_s) {
            writeBytes(own, "");
        } else if (kind == u"sticky above"_s || kind == u"open above"_s) {
            QVERIFY(::chmod(nameOf(state).constData(), kind == u"sticky above"_s ? 01777 : 0777) ==
                    0);
        } else if (kind == u"another user's above"_s) {
            QVERIFY(::chown(nameOf(state).constData(), kOtherUser, kOtherUser) == 0);
            QVERIFY(::chmod(nameOf(state).constData(), 0777) == 0);
        } else if (kind == u"link to another user's above"_s) {
            QVERIFY(::chown(nameOf(state).constData(), kOtherUser, kOtherUser) == 0);
            QVERIFY(::chmod(nameOf(state).constData(), 0777) == 0);
            QVERIFY(QFile::link(state, path(u"state link"_s)));
            qputenv("XDG_STATE_HOME", nameOf(path(u"state link"_s)));
        }
        if (kind != u"link to another user's above"_s) {
            qputenv("XDG_STATE_HOME", nameOf(state));
        }
        QVERIFY(QDir().mkdir(path(u"files"_s)));
        const QString file = path(u"files/out.txt"_s);
        writeBytes(file, "old text");
        QVERIFY(::link(nameOf(file).constData(), nameOf(path(u"files/twin.txt"_s)).constData()) ==
                0);
        const QStringList stateBefore = entriesOf(state);

        const auto error = files_.writeFile(pathOf(file), "new text, longer than the old");
        if (refusal.isEmpty()) {
            QVERIFY2(!error, error ? error->reason.c_str() : "");
            QCOMPARE(contentsOf(path(u"files/twin.txt"_s)),
                     QByteArray("new text, longer than the old"));
            QCOMPARE(modeOf(own), 0700);
            QCOMPARE(entriesOf(own), QStringList{});
            return;
        }
        QVERIFY(error);
        QCOMPARE(error->path, pathOf(file));
        const QString reason = QString::fromStdString(error->reason);
        const QString expected = QString(refusal).replace(u"STATE"_s, state);
        QVERIFY2(reason.startsWith(u"It is written in place, and its journal "_s) &&
                     reason.endsWith(u" cannot be made: "_s + expected),
                 qPrintable(reason));
        QCOMPARE(contentsOf(file), QByteArray("old text"));
        QCOMPARE(entriesOf(path(u"files"_s)), (QStringList{u"out.txt"_s, u"twin.txt"_s}));
        QCOMPARE(entriesOf(state), stateBefore);
        if (kind != u"file"_s) {
            QCOMPARE(QDir(own).entryList(QDir::Files | QDir::Hidden), QStringList{});
        }
    }

    // A journal left by a kill is rolled back only where the file holds, block by
    // block, the old text or the new one: what that write (or its rollback) can
    // have left, through any of its names. A file changed since by another
    // program is kept as it is, and the old text is put beside it, under a name
    // not taken, for the user only; the journal goes, and the read says so.
    void changedFileIsKeptWithItsOldText_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("readAs");
        QTest::addColumn<QString>("keptAs"); // where the old text goes; empty: rolled back
        QTest::newRow("torn, the written name removed, read through the other")
            << "written name removed"
            << "twin.txt"
            << "";
        QTest::newRow("the new text written whole before the kill") << "all new"
                                                                    << "out.txt"
                                                                    << "";
        QTest::newRow("overwritten since, as by cp") << "cp"
                                                     << "out.txt"
                                                     << "out.txt.lorimand-old";
        QTest::newRow("truncated and written since, as by printf >") << "printf"
                                                                     << "out.txt"
                                                                     << "out.txt.lorimand-old";
        QTest::newRow("added to since, as by >>") << "append"
                                                  << "out.txt"
                                                  << "out.txt.lorimand-old";
        QTest::newRow("changed since through the other name") << "changed through twin"
                                                              << "twin.txt"
                                                              << "twin.txt.lorimand-old";
        QTest::newRow("removed and made again with the same inode") << "same inode"
                                                                    << "out.txt"
                                                                    << "out.txt.lorimand-old";
        QTest::newRow("replaced whole at its path") << "replaced"
                                                    << "out.txt"
                                                    << "out.txt.lorimand-old";
        QTest::newRow("the old text's name taken") << "name taken"
                                                   << "out.txt"
                                                   << "out.txt.lorimand-old.1";
        QTest::newRow("earlier journal, the file as it was") << "earlier, untouched"
                                                             << "out.txt"
                                                             << "";
        QTest::newRow("earlier journal, the file not as it was") << "earlier, torn"
                                                                 << "out.txt"
                                                                 << "out.txt.lorimand-old";
    }
    void changedFileIsKeptWithItsOldText()
    {
        QFETCH(QString, kind);
        QFETCH(QString, readAs);
        QFETCH(QString, keptAs);
        const QString out = path(u"out.txt"_s);
        const QByteArray old = randomBytes(300000, 1);
        const QByteArray text = randomBytes(400000, 9);
        const QByteArray changed = randomBytes(350000, 5);
        QVERIFY(interruptedWrite(old, text));
        const QString journal = journalInStateFolder(stateHome(), out);
        QString left = journal; // where the journal is when the file is read
        if (kind == u"written name removed"_s) {
            QVERIFY(QFile::remove(out));
        } else if (kind == u"all new"_s) {
            overwrite(out, text);
        } else if (kind == u"cp"_s || kind == u"name taken"_s) {
            overwrite(out, changed);
            if (kind == u"name taken"_s) {
                writeBytes(path(u"out.txt.lorimand-old"_s), "the user's own file");
            }
        } else if (kind == u"printf"_s) {
            overwrite(out, "short\n");
        } else if (kind == u"append"_s) {
            QFile file(out);
            QVERIFY(file.open(QIODevice::Append));
            QVERIFY(file.write(QByteArray(200000, 'x')) == 200000);
        } else if (kind == u"changed through twin"_s) {
            QVERIFY(QFile::remove(out));
            overwrite(path(u"twin.txt"_s), changed);
        } else if (kind == u"same inode"_s) {
            // The file's inode freed and given to a new file at its path, as the
            // system may: the journal then names the new file's device and inode.
            QVERIFY(QFile::remove(out));
            QVERIFY(QFile::remove(path(u"twin.txt"_s)));
            writeBytes(out, changed);
            left = journalInStateFolder(stateHome(), out);
            QVERIFY(left == journal || QFile::rename(journal, left));
            struct stat info = {};
            QVERIFY(::stat(nameOf(out).constData(), &info) == 0);
            const std::uint64_t ids[] = {static_cast<std::uint64_t>(info.st_dev),
                                         static_cast<std::uint64_t>(info.st_ino)};
            QFile header(left);
            QVERIFY(header.open(QIODevice::ReadWrite) && header.seek(16));
            QVERIFY(header.write(reinterpret_cast<const char *>(ids), sizeof ids) == sizeof ids);
        } else if (kind == u"replaced"_s) {
            // The journal of a file with one name is beside it.
            QVERIFY(QFile::remove(path(u"twin.txt"_s)));
            left = journalBeside(out);
            QVERIFY(QFile::rename(journal, left));
            writeBytes(path(u"new.txt"_s), changed);
            QVERIFY(::rename(nameOf(path(u"new.txt"_s)).constData(), nameOf(out).constData()) == 0);
        } else if (kind.startsWith(u"earlier"_s)) {
            if (kind == u"earlier, untouched"_s) {
                overwrite(out, old);
            }
            writeBytes(journal, earlierJournal(out, old));
            QVERIFY(::chmod(nameOf(journal).constData(), 0600) == 0);
        }
        const QByteArray before = contentsOf(path(readAs));
        QStringList entries = entriesOf(folder());
        entries.removeOne(QFileInfo(left).fileName()); // a journal beside its file goes

        const ReadResult read = files_.readFile(pathOf(path(readAs)));
        QVERIFY2(!read.error, read.error ? read.error->reason.c_str() : "");
        QCOMPARE(read.restored, keptAs.isEmpty());
        QVERIFY(QByteArray::fromStdString(read.bytes) == (keptAs.isEmpty() ? old : before));
        QVERIFY(contentsOf(path(readAs)) == (keptAs.isEmpty() ? old : before));
        QVERIFY(!QFileInfo::exists(left));
        QCOMPARE(entriesOf(stateHome() + u"/lorimand"_s), QStringList{});
        if (keptAs.isEmpty()) {
            QVERIFY(read.oldTextKeptIn.empty());
            QCOMPARE(entriesOf(folder()), entries);
            return;
        }
        QCOMPARE(QString::fromStdString(read.oldTextKeptIn), path(keptAs));
        QVERIFY(contentsOf(path(keptAs)) == old);
        QCOMPARE(modeOf(path(keptAs)), 0600);
        entries << keptAs;
        entries.sort();
        QCOMPARE(entriesOf(folder()), entries);
        if (kind == u"name taken"_s) {
            QCOMPARE(contentsOf(path(u"out.txt.lorimand-old"_s)),
                     QByteArray("the user's own file"));
        }
        // Said once: the next read finds nothing to put right.
        const ReadResult again = files_.readFile(pathOf(path(readAs)));
        QVERIFY(!again.restored && again.oldTextKeptIn.empty());
    }

    // Where the old text cannot go beside its file, it goes into the state folder;
    // where it can go nowhere, the journal stays, the file is neither read nor
    // touched, and the message names the file and why.
    void oldTextThatCannotGoBesideItsFile_data()
    {
        QTest::addColumn<bool>("stateFolderUsable");
        QTest::newRow("into the state folder") << true;
        QTest::newRow("nowhere") << false;
    }
    void oldTextThatCannotGoBesideItsFile()
    {
        QFETCH(bool, stateFolderUsable);
        const QString out = path(u"out.txt"_s);
        const QByteArray old = randomBytes(300000, 1);
        QVERIFY(interruptedWrite(old, randomBytes(400000, 9)));
        overwrite(out, "changed since\n");
        const QString journal = journalInStateFolder(stateHome(), out);
        const QString state = stateHome() + u"/lorimand"_s;
        if (!stateFolderUsable) {
            QVERIFY(::chmod(nameOf(state).constData(), 0755) == 0);
        }
        FaultyCalls calls;
        calls.failing = FaultyCalls::Call::Open;
        calls.error = EACCES;
        calls.onlyFile = pathOf(path(u"out.txt.lorimand-old"_s));

        const ReadResult read = fileSystemOver(calls)->readFile(pathOf(out));
        ::chmod(nameOf(state).constData(), 0700);
        QCOMPARE(contentsOf(out), QByteArray("changed since\n"));
        QCOMPARE(entriesOf(folder()), (QStringList{u"out.txt"_s, u"twin.txt"_s}));
        if (stateFolderUsable) {
            QVERIFY(!read.error);
            QCOMPARE(read.bytes, std::string("changed since\n"));
            QCOMPARE(QString::fromStdString(read.oldTextKeptIn),
                     state + u"/out.txt.lorimand-old"_s);
            QVERIFY(contentsOf(state + u"/out.txt.lorimand-old"_s) == old);
            QVERIFY(!QFileInfo::exists(journal));
            return;
        }
        QVERIFY(read.error);
        QCOMPARE(read.error->path, pathOf(out));
        QCOMPARE(QString::fromStdString(read.error->reason),
                 u"A write of it in place was interrupted, and its text from before that write "
                 "cannot be kept from its journal %1: beside it: Permission denied; in the state "
                 "folder: The folder %2 is open to other users (mode 0755); it must be yours "
                 "alone (mode 0700)"_s.arg(journal, state));
        QVERIFY(read.bytes.empty());
        QVERIFY(QFileInfo::exists(journal));
    }

    // A read or write of a file that another run is writing in place waits for
    // that write a while: one that ends is not undone and one killed is rolled
    // back; one still going after the wait is not read halfway but refused.
    void writeGoingOnIsWaitedFor_data()
    {
        QTest::addColumn<QString>("writer");
        QTest::addColumn<bool>("write"); // else a read
        for (const bool write : {false, true}) {
            const char *way = write ? "write" : "read";
            QTest::addRow("%s, the writer ends", way) << "ends" << write;
            QTest::addRow("%s, the writer is killed", way) << "killed" << write;
            QTest::addRow("%s, the writer goes on", way) << "goes on" << write;
        }
    }
    void writeGoingOnIsWaitedFor()
    {
        QFETCH(QString, writer);
        QFETCH(bool, write);
        const QString out = path(u"out.txt"_s);
        const QByteArray old = randomBytes(300000, 1);
        const QByteArray text = randomBytes(400000, 9);
        QVERIFY(interruptedWrite(old, text));
        const QByteArray torn = contentsOf(out);
        const QString journal = journalInStateFolder(stateHome(), out);
        // The writer's lock, held as a writer holds it.
        FileDescriptor lock(::open(nameOf(journal).constData(), O_RDONLY | O_CLOEXEC));
        QVERIFY(::flock(lock.get(), LOCK_EX) == 0);
        std::thread finishing;
        if (writer != u"goes on"_s) {
            finishing = std::thread([&] {
                std::this_thread::sleep_for(std::chrono::milliseconds(300));
                if (writer == u"ends"_s) {
                    overwrite(out, text);
                    QFile::remove(journal);
                }
                lock.reset();
            });
        }
        QElapsedTimer clock;
        clock.start();
        std::optional<FileError> error;
        bool restored = false;
        std::string bytes;
        if (write) {
            OutputFile output(pathOf(out));
            error = output.error();
            restored = output.restored();
            if (!error && (!output.write("newest") || !output.commit())) {
                error = output.error();
            }
        } else {
            ReadResult read = files_.readFile(pathOf(out));
            error = read.error;
            restored = read.restored;
            bytes = std::move(read.bytes);
        }
        const qint64 waited = clock.elapsed();
        if (finishing.joinable()) {
            finishing.join();
        }
        if (writer == u"goes on"_s) {
            QVERIFY(error);
            QCOMPARE(error->path, pathOf(out));
            QCOMPARE(error->reason, std::string("Another run of Lorimand is writing it in place "
                                                "and has not finished after 2 seconds"));
            QVERIFY2(waited >= 1900, qPrintable(QString::number(waited)));
            QVERIFY(contentsOf(out) == torn);
            QVERIFY(QFileInfo::exists(journal));
            return;
        }
        QVERIFY(!error);
        QVERIFY2(waited < 1900, qPrintable(QString::number(waited)));
        QCOMPARE(restored, writer == u"killed"_s);
        QVERIFY(!QFileInfo::exists(journal));
        if (write) {
            QCOMPARE(contentsOf(out), QByteArray("newest"));
        } else {
            QVERIFY(QByteArray::fromStdString(bytes) == (writer == u"killed"_s ? old : text));
        }
    }

    // Closing a file written in place comes after its new text is on disk and its
    // journal gone: a failing close is said as what it is, not as a failed write.
    void failingCloseAfterTheCommitIsNoFailedWrite()
    {
        const QString out = path(u"out.txt"_s);
        writeBytes(out, "old text");
        QVERIFY(::link(nameOf(out).constData(), nameOf(path(u"twin.txt"_s)).constData()) == 0);
        FaultyCalls calls;
        calls.failing = FaultyCalls::Call::Close;
        calls.onlyFile = pathOf(out);
        {
            OutputFile output(pathOf(out), {}, calls);
            QVERIFY(output.write("new text"));
            QVERIFY(output.commit());
            QVERIFY(!output.error());
            QVERIFY(output.warning());
            QVERIFY(output.warning()->written);
            QCOMPARE(output.warning()->path, pathOf(out));
            QCOMPARE(output.warning()->reason,
                     std::string("The new text is in it, but closing it afterwards failed: "
                                 "Input/output error"));
        }
        QCOMPARE(contentsOf(path(u"twin.txt"_s)), QByteArray("new text"));
        QCOMPARE(entriesOf(stateHome() + u"/lorimand"_s), QStringList{});

        const auto error = fileSystemOver(calls)->writeFile(pathOf(out), "newer text");
        QVERIFY(error);
        QVERIFY(error->written);
        QCOMPARE(contentsOf(path(u"twin.txt"_s)), QByteArray("newer text"));
    }
};

QTEST_APPLESS_MAIN(TestJournal)
#include "tst_journal.moc"

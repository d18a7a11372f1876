// Where "Lorimand.ini" lives and how it is read and rewritten, with a scripted
// file system for the failures and the real one in a temporary folder.
#include <algorithm>
#include <csignal>
#include <memory>
#include <random>
#include <vector>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include "bytes.h"
#include "engine/files.h"
#include "engine/keyshift.h"
#include "fakefilesystem.h"
#include "faultycalls.h"
#include "journals.h"
#include "settingsstate.h"
#include "startup/settings.h"
#include "startup/settingsfile.h"

using namespace Qt::StringLiterals;

using namespace lorimand;
using namespace lorimand::test;

namespace {

// Runs work in a copy of this process, which ends with 0 when work gives true.
template <typename Work> pid_t forkCopy(Work work)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::_exit(work() ? 0 : 1);
    }
    return pid;
}

// Another user, as the tests run as root: the owner given to planted entries.
constexpr uid_t kOtherUser = 4242;
constexpr uid_t kFolderOwner = 4243;

// Who made the settings file's entry in a sticky folder anyone may write to.
enum class Planted
{
    OthersLinkToMissingFile, // a link to where no file is yet
    OthersLinkToSecretFile,  // a link to a file only its owner may read
    OthersFile,              // an ordinary file of another user
    FolderOwnersFile,        // trusted: the folder's owner may replace it anyway
    OwnFile,
    OwnLinkToOwnFile,
};

} // namespace

Q_DECLARE_METATYPE(Planted)

class TestSettingsFile : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir configHome_;
    // The user's state folder, where the journal of a hard-linked file goes.
    QTemporaryDir stateHome_;

    // The fallback folder, made by the first SettingsFile that needs it.
    [[nodiscard]] QString configFolder() const
    {
        return configHome_.path() + QStringLiteral("/Lorimand");
    }

private slots:
    void initTestCase()
    {
        QVERIFY(configHome_.isValid());
        QVERIFY(stateHome_.isValid());
        qputenv("XDG_STATE_HOME", QFile::encodeName(stateHome_.path()));
    }

    void cleanup() { QDir(configFolder()).removeRecursively(); }

    // --- with the scripted file system ---

    void programFolderHoldsTheFile()
    {
        FakeFileSystem files;
        SettingsFile settings(files, u"/opt/lorimand"_s, configFolder());
        QCOMPARE(settings.path(), QString(u"/opt/lorimand/Lorimand.ini"_s));
        QVERIFY(files.files.contains("/opt/lorimand/Lorimand.ini"));
    }

    void readGivesTheSettings()
    {
        FakeFileSystem files;
        files.files["/opt/lorimand/Lorimand.ini"] = "key=abc\r\nCodeType=1\r\n";
        SettingsFile settings(files, u"/opt/lorimand"_s, configFolder());
        StoredSettings expected;
        expected.key = "abc";
        expected.useCustom = true;
        QVERIFY(settings.read() == expected);
    }

    void writeGoesThroughTheScratchFile()
    {
        FakeFileSystem files;
        files.files["/opt/lorimand/Lorimand.ini"] = "; notes\r\n";
        files.files["/opt/lorimand/Lorimand.tmp"] = "stale";
        SettingsFile settings(files, u"/opt/lorimand"_s, configFolder());
        QCOMPARE(settings.write(exampleSettings()), std::optional<std::string>());
        QCOMPARE(files.writes.size(), std::size_t(1));
        QCOMPARE(files.writes[0].path, std::string("/opt/lorimand/Lorimand.ini"));
        QCOMPARE(files.writes[0].scratchPath, std::string("/opt/lorimand/Lorimand.tmp"));
        QCOMPARE(QByteArray::fromStdString(files.writes[0].bytes),
                 "; notes\r\n" + kExampleSettingsLines);
        QVERIFY(!files.files.contains("/opt/lorimand/Lorimand.tmp"));
    }

    void failedWriteIsReportedAndKeepsTheOldFile()
    {
        FakeFileSystem files;
        files.files["/opt/lorimand/Lorimand.ini"] = "; notes\r\nkey=old\r\n";
        files.writesFail = true;
        SettingsFile settings(files, u"/opt/lorimand"_s, configFolder());
        QCOMPARE(settings.write(exampleSettings()),
                 std::optional<std::string>("/opt/lorimand/Lorimand.ini: The disk is full"));
        QCOMPARE(files.files["/opt/lorimand/Lorimand.ini"], std::string("; notes\r\nkey=old\r\n"));
    }

    void unreadableFileIsNotOverwritten()
    {
        FakeFileSystem files;
        files.files["/opt/lorimand/Lorimand.ini"] = "; notes\r\n";
        files.unreadable.insert("/opt/lorimand/Lorimand.ini");
        SettingsFile settings(files, u"/opt/lorimand"_s, configFolder());
        QCOMPARE(settings.write(exampleSettings()),
                 std::optional<std::string>("/opt/lorimand/Lorimand.ini: Permission denied"));
        QVERIFY(files.writes.empty());
        QCOMPARE(files.files["/opt/lorimand/Lorimand.ini"], std::string("; notes\r\n"));
    }

    // A file that cannot be read applies nothing. When the read error has passed
    // by the close, the window's state came from defaults, which must not replace
    // the settings never read.
    void unreadableFileAppliesNothingAndIsKeptAtClose()
    {
        FakeFileSystem files;
        files.files["/opt/lorimand/Lorimand.ini"] = "key=mine\r\nCodeType=1\r\n";
        files.unreadable.insert("/opt/lorimand/Lorimand.ini");
        SettingsFile settings(files, u"/opt/lorimand"_s, configFolder());
        QVERIFY(settings.read() == StoredSettings{});
        files.unreadable.clear();
        const std::optional<std::string> error = settings.write(exampleSettings());
        QVERIFY(error);
        QVERIFY2(error->starts_with("/opt/lorimand/Lorimand.ini: Permission denied. ") &&
                     error->ends_with("kept as they were."),
                 error->c_str());
        QVERIFY(files.writes.empty());
        QCOMPARE(files.files["/opt/lorimand/Lorimand.ini"],
                 std::string("key=mine\r\nCodeType=1\r\n"));
    }

    void programFolderThatCannotHoldTheFilesUsesTheConfigurationFolder_data()
    {
        QTest::addColumn<QString>("uncreatable");
        QTest::newRow("no settings file") << "/opt/lorimand/Lorimand.ini";
        QTest::newRow("no scratch file") << "/opt/lorimand/Lorimand.tmp";
    }
    void programFolderThatCannotHoldTheFilesUsesTheConfigurationFolder()
    {
        QFETCH(QString, uncreatable);
        FakeFileSystem files;
        files.uncreatable.insert(uncreatable.toStdString());
        SettingsFile settings(files, u"/opt/lorimand"_s, configFolder());
        const QString expected = configFolder() + u"/Lorimand.ini"_s;
        QCOMPARE(settings.path(), expected);
        QVERIFY(QFileInfo(configFolder()).isDir());
        QCOMPARE(settings.write(exampleSettings()), std::optional<std::string>());
        QCOMPARE(files.writes.size(), std::size_t(1));
        QCOMPARE(files.writes[0].path, QFile::encodeName(expected).toStdString());
        QCOMPARE(files.writes[0].scratchPath,
                 QFile::encodeName(configFolder() + u"/Lorimand.tmp"_s).toStdString());
    }

    void installedSettingsStartAUserWithoutOwnOnes_data()
    {
        QTest::addColumn<QByteArray>("own");
        QTest::addColumn<QByteArray>("expectedKey");
        QTest::newRow("none of their own") << QByteArray() << QByteArray("Installed");
        QTest::newRow("their own win") << QByteArray("key=Own\r\n") << QByteArray("Own");
    }
    void installedSettingsStartAUserWithoutOwnOnes()
    {
        QFETCH(QByteArray, own);
        QFETCH(QByteArray, expectedKey);
        FakeFileSystem files;
        files.uncreatable.insert("/opt/lorimand/Lorimand.tmp");
        files.files["/opt/lorimand/Lorimand.ini"] = "key=Installed\r\n";
        const std::string ownPath =
            QFile::encodeName(configFolder() + u"/Lorimand.ini"_s).toStdString();
        if (!own.isEmpty()) {
            files.files[ownPath] = own.toStdString();
        }
        SettingsFile settings(files, u"/opt/lorimand"_s, configFolder());
        QCOMPARE(settings.read().key, std::optional<std::string>(expectedKey.toStdString()));
        QCOMPARE(files.files["/opt/lorimand/Lorimand.ini"], std::string("key=Installed\r\n"));
    }

    // A key line past the bound of a key file is not applied, and the start-up
    // is told; the lines around it still are.
    void keyLineTooLongIsNotApplied()
    {
        FakeFileSystem files;
        files.files["/opt/lorimand/Lorimand.ini"] =
            "MaskKey=1\r\nkey=" + std::string(kLongestKey + 1, 'k') + "\r\nAutoUpdate=0\r\n";
        SettingsFile settings(files, u"/opt/lorimand"_s, configFolder());
        const StoredSettings stored = settings.read();
        QCOMPARE(stored.key, std::optional<std::string>());
        QCOMPARE(stored.maskKey, std::optional<int>(1));
        QCOMPARE(stored.autoUpdate, std::optional<int>(0));
        QCOMPARE(settings.warnings().size(), std::size_t(1));
        QCOMPARE(settings.warnings()[0], std::string("/opt/lorimand/Lorimand.ini: its key line is "
                                                     "longer than 1 MiB, so that key is not "
                                                     "applied."));
    }

    // A rewrite never makes a file the next start would refuse as too large: a
    // file of LF lines just under the read limit grows past it in CR LF.
    void rewritePastTheReadLimitKeepsTheFile()
    {
        FakeFileSystem files;
        std::string old;
        const std::string line = std::string(31, 'c') + '\n';
        while (old.size() < 66000000) {
            old += line;
        }
        files.files["/opt/lorimand/Lorimand.ini"] = old;
        SettingsFile settings(files, u"/opt/lorimand"_s, configFolder());
        QVERIFY(settings.warnings().empty());
        QCOMPARE(settings.write(exampleSettings()),
                 std::optional<std::string>(
                     "/opt/lorimand/Lorimand.ini: the settings would be larger than the 64 MiB "
                     "the program reads, so the file is kept as it was"));
        QVERIFY(files.writes.empty());
        QVERIFY(files.files["/opt/lorimand/Lorimand.ini"] == old);
    }

    // --- with the real file system ---

    // The settings file holds the key: in a sticky folder anyone may write to, an
    // entry at its name that another user made is neither followed, read nor
    // written. The user's configuration folder holds the settings instead, and the
    // start-up says why; the planted entry and what it names stay as they were.
    void sharedFolderKeepsOtherUsersEntriesOut_data()
    {
        QTest::addColumn<Planted>("planted");
        QTest::addColumn<bool>("used");
        QTest::addColumn<QString>("reason");
        const QString link = u"It is a link that another user made"_s;
        QTest::newRow("another user's link to no file")
            << Planted::OthersLinkToMissingFile << false << link;
        QTest::newRow("another user's link to a secret file")
            << Planted::OthersLinkToSecretFile << false << link;
        QTest::newRow("another user's file")
            << Planted::OthersFile << false << u"It is another user's file"_s;
        QTest::newRow("the folder owner's file") << Planted::FolderOwnersFile << true << QString();
        QTest::newRow("own file") << Planted::OwnFile << true << QString();
        QTest::newRow("own link to own file") << Planted::OwnLinkToOwnFile << true << QString();
    }
    void sharedFolderKeepsOtherUsersEntriesOut()
    {
        QFETCH(Planted, planted);
        QFETCH(bool, used);
        QFETCH(QString, reason);
        if (::geteuid() != 0) {
            QSKIP("giving files to another user needs root");
        }
        QTemporaryDir scratch;
        QVERIFY(scratch.isValid());
        const QString shared = scratch.filePath(u"shared"_s);
        const QString secret = scratch.filePath(u"secret"_s);
        const QString missing = scratch.filePath(u"missing"_s);
        const QString ini = shared + u"/Lorimand.ini"_s;
        QVERIFY(QDir().mkdir(shared));
        const QByteArray folder = QFile::encodeName(shared);
        QCOMPARE(::chown(folder.constData(), kFolderOwner, kFolderOwner), 0);
        QCOMPARE(::chmod(folder.constData(), 01777), 0);
        writeBytes(secret, "key=root's secret\r\n");
        QCOMPARE(::chmod(QFile::encodeName(secret).constData(), 0600), 0);

        const QByteArray entry = QFile::encodeName(ini);
        const auto give = [&entry](uid_t owner) {
            return ::lchown(entry.constData(), owner, owner) == 0;
        };
        switch (planted) {
        case Planted::OthersLinkToMissingFile:
            QCOMPARE(::symlink(QFile::encodeName(missing).constData(), entry.constData()), 0);
            QVERIFY(give(kOtherUser));
            break;
        case Planted::OthersLinkToSecretFile:
        case Planted::OwnLinkToOwnFile:
            QCOMPARE(::symlink(QFile::encodeName(secret).constData(), entry.constData()), 0);
            QVERIFY(give(planted == Planted::OwnLinkToOwnFile ? ::geteuid() : kOtherUser));
            break;
        case Planted::OthersFile:
        case Planted::FolderOwnersFile:
        case Planted::OwnFile:
            writeBytes(ini, "key=their key\r\n");
            QVERIFY(give(planted == Planted::OthersFile ? kOtherUser
                         : planted == Planted::OwnFile  ? ::geteuid()
                                                        : kFolderOwner));
            break;
        }
        const QByteArray secretBefore = contentsOf(secret);
        const QByteArray iniBefore = contentsOf(ini);

        SettingsFile settings(realFileSystem(), shared, configFolder());
        const StoredSettings stored = settings.read();
        const std::optional<std::string> closed = settings.write(exampleSettings("root's key"));
        QCOMPARE(closed, std::optional<std::string>());
        if (used) {
            QCOMPARE(settings.path(), ini);
            QVERIFY(settings.warnings().empty());
            QVERIFY(stored.key);
            QVERIFY(contentsOf(ini).contains("key=root's key\r\n"));
            return;
        }
        QCOMPARE(settings.path(), configFolder() + u"/Lorimand.ini"_s);
        QCOMPARE(settings.warnings().size(), std::size_t(1));
        const QString warning = QString::fromStdString(settings.warnings()[0]);
        QVERIFY2(warning.startsWith(ini + u": "_s + reason) &&
                     warning.endsWith(configFolder() + u"/Lorimand.ini instead."_s),
                 qPrintable(warning));
        QCOMPARE(stored.key, std::optional<std::string>());
        QVERIFY(contentsOf(configFolder() + u"/Lorimand.ini"_s).contains("key=root's key\r\n"));
        QCOMPARE(contentsOf(secret), secretBefore);
        QCOMPARE(contentsOf(ini), iniBefore);
        QVERIFY(!QFileInfo::exists(missing));
        struct stat info = {};
        QCOMPARE(::lstat(entry.constData(), &info), 0);
        QCOMPARE(info.st_uid, kOtherUser);
        QCOMPARE(entriesOf(shared), QStringList{u"Lorimand.ini"_s});
    }

    // An entry planted after the start is refused by the close too.
    void sharedFolderEntryPlantedSinceTheStartIsNotWritten()
    {
        if (::geteuid() != 0) {
            QSKIP("giving files to another user needs root");
        }
        QTemporaryDir shared;
        QVERIFY(shared.isValid());
        QCOMPARE(::chmod(QFile::encodeName(shared.path()).constData(), 01777), 0);
        const QString ini = shared.filePath(u"Lorimand.ini"_s);
        SettingsFile settings(realFileSystem(), shared.path(), configFolder());
        QCOMPARE(settings.path(), ini);
        (void)settings.read();

        QVERIFY(QFile::remove(ini));
        writeBytes(ini, "key=their key\r\n");
        QCOMPARE(::chown(QFile::encodeName(ini).constData(), kOtherUser, kOtherUser), 0);
        const std::optional<std::string> closed = settings.write(exampleSettings());
        QVERIFY(closed);
        QVERIFY2(closed->find("It is another user's file") != std::string::npos, closed->c_str());
        QCOMPARE(contentsOf(ini), QByteArray("key=their key\r\n"));
    }

    // Another user who flips the settings file's name in a sticky folder between
    // absent and a link to where no file is, as fast as they can, catches the
    // moment between the look at the name and the create at best: even then no
    // file is created where the link points, at the start or at the close.
    void linkPlantedJustBeforeTheCreateIsNotCreatedThrough_data()
    {
        QTest::addColumn<bool>("atClose"); // else at the start
        QTest::newRow("at the start") << false;
        QTest::newRow("at the close") << true;
    }
    void linkPlantedJustBeforeTheCreateIsNotCreatedThrough()
    {
        QFETCH(bool, atClose);
        if (::geteuid() != 0) {
            QSKIP("giving files to another user needs root");
        }
        QTemporaryDir scratch;
        QVERIFY(scratch.isValid());
        const QString shared = scratch.filePath(u"shared"_s);
        const QString target = scratch.filePath(u"target"_s);
        const QString ini = shared + u"/Lorimand.ini"_s;
        QVERIFY(QDir().mkdir(shared));
        QCOMPARE(::chown(QFile::encodeName(shared).constData(), kFolderOwner, kFolderOwner), 0);
        QCOMPARE(::chmod(QFile::encodeName(shared).constData(), 01777), 0);
        const QByteArray entry = QFile::encodeName(ini);
        FaultyCalls calls;
        bool planted = false;
        calls.beforeOpen = [&](const char *opened, int flags) {
            if (!planted && (flags & O_CREAT) != 0 && entry == opened) {
                planted =
                    ::symlink(QFile::encodeName(target).constData(), entry.constData()) == 0 &&
                    ::lchown(entry.constData(), kOtherUser, kOtherUser) == 0;
            }
        };
        const std::unique_ptr<FileSystem> files = fileSystemOver(calls);
        if (atClose) {
            planted = true; // not yet: the start creates the file
        }
        SettingsFile settings(*files, shared, configFolder());
        (void)settings.read();
        if (atClose) {
            QCOMPARE(settings.path(), ini);
            QVERIFY(QFile::remove(ini));
            planted = false;
        } else {
            QCOMPARE(settings.path(), configFolder() + u"/Lorimand.ini"_s);
        }
        const std::optional<std::string> closed = settings.write(exampleSettings("root's key"));
        QVERIFY(planted);
        QVERIFY(!QFileInfo::exists(target));
        QCOMPARE(kindOf(ini), mode_t{S_IFLNK});
        if (atClose) {
            QVERIFY(closed);
            QVERIFY2(closed->find("It is a link that another user made") != std::string::npos,
                     closed->c_str());
        } else {
            QCOMPARE(closed, std::optional<std::string>());
            QVERIFY(contentsOf(configFolder() + u"/Lorimand.ini"_s).contains("key=root's key\r\n"));
        }
    }

    void firstRunCreatesAnEmptyFileAndFirstCloseTheSixLines()
    {
        QTemporaryDir program;
        QVERIFY(program.isValid());
        SettingsFile settings(realFileSystem(), program.path(), configFolder());
        QCOMPARE(settings.path(), program.path() + u"/Lorimand.ini"_s);
        QVERIFY(settings.read() == StoredSettings{});
        QCOMPARE(contentsOf(settings.path()), QByteArray());

        QCOMPARE(settings.write(exampleSettings()), std::optional<std::string>());
        QCOMPARE(contentsOf(settings.path()), kExampleSettingsLines);
        QVERIFY(!QFile::exists(program.path() + u"/Lorimand.tmp"_s));
        QCOMPARE(QDir(program.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{u"Lorimand.ini"_s});
    }

    void foreignLinesSurviveAndTheNextRunReadsTheValues()
    {
        QTemporaryDir program;
        QVERIFY(program.isValid());
        const QString path = program.path() + u"/Lorimand.ini"_s;
        writeBytes(path, "; my notes\nstill notes\r\nKey=old\r\n\r\nColor=blue");
        writeBytes(program.path() + u"/Lorimand.tmp"_s, "left by a crash");

        SettingsFile settings(realFileSystem(), program.path(), configFolder());
        QCOMPARE(settings.read().key, std::optional<std::string>("old"));
        QCOMPARE(settings.write(exampleSettings()), std::optional<std::string>());
        QCOMPARE(
            contentsOf(path),
            "; my notes\r\nstill notes\r\nkey=Tarn Veli\r\n\r\nColor=blue\r\nMaskKey=0\r\n"
            "AutoUpdate=1\r\nCodeType=1\r\nCustCode=Caesar\r\nWindowPos=1200,900,8415,6000\r\n");
        QVERIFY(!QFile::exists(program.path() + u"/Lorimand.tmp"_s));

        SettingsFile nextRun(realFileSystem(), program.path(), configFolder());
        const StoredSettings stored = nextRun.read();
        QCOMPARE(stored.key, std::optional<std::string>("Tarn Veli"));
        QCOMPARE(stored.maskKey, std::optional<int>(0));
        QCOMPARE(stored.autoUpdate, std::optional<int>(1));
        QVERIFY(stored.useCustom);
        QCOMPARE(stored.codeTableName, std::string("Caesar"));
        QVERIFY(stored.geometry == (WindowGeometry{1200, 900, 8415, 6000}));
    }

    void programFolderThatCannotHoldAFileUsesTheConfigurationFolder()
    {
        QTemporaryDir scratch;
        QVERIFY(scratch.isValid());
        const QString notAFolder = scratch.path() + u"/program"_s;
        writeBytes(notAFolder, "a file, not a folder");
        const QString configFile = configFolder() + u"/Lorimand.ini"_s;

        SettingsFile settings(realFileSystem(), notAFolder, configFolder());
        QCOMPARE(settings.path(), configFile);
        QVERIFY(QFile::exists(configFile));
        QVERIFY(settings.read() == StoredSettings{});
        QCOMPARE(settings.write(exampleSettings()), std::optional<std::string>());
        QCOMPARE(contentsOf(configFile), kExampleSettingsLines);
        QVERIFY(!QFile::exists(configFolder() + u"/Lorimand.tmp"_s));
        QCOMPARE(contentsOf(notAFolder), QByteArray("a file, not a folder"));

        // The next run finds the same file again and reads what the close wrote.
        SettingsFile nextRun(realFileSystem(), notAFolder, configFolder());
        QCOMPARE(nextRun.path(), configFile);
        QCOMPARE(nextRun.read().codeTableName, std::string("Caesar"));
    }

    // Copies of the program that close at the same moment rewrite the file one
    // after the other: each reports success, the file is always one whole result
    // and no scratch file is left.
    void copiesClosingAtOnceTakeTurns()
    {
        QTemporaryDir program;
        QVERIFY(program.isValid());
        const QString ini = program.filePath(QStringLiteral("Lorimand.ini"));
        writeBytes(ini, "; notes\r\n");
        const QByteArray first = "; notes\r\n" + kExampleSettingsLines;
        const QByteArray second =
            "; notes\r\n" + QByteArray(kExampleSettingsLines).replace("Tarn Veli", "second");

        std::vector<pid_t> copies;
        for (const char *key : {"Tarn Veli", "second"}) {
            copies.push_back(forkCopy([&program, this, key] {
                SettingsFile settings(realFileSystem(), program.path(), configFolder());
                for (int close = 0; close < 200; ++close) {
                    if (settings.write(exampleSettings(key))) {
                        return false;
                    }
                }
                return true;
            }));
        }
        QVERIFY(copies[0] > 0 && copies[1] > 0);
        int failed = 0;
        while (!copies.empty()) {
            const QByteArray now = contentsOf(ini);
            QVERIFY2(now == "; notes\r\n" || now == first || now == second, now.constData());
            std::erase_if(copies, [&failed](pid_t copy) {
                int status = 0;
                if (::waitpid(copy, &status, WNOHANG) != copy) {
                    return false;
                }
                failed += WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 0 : 1;
                return true;
            });
        }
        QCOMPARE(failed, 0);
        const QByteArray last = contentsOf(ini);
        QVERIFY(last == first || last == second);
        QCOMPARE(entriesOf(program.path()), QStringList{QStringLiteral("Lorimand.ini")});
    }

    // A copy that keeps the folder locked past the wait: the close says so and
    // leaves the file as it was; once the lock is free the rewrite goes ahead.
    void rewriteWaitsOnlySoLong()
    {
        QTemporaryDir program;
        QVERIFY(program.isValid());
        const QString ini = program.filePath(QStringLiteral("Lorimand.ini"));
        writeBytes(ini, "; notes\r\nkey=old\r\n");
        SettingsFile settings(realFileSystem(), program.path(), configFolder(),
                              std::chrono::milliseconds(200));

        const int folder =
            ::open(QFile::encodeName(program.path()).constData(), O_RDONLY | O_DIRECTORY);
        QVERIFY(folder >= 0);
        QCOMPARE(::flock(folder, LOCK_EX), 0);
        const std::optional<std::string> busy = settings.write(exampleSettings());
        QCOMPARE(busy, std::optional<std::string>(QFile::encodeName(ini).toStdString() +
                                                  ": another copy of Lorimand is still saving "
                                                  "its settings"));
        QCOMPARE(contentsOf(ini), QByteArray("; notes\r\nkey=old\r\n"));
        QCOMPARE(entriesOf(program.path()), QStringList{QStringLiteral("Lorimand.ini")});

        QCOMPARE(::close(folder), 0);
        QCOMPARE(settings.write(exampleSettings()), std::optional<std::string>());
        QCOMPARE(contentsOf(ini), "; notes\r\n" + kExampleSettingsLines);
    }

    // A copy killed at any moment of its rewrite leaves the old file or the new
    // one, whole; a scratch file it may leave is gone once the next run starts.
    void killedRewriteLeavesAWholeFile()
    {
        QTemporaryDir program;
        QVERIFY(program.isValid());
        const QString ini = program.filePath(QStringLiteral("Lorimand.ini"));
        const QByteArray old = "; notes\r\n" + kExampleSettingsLines;
        // Long enough that a kill can land inside the writing of it.
        const std::string longKey(200000, 'k');
        const QByteArray renewed =
            "; notes\r\n" + QByteArray(kExampleSettingsLines)
                                .replace("Tarn Veli", QByteArray::fromStdString(longKey));
        std::mt19937 random(7);
        int leftScratch = 0;
        for (int run = 0; run < 60; ++run) {
            writeBytes(ini, old);
            const pid_t copy = forkCopy([&program, &longKey, this] {
                SettingsFile settings(realFileSystem(), program.path(), configFolder());
                for (;;) {
                    (void)settings.write(exampleSettings(longKey));
                }
                return true;
            });
            QVERIFY(copy > 0);
            ::usleep(static_cast<useconds_t>(random() % 4000));
            QCOMPARE(::kill(copy, SIGKILL), 0);
            int status = 0;
            QCOMPARE(::waitpid(copy, &status, 0), copy);
            QVERIFY(WIFSIGNALED(status));

            const QByteArray now = contentsOf(ini);
            QVERIFY2(now == old || now == renewed, qPrintable(QString::number(now.size())));
            if (QFile::exists(program.filePath(QStringLiteral("Lorimand.tmp")))) {
                ++leftScratch;
            }
            const SettingsFile nextRun(realFileSystem(), program.path(), configFolder());
            QCOMPARE(entriesOf(program.path()), QStringList{QStringLiteral("Lorimand.ini")});
        }
        qInfo("scratch file left by %d of 60 killed rewrites, removed by the next run",
              leftScratch);
    }

    // A hard-linked settings file is rewritten in place; one whose rewrite a kill
    // stopped midway is whole again, as before that rewrite, once the next run
    // starts, before it reads the settings.
    void interruptedRewriteInPlaceIsRolledBackAtStartUp()
    {
        QTemporaryDir program;
        QVERIFY(program.isValid());
        const QString ini = program.filePath(QStringLiteral("Lorimand.ini"));
        const QByteArray old = "; notes\r\n" + kExampleSettingsLines;
        writeBytes(ini, old);
        QVERIFY(
            ::link(QFile::encodeName(ini).constData(),
                   QFile::encodeName(program.filePath(QStringLiteral("twin.ini"))).constData()) ==
            0);
        QVERIFY(leaveInterruptedWrite(ini, "; notes\r\n" + QByteArray(100000, 'k')));

        SettingsFile nextRun(realFileSystem(), program.path(), configFolder());
        QVERIFY(nextRun.read() == readSettings(old.toStdString()));
        QCOMPARE(contentsOf(ini), old);
        QCOMPARE(entriesOf(stateHome_.path() + QStringLiteral("/lorimand")), QStringList{});
    }
};

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "tst_settingsfile.moc"

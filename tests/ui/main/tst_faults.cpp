// Every file command of the main window under every fault the system calls
// beneath the file layer can give: the user is told which file and why, both text
// areas keep their bytes, every file keeps its bytes and no scratch file is left,
// and the window goes on as before (not updating, no busy pointer, the next edit
// translated with Auto).
#include <cerrno>
#include <memory>

#include <QDir>
#include <QGuiApplication>
#include <QTest>

#include "engine/files.h"
#include "faultycalls.h"
#include "mainwindowfixture.h"
#include "ui/help/helpwindow.h"

using namespace Qt::StringLiterals;

using namespace lorimand;
using namespace lorimand::test;

namespace {

enum class Command
{
    LoadNormal,
    LoadEncoded,
    SaveNormal,
    SaveEncoded,
    CommandLineFile,
    SettingsAtStart,
    SettingsAtClose,
    CodeTable,
    Help,
};

// What each file holds before the command; larger than FaultyCalls::chunk, so
// that a fault after the first read or write strikes halfway.
const QByteArray kSettings = "key=Swordfish\r\nMaskKey=0\r\nAutoUpdate=1\r\nCodeType=0\r\n"
                             "Foreign=a line of another program\r\n";
const QByteArray kText = "A first line of plain text\r\nand a second one\r\n";
const QByteArray kOldSave = "what the saved file held before the save\r\n";
const QByteArray kAlpha = "97=120\r\n98=121\r\n99=122\r\n";
const QByteArray kBeta = "97=100\r\n98=101\r\n99=102\r\n";
const QByteArray kHelp = "The help text, which is longer than one chunk.\r\n";
constexpr std::size_t kChunk = 16;

struct Fault
{
    const char *name;
    FaultyCalls::Call call;
    int error;
    int after;
    const char *reason;
};

using Call = FaultyCalls::Call;

const Fault kReadFaults[] = {
    {"vanished before the read", Call::Open, ENOENT, 0, "No such file or directory"},
    {"no permission", Call::Open, EACCES, 0, "Permission denied"},
    {"read error at once", Call::Read, EIO, 0, "Input/output error"},
    {"read error halfway", Call::Read, EIO, 1, "Input/output error"},
};

const Fault kWriteFaults[] = {
    {"no permission to write", Call::Open, EACCES, 0, "Permission denied"},
    {"read-only disk", Call::Open, EROFS, 0, "Read-only file system"},
    {"disk full", Call::Write, ENOSPC, 0, "The disk is full"},
    {"disk full halfway", Call::Write, ENOSPC, 1, "The disk is full"},
    {"quota", Call::Write, EDQUOT, 0, "The disk quota is used up"},
    {"flush", Call::Fsync, EIO, 0, "Input/output error"},
    {"naming the scratch file", Call::Link, EIO, 0, "Input/output error"},
    {"rename", Call::Rename, EIO, 0, "Input/output error"},
};

// The file each command reads or writes.
QString fileOf(Command command)
{
    switch (command) {
    case Command::LoadNormal:
    case Command::LoadEncoded:
    case Command::CommandLineFile:
        return u"in.txt"_s;
    case Command::SaveNormal:
    case Command::SaveEncoded:
        return u"out.txt"_s;
    case Command::SettingsAtStart:
    case Command::SettingsAtClose:
        return u"Lorimand.ini"_s;
    case Command::CodeTable:
        return u"Beta.sbt"_s;
    case Command::Help:
        return u"Readme.txt"_s;
    }
    return {};
}

} // namespace

Q_DECLARE_METATYPE(Command)

class TestFaults : public QObject
{
    Q_OBJECT

private slots:
    void faults_data()
    {
        QTest::addColumn<Command>("command");
        QTest::addColumn<FaultyCalls::Call>("call");
        QTest::addColumn<int>("error");
        QTest::addColumn<int>("after");
        QTest::addColumn<QString>("reason");
        const auto add = [](const char *commandName, Command command, const auto &faults) {
            for (const Fault &fault : faults) {
                QTest::addRow("%s, %s", commandName, fault.name)
                    << command << fault.call << fault.error << fault.after
                    << QString::fromLatin1(fault.reason);
            }
        };
        add("load Normal", Command::LoadNormal, kReadFaults);
        add("load Encoded", Command::LoadEncoded, kReadFaults);
        add("save Normal", Command::SaveNormal, kWriteFaults);
        add("save Encoded", Command::SaveEncoded, kWriteFaults);
        add("command-line file", Command::CommandLineFile, kReadFaults);
        add("settings at start", Command::SettingsAtStart, kReadFaults);
        add("settings at close", Command::SettingsAtClose, kReadFaults);
        add("settings at close", Command::SettingsAtClose, kWriteFaults);
        add("code table", Command::CodeTable, kReadFaults);
        add("help", Command::Help, kReadFaults);
    }
    void faults()
    {
        QFETCH(Command, command);
        QFETCH(FaultyCalls::Call, call);
        QFETCH(int, error);
        QFETCH(int, after);
        QFETCH(QString, reason);

        // Declared before the window, which uses them to its end.
        FaultyCalls calls;
        calls.chunk = kChunk;
        const std::unique_ptr<FileSystem> files = fileSystemOver(calls);
        MainWindowFixture f;
        f.window = std::make_unique<MainWindow>(f.platform, *files, f.generator);
        // Where the settings go when the program folder cannot hold them.
        f.platform.userConfig = f.path(u"config"_s);
        QVERIFY(QDir(f.folder.path()).mkdir(u"config"_s));
        const std::pair<QString, QByteArray> fixtures[] = {
            {u"Lorimand.ini"_s, kSettings}, {u"in.txt"_s, kText},   {u"out.txt"_s, kOldSave},
            {u"Alpha.sbt"_s, kAlpha},       {u"Beta.sbt"_s, kBeta}, {u"Readme.txt"_s, kHelp},
        };
        for (const auto &[name, bytes] : fixtures) {
            f.writeFile(name, bytes);
        }
        const QStringList entries = entriesOf(f.folder.path());

        // A window as start-up leaves it, for the commands that run at start-up.
        MainWindowFixture fresh;
        QVERIFY(fresh.window->startUp());
        const auto arm = [&] {
            calls.failing = call;
            calls.error = error;
            calls.after = after;
        };
        const std::string file = pathOf(f.path(fileOf(command)));
        std::string normalBefore = fresh.normal()->bytes();
        std::string encodedBefore = fresh.encoded()->bytes();
        std::string key = "TarnVeli";
        if (command == Command::CommandLineFile) {
            key = "Swordfish";
            calls.onlyFile = file;
            arm();
            QVERIFY(f.window->startUp("-e " + file));
        } else if (command == Command::SettingsAtStart) {
            calls.onlyFile = file;
            arm();
            QVERIFY(f.window->startUp());
            // The settings fall back to a first start's, without a message.
            QCOMPARE(f.key()->bytes(), fresh.key()->bytes());
            QCOMPARE(f.platform.messages.size(), 0);
            // The close must not put those defaults in place of settings it could
            // not read.
            calls.failing = Call::None;
            QVERIFY(f.window->close());
        } else {
            QVERIFY(f.window->startUp());
            QCOMPARE(f.codeName()->currentText(), u"Alpha"_s);
            key = "Swordfish";
            QCOMPARE(f.key()->bytes(), key);
            const std::string typed = "typed text, longer than one chunk";
            f.normal()->setBytes(typed);
            normalBefore = f.normal()->bytes();
            encodedBefore = f.encoded()->bytes();
            QCOMPARE(encodedBefore, withKey(typed, Direction::Encode, key));
            const CodeTables tables = f.window->codeTables();
            arm();
            switch (command) {
            case Command::LoadNormal:
            case Command::LoadEncoded:
                f.platform.fileChoices.enqueue(f.path(fileOf(command)));
                f.child<QPushButton>(command == Command::LoadNormal ? "LoadText" : "LoadCode")
                    ->click();
                break;
            case Command::SaveNormal:
            case Command::SaveEncoded:
                f.platform.fileChoices.enqueue(f.path(fileOf(command)));
                f.child<QPushButton>(command == Command::SaveNormal ? "SaveText" : "SaveCode")
                    ->click();
                break;
            case Command::SettingsAtClose:
                f.platform.answers.enqueue(QMessageBox::Discard); // the text typed
                QVERIFY(f.window->close());
                // That question came first; the fault's message is what follows.
                QVERIFY(!f.platform.messages.isEmpty() &&
                        f.platform.messages.takeFirst().text.endsWith(u"not been saved."_s));
                break;
            case Command::CodeTable:
                f.codeName()->setCurrentIndex(1);
                emit f.codeName()->activated(1);
                // The table loaded before stays in force.
                QVERIFY(f.window->codeTables() == tables);
                break;
            case Command::Help: {
                QTest::keyClick(f.normal(), Qt::Key_F1);
                QVERIFY(f.window->helpWindow());
                const auto *text =
                    f.window->helpWindow()->findChild<ByteTextEdit *>(u"txtHelpFile"_s);
                QVERIFY(text);
                QCOMPARE(text->bytes(), std::string());
                // A window of its own: the main window's end does not take it along.
                delete f.window->helpWindow();
                break;
            }
            case Command::CommandLineFile:
            case Command::SettingsAtStart:
                break;
            }
        }
        calls.failing = Call::None;

        // A settings file that cannot even be opened at start-up is treated as
        // a read-only installation's: the user's configuration folder takes over.
        const bool settingsMoved = command == Command::SettingsAtStart && call == Call::Open;
        const bool helpMissing = command == Command::Help && error == ENOENT;
        if (helpMissing || settingsMoved) {
            // A missing help is a copy without one: an empty text, without a
            // message; the settings fall back in silence.
            QVERIFY(f.platform.messages.isEmpty());
        } else {
            QCOMPARE(f.platform.messages.size(), 1);
            const ShownMessage &message = f.platform.messages[0];
            QCOMPARE(message.title, u"Error"_s);
            QVERIFY2(message.text.contains(f.path(fileOf(command))) &&
                         message.text.contains(reason),
                     qPrintable(message.text));
        }
        QCOMPARE(f.normal()->bytes(), normalBefore);
        QCOMPARE(f.encoded()->bytes(), encodedBefore);
        for (const auto &[name, bytes] : fixtures) {
            QVERIFY2(contentsOf(f.path(name)) == bytes, qPrintable(name));
        }
        QCOMPARE(entriesOf(f.folder.path()), entries);
        QCOMPARE(entriesOf(f.path(u"config"_s)),
                 settingsMoved ? QStringList{u"Lorimand.ini"_s} : QStringList());
        QVERIFY(!f.window->isUpdating());
        QVERIFY(QGuiApplication::overrideCursor() == nullptr);

        f.autoUpdate()->setCheckState(Qt::Checked);
        f.normal()->setBytes("the next edit");
        QCOMPARE(f.encoded()->bytes(), withKey("the next edit", Direction::Encode, key));
    }
};

QTEST_MAIN(TestFaults)
#include "tst_faults.moc"

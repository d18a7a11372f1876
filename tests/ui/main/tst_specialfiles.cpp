// A pipe, a device or a folder in the place of one of the program's own files
// (the settings file, the help text, a code table): start-up, the help and
// choosing a table finish at once, each with its own failure rule.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTest>

#include "mainwindowfixture.h"
#include "ui/help/helpwindow.h"

using namespace lorimand;
using namespace lorimand::test;

namespace {

// Far beyond the milliseconds each step takes, and far short of a read that
// waits on a pipe or fills memory from a device.
constexpr qint64 kPromptly = 5000;

enum class Kind
{
    Pipe,
    Folder,
    Device // a link to /dev/zero, which never ends
};

// Puts an entry of that kind at path, in place of whatever was there.
void makeSpecial(const QString &path, Kind kind)
{
    QFile::remove(path);
    const QByteArray native = QFile::encodeName(path);
    switch (kind) {
    case Kind::Pipe:
        QCOMPARE(::mkfifo(native.constData(), 0600), 0);
        break;
    case Kind::Folder:
        QVERIFY(QDir().mkdir(path));
        break;
    case Kind::Device:
        QCOMPARE(::symlink("/dev/zero", native.constData()), 0);
        break;
    }
}

void addKinds()
{
    QTest::addColumn<Kind>("kind");
    QTest::newRow("pipe") << Kind::Pipe;
    QTest::newRow("folder") << Kind::Folder;
    QTest::newRow("device") << Kind::Device;
}

} // namespace

Q_DECLARE_METATYPE(Kind)

class TestSpecialFiles : public QObject
{
    Q_OBJECT

private slots:
    // The settings fall back to what a first start has; the close does not wait
    // either, and leaves the entry as it was.
    void settingsFile_data() { addKinds(); }
    void settingsFile()
    {
        QFETCH(Kind, kind);
        MainWindowFixture firstStart;
        QVERIFY(firstStart.window->startUp());

        MainWindowFixture f;
        // Where the settings go when the program folder cannot hold them.
        f.platform.userConfig = f.path(QStringLiteral("config"));
        makeSpecial(f.path(QStringLiteral("Lorimand.ini")), kind);
        const mode_t entry = kindOf(f.path(QStringLiteral("Lorimand.ini")));
        QElapsedTimer clock;
        clock.start();
        QVERIFY(f.window->startUp());
        QVERIFY2(clock.elapsed() < kPromptly, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(f.platform.messages.isEmpty());
        QCOMPARE(f.key()->bytes(), firstStart.key()->bytes());
        QCOMPARE(f.maskKey()->checkState(), firstStart.maskKey()->checkState());
        QCOMPARE(f.autoUpdate()->checkState(), firstStart.autoUpdate()->checkState());
        QCOMPARE(f.useKey()->isChecked(), firstStart.useKey()->isChecked());

        clock.restart();
        QVERIFY(f.window->close());
        QVERIFY2(clock.elapsed() < kPromptly, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(kindOf(f.path(QStringLiteral("Lorimand.ini"))), entry);
        QVERIFY(!QFile::exists(f.path(QStringLiteral("Lorimand.tmp"))));
        if (kind == Kind::Device) {
            // The folder holds the settings, but this file cannot be read: the
            // close says so, naming the file and the reason.
            QCOMPARE(f.platform.messages.size(), 1);
            QVERIFY2(f.platform.messages[0].text.contains(
                         f.path(QStringLiteral("Lorimand.ini: It is a device"))),
                     qPrintable(f.platform.messages[0].text));
        } else {
            // The program folder cannot hold the settings: the user's folder does.
            QVERIFY(f.platform.messages.isEmpty());
            QVERIFY(contentsOf(f.path(QStringLiteral("config/Lorimand.ini"))).startsWith("key="));
        }
    }

    // The help shows an empty text and a message that names the file and says why.
    void helpText_data() { addKinds(); }
    void helpText()
    {
        QFETCH(Kind, kind);
        MainWindowFixture f;
        f.writeFile(QStringLiteral("Readme.txt"), "help\r\n");
        makeSpecial(f.path(QStringLiteral("Readme.txt")), kind);
        QElapsedTimer clock;
        clock.start();
        HelpWindow help(f.platform, f.files);
        QVERIFY(help.loadHelpText());
        QVERIFY2(clock.elapsed() < kPromptly, qPrintable(QString::number(clock.elapsed())));
        const auto *text = help.findChild<ByteTextEdit *>(QStringLiteral("txtHelpFile"));
        QVERIFY(text);
        QCOMPARE(text->bytes(), std::string());
        QCOMPARE(f.platform.messages.size(), 1);
        const char *reason = kind == Kind::Pipe     ? "It is a pipe"
                             : kind == Kind::Folder ? "Is a directory"
                                                    : "It is a device";
        QVERIFY2(f.platform.messages[0].text.contains(f.path(QStringLiteral("Readme.txt: ")) +
                                                      QLatin1String(reason)),
                 qPrintable(f.platform.messages[0].text));
    }

    // A table listed as an ordinary file that is something else by the time it is
    // chosen: the table's error message names the file and the reason, and the
    // table loaded before stays in force.
    void codeTable_data() { addKinds(); }
    void codeTable()
    {
        QFETCH(Kind, kind);
        MainWindowFixture f;
        f.writeFile(QStringLiteral("Alpha.sbt"), "97=120\r\n");
        f.writeFile(QStringLiteral("Beta.sbt"), "97=100\r\n");
        QVERIFY(f.window->startUp());
        QCOMPARE(f.codeName()->currentText(), QStringLiteral("Alpha"));
        const CodeTables before = f.window->codeTables();

        makeSpecial(f.path(QStringLiteral("Beta.sbt")), kind);
        QElapsedTimer clock;
        clock.start();
        f.codeName()->setCurrentIndex(1);
        emit f.codeName()->activated(1);
        QVERIFY2(clock.elapsed() < kPromptly, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(f.window->codeTables(), before);
        QCOMPARE(f.platform.messages.size(), 1);
        const QString text = f.platform.messages[0].text;
        QVERIFY2(text.startsWith(QStringLiteral("Error loading custom code.")) &&
                     text.contains(f.path(QStringLiteral("Beta.sbt"))),
                 qPrintable(text));
        QVERIFY(QGuiApplication::overrideCursor() == nullptr);
    }
};

QTEST_MAIN(TestSpecialFiles)
#include "tst_specialfiles.moc"

// The main window's start-up, its settings file and the start-up command line.
#include <optional>

#include <sys/stat.h>
#include <unistd.h>

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

#include "engine/keyshift.h"
#include "mainwindowfixture.h"
#include "progresswatch.h"
#include "ui/main/mainlayout.h"
#include "ui/main/windowgeometry.h"
#include "ui/twips.h"

using namespace Qt::StringLiterals;

using namespace lorimand;
using namespace lorimand::test;

namespace {

bool wholeTextSelected(const ByteTextEdit &area)
{
    return area.selectionStart() == 0 && area.selectionEnd() == area.byteCount() &&
           area.hasSelection();
}

} // namespace

class TestMainWindowStartup : public QObject
{
    Q_OBJECT

private slots:
    void firstRunWithoutSettings()
    {
        MainWindowFixture f;
        f.writeFile(u"Caesar.sbt"_s, "97=98\r\n");
        QVERIFY(f.window->startUp());
        QCOMPARE(f.normal()->bytes(), std::string("Enter a message to encode here . . ."));
        QCOMPARE(f.encoded()->bytes(), std::string(". . . or an encoded message to decode here."));
        QVERIFY(wholeTextSelected(*f.normal()));
        QVERIFY(wholeTextSelected(*f.encoded()));
        QCOMPARE(f.autoUpdate()->checkState(), Qt::Checked);
        QVERIFY(f.useKey()->isChecked());
        QCOMPARE(f.codeName()->currentIndex(), 0);
        QCOMPARE(f.window->codeTables().encodeTable[97], 98);
        QCOMPARE(f.window->defaultKey(), std::string("TarnVeli"));
        QVERIFY(QFile::exists(f.path(u"Lorimand.ini"_s)));
        QCOMPARE(f.readFile(u"Lorimand.ini"_s), QByteArray());
        QVERIFY(f.platform.messages.isEmpty());
    }

    void failingSelfTestEndsBeforeAnything()
    {
        MainWindowFixture f;
        f.generator.broken = true;
        f.writeFile(u"Caesar.sbt"_s, "97=98\r\n");
        QVERIFY(!f.window->startUp("-e missing.txt"));
        QCOMPARE(f.platform.endProgramCalls, 1);
        QCOMPARE(f.platform.messages.size(), 1);
        QCOMPARE(f.platform.messages[0].text,
                 QStringLiteral("Number error.  Please restart the program."));
        QCOMPARE(f.files.reads, 0);
        QVERIFY(!QFile::exists(f.path(u"Lorimand.ini"_s)));
        QVERIFY(f.normal()->bytes().empty());
    }

    void settingsApplied()
    {
        MainWindowFixture f;
        f.writeFile(u"Alpha.sbt"_s, "97=120\r\n");
        f.writeFile(u"Caesar.sbt"_s, "97=98\r\n");
        f.writeFile(u"Lorimand.ini"_s,
                    "key=Swordfish\r\nMaskKey=1\r\nAutoUpdate=0\r\ncodetype=1\r\n"
                    "CustCode=CAESAR\r\nWindowPos=1200,900,9015,6405\r\n");
        QVERIFY(f.window->startUp());
        QCOMPARE(f.key()->bytes(), std::string("Swordfish"));
        QCOMPARE(f.key()->displayText(), QStringLiteral("*********"));
        QCOMPARE(f.autoUpdate()->checkState(), Qt::Unchecked);
        QVERIFY(f.useCustom()->isChecked());
        QCOMPARE(f.codeName()->currentText(), QStringLiteral("Caesar"));
        QCOMPARE(f.window->codeTables().encodeTable[97], 98);
        QCOMPARE(f.window->defaultKey(), std::string("Swordfish"));
        QCOMPARE(f.window->size(), twips::clientSize({9015, 6405}));
    }

    // A settings file the start-up does not use as it is: the user is told why,
    // naming the file, and what it could not apply stays at a first start's.
    void settingsNotUsedAsTheyAreAreExplained_data()
    {
        QTest::addColumn<bool>("othersInSharedFolder");
        QTest::addColumn<QString>("reason");
        QTest::newRow("key line past 1 MiB")
            << false << u"its key line is longer than 1 MiB, so that key is not applied."_s;
        QTest::newRow("another user's file in a folder anyone may write to")
            << true << u"It is another user's file in a folder anyone may write to"_s;
    }
    void settingsNotUsedAsTheyAreAreExplained()
    {
        QFETCH(bool, othersInSharedFolder);
        QFETCH(QString, reason);
        MainWindowFixture f;
        f.platform.userConfig = f.path(u"config"_s);
        const QByteArray key =
            othersInSharedFolder ? QByteArray("TheirKey") : QByteArray(kLongestKey + 1, 'k');
        const QByteArray old = "key=" + key + "\r\nAutoUpdate=0\r\n";
        f.writeFile(u"Lorimand.ini"_s, old);
        if (othersInSharedFolder) {
            if (::geteuid() != 0) {
                QSKIP("giving a file to another user needs root");
            }
            QCOMPARE(::chmod(QFile::encodeName(f.folder.path()).constData(), 01777), 0);
            QCOMPARE(::chown(QFile::encodeName(f.path(u"Lorimand.ini"_s)).constData(), 4242, 4242),
                     0);
        }
        QVERIFY(f.window->startUp());
        QCOMPARE(f.platform.messages.size(), 1);
        const QString text = f.platform.messages[0].text;
        QVERIFY2(text.contains(f.path(u"Lorimand.ini"_s) + u": "_s + reason), qPrintable(text));
        MainWindowFixture firstStart;
        QVERIFY(firstStart.window->startUp());
        QCOMPARE(f.key()->bytes(), firstStart.key()->bytes());
        // The other user's file is not read at all; the long key's lines around it are.
        QCOMPARE(f.autoUpdate()->checkState(), othersInSharedFolder ? Qt::Checked : Qt::Unchecked);
        if (othersInSharedFolder) {
            QVERIFY(f.window->close());
            QCOMPARE(f.readFile(u"Lorimand.ini"_s), old);
            QVERIFY(QFile::exists(f.path(u"config/Lorimand.ini"_s)));
        }
    }

    // A key line too long to apply stays in the file as it was: the key that
    // stands in for it is not written over it unless the user saves another key.
    void unappliedKeyLineIsKept_data()
    {
        QTest::addColumn<QByteArray>("typedKey"); // empty: the key left alone
        QTest::addColumn<int>("answer");          // to "save the new key as the default?"
        QTest::addColumn<bool>("kept");
        QTest::newRow("key left alone") << QByteArray() << int(QMessageBox::NoButton) << true;
        QTest::newRow("another key, not saved")
            << QByteArray("Other") << int(QMessageBox::No) << true;
        QTest::newRow("another key, saved")
            << QByteArray("Other") << int(QMessageBox::Yes) << false;
    }
    void unappliedKeyLineIsKept()
    {
        QFETCH(QByteArray, typedKey);
        QFETCH(int, answer);
        QFETCH(bool, kept);
        MainWindowFixture f;
        const QByteArray keyLine = "key=" + QByteArray(kLongestKey + 1, 'k') + "\r\n";
        f.writeFile(u"Lorimand.ini"_s, keyLine + "AutoUpdate=0\r\n");
        QVERIFY(f.window->startUp());
        f.window->show();
        if (!typedKey.isEmpty()) {
            f.key()->setBytes(typedKey.toStdString());
            f.platform.answers.enqueue(static_cast<QMessageBox::StandardButton>(answer));
        }
        f.platform.messages.clear();
        QVERIFY(f.window->close());
        QCOMPARE(f.platform.messages.size(), typedKey.isEmpty() ? 0 : 1);
        const QByteArray file = f.readFile(u"Lorimand.ini"_s);
        QVERIFY(file.contains("AutoUpdate=0\r\n"));
        if (kept) {
            QVERIFY(file.startsWith(keyLine));
            QCOMPARE(file.count("key="), 1);
        } else {
            QVERIFY(file.startsWith("key=" + typedKey + "\r\n"));
        }
    }

    void unknownRememberedTableSelectsTheFirst()
    {
        MainWindowFixture f;
        f.writeFile(u"Alpha.sbt"_s, "97=120\r\n");
        f.writeFile(u"Beta.sbt"_s, "97=121\r\n");
        f.writeFile(u"Lorimand.ini"_s, "CustCode=Gamma\r\n");
        QVERIFY(f.window->startUp());
        QCOMPARE(f.codeName()->currentIndex(), 0);
        QCOMPARE(f.codeName()->currentText(), QStringLiteral("Alpha"));
        QCOMPARE(f.window->codeTables().encodeTable[97], 120);
    }

    void noCodeTablesSelectsNothing()
    {
        MainWindowFixture f;
        QDir(f.folder.path()).mkdir(QStringLiteral("folder.sbt"));
        f.writeFile(u".hidden.sbt"_s, "97=120\r\n");
        QVERIFY(f.window->startUp());
        QCOMPARE(f.codeName()->count(), 0);
        QVERIFY(f.platform.messages.isEmpty());
    }

    // A table is listed by its file's name without the final ".sbt", dots and
    // all, which names the file again, so it loads without a message. A name an
    // earlier copy remembered up to the first dot still finds its table when only
    // one starts with it.
    void codeTableNamesWithDots_data()
    {
        QTest::addColumn<QByteArray>("remembered");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<int>("encodedA"); // what the table selected makes of "a"
        QTest::newRow("a name with a dot") << QByteArray("a.b") << u"a.b"_s << 100;
        QTest::newRow("the name with two dots")
            << QByteArray("Caesar.v2.x") << u"Caesar.v2.x"_s << 101;
        QTest::newRow("up to the first dot, one table starts so")
            << QByteArray("Caesar") << u"Caesar.v2.x"_s << 101;
        QTest::newRow("up to the first dot, a table of that name first")
            << QByteArray("a") << u"A"_s << 99;
        QTest::newRow("up to the first dot, two tables start so")
            << QByteArray("Twin") << u"A"_s << 99;
    }
    void codeTableNamesWithDots()
    {
        QFETCH(QByteArray, remembered);
        QFETCH(QString, selected);
        QFETCH(int, encodedA);
        MainWindowFixture f;
        f.writeFile(u"b.sbt"_s, "97=98\r\n");
        f.writeFile(u"A.sbt"_s, "97=99\r\n");
        f.writeFile(u"a.b.sbt"_s, "97=100\r\n");
        f.writeFile(u"Caesar.v2.x.sbt"_s, "97=101\r\n");
        f.writeFile(u"Twin.1.sbt"_s, "97=102\r\n");
        f.writeFile(u"Twin.2.sbt"_s, "97=103\r\n");
        f.writeFile(u"notes.sbt.txt"_s, "");
        f.writeFile(u"Lorimand.ini"_s, "CustCode=" + remembered + "\r\n");
        QVERIFY(f.window->startUp());
        QStringList entries;
        for (int i = 0; i < f.codeName()->count(); ++i) {
            entries << f.codeName()->itemText(i);
        }
        entries.sort();
        QCOMPARE(entries, QStringList({u"A"_s, u"Caesar.v2.x"_s, u"Twin.1"_s, u"Twin.2"_s, u"a.b"_s,
                                       u"b"_s}));
        QCOMPARE(f.codeName()->currentText(), selected);
        QCOMPARE(f.window->codeTables().encodeTable[97], encodedA);
        QVERIFY(f.platform.messages.isEmpty());
    }

    void closeWritesTheSixSettings()
    {
        MainWindowFixture f;
        f.writeFile(u"Caesar.sbt"_s, "97=98\r\n");
        QVERIFY(f.window->startUp());
        f.window->resize(twips::clientSize({9015, 6405}));
        f.window->move(80, 60);
        QVERIFY(f.window->close());
        QCOMPARE(f.readFile(u"Lorimand.ini"_s),
                 QByteArray("key=TarnVeli\r\nMaskKey=0\r\nAutoUpdate=1\r\nCodeType=0\r\n"
                            "CustCode=Caesar\r\nWindowPos=1200,900,9015,6405\r\n"));
        QVERIFY(!QFile::exists(f.path(u"Lorimand.tmp"_s)));
        QVERIFY(f.platform.messages.isEmpty());
    }

    void closePrompt_data()
    {
        QTest::addColumn<QByteArray>("typedKey");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<QByteArray>("savedKey");
        QTest::newRow("yes") << QByteArray("NewKey") << int(QMessageBox::Yes) << true << true
                             << QByteArray("NewKey");
        QTest::newRow("no") << QByteArray("NewKey") << int(QMessageBox::No) << true << true
                            << QByteArray("OldKey");
        QTest::newRow("cancel") << QByteArray("NewKey") << int(QMessageBox::Cancel) << true << false
                                << QByteArray();
        QTest::newRow("letter case") << QByteArray("oldkey") << int(QMessageBox::Yes) << true
                                     << true << QByteArray("oldkey");
        QTest::newRow("empty key")
            << QByteArray() << int(QMessageBox::NoButton) << false << true << QByteArray("OldKey");
        QTest::newRow("unchanged") << QByteArray("OldKey") << int(QMessageBox::NoButton) << false
                                   << true << QByteArray("OldKey");
        // A key that would break its line in the settings file is not kept: the
        // close says so, and Cancel keeps the window open to change the key.
        for (const char *lineBreak : {"\r", "\n", "\r\n"}) {
            const QByteArray key = QByteArray("a") + lineBreak + "key=b";
            const char *name = lineBreak[1] != 0 ? "CR LF" : lineBreak[0] == '\r' ? "CR" : "LF";
            QTest::addRow("key with %s, OK", name)
                << key << int(QMessageBox::Ok) << true << true << QByteArray("OldKey");
            QTest::addRow("key with %s, cancel", name)
                << key << int(QMessageBox::Cancel) << true << false << QByteArray();
        }
    }
    void closePrompt()
    {
        QFETCH(QByteArray, typedKey);
        QFETCH(int, answer);
        QFETCH(bool, asked);
        QFETCH(bool, closes);
        QFETCH(QByteArray, savedKey);
        MainWindowFixture f;
        const QByteArray original = "; notes\r\nkey=OldKey\r\n";
        f.writeFile(u"Lorimand.ini"_s, original);
        QVERIFY(f.window->startUp());
        f.window->show();
        f.key()->setBytes(typedKey.toStdString());
        if (asked) {
            f.platform.answers.enqueue(static_cast<QMessageBox::StandardButton>(answer));
        }

        QCOMPARE(f.window->close(), closes);
        QCOMPARE(f.platform.messages.size(), asked ? 1 : 0);
        if (asked) {
            const ShownMessage &prompt = f.platform.messages[0];
            QCOMPARE(prompt.title, QStringLiteral("Closing"));
            if (typedKey.contains('\r') || typedKey.contains('\n')) {
                QVERIFY2(prompt.text.contains(QStringLiteral("cannot be remembered")) &&
                             prompt.text.contains(QStringLiteral("previous default key")),
                         qPrintable(prompt.text));
                QCOMPARE(prompt.buttons, QMessageBox::Ok | QMessageBox::Cancel);
            } else {
                QCOMPARE(prompt.text, QStringLiteral("The encryption key has changed.  Would you "
                                                     "like to save the new key as the default?"));
                QCOMPARE(prompt.buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
                QCOMPARE(prompt.defaultButton, QMessageBox::Yes);
            }
        }
        const QByteArray file = f.readFile(u"Lorimand.ini"_s);
        if (!closes) {
            QCOMPARE(file, original);
            QCOMPARE(f.key()->bytes(), typedKey.toStdString());
            QVERIFY(f.window->isVisible());
            return;
        }
        QVERIFY(file.startsWith("; notes\r\nkey=" + savedKey + "\r\nMaskKey=0\r\n"));
    }

    // After the key's question, closing asks about each area holding text the
    // user typed, pasted or dropped and did not save since; not about the
    // greeting texts, nor about a text loaded and left as it was.
    void discardQuestion_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<QList<int>>("answers");
        QTest::addColumn<QStringList>("asked");
        QTest::addColumn<bool>("closes");
        const QString normal = u"Normal Text has not been saved."_s;
        const QString encoded = u"Encoded Text has not been saved."_s;
        const QString key = u"The encryption key has changed."_s;
        const int save = QMessageBox::Save;
        const int discard = QMessageBox::Discard;
        const int cancel = QMessageBox::Cancel;
        const QByteArray none;
        QTest::newRow("greeting texts")
            << QStringList{} << none << QList<int>{} << QStringList{} << true;
        QTest::newRow("loaded, unchanged") << QStringList{u"load normal"_s, u"load encoded"_s}
                                           << none << QList<int>{} << QStringList{} << true;
        QTest::newRow("typed, Discard") << QStringList{u"type normal"_s} << none
                                        << QList<int>{discard} << QStringList{normal} << true;
        QTest::newRow("typed, Cancel") << QStringList{u"type normal"_s} << none
                                       << QList<int>{cancel} << QStringList{normal} << false;
        QTest::newRow("pasted into Encoded") << QStringList{u"paste encoded"_s} << none
                                             << QList<int>{discard} << QStringList{encoded} << true;
        QTest::newRow("both, Cancel at the second")
            << QStringList{u"type normal"_s, u"paste encoded"_s} << none
            << QList<int>{discard, cancel} << QStringList{normal, encoded} << false;
        QTest::newRow("typed, then saved") << QStringList{u"type normal"_s, u"save normal"_s}
                                           << none << QList<int>{} << QStringList{} << true;
        QTest::newRow("typed after loading")
            << QStringList{u"load normal"_s, u"type normal"_s} << none << QList<int>{discard}
            << QStringList{normal} << true;
        QTest::newRow("loaded over typed text") << QStringList{u"type normal"_s, u"load normal"_s}
                                                << none << QList<int>{} << QStringList{} << true;
        QTest::newRow("Save... saves and closes")
            << QStringList{u"type normal"_s, u"choose a file"_s} << none << QList<int>{save}
            << QStringList{normal} << true;
        QTest::newRow("Save... cancelled keeps the window")
            << QStringList{u"type normal"_s} << none << QList<int>{save} << QStringList{normal}
            << false;
        QTest::newRow("Save..., then Cancel in its progress, keeps the window")
            << QStringList{u"type normal"_s, u"choose a file"_s, u"cancel the saving"_s} << none
            << QList<int>{save} << QStringList{normal} << false;
        QTest::newRow("turned off")
            << QStringList{u"type normal"_s, u"paste encoded"_s}
            << QByteArray("AskBeforeDiscarding=0\r\n") << QList<int>{} << QStringList{} << true;
        QTest::newRow("after the key's question")
            << QStringList{u"key"_s, u"type normal"_s} << none
            << QList<int>{int(QMessageBox::No), discard} << QStringList{key, normal} << true;
        QTest::newRow("Cancel after the key's question keeps the key")
            << QStringList{u"key"_s, u"type normal"_s} << none
            << QList<int>{int(QMessageBox::No), cancel} << QStringList{key, normal} << false;
    }
    void discardQuestion()
    {
        QFETCH(QStringList, steps);
        QFETCH(QByteArray, settings);
        QFETCH(QList<int>, answers);
        QFETCH(QStringList, asked);
        QFETCH(bool, closes);
        MainWindowFixture f;
        std::optional<test::ProgressWatch> watch;
        const QByteArray original = "key=OldKey\r\n" + settings;
        f.writeFile(u"Lorimand.ini"_s, original);
        f.writeFile(u"letter.txt"_s, "Dear Ann");
        QVERIFY(f.window->startUp());
        f.window->show();
        for (const QString &step : steps) {
            if (step == u"type normal") {
                QTest::keyClicks(f.normal(), u"typed"_s);
            } else if (step == u"paste encoded") {
                QGuiApplication::clipboard()->setText(u"pasted"_s);
                QTest::keyClick(f.encoded(), Qt::Key_V, Qt::ControlModifier);
            } else if (step == u"load normal" || step == u"load encoded") {
                f.platform.fileChoices.enqueue(f.path(u"letter.txt"_s));
                f.child<QPushButton>(step == u"load normal" ? "LoadText" : "LoadCode")->click();
            } else if (step == u"save normal") {
                f.platform.fileChoices.enqueue(f.path(u"saved.txt"_s));
                f.child<QPushButton>("SaveText")->click();
            } else if (step == u"choose a file") {
                f.platform.fileChoices.enqueue(f.path(u"saved.txt"_s));
            } else if (step == u"key") {
                f.key()->setBytes("NewKey");
            } else if (step == u"cancel the saving") {
                watch.emplace(*f.window, 0);
            }
        }
        const std::string typedNormal = f.normal()->bytes();
        f.platform.messages.clear();
        for (const int answer : answers) {
            f.platform.answers.enqueue(static_cast<QMessageBox::StandardButton>(answer));
        }

        QCOMPARE(f.window->close(), closes);

        QStringList shown;
        for (const ShownMessage &message : f.platform.messages) {
            shown << message.text.left(asked.value(int(shown.size())).size());
            QCOMPARE(message.title, u"Closing"_s);
            if (message.text.endsWith(u"has not been saved."_s)) {
                QCOMPARE(message.buttons,
                         QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
                QCOMPARE(message.defaultButton, QMessageBox::Save);
            }
        }
        QCOMPARE(shown, asked);
        if (steps.contains(u"cancel the saving"_s)) {
            // Nothing saved, and the text still unsaved: the next close asks again.
            QVERIFY(!QFile::exists(f.path(u"saved.txt"_s)));
            QVERIFY(watch->highest() >= 0);
            f.platform.messages.clear();
            f.platform.answers.enqueue(QMessageBox::Cancel);
            QVERIFY(!f.window->close());
            QCOMPARE(f.platform.messages.size(), 1);
            QCOMPARE(f.platform.messages[0].text, u"Normal Text has not been saved."_s);
        } else if (steps.contains(u"choose a file"_s)) {
            QCOMPARE(f.readFile(u"saved.txt"_s), QByteArray::fromStdString(typedNormal));
        }
        if (!closes) {
            QCOMPARE(f.readFile(u"Lorimand.ini"_s), original);
            QVERIFY(f.window->isVisible());
            if (steps.contains(u"key"_s)) {
                QCOMPARE(f.key()->bytes(), std::string("NewKey"));
            }
        }
    }

    // The folder of the file last chosen is kept across a restart, and is
    // written only once a file was chosen.
    void lastFolderAcrossRestarts()
    {
        MainWindowFixture f;
        QVERIFY(f.window->startUp());
        QVERIFY(f.window->close());
        QVERIFY(!f.readFile(u"Lorimand.ini"_s).contains("LastFolder"));

        QDir(f.folder.path()).mkdir(u"letters"_s);
        f.writeFile(u"letters/a.txt"_s, "Dear Ann");
        MainWindowFixture second;
        second.platform.folder = f.folder.path();
        QVERIFY(second.window->startUp());
        second.platform.fileChoices.enqueue(f.path(u"letters/a.txt"_s));
        second.child<QPushButton>("LoadText")->click();
        QVERIFY(second.window->close());
        QVERIFY(f.readFile(u"Lorimand.ini"_s)
                    .contains("\r\nLastFolder=" + f.path(u"letters"_s).toUtf8() + "\r\n"));

        MainWindowFixture third;
        third.platform.folder = f.folder.path();
        QVERIFY(third.window->startUp());
        QCOMPARE(third.platform.lastFolder(), f.path(u"letters"_s));
    }

    // The list reads the folders again as it opens: a table added since the
    // start shows, one removed goes, and the entry chosen stays chosen.
    void tableListIsReadAgainAsItOpens()
    {
        MainWindowFixture f;
        f.writeFile(u"Caesar.sbt"_s, "97=98\r\n");
        f.writeFile(u"Old.sbt"_s, "97=99\r\n");
        f.writeFile(u"Lorimand.ini"_s, "CustCode=Caesar\r\n");
        QVERIFY(f.window->startUp());
        f.window->show();
        f.writeFile(u"Added.sbt"_s, "97=100\r\n");
        QVERIFY(QFile::remove(f.path(u"Old.sbt"_s)));

        f.codeName()->showPopup();
        QStringList names;
        for (int i = 0; i < f.codeName()->count(); ++i) {
            names << f.codeName()->itemText(i);
        }
        f.codeName()->hidePopup();
        QCOMPARE(names, (QStringList{u"Added"_s, u"Caesar"_s}));
        QCOMPARE(f.codeName()->currentText(), u"Caesar"_s);
        QCOMPARE(f.window->codeTables().encodeTable[97], 98);
    }

    // A table's name is remembered as the bytes of its file name, whatever
    // characters they hold, and selects that table at the next start.
    void tableNamesAreRememberedAsBytes_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::newRow("beyond Windows-1252") << QByteArray("\xCE\xA9mega \xE4\xB8\xAD");
        QTest::newRow("not UTF-8") << QByteArray("Caf\xE9\xFF");
        QTest::newRow("plain") << QByteArray("Zeta");
    }
    void tableNamesAreRememberedAsBytes()
    {
        QFETCH(QByteArray, name);
        MainWindowFixture f;
        f.writeFile(QStringLiteral("Alpha.sbt"), "97=120\r\n");
        QVERIFY(!f.files.writeFile(pathOf(f.folder.path()) + "/" + name.toStdString() + ".sbt",
                                   "97=100\r\n"));
        QVERIFY(f.window->startUp());
        const int entry = f.codeName()->findData(name);
        QVERIFY(entry >= 0);
        f.codeName()->setCurrentIndex(entry);
        emit f.codeName()->activated(entry);
        QCOMPARE(f.window->codeTables().encodeTable[97], 100);
        QVERIFY(f.window->close());
        QVERIFY(
            f.readFile(QStringLiteral("Lorimand.ini")).contains("\r\nCustCode=" + name + "\r\n"));
        QVERIFY(f.platform.messages.isEmpty());

        MainWindow nextRun(f.platform, f.files, f.generator);
        QVERIFY(nextRun.startUp());
        const auto *codeName = nextRun.findChild<QComboBox *>(QStringLiteral("CodeName"));
        QCOMPARE(codeName->currentData().toByteArray(), name);
        QCOMPARE(nextRun.codeTables().encodeTable[97], 100);
        QVERIFY(f.platform.messages.isEmpty());
    }

    // A name holding a line break is listed and loads, but is not written into the
    // settings file: the table remembered before stays remembered.
    void tableNameWithALineBreakIsNotRemembered()
    {
        MainWindowFixture f;
        f.writeFile(QStringLiteral("Alpha.sbt"), "97=120\r\n");
        f.writeFile(QStringLiteral("Line\rBreak.sbt"), "97=100\r\n");
        f.writeFile(QStringLiteral("Lorimand.ini"), "CustCode=Alpha\r\n");
        QVERIFY(f.window->startUp());
        const int entry = f.codeName()->findData(QByteArray("Line\rBreak"));
        QVERIFY(entry >= 0);
        f.codeName()->setCurrentIndex(entry);
        emit f.codeName()->activated(entry);
        QCOMPARE(f.window->codeTables().encodeTable[97], 100);
        QVERIFY(f.window->close());
        const QByteArray file = f.readFile(QStringLiteral("Lorimand.ini"));
        QVERIFY2(file.startsWith("CustCode=Alpha\r\n") && !file.contains("Line"), file.constData());
    }

    void failedRewriteKeepsTheOldFile()
    {
        MainWindowFixture f;
        const QByteArray original = "key=OldKey\r\nColor=blue\r\n";
        f.writeFile(u"Lorimand.ini"_s, original);
        QVERIFY(f.window->startUp());
        f.files.failWrites = true;
        QVERIFY(f.window->close());
        QCOMPARE(f.readFile(u"Lorimand.ini"_s), original);
        QCOMPARE(f.platform.messages.size(), 1);
        QVERIFY(f.platform.messages[0].text.contains(QStringLiteral("Lorimand.ini")));
    }

    void geometryRoundTripsWithoutDrift_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QByteArray>("size");
        QTest::newRow("as saved") << QByteArray("WindowPos=1200,900,9015,6405")
                                  << QByteArray(",9015,6405\r\n");
        // Below the minimum size; the platform may also move a window it finds
        // off the screen, once.
        QTest::newRow("too small") << QByteArray("WindowPos=100") << QByteArray(",8415,6000\r\n");
    }
    void geometryRoundTripsWithoutDrift()
    {
        QFETCH(QByteArray, stored);
        QFETCH(QByteArray, size);
        QTemporaryDir folder;
        QFile ini(folder.filePath(u"Lorimand.ini"_s));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write(stored + "\r\n");
        ini.close();
        QByteArrayList saved;
        for (int run = 0; run < 3; ++run) {
            ScriptedPlatform platform(folder.path());
            FailingFileSystem files;
            RuntimeGenerator generator;
            MainWindow window(platform, files, generator);
            QVERIFY(window.startUp());
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            QVERIFY(window.close());
            QVERIFY(ini.open(QIODevice::ReadOnly));
            saved.append(ini.readAll());
            ini.close();
            QVERIFY2(saved.last().contains(size), saved.last().constData());
        }
        if (stored.contains(size.chopped(2))) {
            QVERIFY(saved[0].contains(stored + "\r\n"));
        }
        QCOMPARE(saved[1], saved[0]);
        QCOMPARE(saved[2], saved[0]);
    }

    // A size far beyond the screen costs nothing and hides nothing: the window
    // takes what the screen allows, and that is what is written back.
    void absurdGeometryIsBoundedByTheScreen()
    {
        MainWindowFixture f;
        f.writeFile(u"Lorimand.ini"_s, "WindowPos=0,0,99999999,99999999\r\n");
        QVERIFY(f.window->startUp());
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        const QRect placed = f.window->geometry();
        QVERIFY2(screen.contains(placed), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                         .arg(placed.x())
                                                         .arg(placed.y())
                                                         .arg(placed.width())
                                                         .arg(placed.height())));
        QVERIFY(f.window->close());
        const WindowGeometry had = savedGeometryFor(f.window->geometry());
        QVERIFY(f.readFile(u"Lorimand.ini"_s)
                    .contains(QStringLiteral("WindowPos=%1,%2,%3,%4\r\n")
                                  .arg(had.left)
                                  .arg(had.top)
                                  .arg(had.width)
                                  .arg(had.height)
                                  .toLatin1()));
    }

    void commandLine_data()
    {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<bool>("encodes");
        QTest::addColumn<QByteArray>("loaded");
        QTest::newRow("-e") << "-e notes.txt"
                            << "notes.txt" << QByteArray("abc\r\n") << true << QByteArray("abc");
        QTest::newRow("-E") << "-E notes.txt"
                            << "notes.txt" << QByteArray("abc") << true << QByteArray("abc");
        QTest::newRow("-D") << "-D notes.txt"
                            << "notes.txt" << QByteArray("abc") << false << QByteArray("abc");
        QTest::newRow("name alone")
            << "notes.txt"
            << "notes.txt" << QByteArray("x\ry") << false << QByteArray("x\ry");
        QTest::newRow("-e without blank")
            << "-e"
            << "-e" << QByteArray("abc") << false << QByteArray("abc");
        QTest::newRow("-enotes.txt")
            << "-enotes.txt"
            << "-enotes.txt" << QByteArray("abc") << false << QByteArray("abc");
        QTest::newRow("two blanks")
            << "-e  notes.txt"
            << " notes.txt" << QByteArray("abc") << true << QByteArray("abc");
        QTest::newRow("empty file") << "-e notes.txt"
                                    << "notes.txt" << QByteArray() << true << QByteArray();
        // Encoded text is taken byte for byte, plain text by the line rule.
        QTest::newRow("-d lines") << "-d notes.txt"
                                  << "notes.txt" << QByteArray("one\r\ntwo\r\n") << false
                                  << QByteArray("one\r\ntwo\r\n");
        QTest::newRow("-e lines") << "-e notes.txt"
                                  << "notes.txt" << QByteArray("one\rtwo\r\n") << true
                                  << QByteArray("one\r\ntwo");
    }
    void commandLine()
    {
        QFETCH(QString, arguments);
        QFETCH(QString, fileName);
        QFETCH(QByteArray, contents);
        QFETCH(bool, encodes);
        QFETCH(QByteArray, loaded);
        MainWindowFixture f;
        f.writeFile(fileName, contents);
        // Relative names are taken from the working folder, as a shell would pass them.
        const QString previous = QDir::currentPath();
        QDir::setCurrent(f.folder.path());
        const bool started = f.window->startUp(pathOf(arguments));
        QDir::setCurrent(previous);
        QVERIFY(started);

        const std::string text = loaded.toStdString();
        if (encodes) {
            QCOMPARE(f.normal()->bytes(), text);
            QCOMPARE(f.encoded()->bytes(), withKey(text, Direction::Encode));
        } else {
            QCOMPARE(f.encoded()->bytes(), text);
            QCOMPARE(f.normal()->bytes(), withKey(text, Direction::Decode));
        }
        QVERIFY(!f.window->isUpdating());
        QVERIFY(f.platform.messages.isEmpty());
    }

    void commandLineTranslatesWhateverAutoSays()
    {
        MainWindowFixture f;
        f.writeFile(u"Lorimand.ini"_s, "AutoUpdate=0\r\n");
        f.writeFile(u"notes.txt"_s, "abc");
        QVERIFY(f.window->startUp("-e " + pathOf(f.path(u"notes.txt"_s))));
        QCOMPARE(f.encoded()->bytes(), withKey("abc", Direction::Encode));
    }

    // The name is the arguments' own bytes, which need not be valid UTF-8.
    void commandLineFileNameIsBytes()
    {
        MainWindowFixture f;
        const std::string file = pathOf(f.folder.path()) + "/notes \xFF\xE9.txt";
        QVERIFY(!f.files.writeFile(file, "abc"));
        QVERIFY(f.window->startUp("-e " + file));
        QVERIFY(f.platform.messages.isEmpty());
        QCOMPARE(f.normal()->bytes(), std::string("abc"));
        QCOMPARE(f.encoded()->bytes(), withKey("abc", Direction::Encode));
    }

    void missingCommandLineFile()
    {
        MainWindowFixture f;
        const QString missing = f.path(u"missing.txt"_s);
        QVERIFY(f.window->startUp("-e " + pathOf(missing)));
        QCOMPARE(f.platform.messages.size(), 1);
        QCOMPARE(f.platform.messages[0].title, QStringLiteral("Error"));
        QVERIFY(f.platform.messages[0].text.contains(missing));
        QVERIFY(f.platform.messages[0].text.contains(QStringLiteral("No such file")));
        QCOMPARE(f.normal()->bytes(), std::string("Enter a message to encode here . . ."));
        QVERIFY(!f.window->isUpdating());
        // Editing still translates.
        f.normal()->setBytes("a");
        QCOMPARE(f.encoded()->bytes(), withKey("a", Direction::Encode));
    }
};

QTEST_MAIN(TestMainWindowStartup)
#include "tst_mainwindow_startup.moc"

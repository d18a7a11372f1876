// Loading and saving text files, dropping files onto the text areas, and F1.
#include <QTemporaryDir>
#include <QTest>

#include "journals.h"
#include "mainwindowfixture.h"
#include "progresswatch.h"
#include "ui/help/helpwindow.h"

using namespace Qt::StringLiterals;

using namespace lorimand;
using namespace lorimand::test;

class TestTextFiles : public QObject
{
    Q_OBJECT

private slots:
    void load_data()
    {
        QTest::addColumn<bool>("intoNormal");
        QTest::addColumn<bool>("autoOn");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("loaded");
        const std::pair<const char *, std::pair<QByteArray, QByteArray>> files[] = {
            {"final line end dropped", {"a\r\nb\r\n", "a\r\nb"}},
            {"no final line end", {"a\r\nb", "a\r\nb"}},
            {"ends with an empty line", {"a\r\n\r\n", "a\r\n"}},
            {"empty", {"", ""}},
            {"only CR LF", {"\r\n", ""}},
            {"lone CR", {"a\rb", "a\r\nb"}},
            {"lone LF", {"a\nb", "a\nb"}},
            {"NUL and 0x1A",
             {QByteArray("a\0b\x1A"
                         "c",
                         5),
              QByteArray("a\0b\x1A"
                         "c",
                         5)}},
        };
        // Plain text follows the line rule; encoded text loads byte for byte.
        for (const auto &[name, contents] : files) {
            QTest::addRow("Normal, Auto, %s", name)
                << true << true << contents.first << contents.second;
            QTest::addRow("Encoded, no Auto, %s", name)
                << false << false << contents.first << contents.first;
        }
        QTest::addRow("Encoded, Auto") << false << true << QByteArray("xyz") << QByteArray("xyz");
        QTest::addRow("Normal, no Auto") << true << false << QByteArray("xyz") << QByteArray("xyz");
    }
    void load()
    {
        QFETCH(bool, intoNormal);
        QFETCH(bool, autoOn);
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, loaded);
        MainWindowFixture f;
        f.autoUpdate()->setCheckState(autoOn ? Qt::Checked : Qt::Unchecked);
        f.normal()->setBytes("before");
        f.encoded()->setBytes("before");
        f.writeFile(u"in.txt"_s, file);
        f.platform.fileChoices.enqueue(f.path(u"in.txt"_s));

        f.child<QPushButton>(intoNormal ? "LoadText" : "LoadCode")->click();

        QCOMPARE(f.platform.openTitles,
                 QStringList(intoNormal ? u"Load Normal Text"_s : u"Load Encoded Text"_s));
        ByteTextEdit *area = intoNormal ? f.normal() : f.encoded();
        ByteTextEdit *other = intoNormal ? f.encoded() : f.normal();
        QCOMPARE(area->bytes(), loaded.toStdString());
        const std::string expectedOther =
            autoOn
                ? withKey(loaded.toStdString(), intoNormal ? Direction::Encode : Direction::Decode)
                : std::string("before");
        QCOMPARE(other->bytes(), expectedOther);
        QVERIFY(!f.window->isUpdating());
        QVERIFY(QGuiApplication::overrideCursor() == nullptr);
        QVERIFY(f.platform.messages.isEmpty());
    }

    void cancelledLoadChangesNothing()
    {
        MainWindowFixture f;
        f.normal()->setBytes("one");
        f.encoded()->setBytes("two");
        f.autoUpdate()->setCheckState(Qt::Checked);
        f.child<QPushButton>("LoadText")->click();
        QCOMPARE(f.platform.openTitles.size(), 1);
        QCOMPARE(f.normal()->bytes(), std::string("one"));
        QCOMPARE(f.encoded()->bytes(), std::string("two"));
        QVERIFY(!f.window->isUpdating());
        QCOMPARE(f.files.reads, 0);
    }

    void loadChecksTheGeneratorFirst()
    {
        MainWindowFixture f;
        f.generator.broken = true;
        f.key()->setBytes("");
        f.child<QPushButton>("LoadCode")->click();
        QCOMPARE(f.platform.endProgramCalls, 1);
        QVERIFY(f.platform.openTitles.isEmpty());
    }

    void unreadableFileLosesNothing()
    {
        MainWindowFixture f;
        f.normal()->setBytes("one");
        f.encoded()->setBytes("two");
        f.autoUpdate()->setCheckState(Qt::Checked);
        f.writeFile(u"in.txt"_s, "new");
        f.files.failReads = true;
        f.platform.fileChoices.enqueue(f.path(u"in.txt"_s));
        f.child<QPushButton>("LoadText")->click();
        QCOMPARE(f.normal()->bytes(), std::string("one"));
        QCOMPARE(f.encoded()->bytes(), std::string("two"));
        QCOMPARE(f.platform.messages.size(), 1);
        QCOMPARE(f.platform.messages[0].title, QStringLiteral("Error"));
        QVERIFY(f.platform.messages[0].text.contains(f.path(u"in.txt"_s)));
        QVERIFY(f.platform.messages[0].text.contains(QStringLiteral("Input/output error")));
        QVERIFY(!f.window->isUpdating());
        QVERIFY(QGuiApplication::overrideCursor() == nullptr);
    }

    // A file whose save in place was killed midway loads as it was before that
    // save, and the window says that it was restored. One changed since by
    // another program loads as it is, and the window says where the text from
    // before that save went.
    void loadRestoresAnInterruptedSave_data()
    {
        QTest::addColumn<bool>("changedSince");
        QTest::newRow("restored") << false;
        QTest::newRow("changed since") << true;
    }
    void loadRestoresAnInterruptedSave()
    {
        QFETCH(bool, changedSince);
        const QTemporaryDir stateHome;
        QVERIFY(stateHome.isValid());
        qputenv("XDG_STATE_HOME", QFile::encodeName(stateHome.path()));
        MainWindowFixture f;
        f.autoUpdate()->setCheckState(Qt::Unchecked);
        const QByteArray old = randomBytes(100000);
        f.writeFile(u"in.txt"_s, old);
        QVERIFY(::link(QFile::encodeName(f.path(u"in.txt"_s)).constData(),
                       QFile::encodeName(f.path(u"twin.txt"_s)).constData()) == 0);
        QVERIFY(leaveInterruptedWrite(f.path(u"in.txt"_s), randomBytes(200000, 5)));
        const QByteArray changed = "changed by another program";
        if (changedSince) {
            QFile other(f.path(u"twin.txt"_s));
            QVERIFY(other.open(QIODevice::WriteOnly | QIODevice::Truncate));
            QCOMPARE(other.write(changed), changed.size());
        }
        f.platform.fileChoices.enqueue(f.path(u"twin.txt"_s));

        f.child<QPushButton>("LoadCode")->click();
        qunsetenv("XDG_STATE_HOME");

        QVERIFY(f.encoded()->bytes() == (changedSince ? changed : old).toStdString());
        QCOMPARE(f.readFile(u"in.txt"_s), changedSince ? changed : old);
        QCOMPARE(f.platform.messages.size(), 1);
        QCOMPARE(f.platform.messages[0].title,
                 changedSince ? u"Interrupted Save"_s : u"Restored"_s);
        QVERIFY(
            f.platform.messages[0].text.startsWith(f.path(u"twin.txt"_s) + u" was being saved"_s));
        if (changedSince) {
            const QString kept =
                QFileInfo(f.path(u"twin.txt"_s)).canonicalFilePath() + u".lorimand-old"_s;
            QVERIFY2(f.platform.messages[0].text.endsWith(u" is in "_s + kept + u'.'),
                     qPrintable(f.platform.messages[0].text));
            QVERIFY(f.readFile(u"twin.txt.lorimand-old"_s) == old);
        }
        QCOMPARE(entriesOf(stateHome.path() + u"/lorimand"_s), QStringList{});
    }

    void deviceIsNotRead()
    {
        MainWindowFixture f;
        f.normal()->setBytes("one");
        f.platform.fileChoices.enqueue(QStringLiteral("/dev/zero"));
        f.child<QPushButton>("LoadText")->click();
        QCOMPARE(f.normal()->bytes(), std::string("one"));
        QCOMPARE(f.platform.messages.size(), 1);
        QVERIFY(f.platform.messages[0].text.contains(QStringLiteral("/dev/zero")));
        QVERIFY(f.platform.messages[0].text.contains(QStringLiteral("not an ordinary file")));
    }

    // A file larger than the window holds is refused before it is read, with
    // a message that names the tool for such files; nothing changes.
    void tooLargeFileIsNotRead()
    {
        MainWindowFixture f;
        QFile large(f.path(u"large.txt"_s));
        QVERIFY(large.open(QIODevice::WriteOnly));
        QVERIFY(large.resize((qint64{1} << 30) + 1)); // sparse: no disk space taken
        large.close();
        f.normal()->setBytes("one");
        f.encoded()->setBytes("two");
        f.autoUpdate()->setCheckState(Qt::Checked);
        f.platform.fileChoices.enqueue(f.path(u"large.txt"_s));
        f.child<QPushButton>("LoadText")->click();
        QCOMPARE(f.normal()->bytes(), std::string("one"));
        QCOMPARE(f.encoded()->bytes(), std::string("two"));
        QCOMPARE(f.platform.messages.size(), 1);
        QVERIFY(f.platform.messages[0].text.contains(f.path(u"large.txt"_s)));
        QVERIFY(f.platform.messages[0].text.contains(QStringLiteral("1024 MiB")));
        QVERIFY(f.platform.messages[0].text.contains(QStringLiteral("lorimand-cli")));
    }

    // Reading a large file shows how far it is and can be cancelled at any
    // step: both areas are then exactly as they were, with their undo.
    void progressCancelChangesNothing_data()
    {
        QTest::addColumn<int>("cancelAt"); // of the bar's 1000
        QTest::addColumn<bool>("autoOn");
        QTest::newRow("while reading") << 1 << true;
        QTest::newRow("once the whole file is read") << 1000 << true;
        QTest::newRow("Auto off") << 1 << false;
    }
    void progressCancelChangesNothing()
    {
        QFETCH(int, cancelAt);
        QFETCH(bool, autoOn);
        MainWindowFixture f;
        f.window->show();
        f.writeFile(u"large.txt"_s, QByteArray(6 << 20, 'x'));
        f.normal()->setBytes("one");
        f.encoded()->setBytes("two");
        f.autoUpdate()->setCheckState(autoOn ? Qt::Checked : Qt::Unchecked);
        const test::ProgressWatch watch(*f.window, cancelAt);
        f.platform.fileChoices.enqueue(f.path(u"large.txt"_s));
        f.child<QPushButton>("LoadText")->click();

        QVERIFY(watch.highest() >= cancelAt);
        QCOMPARE(f.normal()->bytes(), std::string("one"));
        QCOMPARE(f.encoded()->bytes(), std::string("two"));
        QVERIFY(f.platform.messages.isEmpty());
        QVERIFY(watch.dialog() == nullptr);
        QTest::keyClick(f.normal(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(f.normal()->bytes(), std::string());
    }

    // Memory running out while a file is loaded and translated: the user is
    // told, and both areas keep what they held, their undo included.
    void outOfMemoryChangesNothing_data()
    {
        QTest::addColumn<bool>("autoOn");
        QTest::addColumn<int>("seedsBefore");
        QTest::newRow("loading, Auto on, while translating") << true << 1;
        QTest::newRow("Encode button") << false << 0;
    }
    void outOfMemoryChangesNothing()
    {
        QFETCH(bool, autoOn);
        QFETCH(int, seedsBefore);
        MainWindowFixture f;
        f.writeFile(u"in.txt"_s, "loaded");
        f.normal()->setBytes("one", ByteTextEdit::History::Fresh);
        f.encoded()->setBytes("two", ByteTextEdit::History::Fresh);
        f.autoUpdate()->setCheckState(autoOn ? Qt::Checked : Qt::Unchecked);
        f.generator.seedsBeforeOutOfMemory = seedsBefore;
        if (autoOn) {
            f.platform.fileChoices.enqueue(f.path(u"in.txt"_s));
            f.child<QPushButton>("LoadText")->click();
        } else {
            f.child<QPushButton>("EncodeButton")->click();
        }
        QCOMPARE(f.normal()->bytes(), std::string("one"));
        QCOMPARE(f.encoded()->bytes(), std::string("two"));
        QVERIFY(!f.encoded()->isUndoAvailable());
        QCOMPARE(f.platform.messages.size(), 1);
        QVERIFY(f.platform.messages[0].text.contains(QStringLiteral("too large")));
        QVERIFY(f.platform.messages[0].text.contains(QStringLiteral("lorimand-cli")));
        QCOMPARE(f.platform.endProgramCalls, 0);
    }

    void save_data()
    {
        QTest::addColumn<bool>("fromNormal");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("normal, line break") << true << QByteArray("a\r\nb");
        QTest::newRow("normal, empty") << true << QByteArray();
        QTest::newRow("normal, trailing line end") << true << QByteArray("a\r\n");
        QTest::newRow("encoded, NUL and 0x1A") << false << QByteArray("x\0y\x1Az", 5);
        QTest::newRow("encoded, lone LF") << false << QByteArray("x\ny");
        // Asked nothing: whatever encoded text holds loads back as it is.
        QTest::newRow("encoded, lone CRs and a final line end")
            << false << QByteArray("\ra\rb\r\n\n\r\n");
    }
    void save()
    {
        QFETCH(bool, fromNormal);
        QFETCH(QByteArray, text);
        MainWindowFixture f;
        ByteTextEdit *area = fromNormal ? f.normal() : f.encoded();
        area->setBytes(text.toStdString());
        f.writeFile(u"out.txt"_s, "old contents that are longer");
        f.platform.fileChoices.enqueue(f.path(u"out.txt"_s));
        f.child<QPushButton>(fromNormal ? "SaveText" : "SaveCode")->click();
        QCOMPARE(f.platform.saveTitles,
                 QStringList(fromNormal ? u"Save Normal Text As"_s : u"Save Encoded Text As"_s));
        QCOMPARE(f.readFile(u"out.txt"_s), text);
        QVERIFY(f.platform.messages.isEmpty());
        QCOMPARE(QDir(f.folder.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList(u"out.txt"_s));

        // And back: what was saved loads as the same text.
        area->setBytes("other");
        f.platform.fileChoices.enqueue(f.path(u"out.txt"_s));
        f.child<QPushButton>(fromNormal ? "LoadText" : "LoadCode")->click();
        const std::string reloaded = fromNormal && text.endsWith("\r\n") ? "a" : text.toStdString();
        QCOMPARE(area->bytes(), reloaded);
    }

    // Saving a large text shows how far it is and can be cancelled while it is
    // written, until the new file takes the old one's place: the file then
    // stays as it was, with nothing beside it, and the text is not saved.
    void saveProgressCancel_data()
    {
        QTest::addColumn<int>("cancelAt"); // of the bar's 1000; past it: never
        QTest::newRow("while writing") << 1;
        QTest::newRow("once the whole text is written") << 1000;
        QTest::newRow("not cancelled") << 1001;
    }
    void saveProgressCancel()
    {
        QFETCH(int, cancelAt);
        MainWindowFixture f;
        QVERIFY(f.window->startUp());
        f.window->show();
        const QByteArray text = QByteArray(10 << 20, 'x') + "\r\nend";
        f.normal()->setBytes(text.chopped(1).toStdString());
        f.normal()->setCursorPosition(f.normal()->byteCount());
        QTest::keyClick(f.normal(), Qt::Key_D); // typed, so closing asks until it is saved
        f.writeFile(u"out.txt"_s, "old");
        const test::ProgressWatch watch(*f.window, cancelAt);
        f.platform.fileChoices.enqueue(f.path(u"out.txt"_s));
        f.child<QPushButton>("SaveText")->click();

        const bool cancelled = cancelAt <= 1000;
        QVERIFY(watch.highest() >= (cancelled ? cancelAt : 1000));
        QCOMPARE(f.readFile(u"out.txt"_s), cancelled ? QByteArray("old") : text);
        QCOMPARE(QDir(f.folder.path()).entryList(QDir::Files | QDir::Hidden),
                 (QStringList{u"Lorimand.ini"_s, u"out.txt"_s}));
        QVERIFY(f.platform.messages.isEmpty());
        QVERIFY(watch.dialog() == nullptr);
        QCOMPARE(f.normal()->bytes(), text.toStdString());

        // A cancelled save is no save: the text is still unsaved, so closing
        // asks (and Cancel keeps the window); a whole save needs no question.
        QCOMPARE(f.window->close(), !cancelled);
        QCOMPARE(f.platform.messages.size(), cancelled ? 1 : 0);
        if (cancelled) {
            QCOMPARE(f.platform.messages[0].text, u"Normal Text has not been saved."_s);
            QVERIFY(f.window->isVisible());
        }
    }

    void failedSaveKeepsTheOldFile_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("failWrites");
        QTest::newRow("write fails") << "out.txt" << true;
        QTest::newRow("missing folder") << "missing/out.txt" << false;
        QTest::newRow("target is a folder") << "folder" << false;
    }
    void failedSaveKeepsTheOldFile()
    {
        QFETCH(QString, target);
        QFETCH(bool, failWrites);
        MainWindowFixture f;
        f.writeFile(u"out.txt"_s, "old");
        QDir(f.folder.path()).mkdir(QStringLiteral("folder"));
        f.files.failWrites = failWrites;
        f.normal()->setBytes("new");
        f.platform.fileChoices.enqueue(f.path(target));
        f.child<QPushButton>("SaveText")->click();
        QCOMPARE(f.platform.messages.size(), 1);
        QCOMPARE(f.platform.messages[0].title, QStringLiteral("Error"));
        QVERIFY(f.platform.messages[0].text.contains(f.path(target)));
        QCOMPARE(f.readFile(u"out.txt"_s), QByteArray("old"));
        QCOMPARE(f.normal()->bytes(), std::string("new"));
        QVERIFY(QFileInfo(f.path(u"folder"_s)).isDir());
        QCOMPARE(QDir(f.folder.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList(u"out.txt"_s));
        QVERIFY(QGuiApplication::overrideCursor() == nullptr);
    }

    // A save whose file fails to close once the whole text is in it is a
    // save: the user is told, and closing the window asks nothing.
    void saveWhoseCloseFailsIsASave()
    {
        MainWindowFixture f;
        QVERIFY(f.window->startUp());
        f.window->show();
        f.normal()->setBytes("new");
        f.normal()->setCursorPosition(f.normal()->byteCount());
        QTest::keyClick(f.normal(), Qt::Key_D);
        f.files.failCloses = true;
        f.platform.fileChoices.enqueue(f.path(u"out.txt"_s));
        f.child<QPushButton>("SaveText")->click();
        QCOMPARE(f.readFile(u"out.txt"_s), QByteArray("newd"));
        QCOMPARE(f.platform.messages.size(), 1);
        QVERIFY(f.platform.messages[0].text.startsWith(u"\""_s + f.path(u"out.txt"_s) +
                                                       u"\" is saved, with a warning:"_s));
        f.files.failCloses = false; // the settings are written at the close
        QVERIFY(f.window->close());
        QCOMPARE(f.platform.messages.size(), 1);
    }

    void droppedFileLoads_data()
    {
        QTest::addColumn<bool>("ontoNormal");
        QTest::addColumn<QByteArray>("loaded");
        QTest::newRow("Normal") << true << QByteArray("a\r\nb");
        QTest::newRow("Encoded") << false << QByteArray("a\rb\r\n");
    }
    void droppedFileLoads()
    {
        QFETCH(bool, ontoNormal);
        QFETCH(QByteArray, loaded);
        MainWindowFixture f;
        f.autoUpdate()->setCheckState(Qt::Checked);
        f.writeFile(u"dropped.txt"_s, "a\rb\r\n");
        ByteTextEdit *area = ontoNormal ? f.normal() : f.encoded();
        emit area->fileDropped(f.path(u"dropped.txt"_s));
        QCOMPARE(area->bytes(), loaded.toStdString());
        QCOMPARE((ontoNormal ? f.encoded() : f.normal())->bytes(),
                 withKey(loaded.toStdString(), ontoNormal ? Direction::Encode : Direction::Decode));
        QVERIFY(f.platform.openTitles.isEmpty());
    }

    void f1ShowsOneHelpWindow_data()
    {
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::newRow("F1") << Qt::KeyboardModifiers();
        QTest::newRow("Shift+F1") << Qt::KeyboardModifiers(Qt::ShiftModifier);
        QTest::newRow("Ctrl+F1") << Qt::KeyboardModifiers(Qt::ControlModifier);
        QTest::newRow("Alt+F1") << Qt::KeyboardModifiers(Qt::AltModifier);
    }
    void f1ShowsOneHelpWindow()
    {
        QFETCH(Qt::KeyboardModifiers, modifiers);
        MainWindowFixture f;
        f.writeFile(u"Readme.txt"_s, "first");
        QVERIFY(f.window->startUp());
        f.window->show();
        QVERIFY(!f.window->helpWindow());
        QTest::keyRelease(f.key(), Qt::Key_F1, modifiers);
        QPointer<HelpWindow> help = f.window->helpWindow();
        QVERIFY(help);
        QVERIFY(help->isVisible());
        QVERIFY(!help->isModal());
        QVERIFY(help->parent() == nullptr);

        QTest::keyRelease(f.normal(), Qt::Key_F1, modifiers);
        QCOMPARE(f.window->helpWindow(), help.data());
        const QWidgetList windows = QApplication::topLevelWidgets();
        QCOMPARE(std::count_if(
                     windows.cbegin(), windows.cend(),
                     [](QWidget *w) { return w->objectName() == u"Help"_s && w->isVisible(); }),
                 1);

        // Closed by the user, it comes back afresh and reads the help again.
        help->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!help);
        f.writeFile(u"Readme.txt"_s, "second");
        QTest::keyRelease(f.window.get(), Qt::Key_F1, modifiers);
        help = f.window->helpWindow();
        QVERIFY(help);
        auto *text = help->findChild<ByteTextEdit *>(QStringLiteral("txtHelpFile"));
        QVERIFY(text->shownText().startsWith(QStringLiteral("second")));

        // Closing the main window leaves the help window open.
        QVERIFY(f.window->close());
        QVERIFY(help->isVisible());
        delete help.data();
    }

    // A large help file is read behind the progress dialog: Cancel leaves no
    // help window, and the next F1 opens it with the whole text.
    void helpProgressCancel()
    {
        MainWindowFixture f;
        QByteArray readme;
        while (readme.size() < (6 << 20)) {
            readme += "A line of the help text.\r\n";
        }
        f.writeFile(u"Readme.txt"_s, readme);
        QVERIFY(f.window->startUp());
        f.window->show();
        {
            const test::ProgressWatch watch(*f.window, 0);
            QTest::keyRelease(f.normal(), Qt::Key_F1);
            QVERIFY(watch.highest() >= 0);
        }
        QVERIFY(!f.window->helpWindow());
        const QWidgetList windows = QApplication::topLevelWidgets();
        QVERIFY(std::none_of(windows.cbegin(), windows.cend(),
                             [](QWidget *w) { return w->objectName() == u"Help"_s; }));
        QVERIFY(f.platform.messages.isEmpty());

        const test::ProgressWatch watch(*f.window, 1001);
        QTest::keyRelease(f.normal(), Qt::Key_F1);
        const QPointer<HelpWindow> help = f.window->helpWindow();
        QVERIFY(help);
        QVERIFY(help->isVisible());
        const auto *text = help->findChild<ByteTextEdit *>(QStringLiteral("txtHelpFile"));
        QCOMPARE(text->bytes(), readme.toStdString());
        QVERIFY(watch.dialog() == nullptr);
        delete help.data();
    }
};

QTEST_MAIN(TestTextFiles)
#include "tst_textfiles.moc"

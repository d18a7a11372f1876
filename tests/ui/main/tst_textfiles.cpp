// Loading and saving text files, dropping files onto the text areas, and F1.
#include <QTest>

#include "mainwindowfixture.h"
#include "ui/help/helpwindow.h"

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
        for (const auto &[name, contents] : files) {
            QTest::addRow("Normal, Auto, %s", name)
                << true << true << contents.first << contents.second;
            QTest::addRow("Encoded, no Auto, %s", name)
                << false << false << contents.first << contents.second;
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
        f.writeFile("in.txt", file);
        f.platform.fileChoices.enqueue(f.path("in.txt"));

        f.child<QPushButton>(intoNormal ? "LoadText" : "LoadCode")->click();

        QCOMPARE(f.platform.openTitles,
                 QStringList(intoNormal ? "Load Normal Text" : "Load Encoded Text"));
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
        f.writeFile("in.txt", "new");
        f.files.failReads = true;
        f.platform.fileChoices.enqueue(f.path("in.txt"));
        f.child<QPushButton>("LoadText")->click();
        QCOMPARE(f.normal()->bytes(), std::string("one"));
        QCOMPARE(f.encoded()->bytes(), std::string("two"));
        QCOMPARE(f.platform.messages.size(), 1);
        QCOMPARE(f.platform.messages[0].title, QStringLiteral("Error"));
        QVERIFY(f.platform.messages[0].text.contains(f.path("in.txt")));
        QVERIFY(f.platform.messages[0].text.contains(QStringLiteral("Input/output error")));
        QVERIFY(!f.window->isUpdating());
        QVERIFY(QGuiApplication::overrideCursor() == nullptr);
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

    void save_data()
    {
        QTest::addColumn<bool>("fromNormal");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("normal, line break") << true << QByteArray("a\r\nb");
        QTest::newRow("normal, empty") << true << QByteArray();
        QTest::newRow("normal, trailing line end") << true << QByteArray("a\r\n");
        QTest::newRow("encoded, NUL and 0x1A") << false << QByteArray("x\0y\x1Az", 5);
        QTest::newRow("encoded, lone LF") << false << QByteArray("x\ny");
    }
    void save()
    {
        QFETCH(bool, fromNormal);
        QFETCH(QByteArray, text);
        MainWindowFixture f;
        ByteTextEdit *area = fromNormal ? f.normal() : f.encoded();
        area->setBytes(text.toStdString());
        f.writeFile("out.txt", "old contents that are longer");
        f.platform.fileChoices.enqueue(f.path("out.txt"));
        f.child<QPushButton>(fromNormal ? "SaveText" : "SaveCode")->click();
        QCOMPARE(f.platform.saveTitles,
                 QStringList(fromNormal ? "Save Normal Text As" : "Save Encoded Text As"));
        QCOMPARE(f.readFile("out.txt"), text);
        QVERIFY(f.platform.messages.isEmpty());
        QCOMPARE(QDir(f.folder.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList("out.txt"));

        // And back: what was saved loads as the same text.
        area->setBytes("other");
        f.platform.fileChoices.enqueue(f.path("out.txt"));
        f.child<QPushButton>(fromNormal ? "LoadText" : "LoadCode")->click();
        const std::string reloaded = fromNormal && text.endsWith("\r\n") ? "a" : text.toStdString();
        QCOMPARE(area->bytes(), reloaded);
    }

    void encodedSaveWarnsWhenLoadingWouldChangeIt_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("written");
        QTest::addColumn<QStringList>("reasons");
        const QString loneCr = QStringLiteral("carriage return without a line feed");
        const QString finalBreak = QStringLiteral("ends with a line break");
        QTest::newRow("lone CR, save anyway")
            << QByteArray("a\rb") << int(QMessageBox::Save) << true << QStringList{loneCr};
        QTest::newRow("lone CR, cancel")
            << QByteArray("a\rb") << int(QMessageBox::Cancel) << false << QStringList{loneCr};
        QTest::newRow("CR at the end, cancel")
            << QByteArray("ab\r") << int(QMessageBox::Cancel) << false << QStringList{loneCr};
        QTest::newRow("final line end, cancel")
            << QByteArray("a\r\n") << int(QMessageBox::Cancel) << false << QStringList{finalBreak};
        QTest::newRow("both") << QByteArray("a\rb\r\n") << int(QMessageBox::Cancel) << false
                              << QStringList{loneCr, finalBreak};
    }
    void encodedSaveWarnsWhenLoadingWouldChangeIt()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, answer);
        QFETCH(bool, written);
        QFETCH(QStringList, reasons);
        MainWindowFixture f;
        f.encoded()->setBytes(text.toStdString());
        f.platform.fileChoices.enqueue(f.path("out.txt"));
        f.platform.answers.enqueue(static_cast<QMessageBox::StandardButton>(answer));
        f.child<QPushButton>("SaveCode")->click();
        QCOMPARE(f.platform.messages.size(), 1);
        QCOMPARE(f.platform.messages[0].buttons, QMessageBox::Save | QMessageBox::Cancel);
        for (const QString &reason : {QStringLiteral("carriage return without a line feed"),
                                      QStringLiteral("ends with a line break")})
            QCOMPARE(f.platform.messages[0].text.contains(reason), reasons.contains(reason));
        QCOMPARE(QFile::exists(f.path("out.txt")), written);
        if (written)
            QCOMPARE(f.readFile("out.txt"), text);
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
        f.writeFile("out.txt", "old");
        QDir(f.folder.path()).mkdir(QStringLiteral("folder"));
        f.files.failWrites = failWrites;
        f.normal()->setBytes("new");
        f.platform.fileChoices.enqueue(f.path(target));
        f.child<QPushButton>("SaveText")->click();
        QCOMPARE(f.platform.messages.size(), 1);
        QCOMPARE(f.platform.messages[0].title, QStringLiteral("Error"));
        QVERIFY(f.platform.messages[0].text.contains(f.path(target)));
        QCOMPARE(f.readFile("out.txt"), QByteArray("old"));
        QCOMPARE(f.normal()->bytes(), std::string("new"));
        QVERIFY(QFileInfo(f.path("folder")).isDir());
        QCOMPARE(QDir(f.folder.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList("out.txt"));
        QVERIFY(QGuiApplication::overrideCursor() == nullptr);
    }

    void droppedFileLoads()
    {
        MainWindowFixture f;
        f.autoUpdate()->setCheckState(Qt::Checked);
        f.writeFile("dropped.txt", "abc\r\n");
        emit f.encoded()->fileDropped(f.path("dropped.txt"));
        QCOMPARE(f.encoded()->bytes(), std::string("abc"));
        QCOMPARE(f.normal()->bytes(), withKey("abc", Direction::Decode));
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
        f.writeFile("Readme.txt", "first");
        QVERIFY(f.window->startUp(QString()));
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
        QCOMPARE(
            std::count_if(windows.cbegin(), windows.cend(),
                          [](QWidget *w) { return w->objectName() == "Help" && w->isVisible(); }),
            1);

        // Closed by the user, it comes back afresh and reads the help again.
        help->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!help);
        f.writeFile("Readme.txt", "second");
        QTest::keyRelease(f.window.get(), Qt::Key_F1, modifiers);
        help = f.window->helpWindow();
        QVERIFY(help);
        auto *text = help->findChild<QPlainTextEdit *>(QStringLiteral("txtHelpFile"));
        QVERIFY(text->toPlainText().startsWith(QStringLiteral("second")));

        // Closing the main window leaves the help window open.
        QVERIFY(f.window->close());
        QVERIFY(help->isVisible());
        delete help.data();
    }
};

QTEST_MAIN(TestTextFiles)
#include "tst_textfiles.moc"

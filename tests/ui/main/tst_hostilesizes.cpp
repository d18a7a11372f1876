// Sizes far beyond any real use, in the window: a huge code table, a huge key,
// a help text and a text file each one immense line. Each finishes promptly with
// its documented outcome, and the window goes on as before.
#include <QClipboard>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTest>

#include "mainwindowfixture.h"
#include "ui/help/helpwindow.h"

using namespace Qt::StringLiterals;

using namespace lorimand;
using namespace lorimand::test;

namespace {

// Far beyond what each step takes here, far short of a read of gigabytes or of
// the layout of millions of characters as one line.
constexpr qint64 kPromptly = 5000;

} // namespace

class TestHostileSizes : public QObject
{
    Q_OBJECT

private slots:
    // Refused from its size alone, before a byte is read: the table's error
    // message names the file and the reason; the table loaded before stays.
    void codeTableOfOneGibibyte()
    {
        MainWindowFixture f;
        f.writeFile(u"Alpha.sbt"_s, "97=120\r\n");
        writeSparse(f.path(u"Huge.sbt"_s), qint64{1} << 30);
        QVERIFY(f.window->startUp());
        QCOMPARE(f.codeName()->currentText(), u"Alpha"_s);
        const CodeTables before = f.window->codeTables();

        QElapsedTimer clock;
        clock.start();
        f.codeName()->setCurrentIndex(1);
        emit f.codeName()->activated(1);
        QVERIFY2(clock.elapsed() < kPromptly, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(f.window->codeTables() == before);
        QCOMPARE(f.platform.messages.size(), 1);
        const QString text = f.platform.messages[0].text;
        QVERIFY2(text.contains(f.path(u"Huge.sbt"_s) + u": It is larger than 16 MiB"_s),
                 qPrintable(text));
        QVERIFY(QGuiApplication::overrideCursor() == nullptr);
    }

    // Pasted into Key, the key translates, is typed on, is remembered at close and
    // comes back whole at the next start.
    void keyOfAHundredThousandCharacters()
    {
        const std::string key(100'000, 'k');
        MainWindowFixture f;
        QVERIFY(f.window->startUp());
        f.normal()->setBytes("some text to translate");
        QElapsedTimer clock;
        clock.start();
        QGuiApplication::clipboard()->setText(QString::fromStdString(key));
        f.key()->setFocus();
        f.key()->selectAll();
        QTest::keyClick(f.key(), Qt::Key_V, Qt::ControlModifier);
        QTest::keyClicks(f.key(), u"abc"_s);
        f.window->encode();
        f.normal()->setBytes("the next edit");
        QVERIFY2(clock.elapsed() < kPromptly, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(f.key()->bytes(), key + "abc");
        QCOMPARE(f.encoded()->bytes(), withKey("the next edit", Direction::Encode, key + "abc"));

        f.platform.answers.enqueue(QMessageBox::Yes);     // keep it as the default key
        f.platform.answers.enqueue(QMessageBox::Discard); // the text typed into Normal
        QVERIFY(f.window->close());
        QCOMPARE(f.platform.messages.size(), 2); // the questions above
        QVERIFY(contentsOf(f.path(u"Lorimand.ini"_s))
                    .contains("key=" + QByteArray::fromStdString(key) + "abc\r\n"));

        MainWindowFixture next;
        next.folder.remove();
        next.platform.folder = f.folder.path();
        next.window = std::make_unique<MainWindow>(next.platform, next.files, next.generator);
        QVERIFY(next.window->startUp());
        QCOMPARE(next.key()->bytes(), key + "abc");
    }

    // One line of 50 MB: the help opens promptly, scrolls to its end and shows
    // every character.
    void helpTextOfOneFiftyMegabyteLine()
    {
        const QByteArray line(50'000'000, 'h');
        MainWindowFixture f;
        f.writeFile(u"Readme.txt"_s, line);
        QVERIFY(f.window->startUp());
        QElapsedTimer clock;
        clock.start();
        QTest::keyClick(f.normal(), Qt::Key_F1);
        QVERIFY(f.window->helpWindow());
        QVERIFY(QTest::qWaitForWindowExposed(f.window->helpWindow()));
        auto *box = f.window->helpWindow()->findChild<ByteTextEdit *>(u"txtHelpFile"_s);
        QVERIFY(box);
        QTest::keyClick(box, Qt::Key_End, Qt::ControlModifier);
        QCoreApplication::processEvents();
        QVERIFY2(clock.elapsed() < kPromptly, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(box->cursorPosition(), box->byteCount());
        // The line, ended as every line of the help is.
        QVERIFY(box->bytes() == line.toStdString() + "\r\n");
        const QString shown = box->shownText();
        QCOMPARE(shown.size(), line.size() + 1);
        QVERIFY(shown == QLatin1String(line) + u'\n');
        QVERIFY(f.platform.messages.isEmpty());
        // A window of its own: the main window's end does not take it along.
        delete f.window->helpWindow();
    }

    // One line of 8 MiB, the size that shows whether a long line costs its length
    // or its square, loads byte for byte and is encoded with Auto; the next edit
    // translates too. (100 MiB, by hand: 9 s and 1.1 GB on a 2-core machine; above
    // the window's limit a file is refused from its size, before it is read.)
    void textFileOfOneLongLine()
    {
        const QByteArray line = QByteArray(8 << 20, 'x') + "y";
        MainWindowFixture f;
        f.writeFile(u"line.txt"_s, line);
        QVERIFY(f.window->startUp());
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        QElapsedTimer clock;
        clock.start();
        f.platform.fileChoices.enqueue(f.path(u"line.txt"_s));
        f.child<QPushButton>("LoadText")->click();
        QCoreApplication::processEvents();
        QVERIFY2(clock.elapsed() < kPromptly, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(f.platform.messages.isEmpty());
        QVERIFY(f.normal()->bytes() == line.toStdString());
        QVERIFY(f.encoded()->bytes() == withKey(line.toStdString(), Direction::Encode));
        QVERIFY(!f.window->isUpdating());
        QVERIFY(QGuiApplication::overrideCursor() == nullptr);
        f.normal()->setBytes("the next edit");
        QCOMPARE(f.encoded()->bytes(), withKey("the next edit", Direction::Encode));
    }
};

QTEST_MAIN(TestHostileSizes)
#include "tst_hostilesizes.moc"

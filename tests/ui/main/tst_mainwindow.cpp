// The main window's controls, translation and event handling, driven as a user would.
#include <functional>

#include <QAbstractItemView>
#include <QLabel>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

#include "engine/codetable.h"
#include "mainwindowfixture.h"
#include "ui/main/mainlayout.h"
#include "ui/twips.h"

using namespace Qt::StringLiterals;

using namespace lorimand;
using namespace lorimand::test;

namespace {

// Chooses an entry as a user does: opens the list and presses Return on it;
// whileOpen runs between the two.
void choose(QComboBox &list, int index, const std::function<void()> &whileOpen = {})
{
    list.showPopup();
    if (whileOpen) {
        whileOpen();
    }
    QAbstractItemView *view = list.view();
    view->setCurrentIndex(list.model()->index(index, 0));
    QTest::keyClick(view, Qt::Key_Return);
    QVERIFY(!view->isVisible());
}

std::string allCodes()
{
    std::string text;
    for (int c = 0; c < 256; ++c) {
        text.push_back(static_cast<char>(c));
    }
    return text;
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initialState()
    {
        MainWindowFixture f;
        QCOMPARE(f.window->objectName(), QStringLiteral("Main"));
        QCOMPARE(f.window->windowTitle(), QStringLiteral("Lorimand"));
        QCOMPARE(f.key()->bytes(), std::string("TarnVeli"));
        QVERIFY(f.useKey()->isChecked());
        QVERIFY(!f.useCustom()->isChecked());
        QCOMPARE(f.autoUpdate()->checkState(), Qt::Unchecked);
        QCOMPARE(f.maskKey()->checkState(), Qt::Unchecked);
        QCOMPARE(f.codeName()->count(), 0);
        QVERIFY(f.normal()->bytes().empty());
        QVERIFY(f.window->font().bold());
        QCOMPARE(f.window->palette().color(QPalette::Window), QColor(Qt::black));
        QCOMPARE(f.window->palette().color(QPalette::WindowText), QColor(Qt::white));
        QVERIFY(!f.window->windowIcon().isNull());
        QCOMPARE(f.window->minimumSize(), twips::clientSize(kMainMinimumSize));
        QCOMPARE(f.child<QToolButton>("UpArrow")->iconSize(), QSize(34, 34));

        const std::pair<const char *, const char *> captions[] = {
            {"UseKey", "Encryption &Key:"},
            {"UseCustom", "&Custom Code:"},
            {"MaskKey", "&Mask"},
            {"DecodeButton", "&Decode"},
            {"EncodeButton", "&Encode"},
            {"AutoUpdate", "&Auto"},
            {"LoadText", "&Load Normal Text"},
            {"LoadCode", "L&oad Encoded Text"},
            {"SaveText", "&Save Normal Text"},
            {"SaveCode", "Sa&ve Encoded Text"}};
        for (const auto &[name, caption] : captions) {
            auto *button = f.child<QAbstractButton>(name);
            QVERIFY2(button, name);
            QCOMPARE(button->text(), QString::fromLatin1(caption));
        }
        // The option buttons' captions fit their design width.
        QVERIFY(f.useKey()->sizeHint().width() <= f.useKey()->width());
        QVERIFY(f.useCustom()->sizeHint().width() <= f.useCustom()->width());
        QCOMPARE(f.child<QLabel>("Label1")->buddy(), f.normal());
        QCOMPARE(f.child<QLabel>("Label2")->buddy(), f.encoded());
    }

    void tabOrder()
    {
        MainWindowFixture f;
        const char *order[] = {"Normal",   "UseKey",       "UseCustom",    "Key",        "CodeName",
                               "MaskKey",  "DecodeButton", "EncodeButton", "AutoUpdate", "LoadText",
                               "LoadCode", "SaveText",     "SaveCode",     "Encoded"};
        for (std::size_t i = 1; i < std::size(order); ++i) {
            QWidget *from = f.child<QWidget>(order[i - 1]);
            QWidget *next = from->nextInFocusChain();
            while (next && next->focusPolicy() == Qt::NoFocus) {
                next = next->nextInFocusChain();
            }
            QCOMPARE(next ? next->objectName() : QString(), QString::fromLatin1(order[i]));
        }
    }

    void laysOutAtItsSize()
    {
        MainWindowFixture f;
        f.window->show();
        f.window->resize(twips::clientSize({12000, 9000}));
        QTRY_COMPARE(f.window->size(), twips::clientSize({12000, 9000}));
        const MainLayout expected = arrangeMainWindow({12000, 9000});
        QCOMPARE(f.normal()->geometry(), twips::toPixels(expected.normal));
        QCOMPARE(f.encoded()->geometry(), twips::toPixels(expected.encoded));
        QCOMPARE(f.key()->geometry(), twips::toPixels(expected.key));
        QCOMPARE(f.child<QWidget>("DecodeButton")->geometry(),
                 twips::toPixels(expected.decodeButton));
        // The hidden labels stay covered by Normal.
        QVERIFY(f.normal()->geometry().contains(f.child<QLabel>("Label1")->geometry()));
        QVERIFY(f.normal()->geometry().contains(f.child<QLabel>("Label2")->geometry()));
    }

    void textAreasKeepTheDefaultColours()
    {
        MainWindowFixture f;
        for (QWidget *part : {static_cast<QWidget *>(f.normal()),
                              static_cast<QWidget *>(f.encoded()->verticalScrollBar())}) {
            QCOMPARE(part->palette().color(QPalette::Window),
                     QApplication::palette().color(QPalette::Window));
            QCOMPARE(part->palette().color(QPalette::WindowText),
                     QApplication::palette().color(QPalette::WindowText));
        }
    }

    void minimiseAndMaximise()
    {
        MainWindowFixture f;
        f.window->show();
        f.window->showMaximized();
        f.window->showMinimized();
        f.window->showNormal();
        QVERIFY(f.window->width() >= f.window->minimumWidth());
        QCOMPARE(f.normal()->geometry(),
                 twips::toPixels(arrangeMainWindow(twips::outerSize(f.window->size())).normal));
    }

    void typingRetranslatesOnce_data()
    {
        QTest::addColumn<bool>("intoNormal");
        QTest::addColumn<bool>("keyMode");
        QTest::newRow("Normal, key") << true << true;
        QTest::newRow("Encoded, key") << false << true;
        QTest::newRow("Normal, table") << true << false;
        QTest::newRow("Encoded, table") << false << false;
    }
    void typingRetranslatesOnce()
    {
        QFETCH(bool, intoNormal);
        QFETCH(bool, keyMode);
        MainWindowFixture f;
        if (!keyMode) {
            f.useCustom()->setChecked(true);
        }
        f.autoUpdate()->setCheckState(Qt::Checked);
        ByteTextEdit *typed = intoNormal ? f.normal() : f.encoded();
        ByteTextEdit *other = intoNormal ? f.encoded() : f.normal();
        typed->setBytes("Hello");
        QSignalSpy typedChanges(typed, &ByteTextEdit::textChanged);
        QSignalSpy otherChanges(other, &ByteTextEdit::textChanged);

        typed->setCursorPosition(typed->byteCount());
        QTest::keyClick(typed, Qt::Key_X);

        QCOMPARE(typed->bytes(), std::string("Hellox"));
        QCOMPARE(typedChanges.count(), 1);
        QCOMPARE(otherChanges.count(), 1);
        const Direction direction = intoNormal ? Direction::Encode : Direction::Decode;
        const std::string expected = keyMode ? withKey("Hellox", direction) : std::string("Hellox");
        QCOMPARE(other->bytes(), expected);
        QVERIFY(!f.window->isUpdating());
        // The area typed in keeps its undo history.
        QVERIFY(typed->isUndoAvailable());
    }

    // Whatever replaces an area's text, Ctrl+Z there brings back exactly what it
    // held, and Ctrl+Shift+Z the replacement.
    void replacementsUndo_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("intoNormal");
        QTest::newRow("Decode") << "DecodeButton" << true;
        QTest::newRow("Encode") << "EncodeButton" << false;
        QTest::newRow("up arrow") << "UpArrow" << true;
        QTest::newRow("down arrow") << "DownArrow" << false;
        QTest::newRow("load") << "LoadText" << true;
        QTest::newRow("drop") << "drop" << false;
        QTest::newRow("automatic, three keystrokes") << "typing" << false;
    }
    void replacementsUndo()
    {
        QFETCH(QString, action);
        QFETCH(bool, intoNormal);
        MainWindowFixture f;
        const std::string normalDraft = "my draft\r\nsecond line\nthird\r";
        const std::string encodedDraft = "\x01code\rx";
        f.normal()->setBytes(normalDraft, ByteTextEdit::History::Fresh);
        f.encoded()->setBytes(encodedDraft, ByteTextEdit::History::Fresh);
        f.writeFile(u"in.txt"_s, "loaded");
        if (action == u"typing") {
            f.autoUpdate()->setCheckState(Qt::Checked);
            f.normal()->setCursorPosition(f.normal()->byteCount());
            for (const Qt::Key key : {Qt::Key_A, Qt::Key_B, Qt::Key_C}) {
                QTest::keyClick(f.normal(), key);
            }
        } else if (action == u"drop") {
            emit f.encoded()->fileDropped(f.path(u"in.txt"_s));
        } else {
            f.platform.fileChoices.enqueue(f.path(u"in.txt"_s));
            f.child<QAbstractButton>(action.toLatin1().constData())->click();
        }
        ByteTextEdit *area = intoNormal ? f.normal() : f.encoded();
        const std::string before = intoNormal ? normalDraft : encodedDraft;
        const std::string replaced = area->bytes();
        QVERIFY(replaced != before);

        QTest::keyClick(area, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(area->bytes(), before);
        QTest::keyClick(area, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(area->bytes(), replaced);
    }

    void autoOffOrGreyedTranslatesNothing_data()
    {
        QTest::addColumn<Qt::CheckState>("state");
        QTest::newRow("off") << Qt::Unchecked;
        QTest::newRow("greyed") << Qt::PartiallyChecked;
    }
    void autoOffOrGreyedTranslatesNothing()
    {
        QFETCH(Qt::CheckState, state);
        MainWindowFixture f;
        f.autoUpdate()->setCheckState(state);
        f.normal()->setBytes("plain");
        f.encoded()->setBytes("other");
        f.normal()->setCursorPosition(f.normal()->byteCount());
        QTest::keyClick(f.normal(), Qt::Key_Y);
        QCOMPARE(f.normal()->bytes(), std::string("plainy"));
        QCOMPARE(f.encoded()->bytes(), std::string("other"));

        // The buttons still translate.
        f.child<QPushButton>("EncodeButton")->click();
        QCOMPARE(f.encoded()->bytes(), withKey("plainy", Direction::Encode));
        f.normal()->setBytes("");
        f.child<QPushButton>("DecodeButton")->click();
        QCOMPARE(f.normal()->bytes(), std::string("plainy"));

        f.encoded()->setBytes("abc");
        f.child<QToolButton>("UpArrow")->click();
        QCOMPARE(f.normal()->bytes(), withKey("abc", Direction::Decode));
        f.normal()->setBytes("abc");
        f.child<QToolButton>("DownArrow")->click();
        QCOMPARE(f.encoded()->bytes(), withKey("abc", Direction::Encode));
    }

    // The key set by the program, Mask, and the mode while Auto is off
    // translate nothing (with Auto, tst_autotranslate has the mode follow).
    void settingsChangesTranslateNothing()
    {
        MainWindowFixture f;
        f.autoUpdate()->setCheckState(Qt::Checked);
        f.normal()->setBytes("plain");
        f.encoded()->setBytes("held");
        QSignalSpy changes(f.encoded(), &ByteTextEdit::textChanged);
        QSignalSpy normalChanges(f.normal(), &ByteTextEdit::textChanged);
        f.key()->setBytes("other key");
        f.maskKey()->setCheckState(Qt::Checked);
        f.autoUpdate()->setCheckState(Qt::Unchecked);
        f.useCustom()->setChecked(true);
        f.useKey()->setChecked(true);
        QCOMPARE(changes.count(), 0);
        QCOMPARE(normalChanges.count(), 0);
    }

    void emptyKeyCopiesWithoutTheSelfTest()
    {
        MainWindowFixture f;
        f.generator.broken = true;
        f.key()->setBytes("");
        f.normal()->setBytes(allCodes());
        f.window->encode();
        QCOMPARE(f.encoded()->bytes(), allCodes());
        f.window->decode();
        QCOMPARE(f.normal()->bytes(), allCodes());
        QCOMPARE(f.platform.endProgramCalls, 0);
        QVERIFY(f.platform.messages.isEmpty());
        QVERIFY(!f.window->isUpdating());
    }

    void keyShiftRoundTripsEveryCode()
    {
        MainWindowFixture f;
        std::string text = allCodes().substr(1); // decoding never gives code 0 back
        f.normal()->setBytes(text);
        f.window->encode();
        QVERIFY(f.encoded()->bytes() != text);
        f.window->decode();
        QCOMPARE(f.normal()->bytes(), text);
    }

    void failingGeneratorEndsTheProgram_data()
    {
        QTest::addColumn<bool>("typed");
        QTest::newRow("Encode") << false;
        QTest::newRow("typing with Auto") << true;
    }
    void failingGeneratorEndsTheProgram()
    {
        QFETCH(bool, typed);
        MainWindowFixture f;
        f.generator.broken = true;
        f.normal()->setBytes("secret");
        f.encoded()->setBytes("kept");
        if (typed) {
            f.autoUpdate()->setCheckState(Qt::Checked);
            QTest::keyClick(f.normal(), Qt::Key_X);
        } else {
            f.window->encode();
        }
        QCOMPARE(f.platform.endProgramCalls, 1);
        // A platform that returns from ending the program leaves a window that
        // still translates: the failed check does not leave it updating.
        QVERIFY(!f.window->isUpdating());
        QCOMPARE(f.platform.messages.size(), 1);
        QCOMPARE(f.platform.messages[0].title, QStringLiteral("Error"));
        QCOMPARE(f.platform.messages[0].text,
                 QStringLiteral("Number error.  Please restart the program."));
        QCOMPARE(f.platform.messages[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(f.encoded()->bytes(), std::string("kept"));
        // Ending at once skips the close handling: no settings file is written.
        QVERIFY(!QFile::exists(f.path(u"Lorimand.ini"_s)));
    }

    void accessKeys_data()
    {
        QTest::addColumn<char>("letter");
        QTest::addColumn<QString>("focused");
        QTest::newRow("Alt+T") << 'T' << "Normal";
        QTest::newRow("Alt+X") << 'X' << "Encoded";
        QTest::newRow("Alt+K") << 'K' << "UseKey";
        QTest::newRow("Alt+C") << 'C' << "UseCustom";
    }
    void accessKeys()
    {
        QFETCH(char, letter);
        QFETCH(QString, focused);
        MainWindowFixture f;
        f.window->show();
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        f.child<QWidget>("CodeName")->setFocus();
        QTest::keyClick(f.window.get(), letter, Qt::AltModifier);
        QCOMPARE(QApplication::focusWidget()->objectName(), focused);
        if (focused == u"UseCustom"_s) {
            QTRY_VERIFY(f.useCustom()->isChecked()); // buttons click a moment later
        }
    }

    void accessKeysClick()
    {
        MainWindowFixture f;
        f.window->show();
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        f.normal()->setBytes("abc");
        // An access key clicks its button a moment later, as a mouse click would.
        QTest::keyClick(f.window.get(), 'E', Qt::AltModifier);
        QTRY_COMPARE(f.encoded()->bytes(), withKey("abc", Direction::Encode));
        f.encoded()->setBytes("xyz");
        QTest::keyClick(f.window.get(), 'D', Qt::AltModifier);
        QTRY_COMPARE(f.normal()->bytes(), withKey("xyz", Direction::Decode));
        QTest::keyClick(f.window.get(), 'M', Qt::AltModifier);
        QTRY_COMPARE(f.key()->displayText(), QStringLiteral("********"));
        QTest::keyClick(f.window.get(), 'A', Qt::AltModifier);
        QTRY_COMPARE(f.autoUpdate()->checkState(), Qt::Checked);
        QTest::keyClick(f.window.get(), 'L', Qt::AltModifier);
        QTest::keyClick(f.window.get(), 'O', Qt::AltModifier);
        QTRY_COMPARE(f.platform.openTitles,
                     QStringList({u"Load Normal Text"_s, u"Load Encoded Text"_s}));
        QTest::keyClick(f.window.get(), 'S', Qt::AltModifier);
        QTest::keyClick(f.window.get(), 'V', Qt::AltModifier);
        QTRY_COMPARE(f.platform.saveTitles,
                     QStringList({u"Save Normal Text As"_s, u"Save Encoded Text As"_s}));
    }

    void masking_data()
    {
        QTest::addColumn<Qt::CheckState>("state");
        QTest::addColumn<bool>("masked");
        QTest::newRow("ticked") << Qt::Checked << true;
        QTest::newRow("greyed") << Qt::PartiallyChecked << false;
        QTest::newRow("clear") << Qt::Unchecked << false;
    }
    void masking()
    {
        QFETCH(Qt::CheckState, state);
        QFETCH(bool, masked);
        MainWindowFixture f;
        f.maskKey()->setCheckState(Qt::Checked);
        f.maskKey()->setCheckState(state); // by the program, as start-up does
        QCOMPARE(f.key()->displayText(),
                 masked ? QStringLiteral("********") : QStringLiteral("TarnVeli"));
        QCOMPARE(f.key()->bytes(), std::string("TarnVeli"));
    }

    void maskingByTheUser()
    {
        MainWindowFixture f;
        f.maskKey()->click();
        QCOMPARE(f.key()->displayText(), QStringLiteral("********"));
        f.maskKey()->click();
        QCOMPARE(f.key()->displayText(), QStringLiteral("TarnVeli"));
    }

    void choosingACodeTable()
    {
        MainWindowFixture f;
        f.writeFile(u"Alpha.sbt"_s, "97=120\r\n");
        f.writeFile(u"Beta.sbt"_s, "65=66\r\n98=99\r\n300=1\r\n67=68\r\n");
        f.writeFile(u"Gone.sbt"_s, "1=2\r\n");
        QVERIFY(f.window->startUp());
        QCOMPARE(f.codeName()->count(), 3);
        QCOMPARE(f.codeName()->currentText(), QStringLiteral("Alpha"));
        QCOMPARE(f.window->codeTables().encodeTable[97], 120);

        // Choosing a table loads it and retranslates nothing.
        f.normal()->setBytes("abc");
        f.encoded()->setBytes("unchanged");
        f.autoUpdate()->setCheckState(Qt::Unchecked);
        QSignalSpy changes(f.encoded(), &ByteTextEdit::textChanged);

        // A bad line: the lines before it stay in force, the rest is not read.
        choose(*f.codeName(), 1);
        QCOMPARE(f.window->codeTables().encodeTable[65], 66);
        QCOMPARE(f.window->codeTables().encodeTable[98], 99);
        QCOMPARE(f.window->codeTables().encodeTable[67], kNoEntry);
        QCOMPARE(f.window->codeTables().encodeTable[97], kNoEntry);
        QCOMPARE(f.platform.messages.size(), 1);
        QCOMPARE(f.platform.messages[0].title, QStringLiteral("Error"));
        QVERIFY(
            f.platform.messages[0].text.startsWith(QStringLiteral("Error loading custom code.")));
        QVERIFY(f.platform.messages[0].text.contains(QStringLiteral("Beta.sbt")));
        QVERIFY(f.platform.messages[0].text.contains(QStringLiteral("line 3")));

        // A file that cannot be read: the table before stays.
        const CodeTables before = f.window->codeTables();
        choose(*f.codeName(), 2, [&f] { QVERIFY(QFile::remove(f.path(u"Gone.sbt"_s))); });
        QCOMPARE(f.window->codeTables(), before);
        QCOMPARE(f.platform.messages.size(), 2);
        QVERIFY(
            f.platform.messages[1].text.startsWith(QStringLiteral("Error loading custom code.")));
        QVERIFY(f.platform.messages[1].text.contains(QStringLiteral("Gone.sbt")));

        QCOMPARE(changes.count(), 0);
        QCOMPARE(f.encoded()->bytes(), std::string("unchanged"));
        QVERIFY(QGuiApplication::overrideCursor() == nullptr);
    }

    // Choosing the entry already chosen reads its file again: the user may have
    // just edited it.
    void choosingTheSameTableRereadsIt()
    {
        MainWindowFixture f;
        f.writeFile(u"Alpha.sbt"_s, "97=120\r\n");
        QVERIFY(f.window->startUp());
        QCOMPARE(f.window->codeTables().encodeTable[97], 120);
        f.writeFile(u"Alpha.sbt"_s, "97=121\n");
        choose(*f.codeName(), 0);
        QCOMPARE(f.window->codeTables().encodeTable[97], 121);
    }

    // The wheel over the closed list scrolls past it and switches nothing.
    void wheelOverTheClosedListSwitchesNothing()
    {
        MainWindowFixture f;
        f.writeFile(u"Alpha.sbt"_s, "97=120\r\n");
        f.writeFile(u"Beta.sbt"_s, "97=121\r\n");
        QVERIFY(f.window->startUp());
        for (const int delta : {-120, 120, -120}) {
            const QPointF at(5, 5);
            QWheelEvent wheel(at, f.codeName()->mapToGlobal(at), QPoint(), QPoint(0, delta),
                              Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(f.codeName(), &wheel);
            QCOMPARE(f.codeName()->currentIndex(), 0);
        }
        QCOMPARE(f.window->codeTables().encodeTable[97], 120);
    }

    // Return on a command button with the focus presses it.
    void returnPressesTheFocusedButton_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Return") << int(Qt::Key_Return);
        QTest::newRow("Enter") << int(Qt::Key_Enter);
    }
    void returnPressesTheFocusedButton()
    {
        QFETCH(int, key);
        MainWindowFixture f;
        f.normal()->setBytes("abc");
        auto *button = f.child<QPushButton>("EncodeButton");
        QTest::keyClick(button, Qt::Key(key));
        QCOMPARE(f.encoded()->bytes(), withKey("abc", Direction::Encode));
    }

    void tableModeTranslation()
    {
        MainWindowFixture f;
        f.writeFile(u"X.sbt"_s, "97=120\r\n");
        QVERIFY(f.window->startUp());
        f.useCustom()->setChecked(true);
        f.autoUpdate()->setCheckState(Qt::Unchecked);
        f.normal()->setBytes("aA Xx\r\nb\rc");
        f.window->encode();
        // The lone CR passes as it is, as the LF does: nothing is lost.
        QCOMPARE(f.encoded()->bytes(), std::string("xX Xx\r\nb\rc"));
        f.encoded()->setBytes("xX a");
        f.window->decode();
        QCOMPARE(f.normal()->bytes(), std::string("aA a"));
    }

    void largeTextTranslatesInOneWrite()
    {
        MainWindowFixture f;
        std::string text(1 << 20, 'a');
        for (std::size_t i = 0; i < text.size(); i += 61) {
            text[i] = i % 2 ? '\n' : static_cast<char>(1 + i % 255);
        }
        f.normal()->setBytes(text);
        QSignalSpy changes(f.encoded(), &ByteTextEdit::textChanged);
        f.window->encode();
        QCOMPARE(changes.count(), 1);
        QCOMPARE(f.encoded()->bytes(), withKey(text, Direction::Encode));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"

// Tests of the key field (ByteLineEdit): it holds every byte string
// faithfully, shows what it holds with every control code as its picture,
// turns typed and pasted text into text of the 8-bit set, and masks the key.
#include <string>

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>

#include "bytes.h"
#include "ui/main/bytelineedit.h"
#include "ui/text/bytesamples.h"
#include "ui/text/displaytext.h"

using namespace lorimand;
using namespace Qt::StringLiterals;
using testing::kCjk;
using testing::typeText;

namespace {

[[nodiscard]] QByteArray bytesOf(const ByteLineEdit &edit)
{
    return QByteArray::fromStdString(edit.bytes());
}

[[nodiscard]] std::string_view view(const QByteArray &bytes)
{
    return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}

} // namespace

class TestByteLineEdit : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        testing::addRoundTripRows();
    }
    void roundTrip()
    {
        QFETCH(QByteArray, bytes);
        ByteLineEdit edit;
        edit.setBytes(view(bytes));
        QCOMPARE(bytesOf(edit), bytes);
    }

    void everySingleByteRoundTrips()
    {
        ByteLineEdit key;
        for (int code = 0; code < 256; ++code) {
            const QByteArray bytes = QByteArray("x") + static_cast<char>(code) + "y";
            key.setBytes(view(bytes));
            QCOMPARE(bytesOf(key), bytes);
        }
    }

    void longKeyRoundTrips()
    {
        // Beyond QLineEdit's default limit of 32,767 characters.
        const QByteArray bytes = test::randomBytes(40000, 3);
        ByteLineEdit edit;
        edit.setBytes(view(bytes));
        QCOMPARE(bytesOf(edit), bytes);
    }

    void shown_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("shown");
        QTest::newRow("CR LF") << QByteArray("a\r\nb") << u"a\u240D\u240Ab"_s;
        QTest::newRow("TAB") << QByteArray("a\tb") << u"a\u2409b"_s;
        QTest::newRow("NUL and DEL") << QByteArray("\0\x7F", 2) << u"\u2400\u2421"_s;
        QTest::newRow("plain") << QByteArray("TarnVeli") << u"TarnVeli"_s;
        QTest::newRow("Windows-1252") << QByteArray("\x80\xFF") << u"\u20AC\u00FF"_s;
    }
    void shown()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, shown);
        ByteLineEdit edit;
        edit.setBytes(view(bytes));
        QCOMPARE(edit.text(), shown);
    }

    void setBytesChangesOnce_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("into empty") << QByteArray() << QByteArray("text");
        QTest::newRow("to empty") << QByteArray("text") << QByteArray();
        QTest::newRow("mixed breaks") << QByteArray("old\r\n") << QByteArray("a\r\nb\nc\r\nd\n");
        QTest::newRow("every byte") << QByteArray("x") << testing::everyByte();
        QTest::newRow("random 64 KiB") << QByteArray("a\nb") << test::randomBytes(64 * 1024, 7);
    }
    void setBytesChangesOnce()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, bytes);
        ByteLineEdit key;
        key.setBytes(view(before));
        QSignalSpy changed(&key, &ByteLineEdit::textChanged);
        key.setBytes(view(bytes));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(bytesOf(key), bytes);
    }

    // A character the set cannot hold is left out, and a tool tip says so.
    void typedCharacters_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QByteArray>("bytes");
        testing::addTypedCharacterRows();
    }
    void typedCharacters()
    {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(QByteArray, bytes);
        ByteLineEdit key;
        testing::checkTyped(key, typed, shown.isEmpty());
        if (QTest::currentTestFailed()) {
            return;
        }
        QCOMPARE(key.text(), shown);
        QCOMPARE(bytesOf(key), bytes);
    }

    // Two different keys never become the same key unseen: what is left out is
    // told, and a masked key does not show it.
    void leftOutOfTheKey()
    {
        ByteLineEdit key;
        key.setBytes("a");
        key.end(false);
        QApplication::clipboard()->setText(u"b"_s + kCjk + u"c"_s + kCjk);
        key.paste();
        QCOMPARE(bytesOf(key), QByteArray("abc"));
        QVERIFY(QToolTip::isVisible());
        QCOMPARE(QToolTip::text(), displaytext::leftOutMessage(kCjk));
        key.setMasked(true);
        typeText(key, kCjk);
        QCOMPARE(QToolTip::text(), displaytext::leftOutMessage(QString()));
        QCOMPARE(bytesOf(key), QByteArray("abc"));
    }

    void typingKeepsKeyHistory()
    {
        ByteLineEdit key;
        key.setBytes("ab");
        key.end(false);
        typeText(key, u"\u00E9"_s);
        QCOMPARE(bytesOf(key), QByteArray("ab\xE9"));
        key.undo();
        QCOMPARE(bytesOf(key), QByteArray("ab"));
    }

    void shortcutsInsertNothing_data()
    {
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        testing::addShortcutRows();
    }
    void shortcutsInsertNothing()
    {
        QFETCH(Qt::KeyboardModifiers, modifiers);
        ByteLineEdit key;
        key.setBytes("text");
        QSignalSpy changed(&key, &ByteLineEdit::textChanged);
        QTest::keyClick(&key, Qt::Key_B, modifiers);
        QCOMPARE(changed.count(), 0);
        QCOMPARE(bytesOf(key), QByteArray("text"));
    }

    // A line break committed by an input method is the key's LF.
    void inputMethodCommit_data()
    {
        QTest::addColumn<QString>("commit");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("CJK") << QString(kCjk + u"y"_s + kCjk) << QByteArray("xy");
        QTest::newRow("held") << u"\u00E9t\u00E9"_s << QByteArray("x\xE9t\xE9");
        QTest::newRow("with a break") << QString(u"a\n"_s + kCjk) << QByteArray("xa\n");
    }
    void inputMethodCommit()
    {
        QFETCH(QString, commit);
        QFETCH(QByteArray, bytes);
        ByteLineEdit key;
        key.setBytes("x");
        key.end(false);
        QInputMethodEvent event;
        event.setCommitString(commit);
        QApplication::sendEvent(&key, &event);
        QCOMPARE(bytesOf(key), bytes);
    }

    void pasteIntoKey()
    {
        ByteLineEdit key;
        key.setBytes("k");
        key.end(false);
        QApplication::clipboard()->setText(u"a\r\nb\t"_s + kCjk);
        key.paste();
        QCOMPARE(key.text(), u"ka\u240D\u240Ab\u2409"_s);
        QCOMPARE(bytesOf(key), QByteArray("ka\r\nb\t"));
    }

    // The key field selects its whole text when the keyboard brings the focus
    // there; a click, or coming back from another window, keeps the caret.
    void enteringTheKey()
    {
        QWidget window;
        auto *before = new QLineEdit(&window);
        auto *key = new ByteLineEdit(&window);
        key->move(0, 40);
        key->setBytes("TarnVeli");
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));

        before->setFocus();
        key->deselect();
        QTest::keyClick(before, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), key);
        QCOMPARE(key->selectedText(), QStringLiteral("TarnVeli"));

        before->setFocus();
        QTest::mouseClick(key, Qt::LeftButton, {}, QPoint(4, key->height() / 2));
        QCOMPARE(QApplication::focusWidget(), key);
        QVERIFY(key->selectedText().isEmpty());
        key->setCursorPosition(3);

        QWidget other;
        other.show();
        QApplication::setActiveWindow(&other);
        QVERIFY(QTest::qWaitForWindowActive(&other));
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QCOMPARE(QApplication::focusWidget(), key);
        QVERIFY(key->selectedText().isEmpty());
        QCOMPARE(key->cursorPosition(), 3);
    }

    void masking_data()
    {
        QTest::addColumn<QByteArray>("key");
        QTest::newRow("default key") << QByteArray("TarnVeli");
        QTest::newRow("controls") << QByteArray("a\x01\r\n\t");
        QTest::newRow("high codes") << QByteArray("\xFF\x80\xA0");
        QTest::newRow("empty") << QByteArray();
    }
    void masking()
    {
        QFETCH(QByteArray, key);
        ByteLineEdit edit;
        edit.setBytes(view(key));
        QVERIFY(!edit.isMasked());
        QCOMPARE(edit.displayText(), edit.text());
        edit.setMasked(true);
        QVERIFY(edit.isMasked());
        QCOMPARE(edit.displayText(), QString(key.size(), u'*'));
        QCOMPARE(bytesOf(edit), key);
        edit.setMasked(false);
        QVERIFY(!edit.isMasked());
        QCOMPARE(edit.displayText(), edit.text());
        QCOMPARE(bytesOf(edit), key);
    }

    void typingWhileMasked()
    {
        ByteLineEdit edit;
        edit.setMasked(true);
        typeText(edit, u"a"_s);
        typeText(edit, u"\u00E9"_s);
        QCOMPARE(edit.displayText(), u"**"_s);
        QCOMPARE(bytesOf(edit), QByteArray("a\xE9"));
    }
};

QTEST_MAIN(TestByteLineEdit)
#include "tst_bytelineedit.moc"

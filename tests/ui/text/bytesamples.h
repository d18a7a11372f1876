// For tests of both 8-bit text widgets, the text areas and the key field: the
// byte strings each must give back unchanged, and what typing does to them.
#pragma once

#include <algorithm>

#include <QByteArray>
#include <QSignalSpy>
#include <QString>
#include <QTest>
#include <QToolTip>

#include "ui/text/displaytext.h"

namespace lorimand::testing {

// A character no 8-bit set holds.
inline const QString kCjk = QString(QChar(0x4E2D));

// Every byte once, in order.
[[nodiscard]] inline QByteArray everyByte()
{
    QByteArray bytes;
    for (int code = 0; code < 256; ++code) {
        bytes += static_cast<char>(code);
    }
    return bytes;
}

// Adds byte strings that must read back unchanged to a Qt Test table with a
// QByteArray column "bytes".
inline void addRoundTripRows()
{
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("every byte") << everyByte();
    QByteArray reversed = everyByte();
    std::reverse(reversed.begin(), reversed.end());
    QTest::newRow("every byte reversed") << reversed;
    QTest::newRow("CR LF") << QByteArray("one\r\ntwo");
    QTest::newRow("lone CR") << QByteArray("one\rtwo");
    QTest::newRow("lone LF") << QByteArray("one\ntwo");
    QTest::newRow("CR CR LF") << QByteArray("one\r\r\ntwo");
    QTest::newRow("LF CR") << QByteArray("one\n\rtwo");
    QTest::newRow("CR LF LF") << QByteArray("one\r\n\ntwo");
    QTest::newRow("mixed breaks") << QByteArray("a\r\nb\nc\r\nd\n\ne\r\n\r\nf");
    QTest::newRow("CR LF minority") << QByteArray("a\nb\nc\r\nd\ne");
    QTest::newRow("no-break space") << QByteArray("a\xA0"
                                                  "b \xA0");
    QTest::newRow("TAB") << QByteArray("\ta\tb\t");
    QTest::newRow("NUL") << QByteArray("a\0b\0", 4);
    QTest::newRow("end of file mark") << QByteArray("a\x1A"
                                                    "b");
    QTest::newRow("DEL") << QByteArray("a\x7F"
                                       "b");
    QTest::newRow("undefined codes") << QByteArray("\x81\x8D\x8F\x90\x9D");
    QTest::newRow("ends in CR LF") << QByteArray("text\r\n");
    QTest::newRow("ends in LF") << QByteArray("text\n");
    QTest::newRow("ends in CR") << QByteArray("text\r");
    QTest::newRow("only breaks") << QByteArray("\r\n\n\r\n\n\n");
    QTest::newRow("starts with a break") << QByteArray("\ntext");
    QTest::newRow("UTF-8 bytes of a picture") << QByteArray("\xE2\x90\x80");
}

// Adds characters typed into an empty widget to a Qt Test table with the
// columns "typed" (QString), "shown" (QString: empty when the character is
// left out) and "bytes" (QByteArray: what the widget then holds).
inline void addTypedCharacterRows()
{
    QTest::newRow("CJK") << kCjk << QString() << QByteArray();
    QTest::newRow("Greek") << QStringLiteral(u"\u03A9") << QString() << QByteArray();
    QTest::newRow("outside the BMP") << QStringLiteral(u"\U0001F600") << QString() << QByteArray();
    QTest::newRow("euro sign") << QStringLiteral(u"\u20AC") << QStringLiteral(u"\u20AC")
                               << QByteArray("\x80");
    QTest::newRow("e acute") << QStringLiteral(u"\u00E9") << QStringLiteral(u"\u00E9")
                             << QByteArray("\xE9");
    QTest::newRow("letter") << QStringLiteral(u"a") << QStringLiteral(u"a") << QByteArray("a");
}

// Adds the modifiers of shortcuts that must type nothing to a Qt Test table
// with a Qt::KeyboardModifiers column "modifiers": Ctrl with a letter is a
// shortcut, and Alt with a letter that no access key took types nothing either.
inline void addShortcutRows()
{
    QTest::newRow("Ctrl+B") << Qt::KeyboardModifiers(Qt::ControlModifier);
    QTest::newRow("Alt+B") << Qt::KeyboardModifiers(Qt::AltModifier);
    QTest::newRow("Alt+Shift+B") << (Qt::AltModifier | Qt::ShiftModifier);
}

// Types `text` into the widget as a keyboard gives it.
inline void typeText(QWidget &widget, const QString &text)
{
    QTest::sendKeyEvent(QTest::Press, &widget, Qt::Key_unknown, text, Qt::NoModifier);
    QTest::sendKeyEvent(QTest::Release, &widget, Qt::Key_unknown, text, Qt::NoModifier);
}

// Types `typed` into a text widget: a character the 8-bit set cannot hold is
// left out, changing nothing, and a tool tip says so; any other goes in with
// one change. The caller checks QTest::currentTestFailed() after it.
template <typename Widget> void checkTyped(Widget &widget, const QString &typed, bool leftOut)
{
    QSignalSpy changed(&widget, &Widget::textChanged);
    QToolTip::hideText();
    typeText(widget, typed);
    QCOMPARE(QToolTip::isVisible(), leftOut);
    if (leftOut) {
        QCOMPARE(QToolTip::text(), displaytext::leftOutMessage(typed));
    }
    QCOMPARE(changed.count(), leftOut ? 0 : 1);
}

} // namespace lorimand::testing

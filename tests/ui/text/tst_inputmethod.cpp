// Tests of input methods in a text area: the text being composed shows at the
// caret and is never part of the bytes; what the input method commits replaces
// the selection, or the range it names around the caret, as one edit that undo
// takes back, sanitized as typing is (characters the 8-bit set cannot hold are
// left out, a line break takes the text's kind); and what the area answers
// about its text agrees with its caret and selection.
#include <QApplication>
#include <QInputMethodEvent>
#include <QTest>

#include "ui/text/bytetextedit.h"

using namespace lorimand;
using namespace Qt::StringLiterals;

namespace {

[[nodiscard]] QByteArray bytesOf(const ByteTextEdit &area)
{
    return QByteArray::fromStdString(area.bytes());
}

// One event of an input method: the text it composes, the text it commits and
// the range, counted from the caret, that the commit replaces.
struct Composing
{
    QString preedit;
    QString commit;
    int replacementStart = 0;
    int replacementLength = 0;
};

void send(ByteTextEdit &area, const Composing &step)
{
    QList<QInputMethodEvent::Attribute> attributes;
    if (!step.preedit.isEmpty()) {
        attributes << QInputMethodEvent::Attribute(QInputMethodEvent::Cursor,
                                                   static_cast<int>(step.preedit.size()), 1);
    }
    QInputMethodEvent event(step.preedit, attributes);
    event.setCommitString(step.commit, step.replacementStart, step.replacementLength);
    QApplication::sendEvent(&area, &event);
}

} // namespace

Q_DECLARE_METATYPE(Composing)

class TestInputMethod : public QObject
{
    Q_OBJECT

private slots:
    void events_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("anchor");
        QTest::addColumn<int>("caret");
        QTest::addColumn<QList<Composing>>("steps");
        QTest::addColumn<QByteArray>("committed");
        QTest::addColumn<int>("caretAfter");
        QTest::newRow("preedit only")
            << QByteArray("ab") << 1 << 1 << QList<Composing>{{u"xy"_s, {}, 0, 0}}
            << QByteArray("ab") << 1;
        QTest::newRow("commit only")
            << QByteArray("ab") << 1 << 1 << QList<Composing>{{{}, u"\u00E9"_s, 0, 0}}
            << QByteArray("a\xE9"
                          "b")
            << 2;
        QTest::newRow("preedit then commit") << QByteArray("ab") << 1 << 1
                                             << QList<Composing>{{u"e"_s, {}, 0, 0},
                                                                 {u"e\u0301"_s, {}, 0, 0},
                                                                 {{}, u"\u00E9"_s, 0, 0}}
                                             << QByteArray("a\xE9"
                                                           "b")
                                             << 2;
        QTest::newRow("commit and a new preedit")
            << QByteArray("ab") << 1 << 1 << QList<Composing>{{u"zz"_s, u"x"_s, 0, 0}}
            << QByteArray("axb") << 2;
        QTest::newRow("commit replaces the selection")
            << QByteArray("abcd") << 1 << 3 << QList<Composing>{{{}, u"x"_s, 0, 0}}
            << QByteArray("axd") << 2;
        QTest::newRow("commit replaces the character before the caret")
            << QByteArray("abc") << 2 << 2 << QList<Composing>{{{}, u"x"_s, -1, 1}}
            << QByteArray("axc") << 2;
        QTest::newRow("replacement after a CR LF")
            << QByteArray("a\r\nbc") << 5 << 5 << QList<Composing>{{{}, u"xy"_s, -2, 1}}
            << QByteArray("a\r\nxyc") << 5;
        QTest::newRow("a character outside Windows-1252")
            << QByteArray("ab") << 1 << 1 << QList<Composing>{{{}, u"x\u4E2Dy"_s, 0, 0}}
            << QByteArray("axyb") << 3;
        QTest::newRow("nothing the set holds keeps the selection")
            << QByteArray("abc") << 0 << 2 << QList<Composing>{{{}, u"\u4E2D"_s, 0, 0}}
            << QByteArray("abc") << 2;
        QTest::newRow("a break in CR LF text")
            << QByteArray("a\r\nb") << 1 << 1 << QList<Composing>{{{}, u"\n"_s, 0, 0}}
            << QByteArray("a\r\n\r\nb") << 3;
        QTest::newRow("a break in LF text")
            << QByteArray("a\nb") << 1 << 1 << QList<Composing>{{{}, u"x\r\ny"_s, 0, 0}}
            << QByteArray("ax\ny\nb") << 4;
        QTest::newRow("an empty commit ends the preedit")
            << QByteArray("ab") << 1 << 1 << QList<Composing>{{u"x"_s, {}, 0, 0}, {}}
            << QByteArray("ab") << 1;
    }
    void events()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, anchor);
        QFETCH(int, caret);
        QFETCH(QList<Composing>, steps);
        QFETCH(QByteArray, committed);
        QFETCH(int, caretAfter);
        ByteTextEdit area;
        area.setBytes(bytes.toStdString(), ByteTextEdit::History::Fresh);
        area.setSelection(static_cast<std::size_t>(anchor), static_cast<std::size_t>(caret));
        area.show();
        QVERIFY(QTest::qWaitForWindowExposed(&area));
        for (const Composing &step : steps) {
            send(area, step);
            if (!step.preedit.isEmpty()) {
                QVERIFY(!bytesOf(area).contains(step.preedit.toLatin1()));
                QVERIFY(!area.inputMethodQuery(Qt::ImSurroundingText)
                             .toString()
                             .contains(step.preedit));
            }
        }
        QCOMPARE(bytesOf(area), committed);
        QCOMPARE(area.cursorPosition(), static_cast<std::size_t>(caretAfter));
        if (committed == bytes) {
            QVERIFY(!area.isUndoAvailable());
        } else {
            area.undo();
            QCOMPARE(bytesOf(area), bytes);
            QVERIFY(!area.isUndoAvailable());
        }
    }

    // The text being composed shows at the caret, and the caret and the input
    // method's box are where the input method puts its cursor in it; moving the
    // caret away ends the composition, and nothing of it is in the bytes.
    void preeditAtTheCaret()
    {
        ByteTextEdit area;
        area.resize(400, 200);
        area.setBytes("ab\ncd");
        area.setCursorPosition(1);
        area.show();
        QVERIFY(QTest::qWaitForWindowExposed(&area));
        const QRect caretBefore = area.cursorRect();
        const QRect nextLine = area.characterRect(3);
        send(area, {u"xyz"_s, {}, 0, 0});
        const QRect atEnd = area.inputMethodQuery(Qt::ImCursorRectangle).toRect();
        QVERIFY(atEnd.left() > caretBefore.left());
        QCOMPARE(atEnd.top(), caretBefore.top());
        QCOMPARE(area.characterRect(3), nextLine);

        QInputMethodEvent inside(u"xyz"_s, {{QInputMethodEvent::Cursor, 1, 1}});
        QApplication::sendEvent(&area, &inside);
        const QRect afterX = area.inputMethodQuery(Qt::ImCursorRectangle).toRect();
        QVERIFY(afterX.left() > caretBefore.left());
        QVERIFY(afterX.left() < atEnd.left());
        QCOMPARE(area.cursorRect(), afterX);
        QCOMPARE(bytesOf(area), QByteArray("ab\ncd"));

        area.setCursorPosition(4);
        QCOMPARE(area.characterRect(1).left(), caretBefore.center().x());
        QCOMPARE(area.cursorRect().center().x(), area.characterRect(4).left());
        send(area, {{}, u"q"_s, 0, 0});
        QCOMPARE(bytesOf(area), QByteArray("ab\ncqd"));
    }

    // What the area tells an input method about the text around the caret.
    void queries_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("anchor");
        QTest::addColumn<int>("caret");
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<QString>("surrounding");
        QTest::addColumn<int>("cursor");
        QTest::addColumn<int>("anchorAt");
        QTest::addColumn<QString>("selected");
        QTest::newRow("caret in the second line") << QByteArray("ab\r\ncd\xE9") << 6 << 6 << false
                                                  << u"cd\u00E9"_s << 2 << 2 << QString();
        QTest::newRow("selection within the line")
            << QByteArray("ab\r\ncd\xE9") << 4 << 6 << false << u"cd\u00E9"_s << 2 << 0 << u"cd"_s;
        QTest::newRow("selection from the line before")
            << QByteArray("ab\r\ncd\xE9") << 1 << 5 << false << u"cd\u00E9"_s << 1 << 0
            << u"b\nc"_s;
        QTest::newRow("selection into the line after")
            << QByteArray("ab\ncd") << 4 << 0 << false << u"ab"_s << 0 << 2 << u"ab\nc"_s;
        QTest::newRow("control pictures") << QByteArray("a\x01\rb") << 3 << 3 << false
                                          << u"a\u2401\u240Db"_s << 3 << 3 << QString();
        QTest::newRow("read-only")
            << QByteArray("ab") << 0 << 1 << true << u"ab"_s << 1 << 0 << u"a"_s;
    }
    void queries()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, anchor);
        QFETCH(int, caret);
        QFETCH(bool, readOnly);
        QFETCH(QString, surrounding);
        QFETCH(int, cursor);
        QFETCH(int, anchorAt);
        QFETCH(QString, selected);
        ByteTextEdit area;
        area.resize(400, 200);
        area.setBytes(bytes.toStdString());
        area.setReadOnly(readOnly);
        area.setSelection(static_cast<std::size_t>(anchor), static_cast<std::size_t>(caret));
        area.show();
        QVERIFY(QTest::qWaitForWindowExposed(&area));
        const auto query = [&](Qt::InputMethodQuery which) {
            return area.inputMethodQuery(which);
        };
        QCOMPARE(query(Qt::ImEnabled).toBool(), !readOnly);
        QCOMPARE(area.testAttribute(Qt::WA_InputMethodEnabled), !readOnly);
        QCOMPARE(query(Qt::ImReadOnly).toBool(), readOnly);
        QCOMPARE(query(Qt::ImSurroundingText).toString(), surrounding);
        QCOMPARE(query(Qt::ImCursorPosition).toInt(), cursor);
        QCOMPARE(query(Qt::ImAnchorPosition).toInt(), anchorAt);
        QCOMPARE(query(Qt::ImCurrentSelection).toString(), selected);
        QCOMPARE(query(Qt::ImTextBeforeCursor).toString(), surrounding.first(cursor));
        QCOMPARE(query(Qt::ImTextAfterCursor).toString(), surrounding.sliced(cursor));
        QVERIFY(Qt::InputMethodHints(query(Qt::ImHints).toInt()).testFlag(Qt::ImhMultiLine));
        const QRect box = query(Qt::ImCursorRectangle).toRect();
        QVERIFY(!box.isEmpty());
        QCOMPARE(box, area.cursorRect());
        QCOMPARE(area.offsetAt(box.center()), static_cast<std::size_t>(caret));
        QCOMPARE(query(Qt::ImFont).value<QFont>(), area.font());
    }

    // A read-only area takes nothing from an input method.
    void readOnlyTakesNoCommit()
    {
        ByteTextEdit area;
        area.setBytes("ab", ByteTextEdit::History::Fresh);
        area.setReadOnly(true);
        send(area, {u"p"_s, u"x"_s, 0, 0});
        QCOMPARE(bytesOf(area), QByteArray("ab"));
        QVERIFY(!area.isUndoAvailable());
    }
};

QTEST_MAIN(TestInputMethod)
#include "tst_inputmethod.moc"

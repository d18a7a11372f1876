// Tests of input methods in a text area: the text being composed shows at the
// caret and is never part of the bytes; what the input method commits replaces
// the selection, or the range it names around the caret, as one edit that undo
// takes back on its own, sanitized as typing is (characters the 8-bit set
// cannot hold are left out, a line break takes the text's kind); what the area
// answers about its text agrees with its caret and selection, and an input
// method that keeps what it was told hears of every change; a click or a
// change of the focus commits the text being composed.
#include <functional>
#include <utility>

#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <QtGui/private/qinputmethod_p.h>
#include <QtGui/qpa/qplatforminputcontext.h>

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

void send(QObject &target, const Composing &step)
{
    QList<QInputMethodEvent::Attribute> attributes;
    if (!step.preedit.isEmpty()) {
        attributes << QInputMethodEvent::Attribute(QInputMethodEvent::Cursor,
                                                   static_cast<int>(step.preedit.size()), 1);
    }
    QInputMethodEvent event(step.preedit, attributes);
    event.setCommitString(step.commit, step.replacementStart, step.replacementLength);
    QApplication::sendEvent(&target, &event);
}

// What an input method asks the focused area about and keeps.
constexpr Qt::InputMethodQuery kKept[] = {
    Qt::ImSurroundingText,  Qt::ImCursorPosition,  Qt::ImAnchorPosition,
    Qt::ImCurrentSelection, Qt::ImCursorRectangle, Qt::ImAnchorRectangle,
};

// An input method as the platform runs it (ibus, for one): it keeps its own
// copy of what it asked the focused widget, and asks again only when the focus
// arrives or the widget tells it that something changed. It composes, commits
// what it composed when asked to, and, as a transliterating engine does,
// replaces the character before the caret as it knows it.
class Engine : public QPlatformInputContext
{
public:
    Engine() { QInputMethodPrivate::get(QGuiApplication::inputMethod())->testContext = this; }
    ~Engine() override
    {
        QInputMethodPrivate::get(QGuiApplication::inputMethod())->testContext = nullptr;
    }
    Engine(const Engine &) = delete;
    Engine &operator=(const Engine &) = delete;

    [[nodiscard]] bool isValid() const override { return true; }
    void setFocusObject(QObject * /*object*/) override { learn(Qt::ImQueryInput); }
    void update(Qt::InputMethodQueries queries) override { learn(queries); }
    void reset() override { composing_.clear(); }
    void commit() override
    {
        if (!composing_.isEmpty()) {
            sendToFocus({{}, std::exchange(composing_, {})});
        }
    }

    void compose(const QString &text)
    {
        composing_ = text;
        sendToFocus({text, {}});
    }
    // The character before the caret, as the engine knows the text, replaced by its capital.
    void capitalizeBeforeCaret()
    {
        const QString text = known(Qt::ImSurroundingText).toString();
        const int caret = known(Qt::ImCursorPosition).toInt();
        sendToFocus({{}, text.mid(caret - 1, 1).toUpper(), -1, 1});
    }
    [[nodiscard]] QVariant known(Qt::InputMethodQuery query) const { return known_.value(query); }
    // Asks the focused widget anew, as on the focus arriving.
    void learn(Qt::InputMethodQueries queries)
    {
        QObject *focus = QGuiApplication::focusObject();
        if (focus == nullptr) {
            return;
        }
        QInputMethodQueryEvent asked(queries);
        QCoreApplication::sendEvent(focus, &asked);
        for (const Qt::InputMethodQuery query : kKept) {
            if (queries.testFlag(query)) {
                known_[query] = asked.value(query);
            }
        }
    }

private:
    static void sendToFocus(const Composing &step)
    {
        if (QObject *focus = QGuiApplication::focusObject()) {
            send(*focus, step);
        }
    }

    QString composing_;
    QHash<Qt::InputMethodQuery, QVariant> known_;
};

// An area in a window beside a field that can take the focus from it; the
// area has the focus. Its font is of one width, so that a point over the text
// composed is over the same character once it is committed.
struct Window
{
    QWidget window;
    ByteTextEdit *area = new ByteTextEdit;
    QLineEdit *other = new QLineEdit;

    explicit Window(const QByteArray &bytes, std::size_t caret)
    {
        auto *layout = new QHBoxLayout(&window);
        layout->addWidget(area);
        layout->addWidget(other);
        window.resize(500, 200);
        area->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
        area->setBytes(bytes.toStdString(), ByteTextEdit::History::Fresh);
        area->setCursorPosition(caret);
    }
    [[nodiscard]] bool focused()
    {
        window.show();
        window.activateWindow();
        area->setFocus();
        return QTest::qWaitForWindowActive(&window) &&
               QTest::qWaitFor([&] { return QGuiApplication::focusObject() == area; });
    }
};

// Something the user or the program does to the area, with the input method
// if there is one.
using Action = std::function<void(ByteTextEdit &, Engine *)>;

// A click with the left button, a little way into the box of the character
// at byte `offset`, so that the caret goes before it.
void clickBefore(ByteTextEdit &area, std::size_t offset)
{
    const QRect box = area.characterRect(offset);
    QTest::mouseClick(area.viewport(), Qt::LeftButton, {},
                      QPoint(box.left() + 1, box.center().y()));
}

} // namespace

Q_DECLARE_METATYPE(Composing)
Q_DECLARE_METATYPE(Action)

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
    // method's box are where the input method puts its cursor in it; nothing
    // of it is in the bytes until the caret moves away, which commits it first
    // and moves on with the text after it.
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
        QCOMPARE(bytesOf(area), QByteArray("axyzb\ncd"));
        QCOMPARE(area.cursorPosition(), std::size_t{7});
        QCOMPARE(area.characterRect(1).left(), caretBefore.center().x());
        QCOMPARE(area.cursorRect().center().x(), area.characterRect(7).left());
        send(area, {{}, u"q"_s, 0, 0});
        QCOMPARE(bytesOf(area), QByteArray("axyzb\ncqd"));
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

    // After every kind of change the area tells the input method, which then
    // knows what the area answers now; so an engine that replaces the
    // character before the caret replaces the right one.
    void engineKeepsUp_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("caret");
        QTest::addColumn<Action>("action");
        QTest::addColumn<QByteArray>("replaced");
        const auto key = [](Qt::Key pressed, Qt::KeyboardModifiers modifiers = {}) {
            return Action(
                [=](ByteTextEdit &area, Engine *) { QTest::keyClick(&area, pressed, modifiers); });
        };
        QTest::newRow("Right") << QByteArray("abcd") << 1 << key(Qt::Key_Right)
                               << QByteArray("aBcd");
        QTest::newRow("Down into the next line")
            << QByteArray("ab\ncd") << 1 << key(Qt::Key_Down) << QByteArray("ab\nCd");
        QTest::newRow("End") << QByteArray("abcd") << 1 << key(Qt::Key_End) << QByteArray("abcD");
        QTest::newRow("Shift+Left") << QByteArray("abcd") << 3
                                    << key(Qt::Key_Left, Qt::ShiftModifier) << QByteArray("aBcd");
        QTest::newRow("a click") << QByteArray("abcd") << 1
                                 << Action(
                                        [](ByteTextEdit &area, Engine *) { clickBefore(area, 3); })
                                 << QByteArray("abCd");
        QTest::newRow("the caret set by the program")
            << QByteArray("abcd") << 1
            << Action([](ByteTextEdit &area, Engine *) { area.setCursorPosition(4); })
            << QByteArray("abcD");
        QTest::newRow("typing") << QByteArray("abcd") << 1 << key(Qt::Key_X) << QByteArray("aXbcd");
        QTest::newRow("Backspace")
            << QByteArray("abcd") << 3 << key(Qt::Key_Backspace) << QByteArray("aBd");
        QTest::newRow("Enter") << QByteArray("ab\ncd") << 4 << key(Qt::Key_Return)
                               << QByteArray("ab\nc\nd");
        QTest::newRow("undo") << QByteArray("abcd") << 2
                              << Action([](ByteTextEdit &area, Engine *) {
                                     area.setCursorPosition(4);
                                     QTest::keyClick(&area, Qt::Key_X);
                                     area.undo();
                                 })
                              << QByteArray("abcD");
        QTest::newRow("paste") << QByteArray("abcd") << 1
                               << Action([](ByteTextEdit &area, Engine *) {
                                      QApplication::clipboard()->setText(u"xy"_s);
                                      area.paste();
                                  })
                               << QByteArray("axYbcd");
        QTest::newRow("a commit of the engine's")
            << QByteArray("abcd") << 1 << Action([](ByteTextEdit &, Engine *engine) {
                   engine->compose(u"x"_s);
                   engine->commit();
               })
            << QByteArray("aXbcd");
        QTest::newRow("a change before the caret that leaves its character")
            << QByteArray("abcd") << 2
            << Action([](ByteTextEdit &area, Engine *) { area.spliceAutomatic(0, 1, "zz"); })
            << QByteArray("zzBcd");
        // "a\xC3\xA9" shows as three characters in Windows-1252, as two in UTF-8.
        QTest::newRow("switching to UTF-8")
            << QByteArray("a\xC3\xA9") << 3 << Action([](ByteTextEdit &area, Engine *) {
                   area.setCharset(displaytext::Charset::Utf8);
               })
            << QByteArray("a\xC3\x89");
        // "a\n" to "z\n", the caret after the "d".
        QByteArray lines;
        for (char letter = 'a'; letter <= 'z'; ++letter) {
            lines += letter;
            lines += '\n';
        }
        QByteArray capitalD = lines;
        capitalD[6] = 'D';
        QTest::newRow("scrolling") << lines << 7 << Action([](ByteTextEdit &area, Engine *) {
            area.verticalScrollBar()->setValue(2);
        }) << capitalD;
        QTest::newRow("scrolling by the program")
            << lines << 7 << Action([](ByteTextEdit &area, Engine *) {
                   area.scrollTo({1, 0});
               })
            << capitalD;
        QTest::newRow("a larger font")
            << QByteArray("abcd") << 2
            << Action([](ByteTextEdit &area, Engine *) { area.zoomIn(4); }) << QByteArray("aBcd");
    }
    void engineKeepsUp()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, caret);
        QFETCH(Action, action);
        QFETCH(QByteArray, replaced);
        Engine engine;
        Window window(bytes, static_cast<std::size_t>(caret));
        QVERIFY(window.focused());
        engine.learn(Qt::ImQueryInput);
        const QVariant boxBefore = engine.known(Qt::ImCursorRectangle);
        action(*window.area, &engine);
        for (const Qt::InputMethodQuery query : kKept) {
            QCOMPARE(engine.known(query), window.area->inputMethodQuery(query));
        }
        // Each row changes what the engine knows.
        QVERIFY(engine.known(Qt::ImCursorRectangle) != boxBefore ||
                QByteArray::fromStdString(window.area->bytes()) != bytes ||
                window.area->cursorPosition() != static_cast<std::size_t>(caret));
        engine.capitalizeBeforeCaret();
        QCOMPARE(bytesOf(*window.area), replaced);
    }

    // A click or the focus leaving commits the text being composed, whether
    // the input method commits it (as ibus does when asked) or the area does;
    // then the click acts on the text as it is. A popup taking the focus for a
    // while leaves the composition as it is.
    void compositionCommitted_data()
    {
        QTest::addColumn<bool>("engineCommits");
        QTest::addColumn<Action>("action");
        QTest::addColumn<QByteArray>("after");
        QTest::addColumn<int>("caretAfter");
        // "abcd\nef" with "xy" composed after the "a".
        const QByteArray committed = "axybcd\nef";
        for (const bool engineCommits : {true, false}) {
            const char *who = engineCommits ? " (the input method commits)" : " (the area commits)";
            QTest::addRow("a click on the next line%s", who)
                << engineCommits
                << Action([](ByteTextEdit &area, Engine *) { clickBefore(area, 6); }) << committed
                << 8;
            // The point over the "c" shown after the composition: the click finds
            // the committed text's "c" there, not the byte the point was over
            // before the composition went in.
            QTest::addRow("a click after the composition on its line%s", who)
                << engineCommits
                << Action([](ByteTextEdit &area, Engine *) { clickBefore(area, 3); }) << committed
                << 3;
            QTest::addRow("a double click%s", who)
                << engineCommits << Action([](ByteTextEdit &area, Engine *) {
                       const QRect box = area.characterRect(6);
                       QTest::mouseDClick(area.viewport(), Qt::LeftButton, {},
                                          QPoint(box.left() + 1, box.center().y()));
                   })
                << committed << 9;
            QTest::addRow("the focus leaving%s", who)
                << engineCommits << Action([](ByteTextEdit &area, Engine *) {
                       area.window()->findChild<QLineEdit *>()->setFocus(Qt::TabFocusReason);
                   })
                << committed << 3;
            QTest::addRow("the caret set by the program%s", who)
                << engineCommits
                << Action([](ByteTextEdit &area, Engine *) { area.setCursorPosition(6); })
                << committed << 8;
            QTest::addRow("made read-only%s", who)
                << engineCommits
                << Action([](ByteTextEdit &area, Engine *) { area.setReadOnly(true); }) << committed
                << 3;
        }
        QTest::newRow("a popup keeps the composition")
            << true << Action([](ByteTextEdit &area, Engine *) {
                   QFocusEvent out(QEvent::FocusOut, Qt::PopupFocusReason);
                   QApplication::sendEvent(&area, &out);
               })
            << QByteArray("abcd\nef") << 1;
    }
    void compositionCommitted()
    {
        QFETCH(bool, engineCommits);
        QFETCH(Action, action);
        QFETCH(QByteArray, after);
        QFETCH(int, caretAfter);
        const QByteArray before = "abcd\nef";
        std::optional<Engine> engine;
        if (engineCommits) {
            engine.emplace();
        }
        Window window(before, 1);
        QVERIFY(window.focused());
        ByteTextEdit &area = *window.area;
        if (engine) {
            engine->compose(u"xy"_s);
        } else {
            send(area, {u"xy"_s, {}, 0, 0});
        }
        QCOMPARE(bytesOf(area), before);
        action(area, engine ? &*engine : nullptr);
        QCOMPARE(bytesOf(area), after);
        QCOMPARE(area.cursorPosition(), static_cast<std::size_t>(caretAfter));
        if (after != before) {
            // The text composed went in as one commit: one undo takes it back.
            QVERIFY(area.isUndoAvailable());
            area.undo();
            QCOMPARE(bytesOf(area), before);
            QVERIFY(!area.isUndoAvailable());
        } else {
            QVERIFY(!area.isUndoAvailable());
        }
    }

    // Each commit is an undo step of its own, whatever came between.
    void commitsUndoApart_data()
    {
        QTest::addColumn<QList<Composing>>("steps");
        QTest::addColumn<QList<QByteArray>>("undone"); // the bytes after each undo
        QTest::newRow("two commits") << QList<Composing>{{{}, u"x"_s, 0, 0}, {{}, u"y"_s, 0, 0}}
                                     << QList<QByteArray>{"axb", "ab"};
        QTest::newRow("a composition between")
            << QList<Composing>{{{}, u"x"_s, 0, 0}, {u"q"_s, {}, 0, 0}, {{}, u"y"_s, 0, 0}}
            << QList<QByteArray>{"axb", "ab"};
        QTest::newRow("a commit that replaces the one before")
            << QList<Composing>{{{}, u"x"_s, 0, 0}, {{}, u"z"_s, -1, 1}}
            << QList<QByteArray>{"axb", "ab"};
        QTest::newRow("three commits")
            << QList<Composing>{{{}, u"x"_s, 0, 0}, {{}, u"y"_s, 0, 0}, {{}, u"z"_s, 0, 0}}
            << QList<QByteArray>{"axyb", "axb", "ab"};
    }
    void commitsUndoApart()
    {
        QFETCH(QList<Composing>, steps);
        QFETCH(QList<QByteArray>, undone);
        ByteTextEdit area;
        area.setBytes("ab", ByteTextEdit::History::Fresh);
        area.setCursorPosition(1);
        for (const Composing &step : steps) {
            send(area, step);
        }
        for (const QByteArray &bytes : undone) {
            QVERIFY(area.isUndoAvailable());
            area.undo();
            QCOMPARE(bytesOf(area), bytes);
        }
        QVERIFY(!area.isUndoAvailable());
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

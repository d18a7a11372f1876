// Tests of the text areas (ByteTextEdit): they hold every byte string
// faithfully, show what they hold, and turn typed, pasted and dropped text into
// bytes. Positions are byte offsets. A line longer than a block
// (text::TextBlocks::kBlockBytes) is laid out in blocks, which read, copy, edit
// and move the caret as one line; in UTF-8 a character across a block's edge
// stays whole. The view's own keys, mouse, wrapping and zoom are tested too.
#include <functional>
#include <string>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <QUrl>
#include <QWheelEvent>

#include "bytes.h"
#include "text/textblocks.h"
#include "ui/main/utf8samples.h"
#include "ui/text/bytesamples.h"
#include "ui/text/bytetextedit.h"
#include "ui/text/displaytext.h"

using namespace lorimand;
using namespace Qt::StringLiterals;
using displaytext::Charset;
using testing::kCjk;
using testing::typeText;

namespace {

using History = ByteTextEdit::History;

constexpr int kBlock = static_cast<int>(text::TextBlocks::kBlockBytes);

[[nodiscard]] QByteArray bytesOf(const ByteTextEdit &edit)
{
    return QByteArray::fromStdString(edit.bytes());
}

void fill(ByteTextEdit &edit, const QByteArray &bytes, History history = History::Step)
{
    edit.setBytes(bytes.toStdString(), history);
}

[[nodiscard]] std::size_t at(qsizetype offset)
{
    return static_cast<std::size_t>(offset);
}

// The caret at `position`, or at the end for -1.
void placeCursor(ByteTextEdit &edit, int position)
{
    edit.setCursorPosition(position < 0 ? edit.byteCount() : at(position));
}

void select(ByteTextEdit &edit, int anchor, int position)
{
    edit.setSelection(at(anchor), at(position));
}

[[nodiscard]] QString selectedShown(const ByteTextEdit &edit)
{
    return edit.shownText(edit.selectionStart(), edit.selectionEnd());
}

[[nodiscard]] ByteTextEdit::Selection selection(int anchor, int position)
{
    return {at(anchor), at(position)};
}

// A line of words of nine letters, so that a block's edge falls inside a word.
[[nodiscard]] QByteArray longLine(qsizetype size)
{
    static const QByteArray word("abcdefghi ");
    QByteArray line(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i) {
        line[i] = word[i % word.size()];
    }
    return line;
}

// Every code but LF, over and over: one line holding every character there is.
[[nodiscard]] QByteArray everyCodeInOneLine(qsizetype size)
{
    QByteArray codes = testing::everyByte();
    codes.remove('\n', 1);
    QByteArray line;
    while (line.size() < size) {
        line += codes;
    }
    return line.left(size);
}

// How many characters each line shows in the 8-bit set: one per byte, its
// line break not counted.
[[nodiscard]] QList<qsizetype> lineLengths(const QByteArray &bytes)
{
    const QList<QByteArray> lines = bytes.split('\n');
    QList<qsizetype> lengths;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const bool crlf = i + 1 < lines.size() && lines[i].endsWith('\r');
        lengths << lines[i].size() - (crlf ? 1 : 0);
    }
    return lengths;
}

[[nodiscard]] QList<qsizetype> shownLineLengths(const ByteTextEdit &edit)
{
    QList<qsizetype> lengths;
    for (const QString &line : edit.shownText().split(u'\n')) {
        lengths << line.size();
    }
    return lengths;
}

// Whether every surrogate in the text is half of a pair.
[[nodiscard]] bool pairsWhole(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ++i;
        } else if (text[i].isSurrogate()) {
            return false;
        }
    }
    return true;
}

void press(QWidget &widget, int combined)
{
    const QKeyCombination key = QKeyCombination::fromCombined(combined);
    QTest::keyClick(&widget, key.key(), key.keyboardModifiers());
}

[[nodiscard]] int keys(QKeyCombination key)
{
    return key.toCombined();
}

// Presses a key on the text `before` shown in edit: the result must be `after`,
// and undo and redo must go back and forth between the two. `changes` receives
// how many times the key press changed the text.
void pressAndUndo(ByteTextEdit &edit, const QByteArray &before, int key, int modifiers,
                  const QByteArray &after, int *changes = nullptr)
{
    QSignalSpy changed(&edit, &ByteTextEdit::textChanged);
    QTest::keyClick(&edit, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    if (changes) {
        *changes = static_cast<int>(changed.count());
    }
    QCOMPARE(bytesOf(edit), after);
    for (int round = 0; round < 2; ++round) {
        edit.undo();
        QCOMPARE(bytesOf(edit), before);
        edit.redo();
        QCOMPARE(bytesOf(edit), after);
    }
}

// Every character there is once, in UTF-8: the BMP but its surrogates, and a
// spread of those above it.
[[nodiscard]] QByteArray everyCharacterInUtf8()
{
    QList<char32_t> points;
    for (char32_t point = 0x80; point <= 0x10FFFF; point += point < 0x10000 ? 1 : 0x0FFF) {
        if (!QChar::isSurrogate(point)) {
            points.append(point);
        }
    }
    return QString::fromUcs4(points.constData(), points.size()).toUtf8();
}

// Opens the area's context menu as a right click does and hands it to `use`
// while it shows; false when no menu showed.
bool withContextMenu(ByteTextEdit &edit, const std::function<void(QMenu &)> &use)
{
    bool shown = false;
    QTimer::singleShot(0, &edit, [&] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (menu == nullptr) {
            return;
        }
        shown = true;
        use(*menu);
        menu->close();
    });
    const QPoint where(5, 5);
    QContextMenuEvent event(QContextMenuEvent::Mouse, where, edit.viewport()->mapToGlobal(where));
    QApplication::sendEvent(edit.viewport(), &event);
    return shown;
}

// The entries of the area's context menu; `choose`, when given, is then
// triggered in the submenu `submenu`, and `checked` receives its checked entries.
QStringList contextMenuEntries(ByteTextEdit &edit, const QString &submenu = {},
                               const QString &choose = {}, QStringList *checked = nullptr)
{
    QStringList entries;
    withContextMenu(edit, [&](QMenu &menu) {
        for (QAction *action : menu.actions()) {
            entries << action->text();
            if (action->text() != submenu || action->menu() == nullptr) {
                continue;
            }
            for (QAction *item : action->menu()->actions()) {
                if (checked != nullptr && item->isChecked()) {
                    *checked << item->text();
                }
                if (item->text() == choose) {
                    item->trigger();
                }
            }
        }
    });
    return entries;
}

// Triggers the context menu's entry of that object name; false when it is not
// there or not enabled.
bool chooseFromContextMenu(ByteTextEdit &edit, const QString &name)
{
    bool chosen = false;
    withContextMenu(edit, [&](QMenu &menu) {
        for (QAction *action : menu.actions()) {
            if (action->objectName() == name && action->isEnabled()) {
                action->trigger();
                chosen = true;
            }
        }
    });
    return chosen;
}

// A drop of the given data at the top left of the area.
bool drop(ByteTextEdit &edit, QMimeData &mime, Qt::DropActions possible = Qt::CopyAction,
          Qt::DropAction *taken = nullptr)
{
    const QPointF where(2, 2);
    QDragEnterEvent enter(where.toPoint(), possible, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(edit.viewport(), &enter);
    QDropEvent dropped(where, possible, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(edit.viewport(), &dropped);
    if (taken != nullptr) {
        *taken = dropped.dropAction();
    }
    return dropped.isAccepted();
}

// Where the caret at `offset` shows, scrolled into view.
[[nodiscard]] QPoint caretPoint(ByteTextEdit &edit, std::size_t offset)
{
    edit.setCursorPosition(offset);
    edit.ensureCursorVisible();
    return edit.cursorRect().center();
}

void mouseMoveWithButton(ByteTextEdit &edit, QPoint to)
{
    QMouseEvent move(QEvent::MouseMove, to, edit.viewport()->mapToGlobal(to), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(edit.viewport(), &move);
}

} // namespace

class TestByteTextEdit : public QObject
{
    Q_OBJECT

private slots:
    // ---------------------------------------------------------------------
    // Holding and showing bytes

    void textRoundTrip_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        testing::addRoundTripRows();
    }
    void textRoundTrip()
    {
        QFETCH(QByteArray, bytes);
        ByteTextEdit edit;
        fill(edit, bytes);
        QCOMPARE(bytesOf(edit), bytes);
        QCOMPARE(edit.byteCount(), at(bytes.size()));
    }

    // Long lines come back whole and show as one line each, one character per
    // byte, with no break where a block ends.
    void longLineRoundTrip_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("one below a block") << longLine(kBlock - 1);
        QTest::newRow("one block") << longLine(kBlock);
        QTest::newRow("one above a block") << longLine(kBlock + 1);
        QTest::newRow("two blocks exactly") << longLine(2 * kBlock);
        QTest::newRow("several blocks") << longLine(5 * kBlock + 17);
        QTest::newRow("blocks between mixed breaks")
            << "a\r\n" + longLine(kBlock + 5) + "\n" + longLine(2 * kBlock) + "\r\n\nb";
        QTest::newRow("break at a block's end")
            << longLine(kBlock) + "\n" + longLine(kBlock - 1) + "\r\n";
        QTest::newRow("CR LF across a block's end") << longLine(kBlock - 1) + "\r\n" + longLine(3);
        QTest::newRow("lone CR at a block's end") << longLine(kBlock - 1) + "\r" + longLine(3);
        QTest::newRow("long last line with a final break")
            << "x\n" + longLine(2 * kBlock + 3) + "\n";
        QTest::newRow("long last line without a final break") << "x\n" + longLine(2 * kBlock + 3);
        QTest::newRow("every code in one line") << everyCodeInOneLine(4 * kBlock + 100);
        QTest::newRow("every code in long lines")
            << everyCodeInOneLine(3 * kBlock) + "\r\n" + everyCodeInOneLine(kBlock + 1) + "\n";
    }
    void longLineRoundTrip()
    {
        QFETCH(QByteArray, bytes);
        ByteTextEdit edit;
        fill(edit, bytes);
        QCOMPARE(bytesOf(edit), bytes);
        QCOMPARE(shownLineLengths(edit), lineLengths(bytes));
    }

    void everySingleByteRoundTrips()
    {
        ByteTextEdit area;
        for (int code = 0; code < 256; ++code) {
            const QByteArray bytes = QByteArray("x") + static_cast<char>(code) + "y";
            fill(area, bytes);
            QCOMPARE(bytesOf(area), bytes);
        }
    }

    void textShown_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("shown");
        QTest::newRow("CR LF and LF are breaks") << QByteArray("a\r\nb\nc") << u"a\nb\nc"_s;
        QTest::newRow("lone CR") << QByteArray("a\rb") << u"a\u240Db"_s;
        QTest::newRow("CR CR LF") << QByteArray("a\r\r\nb") << u"a\u240D\nb"_s;
        QTest::newRow("NUL, ^Z, ESC, DEL")
            << QByteArray("\0\x1A\x1B\x7F", 4) << u"\u2400\u241A\u241B\u2421"_s;
        QTest::newRow("TAB stays") << QByteArray("a\tb") << u"a\tb"_s;
        QTest::newRow("no-break space stays") << QByteArray("a\xA0"
                                                            "b")
                                              << u"a\u00A0b"_s;
        QTest::newRow("Windows-1252") << QByteArray("\x80\x99\xE9") << u"\u20AC\u2122\u00E9"_s;
        QTest::newRow("break at the end") << QByteArray("a\n") << u"a\n"_s;
        const QString block = QString::fromLatin1(longLine(kBlock));
        QTest::newRow("a line of one block") << longLine(kBlock) << block;
        QTest::newRow("a line one above a block")
            << longLine(kBlock + 1) << QString::fromLatin1(longLine(kBlock + 1));
        QTest::newRow("a break right after a block") << longLine(kBlock) + "\r\n" << block + u'\n';
        QTest::newRow("blocks count from the line's start")
            << "ab\n" + longLine(kBlock + 2)
            << u"ab\n"_s + QString::fromLatin1(longLine(kBlock + 2));
    }
    void textShown()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, shown);
        ByteTextEdit edit;
        fill(edit, bytes);
        QCOMPARE(edit.shownText(), shown);
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
        QTest::newRow("one long line") << QByteArray("a\nb") << everyCodeInOneLine(300 * 1000);
        QTest::newRow("long lines over long lines")
            << longLine(9 * kBlock) << "x\r\n" + longLine(4 * kBlock) + "\n" + longLine(kBlock + 1);
    }
    void setBytesChangesOnce()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, bytes);
        for (const History history : {History::Step, History::Automatic, History::Fresh}) {
            ByteTextEdit area;
            fill(area, before, History::Automatic);
            QSignalSpy changed(&area, &ByteTextEdit::textChanged);
            QSignalSpy bytesChanged(&area, &ByteTextEdit::bytesChanged);
            fill(area, bytes, history);
            QCOMPARE(changed.count(), 1);
            QCOMPARE(bytesChanged.count(), 1);
            QCOMPARE(bytesOf(area), bytes);
        }
    }

    // Each LF ends a line of its own; the area shows one character per byte
    // but for the CR of a CR LF.
    void largeTextRoundTrips()
    {
        const QByteArray bytes = test::randomBytes(1024 * 1024, 42);
        ByteTextEdit edit;
        fill(edit, bytes);
        QCOMPARE(bytesOf(edit), bytes);
        const QString shown = edit.shownText();
        QCOMPARE(shown.count(u'\n'), bytes.count('\n'));
        QCOMPARE(shown.size(), bytes.size() - bytes.count("\r\n"));
    }

    // ---------------------------------------------------------------------
    // Line breaks

    void typedBreakTakesFirstKind_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QByteArray>("after");
        const int none = Qt::NoModifier;
        QTest::newRow("LF text") << QByteArray("a\nb") << -1 << none << QByteArray("a\nb\n");
        QTest::newRow("CR LF text")
            << QByteArray("a\r\nb") << -1 << none << QByteArray("a\r\nb\r\n");
        QTest::newRow("no breaks") << QByteArray("ab") << 1 << none << QByteArray("a\r\nb");
        QTest::newRow("empty") << QByteArray() << 0 << none << QByteArray("\r\n");
        QTest::newRow("first LF, then CR LF")
            << QByteArray("a\nb\r\nc") << -1 << none << QByteArray("a\nb\r\nc\n");
        QTest::newRow("first CR LF, then LF")
            << QByteArray("a\r\nb\nc\nd") << 0 << none << QByteArray("\r\na\r\nb\nc\nd");
        QTest::newRow("inside a LF line of a CR LF text")
            << QByteArray("a\r\nbc\nd") << 4 << none << QByteArray("a\r\nb\r\nc\nd");
        QTest::newRow("lone CR is no break")
            << QByteArray("a\rb") << -1 << none << QByteArray("a\rb\r\n");
        QTest::newRow("Shift+Enter too")
            << QByteArray("a\nb") << 1 << static_cast<int>(Qt::ShiftModifier)
            << QByteArray("a\n\nb");
        const QByteArray line = longLine(2 * kBlock + 5);
        QTest::newRow("block edges are no breaks")
            << line + "\nb" << 0 << none << "\n" + line + "\nb";
        QTest::newRow("a long line alone") << line << -1 << none << line + "\r\n";
        QTest::newRow("at a block's edge") << line + "\nb" << kBlock << none
                                           << line.left(kBlock) + "\n" + line.mid(kBlock) + "\nb";
        QTest::newRow("at a block's edge, CR LF text")
            << line + "\r\nb" << kBlock << none
            << line.left(kBlock) + "\r\n" + line.mid(kBlock) + "\r\nb";
    }
    void typedBreakTakesFirstKind()
    {
        QFETCH(QByteArray, before);
        QFETCH(int, position);
        QFETCH(int, modifiers);
        QFETCH(QByteArray, after);
        ByteTextEdit edit;
        fill(edit, before);
        placeCursor(edit, position);
        int changes = 0;
        pressAndUndo(edit, before, Qt::Key_Return, modifiers, after, &changes);
        QCOMPARE(changes, 1);
    }

    // Edits that split and join lines of a text with both kinds of break: the
    // kinds stay with their breaks, and undo and redo give back each state.
    void undoRedoKeepBreakKinds_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("key");
        QTest::addColumn<QByteArray>("after");
        // "ab" CR LF "cd" LF "ef" CR LF "gh": the breaks are bytes 2-3, 6 and 9-10.
        QTest::newRow("Enter inside the LF line")
            << 8 << int(Qt::Key_Return) << QByteArray("ab\r\ncd\ne\r\nf\r\ngh");
        QTest::newRow("Enter at the start of a line")
            << 7 << int(Qt::Key_Return) << QByteArray("ab\r\ncd\n\r\nef\r\ngh");
        QTest::newRow("Enter at the end of a line")
            << 6 << int(Qt::Key_Return) << QByteArray("ab\r\ncd\r\n\nef\r\ngh");
        QTest::newRow("Backspace joins at a LF")
            << 7 << int(Qt::Key_Backspace) << QByteArray("ab\r\ncdef\r\ngh");
        QTest::newRow("Delete joins at a CR LF")
            << 9 << int(Qt::Key_Delete) << QByteArray("ab\r\ncd\nefgh");
        QTest::newRow("Backspace joins the first break")
            << 4 << int(Qt::Key_Backspace) << QByteArray("abcd\nef\r\ngh");
    }
    void undoRedoKeepBreakKinds()
    {
        QFETCH(int, position);
        QFETCH(int, key);
        QFETCH(QByteArray, after);
        const QByteArray before("ab\r\ncd\nef\r\ngh");
        ByteTextEdit edit;
        fill(edit, before);
        placeCursor(edit, position);
        pressAndUndo(edit, before, key, Qt::NoModifier, after);
    }

    // Deleting one break keeps the kinds of the others.
    void deletingABreakKeepsTheOthers_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<int>("anchor");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QByteArray>("after");
        const int none = Qt::NoModifier;
        const QByteArray mixed("ab\r\ncd\nef");
        QTest::newRow("Backspace after an empty line")
            << QByteArray("a\r\n\nb") << 4 << 4 << int(Qt::Key_Backspace) << none
            << QByteArray("a\r\nb");
        QTest::newRow("Delete on an empty line")
            << QByteArray("a\r\n\nb") << 3 << 3 << int(Qt::Key_Delete) << none
            << QByteArray("a\r\nb");
        QTest::newRow("selection from a line's start, Delete")
            << mixed << 4 << 8 << int(Qt::Key_Delete) << none << QByteArray("ab\r\nf");
        QTest::newRow("selection from a line's start, Ctrl+X")
            << mixed << 4 << 8 << int(Qt::Key_X) << int(Qt::ControlModifier)
            << QByteArray("ab\r\nf");
        QTest::newRow("selection from a line's start, typed over")
            << mixed << 4 << 8 << int(Qt::Key_Z) << none << QByteArray("ab\r\nzf");
        const QByteArray afterBreak = "x\r\n" + longLine(kBlock + 500);
        QTest::newRow("from a line's start into its second block")
            << afterBreak << 3 << 3 + kBlock + 5 << int(Qt::Key_Delete) << none
            << "x\r\n" + longLine(kBlock + 500).mid(kBlock + 5);
        const QByteArray beforeBreak = longLine(kBlock + 500) + "\r\nz";
        QTest::newRow("from a second block's start to the end")
            << beforeBreak << kBlock << int(beforeBreak.size()) << int(Qt::Key_Delete) << none
            << longLine(kBlock);
    }
    void deletingABreakKeepsTheOthers()
    {
        QFETCH(QByteArray, before);
        QFETCH(int, anchor);
        QFETCH(int, position);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QByteArray, after);
        ByteTextEdit edit;
        fill(edit, before);
        select(edit, anchor, position);
        pressAndUndo(edit, before, key, modifiers, after);
    }

    void deletingAcrossBreaksUndoes()
    {
        const QByteArray before("ab\r\ncd\nef\r\ngh\nij");
        ByteTextEdit edit;
        fill(edit, before);
        select(edit, 1, 12);
        QTest::keyClick(&edit, Qt::Key_Delete);
        QCOMPARE(bytesOf(edit), QByteArray("ah\nij"));
        edit.undo();
        QCOMPARE(bytesOf(edit), before);
        QCOMPARE(edit.selection(), selection(1, 12));
    }

    // ---------------------------------------------------------------------
    // A block's edge in a long line

    // Keys at a block's edge act as if the edge were not there. The text is
    // "top" LF, a line of two blocks and ten bytes, CR LF, "end"; the line's
    // second block starts at byte 4 + kBlock.
    void editAtBlockEdge_data()
    {
        QTest::addColumn<int>("anchor");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QByteArray>("after");
        const QByteArray before = "top\n" + longLine(2 * kBlock + 10) + "\r\nend";
        const int edge = 4 + kBlock;
        const int none = Qt::NoModifier;
        const int control = Qt::ControlModifier;
        // Byte i of the line is byte 4 + i of the text.
        const auto removed = [&before](qsizetype from, qsizetype count) {
            return QByteArray(before).remove(4 + from, count);
        };
        const auto inserted = [&before](qsizetype where, const char *text) {
            return QByteArray(before).insert(4 + where, text);
        };
        QTest::newRow("Backspace")
            << edge << edge << int(Qt::Key_Backspace) << none << removed(kBlock - 1, 1);
        QTest::newRow("Delete") << edge << edge << int(Qt::Key_Delete) << none
                                << removed(kBlock, 1);
        // The edge falls inside a word "abcdefghi ": Ctrl+Backspace takes the
        // word's letters before it, Ctrl+Delete the rest and the blank.
        static_assert(kBlock % 10 != 0);
        const int head = kBlock % 10;
        QTest::newRow("Ctrl+Backspace")
            << edge << edge << int(Qt::Key_Backspace) << control << removed(kBlock - head, head);
        QTest::newRow("Ctrl+Delete")
            << edge << edge << int(Qt::Key_Delete) << control << removed(kBlock, 10 - head);
        QTest::newRow("Ctrl+Backspace after the edge")
            << edge + 2 << edge + 2 << int(Qt::Key_Backspace) << control
            << removed(kBlock - head, head + 2);
        QTest::newRow("Ctrl+Delete before the edge")
            << edge - 2 << edge - 2 << int(Qt::Key_Delete) << control
            << removed(kBlock - 2, 10 - head + 2);
        QTest::newRow("typing") << edge << edge << int(Qt::Key_X) << none << inserted(kBlock, "x");
        QTest::newRow("Backspace on a selection across the edge")
            << edge - 2 << edge + 3 << int(Qt::Key_Backspace) << none << removed(kBlock - 2, 5);
        QTest::newRow("typing over a selection across the edge")
            << edge + 3 << edge - 2 << int(Qt::Key_X) << none
            << QByteArray(before).replace(4 + kBlock - 2, 5, "x");
        QTest::newRow("deleting from the line before into the second block")
            << 1 << edge + 5 << int(Qt::Key_Delete) << none
            << QByteArray(before).remove(1, 3 + kBlock + 5);
        QTest::newRow("deleting from the second block into the line after")
            << edge + 5 << int(before.size()) - 1 << int(Qt::Key_Delete) << none
            << QByteArray(before).remove(edge + 5, before.size() - 1 - (edge + 5));
    }
    void editAtBlockEdge()
    {
        QFETCH(int, anchor);
        QFETCH(int, position);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QByteArray, after);
        const QByteArray before = "top\n" + longLine(2 * kBlock + 10) + "\r\nend";
        ByteTextEdit edit;
        fill(edit, before);
        select(edit, anchor, position);
        int changes = 0;
        pressAndUndo(edit, before, key, modifiers, after, &changes);
        QCOMPARE(changes, 1);
    }

    // With a whole block's bytes deleted, the keys there reach the characters
    // on either side, and a line break after them.
    void editWhereABlockWasDeleted_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<int>("key");
        QTest::addColumn<QByteArray>("after");
        const QByteArray line = longLine(3 * kBlock);
        const QByteArray emptied = QByteArray(line).remove(kBlock, kBlock);
        QTest::newRow("Backspace")
            << line << int(Qt::Key_Backspace) << QByteArray(emptied).remove(kBlock - 1, 1);
        QTest::newRow("Delete") << line << int(Qt::Key_Delete)
                                << QByteArray(emptied).remove(kBlock, 1);
        QTest::newRow("Delete joins the lines")
            << longLine(kBlock) + QByteArray(kBlock, 'y') + "\nz" << int(Qt::Key_Delete)
            << longLine(kBlock) + "z";
    }
    void editWhereABlockWasDeleted()
    {
        QFETCH(QByteArray, before);
        QFETCH(int, key);
        QFETCH(QByteArray, after);
        ByteTextEdit edit;
        fill(edit, before);
        select(edit, kBlock, 2 * kBlock);
        QTest::keyClick(&edit, Qt::Key_Delete);
        QCOMPARE(bytesOf(edit), QByteArray(before).remove(kBlock, kBlock));
        QCOMPARE(edit.cursorPosition(), at(kBlock));
        QTest::keyClick(&edit, Qt::Key(key));
        QCOMPARE(bytesOf(edit), after);
    }

    // The caret takes one step per byte across a line of several blocks, and
    // Shift+arrows select one character across an edge.
    void arrowsStepOverBlockEdges()
    {
        const QByteArray line = longLine(3 * kBlock + 7);
        ByteTextEdit edit;
        fill(edit, "a\n" + line + "\nb");
        const std::size_t start = 2;
        placeCursor(edit, start);
        for (qsizetype step = 1; step <= line.size(); ++step) {
            QTest::keyClick(&edit, Qt::Key_Right);
            QCOMPARE(edit.cursorPosition(), start + at(step));
        }
        for (qsizetype step = line.size() - 1; step >= 0; --step) {
            QTest::keyClick(&edit, Qt::Key_Left);
            QCOMPARE(edit.cursorPosition(), start + at(step));
        }
        placeCursor(edit, 2 + kBlock);
        QTest::keyClick(&edit, Qt::Key_Right, Qt::ShiftModifier);
        edit.copy();
        QCOMPARE(QApplication::clipboard()->text(), QString::fromLatin1(line.mid(kBlock, 1)));
        placeCursor(edit, 2 + kBlock);
        QTest::keyClick(&edit, Qt::Key_Left, Qt::ShiftModifier);
        edit.copy();
        QCOMPARE(QApplication::clipboard()->text(), QString::fromLatin1(line.mid(kBlock - 1, 1)));
    }

    // Copying or cutting across block edges gives the characters without
    // breaks where the edges are. The text is a line of three blocks, CR LF,
    // and a line of one block and two bytes.
    void copyAcrossBlockEdges_data()
    {
        QTest::addColumn<int>("anchor");
        QTest::addColumn<int>("position");
        const int second = 3 * kBlock + 2; // where the second line starts
        QTest::newRow("across one edge") << kBlock - 3 << kBlock + 3;
        QTest::newRow("backwards across one edge") << kBlock + 3 << kBlock - 3;
        QTest::newRow("from an edge") << kBlock << kBlock + 2;
        QTest::newRow("up to an edge") << kBlock - 2 << kBlock;
        QTest::newRow("across two edges and a break") << 5 << second + kBlock + 1;
        QTest::newRow("one whole block") << kBlock << 2 * kBlock;
    }
    void copyAcrossBlockEdges()
    {
        QFETCH(int, anchor);
        QFETCH(int, position);
        const QByteArray before = longLine(3 * kBlock) + "\r\n" + longLine(kBlock + 2);
        const int from = std::min(anchor, position);
        const int count = std::abs(position - anchor);
        const QByteArray copied = before.mid(from, count);
        ByteTextEdit edit;
        fill(edit, before);
        select(edit, anchor, position);
        edit.copy();
        QCOMPARE(QApplication::clipboard()->text(),
                 QString::fromLatin1(copied).replace(u"\r\n"_s, u"\n"_s));
        ByteTextEdit pasted;
        pasted.paste();
        QCOMPARE(bytesOf(pasted), copied);
        QApplication::clipboard()->clear();
        edit.cut();
        QCOMPARE(bytesOf(edit), QByteArray(before).remove(from, count));
        pasted.selectWholeText();
        pasted.paste();
        QCOMPARE(bytesOf(pasted), copied);
        edit.undo();
        QCOMPARE(bytesOf(edit), before);
    }

    // In UTF-8 a character whose bytes straddle a block's cut stays whole: the
    // caret never lands inside it, arrows step over it, Backspace and Delete
    // take it whole, and a copy gives it whole. The text is a line with the
    // character across the cut, CR LF, and another line.
    void utf8CharacterAcrossBlockEdge_data()
    {
        QTest::addColumn<QByteArray>("character");
        QTest::addColumn<int>("before");      // how many of its bytes come before the cut
        QTest::addColumn<QByteArray>("rest"); // what follows it
        const QByteArray lines("yz\r\nnext");
        const QByteArray emoji("\xF0\x9F\x98\x80");
        QTest::newRow("umlaut") << QByteArray("\xC3\xB6") << 1 << lines;
        QTest::newRow("CJK, one byte before") << QByteArray("\xE4\xB8\xAD") << 1 << lines;
        QTest::newRow("CJK, two bytes before") << QByteArray("\xE4\xB8\xAD") << 2 << lines;
        QTest::newRow("emoji, one byte before") << emoji << 1 << lines;
        QTest::newRow("emoji, two bytes before") << emoji << 2 << lines;
        QTest::newRow("emoji, three bytes before") << emoji << 3 << lines;
        // Nothing of the line is left for the block after the cut.
        QTest::newRow("emoji ending its line") << emoji << 1 << QByteArray("\r\nnext");
        QTest::newRow("emoji ending the text") << emoji << 2 << QByteArray();
        QTest::newRow("umlaut ending the text") << QByteArray("\xC3\xB6") << 1 << QByteArray();
    }
    void utf8CharacterAcrossBlockEdge()
    {
        QFETCH(QByteArray, character);
        QFETCH(int, before);
        QFETCH(QByteArray, rest);
        const int start = kBlock - before;
        const int end = start + static_cast<int>(character.size());
        const QByteArray text = QByteArray(start, 'x') + character + rest;
        const QString shown = QString::fromUtf8(character);
        ByteTextEdit edit;
        edit.resize(400, 300);
        edit.setCharset(Charset::Utf8);
        fill(edit, text);
        QCOMPARE(edit.shownText(), QString::fromUtf8(text).replace(u"\r\n"_s, u"\n"_s));

        for (int inside = start + 1; inside < end; ++inside) {
            placeCursor(edit, inside);
            QCOMPARE(edit.cursorPosition(), at(start));
        }
        placeCursor(edit, start - 1);
        QTest::keyClick(&edit, Qt::Key_Right);
        QCOMPARE(edit.cursorPosition(), at(start));
        QTest::keyClick(&edit, Qt::Key_Right);
        QCOMPARE(edit.cursorPosition(), at(end));
        QTest::keyClick(&edit, Qt::Key_Left);
        QCOMPARE(edit.cursorPosition(), at(start));
        // Nor do the word keys stop inside it.
        for (const int from : {start - 1, start, end}) {
            for (const Qt::Key key : {Qt::Key_Left, Qt::Key_Right}) {
                placeCursor(edit, from);
                QTest::keyClick(&edit, key, Qt::ControlModifier);
                const std::size_t to = edit.cursorPosition();
                QVERIFY2(to <= at(start) || to >= at(end), qPrintable(QString::number(to)));
            }
        }
        placeCursor(edit, start);

        QTest::keyClick(&edit, Qt::Key_Right, Qt::ShiftModifier);
        QCOMPARE(edit.selection(), selection(start, end));
        edit.copy();
        QCOMPARE(QApplication::clipboard()->text(), shown);
        placeCursor(edit, end);
        QTest::keyClick(&edit, Qt::Key_Left, Qt::ShiftModifier);
        QCOMPARE(edit.selection(), selection(end, start));
        QCOMPARE(selectedShown(edit), shown);

        const QByteArray without = QByteArray(text).remove(start, character.size());
        placeCursor(edit, end);
        pressAndUndo(edit, text, Qt::Key_Backspace, Qt::NoModifier, without);
        edit.undo();
        placeCursor(edit, start);
        pressAndUndo(edit, text, Qt::Key_Delete, Qt::NoModifier, without);
        edit.undo();
        QCOMPARE(bytesOf(edit), text);

        placeCursor(edit, end);
        typeText(edit, u"\u00E4"_s);
        QCOMPARE(bytesOf(edit), QByteArray(text).insert(end, "\xC3\xA4"));
        edit.undo();
        placeCursor(edit, start);
        typeText(edit, u"\u00E4"_s);
        QCOMPARE(bytesOf(edit), QByteArray(text).insert(start, "\xC3\xA4"));
        edit.undo();
        QCOMPARE(bytesOf(edit), text);

        // The mouse finds its edges as the caret shows them.
        for (const int edge : {start, end}) {
            const QPoint where = caretPoint(edit, at(edge));
            QCOMPARE(edit.offsetAt(where), at(edge));
        }
    }

    // ---------------------------------------------------------------------
    // Typing, the input method, the clipboard

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
        ByteTextEdit area;
        testing::checkTyped(area, typed, shown.isEmpty());
        if (QTest::currentTestFailed()) {
            return;
        }
        QCOMPARE(area.shownText(), shown);
        QCOMPARE(bytesOf(area), bytes);
    }

    void leftOutMessage_data()
    {
        QTest::addColumn<QString>("leftOut");
        QTest::addColumn<QString>("message");
        QTest::newRow("one") << kCjk
                             << u"Left out: \u201C\u4E2D\u201D. The program's character set, "
                                u"Windows-1252, cannot hold it."_s;
        QTest::newRow("two, one outside the BMP")
            << u"\u03A9\U0001F600"_s
            << u"Left out: \u201C\u03A9\u201D, \u201C\U0001F600\u201D. The program's "
               u"character set, Windows-1252, cannot hold them."_s;
        QTest::newRow("not shown") << QString()
                                   << u"A character was left out: the program's character set, "
                                      u"Windows-1252, cannot hold it."_s;
    }
    void leftOutMessage()
    {
        QFETCH(QString, leftOut);
        QFETCH(QString, message);
        QCOMPARE(displaytext::leftOutMessage(leftOut), message);
    }

    void shortcutsInsertNothing_data()
    {
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        testing::addShortcutRows();
    }
    void shortcutsInsertNothing()
    {
        QFETCH(Qt::KeyboardModifiers, modifiers);
        ByteTextEdit area;
        fill(area, "text");
        QSignalSpy changed(&area, &ByteTextEdit::textChanged);
        QTest::keyClick(&area, Qt::Key_B, modifiers);
        QCOMPARE(changed.count(), 0);
        QCOMPARE(bytesOf(area), QByteArray("text"));
    }

    void inputMethodCommit_data()
    {
        QTest::addColumn<QString>("commit");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("CJK") << QString(kCjk + u"y"_s + kCjk) << QByteArray("xy");
        QTest::newRow("held") << u"\u00E9t\u00E9"_s << QByteArray("x\xE9t\xE9");
        QTest::newRow("with a break") << QString(u"a\n"_s + kCjk) << QByteArray("xa\r\n");
    }
    void inputMethodCommit()
    {
        QFETCH(QString, commit);
        QFETCH(QByteArray, bytes);
        ByteTextEdit area;
        fill(area, "x");
        placeCursor(area, -1);
        QInputMethodEvent event;
        event.setCommitString(commit);
        QApplication::sendEvent(&area, &event);
        QCOMPARE(bytesOf(area), bytes);
    }

    void paste_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QByteArray>("after");
        const QString mixed = u"x\r\ny\nz\rw"_s + kCjk;
        QTest::newRow("into a text without breaks")
            << QByteArray("ab") << mixed << QByteArray("abx\r\ny\r\nz\r\nw");
        QTest::newRow("into LF text")
            << QByteArray("a\nb") << mixed << QByteArray("a\nbx\ny\nz\nw");
        QTest::newRow("control codes and TAB")
            << QByteArray() << u"\t\u0001\u007F\u00A0"_s << QByteArray("\t\x01\x7F\xA0");
        QTest::newRow("pictures") << QByteArray() << u"\u240D\u2400"_s << QByteArray("\r\0", 2);
        QTest::newRow("paragraph and line separators")
            << QByteArray() << u"a\u2029b\u2028c"_s << QByteArray("a\r\nb\r\nc");
        const QByteArray line = longLine(3 * kBlock + 1);
        QTest::newRow("long lines") << QByteArray("a\nb") << QString::fromLatin1(line + "\n" + line)
                                    << "a\nb" + line + "\n" + line;
    }
    void paste()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, pasted);
        QFETCH(QByteArray, after);
        ByteTextEdit edit;
        fill(edit, before);
        placeCursor(edit, -1);
        QApplication::clipboard()->setText(pasted);
        QSignalSpy changed(&edit, &ByteTextEdit::textChanged);
        edit.paste();
        QCOMPARE(changed.count(), 1);
        QCOMPARE(bytesOf(edit), after);
        QCOMPARE(edit.cursorPosition(), edit.byteCount());
        // What was pasted shows as the same bytes set whole would.
        ByteTextEdit whole;
        fill(whole, after);
        QCOMPARE(edit.shownText(), whole.shownText());
        edit.undo();
        QCOMPARE(bytesOf(edit), before);
    }

    void copyKeepsEveryCharacter()
    {
        const QByteArray bytes("a\xA0\x01"
                               "b\r\nc\x7F");
        ByteTextEdit from;
        ByteTextEdit to;
        fill(from, bytes);
        from.selectWholeText();
        from.copy();
        QCOMPARE(QApplication::clipboard()->text(), u"a\u00A0\u2401b\nc\u2421"_s);
        to.paste();
        QCOMPARE(bytesOf(to), bytes);
    }

    void selectWholeText()
    {
        ByteTextEdit edit;
        fill(edit, "ab\r\ncd\nef");
        edit.selectWholeText();
        QCOMPARE(edit.selectionStart(), 0U);
        QCOMPARE(edit.selectionEnd(), edit.byteCount());
        QCOMPARE(selectedShown(edit), u"ab\ncd\nef"_s);
    }

    void ctrlASelectsAll_data()
    {
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<bool>("selects");
        QTest::newRow("Ctrl+A") << Qt::KeyboardModifiers(Qt::ControlModifier) << true;
        QTest::newRow("Ctrl+Shift+A")
            << Qt::KeyboardModifiers(Qt::ControlModifier | Qt::ShiftModifier) << false;
        QTest::newRow("Ctrl+Alt+A")
            << Qt::KeyboardModifiers(Qt::ControlModifier | Qt::AltModifier) << false;
    }
    void ctrlASelectsAll()
    {
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(bool, selects);
        ByteTextEdit edit;
        fill(edit, "one\r\ntwo" + longLine(3 * kBlock));
        placeCursor(edit, -1);
        // Selected when the keys are let go.
        QTest::keyRelease(&edit, Qt::Key_A, modifiers);
        QCOMPARE(edit.selection() == selection(0, static_cast<int>(edit.byteCount())), selects);
    }

    // ---------------------------------------------------------------------
    // UTF-8

    // In UTF-8, too, every byte string reads back unchanged, and shows whole
    // characters, one line per line break.
    void utf8RoundTrip_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        testing::addUtf8Rows();
        QTest::newRow("every byte") << testing::everyByte();
        QTest::newRow("random bytes") << test::randomBytes(64 * 1024, 11);
        QTest::newRow("every character") << everyCharacterInUtf8();
        QByteArray emoji;
        for (int i = 0; i < 2 * kBlock; ++i) {
            emoji += i % 3 == 0 ? "\xF0\x9F\x98\x80" : "x";
        }
        QTest::newRow("emoji over blocks") << emoji;
    }
    void utf8RoundTrip()
    {
        QFETCH(QByteArray, bytes);
        ByteTextEdit edit;
        edit.setCharset(Charset::Utf8);
        fill(edit, bytes);
        QCOMPARE(bytesOf(edit), bytes);
        const QString shown = edit.shownText();
        QVERIFY(pairsWhole(shown));
        QCOMPARE(shown.count(u'\n'), bytes.count('\n'));
    }

    // Switching the charset shows the same bytes anew: no byte changes, it is
    // no edit, and the selection stays on the same bytes, moved to the start of
    // the character that holds them.
    void switchingCharsetIsNoEdit()
    {
        ByteTextEdit edit;
        fill(edit, testing::kUtf8Letter);
        placeCursor(edit, -1);
        typeText(edit, u"x"_s);
        const QByteArray bytes = bytesOf(edit);
        // Bytes 12 to 15 are "K", then the two bytes of an o umlaut.
        select(edit, 12, 15);
        QSignalSpy changed(&edit, &ByteTextEdit::textChanged);

        edit.setCharset(Charset::Utf8);
        QCOMPARE(edit.charset(), Charset::Utf8);
        QCOMPARE(bytesOf(edit), bytes);
        QCOMPARE(edit.shownText().split(u'\n').front(), u"Gr\u00FC\u00DFe aus K\u00F6ln"_s);
        QCOMPARE(edit.selection(), selection(12, 15));
        QCOMPARE(selectedShown(edit), u"K\u00F6"_s);

        edit.setCharset(Charset::Windows1252);
        QCOMPARE(bytesOf(edit), bytes);
        QCOMPARE(selectedShown(edit), u"K\u00C3\u00B6"_s);
        // The end inside the umlaut moves to its start.
        select(edit, 12, 14);
        edit.setCharset(Charset::Utf8);
        QCOMPARE(edit.selection(), selection(12, 13));
        QCOMPARE(changed.count(), 0);
    }

    // The history is kept in bytes: undo and redo after switching the charset
    // bring back exactly the bytes of each step, whichever charset it was
    // typed in.
    void undoAfterSwitchingCharset()
    {
        ByteTextEdit edit;
        fill(edit, "K", History::Fresh);
        placeCursor(edit, -1);
        typeText(edit, u"\u00F6"_s);
        edit.setCharset(Charset::Utf8);
        QVERIFY(edit.isUndoAvailable());
        QTest::keyClick(&edit, Qt::Key_Return);
        typeText(edit, u"\u00F6"_s);
        edit.setCharset(Charset::Windows1252);
        const QByteArray steps[] = {"K", "K\xF6", "K\xF6\r\n", "K\xF6\r\n\xC3\xB6"};
        for (auto step = std::rbegin(steps); step != std::rend(steps); ++step) {
            QCOMPARE(bytesOf(edit), *step);
            edit.undo();
        }
        QCOMPARE(bytesOf(edit), steps[0]);
        QVERIFY(!edit.isUndoAvailable());
        edit.setCharset(Charset::Utf8);
        for (const QByteArray &step : steps) {
            QCOMPARE(bytesOf(edit), step);
            edit.redo();
        }
        QVERIFY(!edit.isRedoAvailable());
    }

    // Typing and deleting in UTF-8 act on whole characters, and undo and redo
    // on the whole change; a mark is one byte.
    void editUtf8_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<int>("anchor");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("key"); // pressed when nothing is typed
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QByteArray>("after");
        const int none = 0;
        const QByteArray emoji("a\xF0\x9F\x98\x80"
                               "b");
        const QByteArray cjk("\xE4\xBD\xA0\xE5\xA5\xBD");
        QTest::newRow("Backspace after an emoji")
            << emoji << 5 << 5 << int(Qt::Key_Backspace) << QString() << QByteArray("ab");
        QTest::newRow("Delete before an emoji")
            << emoji << 1 << 1 << int(Qt::Key_Delete) << QString() << QByteArray("ab");
        QTest::newRow("Backspace after CJK")
            << cjk << 6 << 6 << int(Qt::Key_Backspace) << QString() << cjk.left(3);
        QTest::newRow("Delete before an umlaut")
            << QByteArray("K\xC3\xB6ln") << 1 << 1 << int(Qt::Key_Delete) << QString()
            << QByteArray("Kln");
        QTest::newRow("Backspace after a mark")
            << QByteArray("a\xFF\xFE") << 2 << 2 << int(Qt::Key_Backspace) << QString()
            << QByteArray("a\xFE");
        QTest::newRow("Delete in a sequence cut short")
            << QByteArray("\xE4\xBD") << 0 << 0 << int(Qt::Key_Delete) << QString()
            << QByteArray("\xBD");
        QTest::newRow("Backspace leaves a character's bytes side by side")
            << QByteArray("\xC3x\xA9") << 2 << 2 << int(Qt::Key_Backspace) << QString()
            << QByteArray("\xC3\xA9");
        QTest::newRow("typing an umlaut")
            << QByteArray("K") << 1 << 1 << none << u"\u00F6"_s << QByteArray("K\xC3\xB6");
        QTest::newRow("typing Greek")
            << QByteArray("a") << 1 << 1 << none << u"\u03A9"_s << QByteArray("a\xCE\xA9");
        QTest::newRow("typing an emoji after a mark")
            << QByteArray("\xFF") << 1 << 1 << none << u"\U0001F600"_s
            << QByteArray("\xFF\xF0\x9F\x98\x80");
        QTest::newRow("typing over a selected emoji") << emoji << 1 << 5 << none << u"\u4E2D"_s
                                                      << QByteArray("a\xE4\xB8\xAD"
                                                                    "b");
    }
    void editUtf8()
    {
        QFETCH(QByteArray, before);
        QFETCH(int, anchor);
        QFETCH(int, position);
        QFETCH(int, key);
        QFETCH(QString, typed);
        QFETCH(QByteArray, after);
        ByteTextEdit edit;
        edit.setCharset(Charset::Utf8);
        fill(edit, before);
        select(edit, anchor, position);
        if (typed.isEmpty()) {
            pressAndUndo(edit, before, key, Qt::NoModifier, after);
            return;
        }
        typeText(edit, typed);
        QCOMPARE(bytesOf(edit), after);
        edit.undo();
        QCOMPARE(bytesOf(edit), before);
        edit.redo();
        QCOMPARE(bytesOf(edit), after);
    }

    // The caret and the selection never stop inside a character.
    void arrowsMoveByWholeCharacters()
    {
        ByteTextEdit edit;
        edit.setCharset(Charset::Utf8);
        fill(edit, "a\xF0\x9F\x98\x80"
                   "b");
        placeCursor(edit, 3);
        QCOMPARE(edit.cursorPosition(), 1U);
        QTest::keyClick(&edit, Qt::Key_Right, Qt::ShiftModifier);
        QCOMPARE(edit.selection(), selection(1, 5));
        QCOMPARE(selectedShown(edit), u"\U0001F600"_s);
        QTest::keyClick(&edit, Qt::Key_Left);
        QCOMPARE(edit.cursorPosition(), 1U);
        QTest::keyClick(&edit, Qt::Key_Right);
        QCOMPARE(edit.cursorPosition(), 5U);
        QTest::keyClick(&edit, Qt::Key_Left);
        QCOMPARE(edit.cursorPosition(), 1U);
    }

    void pasteAndCopyInUtf8_data()
    {
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("Greek, CJK and an emoji")
            << u"\u039A\u03B1\n\u4F60\U0001F600"_s
            << QByteArray("\xCE\x9A\xCE\xB1\r\n\xE4\xBD\xA0\xF0\x9F\x98\x80");
        QTest::newRow("marks and pictures")
            << displaytext::byteMark(0xFF) + u"\u2400"_s + displaytext::byteMark(0xC3)
            << QByteArray("\xFF\0\xC3", 3);
    }
    void pasteAndCopyInUtf8()
    {
        QFETCH(QString, pasted);
        QFETCH(QByteArray, bytes);
        ByteTextEdit edit;
        edit.setCharset(Charset::Utf8);
        QApplication::clipboard()->setText(pasted);
        edit.paste();
        QCOMPARE(bytesOf(edit), bytes);
        edit.selectWholeText();
        edit.copy();
        ByteTextEdit other;
        other.setCharset(Charset::Utf8);
        other.paste();
        QCOMPARE(bytesOf(other), bytes);
    }

    // A mark is drawn as a box naming its byte, wide enough for the name, and
    // its tool tip says what it is; other characters have none.
    void markNamesItsByte()
    {
        ByteTextEdit edit;
        edit.resize(300, 100);
        edit.setCharset(Charset::Utf8);
        fill(edit, "a\xE4"
                   "b");
        edit.show();
        QVERIFY(QTest::qWaitForWindowExposed(&edit));
        const QRect letter = edit.characterRect(0);
        const QRect mark = edit.characterRect(1);
        QVERIFY(!mark.isEmpty());
        QVERIFY(edit.characterRect(2).left() - mark.left() >=
                edit.fontMetrics().horizontalAdvance(u"E4"_s));
        const auto tipAt = [&edit](QPoint where) {
            QHelpEvent help(QEvent::ToolTip, where, edit.viewport()->mapToGlobal(where));
            QApplication::sendEvent(edit.viewport(), &help);
            return QToolTip::isVisible() ? QToolTip::text() : QString();
        };
        QCOMPARE(tipAt(letter.center()), QString());
        QVERIFY(tipAt(mark.center()).contains(u"E4"_s));
    }

    // Only an area that offers the choice lets the user switch, from its
    // context menu or by the keyboard; either way, no byte and no edit.
    void userChoosesCharset_data()
    {
        QTest::addColumn<bool>("offered");
        QTest::addColumn<bool>("byMenu");
        QTest::newRow("menu") << true << true;
        QTest::newRow("keyboard") << true << false;
        QTest::newRow("menu, not offered") << false << true;
        QTest::newRow("keyboard, not offered") << false << false;
    }
    void userChoosesCharset()
    {
        QFETCH(bool, offered);
        QFETCH(bool, byMenu);
        ByteTextEdit edit;
        if (offered) {
            edit.offerCharsetChoice();
        }
        fill(edit, testing::kUtf8Letter);
        QSignalSpy changed(&edit, &ByteTextEdit::textChanged);
        QSignalSpy chosen(&edit, &ByteTextEdit::charsetChosen);
        const QString entry = u"Character &Set"_s;
        if (byMenu) {
            QStringList checked;
            const QStringList entries = contextMenuEntries(edit, entry, u"&UTF-8"_s, &checked);
            QCOMPARE(entries.contains(entry), offered);
            // The area's own entries stay.
            QVERIFY(!entries.filter(u"&Paste"_s).isEmpty());
            QCOMPARE(checked, offered ? QStringList{u"&Windows-1252"_s} : QStringList());
        } else {
            testing::pressCharsetKey(edit);
        }
        // Nothing left for later counts as an edit either.
        QCoreApplication::processEvents();
        const Charset expected = offered ? Charset::Utf8 : Charset::Windows1252;
        QCOMPARE(edit.charset(), expected);
        QCOMPARE(chosen.count(), offered ? 1 : 0);
        QCOMPARE(changed.count(), 0);
        QCOMPARE(bytesOf(edit), testing::kUtf8Letter);
        if (offered && !byMenu) {
            testing::pressCharsetKey(edit);
            QCOMPARE(edit.charset(), Charset::Windows1252);
        }
    }

    // ---------------------------------------------------------------------
    // The selection, drops

    // An area shows its selection only while it has the focus, also when its
    // palette is set from outside: without the focus the viewport draws just
    // what it draws with nothing selected.
    void selectionShowsOnlyWithTheFocus()
    {
        QWidget window;
        auto *area = new ByteTextEdit(&window);
        auto *other = new QLineEdit(&window);
        area->resize(200, 100);
        other->move(0, 120);
        area->setPalette(QApplication::palette());
        fill(*area, "selected text");
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        other->setFocus();
        QVERIFY(!area->hasFocus());
        const QImage unselected = area->viewport()->grab().toImage();
        area->selectWholeText();
        QCOMPARE(area->viewport()->grab().toImage(), unselected);

        const QRgb highlight = area->palette().color(QPalette::Active, QPalette::Highlight).rgb();
        const auto showsHighlight = [area, highlight] {
            const QImage image = area->viewport()->grab().toImage();
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    if (image.pixel(x, y) == highlight) {
                        return true;
                    }
                }
            }
            return false;
        };
        area->setFocus();
        QVERIFY(area->hasFocus());
        QVERIFY(showsHighlight());
        other->setFocus();
        QCOMPARE(area->viewport()->grab().toImage(), unselected);
        QCOMPARE(area->selection(), selection(0, 13));
    }

    void droppedFile_data()
    {
        QTest::addColumn<QList<QUrl>>("urls");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("emitted");
        QTest::addColumn<QByteArray>("after");
        const QUrl file = QUrl::fromLocalFile(u"/tmp/some file.txt"_s);
        const QUrl other = QUrl::fromLocalFile(u"/tmp/other.txt"_s);
        QTest::newRow("one local file")
            << QList<QUrl>{file} << QString() << QStringList{u"/tmp/some file.txt"_s}
            << QByteArray("old");
        QTest::newRow("one local file with its path as text")
            << QList<QUrl>{file} << u"/tmp/some file.txt"_s << QStringList{u"/tmp/some file.txt"_s}
            << QByteArray("old");
        QTest::newRow("two files")
            << QList<QUrl>{file, other} << QString() << QStringList() << QByteArray("old");
        QTest::newRow("a file and a web address")
            << QList<QUrl>{file, QUrl(u"https://example.org/a.txt"_s)} << QString() << QStringList()
            << QByteArray("old");
        QTest::newRow("a web address goes in as text")
            << QList<QUrl>{QUrl(u"https://example.org/a.txt"_s)} << QString() << QStringList()
            << QByteArray("https://example.org/a.txtold");
        QTest::newRow("text") << QList<QUrl>() << QString(u"n\u00E9w\n"_s + kCjk) << QStringList()
                              << QByteArray("n\xE9w\r\nold");
    }
    void droppedFile()
    {
        QFETCH(QList<QUrl>, urls);
        QFETCH(QString, text);
        QFETCH(QStringList, emitted);
        QFETCH(QByteArray, after);
        ByteTextEdit edit;
        edit.resize(300, 200);
        fill(edit, "old");
        QSignalSpy dropped(&edit, &ByteTextEdit::fileDropped);
        QMimeData mime;
        if (!urls.isEmpty()) {
            mime.setUrls(urls);
        }
        if (!text.isNull()) {
            mime.setText(text);
        }
        drop(edit, mime);
        QStringList paths;
        for (const QList<QVariant> &arguments : dropped) {
            paths << arguments.at(0).toString();
        }
        QCOMPARE(paths, emitted);
        QCOMPARE(bytesOf(edit), after);
    }

    void droppedFileIsCopiedNotMoved()
    {
        ByteTextEdit edit;
        edit.resize(300, 200);
        QSignalSpy dropped(&edit, &ByteTextEdit::fileDropped);
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(u"/tmp/a.txt"_s)});
        Qt::DropAction taken = Qt::IgnoreAction;
        QVERIFY(drop(edit, mime, Qt::CopyAction | Qt::MoveAction, &taken));
        QCOMPARE(taken, Qt::CopyAction);
        QCOMPARE(dropped.count(), 1);
    }

    // ---------------------------------------------------------------------
    // Undo

    void otherAreaKeepsItsHistory()
    {
        ByteTextEdit typedInto;
        ByteTextEdit rewritten;
        typeText(typedInto, u"x"_s);
        fill(rewritten, "translated");
        QVERIFY(typedInto.isUndoAvailable());
        typedInto.undo();
        QCOMPARE(bytesOf(typedInto), QByteArray());
    }

    // Each replacement is one undo step that gives back exactly the bytes the
    // area held, line-break kinds included; redo gives the replacement back.
    void replacementUndoes_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("draft replaced") << QByteArray("my draft") << QByteArray("decoded");
        QTest::newRow("mixed breaks and a lone CR")
            << QByteArray("a\r\nb\nc\rd\r\n") << QByteArray("x\ny\n");
        QTest::newRow("every byte") << testing::everyByte() << QByteArray();
        QTest::newRow("long line") << everyCodeInOneLine(5 * kBlock + 3) << longLine(2 * kBlock);
    }
    void replacementUndoes()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        ByteTextEdit edit;
        fill(edit, before, History::Fresh);
        QVERIFY(!edit.isUndoAvailable());
        fill(edit, after);
        QVERIFY(edit.isUndoAvailable());
        for (int round = 0; round < 2; ++round) {
            QTest::keyClick(&edit, Qt::Key_Z, Qt::ControlModifier);
            QCOMPARE(bytesOf(edit), before);
            QVERIFY(!edit.isUndoAvailable());
            QTest::keyClick(&edit, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
            QCOMPARE(bytesOf(edit), after);
        }
    }

    // Typing, replacing and undoing interleave as one history: undo goes back
    // through the typing after a replacement, then the replacement, then the
    // typing before it.
    void editsAndReplacementsShareOneHistory()
    {
        ByteTextEdit edit;
        typeText(edit, u"a"_s);
        typeText(edit, u"b"_s);
        fill(edit, "new");
        placeCursor(edit, -1);
        typeText(edit, u"!"_s);
        const QByteArray expected[] = {"new!", "new", "ab", ""};
        for (const QByteArray &bytes : expected) {
            QCOMPARE(bytesOf(edit), bytes);
            edit.undo();
        }
        QVERIFY(!edit.isUndoAvailable());
        for (auto it = std::rbegin(expected); it != std::rend(expected); ++it) {
            QCOMPARE(bytesOf(edit), *it);
            edit.redo();
        }
        QVERIFY(!edit.isRedoAvailable());
    }

    // Automatic replacements that follow one another are one step; an edit of
    // the user's in between starts a new one.
    void automaticReplacementsJoin()
    {
        ByteTextEdit edit;
        fill(edit, "typed", History::Fresh);
        for (const char *text : {"t", "tr", "tra"}) {
            fill(edit, text, History::Automatic);
        }
        placeCursor(edit, -1);
        typeText(edit, u"!"_s);
        fill(edit, "next", History::Automatic);
        fill(edit, "nexts", History::Automatic);
        const QByteArray expected[] = {"nexts", "tra!", "tra", "typed"};
        for (const QByteArray &bytes : expected) {
            QCOMPARE(bytesOf(edit), bytes);
            edit.undo();
        }
        QCOMPARE(bytesOf(edit), QByteArray("typed"));
        QVERIFY(!edit.isUndoAvailable());
    }

    // An edit after an undo drops what redo would have brought back; a fresh
    // text drops the whole history.
    void newEditsEndRedo()
    {
        ByteTextEdit edit;
        fill(edit, "old", History::Fresh);
        fill(edit, "new");
        edit.undo();
        placeCursor(edit, -1);
        typeText(edit, u"s"_s);
        QVERIFY(!edit.isRedoAvailable());
        edit.redo();
        QCOMPARE(bytesOf(edit), QByteArray("olds"));

        fill(edit, "start", History::Fresh);
        QVERIFY(!edit.isUndoAvailable());
        QVERIFY(!edit.isRedoAvailable());
    }

    // Memory for undo does not grow with the number of replacements or their
    // size: the oldest texts go first, the latest is always kept.
    void keptHistoryIsBounded()
    {
        ByteTextEdit edit;
        edit.setUndoLimits({3, 100});
        for (int i = 0; i < 10; ++i) {
            edit.setBytes(std::to_string(i));
        }
        for (int i = 9; i > 6; --i) {
            QCOMPARE(bytesOf(edit), QByteArray::number(i));
            edit.undo();
        }
        QCOMPARE(bytesOf(edit), QByteArray::number(6));
        QVERIFY(!edit.isUndoAvailable());

        // Two texts over the bytes' limit: only the latest stays.
        const std::string large(60, 'x');
        edit.setBytes(large);
        edit.setBytes(large + "y");
        edit.setBytes("small");
        edit.undo();
        QCOMPARE(bytesOf(edit), QByteArray::fromStdString(large + "y"));
        QVERIFY(!edit.isUndoAvailable());
    }

    void contextMenuUndoesAndRedoes()
    {
        ByteTextEdit edit;
        fill(edit, "before", History::Fresh);
        fill(edit, "after");
        edit.show();
        QVERIFY(QTest::qWaitForWindowExposed(&edit));
        QVERIFY(!chooseFromContextMenu(edit, u"edit-redo"_s));
        QVERIFY(chooseFromContextMenu(edit, u"edit-undo"_s));
        QCOMPARE(bytesOf(edit), QByteArray("before"));
        QVERIFY(!chooseFromContextMenu(edit, u"edit-undo"_s));
        QVERIFY(chooseFromContextMenu(edit, u"edit-redo"_s));
        QCOMPARE(bytesOf(edit), QByteArray("after"));
    }

    // The window's actions come after the area's own, behind one separator; one
    // deleted since is left out, and without any the menu ends as before.
    void contextMenuOffersTheWindowsActions()
    {
        ByteTextEdit edit;
        fill(edit, "text");
        const QStringList own = contextMenuEntries(edit);
        QAction first(u"Find &Key..."_s);
        auto *gone = new QAction(u"Gone"_s);
        QAction last(u"Last"_s);
        edit.setExtraMenuActions({&first, gone, &last});
        delete gone;
        const QStringList extra{QString(), u"Find &Key..."_s, u"Last"_s};
        QCOMPARE(contextMenuEntries(edit), own + extra);
        bool triggered = false;
        connect(&first, &QAction::triggered, this, [&] { triggered = true; });
        withContextMenu(
            edit, [](QMenu &menu) { menu.actions().at(menu.actions().size() - 2)->trigger(); });
        QVERIFY(triggered);
        edit.setExtraMenuActions({});
        QCOMPARE(contextMenuEntries(edit), own);
    }

    // ---------------------------------------------------------------------
    // The view: keys, mouse, wrapping, zoom, read-only

    // Keys move the caret over the characters shown, and with Shift select.
    void keyboardNavigation_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("anchor");
        QTest::addColumn<int>("position");
        QTest::addColumn<QList<int>>("pressed");
        QTest::addColumn<int>("afterAnchor");
        QTest::addColumn<int>("afterPosition");
        const QByteArray crlf("ab\r\ncd");
        const QByteArray loneCr("a\rb");
        const QByteArray words("one two three");
        // Lines of 6, 2 and 6 characters, starting at bytes 0, 8 and 12.
        const QByteArray lines("abcdef\r\nxy\r\nabcdef");
        const QByteArray longText = longLine(2 * kBlock);
        // A word "abcdefghi " begins 6 bytes before the first block's edge.
        const int word = kBlock - kBlock % 10;
        const int right = keys(Qt::Key_Right);
        const int left = keys(Qt::Key_Left);
        const int down = keys(Qt::Key_Down);
        const int up = keys(Qt::Key_Up);
        const int ctrlRight = keys(Qt::ControlModifier | Qt::Key_Right);
        const int ctrlLeft = keys(Qt::ControlModifier | Qt::Key_Left);
        const auto shift = Qt::ShiftModifier;
        const auto row = [](const char *name, const QByteArray &text, int anchor, int position,
                            const QList<int> &pressed, int afterAnchor, int afterPosition) {
            QTest::newRow(name) << text << anchor << position << pressed << afterAnchor
                                << afterPosition;
        };
        row("Right over CR LF", crlf, 2, 2, {right}, 4, 4);
        row("Left over CR LF", crlf, 4, 4, {left}, 2, 2);
        row("Right over a lone CR", loneCr, 1, 1, {right}, 2, 2);
        row("Left over a lone CR", loneCr, 2, 2, {left}, 1, 1);
        row("Right at the end stays", crlf, 6, 6, {right}, 6, 6);
        row("Left at the start stays", crlf, 0, 0, {left}, 0, 0);
        row("Right ends a selection at its end", crlf, 5, 1, {right}, 5, 5);
        row("Left ends a selection at its start", crlf, 1, 5, {left}, 1, 1);
        row("Home", crlf, 5, 5, {keys(Qt::Key_Home)}, 4, 4);
        row("Home on the first line", crlf, 1, 1, {keys(Qt::Key_Home)}, 0, 0);
        row("End stops before CR LF", crlf, 0, 0, {keys(Qt::Key_End)}, 2, 2);
        row("End on the last line", crlf, 4, 4, {keys(Qt::Key_End)}, 6, 6);
        row("Ctrl+Right to the next word", words, 0, 0, {ctrlRight}, 4, 4);
        row("Ctrl+Right twice", words, 0, 0, {ctrlRight, ctrlRight}, 8, 8);
        row("Ctrl+Right to the end", words, 9, 9, {ctrlRight}, 13, 13);
        row("Ctrl+Left to the word's start", words, 5, 5, {ctrlLeft}, 4, 4);
        row("Ctrl+Left from the end", words, 13, 13, {ctrlLeft}, 8, 8);
        row("Ctrl+Right over CR LF", crlf, 2, 2, {ctrlRight}, 4, 4);
        row("Ctrl+Left over CR LF", crlf, 4, 4, {ctrlLeft}, 2, 2);
        row("Ctrl+Right over a block's edge", longText, word, word, {ctrlRight}, word + 10,
            word + 10);
        row("Ctrl+Right from inside a word across an edge", longText, kBlock - 2, kBlock - 2,
            {ctrlRight}, word + 10, word + 10);
        row("Ctrl+Left over a block's edge", longText, word + 10, word + 10, {ctrlLeft}, word,
            word);
        row("Ctrl+Left from inside a word across an edge", longText, kBlock + 2, kBlock + 2,
            {ctrlLeft}, word, word);
        row("Ctrl+Home", crlf, 5, 5, {keys(Qt::ControlModifier | Qt::Key_Home)}, 0, 0);
        row("Ctrl+End", crlf, 1, 1, {keys(Qt::ControlModifier | Qt::Key_End)}, 6, 6);
        row("Shift+Right over CR LF", crlf, 2, 2, {keys(shift | Qt::Key_Right)}, 2, 4);
        row("Shift+Left over CR LF", crlf, 4, 4, {keys(shift | Qt::Key_Left)}, 4, 2);
        row("Shift+Right over a block's edge", longText, kBlock - 1, kBlock - 1,
            {keys(shift | Qt::Key_Right), keys(shift | Qt::Key_Right)}, kBlock - 1, kBlock + 1);
        row("Shift+End", crlf, 4, 4, {keys(shift | Qt::Key_End)}, 4, 6);
        row("Shift+Home", crlf, 5, 5, {keys(shift | Qt::Key_Home)}, 5, 4);
        row("Shift+Ctrl+Right", words, 0, 0, {keys(shift | Qt::ControlModifier | Qt::Key_Right)}, 0,
            4);
        row("Shift+Ctrl+End", crlf, 1, 1, {keys(shift | Qt::ControlModifier | Qt::Key_End)}, 1, 6);
        row("Shift+Ctrl+Home", crlf, 5, 5, {keys(shift | Qt::ControlModifier | Qt::Key_Home)}, 5,
            0);
        row("Shift+Down", lines, 2, 2, {keys(shift | Qt::Key_Down)}, 2, 10);
        row("Down to a shorter line", lines, 4, 4, {down}, 10, 10);
        row("Down, Down keeps the column", lines, 4, 4, {down, down}, 16, 16);
        row("Up, Up keeps the column", lines, 16, 16, {up, up}, 4, 4);
        row("Down on the last line goes to the end", lines, 13, 13, {down}, 18, 18);
        row("Up on the first line goes to the start", lines, 3, 3, {up}, 0, 0);
        row("Down from a line's end", lines, 6, 6, {down}, 10, 10);
        row("Down ends a selection", lines, 0, 2, {down}, 10, 10);
    }
    void keyboardNavigation()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, anchor);
        QFETCH(int, position);
        QFETCH(QList<int>, pressed);
        QFETCH(int, afterAnchor);
        QFETCH(int, afterPosition);
        ByteTextEdit edit;
        edit.resize(400, 300);
        fill(edit, text);
        select(edit, anchor, position);
        for (const int key : pressed) {
            press(edit, key);
        }
        QCOMPARE(edit.selection(), selection(afterAnchor, afterPosition));
        QCOMPARE(bytesOf(edit), text);
    }

    // Page Down and Page Up move the caret by the rows that show, less one,
    // keeping its column, and scroll the view along.
    void pageKeys()
    {
        QByteArray text;
        for (int line = 0; line < 300; ++line) {
            text += QByteArray::number(1000 + line) + "abcd\r\n"; // ten bytes a line
        }
        ByteTextEdit edit;
        edit.resize(300, 200);
        edit.show();
        QVERIFY(QTest::qWaitForWindowExposed(&edit));
        fill(edit, text);
        placeCursor(edit, 2);
        const int page = std::max(1, static_cast<int>(edit.viewport()->height() /
                                                      QFontMetricsF(edit.font()).lineSpacing()) -
                                         1);
        QVERIFY(page > 2);
        QTest::keyClick(&edit, Qt::Key_PageDown);
        QCOMPARE(edit.cursorPosition(), at(page * 10 + 2));
        QVERIFY(edit.offsetAt(QPoint(1, 1)) > 0);
        QVERIFY(edit.viewport()->rect().contains(edit.cursorRect()));
        QTest::keyClick(&edit, Qt::Key_PageDown);
        QCOMPARE(edit.cursorPosition(), at(2 * page * 10 + 2));
        QVERIFY(edit.viewport()->rect().contains(edit.cursorRect()));
        QTest::keyClick(&edit, Qt::Key_PageUp, Qt::ShiftModifier);
        QCOMPARE(edit.selection(), selection(2 * page * 10 + 2, page * 10 + 2));
        QTest::keyClick(&edit, Qt::Key_PageUp);
        QCOMPARE(edit.cursorPosition(), 2U);
        QVERIFY(edit.viewport()->rect().contains(edit.cursorRect()));
        QCOMPARE(edit.offsetAt(QPoint(1, 1)), 0U);
    }

    // A click puts the caret where the caret at that byte shows; with Shift it
    // selects from the caret to there.
    void clickPlacesTheCaret_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("utf8");
        QTest::addColumn<int>("offset");
        const QByteArray crlf("ab\r\ncd");
        QTest::newRow("start") << crlf << false << 0;
        QTest::newRow("inside a line") << crlf << false << 1;
        QTest::newRow("a line's end, before CR LF") << crlf << false << 2;
        QTest::newRow("the next line's start") << crlf << false << 4;
        QTest::newRow("the end") << crlf << false << 6;
        QTest::newRow("on a lone CR") << QByteArray("a\rb") << false << 1;
        QTest::newRow("after a lone CR") << QByteArray("a\rb") << false << 2;
        QTest::newRow("after a TAB") << QByteArray("a\tb") << false << 2;
        QTest::newRow("before an emoji") << QByteArray("a\xF0\x9F\x98\x80"
                                                       "b")
                                         << true << 1;
        QTest::newRow("after an emoji") << QByteArray("a\xF0\x9F\x98\x80"
                                                      "b")
                                        << true << 5;
        QTest::newRow("after a mark") << QByteArray("a\xFF"
                                                    "b")
                                      << true << 2;
        const QByteArray longText = longLine(kBlock + 20) + "\nx";
        QTest::newRow("before a block's edge") << longText << false << kBlock - 1;
        QTest::newRow("at a block's edge") << longText << false << kBlock;
        QTest::newRow("after a long line") << longText << false << kBlock + 21;
    }
    void clickPlacesTheCaret()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, utf8);
        QFETCH(int, offset);
        ByteTextEdit edit;
        edit.resize(400, 300);
        edit.setCharset(utf8 ? Charset::Utf8 : Charset::Windows1252);
        fill(edit, text);
        edit.show();
        QVERIFY(QTest::qWaitForWindowExposed(&edit));
        const QPoint where = caretPoint(edit, at(offset));
        QVERIFY(edit.viewport()->rect().contains(where));
        QCOMPARE(edit.offsetAt(where), at(offset));
        // Elsewhere on the same screen, then clicked back.
        const std::size_t elsewhere = offset == 0 ? edit.byteCount() : 0;
        if (edit.characterRect(elsewhere).isNull()) {
            edit.setCursorPosition(at(offset - 1));
        } else {
            edit.setCursorPosition(elsewhere);
        }
        const std::size_t from = edit.cursorPosition();
        QVERIFY(from != at(offset));
        QTest::mouseClick(edit.viewport(), Qt::LeftButton, {}, where);
        QCOMPARE(edit.selection(), selection(offset, offset));
        edit.setCursorPosition(from);
        QTest::mouseClick(edit.viewport(), Qt::LeftButton, Qt::ShiftModifier, where);
        QCOMPARE(edit.selection(), (ByteTextEdit::Selection{from, at(offset)}));
    }

    // A double click selects the word under the mouse, or the one character
    // that is no word's.
    void doubleClickSelectsAWord_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("end");
        const QByteArray words("one two, three");
        QTest::newRow("first word") << words << 1 << 0 << 3;
        QTest::newRow("inside a word") << words << 5 << 4 << 7;
        QTest::newRow("a comma") << words << 7 << 7 << 8;
        QTest::newRow("last word") << words << 12 << 9 << 14;
        // A word "abcdefghi " begins 6 bytes before the first block's edge.
        const QByteArray longText = longLine(2 * kBlock);
        const int word = kBlock - kBlock % 10;
        QTest::newRow("a word across a block's edge, before it")
            << longText << kBlock - 2 << word << word + 9;
        QTest::newRow("a word across a block's edge, after it")
            << longText << kBlock + 1 << word << word + 9;
        const QByteArray oneWord = QByteArray(3 * kBlock, 'w') + " x";
        QTest::newRow("a word of several blocks") << oneWord << kBlock + 5 << 0 << 3 * kBlock;
    }
    void doubleClickSelectsAWord()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, offset);
        QFETCH(int, start);
        QFETCH(int, end);
        ByteTextEdit edit;
        edit.resize(400, 300);
        fill(edit, text);
        edit.show();
        QVERIFY(QTest::qWaitForWindowExposed(&edit));
        edit.setCursorPosition(at(offset));
        edit.ensureCursorVisible();
        const QRect box = edit.characterRect(at(offset));
        QVERIFY(!box.isEmpty());
        QTest::mouseDClick(edit.viewport(), Qt::LeftButton, {}, box.center());
        QCOMPARE(edit.selectionStart(), at(start));
        QCOMPARE(edit.selectionEnd(), at(end));
    }

    // A third click right after a double click selects the line, as far as its
    // line break; one that comes later is a click.
    void tripleClickSelectsTheLine_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("end");
        const QByteArray lines("one\r\ntwo words, here\r\nthree");
        QTest::newRow("a middle line") << lines << 9 << 5 << 20;
        QTest::newRow("the first line") << lines << 1 << 0 << 3;
        QTest::newRow("the last line") << lines << 24 << 22 << 27;
        QTest::newRow("an LF line") << QByteArray("a b\nc d") << 2 << 0 << 3;
        QTest::newRow("a line of several blocks")
            << QByteArray("x\r\n") + longLine(2 * kBlock) << kBlock + 3 << 3 << 3 + 2 * kBlock;
    }
    void tripleClickSelectsTheLine()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, offset);
        QFETCH(int, start);
        QFETCH(int, end);
        ByteTextEdit edit;
        edit.resize(400, 300);
        fill(edit, text);
        edit.show();
        QVERIFY(QTest::qWaitForWindowExposed(&edit));
        const QPoint where = caretPoint(edit, at(offset));
        QTest::mouseDClick(edit.viewport(), Qt::LeftButton, {}, where);
        QTest::mouseClick(edit.viewport(), Qt::LeftButton, {}, where);
        QCOMPARE(edit.selection(), selection(start, end));
        // A fourth click places the caret again.
        QTest::mouseClick(edit.viewport(), Qt::LeftButton, {}, where);
        QCOMPARE(edit.selection(), selection(offset, offset));
    }

    // End reaches the end of the row: before the blank a row wraps at, after
    // the last character of a row cut inside a word (Shift+End selects it all).
    void endReachesTheRowsEnd_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("blank");
        QTest::newRow("a row cut in a word") << QByteArray(300, 'w') << false;
        QTest::newRow("a row wrapped at a blank") << longLine(300) << true;
    }
    void endReachesTheRowsEnd()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, blank);
        ByteTextEdit edit;
        edit.resize(160, 300);
        fill(edit, text);
        edit.show();
        QVERIFY(QTest::qWaitForWindowExposed(&edit));
        placeCursor(edit, 0);
        QTest::keyClick(&edit, Qt::Key_End, Qt::ShiftModifier);
        const std::size_t end = edit.selectionEnd();
        const int firstRow = edit.characterRect(0).top();
        QVERIFY(end > 0 && end < at(text.size()));
        // The last character selected is on the first row, and so is the blank
        // it wrapped at, which is not selected.
        QCOMPARE(edit.characterRect(end - 1).top(), firstRow);
        QCOMPARE(text[qsizetype(end)] == ' ', blank);
        QCOMPARE(edit.characterRect(end + (blank ? 1 : 0)).top() > firstRow, true);
        QCOMPARE(edit.selection(), selection(0, int(end)));
    }

    // Paged down within the first block, the view shows whole rows: nothing of
    // the row above the top one.
    void pagingLeavesNoSliver()
    {
        ByteTextEdit edit;
        edit.resize(160, 120);
        fill(edit, longLine(3000));
        edit.show();
        QVERIFY(QTest::qWaitForWindowExposed(&edit));
        placeCursor(edit, 0);
        QTest::keyClick(&edit, Qt::Key_PageDown);
        const ViewTop top = edit.viewTop();
        QCOMPARE(top.block, std::size_t{0});
        QVERIFY(top.row > 0);
        const std::size_t first = edit.offsetAt({0, 0});
        QCOMPARE(edit.characterRect(first).top(), 0);
        QVERIFY(edit.characterRect(first - 1).isNull());
    }

    // Dragging with the button held selects from where it was pressed.
    void dragSelects()
    {
        ByteTextEdit edit;
        edit.resize(400, 300);
        fill(edit, "first line\r\nsecond line");
        edit.show();
        QVERIFY(QTest::qWaitForWindowExposed(&edit));
        const QPoint from = caretPoint(edit, 2);
        const QPoint to = caretPoint(edit, 15);
        edit.setCursorPosition(0);
        QTest::mousePress(edit.viewport(), Qt::LeftButton, {}, from);
        mouseMoveWithButton(edit, (from + to) / 2);
        mouseMoveWithButton(edit, to);
        QTest::mouseRelease(edit.viewport(), Qt::LeftButton, {}, to);
        QCOMPARE(edit.selection(), selection(2, 15));
        QCOMPARE(selectedShown(edit), u"rst line\nsec"_s);
    }

    // A line wider than the area takes several rows, broken between words:
    // Down and Up move between its rows keeping the column, and Home and End
    // go to the row's ends.
    void longLinesWrap()
    {
        const QByteArray line = longLine(300);
        ByteTextEdit edit;
        edit.resize(160, 400);
        fill(edit, line + "\r\nnext");
        edit.show();
        QVERIFY(QTest::qWaitForWindowExposed(&edit));
        placeCursor(edit, 2);
        QList<std::size_t> rows{2};
        int y = edit.cursorRect().top();
        while (edit.cursorPosition() < at(line.size())) {
            QTest::keyClick(&edit, Qt::Key_Down);
            const std::size_t now = edit.cursorPosition();
            QVERIFY(now > rows.back());
            if (now < at(line.size())) {
                // Rows begin at a word, and the column stays.
                QCOMPARE(now % 10, 2U);
                QVERIFY(edit.cursorRect().top() > y);
                y = edit.cursorRect().top();
            }
            rows << now;
        }
        QVERIFY(rows.size() > 3);
        QCOMPARE(rows.back(), at(line.size() + 4));
        for (qsizetype i = rows.size() - 2; i >= 0; --i) {
            QTest::keyClick(&edit, Qt::Key_Up);
            QCOMPARE(edit.cursorPosition(), rows[i]);
        }
        // The first row ends before the blank it breaks at.
        QTest::keyClick(&edit, Qt::Key_End);
        const std::size_t rowEnd = edit.cursorPosition();
        QCOMPARE(rowEnd % 10, 9U);
        QVERIFY(rowEnd < rows[1]);
        QTest::keyClick(&edit, Qt::Key_Home);
        QCOMPARE(edit.cursorPosition(), 0U);
    }

    // Ctrl with =, plus or minus, and Ctrl+wheel, change the text's size; the
    // wheel alone scrolls, and minus alone is typed.
    void zoom_data()
    {
        QTest::addColumn<int>("key"); // 0: the wheel
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("wheel");
        QTest::addColumn<int>("change"); // of the point size
        QTest::newRow("Ctrl+plus") << int(Qt::Key_Plus) << int(Qt::ControlModifier) << 0 << 1;
        QTest::newRow("Ctrl+=") << int(Qt::Key_Equal) << int(Qt::ControlModifier) << 0 << 1;
        QTest::newRow("Ctrl+minus") << int(Qt::Key_Minus) << int(Qt::ControlModifier) << 0 << -1;
        QTest::newRow("Ctrl+wheel up") << 0 << int(Qt::ControlModifier) << 120 << 1;
        QTest::newRow("Ctrl+wheel down") << 0 << int(Qt::ControlModifier) << -120 << -1;
        QTest::newRow("Ctrl+wheel two steps up") << 0 << int(Qt::ControlModifier) << 240 << 2;
        QTest::newRow("wheel alone scrolls") << 0 << int(Qt::NoModifier) << -120 << 0;
        QTest::newRow("minus alone is typed")
            << int(Qt::Key_Minus) << int(Qt::NoModifier) << 0 << 0;
    }
    void zoom()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(int, wheel);
        QFETCH(int, change);
        QByteArray text;
        for (int line = 0; line < 100; ++line) {
            text += "line\n";
        }
        ByteTextEdit edit;
        edit.resize(300, 200);
        QFont font = edit.font();
        font.setPointSizeF(10);
        edit.setFont(font);
        fill(edit, text);
        edit.show();
        QVERIFY(QTest::qWaitForWindowExposed(&edit));
        const auto keyboard = Qt::KeyboardModifiers(modifiers);
        if (key != 0) {
            QTest::keyClick(&edit, Qt::Key(key), keyboard);
        } else {
            const QPointF where = edit.viewport()->rect().center();
            QWheelEvent event(where, edit.viewport()->mapToGlobal(where), {}, {0, wheel},
                              Qt::NoButton, keyboard, Qt::NoScrollPhase, false);
            QApplication::sendEvent(edit.viewport(), &event);
        }
        QCOMPARE(edit.font().pointSizeF(), 10 + change);
        const bool scrolled = key == 0 && change == 0;
        QCOMPARE(edit.offsetAt(QPoint(1, 1)) > 0, scrolled);
        const bool typed = key != 0 && change == 0;
        QCOMPARE(bytesOf(edit), typed ? "-" + text : text);
    }

    // The text is laid out anew at the new size.
    void zoomLaysOutAnew()
    {
        ByteTextEdit edit;
        edit.resize(300, 200);
        fill(edit, "text");
        edit.show();
        QVERIFY(QTest::qWaitForWindowExposed(&edit));
        const QRect before = edit.characterRect(0);
        edit.zoomIn(6);
        QVERIFY(edit.characterRect(0).height() > before.height());
        QVERIFY(edit.characterRect(0).width() > before.width());
        edit.zoomOut(6);
        QCOMPARE(edit.characterRect(0), before);
    }

    // A read-only area takes no edit by any means, but selects and copies.
    void readOnlyTakesNoEdit()
    {
        const QByteArray text("ab\r\ncd");
        ByteTextEdit edit;
        edit.resize(300, 200);
        fill(edit, "earlier", History::Fresh);
        fill(edit, text);
        edit.setReadOnly(true);
        QVERIFY(edit.isReadOnly());
        QSignalSpy changed(&edit, &ByteTextEdit::textChanged);
        placeCursor(edit, 1);
        typeText(edit, u"x"_s);
        for (const int key : {Qt::Key_Return, Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_Tab}) {
            QTest::keyClick(&edit, Qt::Key(key));
        }
        QApplication::clipboard()->setText(u"pasted"_s);
        QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
        edit.paste();
        QTest::keyClick(&edit, Qt::Key_Z, Qt::ControlModifier);
        QInputMethodEvent commit;
        commit.setCommitString(u"y"_s);
        QApplication::sendEvent(&edit, &commit);
        QMimeData mime;
        mime.setText(u"dropped"_s);
        QVERIFY(!drop(edit, mime));
        select(edit, 0, 2);
        QTest::keyClick(&edit, Qt::Key_X, Qt::ControlModifier);
        edit.cut();
        QCOMPARE(changed.count(), 0);
        QCOMPARE(bytesOf(edit), text);
        QCOMPARE(QApplication::clipboard()->text(), u"pasted"_s);

        // Selecting and copying work.
        placeCursor(edit, 4);
        QTest::keyClick(&edit, Qt::Key_End, Qt::ShiftModifier);
        QCOMPARE(edit.selection(), selection(4, 6));
        QTest::keyClick(&edit, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), u"cd"_s);
        QTest::keyRelease(&edit, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(edit.selection(), selection(0, 6));
        edit.copy();
        QCOMPARE(QApplication::clipboard()->text(), u"ab\ncd"_s);

        // The context menu offers no edit.
        QStringList names;
        withContextMenu(edit, [&names](QMenu &menu) {
            for (const QAction *action : menu.actions()) {
                if (!action->isSeparator()) {
                    names << action->objectName();
                }
            }
        });
        QCOMPARE(names, (QStringList{u"edit-copy"_s, u"select-all"_s}));
    }

    // The scroll bar ends where the end of the text shows at the bottom of a
    // full view, not with the last line alone at the top.
    void scrollBarEndsAtTheEnd()
    {
        ByteTextEdit edit;
        edit.resize(300, 200);
        edit.show();
        QVERIFY(QTest::qWaitForWindowExposed(&edit));
        std::string text;
        for (int line = 0; line < 500; ++line) {
            text += "line " + std::to_string(line) + "\r\n";
        }
        text += "last";
        edit.setBytes(text);
        QScrollBar *bar = edit.verticalScrollBar();
        bar->setValue(bar->maximum());
        QVERIFY(!edit.characterRect(edit.byteCount() - 1).isEmpty());
        QVERIFY(edit.offsetAt(QPoint(5, 5)) < text.rfind("line 495"));
        // The wheel goes no further down than that.
        const std::size_t top = edit.offsetAt(QPoint(5, 5));
        const QPointF middle = edit.viewport()->rect().center();
        QWheelEvent wheel(middle, edit.viewport()->mapToGlobal(middle), {}, {0, -480}, Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(edit.viewport(), &wheel);
        QCOMPARE(edit.offsetAt(QPoint(5, 5)), top);
    }
};

QTEST_MAIN(TestByteTextEdit)
#include "tst_bytetextedit.moc"

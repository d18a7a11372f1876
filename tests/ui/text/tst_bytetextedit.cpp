// Tests of the 8-bit text widgets: the text areas (ByteTextEdit) and the key
// field (ByteLineEdit) hold every byte string faithfully, show what they hold,
// and turn typed, pasted and dropped text into text of the 8-bit set. A long
// line in a text area is shown in chunks that read, copy and edit as one line.
#include <random>
#include <string>

#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTimer>
#include <QToolTip>
#include <QUrl>

#include "progresswatch.h"
#include "ui/main/bytelineedit.h"
#include "ui/main/bytetextedit.h"
#include "ui/main/displaytext.h"
#include "ui/main/utf8samples.h"

using namespace lorimand;
using displaytext::Charset;

namespace {

[[nodiscard]] QByteArray bytesOf(const ByteTextEdit &edit)
{
    return QByteArray::fromStdString(edit.bytes());
}

[[nodiscard]] QByteArray bytesOf(const ByteLineEdit &edit)
{
    return QByteArray::fromStdString(edit.bytes());
}

[[nodiscard]] std::string_view view(const QByteArray &bytes)
{
    return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}

// The raw text of each block, as the document holds it.
[[nodiscard]] QStringList blocksOf(const ByteTextEdit &edit)
{
    QStringList blocks;
    for (QTextBlock block = edit.document()->begin(); block.isValid(); block = block.next()) {
        blocks << block.text();
    }
    return blocks;
}

[[nodiscard]] QByteArray allBytes()
{
    QByteArray bytes;
    for (int code = 0; code < 256; ++code) {
        bytes += static_cast<char>(code);
    }
    return bytes;
}

[[nodiscard]] QByteArray randomBytes(qsizetype size, unsigned seed)
{
    std::mt19937 generator(seed);
    std::uniform_int_distribution<int> code(0, 255);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char &byte : bytes) {
        byte = static_cast<char>(code(generator));
    }
    return bytes;
}

void placeCursor(ByteTextEdit &edit, int position)
{
    QTextCursor cursor = edit.textCursor();
    cursor.setPosition(position < 0 ? edit.document()->characterCount() - 1 : position);
    edit.setTextCursor(cursor);
}

void typeText(QWidget &widget, const QString &text)
{
    QTest::sendKeyEvent(QTest::Press, &widget, Qt::Key_unknown, text, Qt::NoModifier);
    QTest::sendKeyEvent(QTest::Release, &widget, Qt::Key_unknown, text, Qt::NoModifier);
}

// A drop of the given data at the top left of the area.
bool drop(ByteTextEdit &edit, QMimeData &mime, Qt::DropActions possible = Qt::CopyAction,
          Qt::DropAction *taken = nullptr)
{
    const QPointF at(2, 2);
    QDragEnterEvent enter(at.toPoint(), possible, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(edit.viewport(), &enter);
    QDropEvent dropped(at, possible, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(edit.viewport(), &dropped);
    if (taken != nullptr) {
        *taken = dropped.dropAction();
    }
    return dropped.isAccepted();
}

const QString kCjk = QString(QChar(0x4E2D));

constexpr int kChunk = static_cast<int>(displaytext::kChunkLength);

// A line of words of nine letters, so that a chunk boundary falls inside a word.
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
    QByteArray codes = allBytes();
    codes.remove('\n', 1);
    QByteArray line;
    while (line.size() < size) {
        line += codes;
    }
    return line.left(size);
}

// The length of the longest block, separator not counted.
[[nodiscard]] int longestBlock(const ByteTextEdit &edit)
{
    int longest = 0;
    for (QTextBlock block = edit.document()->begin(); block.isValid(); block = block.next()) {
        longest = std::max(longest, block.length() - 1);
    }
    return longest;
}

void select(ByteTextEdit &edit, int anchor, int position)
{
    QTextCursor cursor = edit.textCursor();
    cursor.setPosition(anchor);
    cursor.setPosition(position, QTextCursor::KeepAnchor);
    edit.setTextCursor(cursor);
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

// The entries of the area's context menu, opened as a right click opens it;
// `choose`, when given, is then triggered in the submenu `submenu`.
QStringList contextMenuEntries(ByteTextEdit &edit, const QString &submenu = {},
                               const QString &choose = {}, QStringList *checked = nullptr)
{
    QStringList entries;
    QTimer::singleShot(0, &edit, [&] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (menu == nullptr) {
            return;
        }
        for (QAction *action : menu->actions()) {
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
        menu->close();
    });
    const QPoint at(5, 5);
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, edit.viewport()->mapToGlobal(at));
    QApplication::sendEvent(edit.viewport(), &event);
    return entries;
}

} // namespace

class TestByteWidgets : public QObject
{
    Q_OBJECT

private slots:
    // Byte strings that both widgets must give back unchanged.
    void textRoundTrip_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("every byte") << allBytes();
        QByteArray reversed = allBytes();
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
    void textRoundTrip()
    {
        QFETCH(QByteArray, bytes);
        ByteTextEdit edit;
        edit.setBytes(view(bytes));
        QCOMPARE(bytesOf(edit), bytes);
    }

    // Long lines go into the area in chunks and come back whole; `blocks` is
    // how many blocks the area shows them in.
    void longLineRoundTrip_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("blocks");
        QTest::newRow("one below the limit") << longLine(kChunk - 1) << 1;
        QTest::newRow("at the limit") << longLine(kChunk) << 1;
        QTest::newRow("one above the limit") << longLine(kChunk + 1) << 2;
        QTest::newRow("two chunks exactly") << longLine(2 * kChunk) << 2;
        QTest::newRow("several chunks") << longLine(5 * kChunk + 17) << 6;
        QTest::newRow("chunks between mixed breaks")
            << "a\r\n" + longLine(kChunk + 5) + "\n" + longLine(2 * kChunk) + "\r\n\nb" << 7;
        QTest::newRow("break at the limit")
            << longLine(kChunk) + "\n" + longLine(kChunk - 1) + "\r\n"
            << 3;
        QTest::newRow("CR LF that would straddle the limit")
            << longLine(kChunk - 1) + "\r\n" + longLine(3) << 2;
        QTest::newRow("lone CR at the limit") << longLine(kChunk - 1) + "\r" + longLine(3) << 2;
        QTest::newRow("long last line with a final break")
            << "x\n" + longLine(2 * kChunk + 3) + "\n"
            << 5;
        QTest::newRow("long last line without a final break")
            << "x\n" + longLine(2 * kChunk + 3) << 4;
        QTest::newRow("every code in one line") << everyCodeInOneLine(4 * kChunk + 100) << 5;
        QTest::newRow("every code in long lines")
            << everyCodeInOneLine(3 * kChunk) + "\r\n" + everyCodeInOneLine(kChunk + 1) + "\n"
            << 6;
    }
    void longLineRoundTrip()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, blocks);
        ByteTextEdit edit;
        edit.setBytes(view(bytes));
        QCOMPARE(bytesOf(edit), bytes);
        QCOMPARE(edit.document()->blockCount(), blocks);
        QVERIFY(longestBlock(edit) <= kChunk);
    }

    void lineRoundTrip_data() { textRoundTrip_data(); }
    void lineRoundTrip()
    {
        QFETCH(QByteArray, bytes);
        ByteLineEdit edit;
        edit.setBytes(view(bytes));
        QCOMPARE(bytesOf(edit), bytes);
    }

    void everySingleByteRoundTrips()
    {
        ByteTextEdit area;
        ByteLineEdit key;
        for (int code = 0; code < 256; ++code) {
            const QByteArray bytes = QByteArray("x") + static_cast<char>(code) + "y";
            area.setBytes(view(bytes));
            key.setBytes(view(bytes));
            QCOMPARE(bytesOf(area), bytes);
            QCOMPARE(bytesOf(key), bytes);
        }
    }

    void textShown_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("blocks");
        QTest::newRow("CR LF and LF are breaks")
            << QByteArray("a\r\nb\nc") << QStringList{u"a"_qs, u"b"_qs, u"c"_qs};
        QTest::newRow("lone CR") << QByteArray("a\rb") << QStringList{u"a\u240Db"_qs};
        QTest::newRow("CR CR LF") << QByteArray("a\r\r\nb") << QStringList{u"a\u240D"_qs, u"b"_qs};
        QTest::newRow("NUL, ^Z, ESC, DEL")
            << QByteArray("\0\x1A\x1B\x7F", 4) << QStringList{u"\u2400\u241A\u241B\u2421"_qs};
        QTest::newRow("TAB stays") << QByteArray("a\tb") << QStringList{u"a\tb"_qs};
        QTest::newRow("no-break space stays") << QByteArray("a\xA0"
                                                            "b")
                                              << QStringList{u"a\u00A0b"_qs};
        QTest::newRow("Windows-1252")
            << QByteArray("\x80\x99\xE9") << QStringList{u"\u20AC\u2122\u00E9"_qs};
        QTest::newRow("break at the end") << QByteArray("a\n") << QStringList{u"a"_qs, QString()};
        const QString chunk = QString::fromLatin1(longLine(kChunk));
        QTest::newRow("a line of one chunk") << longLine(kChunk) << QStringList{chunk};
        QTest::newRow("a line one above a chunk")
            << longLine(kChunk + 1)
            << QStringList{chunk, QString::fromLatin1(longLine(kChunk + 1).mid(kChunk))};
        QTest::newRow("a break right after a chunk") << longLine(kChunk) + "\r\n"
                                                     << QStringList{chunk, QString()};
        QTest::newRow("chunks count from the line's start")
            << "ab\n" + longLine(kChunk + 2)
            << QStringList{u"ab"_qs, chunk, QString::fromLatin1(longLine(kChunk + 2).mid(kChunk))};
    }
    void textShown()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, blocks);
        ByteTextEdit edit;
        edit.setBytes(view(bytes));
        QCOMPARE(blocksOf(edit), blocks);
    }

    void lineShown_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("shown");
        QTest::newRow("CR LF") << QByteArray("a\r\nb") << u"a\u240D\u240Ab"_qs;
        QTest::newRow("TAB") << QByteArray("a\tb") << u"a\u2409b"_qs;
        QTest::newRow("NUL and DEL") << QByteArray("\0\x7F", 2) << u"\u2400\u2421"_qs;
        QTest::newRow("plain") << QByteArray("TarnVeli") << u"TarnVeli"_qs;
        QTest::newRow("Windows-1252") << QByteArray("\x80\xFF") << u"\u20AC\u00FF"_qs;
    }
    void lineShown()
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
        QTest::newRow("every byte") << QByteArray("x") << allBytes();
        QTest::newRow("random 64 KiB") << QByteArray("a\nb") << randomBytes(64 * 1024, 7);
        QTest::newRow("one long line") << QByteArray("a\nb") << everyCodeInOneLine(300 * 1000);
        QTest::newRow("long lines over long lines")
            << longLine(9 * kChunk) << "x\r\n" + longLine(4 * kChunk) + "\n" + longLine(kChunk + 1);
    }
    void setBytesChangesOnce()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, bytes);
        using History = ByteTextEdit::History;
        for (const History history : {History::Step, History::Automatic, History::Fresh}) {
            ByteTextEdit area;
            ByteLineEdit key;
            area.setBytes(view(before), History::Automatic);
            key.setBytes(view(before));
            QSignalSpy areaChanged(&area, &ByteTextEdit::textChanged);
            QSignalSpy keyChanged(&key, &ByteLineEdit::textChanged);
            area.setBytes(view(bytes), history);
            key.setBytes(view(bytes));
            QCOMPARE(areaChanged.count(), 1);
            QCOMPARE(keyChanged.count(), 1);
            QCOMPARE(bytesOf(area), bytes);
        }
    }

    void largeTextRoundTrips()
    {
        const QByteArray bytes = randomBytes(1024 * 1024, 42);
        ByteTextEdit edit;
        edit.setBytes(view(bytes));
        QCOMPARE(bytesOf(edit), bytes);
        // Each break is a block of its own, not a soft break inside one; long
        // lines add the blocks of their chunks.
        qsizetype blocks = 1;
        qsizetype lineLength = 0;
        for (const char byte : bytes) {
            if (byte == '\n') {
                ++blocks;
                lineLength = 0;
            } else if (++lineLength > kChunk) {
                ++blocks;
                lineLength = 1;
            }
        }
        QCOMPARE(edit.document()->blockCount(), blocks);
        QVERIFY(longestBlock(edit) <= kChunk);
    }

    void longKeyRoundTrips()
    {
        // Beyond QLineEdit's default limit of 32,767 characters.
        const QByteArray bytes = randomBytes(40000, 3);
        ByteLineEdit edit;
        edit.setBytes(view(bytes));
        QCOMPARE(bytesOf(edit), bytes);
    }

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
            << QByteArray("a\r\nbc\nd") << 3 << none << QByteArray("a\r\nb\r\nc\nd");
        QTest::newRow("lone CR is no break")
            << QByteArray("a\rb") << -1 << none << QByteArray("a\rb\r\n");
        QTest::newRow("Shift+Enter too")
            << QByteArray("a\nb") << 1 << static_cast<int>(Qt::ShiftModifier)
            << QByteArray("a\n\nb");
        const QByteArray line = longLine(2 * kChunk + 5);
        QTest::newRow("continuations are no breaks")
            << line + "\nb" << 0 << none << "\n" + line + "\nb";
        QTest::newRow("a long line alone") << line << -1 << none << line + "\r\n";
        QTest::newRow("at the start of a continuation")
            << line + "\nb" << kChunk + 1 << none
            << line.left(kChunk) + "\n" + line.mid(kChunk) + "\nb";
        QTest::newRow("at the end of a chunk")
            << line + "\r\nb" << kChunk << none
            << line.left(kChunk) + "\r\n" + line.mid(kChunk) + "\r\nb";
    }
    void typedBreakTakesFirstKind()
    {
        QFETCH(QByteArray, before);
        QFETCH(int, position);
        QFETCH(int, modifiers);
        QFETCH(QByteArray, after);
        ByteTextEdit edit;
        edit.setBytes(view(before));
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
        // "ab" CR LF "cd" LF "ef" CR LF "gh": the breaks sit at positions 2, 5 and 8.
        QTest::newRow("Enter inside the LF line")
            << 7 << int(Qt::Key_Return) << QByteArray("ab\r\ncd\ne\r\nf\r\ngh");
        QTest::newRow("Enter at the start of a line")
            << 6 << int(Qt::Key_Return) << QByteArray("ab\r\ncd\n\r\nef\r\ngh");
        QTest::newRow("Enter at the end of a line")
            << 5 << int(Qt::Key_Return) << QByteArray("ab\r\ncd\r\n\nef\r\ngh");
        QTest::newRow("Backspace joins at a LF")
            << 6 << int(Qt::Key_Backspace) << QByteArray("ab\r\ncdef\r\ngh");
        QTest::newRow("Delete joins at a CR LF")
            << 8 << int(Qt::Key_Delete) << QByteArray("ab\r\ncd\nefgh");
        QTest::newRow("Backspace joins the first break")
            << 3 << int(Qt::Key_Backspace) << QByteArray("abcd\nef\r\ngh");
    }
    void undoRedoKeepBreakKinds()
    {
        QFETCH(int, position);
        QFETCH(int, key);
        QFETCH(QByteArray, after);
        const QByteArray before("ab\r\ncd\nef\r\ngh");
        ByteTextEdit edit;
        edit.setBytes(view(before));
        placeCursor(edit, position);
        pressAndUndo(edit, before, key, Qt::NoModifier, after);
    }

    // Deleting one break keeps the kinds of the others, also where Qt drops the
    // empty block before the deleted break rather than the one after it.
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
            << QByteArray("a\r\n\nb") << 3 << 3 << int(Qt::Key_Backspace) << none
            << QByteArray("a\r\nb");
        QTest::newRow("Delete on an empty line")
            << QByteArray("a\r\n\nb") << 2 << 2 << int(Qt::Key_Delete) << none
            << QByteArray("a\r\nb");
        QTest::newRow("selection from a line's start, Delete")
            << mixed << 3 << 7 << int(Qt::Key_Delete) << none << QByteArray("ab\r\nf");
        QTest::newRow("selection from a line's start, Ctrl+X")
            << mixed << 3 << 7 << int(Qt::Key_X) << int(Qt::ControlModifier)
            << QByteArray("ab\r\nf");
        QTest::newRow("selection from a line's start, typed over")
            << mixed << 3 << 7 << int(Qt::Key_Z) << none << QByteArray("ab\r\nzf");
        const QByteArray afterBreak = "x\r\n" + longLine(1500);
        QTest::newRow("from a line's start into its second chunk")
            << afterBreak << 2 << kChunk + 8 << int(Qt::Key_Delete) << none
            << "x\r\n" + longLine(1500).mid(kChunk + 5);
        const QByteArray beforeBreak = longLine(1500) + "\r\nz";
        QTest::newRow("from a second chunk's start to the end")
            << beforeBreak << kChunk + 1 << int(beforeBreak.size()) << int(Qt::Key_Delete) << none
            << longLine(kChunk);
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
        edit.setBytes(view(before));
        select(edit, anchor, position);
        pressAndUndo(edit, before, key, modifiers, after);
    }

    void joiningAcrossAnEmptiedChunk()
    {
        const QByteArray before = longLine(kChunk) + QByteArray(kChunk, 'y') + "\nz";
        ByteTextEdit edit;
        edit.setBytes(view(before));
        select(edit, kChunk + 1, 2 * kChunk + 1);
        QTest::keyClick(&edit, Qt::Key_Delete);
        QCOMPARE(bytesOf(edit), longLine(kChunk) + "\nz");
        QTest::keyClick(&edit, Qt::Key_Delete);
        QCOMPARE(bytesOf(edit), longLine(kChunk) + "z");
    }

    void deletingAcrossBreaksUndoes()
    {
        const QByteArray before("ab\r\ncd\nef\r\ngh\nij");
        ByteTextEdit edit;
        edit.setBytes(view(before));
        QTextCursor cursor = edit.textCursor();
        cursor.setPosition(1);
        cursor.setPosition(10, QTextCursor::KeepAnchor);
        edit.setTextCursor(cursor);
        QTest::keyClick(&edit, Qt::Key_Delete);
        QCOMPARE(bytesOf(edit), QByteArray("ah\nij"));
        edit.undo();
        QCOMPARE(bytesOf(edit), before);
    }

    // Keys at a chunk boundary act as if the boundary were not there. The text
    // is "top" LF, a line of two chunks and ten characters, CR LF, "end"; the
    // line's first chunk ends at position kChunk + 4, its second starts one
    // further on.
    void editAtBoundary_data()
    {
        QTest::addColumn<int>("anchor");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QByteArray>("after");
        const QByteArray line = longLine(2 * kChunk + 10);
        const QByteArray before = "top\n" + line + "\r\nend";
        const int chunkEnd = kChunk + 4;
        const int nextChunk = chunkEnd + 1;
        const int none = Qt::NoModifier;
        const int control = Qt::ControlModifier;
        // Byte i of the line is at byte 4 + i of the text.
        const auto removed = [&before](qsizetype at, qsizetype count) {
            return QByteArray(before).remove(4 + at, count);
        };
        const auto inserted = [&before](qsizetype at, const char *text) {
            return QByteArray(before).insert(4 + at, text);
        };
        QTest::newRow("Backspace at the start of a continuation")
            << nextChunk << nextChunk << int(Qt::Key_Backspace) << none << removed(kChunk - 1, 1);
        QTest::newRow("Backspace at the end of a chunk")
            << chunkEnd << chunkEnd << int(Qt::Key_Backspace) << none << removed(kChunk - 1, 1);
        QTest::newRow("Delete at the end of a chunk")
            << chunkEnd << chunkEnd << int(Qt::Key_Delete) << none << removed(kChunk, 1);
        QTest::newRow("Delete at the start of a continuation")
            << nextChunk << nextChunk << int(Qt::Key_Delete) << none << removed(kChunk, 1);
        // The boundary falls inside a word "abcdefghi ": Ctrl+Backspace takes
        // the word's letters before it, Ctrl+Delete the rest and the blank.
        static_assert(kChunk % 10 != 0);
        const int head = kChunk % 10;
        QTest::newRow("Ctrl+Backspace at the start of a continuation")
            << nextChunk << nextChunk << int(Qt::Key_Backspace) << control
            << removed(kChunk - head, head);
        QTest::newRow("Ctrl+Delete at the end of a chunk")
            << chunkEnd << chunkEnd << int(Qt::Key_Delete) << control << removed(kChunk, 10 - head);
        QTest::newRow("typing at the end of a chunk")
            << chunkEnd << chunkEnd << int(Qt::Key_X) << none << inserted(kChunk, "x");
        QTest::newRow("typing at the start of a continuation")
            << nextChunk << nextChunk << int(Qt::Key_X) << none << inserted(kChunk, "x");
        QTest::newRow("Backspace on a selection across the boundary")
            << chunkEnd - 2 << nextChunk + 3 << int(Qt::Key_Backspace) << none
            << removed(kChunk - 2, 5);
        QTest::newRow("typing over a selection across the boundary")
            << nextChunk + 3 << chunkEnd - 2 << int(Qt::Key_X) << none
            << QByteArray(before).replace(4 + kChunk - 2, 5, "x");
        QTest::newRow("deleting from the line before into a continuation")
            << 1 << nextChunk + 5 << int(Qt::Key_Delete) << none
            << QByteArray(before).remove(1, 3 + kChunk + 5);
        QTest::newRow("deleting from a continuation into the line after")
            << nextChunk + 5 << before.size() << int(Qt::Key_Delete) << none
            << QByteArray(before).remove(4 + kChunk + 5, before.size() - 1 - (4 + kChunk + 5));
    }
    void editAtBoundary()
    {
        QFETCH(int, anchor);
        QFETCH(int, position);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QByteArray, after);
        const QByteArray before = "top\n" + longLine(2 * kChunk + 10) + "\r\nend";
        ByteTextEdit edit;
        edit.setBytes(view(before));
        select(edit, anchor, position);
        int changes = 0;
        pressAndUndo(edit, before, key, modifiers, after, &changes);
        QCOMPARE(changes, 1);
    }

    // A chunk emptied by an edit stays as an empty block: keys next to it still
    // reach the real characters on its other side.
    void editAcrossAnEmptiedChunk_data()
    {
        QTest::addColumn<bool>("backward");
        QTest::addColumn<QByteArray>("after");
        const QByteArray line = longLine(3 * kChunk);
        const QByteArray emptied = QByteArray(line).remove(kChunk, kChunk);
        QTest::newRow("Backspace") << true << QByteArray(emptied).remove(kChunk - 1, 1);
        QTest::newRow("Delete") << false << QByteArray(emptied).remove(kChunk, 1);
    }
    void editAcrossAnEmptiedChunk()
    {
        QFETCH(bool, backward);
        QFETCH(QByteArray, after);
        ByteTextEdit edit;
        edit.setBytes(view(longLine(3 * kChunk)));
        // The second chunk, positions kChunk + 1 to 2 * kChunk + 1.
        select(edit, kChunk + 1, 2 * kChunk + 1);
        QTest::keyClick(&edit, Qt::Key_Delete);
        QCOMPARE(edit.document()->blockCount(), 3);
        // The start of the third chunk, or the end of the first.
        placeCursor(edit, backward ? kChunk + 2 : kChunk);
        QTest::keyClick(&edit, backward ? Qt::Key_Backspace : Qt::Key_Delete);
        QCOMPARE(bytesOf(edit), after);
    }

    // The caret takes one step per character across a chunked line.
    void arrowsStepOverBoundaries()
    {
        const QByteArray line = longLine(3 * kChunk + 7);
        ByteTextEdit edit;
        edit.setBytes(view("a\n" + line + "\nb"));
        const int start = 2;
        const int end = start + static_cast<int>(line.size()) + 3;
        placeCursor(edit, start);
        for (qsizetype step = 0; step < line.size(); ++step) {
            QTest::keyClick(&edit, Qt::Key_Right);
        }
        QCOMPARE(edit.textCursor().position(), end);
        for (qsizetype step = 0; step < line.size(); ++step) {
            QTest::keyClick(&edit, Qt::Key_Left);
        }
        QCOMPARE(edit.textCursor().position(), start);
        // Shift+arrows select one character across a boundary.
        placeCursor(edit, start + kChunk);
        QTest::keyClick(&edit, Qt::Key_Right, Qt::ShiftModifier);
        edit.copy();
        QCOMPARE(QApplication::clipboard()->text(), QString::fromLatin1(line.mid(kChunk, 1)));
        placeCursor(edit, start + kChunk + 1);
        QTest::keyClick(&edit, Qt::Key_Left, Qt::ShiftModifier);
        edit.copy();
        QCOMPARE(QApplication::clipboard()->text(), QString::fromLatin1(line.mid(kChunk - 1, 1)));
    }

    // Copying or cutting across chunk boundaries gives the characters without
    // breaks where the boundaries are. The text is a line of three chunks,
    // CR LF, and a line of one chunk and two characters.
    void copyAcrossBoundaries_data()
    {
        QTest::addColumn<int>("anchor");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("count");
        const int second = 3 * kChunk + 3; // where the second line starts
        QTest::newRow("across one boundary") << kChunk - 3 << kChunk + 4 << kChunk - 3 << 6;
        QTest::newRow("backwards across one boundary")
            << kChunk + 4 << kChunk - 3 << kChunk - 3 << 6;
        QTest::newRow("from the end of a chunk") << kChunk << kChunk + 3 << kChunk << 2;
        QTest::newRow("up to the start of a continuation")
            << kChunk - 2 << kChunk + 1 << kChunk - 2 << 2;
        QTest::newRow("across two boundaries and a break")
            << 5 << second + kChunk + 2 << 5 << 3 * kChunk - 5 + 2 + kChunk + 1;
        QTest::newRow("one whole chunk") << kChunk + 1 << 2 * kChunk + 1 << kChunk << kChunk;
    }
    void copyAcrossBoundaries()
    {
        QFETCH(int, anchor);
        QFETCH(int, position);
        QFETCH(int, from);
        QFETCH(int, count);
        const QByteArray before = longLine(3 * kChunk) + "\r\n" + longLine(kChunk + 2);
        const QByteArray copied = before.mid(from, count);
        ByteTextEdit edit;
        edit.setBytes(view(before));
        select(edit, anchor, position);
        edit.copy();
        QCOMPARE(QApplication::clipboard()->text(),
                 QString::fromLatin1(copied).replace(u"\r\n"_qs, u"\n"_qs));
        ByteTextEdit pasted;
        pasted.paste();
        QCOMPARE(bytesOf(pasted), copied);
        QApplication::clipboard()->clear();
        edit.cut();
        QCOMPARE(bytesOf(edit), QByteArray(before).remove(from, count));
        pasted.selectWholeText();
        pasted.paste();
        QCOMPARE(bytesOf(pasted), copied);
    }

    void typedCharacters_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("CJK") << kCjk << QString() << QByteArray();
        QTest::newRow("Greek") << u"\u03A9"_qs << QString() << QByteArray();
        QTest::newRow("outside the BMP") << u"\U0001F600"_qs << QString() << QByteArray();
        QTest::newRow("euro sign") << u"\u20AC"_qs << u"\u20AC"_qs << QByteArray("\x80");
        QTest::newRow("e acute") << u"\u00E9"_qs << u"\u00E9"_qs << QByteArray("\xE9");
        QTest::newRow("letter") << u"a"_qs << u"a"_qs << QByteArray("a");
    }
    void typedCharacters()
    {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(QByteArray, bytes);
        ByteTextEdit area;
        ByteLineEdit key;
        QSignalSpy areaChanged(&area, &ByteTextEdit::textChanged);
        QSignalSpy keyChanged(&key, &ByteLineEdit::textChanged);
        // A character the set cannot hold is left out, and a tool tip says so.
        const bool leftOut = shown.isEmpty();
        for (QWidget *widget : {static_cast<QWidget *>(&area), static_cast<QWidget *>(&key)}) {
            QToolTip::hideText();
            typeText(*widget, typed);
            QCOMPARE(QToolTip::isVisible(), leftOut);
            if (leftOut) {
                QCOMPARE(QToolTip::text(), displaytext::leftOutMessage(typed));
            }
        }
        QCOMPARE(areaChanged.count(), leftOut ? 0 : 1);
        QCOMPARE(keyChanged.count(), leftOut ? 0 : 1);
        QCOMPARE(blocksOf(area), QStringList{shown});
        QCOMPARE(key.text(), shown);
        QCOMPARE(bytesOf(area), bytes);
        QCOMPARE(bytesOf(key), bytes);
    }

    void leftOutMessage_data()
    {
        QTest::addColumn<QString>("leftOut");
        QTest::addColumn<QString>("message");
        QTest::newRow("one") << kCjk
                             << u"Left out: \u201C\u4E2D\u201D. The program's character set, "
                                u"Windows-1252, cannot hold it."_qs;
        QTest::newRow("two, one outside the BMP")
            << u"\u03A9\U0001F600"_qs
            << u"Left out: \u201C\u03A9\u201D, \u201C\U0001F600\u201D. The program's "
               u"character set, Windows-1252, cannot hold them."_qs;
        QTest::newRow("not shown") << QString()
                                   << u"A character was left out: the program's character set, "
                                      u"Windows-1252, cannot hold it."_qs;
    }
    void leftOutMessage()
    {
        QFETCH(QString, leftOut);
        QFETCH(QString, message);
        QCOMPARE(displaytext::leftOutMessage(leftOut), message);
    }

    // Two different keys never become the same key unseen: what is left out is
    // told, and a masked key does not show it.
    void leftOutOfTheKey()
    {
        ByteLineEdit key;
        key.setBytes("a");
        key.end(false);
        QApplication::clipboard()->setText(u"b"_qs + kCjk + u"c"_qs + kCjk);
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
        typeText(key, u"\u00E9"_qs);
        QCOMPARE(bytesOf(key), QByteArray("ab\xE9"));
        key.undo();
        QCOMPARE(bytesOf(key), QByteArray("ab"));
    }

    // Ctrl with a letter is a shortcut; Alt with a letter that no access key
    // took types nothing either.
    void shortcutsInsertNothing_data()
    {
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::newRow("Ctrl+B") << Qt::KeyboardModifiers(Qt::ControlModifier);
        QTest::newRow("Alt+B") << Qt::KeyboardModifiers(Qt::AltModifier);
        QTest::newRow("Alt+Shift+B") << (Qt::AltModifier | Qt::ShiftModifier);
    }
    void shortcutsInsertNothing()
    {
        QFETCH(Qt::KeyboardModifiers, modifiers);
        ByteTextEdit area;
        ByteLineEdit key;
        area.setBytes("text");
        key.setBytes("text");
        QSignalSpy areaChanged(&area, &ByteTextEdit::textChanged);
        QSignalSpy keyChanged(&key, &ByteLineEdit::textChanged);
        QTest::keyClick(&area, Qt::Key_B, modifiers);
        QTest::keyClick(&key, Qt::Key_B, modifiers);
        QCOMPARE(areaChanged.count(), 0);
        QCOMPARE(keyChanged.count(), 0);
        QCOMPARE(bytesOf(area), QByteArray("text"));
        QCOMPARE(bytesOf(key), QByteArray("text"));
    }

    void inputMethodCommit_data()
    {
        QTest::addColumn<QString>("commit");
        QTest::addColumn<QByteArray>("areaBytes");
        QTest::addColumn<QByteArray>("keyBytes");
        QTest::newRow("CJK") << QString(kCjk + u"y"_qs + kCjk) << QByteArray("xy")
                             << QByteArray("xy");
        QTest::newRow("held") << u"\u00E9t\u00E9"_qs << QByteArray("x\xE9t\xE9")
                              << QByteArray("x\xE9t\xE9");
        QTest::newRow("with a break")
            << QString(u"a\n"_qs + kCjk) << QByteArray("xa\r\n") << QByteArray("xa\n");
    }
    void inputMethodCommit()
    {
        QFETCH(QString, commit);
        QFETCH(QByteArray, areaBytes);
        QFETCH(QByteArray, keyBytes);
        ByteTextEdit area;
        ByteLineEdit key;
        area.setBytes("x");
        key.setBytes("x");
        placeCursor(area, -1);
        key.end(false);
        QInputMethodEvent areaEvent;
        areaEvent.setCommitString(commit);
        QApplication::sendEvent(&area, &areaEvent);
        QInputMethodEvent keyEvent;
        keyEvent.setCommitString(commit);
        QApplication::sendEvent(&key, &keyEvent);
        QCOMPARE(bytesOf(area), areaBytes);
        QCOMPARE(bytesOf(key), keyBytes);
    }

    void paste_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QByteArray>("after");
        const QString mixed = u"x\r\ny\nz\rw"_qs + kCjk;
        QTest::newRow("into a text without breaks")
            << QByteArray("ab") << mixed << QByteArray("abx\r\ny\r\nz\r\nw");
        QTest::newRow("into LF text")
            << QByteArray("a\nb") << mixed << QByteArray("a\nbx\ny\nz\nw");
        QTest::newRow("control codes and TAB")
            << QByteArray() << u"\t\u0001\u007F\u00A0"_qs << QByteArray("\t\x01\x7F\xA0");
        QTest::newRow("pictures") << QByteArray() << u"\u240D\u2400"_qs << QByteArray("\r\0", 2);
        QTest::newRow("paragraph and line separators")
            << QByteArray() << u"a\u2029b\u2028c"_qs << QByteArray("a\r\nb\r\nc");
        const QByteArray line = longLine(3 * kChunk + 1);
        QTest::newRow("long lines") << QByteArray("a\nb") << QString::fromLatin1(line + "\n" + line)
                                    << "a\nb" + line + "\n" + line;
    }
    void paste()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, pasted);
        QFETCH(QByteArray, after);
        ByteTextEdit edit;
        edit.setBytes(view(before));
        placeCursor(edit, -1);
        QApplication::clipboard()->setText(pasted);
        QSignalSpy changed(&edit, &ByteTextEdit::textChanged);
        edit.paste();
        QCOMPARE(changed.count(), 1);
        QCOMPARE(bytesOf(edit), after);
        // A pasted line is chunked like one set whole.
        QVERIFY(longestBlock(edit) <= kChunk + before.size());
        edit.undo();
        QCOMPARE(bytesOf(edit), before);
    }

    void pasteIntoKey()
    {
        ByteLineEdit key;
        key.setBytes("k");
        key.end(false);
        QApplication::clipboard()->setText(u"a\r\nb\t"_qs + kCjk);
        key.paste();
        QCOMPARE(key.text(), u"ka\u240D\u240Ab\u2409"_qs);
        QCOMPARE(bytesOf(key), QByteArray("ka\r\nb\t"));
    }

    void copyKeepsEveryCharacter()
    {
        const QByteArray bytes("a\xA0\x01"
                               "b\r\nc\x7F");
        ByteTextEdit from;
        ByteTextEdit to;
        from.setBytes(view(bytes));
        from.selectWholeText();
        from.copy();
        to.paste();
        QCOMPARE(bytesOf(to), bytes);
    }

    void selectWholeText()
    {
        ByteTextEdit edit;
        edit.setBytes("ab\r\ncd\nef");
        edit.selectWholeText();
        const QTextCursor cursor = edit.textCursor();
        QCOMPARE(cursor.selectionStart(), 0);
        QCOMPARE(cursor.selectionEnd(), edit.document()->characterCount() - 1);
        QCOMPARE(cursor.selectedText(), u"ab\u2029cd\u2029ef"_qs);
    }

    // In UTF-8, too, every byte string reads back unchanged, and each block
    // holds whole characters.
    void utf8RoundTrip_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        testing::addUtf8Rows();
        QTest::newRow("every byte") << allBytes();
        QTest::newRow("random bytes") << randomBytes(64 * 1024, 11);
        QTest::newRow("every character") << everyCharacterInUtf8();
        QByteArray emoji;
        for (int i = 0; i < kChunk; ++i) {
            emoji += i % 3 == 0 ? "\xF0\x9F\x98\x80" : "x";
        }
        QTest::newRow("emoji over chunks") << emoji;
    }
    void utf8RoundTrip()
    {
        QFETCH(QByteArray, bytes);
        ByteTextEdit edit;
        edit.setCharset(Charset::Utf8);
        edit.setBytes(view(bytes));
        QCOMPARE(bytesOf(edit), bytes);
        QVERIFY(longestBlock(edit) <= kChunk);
        for (const QString &block : blocksOf(edit)) {
            QVERIFY(block.isEmpty() || !block.front().isLowSurrogate());
        }
    }

    // Read out in steps, as a save does, a large text gives the same bytes (a
    // step never ends inside a surrogate pair), and progress can stop it.
    void bytesInSteps_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("utf8");
        QByteArray lines;
        for (int i = 0; lines.size() < (5 << 20); ++i) {
            lines +=
                QByteArray::number(i) + (i % 3 == 0 ? "\r\n" : "\n") + (i % 7 == 0 ? "\r" : "");
        }
        QTest::newRow("lines of both kinds, lone CRs") << lines << false;
        QByteArray emoji;
        while (emoji.size() < (6 << 20)) {
            emoji += "\xF0\x9F\x98\x80";
        }
        // One of the two puts a pair across the end of a step.
        QTest::newRow("emoji") << emoji << true;
        QTest::newRow("emoji after a letter") << "x" + emoji << true;
    }
    void bytesInSteps()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, utf8);
        ByteTextEdit edit;
        edit.setCharset(utf8 ? Charset::Utf8 : Charset::Windows1252);
        edit.setBytes(view(bytes));
        std::vector<std::size_t> told;
        const std::optional<std::string> read = edit.bytes([&told](std::size_t done, std::size_t) {
            told.push_back(done);
            return true;
        });
        QVERIFY(read);
        QCOMPARE(QByteArray::fromStdString(*read), bytes);
        QVERIFY(told.size() >= 2);
        QVERIFY(std::is_sorted(told.begin(), told.end()));

        int steps = 0;
        QVERIFY(!edit.bytes([&steps](std::size_t, std::size_t) { return ++steps < 2; }));
        QCOMPARE(steps, 2);
    }

    // Switching the charset shows the same bytes anew: no byte changes, it is no
    // edit, and the selection stays on the same bytes.
    void switchingCharsetIsNoEdit()
    {
        ByteTextEdit edit;
        edit.setBytes(view(testing::kUtf8Letter));
        placeCursor(edit, -1);
        typeText(edit, u"x"_qs);
        const QByteArray bytes = bytesOf(edit);
        // Bytes 12 to 15 are "K", then the two bytes of an o umlaut.
        select(edit, 12, 15);
        QSignalSpy changed(&edit, &ByteTextEdit::textChanged);

        edit.setCharset(Charset::Utf8);
        QCOMPARE(edit.charset(), Charset::Utf8);
        QCOMPARE(bytesOf(edit), bytes);
        QCOMPARE(blocksOf(edit).front(), u"Gr\u00FC\u00DFe aus K\u00F6ln"_qs);
        QCOMPARE(edit.textCursor().selectedText(), u"K\u00F6"_qs);
        // Undo would bring back characters typed in the other charset.
        QVERIFY(!edit.document()->isUndoAvailable());

        edit.setCharset(Charset::Windows1252);
        QCOMPARE(bytesOf(edit), bytes);
        QCOMPARE(edit.textCursor().selectedText(), u"K\u00C3\u00B6"_qs);
        QCOMPARE(changed.count(), 0);
    }

    // Chosen by the user, a large text is shown in the other charset in steps
    // behind a progress dialog; cancelled at any step, nothing changes, and
    // otherwise the selection stays on the same bytes and the text is as
    // modified as it was.
    void choosingCharsetInSteps_data()
    {
        QTest::addColumn<int>("cancelAt"); // of the bar's 1000; past it: never
        QTest::newRow("reading out") << 1;
        QTest::newRow("turning into characters") << 201;
        QTest::newRow("filling") << 401;
        QTest::newRow("not cancelled") << 1001;
    }
    void choosingCharsetInSteps()
    {
        QFETCH(int, cancelAt);
        QByteArray bytes;
        // Large enough for two steps of each part of the work, in long lines,
        // so that the document is quickly filled.
        while (bytes.size() < (9 << 19)) {
            bytes += testing::kUtf8Letter + QByteArray(1000, 'x') + "\r\n";
        }
        ByteTextEdit edit;
        edit.show();
        edit.setBytes(view(bytes));
        edit.document()->setModified(true);
        // Bytes 12 to 15 of the last letter, of three lines and a line end, and
        // a long line after it: "K", then the two bytes of an o umlaut.
        const int line =
            edit.document()->findBlockByNumber(edit.document()->blockCount() - 5).position();
        select(edit, line + 12, line + 15);
        QSignalSpy chosen(&edit, &ByteTextEdit::charsetChosen);
        const test::ProgressWatch watch(edit, cancelAt);
        edit.chooseCharset(Charset::Utf8);

        const bool cancelled = cancelAt <= 1000;
        QVERIFY(watch.highest() >= (cancelled ? cancelAt : 1000));
        QCOMPARE(edit.charset(), cancelled ? Charset::Windows1252 : Charset::Utf8);
        QCOMPARE(chosen.count(), cancelled ? 0 : 1);
        QCOMPARE(bytesOf(edit), bytes);
        QCOMPARE(edit.textCursor().selectedText(), cancelled ? u"K\u00C3\u00B6"_qs : u"K\u00F6"_qs);
        QVERIFY(edit.document()->isModified());
        QVERIFY(watch.dialog() == nullptr);
    }

    void switchingKeepsTheHistoryOfTextShownAlike()
    {
        ByteTextEdit edit;
        edit.setBytes("ab");
        placeCursor(edit, -1);
        typeText(edit, u"c"_qs);
        edit.setCharset(Charset::Utf8);
        QCOMPARE(bytesOf(edit), QByteArray("abc"));
        edit.undo();
        QCOMPARE(bytesOf(edit), QByteArray("ab"));
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
            << emoji << 3 << 3 << int(Qt::Key_Backspace) << QString() << QByteArray("ab");
        QTest::newRow("Delete before an emoji")
            << emoji << 1 << 1 << int(Qt::Key_Delete) << QString() << QByteArray("ab");
        QTest::newRow("Backspace after CJK")
            << cjk << 2 << 2 << int(Qt::Key_Backspace) << QString() << cjk.left(3);
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
            << QByteArray("K") << 1 << 1 << none << u"\u00F6"_qs << QByteArray("K\xC3\xB6");
        QTest::newRow("typing Greek")
            << QByteArray("a") << 1 << 1 << none << u"\u03A9"_qs << QByteArray("a\xCE\xA9");
        QTest::newRow("typing an emoji after a mark")
            << QByteArray("\xFF") << 1 << 1 << none << u"\U0001F600"_qs
            << QByteArray("\xFF\xF0\x9F\x98\x80");
        QTest::newRow("typing over a selected emoji") << emoji << 1 << 3 << none << u"\u4E2D"_qs
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
        edit.setBytes(view(before));
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

    // The caret and the selection never stop inside a surrogate pair.
    void arrowsMoveByWholeCharacters()
    {
        ByteTextEdit edit;
        edit.setCharset(Charset::Utf8);
        edit.setBytes("a\xF0\x9F\x98\x80"
                      "b");
        placeCursor(edit, 1);
        QTest::keyClick(&edit, Qt::Key_Right, Qt::ShiftModifier);
        QCOMPARE(edit.textCursor().selectedText(), u"\U0001F600"_qs);
        QTest::keyClick(&edit, Qt::Key_Left);
        QTest::keyClick(&edit, Qt::Key_Right);
        QTest::keyClick(&edit, Qt::Key_Left);
        QCOMPARE(edit.textCursor().position(), 1);
    }

    void pasteAndCopyInUtf8_data()
    {
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("Greek, CJK and an emoji")
            << u"\u039A\u03B1\n\u4F60\U0001F600"_qs
            << QByteArray("\xCE\x9A\xCE\xB1\r\n\xE4\xBD\xA0\xF0\x9F\x98\x80");
        QTest::newRow("marks and pictures")
            << displaytext::byteMark(0xFF) + u"\u2400"_qs + displaytext::byteMark(0xC3)
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
        edit.setBytes("a\xE4"
                      "b");
        edit.show();
        QVERIFY(QTest::qWaitForWindowExposed(&edit));
        QCoreApplication::processEvents();
        const auto caretAt = [&edit](int position) {
            QTextCursor cursor(edit.document());
            cursor.setPosition(position);
            return edit.cursorRect(cursor);
        };
        const QRect before = caretAt(1);
        const QRect after = caretAt(2);
        QVERIFY(after.left() - before.left() >= edit.fontMetrics().horizontalAdvance(u"E4"_qs));
        const auto tipAt = [&edit](QPoint at) {
            QHelpEvent help(QEvent::ToolTip, at, edit.viewport()->mapToGlobal(at));
            QApplication::sendEvent(edit.viewport(), &help);
            return QToolTip::isVisible() ? QToolTip::text() : QString();
        };
        QCOMPARE(tipAt(QPoint(caretAt(0).left() + 2, before.center().y())), QString());
        QVERIFY(tipAt(QPoint((before.left() + after.left()) / 2, before.center().y()))
                    .contains(u"E4"_qs));
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
        edit.setBytes(view(testing::kUtf8Letter));
        QSignalSpy changed(&edit, &ByteTextEdit::textChanged);
        QSignalSpy chosen(&edit, &ByteTextEdit::charsetChosen);
        const QString entry = u"Character &Set"_qs;
        if (byMenu) {
            QStringList checked;
            const QStringList entries = contextMenuEntries(edit, entry, u"&UTF-8"_qs, &checked);
            QCOMPARE(entries.contains(entry), offered);
            // The area's own entries stay.
            QVERIFY(!entries.filter(u"&Paste"_qs).isEmpty());
            QCOMPARE(checked, offered ? QStringList{u"&Windows-1252"_qs} : QStringList());
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
        edit.setBytes("one\r\ntwo" + longLine(3 * kChunk).toStdString());
        edit.moveCursor(QTextCursor::End);
        QTest::keyRelease(&edit, Qt::Key_A, modifiers);
        const QTextCursor cursor = edit.textCursor();
        QCOMPARE(cursor.hasSelection() && cursor.selectionStart() == 0 &&
                     cursor.selectionEnd() == edit.document()->characterCount() - 1,
                 selects);
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

    // An area shows its selection only while it has the focus, also when its
    // palette is set from outside.
    void selectionShowsOnlyWithTheFocus()
    {
        QWidget window;
        auto *area = new ByteTextEdit(&window);
        auto *other = new QLineEdit(&window);
        area->resize(200, 100);
        other->move(0, 120);
        area->setPalette(QApplication::palette());
        area->setBytes("selected text");
        area->selectWholeText();
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        const QRgb highlight = area->palette().color(QPalette::Active, QPalette::Highlight).rgb();
        const auto showsSelection = [area, highlight] {
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
        other->setFocus();
        QVERIFY(!showsSelection());
        area->setFocus();
        QVERIFY(showsSelection());
        other->setFocus();
        QVERIFY(!showsSelection());
    }

    void droppedFile_data()
    {
        QTest::addColumn<QList<QUrl>>("urls");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("emitted");
        QTest::addColumn<QByteArray>("after");
        const QUrl file = QUrl::fromLocalFile(u"/tmp/some file.txt"_qs);
        const QUrl other = QUrl::fromLocalFile(u"/tmp/other.txt"_qs);
        QTest::newRow("one local file")
            << QList<QUrl>{file} << QString() << QStringList{u"/tmp/some file.txt"_qs}
            << QByteArray("old");
        QTest::newRow("one local file with its path as text")
            << QList<QUrl>{file} << u"/tmp/some file.txt"_qs
            << QStringList{u"/tmp/some file.txt"_qs} << QByteArray("old");
        QTest::newRow("two files")
            << QList<QUrl>{file, other} << QString() << QStringList() << QByteArray("old");
        QTest::newRow("a file and a web address")
            << QList<QUrl>{file, QUrl(u"https://example.org/a.txt"_qs)} << QString()
            << QStringList() << QByteArray("old");
        QTest::newRow("a web address goes in as text")
            << QList<QUrl>{QUrl(u"https://example.org/a.txt"_qs)} << QString() << QStringList()
            << QByteArray("https://example.org/a.txtold");
        QTest::newRow("text") << QList<QUrl>() << QString(u"n\u00E9w\n"_qs + kCjk) << QStringList()
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
        edit.setBytes("old");
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
        mime.setUrls({QUrl::fromLocalFile(u"/tmp/a.txt"_qs)});
        Qt::DropAction taken = Qt::IgnoreAction;
        QVERIFY(drop(edit, mime, Qt::CopyAction | Qt::MoveAction, &taken));
        QCOMPARE(taken, Qt::CopyAction);
        QCOMPARE(dropped.count(), 1);
    }

    void otherAreaKeepsItsHistory()
    {
        ByteTextEdit typedInto;
        ByteTextEdit rewritten;
        typeText(typedInto, u"x"_qs);
        rewritten.setBytes("translated");
        QVERIFY(typedInto.document()->isUndoAvailable());
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
        QTest::newRow("every byte") << allBytes() << QByteArray();
        QTest::newRow("long line") << everyCodeInOneLine(5 * kChunk + 3) << longLine(2 * kChunk);
    }
    void replacementUndoes()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        ByteTextEdit edit;
        edit.setBytes(view(before), ByteTextEdit::History::Fresh);
        QVERIFY(!edit.isUndoAvailable());
        edit.setBytes(view(after));
        QVERIFY(edit.isUndoAvailable());
        for (int round = 0; round < 2; ++round) {
            QTest::keyClick(&edit, Qt::Key_Z, Qt::ControlModifier);
            QCOMPARE(bytesOf(edit), before);
            QVERIFY(!edit.isUndoAvailable());
            QTest::keyClick(&edit, Qt::Key_Y, Qt::ControlModifier);
            QCOMPARE(bytesOf(edit), after);
        }
    }

    // Typing, replacing and undoing interleave as one history: undo goes back
    // through the typing after a replacement, then the replacement, then the
    // typing before it.
    void editsAndReplacementsShareOneHistory()
    {
        ByteTextEdit edit;
        typeText(edit, u"a"_qs);
        typeText(edit, u"b"_qs);
        edit.setBytes("new");
        placeCursor(edit, -1);
        typeText(edit, u"!"_qs);
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
        using History = ByteTextEdit::History;
        ByteTextEdit edit;
        edit.setBytes("typed", History::Fresh);
        for (const char *text : {"t", "tr", "tra"}) {
            edit.setBytes(text, History::Automatic);
        }
        placeCursor(edit, -1);
        typeText(edit, u"!"_qs);
        edit.setBytes("next", History::Automatic);
        edit.setBytes("nexts", History::Automatic);
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
        edit.setBytes("old", ByteTextEdit::History::Fresh);
        edit.setBytes("new");
        edit.undo();
        placeCursor(edit, -1);
        typeText(edit, u"s"_qs);
        QVERIFY(!edit.isRedoAvailable());
        edit.redo();
        QCOMPARE(bytesOf(edit), QByteArray("olds"));

        edit.setBytes("start", ByteTextEdit::History::Fresh);
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

        // Two texts over the characters' limit: only the latest stays.
        const std::string large(60, 'x');
        edit.setBytes(large);
        edit.setBytes(large + "y");
        edit.setBytes("small");
        edit.undo();
        QCOMPARE(bytesOf(edit), QByteArray::fromStdString(large + "y"));
        QVERIFY(!edit.isUndoAvailable());
    }

    void contextMenuUndoesReplacements()
    {
        ByteTextEdit edit;
        edit.setBytes("before", ByteTextEdit::History::Fresh);
        edit.setBytes("after");
        edit.show();
        QVERIFY(QTest::qWaitForWindowExposed(&edit));
        QAction *chosen = nullptr;
        QTimer::singleShot(0, &edit, [&chosen] {
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            QVERIFY(menu);
            for (QAction *action : menu->actions()) {
                if (action->objectName() == u"edit-undo") {
                    chosen = action;
                }
            }
            QVERIFY(chosen && chosen->isEnabled());
            chosen->trigger();
            menu->close();
        });
        QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(5, 5),
                                edit.viewport()->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(edit.viewport(), &event);
        QVERIFY(chosen);
        QCOMPARE(bytesOf(edit), QByteArray("before"));
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
        typeText(edit, u"a"_qs);
        typeText(edit, u"\u00E9"_qs);
        QCOMPARE(edit.displayText(), u"**"_qs);
        QCOMPARE(bytesOf(edit), QByteArray("a\xE9"));
    }
};

QTEST_MAIN(TestByteWidgets)
#include "tst_bytetextedit.moc"

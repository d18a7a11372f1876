// Tests of what an assistive technology sees of a text area: its role, state
// and name, and no value; its text as shown, offsets counted in characters
// shown (a CR LF is one '\n', a UTF-8 character one character, not its bytes);
// the caret, the selection and the boundaries of words, rows on screen and
// lines; where characters are on screen; edits through the interface, which
// are the user's own; and the events that tell it of typing, of the caret and
// the selection moving (in characters), of the charset shown changing, and of
// characters left out.
#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>

#include <QAccessible>
#include <QAccessibleEditableTextInterface>
#include <QAccessibleTextInterface>
#include <QApplication>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QTest>
#include <QtGui/private/qguiapplication_p.h>
#include <QtGui/qpa/qplatformaccessibility.h>
#include <QtGui/qpa/qplatformintegration.h>

#include "ui/text/accessibletextarea.h"
#include "ui/text/bytetextedit.h"

using namespace lorimand;
using namespace Qt::StringLiterals;
using displaytext::Charset;

namespace {

[[nodiscard]] QByteArray bytesOf(const ByteTextEdit &area)
{
    return QByteArray::fromStdString(area.bytes());
}

void fill(ByteTextEdit &area, const QByteArray &bytes)
{
    area.setBytes(bytes.toStdString(), ByteTextEdit::History::Fresh);
}

[[nodiscard]] QAccessibleInterface *accessibleOf(ByteTextEdit &area)
{
    return QAccessible::queryAccessibleInterface(&area);
}

[[nodiscard]] QAccessibleTextInterface *textOf(ByteTextEdit &area)
{
    QAccessibleInterface *accessible = accessibleOf(area);
    return accessible != nullptr ? accessible->textInterface() : nullptr;
}

// Turns accessibility on or off as a screen reader's bridge does: QAccessible
// itself has no public switch for it.
void setAccessible(bool active)
{
    QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(active);
}

// The text events of one area, each as a line: "insert 2 x", "remove 1 \n",
// "update 0 ab>c", "caret 3", "selection 1 4"; and alerts from anywhere, as
// "alert tip WORDS" for one from a tool tip with those words.
QObject *watched = nullptr;
QStringList heard;

void hear(QAccessibleEvent *event)
{
    if (event->type() == QAccessible::Alert) {
        QAccessibleInterface *from = event->accessibleInterface();
        heard << u"alert %1 %2"_s.arg(from->role() == QAccessible::ToolTip ? u"tip"_s : u"other"_s,
                                      from->text(QAccessible::Name));
        return;
    }
    if (event->object() != watched) {
        return;
    }
    switch (event->type()) {
    case QAccessible::TextInserted: {
        const auto *inserted = static_cast<QAccessibleTextInsertEvent *>(event);
        heard << u"insert %1 %2"_s.arg(inserted->changePosition()).arg(inserted->textInserted());
        break;
    }
    case QAccessible::TextRemoved: {
        const auto *removed = static_cast<QAccessibleTextRemoveEvent *>(event);
        heard << u"remove %1 %2"_s.arg(removed->changePosition()).arg(removed->textRemoved());
        break;
    }
    case QAccessible::TextUpdated: {
        const auto *updated = static_cast<QAccessibleTextUpdateEvent *>(event);
        heard << u"update %1 %2>%3"_s.arg(updated->changePosition())
                     .arg(updated->textRemoved(), updated->textInserted());
        break;
    }
    case QAccessible::TextCaretMoved:
        heard << u"caret %1"_s.arg(
            static_cast<QAccessibleTextCursorEvent *>(event)->cursorPosition());
        break;
    case QAccessible::TextSelectionChanged: {
        const auto *selected = static_cast<QAccessibleTextSelectionEvent *>(event);
        heard << u"selection %1 %2"_s.arg(selected->selectionStart()).arg(selected->selectionEnd());
        break;
    }
    default:
        break;
    }
}

// One text of each kind of line break, control and UTF-8 character.
const QByteArray kMixed = "ab\r\ncd\ne\x01\rf";
const QString kMixedShown = u"ab\ncd\ne\u2401\u240Df"_s;

} // namespace

class TestAccessibleTextArea : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { installAccessibleTextArea(); }

    void cleanup()
    {
        QAccessible::installUpdateHandler(nullptr);
        setAccessible(false);
        watched = nullptr;
        heard.clear();
    }

    // The area is an editable text unless it is read-only, named as the window names it.
    void roleStateAndName_data()
    {
        QTest::addColumn<bool>("readOnly");
        QTest::newRow("editable") << false;
        QTest::newRow("read-only") << true;
    }
    void roleStateAndName()
    {
        QFETCH(bool, readOnly);
        ByteTextEdit area;
        area.setAccessibleName(u"Encoded Text"_s);
        area.setReadOnly(readOnly);
        QAccessibleInterface *accessible = accessibleOf(area);
        QVERIFY(accessible != nullptr);
        QCOMPARE(accessible->role(), QAccessible::EditableText);
        QCOMPARE(accessible->text(QAccessible::Name), u"Encoded Text"_s);
        const QAccessible::State state = accessible->state();
        QVERIFY(state.multiLine);
        QVERIFY(state.focusable);
        QVERIFY(state.selectableText);
        QCOMPARE(bool(state.editable), !readOnly);
        QCOMPARE(bool(state.readOnly), readOnly);
        QVERIFY(accessible->textInterface() != nullptr);
        QVERIFY(accessible->editableTextInterface() != nullptr);
        QVERIFY(accessible->valueInterface() == nullptr);
    }

    void focusedState()
    {
        ByteTextEdit area;
        area.show();
        area.activateWindow();
        area.setFocus();
        QVERIFY(QTest::qWaitForWindowActive(&area));
        QTRY_VERIFY(area.hasFocus());
        QVERIFY(accessibleOf(area)->state().focused);
    }

    // The text is the characters shown, '\n' for each line break; a CR LF is one character.
    void textAsShown_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<Charset>("charset");
        QTest::addColumn<QString>("shown");
        QTest::newRow("breaks and pictures") << kMixed << Charset::Windows1252 << kMixedShown;
        QTest::newRow("8-bit") << QByteArray("\xE9t\xE9\r\n\x80") << Charset::Windows1252
                               << u"\u00E9t\u00E9\n\u20AC"_s;
        QTest::newRow("UTF-8") << QByteArray("\xC3\xA9t\xC3\xA9\r\n\xE2\x82\xAC") << Charset::Utf8
                               << u"\u00E9t\u00E9\n\u20AC"_s;
        QTest::newRow("UTF-8 read as 8-bit")
            << QByteArray("\xC3\xA9\n") << Charset::Windows1252 << u"\u00C3\u00A9\n"_s;
        QTest::newRow("empty") << QByteArray() << Charset::Windows1252 << QString();
    }
    void textAsShown()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(Charset, charset);
        QFETCH(QString, shown);
        ByteTextEdit area;
        area.setCharset(charset);
        fill(area, bytes);
        QAccessibleTextInterface *text = textOf(area);
        QVERIFY(text != nullptr);
        QCOMPARE(text->characterCount(), shown.size());
        QCOMPARE(text->text(0, text->characterCount()), shown);
        for (int from = 0; from <= shown.size(); ++from) {
            for (int to = from; to <= shown.size(); ++to) {
                QCOMPARE(text->text(from, to), shown.mid(from, to - from));
            }
        }
    }

    // The caret and the selection in characters: the bytes of a CR LF or of a
    // UTF-8 character before them count one.
    void caretAndSelection_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<Charset>("charset");
        QTest::addColumn<int>("caret");  // in bytes
        QTest::addColumn<int>("offset"); // in characters
        QTest::newRow("after a CR LF") << QByteArray("a\r\nb") << Charset::Windows1252 << 3 << 2;
        QTest::newRow("after two CR LF")
            << QByteArray("\r\n\r\nxy") << Charset::Windows1252 << 5 << 3;
        QTest::newRow("after an LF") << QByteArray("a\nb") << Charset::Windows1252 << 2 << 2;
        QTest::newRow("after a lone CR") << QByteArray("a\rb") << Charset::Windows1252 << 2 << 2;
        QTest::newRow("UTF-8 characters")
            << QByteArray("\xC3\xA9\xE2\x82\xACx") << Charset::Utf8 << 5 << 2;
        QTest::newRow("the same bytes in 8-bit")
            << QByteArray("\xC3\xA9\xE2\x82\xACx") << Charset::Windows1252 << 5 << 5;
        QTest::newRow("UTF-8 after a break")
            << QByteArray("\xC3\xA9\r\n\xC3\xA9x") << Charset::Utf8 << 6 << 3;
    }
    void caretAndSelection()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(Charset, charset);
        QFETCH(int, caret);
        QFETCH(int, offset);
        ByteTextEdit area;
        area.setCharset(charset);
        fill(area, bytes);
        QAccessibleTextInterface *text = textOf(area);

        area.setSelection(0, static_cast<std::size_t>(caret));
        QCOMPARE(text->cursorPosition(), offset);
        QCOMPARE(text->selectionCount(), 1);
        int start = -1;
        int end = -1;
        text->selection(0, &start, &end);
        QCOMPARE(start, 0);
        QCOMPARE(end, offset);

        text->removeSelection(0);
        QCOMPARE(text->selectionCount(), 0);
        QCOMPARE(area.cursorPosition(), std::size_t(caret));

        text->setCursorPosition(0);
        QCOMPARE(area.cursorPosition(), std::size_t{0});
        text->setCursorPosition(offset);
        QCOMPARE(area.cursorPosition(), std::size_t(caret));
        QVERIFY(!area.hasSelection());

        text->setSelection(0, offset, 0);
        QCOMPARE(area.selection().anchor, std::size_t(caret));
        QCOMPARE(area.selection().position, std::size_t{0});
        text->addSelection(0, offset);
        QCOMPARE(area.selectionStart(), std::size_t{0});
        QCOMPARE(area.selectionEnd(), std::size_t(caret));
    }

    // Words, lines and characters around an offset; a line ends with its break.
    void boundaries_data()
    {
        QTest::addColumn<QAccessible::TextBoundaryType>("type");
        QTest::addColumn<char>("side"); // <, = or >
        QTest::addColumn<int>("offset");
        QTest::addColumn<QString>("found");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("end");
        // "one two\nthree four\nfive", from "one two\r\nthree four\nfive"
        QTest::newRow("word at") << QAccessible::WordBoundary << '=' << 1 << u"one"_s << 0 << 3;
        QTest::newRow("word after break")
            << QAccessible::WordBoundary << '=' << 9 << u"three"_s << 8 << 13;
        QTest::newRow("line at") << QAccessible::LineBoundary << '=' << 1 << u"one two\n"_s << 0
                                 << 8;
        QTest::newRow("line at second")
            << QAccessible::LineBoundary << '=' << 10 << u"three four\n"_s << 8 << 19;
        QTest::newRow("line before")
            << QAccessible::LineBoundary << '<' << 10 << u"one two\n"_s << 0 << 8;
        QTest::newRow("line after")
            << QAccessible::LineBoundary << '>' << 1 << u"three four\n"_s << 8 << 19;
        QTest::newRow("last line at the end")
            << QAccessible::LineBoundary << '=' << -1 << u"five"_s << 19 << 23;
        QTest::newRow("word at the end")
            << QAccessible::WordBoundary << '=' << 23 << u"five"_s << 19 << 23;
        QTest::newRow("sentence at the end")
            << QAccessible::SentenceBoundary << '=' << -1 << u"five"_s << 19 << 23;
        QTest::newRow("paragraph at")
            << QAccessible::ParagraphBoundary << '=' << 20 << u"five"_s << 19 << 23;
        QTest::newRow("the CR LF is one character")
            << QAccessible::CharBoundary << '=' << 7 << u"\n"_s << 7 << 8;
        QTest::newRow("character after it")
            << QAccessible::CharBoundary << '>' << 7 << u"t"_s << 8 << 9;
        QTest::newRow("whole text")
            << QAccessible::NoBoundary << '=' << 3 << u"one two\nthree four\nfive"_s << 0 << 23;
    }
    void boundaries()
    {
        QFETCH(QAccessible::TextBoundaryType, type);
        QFETCH(char, side);
        QFETCH(int, offset);
        QFETCH(QString, found);
        QFETCH(int, start);
        QFETCH(int, end);
        // Wide enough that no line wraps: each line is one row.
        ByteTextEdit area;
        area.resize(600, 200);
        fill(area, "one two\r\nthree four\nfive");
        area.show();
        QVERIFY(QTest::qWaitForWindowExposed(&area));
        QAccessibleTextInterface *text = textOf(area);
        int gotStart = -2;
        int gotEnd = -2;
        const QString got = side == '<'   ? text->textBeforeOffset(offset, type, &gotStart, &gotEnd)
                            : side == '>' ? text->textAfterOffset(offset, type, &gotStart, &gotEnd)
                                          : text->textAtOffset(offset, type, &gotStart, &gotEnd);
        QCOMPARE(got, found);
        QCOMPARE(gotStart, start);
        QCOMPARE(gotEnd, end);
    }

    // In a text far longer than the stretch the area reads around an offset,
    // every answer is the one the whole text gives: long lines, a long word,
    // and lines of every length in between. (Rows, which the whole text alone
    // does not give, are in rows.)
    void boundariesInLongText()
    {
        QString shown;
        QByteArray bytes;
        const auto add = [&](const QString &part) {
            shown += part;
            bytes += part.toLatin1().replace('\n', "\r\n");
        };
        add(QString(9000, u'w') + u" tail.\n"_s);
        for (int line = 0; line < 40; ++line) {
            add(QString(line * 37 % 200, u'x') + u" a b. c\n"_s);
        }
        add(QString(3000, u'y') + u"\n\n"_s);
        for (int word = 0; word < 2000; ++word) {
            add(u"word%1 "_s.arg(word));
        }
        ByteTextEdit area;
        fill(area, bytes);
        QAccessibleTextInterface *text = textOf(area);
        QCOMPARE(text->characterCount(), shown.size());
        const AccessibleStretch whole(shown);
        using Query = QString (QAccessibleTextInterface::*)(int, QAccessible::TextBoundaryType,
                                                            int *, int *) const;
        const Query queries[] = {&QAccessibleTextInterface::textBeforeOffset,
                                 &QAccessibleTextInterface::textAtOffset,
                                 &QAccessibleTextInterface::textAfterOffset};
        const int size = static_cast<int>(shown.size());
        QList<int> offsets = {0, 1, 4500, 8999, 9000, 9005, 9006, 9007, size - 1, size, -1};
        for (int offset = 9007; offset < size; offset += 997) {
            offsets << offset;
        }
        for (const QAccessible::TextBoundaryType type :
             {QAccessible::CharBoundary, QAccessible::WordBoundary, QAccessible::SentenceBoundary,
              QAccessible::ParagraphBoundary}) {
            for (const Query query : queries) {
                for (const int offset : offsets) {
                    int start = 0;
                    int end = 0;
                    int wholeStart = 0;
                    int wholeEnd = 0;
                    // Qt's own answer for a word or sentence at the very end can search
                    // forever; that end has rows of its own in boundaries.
                    const bool atEnd = offset == size || offset == -1;
                    if (atEnd && query == queries[1] &&
                        (type == QAccessible::WordBoundary ||
                         type == QAccessible::SentenceBoundary)) {
                        continue;
                    }
                    const QString got = (text->*query)(offset, type, &start, &end);
                    const QString expected = (whole.*query)(offset, type, &wholeStart, &wholeEnd);
                    const QByteArray where =
                        QByteArray::number(type) + " at " + QByteArray::number(offset);
                    QVERIFY2(got == expected, where.constData());
                    QVERIFY2(start == wholeStart && end == wholeEnd, where.constData());
                }
            }
        }
    }

    // A line is a row on screen, as the area wraps it: from its start to the
    // next row's, so that a row wrapped at a blank holds the blank and the last
    // row of a line its line break. Each row lists the rows of a text shown in
    // a font of one width, in an area as wide as its longest row without its
    // blanks; every offset of the text is asked for its row, the row before
    // and the row after, and each row is one row of boxes on screen.
    void rows_data()
    {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<Charset>("charset");
        QTest::addColumn<QByteArray>("lineBreak"); // the bytes of each '\n'
        const auto add = [](const char *name, const QStringList &rows,
                            Charset charset = Charset::Windows1252,
                            const QByteArray &lineBreak = "\r\n") {
            QTest::newRow(name) << rows << charset << lineBreak;
        };
        add("words wrapped at blanks", {u"one two "_s, u"three "_s, u"four\n"_s, u"five"_s});
        add("LF breaks", {u"one two "_s, u"three\n"_s, u"\n"_s, u"four"_s}, Charset::Windows1252,
            "\n");
        add("a word longer than a row", {u"abcdefg"_s, u"hij "_s, u"klmnop"_s});
        add("a final line break", {u"abc "_s, u"de\n"_s, u""_s});
        add("one row", {u"abc"_s});
        add("empty", {QString()});
        add("UTF-8", {u"\u00E9t\u00E9 "_s, u"\u20AC\u20AC\u20AC\n"_s, u"x"_s}, Charset::Utf8);
        // Pictures may be wider than the other characters: the rows leave room.
        add("control pictures", {u"abcdef "_s, u"\u240Dc\u2401 "_s, u"ghijkl"_s});
    }
    void rows()
    {
        QFETCH(QStringList, rows);
        QFETCH(Charset, charset);
        QFETCH(QByteArray, lineBreak);
        const QString shown = rows.join(QString());
        std::string bytes;
        const QStringList lines = shown.split(u'\n');
        for (qsizetype line = 0; line < lines.size(); ++line) {
            if (line > 0) {
                bytes += lineBreak.toStdString();
            }
            displaytext::appendBytes(lines[line], bytes, charset);
        }
        ByteTextEdit area;
        area.setCharset(charset);
        area.setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
        area.setBytes(bytes, ByteTextEdit::History::Fresh);
        QCOMPARE(area.shownText(), shown);
        area.show();
        QVERIFY(QTest::qWaitForWindowExposed(&area));
        // As wide as the longest row without its blanks and line break, and half a character.
        qsizetype longest = 0;
        for (const QString &row : rows) {
            longest = std::max(longest, row.trimmed().size());
        }
        const qreal advance = QFontMetricsF(area.font()).horizontalAdvance(u'x');
        const int textWidth =
            static_cast<int>(std::ceil((static_cast<qreal>(longest) + 0.5) * advance));
        area.resize(area.width() - area.viewport()->width() + textWidth +
                        2 * static_cast<int>(TextViewport::kMargin),
                    300);
        QCOMPARE(area.layouts().width(), static_cast<qreal>(textWidth));

        QAccessibleTextInterface *text = textOf(area);
        QCOMPARE(text->characterCount(), shown.size());
        QList<int> starts;
        int at = 0;
        for (const QString &row : rows) {
            starts << at;
            at += static_cast<int>(row.size());
        }
        const auto rowOf = [&](int offset) {
            int index = static_cast<int>(starts.size()) - 1;
            while (starts[index] > offset) {
                --index;
            }
            return index;
        };
        using Query = QString (QAccessibleTextInterface::*)(int, QAccessible::TextBoundaryType,
                                                            int *, int *) const;
        const std::pair<Query, int> queries[] = {
            {&QAccessibleTextInterface::textBeforeOffset, -1},
            {&QAccessibleTextInterface::textAtOffset, 0},
            {&QAccessibleTextInterface::textAfterOffset, 1},
        };
        for (int offset = -1; offset <= shown.size(); ++offset) {
            const int row = rowOf(offset < 0 ? static_cast<int>(shown.size()) : offset);
            for (const auto &[query, step] : queries) {
                int start = -2;
                int end = -2;
                const QString got = (text->*query)(offset, QAccessible::LineBoundary, &start, &end);
                const int wanted = row + step;
                const QByteArray where =
                    "offset " + QByteArray::number(offset) + ", row " + QByteArray::number(step);
                if (wanted < 0 || wanted >= rows.size()) {
                    QVERIFY2(got.isEmpty() && start == -1 && end == -1, where.constData());
                    continue;
                }
                QVERIFY2(got == rows[wanted], where.constData());
                QVERIFY2(start == starts[wanted], where.constData());
                QVERIFY2(end == starts[wanted] + rows[wanted].size(), where.constData());
            }
        }
        // The rows are the rows on screen: each character of a row, its line
        // break aside, sits on the row's line of boxes, below the row before.
        int lastTop = -1;
        for (qsizetype row = 0; row < rows.size(); ++row) {
            const QString characters = rows[row].chopped(rows[row].endsWith(u'\n') ? 1 : 0);
            if (characters.isEmpty()) {
                continue;
            }
            const int top = text->characterRect(starts[row]).top();
            QVERIFY(top > lastTop);
            for (int offset = starts[row]; offset < starts[row] + characters.size(); ++offset) {
                QCOMPARE(text->characterRect(offset).top(), top);
            }
            lastTop = top;
        }
    }

    // A character on screen has a box on the screen, and the point at its
    // middle finds it again; one off screen has none.
    void characterOnScreen()
    {
        ByteTextEdit area;
        area.resize(300, 200);
        QByteArray bytes = "hello\r\nw\x01rld\n";
        for (int line = 0; line < 200; ++line) {
            bytes += "more\n";
        }
        bytes += "end";
        fill(area, bytes);
        area.show();
        QVERIFY(QTest::qWaitForWindowExposed(&area));
        QAccessibleTextInterface *text = textOf(area);
        QAccessibleInterface *accessible = accessibleOf(area);
        const QRect screen = accessible->rect();
        for (int offset = 0; offset < 11; ++offset) {
            const QRect box = text->characterRect(offset);
            QVERIFY2(!box.isEmpty(), QByteArray::number(offset).constData());
            QVERIFY(screen.contains(box.center()));
            QCOMPARE(text->offsetAtPoint(box.center()), offset);
        }
        // 'w' is below 'h', right after the CR LF.
        QVERIFY(text->characterRect(6).top() > text->characterRect(0).bottom());
        QCOMPARE(text->characterRect(6).left(), text->characterRect(0).left());
        QVERIFY(text->characterRect(text->characterCount() - 1).isEmpty());
        QCOMPARE(text->offsetAtPoint(screen.topLeft() - QPoint(5, 5)), -1);

        // Scrolling to the end brings it on screen.
        text->scrollToSubstring(text->characterCount() - 3, text->characterCount());
        const QRect last = text->characterRect(text->characterCount() - 1);
        QVERIFY(!last.isEmpty());
        QCOMPARE(text->offsetAtPoint(last.center()), text->characterCount() - 1);
        QCOMPARE(area.cursorPosition(), std::size_t{0}); // the caret stays
    }

    // Edits through the interface change the bytes as typing would: line
    // breaks of the text's kind, characters the set cannot hold left out, and
    // one step that undo takes back.
    void editing_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<Charset>("charset");
        QTest::addColumn<QString>("operation");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("end");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("edited");
        QTest::newRow("insert a break into CR LF text")
            << QByteArray("a\r\nb") << Charset::Windows1252 << u"insert"_s << 1 << 1 << u"x\ny"_s
            << QByteArray("ax\r\ny\r\nb");
        QTest::newRow("insert a break into LF text")
            << QByteArray("a\nb") << Charset::Windows1252 << u"insert"_s << 0 << 0 << u"\n"_s
            << QByteArray("\na\nb");
        QTest::newRow("insert after a CR LF")
            << QByteArray("a\r\nb") << Charset::Windows1252 << u"insert"_s << 2 << 2 << u"z"_s
            << QByteArray("a\r\nzb");
        QTest::newRow("delete a CR LF") << QByteArray("a\r\nb") << Charset::Windows1252
                                        << u"delete"_s << 1 << 2 << QString() << QByteArray("ab");
        QTest::newRow("delete backwards") << QByteArray("abcd") << Charset::Windows1252
                                          << u"delete"_s << 3 << 1 << QString() << QByteArray("ad");
        QTest::newRow("replace with 8-bit characters")
            << QByteArray("abc") << Charset::Windows1252 << u"replace"_s << 0 << 1
            << u"\u00E9\u20AC"_s
            << QByteArray("\xE9\x80"
                          "bc");
        QTest::newRow("a character the set cannot hold")
            << QByteArray("b") << Charset::Windows1252 << u"insert"_s << 0 << 0 << u"x\u4E2Dy"_s
            << QByteArray("xyb");
        QTest::newRow("a control becomes its byte")
            << QByteArray("b") << Charset::Windows1252 << u"insert"_s << 1 << 1 << u"\u2401"_s
            << QByteArray("b\x01");
        QTest::newRow("UTF-8 insert") << QByteArray("\xC3\xA9") << Charset::Utf8 << u"insert"_s << 1
                                      << 1 << u"\u4E2D"_s << QByteArray("\xC3\xA9\xE4\xB8\xAD");
        QTest::newRow("UTF-8 delete a character")
            << QByteArray("\xC3\xA9x\xE2\x82\xAC") << Charset::Utf8 << u"delete"_s << 0 << 1
            << QString() << QByteArray("x\xE2\x82\xAC");
        QTest::newRow("UTF-8 replace")
            << QByteArray("\xC3\xA9x\xE2\x82\xAC") << Charset::Utf8 << u"replace"_s << 2 << 3
            << u"y"_s << QByteArray("\xC3\xA9xy");
    }
    void editing()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(Charset, charset);
        QFETCH(QString, operation);
        QFETCH(int, start);
        QFETCH(int, end);
        QFETCH(QString, text);
        QFETCH(QByteArray, edited);
        ByteTextEdit area;
        area.setCharset(charset);
        fill(area, bytes);
        QAccessibleEditableTextInterface *editable = accessibleOf(area)->editableTextInterface();
        if (operation == u"insert") {
            editable->insertText(start, text);
        } else if (operation == u"delete") {
            editable->deleteText(start, end);
        } else {
            editable->replaceText(start, end, text);
        }
        QCOMPARE(bytesOf(area), edited);
        QVERIFY(area.isUndoAvailable());
        area.undo();
        QCOMPARE(bytesOf(area), bytes);
        QVERIFY(!area.isUndoAvailable());
    }

    // A read-only area takes no edit from an assistive technology.
    void readOnlyTakesNoEdit()
    {
        ByteTextEdit area;
        fill(area, "help");
        area.setReadOnly(true);
        QAccessibleInterface *accessible = accessibleOf(area);
        accessible->editableTextInterface()->insertText(0, u"x"_s);
        accessible->editableTextInterface()->deleteText(0, 2);
        accessible->editableTextInterface()->replaceText(0, 2, u"x"_s);
        accessible->setText(QAccessible::Value, u"x"_s);
        QCOMPARE(bytesOf(area), QByteArray("help"));
    }

    // The area has no value: a platform that reads a value as a number (as
    // AT-SPI does) would write a number over the text. What is written as a
    // value changes nothing.
    void noValue_data()
    {
        QTest::addColumn<QString>("written");
        QTest::newRow("a number") << u"7"_s;
        QTest::newRow("a number with a fraction") << u"7.0"_s;
        QTest::newRow("text") << u"x\ny"_s;
        QTest::newRow("nothing") << QString();
    }
    void noValue()
    {
        QFETCH(QString, written);
        ByteTextEdit area;
        fill(area, "a\r\nb\x01");
        QAccessibleInterface *accessible = accessibleOf(area);
        QVERIFY(accessible->valueInterface() == nullptr);
        QVERIFY(accessible->interface_cast(QAccessible::ValueInterface) == nullptr);
        accessible->setText(QAccessible::Value, written);
        QCOMPARE(bytesOf(area), QByteArray("a\r\nb\x01"));
        QVERIFY(!area.isUndoAvailable());
        QVERIFY(accessible->text(QAccessible::Value).isEmpty());
        QCOMPARE(textOf(area)->text(0, 4), u"a\nb\u2401"_s);
    }

    // While an assistive technology listens, the area tells it what typing,
    // deleting and undo change, where, and where the caret went.
    void events_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("caret"); // in bytes
        QTest::addColumn<std::function<void(ByteTextEdit &)>>("action");
        QTest::addColumn<QStringList>("events");
        const auto key = [](Qt::Key pressed, Qt::KeyboardModifiers modifiers = {}) {
            return std::function<void(ByteTextEdit &)>(
                [=](ByteTextEdit &area) { QTest::keyClick(&area, pressed, modifiers); });
        };
        QTest::newRow("typing after a CR LF") << QByteArray("a\r\nb") << 3 << key(Qt::Key_X)
                                              << QStringList{u"insert 2 x"_s, u"caret 3"_s};
        QTest::newRow("Enter in CR LF text") << QByteArray("a\r\nb") << 1 << key(Qt::Key_Return)
                                             << QStringList{u"insert 1 \n"_s, u"caret 2"_s};
        QTest::newRow("Backspace") << QByteArray("ab") << 2 << key(Qt::Key_Backspace)
                                   << QStringList{u"remove 1 b"_s, u"caret 1"_s};
        QTest::newRow("Backspace over a CR LF")
            << QByteArray("a\r\nb") << 3 << key(Qt::Key_Backspace)
            << QStringList{u"remove 1 \n"_s, u"caret 1"_s};
        QTest::newRow("Delete of a control")
            << QByteArray("a\x01") << 1 << key(Qt::Key_Delete) << QStringList{u"remove 1 \u2401"_s};
        QTest::newRow("typing over a selection")
            << QByteArray("abc") << -1 << key(Qt::Key_X)
            << QStringList{u"update 0 abc>x"_s, u"caret 1"_s, u"selection 1 1"_s};
        QTest::newRow("Backspace over a selection")
            << QByteArray("abc") << -1 << key(Qt::Key_Backspace)
            << QStringList{u"remove 0 abc"_s, u"caret 0"_s, u"selection 0 0"_s};
        QTest::newRow("undo of typing over a selection")
            << QByteArray("a\r\nbc") << -1
            << std::function<void(ByteTextEdit &)>([](ByteTextEdit &area) {
                   QTest::keyClick(&area, Qt::Key_X);
                   heard.clear();
                   area.undo();
               })
            << QStringList{u"update 0  >a\nbc"_s, u"caret 4"_s, u"selection 0 4"_s};
        // The caret stays on byte 2, after the CR LF and then after "xy".
        QTest::newRow("an edit that keeps the caret's byte")
            << QByteArray("\r\nab") << 2
            << std::function<void(ByteTextEdit &)>([](ByteTextEdit &area) {
                   accessibleOf(area)->editableTextInterface()->replaceText(0, 1, u"xy"_s);
               })
            << QStringList{u"update 0 \n>xy"_s, u"caret 2"_s};
        // In LF text, Enter after a lone CR makes a CR LF of it: the caret goes
        // on a byte but stays after the fourth character.
        QTest::newRow("an edit that keeps the caret's character")
            << QByteArray("x\na\rb") << 4 << key(Qt::Key_Return) << QStringList{u"update 3  >\n"_s};
        const auto toUtf8 = [](const std::function<void(ByteTextEdit &)> &before = {}) {
            return std::function<void(ByteTextEdit &)>([=](ByteTextEdit &area) {
                if (before) {
                    before(area);
                    heard.clear();
                }
                area.setCharset(Charset::Utf8);
            });
        };
        // "a\xC3\xA9b" is "a\u00C3\u00A9b" in Windows-1252, "a\u00E9b" in UTF-8.
        QTest::newRow("switching to UTF-8")
            << QByteArray("a\xC3\xA9"
                          "b")
            << 3 << toUtf8() << QStringList{u"update 1 \u00C3\u00A9>\u00E9"_s, u"caret 2"_s};
        QTest::newRow("switching moves the caret to its character's start")
            << QByteArray("a\xC3\xA9"
                          "b")
            << 2 << toUtf8() << QStringList{u"update 1 \u00C3\u00A9>\u00E9"_s, u"caret 1"_s};
        QTest::newRow("switching with a selection")
            << QByteArray("a\xC3\xA9"
                          "b")
            << 0 << toUtf8([](ByteTextEdit &area) { area.setSelection(0, 3); })
            << QStringList{u"update 1 \u00C3\u00A9>\u00E9"_s, u"caret 2"_s, u"selection 0 2"_s};
        QTest::newRow("switching back")
            << QByteArray("a\xC3\xA9"
                          "b")
            << 3 << std::function<void(ByteTextEdit &)>([](ByteTextEdit &area) {
                   area.setCharset(Charset::Utf8);
                   heard.clear();
                   area.setCharset(Charset::Windows1252);
               })
            << QStringList{u"update 1 \u00E9>\u00C3\u00A9"_s, u"caret 3"_s};
        QTest::newRow("switching: from the first byte above 0x7F to the last")
            << QByteArray("a\xE9 b\r\nc\xE9") << 0 << toUtf8()
            << QStringList{u"update 1 \u00E9 b\nc\u00E9>"_s + displaytext::byteMark(0xE9) +
                           u" b\nc"_s + displaytext::byteMark(0xE9)};
        QTest::newRow("switching a text that shows alike")
            << QByteArray("ab\r\nc\x01") << 5 << toUtf8() << QStringList{};
        const QString refused = u"\u4E2D"_s;
        QTest::newRow("a character the set cannot hold")
            << QByteArray("ab") << 1
            << std::function<void(ByteTextEdit &)>([=](ByteTextEdit &area) {
                   QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, refused);
                   QApplication::sendEvent(&area, &press);
               })
            << QStringList{u"alert tip "_s + displaytext::leftOutMessage(refused)};
        QTest::newRow("a character the set cannot hold among others")
            << QByteArray("ab") << 1
            << std::function<void(ByteTextEdit &)>([=](ByteTextEdit &area) {
                   accessibleOf(area)->editableTextInterface()->insertText(1, u"x"_s + refused);
               })
            << QStringList{u"insert 1 x"_s, u"caret 2"_s,
                           u"alert tip "_s + displaytext::leftOutMessage(refused)};
        QTest::newRow("Right over a CR LF")
            << QByteArray("a\r\nb") << 1 << key(Qt::Key_Right) << QStringList{u"caret 2"_s};
        QTest::newRow("Shift+Right selects")
            << QByteArray("ab") << 0 << key(Qt::Key_Right, Qt::ShiftModifier)
            << QStringList{u"caret 1"_s, u"selection 0 1"_s};
        QTest::newRow("undo of typing")
            << QByteArray("a\nb") << 2
            << std::function<void(ByteTextEdit &)>([](ByteTextEdit &area) {
                   QTest::keyClick(&area, Qt::Key_X);
                   QTest::keyClick(&area, Qt::Key_Y);
                   heard.clear();
                   area.undo();
               })
            // What undo removed is gone: two blanks stand for its two characters.
            << QStringList{u"remove 2 "_s + QString(2, u' '), u"caret 2"_s};
    }
    void events()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, caret);
        QFETCH(std::function<void(ByteTextEdit &)>, action);
        QFETCH(QStringList, events);
        ByteTextEdit area;
        fill(area, bytes);
        if (caret < 0) {
            area.selectWholeText();
        } else {
            area.setCursorPosition(static_cast<std::size_t>(caret));
        }
        area.show();
        QVERIFY(QTest::qWaitForWindowExposed(&area));
        watched = &area;
        QAccessible::installUpdateHandler(&hear);
        setAccessible(true);
        QVERIFY(QAccessible::isActive());
        action(area);
        QCOMPARE(heard, events);
    }
};

QTEST_MAIN(TestAccessibleTextArea)
#include "tst_accessibletextarea.moc"

// Tests of the piece table and its line index.
#include <algorithm>
#include <cstddef>
#include <new>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include <QRandomGenerator>
#include <QTest>

#include "bytes.h"
#include "failingallocation.h"
#include "text/textbuffer.h"

using namespace lorimand::text;
using lorimand::test::bytesOf;

namespace {

[[nodiscard]] char letterOf(LineBreak kind)
{
    switch (kind) {
    case LineBreak::CrLf:
        return 'C';
    case LineBreak::Lf:
        return 'L';
    case LineBreak::None:
        break;
    }
    return 'N';
}

// The kinds of the line breaks, a letter each: C (CR LF), L (LF), N (the last line).
[[nodiscard]] QByteArray breaksOf(const TextBuffer &buffer)
{
    QByteArray letters;
    for (std::size_t line = 0; line < buffer.lineCount(); ++line) {
        letters.append(letterOf(buffer.lineBreak(line)));
    }
    return letters;
}

[[nodiscard]] QList<qint64> fieldsOf(const ByteChange &change)
{
    return {static_cast<qint64>(change.from), static_cast<qint64>(change.removed),
            static_cast<qint64>(change.added)};
}

struct ModelLine
{
    std::size_t start = 0;
    std::size_t end = 0;
    LineBreak kind = LineBreak::None;
};

// The lines of `text` found the plain way, byte by byte.
[[nodiscard]] std::vector<ModelLine> linesOf(const std::string &text)
{
    std::vector<ModelLine> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n') {
            const bool crLf = i > start && text[i - 1] == '\r';
            lines.push_back({start, crLf ? i - 1 : i, crLf ? LineBreak::CrLf : LineBreak::Lf});
            start = i + 1;
        }
    }
    lines.push_back({start, text.size(), LineBreak::None});
    return lines;
}

// The first way `buffer` differs from `text` in its bytes, pieces or index; empty when
// it does not.
[[nodiscard]] std::string mismatch(const TextBuffer &buffer, const std::string &text)
{
    if (buffer.size() != text.size() || buffer.bytes() != text) {
        return "bytes differ: " + buffer.bytes() + " vs " + text;
    }
    std::string joined;
    for (const std::string_view piece : buffer.pieces()) {
        if (piece.empty()) {
            return "an empty piece";
        }
        joined.append(piece);
    }
    if (joined != text) {
        return "pieces differ";
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (buffer.at(i) != text[i]) {
            return "at() differs at " + std::to_string(i);
        }
    }
    const std::vector<ModelLine> lines = linesOf(text);
    if (buffer.lineCount() != lines.size()) {
        return "line count " + std::to_string(buffer.lineCount()) + " vs " +
               std::to_string(lines.size());
    }
    for (std::size_t line = 0; line < lines.size(); ++line) {
        if (buffer.lineStart(line) != lines[line].start ||
            buffer.lineEnd(line) != lines[line].end || buffer.lineBreak(line) != lines[line].kind) {
            return "line " + std::to_string(line) + " differs";
        }
        const std::size_t next = line + 1 < lines.size() ? lines[line + 1].start : text.size() + 1;
        for (std::size_t offset = lines[line].start; offset < next; ++offset) {
            if (buffer.lineOf(offset) != line) {
                return "lineOf(" + std::to_string(offset) + ") is not " + std::to_string(line);
            }
        }
    }
    const LineBreak first = lines.size() > 1 ? lines.front().kind : LineBreak::CrLf;
    if (buffer.firstBreak() != first) {
        return "first break differs";
    }
    return {};
}

} // namespace

class TestTextBuffer : public QObject
{
    Q_OBJECT

private slots:
    void index_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("breaks");
        QTest::addColumn<QList<qint64>>("starts");
        QTest::addColumn<QList<qint64>>("ends");
        QTest::addColumn<char>("first");
        QTest::newRow("empty") << QByteArray() << QByteArray("N") << QList<qint64>{0}
                               << QList<qint64>{0} << 'C';
        QTest::newRow("one byte") << QByteArray("a") << QByteArray("N") << QList<qint64>{0}
                                  << QList<qint64>{1} << 'C';
        QTest::newRow("CR alone at the end")
            << QByteArray("\r") << QByteArray("N") << QList<qint64>{0} << QList<qint64>{1} << 'C';
        QTest::newRow("LF") << QByteArray("\n") << QByteArray("LN") << QList<qint64>{0, 1}
                            << QList<qint64>{0, 1} << 'L';
        QTest::newRow("CR LF") << QByteArray("\r\n") << QByteArray("CN") << QList<qint64>{0, 2}
                               << QList<qint64>{0, 2} << 'C';
        QTest::newRow("mixed") << QByteArray("a\r\nb\nc\rd") << QByteArray("CLN")
                               << QList<qint64>{0, 3, 5} << QList<qint64>{1, 4, 8} << 'C';
        QTest::newRow("CR CR LF") << QByteArray("\r\r\n") << QByteArray("CN") << QList<qint64>{0, 3}
                                  << QList<qint64>{1, 3} << 'C';
        QTest::newRow("LF CR") << QByteArray("\n\r") << QByteArray("LN") << QList<qint64>{0, 1}
                               << QList<qint64>{0, 2} << 'L';
        QTest::newRow("LF first, then CR LF")
            << QByteArray("a\n\r\n") << QByteArray("LCN") << QList<qint64>{0, 2, 4}
            << QList<qint64>{1, 2, 4} << 'L';
        QTest::newRow("ends with CR LF and LF")
            << QByteArray("\r\n\n") << QByteArray("CLN") << QList<qint64>{0, 2, 3}
            << QList<qint64>{0, 2, 3} << 'C';
        QTest::newRow("CRs and NUL") << QByteArray("\r\0\r\r", 4) << QByteArray("N")
                                     << QList<qint64>{0} << QList<qint64>{4} << 'C';
    }
    void index()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, breaks);
        QFETCH(QList<qint64>, starts);
        QFETCH(QList<qint64>, ends);
        QFETCH(char, first);
        const TextBuffer buffer(bytesOf(bytes));
        QCOMPARE(breaksOf(buffer), breaks);
        QList<qint64> gotStarts;
        QList<qint64> gotEnds;
        for (std::size_t line = 0; line < buffer.lineCount(); ++line) {
            gotStarts.append(static_cast<qint64>(buffer.lineStart(line)));
            gotEnds.append(static_cast<qint64>(buffer.lineEnd(line)));
        }
        QCOMPARE(gotStarts, starts);
        QCOMPARE(gotEnds, ends);
        QCOMPARE(letterOf(buffer.firstBreak()), first);
        // Every offset up to size() lies in the line whose start is the last not after it.
        for (std::size_t offset = 0; offset <= buffer.size(); ++offset) {
            qsizetype line = 0;
            while (line + 1 < starts.size() && starts[line + 1] <= static_cast<qint64>(offset)) {
                ++line;
            }
            QCOMPARE(buffer.lineOf(offset), static_cast<std::size_t>(line));
        }
        const std::string failure = mismatch(buffer, bytesOf(bytes));
        QVERIFY2(failure.empty(), failure.c_str());
    }

    // Edits whose ends meet a CR or an LF: pairs made and broken across the edge.
    void replace_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QByteArray>("insert");
        QTest::addColumn<QByteArray>("breaks");
        // from, removed, added
        QTest::addColumn<QList<qint64>>("change");
        QTest::newRow("LF after a CR pairs with it")
            << QByteArray("a\rb") << 2 << 2 << QByteArray("\n") << QByteArray("CN")
            << QList<qint64>{2, 0, 1};
        QTest::newRow("CR before an LF pairs with it")
            << QByteArray("a\nb") << 1 << 1 << QByteArray("\r") << QByteArray("CN")
            << QList<qint64>{1, 0, 1};
        QTest::newRow("the CR of a CR LF deleted") << QByteArray("a\r\nb") << 1 << 2 << QByteArray()
                                                   << QByteArray("LN") << QList<qint64>{1, 1, 0};
        QTest::newRow("the LF of a CR LF deleted") << QByteArray("a\r\nb") << 2 << 3 << QByteArray()
                                                   << QByteArray("N") << QList<qint64>{2, 1, 0};
        QTest::newRow("a byte into the middle of a CR LF")
            << QByteArray("\r\n") << 1 << 1 << QByteArray("x") << QByteArray("LN")
            << QList<qint64>{1, 0, 1};
        QTest::newRow("the middle between CR and LF deleted")
            << QByteArray("\rxy\n") << 1 << 3 << QByteArray() << QByteArray("CN")
            << QList<qint64>{1, 2, 0};
        QTest::newRow("LF after a CR at the end") << QByteArray("\r") << 1 << 1 << QByteArray("\n")
                                                  << QByteArray("CN") << QList<qint64>{1, 0, 1};
        QTest::newRow("new bytes end with a CR before an LF")
            << QByteArray("a\nb") << 0 << 1 << QByteArray("\r\r") << QByteArray("CN")
            << QList<qint64>{0, 1, 2};
        QTest::newRow("replaced across a pair")
            << QByteArray("a\r\nb\r") << 1 << 4 << QByteArray("\r\r") << QByteArray("N")
            << QList<qint64>{1, 3, 2};
        QTest::newRow("into the empty text") << QByteArray() << 0 << 0 << QByteArray("\r\n\r")
                                             << QByteArray("CN") << QList<qint64>{0, 0, 3};
        QTest::newRow("everything deleted") << QByteArray("a\r\rb\n") << 0 << 5 << QByteArray()
                                            << QByteArray("N") << QList<qint64>{0, 5, 0};
        QTest::newRow("bytes after the edit move")
            << QByteArray("ab\rc\r") << 0 << 1 << QByteArray("xyz") << QByteArray("N")
            << QList<qint64>{0, 1, 3};
        QTest::newRow("LFs after the edit move")
            << QByteArray("ab\ncd\r\n") << 1 << 2 << QByteArray() << QByteArray("LCN")
            << QList<qint64>{1, 1, 0};
        QTest::newRow("nothing changed") << QByteArray("\r\ra") << 2 << 2 << QByteArray()
                                         << QByteArray("N") << QList<qint64>{2, 0, 0};
    }
    void replace()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QByteArray, insert);
        QFETCH(QByteArray, breaks);
        QFETCH(QList<qint64>, change);
        TextBuffer buffer(bytesOf(bytes));
        const auto begin = static_cast<std::size_t>(from);
        const auto end = static_cast<std::size_t>(to);
        const ByteChange got = buffer.replace(begin, end, bytesOf(insert));
        std::string expected = bytesOf(bytes);
        expected.replace(begin, end - begin, bytesOf(insert));
        QCOMPARE(fieldsOf(got), change);
        QCOMPARE(breaksOf(buffer), breaks);
        const std::string failure = mismatch(buffer, expected);
        QVERIFY2(failure.empty(), failure.c_str());
    }

    void loadingTakesTheBytesOver()
    {
        std::string bytes(1 << 20, 'a');
        const char *const data = bytes.data();
        TextBuffer buffer(std::move(bytes));
        QCOMPARE(buffer.pieces().size(), std::size_t{1});
        QCOMPARE(static_cast<const void *>(buffer.pieces().front().data()),
                 static_cast<const void *>(data));
        // Moving the buffer keeps them where they are too.
        const TextBuffer moved(std::move(buffer));
        QCOMPARE(static_cast<const void *>(moved.pieces().front().data()),
                 static_cast<const void *>(data));
    }

    // Bytes typed one after another extend one piece; anywhere else an edit splits.
    void piecesFollowEdits_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QList<int>>("offsets"); // where each of "abc" is typed
        QTest::addColumn<QByteArray>("expected");
        QTest::addColumn<int>("pieces");
        QTest::newRow("at the end")
            << QByteArray("xyz") << QList<int>{3, 4, 5} << QByteArray("xyzabc") << 2;
        QTest::newRow("in the middle")
            << QByteArray("xyz") << QList<int>{1, 2, 3} << QByteArray("xabcyz") << 3;
        QTest::newRow("into nothing")
            << QByteArray() << QList<int>{0, 1, 2} << QByteArray("abc") << 1;
        QTest::newRow("backwards")
            << QByteArray("xyz") << QList<int>{1, 1, 1} << QByteArray("xcbayz") << 5;
        QTest::newRow("apart") << QByteArray("xyz") << QList<int>{0, 2, 5} << QByteArray("axbyzc")
                               << 5;
    }
    void piecesFollowEdits()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QList<int>, offsets);
        QFETCH(QByteArray, expected);
        QFETCH(int, pieces);
        TextBuffer buffer(bytesOf(bytes));
        const std::string_view typed = "abc";
        for (qsizetype i = 0; i < offsets.size(); ++i) {
            const auto at = static_cast<std::size_t>(offsets[i]);
            buffer.replace(at, at, typed.substr(static_cast<std::size_t>(i), 1));
        }
        QCOMPARE(buffer.pieces().size(), static_cast<std::size_t>(pieces));
        const std::string text = bytesOf(expected);
        const std::string failure = mismatch(buffer, text);
        QVERIFY2(failure.empty(), failure.c_str());
        for (std::size_t from = 0; from <= text.size(); ++from) {
            for (std::size_t to = from; to <= text.size(); ++to) {
                std::string joined;
                for (const std::string_view piece : buffer.pieces(from, to)) {
                    QVERIFY(!piece.empty());
                    joined.append(piece);
                }
                QCOMPARE(joined, text.substr(from, to - from));
                QCOMPARE(buffer.bytes(from, to), text.substr(from, to - from));
            }
        }
    }

    // Random edits against a plain string, everything compared after each: bytes, lines,
    // lineOf, and what replace reports.
    void randomEditsFollowAPlainString()
    {
        QRandomGenerator random(17);
        const char alphabet[] = {'a', '\r', '\n', '\r', '\n', 'b'};
        const auto randomText = [&](std::size_t most) {
            std::string text(random.bounded(static_cast<quint32>(most + 1)), 'a');
            for (char &byte : text) {
                byte = alphabet[random.bounded(6)];
            }
            return text;
        };
        const auto upTo = [&](std::size_t most) {
            return static_cast<std::size_t>(random.bounded(static_cast<quint32>(most) + 1u));
        };
        for (int round = 0; round < 400; ++round) {
            std::string model = randomText(24);
            TextBuffer buffer(model);
            for (int step = 0; step < 40; ++step) {
                const std::size_t size = model.size();
                // Mostly short edits, so that the texts grow; now and then a long one.
                const std::size_t from = upTo(size);
                std::size_t to = from + upTo(std::min<std::size_t>(size - from, 4));
                if (random.bounded(10) == 0) {
                    to = from + upTo(size - from);
                } else if (random.bounded(3) == 0) {
                    to = from; // typing
                }
                std::string insert = randomText(5);
                // Sometimes bytes the buffer holds itself, handed back as it hands them out.
                std::vector<std::string_view> own = buffer.pieces();
                const bool fromItself = !own.empty() && random.bounded(5) == 0;
                std::string_view bytes = insert;
                if (fromItself) {
                    bytes = own[random.bounded(static_cast<quint32>(own.size()))];
                    bytes = bytes.substr(0, 6);
                }
                model.replace(from, to - from, bytes);
                const ByteChange change = buffer.replace(from, to, bytes);
                QCOMPARE(change.from, from);
                QCOMPARE(change.removed, to - from);
                QCOMPARE(change.added, bytes.size());
                const std::string failure = mismatch(buffer, model);
                std::string where = failure;
                where += " in round " + std::to_string(round);
                where += " step " + std::to_string(step);
                QVERIFY2(failure.empty(), where.c_str());
            }
        }
    }

    // An edit whose allocation fails, at any of them, leaves the bytes and the
    // index as they were; room made beforehand lets a series of edits allocate nothing.
    void runningOutOfMemoryChangesNothing()
    {
        const std::string text = "one\r\ntwo\nthree\rfour";
        // Longer than a string holds without a buffer of its own.
        const std::string_view inserted = "a line\nanother line\nand a third";
        bool completed = false;
        for (long allowed = 0; !completed; ++allowed) {
            TextBuffer buffer(text);
            buffer.replace(4, 4, "typed"); // a piece of typed bytes, then two of the text
            const std::string before = buffer.bytes();
            try {
                const lorimand::test::FailingAllocation failing(allowed);
                buffer.replace(2, 12, inserted);
                completed = !failing.failed();
            } catch (const std::bad_alloc &) {
            }
            std::string expected = before;
            if (completed) {
                expected.replace(2, 10, inserted);
            }
            const std::string failure = mismatch(buffer, expected);
            QVERIFY2(failure.empty(), (failure + " after " + std::to_string(allowed)).c_str());
        }

        TextBuffer buffer(text);
        buffer.reserve(3 * inserted.size(), 3 * 2, 3);
        const std::size_t places[] = {0, 9, 4};
        {
            const lorimand::test::FailingAllocation counted(-1);
            for (const std::size_t at : places) {
                buffer.replace(at, at + 2, inserted);
            }
            QCOMPARE(counted.count(), std::size_t{0});
        }
        std::string model = text;
        for (const std::size_t at : places) {
            model.replace(at, 2, inserted);
        }
        const std::string failure = mismatch(buffer, model);
        QVERIFY2(failure.empty(), failure.c_str());
    }

    void outOfRangeThrows()
    {
        TextBuffer buffer(std::string("a\nb"));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, buffer.replace(2, 4, "x"));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, buffer.replace(2, 1, "x"));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, static_cast<void>(buffer.at(3)));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, static_cast<void>(buffer.lineStart(2)));
        QCOMPARE(buffer.bytes(), std::string("a\nb"));
    }
};

QTEST_APPLESS_MAIN(TestTextBuffer)
#include "tst_textbuffer.moc"

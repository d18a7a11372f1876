// Tests of the text's undo history: what undo and redo bring back, how edits and
// replacements join steps, the bounds, and that whole texts are moved, not copied.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <QRandomGenerator>
#include <QTest>

#include "bytes.h"
#include "failingallocation.h"
#include "text/textdocument.h"

using namespace lorimand::text;
using lorimand::test::bytesOf;
using History = TextDocument::History;
using EditKind = TextDocument::EditKind;

namespace {

// Whether `change` tells truly how `before` became `after`: the bytes outside its range
// are the same in both. Empty when so.
[[nodiscard]] std::string wrongChange(const std::string &before, const std::string &after,
                                      const ByteChange &change)
{
    if (change.from + change.removed > before.size() || change.from + change.added > after.size() ||
        before.size() - change.removed != after.size() - change.added) {
        return "the range lies outside the texts";
    }
    if (before.compare(0, change.from, after, 0, change.from) != 0 ||
        before.compare(change.from + change.removed, std::string::npos, after,
                       change.from + change.added) != 0) {
        return "bytes outside the range changed";
    }
    return {};
}

[[nodiscard]] std::string textOf(const TextDocument &document)
{
    return document.text().bytes();
}

// The first way two documents differ in what they show and in their history,
// which is walked through by undoing every step and redoing them all; empty
// when they do not.
[[nodiscard]] std::string difference(TextDocument &a, TextDocument &b)
{
    const auto sameNow = [&a, &b]() -> std::string {
        if (textOf(a) != textOf(b)) {
            return "the texts differ: " + textOf(a) + " vs " + textOf(b);
        }
        if (a.text().lineCount() != b.text().lineCount()) {
            return "the line counts differ";
        }
        for (std::size_t line = 0; line < a.text().lineCount(); ++line) {
            if (a.text().lineStart(line) != b.text().lineStart(line) ||
                a.text().lineEnd(line) != b.text().lineEnd(line)) {
                return "line " + std::to_string(line) + " differs";
            }
        }
        std::string pieces;
        for (const std::string_view piece : a.text().pieces()) {
            pieces.append(piece);
        }
        if (pieces != textOf(a)) {
            return "the pieces do not make the text";
        }
        if (a.canUndo() != b.canUndo() || a.canRedo() != b.canRedo() ||
            a.joinsAutomatic() != b.joinsAutomatic()) {
            return "the history differs";
        }
        return {};
    };
    if (a.changeCount() != b.changeCount()) {
        return "the change counts differ";
    }
    std::string failure = sameNow();
    while (failure.empty() && a.canUndo()) {
        (void)a.undo();
        (void)b.undo();
        failure = sameNow();
    }
    while (failure.empty() && a.canRedo()) {
        (void)a.redo();
        (void)b.redo();
        failure = sameNow();
    }
    return failure;
}

[[nodiscard]] std::size_t numberOf(const QByteArray &field)
{
    return static_cast<std::size_t>(field.toULongLong());
}

// Runs `ops` on `document`, ops parted by '|', fields by ':'. F:text, R:text and A:text
// replace the whole text (Fresh, Step, Automatic); T:from:to:bytes and S:from:to:bytes
// edit (typing, a step); P:from:to:bytes splices the automatic replacement, and
// Q:from:to:bytes splices where nothing automatic is shown; U undoes, D redoes, C
// clears the history and L:steps:bytes sets the undo limits.
void run(TextDocument &document, const QByteArray &ops)
{
    for (const QByteArray &op : ops.split('|')) {
        const QByteArrayList fields = op.split(':');
        const char kind = op.front();
        const std::string last = bytesOf(fields.back());
        switch (kind) {
        case 'F':
            document.replaceAll(last, History::Fresh);
            break;
        case 'R':
            document.replaceAll(last, History::Step);
            break;
        case 'A':
            document.replaceAll(last, History::Automatic);
            break;
        case 'T':
        case 'S':
            document.edit(numberOf(fields[1]), numberOf(fields[2]), last,
                          kind == 'T' ? EditKind::Typing : EditKind::Step, {});
            break;
        case 'P':
        case 'Q':
            QCOMPARE(document.joinsAutomatic(), kind == 'P');
            document.spliceAutomatic(numberOf(fields[1]), numberOf(fields[2]), last);
            break;
        case 'U':
            QVERIFY(document.undo());
            break;
        case 'D':
            QVERIFY(document.redo());
            break;
        case 'C':
            document.clearHistory();
            break;
        case 'L':
            document.setUndoLimits({numberOf(fields[1]), numberOf(fields[2])});
            break;
        default:
            QFAIL("unknown op");
        }
    }
}

// The steps of a random history as the texts they go between.
struct ModelStep
{
    std::string before;
    std::string after;
    Selection selection;
    std::size_t caret = 0; // where redo puts the caret
    bool typing = false;
    bool automatic = false;
    bool whole = false;
};

struct Model
{
    std::string text;
    std::vector<ModelStep> undo;
    std::vector<ModelStep> redo;
    bool open = false; // the latest step was made or grown by the latest action
    bool automaticShown = false;
    std::uint64_t changes = 0;

    [[nodiscard]] bool joinsAutomatic() const
    {
        return automaticShown && !undo.empty() && undo.back().automatic && redo.empty();
    }
    void edit(std::size_t from, std::size_t to, const std::string &bytes, bool typing,
              Selection before)
    {
        if (from == to && bytes.empty()) {
            return;
        }
        std::string after = text;
        after.replace(from, to - from, bytes);
        ++changes;
        redo.clear();
        automaticShown = false;
        if (typing && open && from == to && !undo.empty() && undo.back().typing &&
            undo.back().caret == from) {
            undo.back().after = after;
            undo.back().caret += bytes.size();
        } else {
            undo.push_back({text, after, before, from + bytes.size(), typing, false, false});
        }
        open = true;
        text = after;
    }
    void replaceAll(const std::string &bytes, History history, Selection before)
    {
        ++changes;
        open = false;
        if (history == History::Fresh) {
            undo.clear();
            redo.clear();
            automaticShown = false;
        } else if (history == History::Automatic && joinsAutomatic()) {
            undo.back().after = bytes;
            undo.back().whole = true;
        } else {
            redo.clear();
            undo.push_back({text, bytes, before, 0, false, history == History::Automatic, true});
            automaticShown = history == History::Automatic;
        }
        text = bytes;
    }
};

} // namespace

class TestTextDocument : public QObject
{
    Q_OBJECT

private slots:
    void startsEmptyWithNoHistory()
    {
        TextDocument document;
        QCOMPARE(textOf(document), std::string());
        QVERIFY(!document.canUndo());
        QVERIFY(!document.canRedo());
        QVERIFY(!document.joinsAutomatic());
        QVERIFY(!document.undo());
        QVERIFY(!document.redo());
        QCOMPARE(document.changeCount(), std::uint64_t{0});
    }

    // The texts undo goes through, step by step; redoing them all comes back to the end.
    void history_data()
    {
        QTest::addColumn<QByteArray>("ops");
        QTest::addColumn<bool>("joins");
        QTest::addColumn<QByteArrayList>("undone");
        QTest::newRow("typing joins")
            << QByteArray("F:xy|T:2:2:a|T:3:3:b|T:4:4:c") << false << QByteArrayList{"xy"};
        QTest::newRow("typing apart does not join")
            << QByteArray("F:xy|T:2:2:a|T:0:0:b") << false << QByteArrayList{"xya", "xy"};
        QTest::newRow("typing after an edit step does not join")
            << QByteArray("F:xy|S:2:2:a|T:3:3:b") << false << QByteArrayList{"xya", "xy"};
        QTest::newRow("typing over a selection starts a step that typing joins")
            << QByteArray("F:xyz|T:2:2:a|T:1:4:b|T:2:2:c") << false
            << QByteArrayList{"xyaz", "xyz"};
        QTest::newRow("typing that removes does not join")
            << QByteArray("F:xy|T:2:2:a|T:2:3:b") << false << QByteArrayList{"xya", "xy"};
        QTest::newRow("typing after an undo does not join")
            << QByteArray("F:xy|T:2:2:a|S:0:0:q|U|T:3:3:b") << false << QByteArrayList{"xya", "xy"};
        QTest::newRow("typing after a redo does not join")
            << QByteArray("F:xy|T:2:2:a|U|D|T:3:3:b") << false << QByteArrayList{"xya", "xy"};
        QTest::newRow("typing after a replacement does not join")
            << QByteArray("F:xy|T:2:2:a|R:xya|T:3:3:b") << false
            << QByteArrayList{"xya", "xya", "xy"};
        QTest::newRow("an empty edit adds no step")
            << QByteArray("F:ab|S:1:1:|T:1:1:") << false << QByteArrayList{};
        QTest::newRow("an edit clears redo")
            << QByteArray("F:ab|S:0:0:x|U|S:0:0:y") << false << QByteArrayList{"ab"};
        QTest::newRow("automatic replacements join")
            << QByteArray("F:one|A:two|A:three") << true << QByteArrayList{"one"};
        QTest::newRow("a step after automatic does not join")
            << QByteArray("F:one|A:two|R:three") << false << QByteArrayList{"two", "one"};
        QTest::newRow("automatic after a step")
            << QByteArray("F:one|R:two|A:three|A:four") << true << QByteArrayList{"two", "one"};
        QTest::newRow("automatic after an edit does not join")
            << QByteArray("F:one|A:two|S:0:0:x|A:three") << true
            << QByteArrayList{"xtwo", "two", "one"};
        QTest::newRow("automatic after an undo does not join")
            << QByteArray("F:one|A:two|R:three|U|A:four") << true << QByteArrayList{"two", "one"};
        QTest::newRow("automatic after a redo does not join")
            << QByteArray("F:one|A:two|U|D|A:three") << true << QByteArrayList{"two", "one"};
        QTest::newRow("splices join the automatic step")
            << QByteArray("F:one|A:two|P:0:1:T|P:3:3:!") << true << QByteArrayList{"one"};
        QTest::newRow("automatic after splices joins")
            << QByteArray("F:one|A:two|P:0:0:x|A:three") << true << QByteArrayList{"one"};
        QTest::newRow("fresh forgets")
            << QByteArray("F:one|R:two|S:0:0:x|F:three") << false << QByteArrayList{};
        QTest::newRow("automatic after fresh does not join")
            << QByteArray("F:one|A:two|F:three|A:four") << true << QByteArrayList{"three"};
        QTest::newRow("clearing the history")
            << QByteArray("F:one|A:two|C") << false << QByteArrayList{};
        QTest::newRow("whole texts beyond the limit go, oldest first")
            << QByteArray("L:2:1000|F:a|R:b|R:c|R:d") << false << QByteArrayList{"c", "b"};
        QTest::newRow("edit steps older than the kept texts go with them")
            << QByteArray("L:1:1000|F:a|S:1:1:x|R:b|R:c") << false << QByteArrayList{"b"};
        QTest::newRow("the bytes of replaced texts are bounded")
            << QByteArray("L:20:5|F:a|R:bbb|R:cc|R:dddd") << false << QByteArrayList{"cc", "bbb"};
        QTest::newRow("the latest stays even when larger than the bound")
            << QByteArray("L:20:2|F:a|R:bbbbbb|R:c") << false << QByteArrayList{"bbbbbb"};
        QTest::newRow("the bytes an edit removed are bounded")
            << QByteArray("L:20:3|F:abcd|S:0:3:|S:0:1:") << false << QByteArrayList{"d"};
        QTest::newRow("lower limits drop steps at once")
            << QByteArray("F:a|R:b|R:c|R:d|L:1:1000") << false << QByteArrayList{"c"};
        QTest::newRow("no whole text allowed keeps the latest")
            << QByteArray("L:0:1000|F:a|R:b|R:c") << false << QByteArrayList{"b"};
        QTest::newRow("redone steps are bounded again")
            << QByteArray("F:a|R:b|R:c|U|U|L:1:1000|D|D") << false << QByteArrayList{"b"};
    }
    // Every operation, with the allocation it makes first, second, ... failing:
    // the document, its text, line index and history, is as it was, as a twin
    // that never tried shows; once nothing fails, it is as the twin's after.
    void runningOutOfMemoryChangesNothing_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("op");
        const QByteArray lines = "F:one\r\ntwo\nthree\rfour";
        // Longer than a string holds without a buffer of its own.
        const QByteArray some = "a line\nanother line\nand a third";
        const QByteArray more = "more\nand more\nand still more";
        QTest::newRow("typing, a step of its own") << lines << "T:3:3:" + some;
        QTest::newRow("typing that joins") << lines + "|T:3:3:x"
                                           << "T:4:4:" + some;
        QTest::newRow("an edit step") << lines << "S:2:9:" + some;
        QTest::newRow("a replacement step") << lines << "R:" + some;
        QTest::newRow("an automatic replacement") << lines << "A:" + some;
        QTest::newRow("an automatic replacement joining one")
            << lines + "|A:" + more << "A:" + some;
        QTest::newRow("an automatic replacement joining splices")
            << lines + "|Q:0:1:" + more + "|P:4:4:" + some + "|P:8:9:"
            << "A:" + some;
        QTest::newRow("a fresh text") << lines + "|T:0:0:x"
                                      << "F:" + some;
        QTest::newRow("a splice beginning a step") << lines << "Q:1:5:" + some;
        QTest::newRow("a splice joining splices") << lines + "|Q:0:1:" + more << "P:5:6:" + some;
        QTest::newRow("a splice joining a replacement") << lines + "|A:" + more << "P:1:1:" + some;
        QTest::newRow("undoing an edit") << lines + "|S:3:3:" + some << QByteArray("U");
        QTest::newRow("undoing splices")
            << lines + "|Q:0:1:" + more + "|P:4:4:" + some + "|P:8:9:|P:0:0:" + more
            << QByteArray("U");
        QTest::newRow("undoing a replacement") << lines + "|R:" + some << QByteArray("U");
        QTest::newRow("redoing an edit") << lines + "|S:3:5:" + some + "|U" << QByteArray("D");
        QTest::newRow("redoing splices")
            << lines + "|Q:0:1:" + more + "|P:4:4:" + some + "|P:8:9:|U" << QByteArray("D");
        QTest::newRow("redoing a replacement") << lines + "|R:" + some + "|U" << QByteArray("D");
    }
    void runningOutOfMemoryChangesNothing()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, op);
        bool completed = false;
        for (long allowed = 0; !completed && allowed < 1000; ++allowed) {
            TextDocument tried;
            TextDocument twin;
            run(tried, before);
            run(twin, before);
            bool failed = false;
            try {
                const lorimand::test::FailingAllocation failing(allowed);
                run(tried, op);
                failed = failing.failed();
            } catch (const std::bad_alloc &) {
                failed = true;
            }
            if (!failed) {
                completed = true;
                run(twin, op);
            }
            const std::string failure = difference(tried, twin);
            const std::string where = failure + " after " + std::to_string(allowed) +
                                      " allocations" + (completed ? ", none failing" : "");
            QVERIFY2(failure.empty(), where.c_str());
        }
        QVERIFY(completed);
    }

    void history()
    {
        QFETCH(QByteArray, ops);
        QFETCH(bool, joins);
        QFETCH(QByteArrayList, undone);
        TextDocument document;
        run(document, ops);
        if (QTest::currentTestFailed()) {
            return;
        }
        QCOMPARE(document.joinsAutomatic(), joins);
        const std::string end = textOf(document);
        QByteArrayList got;
        while (document.undo()) {
            got.append(QByteArray::fromStdString(textOf(document)));
        }
        QCOMPARE(got, undone);
        QVERIFY(!document.joinsAutomatic());
        while (document.redo()) {
        }
        QCOMPARE(textOf(document), end);
    }

    void selectionsComeBack()
    {
        TextDocument document;
        document.replaceAll("hello", History::Fresh);
        document.edit(5, 5, " world", EditKind::Step, {1, 3});
        document.edit(0, 0, "a", EditKind::Typing, {0, 0});
        document.edit(1, 1, "b", EditKind::Typing, {1, 1});
        document.replaceAll("other", History::Step, {4, 2});

        const std::optional<TextDocument::Restored> wholeUndone = document.undo();
        QVERIFY(wholeUndone);
        QCOMPARE(wholeUndone->selection, (Selection{4, 2}));
        const std::optional<TextDocument::Restored> typingUndone = document.undo();
        QVERIFY(typingUndone);
        QCOMPARE(typingUndone->selection, (Selection{0, 0}));
        const std::optional<TextDocument::Restored> editUndone = document.undo();
        QVERIFY(editUndone);
        QCOMPARE(editUndone->selection, (Selection{1, 3}));
        QCOMPARE(textOf(document), std::string("hello"));

        // Redo puts the caret after what it brought back.
        const std::optional<TextDocument::Restored> editRedone = document.redo();
        QVERIFY(editRedone);
        QCOMPARE(editRedone->selection, (Selection{11, 11}));
        const std::optional<TextDocument::Restored> typingRedone = document.redo();
        QVERIFY(typingRedone);
        QCOMPARE(typingRedone->selection, (Selection{2, 2}));
        QCOMPARE(textOf(document), std::string("abhello world"));
        const std::optional<TextDocument::Restored> wholeRedone = document.redo();
        QVERIFY(wholeRedone);
        QCOMPARE(wholeRedone->selection, (Selection{5, 5}));
    }

    // The first splice after a load or an edit begins an automatic step, which
    // the splices after it join: one undo brings back the text before them all.
    void spliceOutsideAnAutomaticStepBeginsOne()
    {
        TextDocument document;
        document.replaceAll("abc", History::Fresh);
        document.spliceAutomatic(1, 2, "x");
        QCOMPARE(textOf(document), std::string("axc"));
        QVERIFY(document.joinsAutomatic());
        document.spliceAutomatic(3, 3, "\r\n");
        document.spliceAutomatic(0, 1, "");
        QCOMPARE(textOf(document), std::string("xc\r\n"));
        const std::optional<TextDocument::Restored> undone = document.undo();
        QVERIFY(undone);
        QCOMPARE(textOf(document), std::string("abc"));
        QCOMPARE(undone->change.from, std::size_t{0});
        QCOMPARE(undone->change.removed, std::size_t{4});
        QCOMPARE(undone->change.added, std::size_t{3});
        QVERIFY(!document.canUndo());
        QVERIFY(document.redo());
        QCOMPARE(textOf(document), std::string("xc\r\n"));
    }

    // Undoing a replacement gives back the very text it replaced, not a copy of it.
    void wholeTextsAreMovedNotCopied()
    {
        std::string large(std::size_t{64} << 20, 'a');
        for (std::size_t i = 87; i < large.size(); i += 88) {
            large[i - 1] = '\r';
            large[i] = '\n';
        }
        const std::size_t lines = large.size() / 88 + 1;
        const char *const data = large.data();
        TextDocument document;
        document.replaceAll(std::move(large), History::Fresh);
        const auto shown = [&] {
            return static_cast<const void *>(document.text().pieces().front().data());
        };
        QCOMPARE(shown(), static_cast<const void *>(data));
        document.replaceAll("small", History::Step);
        QVERIFY(document.undo());
        QCOMPARE(shown(), static_cast<const void *>(data));
        QCOMPARE(document.text().lineCount(), lines);
        QVERIFY(document.redo());
        QCOMPARE(textOf(document), std::string("small"));
        QCOMPARE(document.text().lineCount(), std::size_t{1});
        QVERIFY(document.undo());
        QCOMPARE(shown(), static_cast<const void *>(data));
        QCOMPARE(document.text().lineCount(), lines);

        // A document moved keeps its text and its history.
        TextDocument moved(std::move(document));
        QCOMPARE(static_cast<const void *>(moved.text().pieces().front().data()),
                 static_cast<const void *>(data));
        QVERIFY(moved.canRedo());
    }

    // Random edits, replacements, splices, undos and redos against the texts they should
    // lead to: the bytes, the index, the changes reported and the selections given back.
    void randomHistoryFollowsSnapshots()
    {
        QRandomGenerator random(23);
        const char alphabet[] = {'a', '\r', '\n', 'b'};
        const auto randomText = [&](std::size_t most) {
            std::string text(random.bounded(static_cast<quint32>(most + 1)), 'a');
            for (char &byte : text) {
                byte = alphabet[random.bounded(4)];
            }
            return text;
        };
        const auto at = [&](const std::string &text) {
            return static_cast<std::size_t>(random.bounded(static_cast<quint32>(text.size() + 1)));
        };
        for (int round = 0; round < 300; ++round) {
            TextDocument document;
            document.setUndoLimits(
                {std::numeric_limits<std::size_t>::max(), std::numeric_limits<std::size_t>::max()});
            Model model;
            std::size_t typedTo = 0;
            for (int action = 0; action < 60; ++action) {
                const std::string before = model.text;
                const std::string where =
                    "round " + std::to_string(round) + " action " + std::to_string(action);
                const quint32 choice = random.bounded(14u);
                std::optional<ByteChange> change;
                if (choice < 6) {
                    const bool typing = choice < 4;
                    std::size_t from = at(model.text);
                    std::size_t to = std::min(model.text.size(), from + random.bounded(4u));
                    if (random.bounded(8) == 0) {
                        to = from + at(model.text.substr(from));
                    }
                    if (typing && random.bounded(3) != 0 && typedTo <= model.text.size()) {
                        from = to = typedTo;
                    }
                    const std::string bytes = randomText(3);
                    const Selection selection{at(model.text), at(model.text)};
                    model.edit(from, to, bytes, typing, selection);
                    change = document.edit(from, to, bytes,
                                           typing ? EditKind::Typing : EditKind::Step, selection);
                    typedTo = from + bytes.size();
                } else if (choice < 9) {
                    const History history = choice == 6              ? History::Step
                                            : choice == 7            ? History::Automatic
                                            : random.bounded(4) == 0 ? History::Fresh
                                                                     : History::Automatic;
                    const std::string bytes = randomText(12);
                    const Selection selection{at(model.text), at(model.text)};
                    model.replaceAll(bytes, history, selection);
                    change = document.replaceAll(bytes, history, selection);
                } else if (choice < 10) {
                    const bool joins = model.joinsAutomatic();
                    QCOMPARE(document.joinsAutomatic(), joins);
                    std::size_t from = at(model.text);
                    std::size_t to = at(model.text);
                    if (from > to) {
                        std::swap(from, to);
                    }
                    const std::string bytes = randomText(3);
                    const bool changes = from != to || !bytes.empty();
                    std::string after = model.text;
                    after.replace(from, to - from, bytes);
                    if (joins) {
                        model.undo.back().after = after;
                        if (!model.undo.back().whole && changes) {
                            model.undo.back().caret = from + bytes.size();
                        }
                    } else if (changes) {
                        // A splice outside an automatic step begins one.
                        model.redo.clear();
                        model.undo.push_back({model.text, after, Selection{from, from},
                                              from + bytes.size(), false, true, false});
                        model.automaticShown = true;
                        model.open = false;
                    }
                    model.changes += changes ? 1 : 0;
                    model.text = after;
                    change = document.spliceAutomatic(from, to, bytes);
                } else if (choice < 12) {
                    const std::optional<TextDocument::Restored> restored = document.undo();
                    QCOMPARE(restored.has_value(), !model.undo.empty());
                    if (restored) {
                        ModelStep step = model.undo.back();
                        model.undo.pop_back();
                        model.text = step.before;
                        QCOMPARE(restored->selection, step.selection);
                        model.redo.push_back(step);
                        ++model.changes;
                        model.open = false;
                        model.automaticShown = false;
                        change = restored->change;
                    }
                } else {
                    const std::optional<TextDocument::Restored> restored = document.redo();
                    QCOMPARE(restored.has_value(), !model.redo.empty());
                    if (restored) {
                        ModelStep step = model.redo.back();
                        model.redo.pop_back();
                        model.text = step.after;
                        const std::size_t caret = step.whole ? step.after.size() : step.caret;
                        QCOMPARE(restored->selection, (Selection{caret, caret}));
                        model.undo.push_back(step);
                        ++model.changes;
                        model.open = false;
                        model.automaticShown = false;
                        change = restored->change;
                    }
                }
                QVERIFY2(textOf(document) == model.text, where.c_str());
                QCOMPARE(document.changeCount(), model.changes);
                QCOMPARE(document.canUndo(), !model.undo.empty());
                QCOMPARE(document.canRedo(), !model.redo.empty());
                QCOMPARE(document.joinsAutomatic(), model.joinsAutomatic());
                QCOMPARE(document.text().lineCount(),
                         static_cast<std::size_t>(
                             std::count(model.text.begin(), model.text.end(), '\n')) +
                             1);
                if (change) {
                    const std::string failure = wrongChange(before, model.text, *change);
                    std::string message = failure;
                    message += " at " + where;
                    QVERIFY2(failure.empty(), message.c_str());
                }
            }
        }
    }
};

QTEST_APPLESS_MAIN(TestTextDocument)
#include "tst_textdocument.moc"

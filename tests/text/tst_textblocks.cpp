// Tests of the blocks a text area lays out: every line, a long line cut into
// pieces of kBlockBytes, numbered through the text, and kept right through
// edits, checked against blocks counted afresh from the bytes; between a change
// and its update, the count is still the one before.
#include <new>
#include <random>
#include <string>
#include <vector>

#include <QTest>

#include "failingallocation.h"
#include "text/textblocks.h"

using namespace lorimand::text;

namespace {

constexpr std::size_t kBlock = TextBlocks::kBlockBytes;

// The blocks of `bytes` counted afresh: each line's [start, end), in pieces.
[[nodiscard]] std::vector<TextBlocks::Block> blocksOf(const std::string &bytes)
{
    std::vector<TextBlocks::Block> blocks;
    std::size_t start = 0;
    for (std::size_t line = 0;; ++line) {
        const std::size_t lf = bytes.find('\n', start);
        std::size_t end = lf == std::string::npos ? bytes.size() : lf;
        if (lf != std::string::npos && end > start && bytes[end - 1] == '\r') {
            --end;
        }
        for (std::size_t piece = 0;; ++piece) {
            const std::size_t from = start + piece * kBlock;
            const std::size_t to = std::min(end, from + kBlock);
            blocks.push_back({blocks.size(), line, piece, from, to, to == end});
            if (to == end) {
                break;
            }
        }
        if (lf == std::string::npos) {
            return blocks;
        }
        start = lf + 1;
    }
}

void compare(const TextBlocks &blocks, const std::string &bytes, std::mt19937 &random)
{
    const std::vector<TextBlocks::Block> expected = blocksOf(bytes);
    QCOMPARE(blocks.count(), expected.size());
    for (const TextBlocks::Block &want : expected) {
        const TextBlocks::Block got = blocks.block(want.number);
        QCOMPARE(got.line, want.line);
        QCOMPARE(got.piece, want.piece);
        QCOMPARE(got.start, want.start);
        QCOMPARE(got.end, want.end);
        QCOMPARE(got.lastOfLine, want.lastOfLine);
        if (want.piece == 0) {
            QCOMPARE(blocks.firstBlockOf(want.line), want.number);
        }
    }
    std::uniform_int_distribution<std::size_t> offset(0, bytes.size());
    for (int i = 0; i < 20; ++i) {
        const std::size_t at = offset(random);
        const TextBlocks::Block got = blocks.blockAt(at);
        // The block that holds it: a line's end and its break belong to its last block.
        const auto holder = std::find_if(expected.begin(), expected.end(), [&](const auto &b) {
            return at >= b.start &&
                   (at < b.end || (b.lastOfLine && at <= b.end + 2 &&
                                   (at == b.end || bytes[at - 1] == '\r' || bytes[at] == '\n')));
        });
        QVERIFY(holder != expected.end());
        QCOMPARE(got.number, holder->number);
    }
}

// Text of short lines and lines around the block size, CR LF and LF alike.
[[nodiscard]] std::string randomText(std::mt19937 &random, std::size_t lines)
{
    std::uniform_int_distribution<int> kind(0, 5);
    std::string text;
    for (std::size_t i = 0; i < lines; ++i) {
        const int k = kind(random);
        const std::size_t length = k == 0   ? kBlock * 2 + 1
                                   : k == 1 ? kBlock
                                   : k == 2 ? kBlock + 1
                                            : 7;
        text.append(length, 'a');
        text += k % 2 == 0 ? "\r\n" : "\n";
    }
    return text;
}

} // namespace

class TestTextBlocks : public QObject
{
    Q_OBJECT

private slots:
    void blocksOfTexts_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("one block exactly") << QByteArray(kBlock, 'a');
        QTest::newRow("one byte over") << QByteArray(kBlock + 1, 'a');
        QTest::newRow("a block and its CR LF") << QByteArray(kBlock, 'a') + "\r\nb";
        QTest::newRow("lone CR at a cut")
            << QByteArray(kBlock - 1, 'a') + "\r" + QByteArray(9, 'b');
        QTest::newRow("long lines among short")
            << "x\n" + QByteArray(3 * kBlock + 5, 'a') + "\r\ny\n" + QByteArray(kBlock * 2, 'b');
    }
    void blocksOfTexts()
    {
        QFETCH(QByteArray, bytes);
        const TextBuffer text(bytes.toStdString());
        const TextBlocks blocks(text);
        std::mt19937 random(1);
        compare(blocks, bytes.toStdString(), random);
    }

    // Following a change whose allocation fails, at any of them, leaves the
    // blocks as they were: with the change taken back, they are right again.
    void runningOutOfMemoryLeavesTheBlocks_data()
    {
        QTest::addColumn<bool>("whole");
        QTest::newRow("an edit") << false;
        QTest::newRow("the whole text") << true;
    }
    void runningOutOfMemoryLeavesTheBlocks()
    {
        QFETCH(bool, whole);
        std::mt19937 random(3);
        const std::string original = randomText(random, 8);
        const std::string pasted = randomText(random, 40);
        bool completed = false;
        for (long allowed = 0; !completed; ++allowed) {
            TextBuffer text(original);
            TextBlocks blocks(text);
            const std::size_t from = whole ? 0 : original.size() / 2;
            const std::size_t to = whole ? original.size() : from + 3;
            const std::string removed = original.substr(from, to - from);
            const std::size_t linesBefore = text.lineCount();
            const ByteChange change = text.replace(from, to, pasted);
            try {
                const lorimand::test::FailingAllocation failing(allowed);
                blocks.update(change, linesBefore);
                completed = !failing.failed();
            } catch (const std::bad_alloc &) {
            }
            if (completed) {
                std::string model = original;
                model.replace(from, to - from, pasted);
                compare(blocks, model, random);
            } else {
                (void)text.replace(from, from + pasted.size(), removed);
                compare(blocks, original, random);
            }
            if (QTest::currentTestFailed()) {
                qWarning("after %ld allocations", allowed);
                return;
            }
        }
    }

    // Edits anywhere, long lines made, cut and joined: the blocks follow each.
    void randomEditsFollowed()
    {
        std::mt19937 random(7);
        for (int round = 0; round < 30; ++round) {
            std::string model = randomText(random, 12);
            TextBuffer text(model);
            TextBlocks blocks(text);
            for (int action = 0; action < 25; ++action) {
                std::uniform_int_distribution<std::size_t> at(0, model.size());
                std::size_t from = at(random);
                std::size_t to = at(random);
                if (from > to) {
                    std::swap(from, to);
                }
                to = std::min(to, from + 3 * kBlock);
                std::string bytes =
                    std::uniform_int_distribution<int>(0, 2)(random) == 0
                        ? randomText(random, 2)
                        : std::string(static_cast<std::size_t>(
                                          std::uniform_int_distribution<int>(0, 9)(random)),
                                      'c');
                if (std::uniform_int_distribution<int>(0, 4)(random) == 0) {
                    bytes += '\r';
                }
                // Room made beforehand: following the change allocates nothing.
                const bool reserved = action % 2 == 0;
                if (reserved) {
                    blocks.reserveFor(bytes.size());
                }
                const std::size_t linesBefore = text.lineCount();
                const std::size_t blocksBefore = blocks.count();
                const ByteChange change = text.replace(from, to, bytes);
                model.replace(from, to - from, bytes);
                // Until it follows the change, the index counts the blocks it
                // had: what the layouts kept through the change are numbered by.
                QCOMPARE(blocks.count(), blocksBefore);
                {
                    const lorimand::test::FailingAllocation counted(-1);
                    blocks.update(change, linesBefore);
                    if (reserved) {
                        QCOMPARE(counted.count(), std::size_t{0});
                    }
                }
                compare(blocks, model, random);
                if (QTest::currentTestFailed()) {
                    qWarning("round %d action %d", round, action);
                    return;
                }
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestTextBlocks)
#include "tst_textblocks.moc"

// Tests of the layout cache: after an edit, every layout it keeps is the one a
// cache made afresh lays out (layoutcheck.h), named edits that join, split and
// cut lines first, then random edits of random texts, in both charsets and at
// several widths.
#include <random>
#include <string>

#include <QFont>
#include <QTest>

#include "text/textbuffer.h"
#include "ui/text/layoutcache.h"
#include "ui/text/layoutcheck.h"

using namespace lorimand;
using displaytext::Charset;

namespace {

constexpr std::size_t kBlock = text::TextBlocks::kBlockBytes;

// A cache over `text` with every block laid out, as after scrolling through it.
void layOutAll(const LayoutCache &layouts)
{
    for (std::size_t number = 0; number < layouts.count(); ++number) {
        (void)layouts.block(number);
    }
}

// Bytes [from, to) of `text` become `bytes`, and the cache follows.
void edit(text::TextBuffer &text, LayoutCache &layouts, std::size_t from, std::size_t to,
          const std::string &bytes)
{
    const std::size_t lines = text.lineCount();
    layouts.follow(text.replace(from, to, bytes), lines);
}

} // namespace

class TestLayoutCache : public QObject
{
    Q_OBJECT

private slots:
    void namedEdits_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<Charset>("charset");
        const QByteArray four("one\r\ntwo\r\nthree\r\nfour");
        const QByteArray longLine = QByteArray(3 * kBlock + 7, 'a');
        QTest::newRow("two lines joined") << four << 3 << 5 << QByteArray() << Charset::Windows1252;
        QTest::newRow("a line split")
            << four << 1 << 1 << QByteArray("\r\n") << Charset::Windows1252;
        QTest::newRow("the last line removed")
            << four << 15 << 21 << QByteArray() << Charset::Windows1252;
        QTest::newRow("a long line split")
            << "x\r\n" + longLine + "\r\ny" << int(kBlock + 9) << int(kBlock + 9)
            << QByteArray("\r\n") << Charset::Windows1252;
        QTest::newRow("a long line joined to the next")
            << "x\r\n" + longLine + "\r\ny" << int(3 + longLine.size()) << int(5 + longLine.size())
            << QByteArray() << Charset::Windows1252;
        QTest::newRow("a CR LF made at a block's edge")
            << QByteArray(kBlock - 1, 'b') + "\r" + QByteArray(kBlock, 'c') << int(kBlock)
            << int(kBlock) << QByteArray("\n") << Charset::Windows1252;
        QTest::newRow("a UTF-8 character finished across an edge")
            << QByteArray(kBlock - 1, 'd') + "\xE4" + QByteArray(kBlock, 'e') << int(kBlock)
            << int(kBlock) << QByteArray("\xB8\xAD") << Charset::Utf8;
        QTest::newRow("a UTF-8 character cut at an edge")
            << QByteArray(kBlock - 1, 'd') + "\xE4\xB8\xAD" + QByteArray(kBlock, 'e') << int(kBlock)
            << int(kBlock + 1) << QByteArray() << Charset::Utf8;
    }
    void namedEdits()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QByteArray, bytes);
        QFETCH(Charset, charset);
        text::TextBuffer buffer(text.toStdString());
        LayoutCache layouts(buffer);
        layouts.setCharset(charset);
        layouts.setWidth(300);
        layOutAll(layouts);
        edit(buffer, layouts, static_cast<std::size_t>(from), static_cast<std::size_t>(to),
             bytes.toStdString());
        const std::optional<std::string> wrong = testing::differenceFromFresh(layouts);
        QVERIFY2(!wrong, wrong.value_or("").c_str());
    }

    // Edits anywhere in texts of short and long lines, every kind of line end
    // and UTF-8 characters; after each, the blocks around it are laid out again.
    void randomEdits_data()
    {
        QTest::addColumn<Charset>("charset");
        QTest::addColumn<qreal>("width");
        QTest::newRow("Windows-1252, wide") << Charset::Windows1252 << qreal(600);
        QTest::newRow("Windows-1252, narrow") << Charset::Windows1252 << qreal(60);
        QTest::newRow("UTF-8, wide") << Charset::Utf8 << qreal(600);
        QTest::newRow("UTF-8, narrow") << Charset::Utf8 << qreal(60);
    }
    void randomEdits()
    {
        QFETCH(Charset, charset);
        QFETCH(qreal, width);
        static const char *const kPieces[] = {
            "ab", " ", "\r\n", "\n", "\r", "\xE4\xB8\xAD", "\xE4", "\xAD", "\xF0\x9F\x98\x80",
            "\t"};
        std::mt19937 random(11);
        const auto below = [&](std::size_t limit) {
            return std::uniform_int_distribution<std::size_t>(0, limit - 1)(random);
        };
        for (int round = 0; round < 5; ++round) {
            std::string start;
            while (start.size() < 2 * kBlock) {
                start += below(40) == 0 ? std::string(kBlock + below(9), 'x')
                                        : std::string(kPieces[below(std::size(kPieces))]);
            }
            text::TextBuffer buffer(start);
            LayoutCache layouts(buffer);
            layouts.setCharset(charset);
            layouts.setWidth(width);
            layOutAll(layouts);
            for (int step = 0; step < 25; ++step) {
                std::size_t from = below(buffer.size() + 1);
                const std::size_t to = std::min(buffer.size(), from + below(12));
                std::string bytes;
                for (std::size_t n = below(3); n > 0; --n) {
                    bytes += kPieces[below(std::size(kPieces))];
                }
                edit(buffer, layouts, from, to, bytes);
                const std::size_t near = layouts.blockNumberAt(from);
                for (std::size_t n = near > 2 ? near - 2 : 0;
                     n < std::min(layouts.count(), near + 3); ++n) {
                    (void)layouts.block(n);
                }
                const std::optional<std::string> wrong = testing::differenceFromFresh(layouts);
                QVERIFY2(!wrong, (wrong.value_or("") + " (round " + std::to_string(round) +
                                  ", step " + std::to_string(step) + ")")
                                     .c_str());
            }
        }
    }
};

QTEST_MAIN(TestLayoutCache)
#include "tst_layoutcache.moc"

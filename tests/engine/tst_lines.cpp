// Tests of the line rule of text files.
#include <string>

#include <QRandomGenerator>
#include <QTest>

#include "bytes.h"
#include "engine/lines.h"

using namespace lorimand;
using lorimand::test::bytesOf;

class TestLines : public QObject
{
    Q_OBJECT

private slots:
    void split_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArrayList>("lines");
        QTest::newRow("empty") << QByteArray() << QByteArrayList{};
        QTest::newRow("one line") << QByteArray("a") << QByteArrayList{"a"};
        QTest::newRow("CR LF") << QByteArray("a\r\nb") << QByteArrayList{"a", "b"};
        QTest::newRow("final line end starts no line")
            << QByteArray("a\r\nb\r\n") << QByteArrayList{"a", "b"};
        QTest::newRow("empty last line") << QByteArray("a\r\n\r\n") << QByteArrayList{"a", ""};
        QTest::newRow("line end only") << QByteArray("\r\n") << QByteArrayList{""};
        QTest::newRow("lone CR ends a line") << QByteArray("a\rb") << QByteArrayList{"a", "b"};
        QTest::newRow("CR CR LF") << QByteArray("a\r\r\nb") << QByteArrayList{"a", "", "b"};
        QTest::newRow("lone LF stays") << QByteArray("a\nb\n") << QByteArrayList{"a\nb\n"};
        QTest::newRow("LF CR") << QByteArray("a\n\rb") << QByteArrayList{"a\n", "b"};
        QTest::newRow("NUL and 0x1A kept")
            << QByteArray("a\0b\x1a\r\nc", 7) << QByteArrayList{QByteArray("a\0b\x1a", 4), "c"};
    }
    void split()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArrayList, lines);
        const std::string text = bytesOf(bytes);
        QByteArrayList got;
        for (const std::string_view line : splitLines(text)) {
            got.append(QByteArray(line.data(), static_cast<qsizetype>(line.size())));
        }
        QCOMPARE(got, lines);
    }

    void join_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("joined");
        QTest::addColumn<QByteArray>("ended");
        QTest::newRow("empty") << QByteArray() << QByteArray() << QByteArray();
        QTest::newRow("line end only") << QByteArray("\r\n") << QByteArray() << QByteArray("\r\n");
        QTest::newRow("one line") << QByteArray("a") << QByteArray("a") << QByteArray("a\r\n");
        QTest::newRow("final line end dropped")
            << QByteArray("a\r\nb\r\n") << QByteArray("a\r\nb") << QByteArray("a\r\nb\r\n");
        QTest::newRow("no final line end")
            << QByteArray("a\r\nb") << QByteArray("a\r\nb") << QByteArray("a\r\nb\r\n");
        QTest::newRow("empty last line")
            << QByteArray("a\r\n\r\n") << QByteArray("a\r\n") << QByteArray("a\r\n\r\n");
        QTest::newRow("lone CR becomes CR LF")
            << QByteArray("a\rb") << QByteArray("a\r\nb") << QByteArray("a\r\nb\r\n");
        QTest::newRow("lone LF unchanged")
            << QByteArray("a\nb") << QByteArray("a\nb") << QByteArray("a\nb\r\n");
        QTest::newRow("NUL and 0x1A kept")
            << QByteArray("\0\x1a\r", 3) << QByteArray("\0\x1a", 2) << QByteArray("\0\x1a\r\n", 4);
    }
    void join()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, joined);
        QFETCH(QByteArray, ended);
        QCOMPARE(QByteArray::fromStdString(joinLines(bytesOf(bytes))), joined);
        QCOMPARE(QByteArray::fromStdString(endEveryLine(bytesOf(bytes))), ended);
    }

    // On random texts: the loaded text is the lines of the line rule joined by
    // CR LF, and every line ended or not, loading gives the same text.
    void joiningFollowsTheLineRule()
    {
        QRandomGenerator random(5);
        const char alphabet[] = {'\r', '\n', 'a', '\0'};
        for (int round = 0; round < 3000; ++round) {
            std::string text(random.bounded(10u), '\0');
            for (char &ch : text) {
                ch = alphabet[random.bounded(4)];
            }
            const std::vector<std::string_view> lines = splitLines(text);
            std::string joined;
            for (std::size_t i = 0; i < lines.size(); ++i) {
                joined += i == 0 ? "" : "\r\n";
                joined += lines[i];
            }
            QCOMPARE(joinLines(text), joined);
            QCOMPARE(joinLines(endEveryLine(text)), joined);
        }
    }
};

QTEST_APPLESS_MAIN(TestLines)
#include "tst_lines.moc"

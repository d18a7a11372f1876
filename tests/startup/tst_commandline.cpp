// The start-up command line: the argument text and the "-e "/"-d " switches.
#include <string_view>
#include <vector>

#include <QTest>

#include "startup/commandline.h"

using namespace lorimand;

Q_DECLARE_METATYPE(lorimand::Direction)

class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void argumentTextJoinsWithSingleBlanks_data()
    {
        QTest::addColumn<QList<QByteArray>>("arguments");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("none") << QList<QByteArray>{} << QByteArray();
        QTest::newRow("one") << QList<QByteArray>{"notes.txt"} << QByteArray("notes.txt");
        QTest::newRow("switch and name")
            << QList<QByteArray>{"-e", "notes.txt"} << QByteArray("-e notes.txt");
        QTest::newRow("blank inside an argument kept")
            << QList<QByteArray>{"-d", "my notes.txt"} << QByteArray("-d my notes.txt");
        QTest::newRow("empty argument keeps its blank")
            << QList<QByteArray>{"-e", "", "notes.txt"} << QByteArray("-e  notes.txt");
        QTest::newRow("bytes that are not UTF-8 kept")
            << QList<QByteArray>{"-e", "caf\xE9 \xFF.txt"} << QByteArray("-e caf\xE9 \xFF.txt");
    }
    void argumentTextJoinsWithSingleBlanks()
    {
        QFETCH(QList<QByteArray>, arguments);
        QFETCH(QByteArray, expected);
        std::vector<std::string_view> views;
        views.reserve(static_cast<std::size_t>(arguments.size()));
        for (const QByteArray &argument : std::as_const(arguments)) {
            views.emplace_back(argument.constData(), static_cast<std::size_t>(argument.size()));
        }
        QCOMPARE(QByteArray::fromStdString(argumentText(views)), expected);
    }

    void forms_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("fileName");
        QTest::addColumn<Direction>("direction");
        const auto encode = Direction::Encode;
        const auto decode = Direction::Decode;
        QTest::newRow("-e") << QByteArray("-e notes.txt") << QByteArray("notes.txt") << encode;
        QTest::newRow("-d") << QByteArray("-d notes.txt") << QByteArray("notes.txt") << decode;
        QTest::newRow("-E capital")
            << QByteArray("-E notes.txt") << QByteArray("notes.txt") << encode;
        QTest::newRow("-D capital")
            << QByteArray("-D notes.txt") << QByteArray("notes.txt") << decode;
        QTest::newRow("name alone") << QByteArray("notes.txt") << QByteArray("notes.txt") << decode;
        QTest::newRow("-e alone is a name") << QByteArray("-e") << QByteArray("-e") << decode;
        QTest::newRow("-e without blank is a name")
            << QByteArray("-enotes.txt") << QByteArray("-enotes.txt") << decode;
        QTest::newRow("-e and nothing after the blank")
            << QByteArray("-e ") << QByteArray("") << encode;
        QTest::newRow("two blanks keep one")
            << QByteArray("-e  notes.txt") << QByteArray(" notes.txt") << encode;
        QTest::newRow("quotes kept")
            << QByteArray("\"my notes.txt\"") << QByteArray("\"my notes.txt\"") << decode;
        QTest::newRow("quotes kept after switch")
            << QByteArray("-e \"my notes.txt\"") << QByteArray("\"my notes.txt\"") << encode;
        QTest::newRow("second switch is part of the name")
            << QByteArray("-e a.txt -d b.txt") << QByteArray("a.txt -d b.txt") << encode;
        QTest::newRow("trailing blank kept")
            << QByteArray("-d notes.txt ") << QByteArray("notes.txt ") << decode;
        QTest::newRow("name that is not UTF-8")
            << QByteArray("-e caf\xE9 \xFF.txt") << QByteArray("caf\xE9 \xFF.txt") << encode;
        QTest::newRow("other switch is a name")
            << QByteArray("-x notes.txt") << QByteArray("-x notes.txt") << decode;
    }
    void forms()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, fileName);
        QFETCH(Direction, direction);
        const std::optional<CommandLineRequest> request = parseCommandLine(text.toStdString());
        QVERIFY(request.has_value());
        QCOMPARE(QByteArray::fromStdString(request->fileName), fileName);
        QCOMPARE(request->direction, direction);
    }

    void emptyTextIsNoRequest()
    {
        QVERIFY(!parseCommandLine({}).has_value());
        QVERIFY(!parseCommandLine(argumentText({})).has_value());
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"

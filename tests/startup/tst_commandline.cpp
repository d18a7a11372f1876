// The start-up command line: the argument text and the "-e "/"-d " switches.
#include <QTest>

#include "startup/commandline.h"

using namespace Qt::StringLiterals;

using namespace lorimand;

Q_DECLARE_METATYPE(lorimand::Direction)

class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void argumentTextJoinsWithSingleBlanks_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("expected");
        QTest::newRow("none") << QStringList{} << QString();
        QTest::newRow("one") << QStringList{u"notes.txt"_s} << u"notes.txt"_s;
        QTest::newRow("switch and name")
            << QStringList{u"-e"_s, u"notes.txt"_s} << u"-e notes.txt"_s;
        QTest::newRow("blank inside an argument kept")
            << QStringList{u"-d"_s, u"my notes.txt"_s} << u"-d my notes.txt"_s;
        QTest::newRow("empty argument keeps its blank")
            << QStringList{u"-e"_s, u""_s, u"notes.txt"_s} << u"-e  notes.txt"_s;
    }
    void argumentTextJoinsWithSingleBlanks()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, expected);
        QCOMPARE(argumentText(arguments), expected);
    }

    void forms_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<Direction>("direction");
        const auto encode = Direction::Encode;
        const auto decode = Direction::Decode;
        QTest::newRow("-e") << "-e notes.txt"
                            << "notes.txt" << encode;
        QTest::newRow("-d") << "-d notes.txt"
                            << "notes.txt" << decode;
        QTest::newRow("-E capital") << "-E notes.txt"
                                    << "notes.txt" << encode;
        QTest::newRow("-D capital") << "-D notes.txt"
                                    << "notes.txt" << decode;
        QTest::newRow("name alone") << "notes.txt"
                                    << "notes.txt" << decode;
        QTest::newRow("-e alone is a name") << "-e"
                                            << "-e" << decode;
        QTest::newRow("-e without blank is a name") << "-enotes.txt"
                                                    << "-enotes.txt" << decode;
        QTest::newRow("-e and nothing after the blank") << "-e "
                                                        << "" << encode;
        QTest::newRow("two blanks keep one") << "-e  notes.txt"
                                             << " notes.txt" << encode;
        QTest::newRow("quotes kept") << "\"my notes.txt\""
                                     << "\"my notes.txt\"" << decode;
        QTest::newRow("quotes kept after switch") << "-e \"my notes.txt\""
                                                  << "\"my notes.txt\"" << encode;
        QTest::newRow("second switch is part of the name") << "-e a.txt -d b.txt"
                                                           << "a.txt -d b.txt" << encode;
        QTest::newRow("trailing blank kept") << "-d notes.txt "
                                             << "notes.txt " << decode;
        QTest::newRow("other switch is a name") << "-x notes.txt"
                                                << "-x notes.txt" << decode;
    }
    void forms()
    {
        QFETCH(QString, text);
        QFETCH(QString, fileName);
        QFETCH(Direction, direction);
        const std::optional<CommandLineRequest> request = parseCommandLine(text);
        QVERIFY(request.has_value());
        QCOMPARE(request->fileName, fileName);
        QCOMPARE(request->direction, direction);
    }

    void emptyTextIsNoRequest()
    {
        QVERIFY(!parseCommandLine(QString()).has_value());
        QVERIFY(!parseCommandLine(argumentText({})).has_value());
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"

// Captions without their access-key mark, and tool tips that name the key.
#include <QTest>

#include "ui/captions.h"

using namespace lorimand;

class TestCaptions : public QObject
{
    Q_OBJECT

private slots:
    void captions_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("plain");
        QTest::addColumn<QString>("toolTip");
        QTest::newRow("key first") << "&Save"
                                   << "Save"
                                   << "Save (Alt+S)";
        QTest::newRow("key inside") << "Sa&ve Encoded Text"
                                    << "Save Encoded Text"
                                    << "Save Encoded Text (Alt+V)";
        QTest::newRow("a doubled mark is an ampersand") << "Load && &Go"
                                                        << "Load & Go"
                                                        << "Load & Go (Alt+G)";
        QTest::newRow("no key") << "Plain"
                                << "Plain"
                                << "Plain";
        QTest::newRow("only a doubled mark") << "A && B"
                                             << "A & B"
                                             << "A & B";
        QTest::newRow("a lone mark at the end stays") << "End&"
                                                      << "End&"
                                                      << "End&";
    }
    void captions()
    {
        QFETCH(QString, caption);
        QFETCH(QString, plain);
        QFETCH(QString, toolTip);
        QCOMPARE(plainCaption(caption), plain);
        QCOMPARE(accessKeyToolTip(caption), toolTip);
    }
};

QTEST_GUILESS_MAIN(TestCaptions)
#include "tst_captions.moc"

// The main window's layout rules as functions of its outer size.
#include <QTest>

#include "ui/main/mainlayout.h"

using namespace lorimand;

Q_DECLARE_METATYPE(twips::Size)

class TestMainLayout : public QObject
{
    Q_OBJECT

private slots:
    void minimumSizeGivesTheDesign()
    {
        QCOMPARE(arrangeMainWindow(kMainMinimumSize), initialMainLayout());
    }

    void enforcesTheMinimum_data()
    {
        QTest::addColumn<twips::Size>("dragged");
        QTest::addColumn<twips::Size>("result");
        QTest::newRow("both too small") << twips::Size{8000, 5000} << twips::Size{8415, 6000};
        QTest::newRow("only too low") << twips::Size{10000, 5000} << twips::Size{10000, 6000};
        QTest::newRow("only too narrow") << twips::Size{7000, 9000} << twips::Size{8415, 9000};
        QTest::newRow("large enough") << twips::Size{12000, 9000} << twips::Size{12000, 9000};
    }
    void enforcesTheMinimum()
    {
        QFETCH(twips::Size, dragged);
        QFETCH(twips::Size, result);
        QCOMPARE(enforceMainMinimum(dragged), result);
    }

    void largeWindow()
    {
        const MainLayout l = arrangeMainWindow({12000, 9000});
        QCOMPARE(l.normal, (twips::Rect{120, 120, 11640, 3555}));
        QCOMPARE(l.encoded, (twips::Rect{120, 4920, 11640, 3555}));
        QCOMPARE(l.loadText.top, 3780.0);
        QCOMPARE(l.loadCode.top, 4320.0);
        QCOMPARE(l.saveText.left, 10305.0);
        QCOMPARE(l.codeType.left, 3532.5);
        QCOMPARE(l.codeType.top, 4020.0);
        QCOMPARE(l.key.left, 5332.5);
        QCOMPARE(l.key.top, 4020.0);
        QCOMPARE(l.decodeButton.left, 7312.5);
        QCOMPARE(l.decodeButton.top, 3840.0);
        // Only the text areas change size.
        const MainLayout design = initialMainLayout();
        QCOMPARE(l.key.width, design.key.width);
        QCOMPARE(l.autoUpdate.height, design.autoUpdate.height);
    }

    void band_data()
    {
        QTest::addColumn<double>("width");
        QTest::addColumn<double>("height");
        QTest::newRow("design") << 8415.0 << 6000.0;
        QTest::newRow("odd remainder") << 9001.0 << 6001.0;
        QTest::newRow("tall") << 8415.0 << 20000.0;
    }
    void band()
    {
        QFETCH(double, width);
        QFETCH(double, height);
        const MainLayout l = arrangeMainWindow({width, height});
        QCOMPARE(l.normal.height, l.encoded.height);
        QCOMPARE(l.encoded.top + l.encoded.height, height - 525);
        QCOMPARE(l.encoded.top - (l.normal.top + l.normal.height), 1245.0);
        QCOMPARE(l.normal.left + l.normal.width, width - 240);
        QCOMPARE(l.saveText.left + l.saveText.width, width - 240);
        QCOMPARE(l.autoUpdate.left, width / 2 + 1432.5);
        QCOMPARE(l.autoUpdate.top, l.normal.height + 585);
        // The labels stay covered by Normal.
        for (const twips::Rect &label : {l.label1, l.label2}) {
            QVERIFY(label.left >= l.normal.left && label.top >= l.normal.top);
            QVERIFY(label.left + label.width <= l.normal.left + l.normal.width);
            QVERIFY(label.top + label.height <= l.normal.top + l.normal.height);
        }
    }
};

QTEST_APPLESS_MAIN(TestMainLayout)
#include "tst_mainlayout.moc"

// The help window's layout rules in twips: the minimum size and where the text
// box, the banner and its label go for a given outer size.
#include <QTest>

#include "ui/help/helplayout.h"

using namespace lorimand;

Q_DECLARE_METATYPE(lorimand::twips::Size)
Q_DECLARE_METATYPE(lorimand::twips::Rect)

namespace QTest {
template <> char *toString(const lorimand::twips::Rect &t)
{
    return qstrdup(QByteArray::number(t.left) + "," + QByteArray::number(t.top) + " " +
                   QByteArray::number(t.width) + "x" + QByteArray::number(t.height));
}
template <> char *toString(const lorimand::twips::Size &t)
{
    return qstrdup(QByteArray::number(t.width) + "x" + QByteArray::number(t.height));
}
} // namespace QTest

class TestHelpLayout : public QObject
{
    Q_OBJECT

private slots:
    void arrangesControls_data();
    void arrangesControls();
    void enforcesMinimumPerDimension_data();
    void enforcesMinimumPerDimension();
    void minimumClientSizeReachesMinimum();
    void opensWithinTheScreen_data();
    void opensWithinTheScreen();
};

void TestHelpLayout::arrangesControls_data()
{
    QTest::addColumn<twips::Size>("outer");
    QTest::addColumn<twips::Rect>("text");
    QTest::addColumn<twips::Rect>("banner");
    QTest::addColumn<twips::Rect>("label");

    QTest::newRow("13095 x 9625") << twips::Size{13095, 9625} << twips::Rect{180, 180, 12615, 7575}
                                  << twips::Rect{3037.5, 7930, 7020, 900}
                                  << twips::Rect{3030, 8890, 7035, 195};
    // The initial client area plus the design frame.
    QTest::newRow("initial size") << twips::Size{13095, 9720} << twips::Rect{180, 180, 12615, 7670}
                                  << twips::Rect{3037.5, 8025, 7020, 900}
                                  << twips::Rect{3030, 8985, 7035, 195};
    QTest::newRow("minimum") << twips::Size{7100, 4000} << twips::Rect{180, 180, 6620, 1950}
                             << twips::Rect{40, 2305, 7020, 900}
                             << twips::Rect{32.5, 3265, 7035, 195};
    QTest::newRow("below the minimum is laid out at it")
        << twips::Size{5000, 3000} << twips::Rect{180, 180, 6620, 1950}
        << twips::Rect{40, 2305, 7020, 900} << twips::Rect{32.5, 3265, 7035, 195};
    QTest::newRow("fractional width")
        << twips::Size{20001, 6000} << twips::Rect{180, 180, 19521, 3950}
        << twips::Rect{6490.5, 4305, 7020, 900} << twips::Rect{6483, 5265, 7035, 195};
}

void TestHelpLayout::arrangesControls()
{
    QFETCH(twips::Size, outer);
    QFETCH(twips::Rect, text);
    QFETCH(twips::Rect, banner);
    QFETCH(twips::Rect, label);

    const HelpLayout layout = arrangeHelpWindow(outer);
    QCOMPARE(layout.txtHelpFile, text);
    QCOMPARE(layout.imgQuorvale, banner);
    QCOMPARE(layout.lblQuorvale, label);
    QCOMPARE(layout.outer, enforceHelpMinimum(outer));
}

void TestHelpLayout::enforcesMinimumPerDimension_data()
{
    QTest::addColumn<twips::Size>("outer");
    QTest::addColumn<twips::Size>("expected");

    QTest::newRow("both too small") << twips::Size{5000, 3000} << twips::Size{7100, 4000};
    QTest::newRow("width only") << twips::Size{5000, 9625} << twips::Size{7100, 9625};
    QTest::newRow("height only") << twips::Size{13095, 3000} << twips::Size{13095, 4000};
    QTest::newRow("exactly the minimum") << twips::Size{7100, 4000} << twips::Size{7100, 4000};
    QTest::newRow("just below") << twips::Size{7099.5, 3999.5} << twips::Size{7100, 4000};
    QTest::newRow("large") << twips::Size{13095, 9625} << twips::Size{13095, 9625};
    QTest::newRow("minimised to nothing") << twips::Size{0, 0} << twips::Size{7100, 4000};
}

void TestHelpLayout::enforcesMinimumPerDimension()
{
    QFETCH(twips::Size, outer);
    QFETCH(twips::Size, expected);

    QCOMPARE(enforceHelpMinimum(outer), expected);
    QCOMPARE(arrangeHelpWindow(outer).outer, expected);
}

void TestHelpLayout::minimumClientSizeReachesMinimum()
{
    const QSize client = helpMinimumClientSize();
    QCOMPARE(client, QSize(466, 240));

    // The smallest client area reaches the minimum; one pixel less falls short.
    const twips::Size outer = twips::outerSize(client);
    QVERIFY(outer.width >= kHelpMinimumSize.width);
    QVERIFY(outer.height >= kHelpMinimumSize.height);
    const twips::Size smaller = twips::outerSize(client - QSize(1, 1));
    QVERIFY(smaller.width < kHelpMinimumSize.width);
    QVERIFY(smaller.height < kHelpMinimumSize.height);
}

QTEST_APPLESS_MAIN(TestHelpLayout)
#include "tst_helplayout.moc"

void TestHelpLayout::opensWithinTheScreen_data()
{
    QTest::addColumn<QPoint>("centre");
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QSize>("expected");
    const QSize initial(865, 621);
    QTest::newRow("large screen: as designed, centred")
        << QPoint(960, 540) << QRect(0, 0, 1920, 1050) << initial;
    QTest::newRow("900 pixels high, main window low on it")
        << QPoint(700, 820) << QRect(0, 0, 1440, 900) << initial;
    QTest::newRow("main window near the top left")
        << QPoint(20, 10) << QRect(0, 24, 1440, 876) << initial;
    QTest::newRow("a screen smaller than the window")
        << QPoint(400, 300) << QRect(0, 0, 800, 600) << QSize(792, 573);
    QTest::newRow("a second screen to the right")
        << QPoint(2400, 1000) << QRect(1920, 0, 1024, 740) << QSize(865, 621);
    QTest::newRow("below the minimum: the minimum, title bar on the screen")
        << QPoint(160, 100) << QRect(0, 0, 320, 200) << helpMinimumClientSize();
}

void TestHelpLayout::opensWithinTheScreen()
{
    QFETCH(QPoint, centre);
    QFETCH(QRect, available);
    QFETCH(QSize, expected);
    const QRect client = helpGeometryWithin(QSize(865, 621), centre, available);
    QCOMPARE(client.size(), expected);
    // With the frame about it: 4 pixels of border, and a title bar of 19 above.
    const QRect outer = client.adjusted(-4, -23, 4, 4);
    QVERIFY(outer.top() >= available.top() && outer.left() >= available.left());
    if (expected != helpMinimumClientSize()) {
        QVERIFY2(available.contains(outer), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                           .arg(outer.x())
                                                           .arg(outer.y())
                                                           .arg(outer.width())
                                                           .arg(outer.height())));
    }
    // Where the screen leaves room, it stays centred on the main window.
    const QRect centres = available.adjusted(outer.width() / 2, outer.height() / 2,
                                             -outer.width() / 2, -outer.height() / 2);
    if (centres.isValid() && centres.contains(centre)) {
        QVERIFY((outer.center() - centre).manhattanLength() <= 2);
    }
}

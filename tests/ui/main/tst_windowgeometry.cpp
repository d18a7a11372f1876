// Where the main window goes for the geometry the settings file holds: always
// on a screen, never larger than it, whatever the file says.
#include <cmath>
#include <limits>

#include <QTest>

#include "ui/main/windowgeometry.h"

using namespace lorimand;

namespace {

const QRect kPrimary(0, 0, 1920, 1080);
const QRect kSecond(1920, 0, 1280, 1024);

} // namespace

class TestWindowGeometry : public QObject
{
    Q_OBJECT

private slots:
    void placed_data()
    {
        constexpr float nan = std::numeric_limits<float>::quiet_NaN();
        constexpr float inf = std::numeric_limits<float>::infinity();
        QTest::addColumn<WindowGeometry>("saved");
        QTest::addColumn<QList<QRect>>("screens");
        QTest::addColumn<QRect>("client");
        const QList<QRect> two{kPrimary, kSecond};
        // The design frame: 4 pixels of border, a title bar of 19 above.
        QTest::newRow("as saved") << WindowGeometry{1200, 900, 9015, 6405} << two
                                  << QRect(80, 60, 593, 400);
        QTest::newRow("on the second screen")
            << WindowGeometry{30000, 1500, 9015, 6405} << two << QRect(2000, 100, 593, 400);
        QTest::newRow("mostly on the second screen")
            << WindowGeometry{27000, 1500, 9015, 6405} << two << QRect(1924, 100, 593, 400);
        QTest::newRow("larger than the screen")
            << WindowGeometry{0, 0, 1e8f, 1e8f} << two << QRect(4, 23, 1912, 1053);
        QTest::newRow("far off every screen")
            << WindowGeometry{-1e9f, 1e9f, 9015, 6405} << two << QRect(4, 676, 593, 400);
        QTest::newRow("title bar above the screen")
            << WindowGeometry{1500, -750, 9015, 6405} << two << QRect(100, 23, 593, 400);
        QTest::newRow("not numbers")
            << WindowGeometry{nan, inf, nan, -inf} << two << QRect(4, 23, 553, 373);
        QTest::newRow("too large for an integer")
            << WindowGeometry{1e30f, 1e30f, 1e30f, 1e30f} << two << QRect(4, 23, 1912, 1053);
        QTest::newRow("below the minimum size")
            << WindowGeometry{1500, 1500, 100, -5} << two << QRect(100, 100, 553, 373);
        // The minimum size wins over a screen smaller than it.
        QTest::newRow("screen below the minimum")
            << WindowGeometry{1200, 900, 9015, 6405} << QList<QRect>{QRect(0, 0, 400, 300)}
            << QRect(4, 23, 553, 373);
    }
    void placed()
    {
        QFETCH(WindowGeometry, saved);
        QFETCH(QList<QRect>, screens);
        QFETCH(QRect, client);
        QCOMPARE(clientGeometryFor(saved, screens), client);
    }

    void savedAsPlaced()
    {
        const QRect client(80, 60, 593, 400);
        const WindowGeometry saved = savedGeometryFor(client);
        QCOMPARE(saved, (WindowGeometry{1200, 900, 9015, 6405}));
        QCOMPARE(clientGeometryFor(saved, {kPrimary}), client);
    }
};

QTEST_APPLESS_MAIN(TestWindowGeometry)
#include "tst_windowgeometry.moc"

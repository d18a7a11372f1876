// The window as a desktop user meets it: option indicators that stay visible in
// a dark palette, a visible focus on every control, names for screen readers,
// tool tips that name the access keys, zooming text, and Escape in the help.
#include <QAccessible>
#include <QApplication>
#include <QPointer>
#include <QStyleOptionButton>
#include <QTest>
#include <QWheelEvent>

#include "mainwindowfixture.h"
#include "ui/help/helpwindow.h"

using namespace Qt::StringLiterals;

using namespace lorimand;
using namespace lorimand::test;

namespace {

// The application palette for the life of the object.
class ApplicationPalette
{
public:
    explicit ApplicationPalette(const QPalette &palette) : saved_(QApplication::palette())
    {
        QApplication::setPalette(palette);
    }
    ~ApplicationPalette() { QApplication::setPalette(saved_); }
    ApplicationPalette(const ApplicationPalette &) = delete;
    ApplicationPalette &operator=(const ApplicationPalette &) = delete;

private:
    QPalette saved_;
};

QPalette darkPalette()
{
    QPalette dark(QColor(0x30, 0x30, 0x30), QColor(0x25, 0x25, 0x25));
    dark.setColor(QPalette::Base, QColor(0x1e, 0x1e, 0x1e));
    dark.setColor(QPalette::Text, QColor(0xee, 0xee, 0xee));
    dark.setColor(QPalette::WindowText, QColor(0xee, 0xee, 0xee));
    return dark;
}

double meanLightness(const QImage &image)
{
    double sum = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            sum += QColor(image.pixel(x, y)).lightnessF();
        }
    }
    return sum / (image.width() * image.height());
}

const QStringList kFocusableControls{
    u"Normal"_s,   u"UseKey"_s,       u"UseCustom"_s,    u"Key"_s,        u"CodeName"_s,
    u"MaskKey"_s,  u"DecodeButton"_s, u"EncodeButton"_s, u"AutoUpdate"_s, u"LoadText"_s,
    u"LoadCode"_s, u"SaveText"_s,     u"SaveCode"_s,     u"Encoded"_s};

} // namespace

class TestDesktop : public QObject
{
    Q_OBJECT

private slots:
    void indicatorsStayVisibleInADarkPalette_data();
    void indicatorsStayVisibleInADarkPalette();
    void focusIsVisible_data();
    void focusIsVisible();
    void everyControlHasAName();
    void toolTipsNameTheAccessKeys_data();
    void toolTipsNameTheAccessKeys();
    void textAreasZoom_data();
    void textAreasZoom();
    void escapeClosesTheHelp();
};

void TestDesktop::indicatorsStayVisibleInADarkPalette_data()
{
    QTest::addColumn<QString>("name");
    for (const char *name : {"UseKey", "UseCustom", "MaskKey", "AutoUpdate"}) {
        QTest::newRow(name) << name;
    }
}

void TestDesktop::indicatorsStayVisibleInADarkPalette()
{
    QFETCH(QString, name);
    const ApplicationPalette dark(darkPalette());
    MainWindowFixture f;
    f.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
    auto *button = f.window->findChild<QAbstractButton *>(name);
    QVERIFY(button);

    QStyleOptionButton option;
    option.initFrom(button);
    const bool radio = qobject_cast<QRadioButton *>(button) != nullptr;
    const QRect indicator = button->style()->subElementRect(
        radio ? QStyle::SE_RadioButtonIndicator : QStyle::SE_CheckBoxIndicator, &option, button);
    auto indicatorImage = [&] {
        return button->grab(indicator).toImage();
    };

    // Only the picture matters here: an option button is unticked on its own.
    button->setAutoExclusive(false);
    button->setChecked(false);
    const QImage unticked = indicatorImage();
    // A light box on the black window: a dark palette's own base would leave it
    // near black.
    QVERIFY2(meanLightness(unticked) > 0.5, qPrintable(QString::number(meanLightness(unticked))));
    button->setChecked(true);
    QVERIFY(indicatorImage() != unticked);
}

void TestDesktop::focusIsVisible_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("before"); // the key there reaches the control
    QTest::addColumn<int>("key");
    for (qsizetype i = 0; i < kFocusableControls.size(); ++i) {
        const QString &name = kFocusableControls.at(i);
        // Tab enters a group of option buttons at the ticked one and leaves it
        // whole; an arrow moves within it.
        if (name == u"UseCustom"_s) {
            QTest::newRow(qPrintable(name)) << name << "UseKey" << int(Qt::Key_Down);
            continue;
        }
        const QString before = name == u"Normal"_s ? u"Encoded"_s
                               : name == u"Key"_s  ? u"UseKey"_s
                                                   : kFocusableControls.at(i - 1);
        QTest::newRow(qPrintable(name)) << name << before << int(Qt::Key_Tab);
    }
}

void TestDesktop::focusIsVisible()
{
    QFETCH(QString, name);
    QFETCH(QString, before);
    QFETCH(int, key);
    MainWindowFixture f;
    f.window->show();
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    auto *control = f.window->findChild<QWidget *>(name);
    auto *previous = f.window->findChild<QWidget *>(before);
    QVERIFY(control && previous);
    // Text areas show a blinking cursor when focused; keep it off in both pictures.
    QApplication::setCursorFlashTime(0);

    // The focus comes by the keyboard, as a keyboard user moves it: styles show
    // the focus of a control reached by the keyboard.
    previous->setFocus();
    QTRY_VERIFY(previous->hasFocus());
    const QImage without = control->grab().toImage();
    QTest::keyClick(previous, Qt::Key(key));
    QTRY_VERIFY2(control->hasFocus(), qPrintable(QApplication::focusWidget()->objectName()));
    QVERIFY2(control->grab().toImage() != without, "the focus does not show");
}

void TestDesktop::everyControlHasAName()
{
    MainWindowFixture f;
    f.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
    int controls = 0;
    for (QWidget *widget : f.window->findChildren<QWidget *>()) {
        const bool control = widget->isVisible() && (widget->focusPolicy() != Qt::NoFocus ||
                                                     qobject_cast<QAbstractButton *>(widget));
        if (!control || widget->isAncestorOf(widget->focusProxy())) {
            continue;
        }
        ++controls;
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(widget);
        QVERIFY(accessible);
        const QString accessibleName = accessible->text(QAccessible::Name);
        QVERIFY2(!accessibleName.isEmpty() && !accessibleName.contains(u'&'),
                 qPrintable(widget->objectName() + u": \""_s + accessibleName + u'"'));
    }
    // The fourteen controls of the tab order and the two arrows.
    QVERIFY2(controls >= kFocusableControls.size() + 2, qPrintable(QString::number(controls)));
}

void TestDesktop::toolTipsNameTheAccessKeys_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("toolTip");
    QTest::newRow("LoadText") << "LoadText"
                              << "Load Normal Text (Alt+L)";
    QTest::newRow("LoadCode") << "LoadCode"
                              << "Load Encoded Text (Alt+O)";
    QTest::newRow("SaveText") << "SaveText"
                              << "Save Normal Text (Alt+S)";
    QTest::newRow("SaveCode") << "SaveCode"
                              << "Save Encoded Text (Alt+V)";
    QTest::newRow("DecodeButton") << "DecodeButton"
                                  << "Decode (Alt+D)";
    QTest::newRow("EncodeButton") << "EncodeButton"
                                  << "Encode (Alt+E)";
    QTest::newRow("MaskKey") << "MaskKey"
                             << "Mask (Alt+M)";
    QTest::newRow("AutoUpdate") << "AutoUpdate"
                                << "Auto (Alt+A)";
    QTest::newRow("UseKey") << "UseKey"
                            << "Encryption Key: (Alt+K)";
    QTest::newRow("UseCustom") << "UseCustom"
                               << "Custom Code: (Alt+C)";
    QTest::newRow("ShowAsUtf8") << "ShowAsUtf8"
                                << "Show as UTF-8 (Alt+U)";
    QTest::newRow("KeepWindows1252") << "KeepWindows1252"
                                     << "Keep Windows-1252 (Alt+W)";
    QTest::newRow("up arrow, no access key") << "UpArrow"
                                             << "Decode";
    QTest::newRow("down arrow, no access key") << "DownArrow"
                                               << "Encode";
}

void TestDesktop::toolTipsNameTheAccessKeys()
{
    QFETCH(QString, name);
    QFETCH(QString, toolTip);
    MainWindowFixture f;
    auto *button = f.window->findChild<QAbstractButton *>(name);
    QVERIFY(button);
    QCOMPARE(button->toolTip(), toolTip);
}

void TestDesktop::textAreasZoom_data()
{
    QTest::addColumn<int>("key"); // 0: the wheel
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("wheel");
    QTest::addColumn<int>("change"); // the sign of the size change
    QTest::newRow("Ctrl+plus") << int(Qt::Key_Plus) << int(Qt::ControlModifier) << 0 << 1;
    QTest::newRow("Ctrl+=") << int(Qt::Key_Equal) << int(Qt::ControlModifier) << 0 << 1;
    QTest::newRow("Ctrl+minus") << int(Qt::Key_Minus) << int(Qt::ControlModifier) << 0 << -1;
    QTest::newRow("Ctrl+wheel up") << 0 << int(Qt::ControlModifier) << 120 << 1;
    QTest::newRow("Ctrl+wheel down") << 0 << int(Qt::ControlModifier) << -120 << -1;
    QTest::newRow("wheel alone scrolls") << 0 << int(Qt::NoModifier) << -120 << 0;
    QTest::newRow("minus alone is typed") << int(Qt::Key_Minus) << int(Qt::NoModifier) << 0 << 0;
}

void TestDesktop::textAreasZoom()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, wheel);
    QFETCH(int, change);
    MainWindowFixture f;
    f.window->show();
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    ByteTextEdit *area = f.normal();
    area->setFocus();
    const qreal before = area->font().pointSizeF();
    const qreal otherBefore = f.encoded()->font().pointSizeF();

    const auto keyboard = Qt::KeyboardModifiers(modifiers);
    if (key != 0) {
        QTest::keyClick(area, Qt::Key(key), keyboard);
    } else {
        const QPointF at = area->viewport()->rect().center();
        QWheelEvent event(at, area->viewport()->mapToGlobal(at), {}, {0, wheel}, Qt::NoButton,
                          keyboard, Qt::NoScrollPhase, false);
        QApplication::sendEvent(area->viewport(), &event);
    }

    const qreal after = area->font().pointSizeF();
    QCOMPARE((after > before) - (after < before), change);
    QCOMPARE(f.encoded()->font().pointSizeF(), otherBefore);
}

void TestDesktop::escapeClosesTheHelp()
{
    MainWindowFixture f;
    QPointer<HelpWindow> help = new HelpWindow(f.platform, f.files);
    help->show();
    QVERIFY(QTest::qWaitForWindowActive(help));
    QTest::keyClick(help->findChild<QWidget *>(u"txtHelpFile"_s), Qt::Key_Escape);
    QTRY_VERIFY(help.isNull());
}

QTEST_MAIN(TestDesktop)
#include "tst_desktop.moc"

// The help window: its controls, the help text read from the program folder,
// the layout applied to the real widgets, and the advertiser's link.
#include <memory>
#include <new>
#include <string>

#include <sys/stat.h>

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QLabel>
#include <QPointer>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include "bytes.h"
#include "engine/files.h"
#include "fakefilesystem.h"
#include "scriptedplatform.h"
#include "ui/help/banner.h"
#include "ui/help/helplayout.h"
#include "ui/help/helpwindow.h"
#include "ui/text/bytetextedit.h"
#include "ui/twips.h"

using namespace Qt::StringLiterals;
using namespace lorimand;
using lorimand::test::FakeFileSystem;
using lorimand::test::ScriptedPlatform;

namespace {
// Mouse actions on the window that must not open the advertiser's page.
enum MouseAction
{
    RightClick,
    PressOnly,
    ReleaseOutside,
    ClickOnTextBox
};
} // namespace

class TestHelpWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void showsHelpText_data();
    void showsHelpText();
    void unshowableFileGivesEmptyBox_data();
    void unshowableFileGivesEmptyBox();
    void reloadReadsTheFileAnew();
    void readsReadmeFromProgramFolder_data();
    void readsReadmeFromProgramFolder();
    void failedReadSaysWhy_data();
    void failedReadSaysWhy();
    void largeHelpReadsBackWhole_data();
    void largeHelpReadsBackWhole();

    void windowProperties();
    void textBoxProperties();
    void textBoxIsReadOnly();
    void longLinesWrapAtTheBoxWidth();
    void ctrlEndScrollsToTheEnd();
    void bannerAndLabelProperties();
    void bannerArtwork();

    void startsAtInitialClientSize();
    void appliesLayoutAtEveryResize_data();
    void appliesLayoutAtEveryResize();
    void refusesSizeBelowMinimum_data();
    void refusesSizeBelowMinimum();
    void survivesMinimiseAndMaximise();

    void clickOpensAdvertiserPage_data();
    void clickOpensAdvertiserPage();
    void otherMouseActionsOpenNothing_data();
    void otherMouseActionsOpenNothing();

    void isNotModalAndDeletesItselfWhenClosed();

private:
    void writeReadme(const QByteArray &bytes);
    [[nodiscard]] std::unique_ptr<HelpWindow> makeWindow();
    [[nodiscard]] static ByteTextEdit *textBox(const HelpWindow &window);
    [[nodiscard]] static QLabel *banner(const HelpWindow &window);
    [[nodiscard]] static QLabel *label(const HelpWindow &window);

    std::unique_ptr<QTemporaryDir> folder_;
    std::unique_ptr<ScriptedPlatform> platform_;
};

void TestHelpWindow::init()
{
    folder_ = std::make_unique<QTemporaryDir>();
    QVERIFY(folder_->isValid());
    platform_ = std::make_unique<ScriptedPlatform>();
    platform_->folder = folder_->path();
}

void TestHelpWindow::cleanup()
{
    platform_.reset();
    folder_.reset();
}

void TestHelpWindow::writeReadme(const QByteArray &bytes)
{
    QFile file(folder_->filePath(QStringLiteral("Readme.txt")));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

std::unique_ptr<HelpWindow> TestHelpWindow::makeWindow()
{
    auto window = std::make_unique<HelpWindow>(*platform_, realFileSystem());
    // Closing must not delete a window the test owns.
    window->setAttribute(Qt::WA_DeleteOnClose, false);
    window->loadHelpText();
    return window;
}

ByteTextEdit *TestHelpWindow::textBox(const HelpWindow &window)
{
    return window.findChild<ByteTextEdit *>(QStringLiteral("txtHelpFile"));
}

QLabel *TestHelpWindow::banner(const HelpWindow &window)
{
    return window.findChild<QLabel *>(QStringLiteral("imgQuorvale"));
}

QLabel *TestHelpWindow::label(const HelpWindow &window)
{
    return window.findChild<QLabel *>(QStringLiteral("lblQuorvale"));
}

void TestHelpWindow::showsHelpText_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("lines"); // what the box holds
    QTest::addColumn<QString>("shown");

    // Every line, the last one included, is followed by a CR LF.
    QTest::newRow("last line without line end")
        << QByteArray("a\r\nb") << QByteArray("a\r\nb\r\n") << QStringLiteral("a\nb\n");
    QTest::newRow("last line with line end")
        << QByteArray("a\r\nb\r\n") << QByteArray("a\r\nb\r\n") << QStringLiteral("a\nb\n");
    QTest::newRow("lone CR ends a line")
        << QByteArray("a\rb") << QByteArray("a\r\nb\r\n") << QStringLiteral("a\nb\n");
    QTest::newRow("lone CR at the end")
        << QByteArray("a\r") << QByteArray("a\r\n") << QStringLiteral("a\n");
    QTest::newRow("empty line kept")
        << QByteArray("a\r\n\r\nb") << QByteArray("a\r\n\r\nb\r\n") << QStringLiteral("a\n\nb\n");
    QTest::newRow("only a line end")
        << QByteArray("\r\n") << QByteArray("\r\n") << QStringLiteral("\n");
    QTest::newRow("empty file") << QByteArray() << QByteArray() << QString();
    QTest::newRow("one line") << QByteArray("Lorimand") << QByteArray("Lorimand\r\n")
                              << QStringLiteral("Lorimand\n");
    QTest::newRow("8-bit characters")
        << QByteArray("\x80 \xE9\x9F") << QByteArray("\x80 \xE9\x9F\r\n")
        << QStringLiteral("\u20AC \u00E9\u0178\n");
    QTest::newRow("tab kept") << QByteArray("a\tb") << QByteArray("a\tb\r\n")
                              << QStringLiteral("a\tb\n");
}

void TestHelpWindow::showsHelpText()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, lines);
    QFETCH(QString, shown);

    writeReadme(bytes);
    const auto window = makeWindow();
    QCOMPARE(textBox(*window)->bytes(), lines.toStdString());
    QCOMPARE(textBox(*window)->shownText(), shown);
    QVERIFY(platform_->messages.isEmpty());
}

void TestHelpWindow::unshowableFileGivesEmptyBox_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason"); // empty: no message

    QTest::newRow("missing") << u"missing"_s << QString();
    QTest::newRow("a folder of that name") << u"folder"_s << u"Is a directory"_s;
    QTest::newRow("a pipe") << u"pipe"_s << u"It is a pipe, not an ordinary file"_s;
    QTest::newRow("larger than 1 GiB") << u"huge"_s << u"It is larger than 1024 MiB"_s;
}

// A missing help is a copy without one; any other file that cannot be shown
// says why, naming the file, at once.
void TestHelpWindow::unshowableFileGivesEmptyBox()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);

    const QString readme = folder_->filePath(u"Readme.txt"_s);
    if (kind == u"folder"_s) {
        QVERIFY(QDir(folder_->path()).mkdir(u"Readme.txt"_s));
    } else if (kind == u"pipe"_s) {
        QCOMPARE(::mkfifo(QFile::encodeName(readme).constData(), 0600), 0);
    } else if (kind == u"huge"_s) {
        lorimand::test::writeSparse(readme, (qint64{1} << 30) + 1);
    }
    const auto window = makeWindow();
    QCOMPARE(textBox(*window)->shownText(), QString());
    if (reason.isEmpty()) {
        QVERIFY(platform_->messages.isEmpty());
        return;
    }
    QCOMPARE(platform_->messages.size(), 1);
    const QString text = platform_->messages[0].text;
    QVERIFY2(text.contains(readme + u": "_s + reason), qPrintable(text));
}

void TestHelpWindow::reloadReadsTheFileAnew()
{
    writeReadme("first");
    const auto window = makeWindow();
    QCOMPARE(textBox(*window)->shownText(), QStringLiteral("first\n"));

    writeReadme("second\r\nthird");
    window->loadHelpText();
    QCOMPARE(textBox(*window)->shownText(), QStringLiteral("second\nthird\n"));

    // A file that has gone leaves nothing of the old text behind.
    QVERIFY(QFile::remove(folder_->filePath(QStringLiteral("Readme.txt"))));
    window->loadHelpText();
    QCOMPARE(textBox(*window)->shownText(), QString());
    QVERIFY(platform_->messages.isEmpty());
}

void TestHelpWindow::readsReadmeFromProgramFolder_data()
{
    QTest::addColumn<QString>("programFolder");
    QTest::addColumn<QString>("path");

    QTest::newRow("ordinary folder")
        << QStringLiteral("/opt/lorimand") << QStringLiteral("/opt/lorimand/Readme.txt");
    QTest::newRow("root, no doubled slash") << QStringLiteral("/") << QStringLiteral("/Readme.txt");
    QTest::newRow("non-ASCII folder") << QStringLiteral("/home/j\u00F6rg/bin")
                                      << QStringLiteral("/home/j\u00F6rg/bin/Readme.txt");
}

void TestHelpWindow::readsReadmeFromProgramFolder()
{
    QFETCH(QString, programFolder);
    QFETCH(QString, path);

    platform_->folder = programFolder;
    FakeFileSystem files;
    files.files[QFile::encodeName(path).toStdString()] = "help";
    HelpWindow window(*platform_, files);
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    window.loadHelpText();

    QCOMPARE(textBox(window)->shownText(), QStringLiteral("help\n"));
    QVERIFY(files.writes.empty());
}

void TestHelpWindow::failedReadSaysWhy_data()
{
    QTest::addColumn<bool>("outOfMemory");
    QTest::addColumn<QString>("reason");
    QTest::newRow("unreadable") << false << u"Permission denied"_s;
    QTest::newRow("out of memory") << true << u"There is not enough memory to show it"_s;
}

// A read that fails, even for want of memory, leaves the box empty and says why.
void TestHelpWindow::failedReadSaysWhy()
{
    QFETCH(bool, outOfMemory);
    QFETCH(QString, reason);
    // A file system whose reads run out of memory, as a read of a huge file may.
    struct MemorylessFileSystem final : FakeFileSystem
    {
        lorimand::ReadResult readFile(const std::string &, const lorimand::ReadOptions &) override
        {
            throw std::bad_alloc();
        }
    };
    platform_->folder = QStringLiteral("/p");
    FakeFileSystem unreadable;
    unreadable.files["/p/Readme.txt"] = "partial";
    unreadable.unreadable.insert("/p/Readme.txt");
    MemorylessFileSystem memoryless;
    memoryless.files["/p/Readme.txt"] = "partial";
    HelpWindow window(*platform_,
                      outOfMemory ? static_cast<FakeFileSystem &>(memoryless) : unreadable);
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    QVERIFY(window.loadHelpText());

    QCOMPARE(textBox(window)->shownText(), QString());
    QCOMPARE(platform_->messages.size(), 1);
    QCOMPARE(platform_->messages[0].text,
             u"The help cannot be shown.\n\n/p/Readme.txt: "_s + reason);
}

void TestHelpWindow::largeHelpReadsBackWhole_data()
{
    QTest::addColumn<QByteArray>("lines"); // the file, every line ended by CR LF

    QByteArray many;
    for (int i = 0; i < 200'000; ++i) {
        many += QByteArray::number(i) + "\r\n";
    }
    QTest::newRow("very many lines") << many;
    QByteArray longLine;
    for (int i = 0; i < 1'000'000; ++i) {
        longLine += static_cast<char>(' ' + i % 95);
    }
    QTest::newRow("a very long line") << longLine + "\r\n";
    // Long lines among short ones, and lines longer than a block of the view.
    QByteArray mixed;
    for (int i = 0; i < 70'000; ++i) {
        const int width = i % 1000 == 0 ? 10'000 : i % 100 == 0 ? 4096 : 0;
        mixed += QByteArray::number(i).leftJustified(width, '.') + "\r\n";
    }
    QTest::newRow("long lines among short ones") << mixed;
}

// A large help opens with every line as it is in the file, and shows each
// line as one.
void TestHelpWindow::largeHelpReadsBackWhole()
{
    QFETCH(QByteArray, lines);

    writeReadme(lines);
    const auto window = makeWindow();
    const ByteTextEdit &box = *textBox(*window);
    QVERIFY(box.bytes() == lines.toStdString());
    QVERIFY(box.shownText() ==
            QString::fromLatin1(lines).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

void TestHelpWindow::windowProperties()
{
    HelpWindow window(*platform_, realFileSystem());
    QCOMPARE(window.objectName(), QStringLiteral("Help"));
    QCOMPARE(window.windowTitle(), QStringLiteral("Lorimand Help"));
    QVERIFY(window.isWindow());
    QCOMPARE(window.parentWidget(), nullptr);
    QCOMPARE(window.windowModality(), Qt::NonModal);
    QVERIFY(window.testAttribute(Qt::WA_DeleteOnClose));
    QVERIFY(window.autoFillBackground());
    QCOMPARE(window.palette().color(QPalette::Window), QColor(Qt::black));
    QVERIFY(!window.windowIcon().isNull());
}

void TestHelpWindow::textBoxProperties()
{
    const auto window = makeWindow();
    ByteTextEdit *text = textBox(*window);
    QVERIFY(text);
    QVERIFY(text->isReadOnly());
    QCOMPARE(text->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(text->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QCOMPARE(text->font().family(), QFontDatabase::systemFont(QFontDatabase::FixedFont).family());
    QCOMPARE(text->font().pointSizeF(), 9.0);
    QVERIFY(!text->font().bold());

    // Default colours: the window's black does not reach the text box.
    const QPalette defaults = QApplication::palette(text);
    QCOMPARE(text->palette().color(QPalette::Window), defaults.color(QPalette::Window));
    QCOMPARE(text->palette().color(QPalette::Base), defaults.color(QPalette::Base));
    QCOMPARE(text->palette().color(QPalette::Text), defaults.color(QPalette::Text));

    // The only control that takes the focus, so the first in the tab order.
    QVERIFY(text->focusPolicy() & Qt::TabFocus);
    QCOMPARE(banner(*window)->focusPolicy(), Qt::NoFocus);
    QCOMPARE(label(*window)->focusPolicy(), Qt::NoFocus);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QCOMPARE(QApplication::focusWidget(), text);
}

// Keys that would edit the text, pasting and cutting change nothing in the
// box; copying still works.
void TestHelpWindow::textBoxIsReadOnly()
{
    writeReadme("first line\r\nsecond line");
    const auto window = makeWindow();
    ByteTextEdit &box = *textBox(*window);
    const std::string lines = "first line\r\nsecond line\r\n";
    QCOMPARE(box.bytes(), lines);
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));

    box.setSelection(0, 5);
    box.copy();
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("first"));
    QTest::keyClicks(&box, QStringLiteral("xy"));
    QTest::keyClick(&box, Qt::Key_Return);
    QTest::keyClick(&box, Qt::Key_Backspace);
    QTest::keyClick(&box, Qt::Key_Delete);
    QTest::keyClick(&box, Qt::Key_X, Qt::ControlModifier);
    box.setCursorPosition(3);
    QTest::keyClick(&box, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(&box, Qt::Key_Z, Qt::ControlModifier);
    box.cut();
    box.paste();
    QCOMPARE(box.bytes(), lines);
    QVERIFY(!box.isUndoAvailable());
}

// A line wider than the box goes on in the next row: there is nothing to scroll
// sideways to.
void TestHelpWindow::longLinesWrapAtTheBoxWidth()
{
    writeReadme(QByteArray(2000, 'w') + "\r\nnext");
    const auto window = makeWindow();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    const ByteTextEdit &box = *textBox(*window);
    const QRect first = box.characterRect(0);
    const QRect later = box.characterRect(300);
    QVERIFY(!first.isEmpty());
    QVERIFY(!later.isEmpty());
    QVERIFY(later.top() > first.top());
    QVERIFY(box.viewport()->rect().contains(later));
    QCOMPARE(box.horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
}

// Ctrl+End takes the caret and the view to the end of a long help.
void TestHelpWindow::ctrlEndScrollsToTheEnd()
{
    QByteArray lines;
    for (int i = 0; i < 10'000; ++i) {
        lines += "Line " + QByteArray::number(i) + "\r\n";
    }
    writeReadme(lines);
    const auto window = makeWindow();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    ByteTextEdit &box = *textBox(*window);
    QCOMPARE(box.cursorPosition(), std::size_t{0});
    QVERIFY(box.characterRect(box.byteCount() - 3).isEmpty()); // the last line is off screen

    QTest::keyClick(&box, Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(box.cursorPosition(), box.byteCount());
    QVERIFY(box.characterRect(0).isEmpty()); // the first line has scrolled away
    // The last line's last character, "9", is on screen.
    const QRect last = box.characterRect(box.byteCount() - 3);
    QVERIFY(!last.isEmpty());
    QVERIFY(box.viewport()->rect().contains(last));
    QVERIFY(box.viewport()->rect().contains(box.cursorRect().center()));
}

void TestHelpWindow::bannerAndLabelProperties()
{
    const auto window = makeWindow();
    QLabel *picture = banner(*window);
    QVERIFY(picture);
    QCOMPARE(picture->pixmap().size(), QSize(468, 60));
    QVERIFY(!picture->hasScaledContents());
    QCOMPARE(picture->cursor().shape(), Qt::CrossCursor);

    QLabel *link = label(*window);
    QVERIFY(link);
    QCOMPARE(link->text(),
             QStringLiteral("GET PAID TO RECEIVE E-MAILS ON SUBJECTS OF YOUR CHOICE!!"));
    QCOMPARE(link->alignment(), Qt::AlignCenter);
    QVERIFY(link->font().bold());
    QCOMPARE(link->font().pointSizeF(), 8.25);
    QCOMPARE(link->palette().color(QPalette::WindowText), QColor(0, 153, 255));
    QCOMPARE(link->palette().color(QPalette::Window), QColor(Qt::black));
    QVERIFY(link->autoFillBackground());
    QCOMPARE(link->cursor().shape(), Qt::CrossCursor);
}

void TestHelpWindow::bannerArtwork()
{
    const QImage image = advertBanner().toImage();
    QCOMPARE(image.size(), QSize(kBannerWidth, kBannerHeight));

    // Green on black: the band is black, and there is green lettering on the
    // left and the dollar sign at the right end.
    const auto isGreen = [](QColor c) {
        return c.green() > 150 && c.red() < 100 && c.blue() < 120;
    };
    const auto greenPixels = [&](int fromX, int toX) {
        int count = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = fromX; x < toX; ++x) {
                count += isGreen(image.pixelColor(x, y)) ? 1 : 0;
            }
        }
        return count;
    };
    QCOMPARE(image.pixelColor(6, 57), QColor(Qt::black));
    QCOMPARE(image.pixelColor(kBannerWidth / 2, 57), QColor(Qt::black));
    QVERIFY(greenPixels(10, 300) > 500);
    QVERIFY(greenPixels(kBannerWidth - 60, kBannerWidth) > 100);
    QVERIFY(!image.hasAlphaChannel());
}

void TestHelpWindow::startsAtInitialClientSize()
{
    const auto window = makeWindow();
    QCOMPARE(window->size(), QSize(865, 621));
    QCOMPARE(window->minimumSize(), helpMinimumClientSize());
    const HelpLayout expected = arrangeHelpWindow(twips::outerSize(window->size()));
    QCOMPARE(textBox(*window)->geometry(), twips::toPixels(expected.txtHelpFile));
    QCOMPARE(banner(*window)->geometry(), twips::toPixels(expected.imgQuorvale));
    QCOMPARE(label(*window)->geometry(), twips::toPixels(expected.lblQuorvale));
}

void TestHelpWindow::appliesLayoutAtEveryResize_data()
{
    QTest::addColumn<QSize>("client");
    QTest::addColumn<QRect>("text");
    QTest::addColumn<QRect>("picture");
    QTest::addColumn<QRect>("link");

    // Outer 13095 x 9630: the text box 12615 x 7580, banner at 3037.5 (203 pixels
    // after rounding), 7935; label at 3030, 8895.
    QTest::newRow("865 x 615") << QSize(865, 615) << QRect(12, 12, 841, 505)
                               << QRect(203, 529, 468, 60) << QRect(202, 593, 469, 13);
    // At the minimum the controls keep their size and stay centred.
    QTest::newRow("minimum") << QSize(466, 240) << QRect(12, 12, 442, 130) << QRect(3, 154, 468, 60)
                             << QRect(3, 218, 469, 13);
    QTest::newRow("wide and tall") << QSize(1200, 900) << QRect(12, 12, 1176, 790)
                                   << QRect(370, 814, 468, 60) << QRect(370, 878, 469, 13);
}

void TestHelpWindow::appliesLayoutAtEveryResize()
{
    QFETCH(QSize, client);
    QFETCH(QRect, text);
    QFETCH(QRect, picture);
    QFETCH(QRect, link);

    const auto window = makeWindow();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    window->resize(client);
    QTRY_COMPARE(window->size(), client);
    QCOMPARE(textBox(*window)->geometry(), text);
    QCOMPARE(banner(*window)->geometry(), picture);
    QCOMPARE(label(*window)->geometry(), link);
}

void TestHelpWindow::refusesSizeBelowMinimum_data()
{
    QTest::addColumn<QSize>("asked");
    QTest::addColumn<QSize>("expected");

    QTest::newRow("too narrow") << QSize(100, 700) << QSize(466, 700);
    QTest::newRow("too low") << QSize(700, 100) << QSize(700, 240);
    QTest::newRow("both") << QSize(10, 10) << QSize(466, 240);
}

void TestHelpWindow::refusesSizeBelowMinimum()
{
    QFETCH(QSize, asked);
    QFETCH(QSize, expected);

    const auto window = makeWindow();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    window->resize(asked);
    QTRY_COMPARE(window->size(), expected);
    const HelpLayout layout = arrangeHelpWindow(twips::outerSize(expected));
    QCOMPARE(textBox(*window)->geometry(), twips::toPixels(layout.txtHelpFile));
    QCOMPARE(label(*window)->geometry(), twips::toPixels(layout.lblQuorvale));
}

void TestHelpWindow::survivesMinimiseAndMaximise()
{
    writeReadme("help");
    const auto window = makeWindow();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));

    const auto laidOutForCurrentSize = [&] {
        const HelpLayout layout = arrangeHelpWindow(twips::outerSize(window->size()));
        return textBox(*window)->geometry() == twips::toPixels(layout.txtHelpFile) &&
               banner(*window)->geometry() == twips::toPixels(layout.imgQuorvale) &&
               label(*window)->geometry() == twips::toPixels(layout.lblQuorvale);
    };

    window->showMinimized();
    QCoreApplication::processEvents();
    window->showNormal();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QTRY_VERIFY(laidOutForCurrentSize());

    window->showMaximized();
    QTRY_VERIFY(window->isMaximized());
    QTRY_VERIFY(laidOutForCurrentSize());
    window->showNormal();
    QTRY_VERIFY(!window->isMaximized());
    QTRY_VERIFY(laidOutForCurrentSize());

    QCOMPARE(textBox(*window)->shownText(), QStringLiteral("help\n"));
    QVERIFY(platform_->messages.isEmpty());
}

void TestHelpWindow::clickOpensAdvertiserPage_data()
{
    QTest::addColumn<QString>("target");

    QTest::newRow("banner") << QStringLiteral("imgQuorvale");
    QTest::newRow("label") << QStringLiteral("lblQuorvale");
}

void TestHelpWindow::clickOpensAdvertiserPage()
{
    QFETCH(QString, target);

    const auto window = makeWindow();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    auto *widget = window->findChild<QLabel *>(target);
    QVERIFY(widget);

    QTest::mouseClick(widget, Qt::LeftButton);
    QCOMPARE(platform_->openedUrls.size(), 1);
    QCOMPARE(platform_->openedUrls.front(), QUrl(QString::fromLatin1(kAdvertiserUrl)));
    QVERIFY(platform_->openedUrls.front().isValid());
    QCOMPARE(platform_->openedUrls.front().host(), QStringLiteral("quorvale.example"));

    // Each click opens the page once more.
    QTest::mouseClick(widget, Qt::LeftButton);
    QCOMPARE(platform_->openedUrls.size(), 2);
    QCOMPARE(platform_->openedUrls.back(), platform_->openedUrls.front());
    QVERIFY(platform_->messages.isEmpty());

    // When no browser can be started, a message says so and names the address.
    platform_->opensUrls = false;
    QTest::mouseClick(widget, Qt::LeftButton);
    QCOMPARE(platform_->openedUrls.size(), 3);
    QCOMPARE(platform_->messages.size(), 1);
    QVERIFY2(platform_->messages.front().text.contains(QStringLiteral("No web browser")) &&
                 platform_->messages.front().text.contains(QString::fromLatin1(kAdvertiserUrl)),
             qPrintable(platform_->messages.front().text));
}

void TestHelpWindow::otherMouseActionsOpenNothing_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<int>("action");

    for (const QString &target : {QStringLiteral("imgQuorvale"), QStringLiteral("lblQuorvale")}) {
        QTest::addRow("%s right click", qPrintable(target)) << target << int(RightClick);
        QTest::addRow("%s press only", qPrintable(target)) << target << int(PressOnly);
        QTest::addRow("%s released outside", qPrintable(target)) << target << int(ReleaseOutside);
    }
    QTest::newRow("click on the text box") << QStringLiteral("txtHelpFile") << int(ClickOnTextBox);
}

void TestHelpWindow::otherMouseActionsOpenNothing()
{
    QFETCH(QString, target);
    QFETCH(int, action);

    const auto window = makeWindow();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    auto *widget = window->findChild<QWidget *>(target);
    QVERIFY(widget);
    if (auto *text = qobject_cast<ByteTextEdit *>(widget)) {
        widget = text->viewport();
    }

    switch (action) {
    case RightClick:
        QTest::mouseClick(widget, Qt::RightButton);
        break;
    case PressOnly:
        QTest::mousePress(widget, Qt::LeftButton);
        break;
    case ReleaseOutside:
        QTest::mousePress(widget, Qt::LeftButton);
        QTest::mouseRelease(widget, Qt::LeftButton, {}, QPoint(-5, widget->height() + 20));
        break;
    case ClickOnTextBox:
        QTest::mouseClick(widget, Qt::LeftButton);
        break;
    }
    QVERIFY(platform_->openedUrls.isEmpty());
}

void TestHelpWindow::isNotModalAndDeletesItselfWhenClosed()
{
    QWidget other;
    other.show();
    QVERIFY(QTest::qWaitForWindowExposed(&other));

    QPointer<HelpWindow> window = new HelpWindow(*platform_, realFileSystem());
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.data()));
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    QVERIFY(other.isEnabled());
    QVERIFY(!window->isModal());

    QVERIFY(window->close());
    QTRY_VERIFY(window.isNull());
    QVERIFY(other.isVisible());
}

QTEST_MAIN(TestHelpWindow)
#include "tst_helpwindow.moc"

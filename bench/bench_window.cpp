// Times the main window as a user drives it: opening a large file through the
// start-up forms (-d and -e) with the peak memory, the first keystroke after
// such an open, keystrokes at the start, middle and end of a large text, paging
// and jumping to the end, joining two lines and the keystroke after, Shift+Left
// in a selection of the whole text and copying it, saving, opening the help with
// a 50 MB text, and process start to first paint against a bare window with two text areas. Every
// figure comes from a process of its own, so that its memory is its own. Run by hand:
// build/bench/bench_window [open] [keys] [save] [help] [start] (QT_QPA_PLATFORM=offscreen works;
// under X the figures include the X server).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>

#include "engine/files.h"
#include "engine/generator.h"
#include "scriptedplatform.h"
#include "ui/help/helpwindow.h"
#include "ui/main/mainwindow.h"
#include "ui/text/bytetextedit.h"

using namespace lorimand;

namespace {

// Words and CR LF every 88 bytes, like a long letter.
std::string sampleText(std::size_t size)
{
    static const std::string line =
        "the quick brown fox jumps over the lazy dog and runs far away into the woods again\r\n";
    std::string text;
    text.reserve(size + line.size());
    while (text.size() < size) {
        text += line;
    }
    text.resize(size);
    return text;
}

void writeFile(const QString &path, const std::string &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
            static_cast<qint64>(bytes.size())) {
        qFatal("cannot write %s", qPrintable(path));
    }
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double millisecondsSince(const QElapsedTimer &timer)
{
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

// Paints what the window shows now, as the next frame would, and handles what
// the events it caused.
void paint(QWidget &window)
{
    window.repaint();
    for (auto *area : window.findChildren<ByteTextEdit *>()) {
        area->viewport()->repaint();
    }
    QApplication::processEvents();
}

// A figure of /proc/self/status in bytes, such as VmHWM: (the peak).
double memoryFigure(const char *name)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return 0;
    }
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(name)) {
            return line.mid(static_cast<qsizetype>(std::strlen(name)))
                       .trimmed()
                       .split(' ')
                       .value(0)
                       .toDouble() *
                   1024;
        }
    }
    return 0;
}

// The window as the program builds it, started with the command line `arguments`.
struct Session
{
    QTemporaryDir folder;
    test::ScriptedPlatform platform{folder.path()};
    RuntimeGenerator generator;
    MainWindow window{platform, realFileSystem(), generator};

    [[nodiscard]] ByteTextEdit &area(const char *name)
    {
        return *window.findChild<ByteTextEdit *>(QString::fromLatin1(name));
    }
    [[nodiscard]] QString file(const char *name) const
    {
        return folder.filePath(QString::fromLatin1(name));
    }
    // Starts the window as `lorimand ARGUMENTS` does; the milliseconds until it
    // has painted.
    double start(const std::string &arguments)
    {
        QElapsedTimer timer;
        timer.start();
        if (!window.startUp(arguments)) {
            qFatal("the window did not start");
        }
        window.show();
        paint(window);
        return millisecondsSince(timer);
    }
};

// One key typed into `area`, and the window painted after it.
double keystroke(QWidget &window, ByteTextEdit &area, Qt::Key key)
{
    QElapsedTimer timer;
    timer.start();
    QTest::keyClick(&area, key);
    paint(window);
    return millisecondsSince(timer);
}

// Keys typed where the caret is, a letter and Backspace in turn: the median.
double typing(QWidget &window, ByteTextEdit &area, int rounds)
{
    std::vector<double> times;
    times.reserve(static_cast<std::size_t>(rounds));
    for (int i = 0; i < rounds; ++i) {
        times.push_back(keystroke(window, area, i % 2 == 1 ? Qt::Key_Backspace : Qt::Key_X));
    }
    return median(times);
}

// Child: the empty window's peak memory.
int runEmpty()
{
    Session session;
    session.start({});
    std::printf("%.0f\n", memoryFigure("VmHWM:"));
    return 0;
}

// Child: `lorimand FORM FILE` of `mib` MiB; prints the time to a painted window,
// the peak memory and the first keystroke typed into Normal after it.
int runOpen(const QString &form, std::size_t mib)
{
    Session session;
    writeFile(session.file("large.txt"), sampleText(mib << 20));
    const double open =
        session.start(form.toStdString() + ' ' + session.file("large.txt").toStdString());
    const double peak = memoryFigure("VmHWM:");
    ByteTextEdit &normal = session.area("Normal");
    normal.setFocus();
    const double first = keystroke(session.window, normal, Qt::Key_X);
    std::printf("%.0f %.0f %.2f\n", open, peak, first);
    return 0;
}

// Child: `lorimand -e FILE` of `bytes` bytes; prints the median keystroke at
// the start, the middle and the end, then the time to jump to the end, the
// median page down, and the time of BackSpace joining the first two lines and
// of the key typed right after it.
int runKeys(std::size_t bytes)
{
    Session session;
    writeFile(session.file("text.txt"), sampleText(bytes));
    session.start("-e " + session.file("text.txt").toStdString());
    ByteTextEdit &normal = session.area("Normal");
    normal.setFocus();
    QTest::keyClick(&normal, Qt::Key_Home, Qt::ControlModifier);
    const double start = typing(session.window, normal, 21);
    std::vector<double> pages;
    pages.reserve(11);
    for (int i = 0; i < 11; ++i) {
        pages.push_back(keystroke(session.window, normal, Qt::Key_PageDown));
    }
    normal.setCursorPosition(normal.byteCount() / 2);
    paint(session.window);
    const double middle = typing(session.window, normal, 21);
    QTest::keyClick(&normal, Qt::Key_Home, Qt::ControlModifier);
    paint(session.window);
    QElapsedTimer timer;
    timer.start();
    QTest::keyClick(&normal, Qt::Key_End, Qt::ControlModifier);
    paint(session.window);
    const double jump = millisecondsSince(timer);
    const double end = typing(session.window, normal, 21);
    QTest::keyClick(&normal, Qt::Key_Home, Qt::ControlModifier);
    QTest::keyClick(&normal, Qt::Key_Down);
    QTest::keyClick(&normal, Qt::Key_Home);
    paint(session.window);
    const double join = keystroke(session.window, normal, Qt::Key_Backspace);
    const double afterJoin = keystroke(session.window, normal, Qt::Key_X);
    std::printf("%.2f %.2f %.2f %.2f %.2f %.2f %.2f\n", start, middle, end, jump, median(pages),
                join, afterJoin);
    return 0;
}

// Child: `lorimand -e FILE` of `mib` MiB with the whole text selected from the
// start by Ctrl+Shift+End; prints the median Shift+Left, then the time of
// Ctrl+A and Ctrl+C copying the whole text and the peak memory after it.
int runSelect(std::size_t mib)
{
    Session session;
    writeFile(session.file("large.txt"), sampleText(mib << 20));
    session.start("-e " + session.file("large.txt").toStdString());
    ByteTextEdit &normal = session.area("Normal");
    normal.setFocus();
    QTest::keyClick(&normal, Qt::Key_Home, Qt::ControlModifier);
    QTest::keyClick(&normal, Qt::Key_End, Qt::ControlModifier | Qt::ShiftModifier);
    paint(session.window);
    std::vector<double> lefts;
    for (int i = 0; i < 11; ++i) {
        QElapsedTimer timer;
        timer.start();
        QTest::keyClick(&normal, Qt::Key_Left, Qt::ShiftModifier);
        paint(session.window);
        lefts.push_back(millisecondsSince(timer));
    }
    QElapsedTimer timer;
    timer.start();
    QTest::keyClick(&normal, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&normal, Qt::Key_C, Qt::ControlModifier);
    paint(session.window);
    const double copy = millisecondsSince(timer);
    std::printf("%.2f %.0f %.0f\n", median(lefts), copy, memoryFigure("VmHWM:"));
    return 0;
}

// Child: saves Normal after `lorimand -e FILE` of `mib` MiB, through the button;
// prints its time and that of cp copying the same file.
int runSave(std::size_t mib)
{
    Session session;
    writeFile(session.file("large.txt"), sampleText(mib << 20));
    session.start("-e " + session.file("large.txt").toStdString());
    session.platform.fileChoices.enqueue(session.file("saved.txt"));
    QElapsedTimer timer;
    timer.start();
    session.window.findChild<QPushButton *>(QStringLiteral("SaveText"))->click();
    const double save = millisecondsSince(timer);
    if (!session.platform.messages.isEmpty()) {
        qFatal("saving failed");
    }
    timer.restart();
    if (QProcess::execute(QStringLiteral("cp"),
                          {session.file("large.txt"), session.file("copy.txt")}) != 0) {
        qFatal("cp failed");
    }
    std::printf("%.0f %.0f\n", save, millisecondsSince(timer));
    return 0;
}

// Child: opens the help with a Readme.txt of `mb` MB and prints the time.
int runHelp(std::size_t mb)
{
    QTemporaryDir folder;
    writeFile(folder.filePath(QStringLiteral("Readme.txt")), sampleText(mb * 1000 * 1000));
    test::ScriptedPlatform platform(folder.path());
    QElapsedTimer timer;
    timer.start();
    HelpWindow help(platform, realFileSystem());
    help.loadHelpText();
    help.show();
    paint(help);
    std::printf("%.0f\n", millisecondsSince(timer));
    return 0;
}

// Child: builds one window, and ends the process at its first paint.
int runUntilFirstPaint(bool bare)
{
    struct FirstPaint : QObject
    {
        bool eventFilter(QObject * /*watched*/, QEvent *event) override
        {
            if (event->type() == QEvent::Paint) {
                std::_Exit(0);
            }
            return false;
        }
    } firstPaint;

    QTemporaryDir folder;
    test::ScriptedPlatform platform(folder.path());
    RuntimeGenerator generator;
    std::unique_ptr<QWidget> window;
    if (bare) {
        window = std::make_unique<QWidget>();
        auto *layout = new QVBoxLayout(window.get());
        layout->addWidget(new QPlainTextEdit);
        layout->addWidget(new QPlainTextEdit);
    } else {
        auto main = std::make_unique<MainWindow>(platform, realFileSystem(), generator);
        if (!main->startUp()) {
            return 1;
        }
        window = std::move(main);
    }
    window->installEventFilter(&firstPaint);
    window->show();
    return QApplication::exec();
}

// The figures a child run of this program prints.
QStringList childFigures(const QStringList &arguments)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), arguments);
    if (!child.waitForFinished(600000) || child.exitCode() != 0) {
        qFatal("the child run %s failed", qPrintable(arguments.join(u' ')));
    }
    return QString::fromLatin1(child.readAllStandardOutput()).trimmed().split(u' ');
}

// Milliseconds from starting this program in child mode to its first paint.
double timeFirstPaint(const QString &which)
{
    QProcess child;
    QElapsedTimer timer;
    timer.start();
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--first-paint"), which});
    if (!child.waitForFinished(30000) || child.exitCode() != 0) {
        qFatal("the first-paint run failed");
    }
    return millisecondsSince(timer);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lorimand"));
    const QStringList arguments = QApplication::arguments();
    const QString mode = arguments.value(1);
    if (mode == u"--first-paint") {
        return runUntilFirstPaint(arguments.value(2) == u"bare");
    }
    if (mode == u"--empty") {
        return runEmpty();
    }
    if (mode == u"--open") {
        return runOpen(arguments.value(2), arguments.value(3).toULong());
    }
    if (mode == u"--keys") {
        return runKeys(arguments.value(2).toULong());
    }
    if (mode == u"--select") {
        return runSelect(arguments.value(2).toULong());
    }
    if (mode == u"--save") {
        return runSave(arguments.value(2).toULong());
    }
    if (mode == u"--help-text") {
        return runHelp(arguments.value(2).toULong());
    }

    // Optional arguments pick measurements: open, keys, select, save, help, start.
    const QStringList picked = arguments.mid(1);
    const auto wanted = [&](const char *name) {
        return picked.isEmpty() || picked.contains(QLatin1String(name));
    };
    const double n = double(128 << 20);
    if (wanted("open")) {
        const double baseline = childFigures({QStringLiteral("--empty")}).value(0).toDouble();
        for (const char *form : {"-d", "-e"}) {
            const QStringList figures = childFigures(
                {QStringLiteral("--open"), QString::fromLatin1(form), QStringLiteral("128")});
            const double peak = figures.value(1).toDouble();
            std::printf("open 128 MiB %s: %.0f ms, peak %.0f MiB = baseline + %.2f x N "
                        "(target < 3000 ms, < 3 x N)\n",
                        form, figures.value(0).toDouble(), peak / (1 << 20), (peak - baseline) / n);
            std::printf("first keystroke after %s 128 MiB: %s ms (target < 16)\n", form,
                        qPrintable(figures.value(2)));
        }
    }
    if (wanted("keys")) {
        const QStringList small = childFigures({QStringLiteral("--keys"), QStringLiteral("32766")});
        const QStringList large =
            childFigures({QStringLiteral("--keys"), QString::number(128 << 20)});
        std::printf("keystroke in 32,766 characters: %s ms median (target < 2)\n",
                    qPrintable(small.value(2)));
        std::printf("keystroke at start / middle / end of 128 MiB: %s / %s / %s ms "
                    "(target < 16 and within 2x of %s)\n",
                    qPrintable(large.value(0)), qPrintable(large.value(1)),
                    qPrintable(large.value(2)), qPrintable(small.value(2)));
        std::printf("jump to end of 128 MiB: %s ms, page down: %s ms median (target < 16)\n",
                    qPrintable(large.value(3)), qPrintable(large.value(4)));
        std::printf("joining two lines of 128 MiB: %s ms, the keystroke after it: %s ms "
                    "(target < 16)\n",
                    qPrintable(large.value(5)), qPrintable(large.value(6)));
    }
    if (wanted("select")) {
        const double baseline = childFigures({QStringLiteral("--empty")}).value(0).toDouble();
        const QStringList figures =
            childFigures({QStringLiteral("--select"), QStringLiteral("128")});
        std::printf("Shift+Left in a selection of 128 MiB: %s ms median (target < 16)\n",
                    qPrintable(figures.value(0)));
        std::printf("copying 128 MiB: %s ms, peak = baseline + %.2f x N (target < 500 ms, "
                    "< 4 x N)\n",
                    qPrintable(figures.value(1)), (figures.value(2).toDouble() - baseline) / n);
    }
    if (wanted("save")) {
        const QStringList figures = childFigures({QStringLiteral("--save"), QStringLiteral("128")});
        const double save = figures.value(0).toDouble();
        const double cp = figures.value(1).toDouble();
        std::printf("save 128 MiB: %.0f ms, cp %.0f ms: %.2fx (target <= 2x)\n", save, cp,
                    save / cp);
    }
    if (wanted("help")) {
        std::printf(
            "help 50 MB: %s ms (target < 1000)\n",
            qPrintable(
                childFigures({QStringLiteral("--help-text"), QStringLiteral("50")}).value(0)));
    }
    if (wanted("start")) {
        // Alternated, so both see the same caches and the same load.
        std::vector<double> bareTimes;
        std::vector<double> mainTimes;
        for (int i = 0; i < 11; ++i) {
            bareTimes.push_back(timeFirstPaint(QStringLiteral("bare")));
            mainTimes.push_back(timeFirstPaint(QStringLiteral("main")));
        }
        const double bare = median(bareTimes);
        const double main = median(mainTimes);
        std::printf("start to first paint: %.1f ms against a bare window's %.1f ms: %.2fx "
                    "(target <= 1.5x)\n",
                    main, bare, main / bare);
    }
    return 0;
}

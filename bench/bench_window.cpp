// Times the main window's hot paths: one keystroke with Auto ticked (retranslate
// and redisplay) in a 32,766-character, a 1 MiB, a 16 MiB and a 128 MiB text,
// loading a 16 MiB and a 128 MiB text file (with the peak memory), opening the
// help with a 50 MB text, and process start to first paint against a bare
// window with two text areas.
// Run by hand: build/bench/bench_window (QT_QPA_PLATFORM=offscreen works).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include "engine/files.h"
#include "engine/generator.h"
#include "scriptedplatform.h"
#include "ui/help/helpwindow.h"
#include "ui/main/mainwindow.h"
#include "ui/text/bytetextedit.h"

using namespace lorimand;

namespace {

std::string sampleText(std::size_t size)
{
    // Words and line breaks, like a long letter.
    static const std::string words = "the quick brown fox jumps over the lazy dog ";
    std::string text;
    text.reserve(size);
    for (std::size_t i = 0; text.size() < size; ++i) {
        text += words;
        if (i % 2 == 1) {
            text += "\r\n";
        }
    }
    text.resize(size);
    return text;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Paints what the window shows now, as the next frame would.
void paint(QWidget &window)
{
    window.repaint();
    for (auto *area : window.findChildren<ByteTextEdit *>()) {
        area->viewport()->repaint();
    }
}

double keystrokeMilliseconds(std::size_t size, int rounds, bool keyMode = true)
{
    QTemporaryDir folder;
    test::ScriptedPlatform platform(folder.path());
    RuntimeGenerator generator;
    MainWindow window(platform, realFileSystem(), generator);
    window.show();
    window
        .findChild<QRadioButton *>(keyMode ? QStringLiteral("UseKey") : QStringLiteral("UseCustom"))
        ->setChecked(true);
    auto *normal = window.findChild<ByteTextEdit *>(QStringLiteral("Normal"));
    normal->setBytes(sampleText(size - 1));
    window.findChild<QCheckBox *>(QStringLiteral("AutoUpdate"))->setCheckState(Qt::Checked);
    normal->setCursorPosition(normal->byteCount());
    paint(window);

    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer timer;
        timer.start();
        QTest::keyClick(normal, i % 2 ? Qt::Key_Backspace : Qt::Key_X);
        paint(window);
        times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    return median(times);
}

// A figure of /proc/self/status in bytes, such as VmHWM: (the peak) or VmRSS:.
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

// The memory held now; the peak starts again from it.
double residentBytes()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly)) {
        clear.write("5");
    }
    return memoryFigure("VmRSS:");
}

// The time a file of `size` bytes takes to load into Normal; with the peak
// memory, and when the progress dialog first showed (0: never).
double loadMilliseconds(std::size_t size, bool autoOn, double *baseline = nullptr,
                        double *peak = nullptr, double *firstProgress = nullptr)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("large.txt"));
    QFile file(path);
    {
        const std::string text = sampleText(size);
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(text.data(), static_cast<qint64>(text.size())) != qint64(text.size())) {
            qFatal("cannot write %s", qPrintable(path));
        }
        file.close();
    }

    test::ScriptedPlatform platform(folder.path());
    RuntimeGenerator generator;
    MainWindow window(platform, realFileSystem(), generator);
    window.show();
    window.findChild<QCheckBox *>(QStringLiteral("AutoUpdate"))
        ->setCheckState(autoOn ? Qt::Checked : Qt::Unchecked);
    platform.fileChoices.enqueue(path);
    if (baseline != nullptr) {
        *baseline = residentBytes();
    }
    QElapsedTimer timer;
    // The window's own steps run the timer, as they paint the dialog.
    QTimer watcher;
    if (firstProgress != nullptr) {
        *firstProgress = 0;
        QObject::connect(&watcher, &QTimer::timeout, &watcher, [&] {
            const auto *dialog = window.findChild<QProgressDialog *>(QStringLiteral("Progress"));
            if (*firstProgress == 0 && dialog != nullptr && dialog->isVisible()) {
                *firstProgress = static_cast<double>(timer.nsecsElapsed()) / 1e6;
            }
        });
        watcher.start(0);
    }
    timer.start();
    window.findChild<QPushButton *>(QStringLiteral("LoadText"))->click();
    paint(window);
    const double milliseconds = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    if (peak != nullptr) {
        *peak = memoryFigure("VmHWM:");
    }
    return milliseconds;
}

// Child mode: loads one file of `mib` MiB into Normal and prints the time, the
// peak memory before loading, the peak after it and when progress first showed.
int runLoad(std::size_t mib, bool autoOn)
{
    double baseline = 0;
    double peak = 0;
    double firstProgress = 0;
    const double milliseconds =
        loadMilliseconds(mib << 20, autoOn, &baseline, &peak, &firstProgress);
    std::printf("%.0f %.0f %.0f %.0f\n", milliseconds, baseline, peak, firstProgress);
    return 0;
}

// Child mode: opens the help with a Readme.txt of `mb` MB and prints the time.
int runHelp(std::size_t mb)
{
    QTemporaryDir folder;
    QFile readme(folder.filePath(QStringLiteral("Readme.txt")));
    const std::string text = sampleText(mb * 1000 * 1000);
    if (!readme.open(QIODevice::WriteOnly) ||
        readme.write(text.data(), static_cast<qint64>(text.size())) != qint64(text.size())) {
        qFatal("cannot write Readme.txt");
    }
    readme.close();
    test::ScriptedPlatform platform(folder.path());
    QElapsedTimer timer;
    timer.start();
    HelpWindow help(platform, realFileSystem());
    help.loadHelpText();
    help.show();
    help.repaint();
    std::printf("%.0f\n", static_cast<double>(timer.nsecsElapsed()) / 1e6);
    return 0;
}

// Output of this program run again in a child mode.
QString childOutput(const QStringList &arguments)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), arguments);
    if (!child.waitForFinished(600000) || child.exitCode() != 0) {
        qFatal("the child run failed");
    }
    return QString::fromLatin1(child.readAllStandardOutput()).trimmed();
}

// Child mode: builds one window, and ends the process at its first paint.
int runUntilFirstPaint(bool bare)
{
    struct FirstPaint : QObject
    {
        bool eventFilter(QObject *, QEvent *event) override
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
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lorimand"));
    if (QApplication::arguments().value(1) == QLatin1String("--first-paint")) {
        return runUntilFirstPaint(QApplication::arguments().value(2) == QLatin1String("bare"));
    }
    if (QApplication::arguments().value(1) == QLatin1String("--load")) {
        return runLoad(QApplication::arguments().value(2).toULong(),
                       QApplication::arguments().value(3) == QLatin1String("on"));
    }
    if (QApplication::arguments().value(1) == QLatin1String("--help-text")) {
        return runHelp(QApplication::arguments().value(2).toULong());
    }

    // Optional arguments pick measurements: keystroke, load, large, start.
    const QStringList picked = QApplication::arguments().mid(1);
    const auto wanted = [&](const char *name) {
        return picked.isEmpty() || picked.contains(QLatin1String(name));
    };
    if (wanted("keystroke")) {
        std::printf("keystroke, 32,766 characters, Auto: %7.2f ms median (target < 8)\n",
                    keystrokeMilliseconds(32766, 101));
        std::printf("keystroke, 1 MiB, Auto:             %7.2f ms median (target < 50)\n",
                    keystrokeMilliseconds(std::size_t{1} << 20, 21));
        for (const std::size_t mib : {std::size_t{16}, std::size_t{128}}) {
            for (const bool keyMode : {true, false}) {
                std::printf("keystroke, %zu MiB, Auto: %7.2f ms median, %s mode\n", mib,
                            keystrokeMilliseconds(mib << 20, 21, keyMode),
                            keyMode ? "key" : "table");
            }
        }
    }
    if (wanted("load")) {
        std::printf("load 16 MiB, Auto off:              %7.0f ms (target < 1500)\n",
                    loadMilliseconds(16 << 20, false));
        std::printf("load 16 MiB, Auto on (and encode):  %7.0f ms\n",
                    loadMilliseconds(16 << 20, true));
    }
    if (wanted("large")) {
        // Each in a process of its own, so that its peak memory is its own.
        for (const bool autoOn : {false, true}) {
            const QStringList figures =
                childOutput({QStringLiteral("--load"), QStringLiteral("128"),
                             autoOn ? QStringLiteral("on") : QStringLiteral("off")})
                    .split(u' ');
            const double n = double(128 << 20);
            const double baseline = figures.value(1).toDouble();
            const double peak = figures.value(2).toDouble();
            std::printf("load 128 MiB, Auto %s: %7.0f ms, first progress at %.0f ms, peak %.0f MiB "
                        "= baseline + %.2f x N (target < 8000 ms, progress < 1000 ms, < 6 x N)\n",
                        autoOn ? "on" : "off", figures.value(0).toDouble(),
                        figures.value(3).toDouble(), peak / (1 << 20), (peak - baseline) / n);
        }
        std::printf("help, 50 MB Readme.txt: %s ms (target < 2000)\n",
                    qPrintable(childOutput({QStringLiteral("--help-text"), QStringLiteral("50")})));
    }
    if (wanted("start")) {
        // Alternated, so both see the same caches and the same load.
        std::vector<double> bareTimes, mainTimes;
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

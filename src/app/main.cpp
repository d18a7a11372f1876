// The desktop program: the main window, loaded with the command line's arguments.
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include <QApplication>
#include <QLocale>

#include "about/about.h"
#include "engine/files.h"
#include "engine/generator.h"
#include "startup/commandline.h"
#include "ui/language.h"
#include "ui/main/mainwindow.h"
#include "ui/platform.h"
#include "ui/text/accessibletextarea.h"

namespace {

constexpr char kUsage[] =
    "Usage: lorimand [-e FILE | -d FILE | FILE]\n"
    "Opens the Lorimand window.\n"
    "  -e FILE   load the plain text file FILE into Normal and encode it\n"
    "  -d FILE   load the encoded text file FILE into Encoded and decode it\n"
    "  FILE      the same as -d FILE\n"
    "The arguments are read as one text: FILE may hold blanks. Exactly --help or\n"
    "--version prints this or the version; a file named so is opened as ./--help.\n"
    "Qt options are taken from Qt's environment variables only.\n";

// Prints to standard output; a failed write is the program's failure.
int print(const std::string &text)
{
    const bool written = std::fputs(text.c_str(), stdout) >= 0 && std::fflush(stdout) == 0;
    return written ? EXIT_SUCCESS : EXIT_FAILURE;
}

} // namespace

int main(int argc, char *argv[])
{
    // The arguments' own bytes: a file name need not be valid UTF-8.
    const std::string text =
        lorimand::argumentText(std::vector<std::string_view>(argv + 1, argv + argc));
    // Answered before the toolkit starts, so they need no display.
    if (text == "--help") {
        return print(kUsage);
    }
    if (text == "--version") {
        return print(lorimand::about::versionText("lorimand"));
    }

    // Qt gets the program name only: every argument belongs to the file name, and
    // an argument that looks like a Qt option (-reverse, -platform) is not one.
    int toolkitArgc = 1;
    QApplication app(toolkitArgc, argv);
    QApplication::setApplicationName(QStringLiteral("Lorimand"));
    QApplication::setApplicationVersion(QString::fromUtf8(lorimand::about::kVersion));
    QGuiApplication::setDesktopFileName(QString::fromUtf8(lorimand::about::kAppId));
    // Screen readers see the text areas' characters as shown, not their bytes.
    lorimand::installAccessibleTextArea();

    // The user's language (LANGUAGE, LC_ALL, LC_MESSAGES, LANG), chosen once.
    const lorimand::Translations translations(
        lorimand::chosenLanguage(QLocale::system().uiLanguages()));
    lorimand::QtPlatform platform;
    lorimand::RuntimeGenerator generator;
    lorimand::MainWindow window(platform, lorimand::realFileSystem(), generator);
    if (!window.startUp(text)) {
        return EXIT_FAILURE;
    }
    window.show();
    return QApplication::exec();
}

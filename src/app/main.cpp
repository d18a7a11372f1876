// The desktop program: the main window, loaded with the command line's arguments.
#include <QApplication>

#include "engine/files.h"
#include "engine/generator.h"
#include "startup/commandline.h"
#include "ui/main/mainwindow.h"
#include "ui/platform.h"

int main(int argc, char *argv[])
{
    // Taken before QApplication removes the options it knows (-style, -reverse,
    // ...): the argument text is what the shell or file manager passed.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lorimand"));
    QApplication::setApplicationVersion(QStringLiteral(LORIMAND_VERSION));

    lorimand::QtPlatform platform;
    lorimand::RuntimeGenerator generator;
    lorimand::MainWindow window(platform, lorimand::realFileSystem(), generator);
    if (!window.startUp(lorimand::argumentText(arguments)))
        return EXIT_FAILURE;
    window.show();
    return app.exec();
}

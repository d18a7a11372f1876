// The desktop program: the main window, loaded with the command line's arguments.
#include <QApplication>

#include "engine/files.h"
#include "engine/generator.h"
#include "startup/commandline.h"
#include "ui/main/mainwindow.h"
#include "ui/platform.h"

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lorimand"));
    QApplication::setApplicationVersion(QStringLiteral(LORIMAND_VERSION));

    lorimand::QtPlatform platform;
    lorimand::RuntimeGenerator generator;
    lorimand::MainWindow window(platform, lorimand::realFileSystem(), generator);
    if (!window.load(lorimand::argumentText(app.arguments().mid(1))))
        return EXIT_FAILURE;
    window.show();
    return app.exec();
}

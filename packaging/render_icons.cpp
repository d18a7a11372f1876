// Build-time tool: writes the program icon into a hicolor icon-theme tree, as
// SVG and as PNGs at the usual sizes, from the shapes the window draws.
// Usage: render_icons <theme folder> <icon name>
#include <cstdio>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QString>

#include "ui/main/artwork.h"

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: render_icons <theme folder> <icon name>\n");
        return 2;
    }
    const QString theme = QString::fromLocal8Bit(argv[1]);
    const QString name = QString::fromLocal8Bit(argv[2]);

    const QString scalable = theme + u"/scalable/apps"_s;
    QFile svg(scalable + u'/' + name + u".svg"_s);
    if (!QDir().mkpath(scalable) || !svg.open(QIODevice::WriteOnly) ||
        svg.write(lorimand::programIconSvg()) < 0 || !svg.flush()) {
        std::fprintf(stderr, "render_icons: cannot write %s\n", qPrintable(svg.fileName()));
        return 1;
    }
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString folder = theme + QStringLiteral("/%1x%1/apps").arg(size);
        const QString file = folder + u'/' + name + u".png"_s;
        if (!QDir().mkpath(folder) || !lorimand::programIconImage(size).save(file, "PNG")) {
            std::fprintf(stderr, "render_icons: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}

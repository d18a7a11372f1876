// The main window's pictures, drawn at run time: the program icon and the two
// bright green arrows on black. The installed icon files are made from the same
// shapes at build time.
#pragma once

#include <QByteArray>
#include <QIcon>
#include <QImage>
#include <QPixmap>

namespace lorimand {

enum class ArrowDirection
{
    Up,
    Down
};

// 34 x 34 pixels.
[[nodiscard]] QPixmap arrowPicture(ArrowDirection direction);
[[nodiscard]] QIcon programIcon();
// The program icon at size x size pixels, and as a scalable SVG document.
[[nodiscard]] QImage programIconImage(int size);
[[nodiscard]] QByteArray programIconSvg();

} // namespace lorimand

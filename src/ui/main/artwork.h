// The main window's pictures, drawn at run time: the program icon and the two
// bright green arrows on black.
#pragma once

#include <QIcon>
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

} // namespace lorimand

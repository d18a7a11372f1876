// The main window's geometry as the settings file keeps it (twips: the client
// area's position and the outer size with the design frame) and as the window
// takes it (pixels: the client area), so that the window always comes back on
// a screen, whatever the file says. The position kept is the client area's:
// the window manager's frame differs between desktops and is not always known
// before the window is shown, so placing by the frame would drift run after run.
#pragma once

#include <QList>
#include <QRect>

#include "startup/settings.h"

namespace lorimand {

// Where the window goes for a saved geometry, given the available areas of the
// screens (the primary one first). A value that is no finite number counts as
// 0 for the position and as the minimum for the size. The size is kept between
// the minimum and the available area of the screen the window lands on (the
// one it overlaps most, else the primary), and the window is moved onto that
// screen, title bar included. No input costs more than the screen's area.
[[nodiscard]] QRect clientGeometryFor(const WindowGeometry &saved, const QList<QRect> &screens);

// What is saved for a window whose client area is `client`.
[[nodiscard]] WindowGeometry savedGeometryFor(const QRect &client);

} // namespace lorimand

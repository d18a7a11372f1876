// The help window's layout rules, in twips, as functions of its outer size: the
// text box fills the window above a fixed band, and the banner with its label
// below stay centred on the window's width.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include "ui/twips.h"

namespace lorimand {

// The smallest outer size the help window may have.
inline constexpr twips::Size kHelpMinimumSize{7100, 4000};
// The client area the help window starts with.
inline constexpr twips::Size kHelpInitialClientSize{12975, 9315};

struct HelpLayout
{
    twips::Size outer; // the outer size laid out for, raised to the minimum
    twips::Rect txtHelpFile;
    twips::Rect imgQuorvale;
    twips::Rect lblQuorvale;
    friend bool operator==(const HelpLayout &, const HelpLayout &) = default;
};

// Each dimension raised to its minimum, the other left alone.
[[nodiscard]] twips::Size enforceHelpMinimum(twips::Size outer);

// Where the controls go for an outer size, once the minimum is enforced.
[[nodiscard]] HelpLayout arrangeHelpWindow(twips::Size outer);

// The smallest client area in pixels whose outer size reaches the minimum.
[[nodiscard]] QSize helpMinimumClientSize();

// Where the help window's client area goes when it opens, in pixels: centred
// on `centre` (the main window's), made smaller where the screen's available
// area cannot hold it with its frame (never below the minimum), and moved so
// that the frame lies on that area, title bar first.
[[nodiscard]] QRect helpGeometryWithin(QSize client, QPoint centre, const QRect &available);

} // namespace lorimand

#include "ui/help/helplayout.h"

#include <algorithm>
#include <cmath>

namespace lorimand {

namespace {
// The sizes the banner and its label keep whatever the window's size.
constexpr twips::Size kBannerTwips{7020, 900};
constexpr twips::Size kLabelTwips{7035, 195};
} // namespace

twips::Size enforceHelpMinimum(twips::Size outer)
{
    return {std::max(outer.width, kHelpMinimumSize.width),
            std::max(outer.height, kHelpMinimumSize.height)};
}

HelpLayout arrangeHelpWindow(twips::Size outer)
{
    HelpLayout l;
    l.outer = enforceHelpMinimum(outer);
    const double w = l.outer.width;
    const double h = l.outer.height;
    l.txtHelpFile = {180, 180, w - 480, h - 2050};
    l.imgQuorvale = {w / 2 - kBannerTwips.width / 2, l.txtHelpFile.top + l.txtHelpFile.height + 175,
                     kBannerTwips.width, kBannerTwips.height};
    l.lblQuorvale = {w / 2 - kLabelTwips.width / 2, l.imgQuorvale.top + l.imgQuorvale.height + 60,
                     kLabelTwips.width, kLabelTwips.height};
    return l;
}

QSize helpMinimumClientSize()
{
    // Rounded up, so that no client size the window accepts lies below the minimum.
    const auto pixels = [](double twipsValue) {
        return static_cast<int>(std::ceil(twipsValue / twips::kPerPixel));
    };
    return {pixels(kHelpMinimumSize.width - twips::kFrameWidth),
            pixels(kHelpMinimumSize.height - twips::kFrameHeight)};
}

QRect helpGeometryWithin(QSize client, QPoint centre, const QRect &available)
{
    // The design frame: a border all round and the title bar above.
    const int border = twips::toPixels(twips::kFrameWidth) / 2;
    const int titleBar = twips::toPixels(twips::kFrameHeight) - 2 * border;
    const QSize minimum = helpMinimumClientSize();
    const int width =
        std::max(std::min(client.width(), available.width() - 2 * border), minimum.width());
    const int height = std::max(
        std::min(client.height(), available.height() - 2 * border - titleBar), minimum.height());
    QRect outer(0, 0, width + 2 * border, height + 2 * border + titleBar);
    outer.moveCenter(centre);
    // Right and bottom first, so that a screen too small even so keeps the
    // title bar and the left edge on it.
    outer.moveRight(std::min(outer.right(), available.right()));
    outer.moveBottom(std::min(outer.bottom(), available.bottom()));
    outer.moveLeft(std::max(outer.left(), available.left()));
    outer.moveTop(std::max(outer.top(), available.top()));
    return outer.adjusted(border, border + titleBar, -border, -border);
}

} // namespace lorimand

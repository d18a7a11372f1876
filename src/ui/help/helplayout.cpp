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

} // namespace lorimand

// Twips, the unit the window layouts are stated in: 15 twips to a pixel. A
// window's outer size is its client size plus the design frame, so layouts and
// saved geometry do not depend on the window manager's frame.
#pragma once

#include <cmath>

#include <QRect>
#include <QSize>

namespace lorimand::twips {

inline constexpr double kPerPixel = 15;
inline constexpr double kFrameWidth = 120;
inline constexpr double kFrameHeight = 405;

struct Rect
{
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
    friend bool operator==(const Rect &, const Rect &) = default;
};

struct Size
{
    double width = 0;
    double height = 0;
    friend bool operator==(const Size &, const Size &) = default;
};

[[nodiscard]] inline int toPixels(double twips)
{
    return static_cast<int>(std::lround(twips / kPerPixel));
}

[[nodiscard]] inline QRect toPixels(const Rect &rect)
{
    return {toPixels(rect.left), toPixels(rect.top), toPixels(rect.width), toPixels(rect.height)};
}

[[nodiscard]] inline Size outerSize(QSize client)
{
    return {client.width() * kPerPixel + kFrameWidth, client.height() * kPerPixel + kFrameHeight};
}

[[nodiscard]] inline QSize clientSize(Size outer)
{
    return {toPixels(outer.width - kFrameWidth), toPixels(outer.height - kFrameHeight)};
}

} // namespace lorimand::twips

#include "ui/main/windowgeometry.h"

#include <algorithm>
#include <cmath>

#include "ui/main/mainlayout.h"
#include "ui/twips.h"

namespace lorimand {

namespace {

// Far beyond any screen and well inside an int, so that what follows computes
// in ordinary integers.
constexpr double kLimit = 1 << 24;

[[nodiscard]] int pixels(float twipsValue, double fallback)
{
    const double value = std::isfinite(twipsValue) ? twipsValue : fallback;
    return twips::toPixels(
        std::clamp(value, -kLimit * twips::kPerPixel, kLimit * twips::kPerPixel));
}

[[nodiscard]] qint64 overlap(const QRect &a, const QRect &b)
{
    const QRect common = a.intersected(b);
    return common.isEmpty() ? 0 : qint64{common.width()} * common.height();
}

} // namespace

QRect clientGeometryFor(const WindowGeometry &saved, const QList<QRect> &screens)
{
    const QSize minimum = twips::clientSize(kMainMinimumSize);
    const QSize wanted = twips::clientSize(enforceMainMinimum(
        {std::isfinite(saved.width) ? std::min<double>(saved.width, kLimit) : 0,
         std::isfinite(saved.height) ? std::min<double>(saved.height, kLimit) : 0}));
    QRect client(QPoint(pixels(saved.left, 0), pixels(saved.top, 0)), wanted);
    if (screens.isEmpty()) {
        return client;
    }

    QRect screen = screens.front();
    qint64 best = 0;
    for (const QRect &candidate : screens) {
        if (const qint64 shared = overlap(client, candidate); shared > best) {
            best = shared;
            screen = candidate;
        }
    }
    // The window manager's frame goes around the client area: its title bar
    // above, its borders beside and below.
    const int border = twips::toPixels(twips::kFrameWidth / 2);
    const int titleBar = twips::toPixels(twips::kFrameHeight) - 2 * border;
    client.setSize(
        client.size()
            .boundedTo(QSize(screen.width() - 2 * border, screen.height() - titleBar - 2 * border))
            .expandedTo(minimum));
    const int left =
        std::clamp(client.left(), screen.left() + border,
                   std::max(screen.left() + border, screen.right() + 1 - border - client.width()));
    const int top = std::clamp(
        client.top(), screen.top() + titleBar + border,
        std::max(screen.top() + titleBar + border, screen.bottom() + 1 - border - client.height()));
    client.moveTo(left, top);
    return client;
}

WindowGeometry savedGeometryFor(const QRect &client)
{
    const twips::Size outer = twips::outerSize(client.size());
    return {static_cast<float>(client.x() * twips::kPerPixel),
            static_cast<float>(client.y() * twips::kPerPixel), static_cast<float>(outer.width),
            static_cast<float>(outer.height)};
}

} // namespace lorimand

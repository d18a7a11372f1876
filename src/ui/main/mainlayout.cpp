#include "ui/main/mainlayout.h"

#include <algorithm>

namespace lorimand {

MainLayout initialMainLayout()
{
    MainLayout layout;
    layout.label1 = {1920, 600, 1275, 195};
    layout.label2 = {4000, 600, 1275, 195};
    layout.normal = {120, 120, 8055, 2055};
    layout.encoded = {120, 3420, 8055, 2055};
    layout.loadText = {120, 2280, 1455, 495};
    layout.loadCode = {120, 2820, 1455, 495};
    layout.saveText = {6720, 2280, 1455, 495};
    layout.saveCode = {6720, 2820, 1455, 495};
    layout.codeType = {1740, 2520, 1755, 615};
    // Mask reaches to the arrows, which gives its translations room.
    layout.maskKey = {3780, 2280, 1140, 255};
    layout.key = {3540, 2520, 1275, 285};
    layout.codeName = {3540, 2820, 1275, 315};
    layout.upArrow = {4920, 2280, 510, 510};
    layout.downArrow = {4920, 2820, 510, 510};
    layout.decodeButton = {5520, 2340, 975, 255};
    layout.encodeButton = {5520, 3000, 975, 255};
    layout.autoUpdate = {5640, 2640, 735, 255};
    return layout;
}

twips::Size enforceMainMinimum(twips::Size outer)
{
    return {std::max(outer.width, kMainMinimumSize.width),
            std::max(outer.height, kMainMinimumSize.height)};
}

MainLayout arrangeMainWindow(twips::Size outer)
{
    const double w = outer.width;
    const double h = outer.height;
    const double areaHeight = (h - 1890) / 2;

    // Each rule reads the positions the earlier moves left, in this order.
    MainLayout l = initialMainLayout();
    auto move = [](twips::Rect &r, double left, double top) {
        r.left = left;
        r.top = top;
    };
    l.normal = {120, 120, w - 360, areaHeight};
    l.encoded = {120, h - areaHeight - 525, w - 360, areaHeight};
    move(l.loadText, 120, l.normal.top + l.normal.height + 105);
    move(l.loadCode, 120, l.loadText.top + 540);
    move(l.saveText, w - 1695, l.loadText.top);
    move(l.saveCode, l.saveText.left, l.saveText.top + 540);
    move(l.codeType, w / 2 - 2467.5, l.normal.height + 120 + 345);
    move(l.maskKey, l.codeType.left + 2040, l.codeType.top - 240);
    move(l.key, l.codeType.left + 1800, l.codeType.top);
    move(l.codeName, l.key.left, l.key.top + 300);
    move(l.upArrow, l.key.left + 1380, l.key.top - 240);
    move(l.downArrow, l.upArrow.left, l.upArrow.top + 540);
    move(l.decodeButton, l.upArrow.left + 600, l.upArrow.top + 60);
    move(l.encodeButton, l.decodeButton.left, l.decodeButton.top + 660);
    move(l.autoUpdate, l.decodeButton.left + 120, l.decodeButton.top + 300);
    return l;
}

} // namespace lorimand

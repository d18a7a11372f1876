// The main window's layout rules, in twips, as functions of its outer size: the
// text areas share the height left after a fixed band, the load buttons keep to
// the left edge, the save buttons follow the right edge and the middle group the
// horizontal centre.
#pragma once

#include "ui/twips.h"

namespace lorimand {

// The design size, which is also the smallest the window may become.
inline constexpr twips::Size kMainMinimumSize{8415, 6000};

struct MainLayout
{
    // Normal covers the two labels; they are there for their access keys.
    twips::Rect label1;
    twips::Rect label2;
    twips::Rect normal;
    twips::Rect encoded;
    twips::Rect loadText;
    twips::Rect loadCode;
    twips::Rect saveText;
    twips::Rect saveCode;
    twips::Rect codeType;
    twips::Rect maskKey;
    twips::Rect key;
    twips::Rect codeName;
    twips::Rect upArrow;
    twips::Rect downArrow;
    twips::Rect decodeButton;
    twips::Rect encodeButton;
    twips::Rect autoUpdate;
    friend bool operator==(const MainLayout &, const MainLayout &) = default;
};

// The controls as they stand in the design, at the minimum size.
[[nodiscard]] MainLayout initialMainLayout();

// Each dimension raised to its minimum, the other left alone.
[[nodiscard]] twips::Size enforceMainMinimum(twips::Size outer);

// Where the controls go for an outer size of width x height.
[[nodiscard]] MainLayout arrangeMainWindow(twips::Size outer);

} // namespace lorimand

// The help window's pictures, drawn at run time: the advertiser's banner and the
// window's own small icon.
#pragma once

#include <QPixmap>

namespace lorimand {

inline constexpr int kBannerWidth = 468;
inline constexpr int kBannerHeight = 60;

// Green lettering on black that invites the reader to get paid for reading
// e-mail, with a dollar sign at its right end; 468 x 60 pixels.
[[nodiscard]] QPixmap advertBanner();

// A 16 x 16 question mark for the help window's title bar.
[[nodiscard]] QPixmap helpIcon();

} // namespace lorimand

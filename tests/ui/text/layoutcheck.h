// A check of a layout cache: every layout it keeps, and its count of blocks,
// against those of a cache made afresh from the same text, charset, font and
// width. The block's bytes, line, characters and rows must be the same.
#pragma once

#include <optional>
#include <string>

#include "ui/text/layoutcache.h"

namespace lorimand::testing {

// Nothing when they agree, or the first difference.
[[nodiscard]] std::optional<std::string> differenceFromFresh(const LayoutCache &kept);

} // namespace lorimand::testing

// Captions with an access key ("&Save Normal Text") as a screen reader and a
// tool tip give them.
#pragma once

#include <QString>

namespace lorimand {

// The caption without its access-key mark: "&Save" gives "Save", "&&" gives "&".
[[nodiscard]] QString plainCaption(const QString &caption);

// The plain caption followed by its access key, "Save Normal Text (Alt+S)"; a
// caption without one stays plain.
[[nodiscard]] QString accessKeyToolTip(const QString &caption);

} // namespace lorimand

// How long work tells how far it is, after each of its steps.
#pragma once

#include <cstddef>
#include <functional>
#include <utility>

namespace lorimand {

// Told `done` of `total` after each step; false stops the work.
using Progress = std::function<bool(std::size_t done, std::size_t total)>;

// The progress of one part of some work, a part that takes `share` of the
// whole after the first `first` (both as fractions of the whole); none for
// work told nothing.
[[nodiscard]] inline Progress partOf(Progress whole, double first, double share)
{
    if (!whole) {
        return nullptr;
    }
    return [whole = std::move(whole), first, share](std::size_t done, std::size_t total) {
        constexpr double kWhole = 1 << 20;
        const double part =
            total == 0 ? 1.0 : static_cast<double>(done) / static_cast<double>(total);
        return whole(static_cast<std::size_t>((first + share * part) * kWhole),
                     static_cast<std::size_t>(kWhole));
    };
}

} // namespace lorimand

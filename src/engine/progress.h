// How long work tells how far it is, after each of its steps.
#pragma once

#include <cstddef>
#include <functional>

namespace lorimand {

// Told `done` of `total` after each step; false stops the work.
using Progress = std::function<bool(std::size_t done, std::size_t total)>;

} // namespace lorimand

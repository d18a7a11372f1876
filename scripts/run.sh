#!/usr/bin/env bash
# Builds Lorimand and starts the desktop program; the arguments are passed on.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
source "$root/scripts/setup.sh"

build="${LORIMAND_BUILD_DIR:-$root/build}"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build"
exec "$build/bin/lorimand" "$@"

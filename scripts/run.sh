#!/usr/bin/env bash
# Builds the two programs and the files beside them (preset release: no tests,
# no benchmarks, no packaging) and starts the desktop program; the arguments are passed on.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
source "$root/scripts/setup.sh"
lorimand_install_missing build

cd "$root"
cmake --preset release >/dev/null
cmake --build --preset release --target lorimand lorimand-cli lorimand_resources
exec "$root/build-release/bin/lorimand" "$@"

#!/usr/bin/env bash
# Formats the C++ sources with the committed .clang-format.
#   scripts/format.sh            rewrites every tracked source file
#   scripts/format.sh FILE...    rewrites these files
#   scripts/format.sh --check    changes nothing; fails naming each file that is off
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

check=0
if [[ ${1:-} == --check ]]; then
    check=1
    shift
fi
if (($#)); then
    files=("$@")
else
    mapfile -t files < <(git ls-files -- '*.cpp' '*.h')
fi

if ((check)); then
    clang-format --dry-run --Werror "${files[@]}"
else
    clang-format -i "${files[@]}"
fi

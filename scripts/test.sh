#!/usr/bin/env bash
# Builds Lorimand and runs every check that CI runs:
#   1. the everyday build (preset dev: warnings as errors) and every test;
#   2. the formatting (clang-format) and the static checks (clang-tidy);
#   3. the whole suite again, built with AddressSanitizer and
#      UndefinedBehaviorSanitizer (preset asan);
#   4. every fuzz target for a short fixed time (scripts/fuzz.sh).
# scripts/test.sh --quick, or LORIMAND_TEST_QUICK=1, runs step 1 only: the check
# before landing a change. Any other arguments go to ctest (e.g. -R tst_lines).
# LORIMAND_FUZZ_SECONDS sets how long each fuzz target runs (default 20).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
source "$root/scripts/setup.sh"
lorimand_install_missing build test
cd "$root"

quick=${LORIMAND_TEST_QUICK:-0}
ctest_args=()
for arg in "$@"; do
    if [[ $arg == --quick ]]; then
        quick=1
    else
        ctest_args+=("$arg")
    fi
done

step() {
    echo
    echo "=== $* ($(date +%T))"
}

jobs=$(nproc)
suite() {
    local preset=$1
    step "build: preset $preset"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j "$jobs"
    step "tests: preset $preset"
    ctest --preset "$preset" -j "$jobs" "${ctest_args[@]}"
}

suite dev
if [[ $quick == 1 ]]; then
    exit 0
fi
step "formatting"
scripts/format.sh --check
step "static checks"
scripts/tidy.sh
suite asan
step "fuzzing"
scripts/fuzz.sh "${LORIMAND_FUZZ_SECONDS:-20}"
step "all checks passed"

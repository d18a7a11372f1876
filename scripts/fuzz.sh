#!/usr/bin/env bash
# Builds the fuzz targets (preset fuzz: clang with libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each for a fixed time, as many at once as
# there are cores, starting from its seeds in tests/fuzz/corpus/NAME.
#   scripts/fuzz.sh [SECONDS] [NAME...]    default: 20 seconds, every target
# Inputs that reach new code are kept in build-fuzz/corpus/NAME, so the next run
# goes on from them. An input that crashes a target or breaks a property it checks
# is saved as build-fuzz/crashes/NAME-crash-*, and the run fails; replay it with
# build-fuzz/fuzz/fuzz_NAME FILE.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

seconds=${1:-20}
shift || true
if (($#)); then
    names=("$@")
else
    mapfile -t names < <(ls tests/fuzz/corpus)
fi

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

out=build-fuzz
mkdir -p "$out/crashes" "$out/logs"
run() {
    local name=$1
    mkdir -p "$out/corpus/$name"
    LSAN_OPTIONS="suppressions=$root/tests/lsan.supp" \
        "$out/fuzz/fuzz_$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -max_len=4096 -artifact_prefix="$out/crashes/$name-" -print_final_stats=1 \
        "$out/corpus/$name" "tests/fuzz/corpus/$name" >"$out/logs/$name.log" 2>&1
}

for name in "${names[@]}"; do
    while (($(jobs -rp | wc -l) >= $(nproc))); do
        wait -n || true
    done
    (
        status=0
        run "$name" || status=$?
        echo "$status" >"$out/logs/$name.status"
    ) &
done
wait

failed=0
for name in "${names[@]}"; do
    if [[ $(cat "$out/logs/$name.status") == 0 ]]; then
        runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$out/logs/$name.log" | grep -o '[0-9]*$')
        echo "fuzz_$name: ${runs:-?} inputs in $seconds s, no fault"
    else
        failed=1
        echo "fuzz_$name: FAILED (log: $out/logs/$name.log)"
        tail -n 40 "$out/logs/$name.log"
    fi
done
exit "$failed"

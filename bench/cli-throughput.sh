#!/usr/bin/env bash
# Throughput of lorimand-cli on one large file, against GNU tr doing the same byte
# mapping and cat copying the file, all run in this session so that the ratios do
# not depend on the machine's speed. Not a test: run it by hand.
#
#   bench/cli-throughput.sh [SIZE] [FOLDER] [LORIMAND-CLI]
#
# SIZE: the file's size in MiB (default 1024, that is 1 GiB). FOLDER: where the file
# and the outputs go (default /tmp). LORIMAND-CLI: the program (default
# build/bin/lorimand-cli beside this script's folder, or $LORIMAND_CLI).
# GNU cat copies a regular file to a regular file inside the kernel
# (copy_file_range), which no program that looks at the bytes can match; dd with
# 128 KiB blocks is the read-and-write copy shown beside it.
# ROUNDS (environment, default 3): runs of each command; the fastest one counts.
set -euo pipefail

size_mib=${1:-1024}
folder=${2:-/tmp}
here=$(cd "$(dirname "$0")" && pwd)
cli=${3:-${LORIMAND_CLI:-$here/../build/bin/lorimand-cli}}
rounds=${ROUNDS:-3}

if [[ ! -x $cli ]]; then
    echo "cli-throughput: no lorimand-cli at $cli (build it, or name it as the third argument)" >&2
    exit 2
fi
if [[ ! $size_mib =~ ^[1-9][0-9]*$ ]]; then
    echo "cli-throughput: SIZE is a whole number of MiB, not '$size_mib'" >&2
    exit 2
fi

work=$(mktemp -d "$folder/lorimand-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

input=$work/input
table=$work/plus-one.sbt
keyfile=$work/key

# The text: random bytes without NUL (the key-shift cipher refuses NUL, since it
# could not come back from decoding), one random MiB repeated.
head -c 1048576 /dev/urandom | tr '\000' '\001' >"$work/chunk"
for ((i = 0; i < size_mib; ++i)); do cat "$work/chunk"; done >"$input"
rm "$work/chunk"

# The key "TarnVeli" shifts by 18: codes 1..237 go to 19..255, 238..255 to 1..18.
printf 'TarnVeli\n' >"$keyfile"
tr_shift=('\001-\377' '\023-\377\001-\022')
# A code table giving every code one place further (255 to 0): every code has an
# entry, so it is tr's one-for-one mapping exactly.
for ((n = 0; n < 256; ++n)); do printf '%d=%d\r\n' "$n" $(((n + 1) % 256)); done >"$table"
tr_table=('\000-\377' '\001-\377\000')

have_time=0
if [[ -x /usr/bin/time ]]; then
    have_time=1
fi

# measure NAME STDIN COMMAND...: runs the command $rounds times, reading STDIN and
# writing $work/out.NAME; records the best wall-clock time in seconds and the largest peak
# memory in KiB (0 when /usr/bin/time is missing).
declare -A best_time peak_kib
measure() {
    local name=$1 stdin=$2
    shift 2
    local round start end seconds kib
    for ((round = 0; round < rounds; ++round)); do
        rm -f "$work/out.$name"
        start=$EPOCHREALTIME
        if ((have_time)); then
            /usr/bin/time -f '%M' -o "$work/time" "$@" <"$stdin" >"$work/out.$name"
        else
            "$@" <"$stdin" >"$work/out.$name"
        fi
        end=$EPOCHREALTIME
        kib=0
        if ((have_time)); then
            kib=$(tail -n 1 "$work/time")
        fi
        seconds=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }')
        if [[ -z ${best_time[$name]:-} ]] ||
            awk -v a="$seconds" -v b="${best_time[$name]}" 'BEGIN { exit !(a < b) }'; then
            best_time[$name]=$seconds
        fi
        if ((kib > ${peak_kib[$name]:-0})); then
            peak_kib[$name]=$kib
        fi
    done
}

cat "$input" >/dev/null # into the page cache, so every run reads the same way

measure cat /dev/null cat "$input"
measure dd /dev/null dd if="$input" bs=128K status=none
measure tr-shift "$input" tr "${tr_shift[@]}"
measure cli-key /dev/null "$cli" encode --key-file "$keyfile" "$input"
measure tr-table "$input" tr "${tr_table[@]}"
measure cli-table /dev/null "$cli" encode --table "$table" "$input"
measure cli-key-o /dev/null "$cli" encode --key-file "$keyfile" "$input" -o "$work/cli-key-o"

# The runs must agree byte for byte, or the figures mean nothing.
cmp -s "$work/out.tr-shift" "$work/out.cli-key" || {
    echo "cli-throughput: key-shift output differs from tr's" >&2
    exit 1
}
cmp -s "$work/out.tr-table" "$work/out.cli-table" || {
    echo "cli-throughput: code-table output differs from tr's" >&2
    exit 1
}
cmp -s "$work/out.cli-key" "$work/cli-key-o" || {
    echo "cli-throughput: -o output differs from standard output" >&2
    exit 1
}

mibps() { awk -v s="$size_mib" -v t="${best_time[$1]}" 'BEGIN { printf "%.0f", s / t }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

echo "lorimand-cli throughput, $size_mib MiB file in $folder, best of $rounds runs"
echo "(outputs written to a file in the same folder)"
printf '%-34s %9s %9s %12s\n' "command" "seconds" "MiB/s" "peak memory"
for name in cat dd tr-shift cli-key cli-key-o tr-table cli-table; do
    memory="-"
    if ((have_time)); then
        memory="$((peak_kib[$name] / 1024)) MiB"
        ((peak_kib[$name] < 1024)) && memory="${peak_kib[$name]} KiB"
    fi
    label=$name
    case $name in
    cat) label="cat (copy)" ;;
    dd) label="dd bs=128K (read/write copy)" ;;
    tr-shift) label="tr (shift by 18)" ;;
    cli-key) label="lorimand-cli key-shift" ;;
    cli-key-o) label="lorimand-cli key-shift, -o" ;;
    tr-table) label="tr (plus one)" ;;
    cli-table) label="lorimand-cli code-table" ;;
    esac
    printf '%-34s %9s %9s %12s\n' "$label" "${best_time[$name]}" "$(mibps "$name")" "$memory"
done
echo
echo "key-shift throughput / tr's:    $(ratio "${best_time[tr-shift]}" "${best_time[cli-key]}")x (target >= 1.5)"
echo "key-shift time / cat's:         $(ratio "${best_time[cli-key]}" "${best_time[cat]}")x (target <= 1.3)"
echo "key-shift time / dd's:          $(ratio "${best_time[cli-key]}" "${best_time[dd]}")x"
echo "code-table throughput / tr's:   $(ratio "${best_time[tr-table]}" "${best_time[cli-table]}")x (target >= 1.0)"
if ((have_time)); then
    echo "peak memory, key-shift / code-table: $((peak_kib[cli-key] / 1024)) / $((peak_kib[cli-table] / 1024)) MiB (target < 32)"
fi

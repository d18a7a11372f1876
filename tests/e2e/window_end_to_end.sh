#!/usr/bin/env bash
# The real program in a real X server, driven by the keyboard: it starts with a
# file named on its command line, encodes it, saves the result through the real
# file dialog, and the saved bytes must be what lorimand-cli makes of the same
# text. Made smaller than its minimum, it sets itself back; F1 then opens the
# help window.
# Usage: window_end_to_end.sh <folder holding lorimand and lorimand-cli>
set -euo pipefail

bin_dir=$1
for tool in Xvfb xdotool; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is not installed"
        exit 77
    fi
done

work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Waits up to 20 s for a window whose title matches $1; prints its id.
wait_for_window() {
    for _ in $(seq 100); do
        if id=$(xdotool search --name "$1" 2>/dev/null | head -n 1) && [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        sleep 0.2
    done
    return 1
}

wait_for_file() {
    for _ in $(seq 100); do
        [ -s "$1" ] && return 0
        sleep 0.2
    done
    return 1
}

# A program folder of its own, so the settings file lands in the scratch folder.
mkdir "$work/program"
cp "$bin_dir/lorimand" "$work/program/"
printf 'one\r\ntwo\r\n' >"$work/notes.txt"

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start"
export DISPLAY=":$(cat "$work/display")"
export QT_QPA_PLATFORM=xcb
export HOME="$work"

"$work/program/lorimand" -e "$work/notes.txt" 2>"$work/stderr" &
pids+=($!)
main=$(wait_for_window '^Lorimand$') || fail "the main window did not appear"

# Alt+V is "Save Encoded Text".
xdotool windowfocus --sync "$main"
xdotool key --clearmodifiers alt+v
dialog=$(wait_for_window '^Save Encoded Text As$') || fail "the save dialog did not appear"
xdotool windowfocus --sync "$dialog"
xdotool type --delay 20 "$work/saved.enc"
xdotool key Return
wait_for_file "$work/saved.enc" || fail "nothing was saved"

# The command line loads the lines joined by CR LF, without the final line end.
printf 'one\r\ntwo' | "$bin_dir/lorimand-cli" encode --key TarnVeli >"$work/expected.enc"
cmp "$work/expected.enc" "$work/saved.enc" || fail "the saved text differs from lorimand-cli's"

# Without a window manager nothing enforces the minimum size hint: the window
# sets itself back to its design size.
xdotool windowsize "$main" 300 200
for _ in $(seq 50); do
    geometry=$(xdotool getwindowgeometry "$main" | sed -n 's/^ *Geometry: //p')
    [ "$geometry" = "553x373" ] && break
    sleep 0.1
done
[ "$geometry" = "553x373" ] || fail "the window stayed at $geometry, below its minimum size"

xdotool windowfocus --sync "$main"
xdotool key F1
wait_for_window '^Lorimand Help$' >/dev/null || fail "F1 did not open the help window"

[ -f "$work/program/Lorimand.ini" ] || fail "start-up did not create the settings file"
echo "PASS"

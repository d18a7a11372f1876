#!/usr/bin/env bash
# Renders the screenshots in docs/ that README and the AppStream metainfo show:
# the main window in both modes (the key masked) and the help window, each in a
# fresh Xvfb without a window manager, so the pictures hold the window alone.
# Usage: scripts/screenshots.sh [build folder]   (default: build)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
for tool in Xvfb xdotool import; do
    command -v "$tool" >/dev/null || {
        echo "screenshots.sh: $tool is missing (apt-get install xvfb xdotool imagemagick)" >&2
        exit 1
    }
done

source "$root/tests/e2e/xsession.sh"

# A program folder of its own: the settings file starts each picture's state.
mkdir "$work/program"
cp "$build/bin/lorimand" "$build/bin/Readme.txt" "$build/bin/"*.sbt "$work/program/"
cat >"$work/letter.txt" <<'TEXT'
Dear Ada,

The garden gate sticks again; lift it a little as you push.
The spare key is under the third flower pot from the left.

See you on Sunday,
Tom
TEXT

# shoot <settings lines> <picture> [keys to press first] [window to take]
shoot() {
    printf '%s\r\n' "${@:1:$#-3}" >"$work/program/Lorimand.ini"
    local picture=${*: -3:1} keys=${*: -2:1} title=${*: -1}
    start_xvfb
    HOME="$work" "$work/program/lorimand" -e "$work/letter.txt" &
    local program=$!
    pids+=("$program")
    local main
    main=$(wait_for_window '^Lorimand$') || fail "the main window did not appear"
    xdotool windowmove "$main" 0 0
    if [ -n "$keys" ]; then
        xdotool windowfocus --sync "$main"
        xdotool key --clearmodifiers $keys
    fi
    local id
    id=$(wait_for_window "$title") || fail "no window named $title"
    sleep 1
    import -window "$id" "$root/docs/$picture"
    echo "docs/$picture"
    kill "$program" "$xvfb_pid" 2>/dev/null || true
    wait "$program" "$xvfb_pid" 2>/dev/null || true
}

shoot "Key=TarnVeli" "MaskKey=1" "AutoUpdate=1" "CodeType=0" \
    screenshot-key.png "" '^Lorimand$'
shoot "Key=TarnVeli" "MaskKey=1" "AutoUpdate=1" "CodeType=1" "CustCode=ROT13" \
    screenshot-table.png "" '^Lorimand$'
shoot "Key=TarnVeli" "MaskKey=1" "AutoUpdate=1" "CodeType=0" \
    screenshot-help.png F1 '^Lorimand Help$'

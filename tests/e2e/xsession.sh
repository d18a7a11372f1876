# Shell helpers for driving the real programs in a scratch X server; sourced by
# the end-to-end tests and the screenshot script. Sets `work` to a scratch folder
# removed at exit, together with every process listed in `pids`.

work=$(mktemp -d)
pids=()
xsession_cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap xsession_cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Ends the test as skipped (CTest's SKIP_RETURN_CODE 77) when a tool is missing.
require_tools() {
    for tool in "$@"; do
        if ! command -v "$tool" >/dev/null; then
            echo "SKIP: $tool is not installed"
            exit 77
        fi
    done
}

# Starts an Xvfb of its own and exports DISPLAY for it; sets xvfb_pid. The server
# does not reset when its last client goes, so a program started after another
# has ended finds it ready.
start_xvfb() {
    local display_file="$work/display.$$.$RANDOM"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$display_file" 2>/dev/null &
    xvfb_pid=$!
    pids+=("$xvfb_pid")
    for _ in $(seq 50); do [ -s "$display_file" ] && break; sleep 0.1; done
    [ -s "$display_file" ] || fail "Xvfb did not start"
    export DISPLAY=":$(cat "$display_file")"
    export QT_QPA_PLATFORM=xcb
}

# Waits up to 20 s for a window whose title matches $1; prints its id.
wait_for_window() {
    local id
    for _ in $(seq 100); do
        if id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1) && [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        sleep 0.2
    done
    return 1
}

# Waits up to 20 s for no window whose title matches $1 to be left.
wait_for_no_window() {
    for _ in $(seq 100); do
        xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0
        sleep 0.2
    done
    return 1
}

# Waits up to 20 s for the file $1 to exist and hold something.
wait_for_file() {
    for _ in $(seq 100); do
        [ -s "$1" ] && return 0
        sleep 0.2
    done
    return 1
}

# Asks the window manager to activate the window $1 and waits up to 10 s until it
# is the active one (xdotool's own --sync waits out a long timeout when the window
# was active already).
activate_window() {
    xdotool windowactivate "$1" 2>/dev/null || true
    for _ in $(seq 50); do
        [ "$(xdotool getactivewindow 2>/dev/null)" = "$1" ] && return 0
        sleep 0.2
    done
    return 1
}

#!/usr/bin/env bash
# An installed copy under a real window manager (openbox in a scratch Xvfb): the
# build is installed into a scratch prefix, started as its desktop entry opens a
# text file whose name looks like a Qt option; the user picks a code table of
# their own, types, copies the help text (read from the installed data folder)
# into the text, saves both texts through the file dialog and closes the window
# through the window manager. The saved files and the settings, written to
# ~/.config/Lorimand/ and not beside the program, must be as the user left them.
# Usage: installed_end_to_end.sh <build folder>
set -euo pipefail

build=$1
source "$(dirname "$0")/xsession.sh"
require_tools Xvfb xdotool openbox

prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null
export HOME="$work/home"
unset XDG_CONFIG_HOME XDG_DATA_HOME
mkdir -p "$HOME/.local/share/lorimand"
# A user table with the name of an installed one wins over it.
printf '97=98\r\n98=97\r\n' >"$HOME/.local/share/lorimand/ROT13.sbt"
mkdir "$work/start" "$work/out"
printf 'one\r\ntwo\r\n' >"$work/start/-platform notes.txt"

start_xvfb
openbox --sm-disable >/dev/null 2>&1 &
pids+=($!)
sleep 0.5

# Opened as a file manager opens it: through the installed desktop entry's
# command line, %f standing for the file. Qt would take "-platform notes.txt"
# as its own option and abort.
read -ra entry_command < <(sed -n 's/^Exec=//p' "$prefix/share/applications/org.lorimand.Lorimand.desktop" | head -n 1)
[[ ${entry_command[0]} == lorimand ]] || fail "the desktop entry runs ${entry_command[0]}"
arguments=()
for word in "${entry_command[@]:1}"; do
    if [[ $word == %f ]]; then arguments+=("-platform notes.txt"); else arguments+=("$word"); fi
done
(cd "$work/start" && exec "$prefix/bin/lorimand" "${arguments[@]}") 2>"$work/stderr" &
program=$!
pids+=("$program")
main=$(wait_for_window '^Lorimand$') || fail "the main window did not appear: $(cat "$work/stderr")"

# Custom Code (Alt+C), and in the list (two Tabs on) the user's ROT13, which swaps a and b.
activate_window "$main" || fail "cannot activate the window"
xdotool key --clearmodifiers alt+c Tab Tab
xdotool type --delay 20 "ROT"
# Normal Text (Alt+T): type at its end.
xdotool key --clearmodifiers alt+t ctrl+End
xdotool type --delay 20 " abc"

# Encode (Alt+E), then Save Encoded Text (Alt+V).
activate_window "$main" || fail "cannot activate the window"
xdotool key --clearmodifiers alt+e alt+v
dialog=$(wait_for_window '^Save Encoded Text As$') || fail "the save dialog did not appear"
activate_window "$dialog" || fail "cannot activate the window"
xdotool type --delay 20 "$work/out/saved.enc"
xdotool key Return
wait_for_file "$work/out/saved.enc" || fail "the encoded text was not saved"

# The help text, copied from the help window, which Escape closes.
xdotool key --clearmodifiers F1
help=$(wait_for_window '^Lorimand Help$') || fail "F1 did not open the help window"
activate_window "$help" || fail "cannot activate the window"
xdotool key --clearmodifiers ctrl+a ctrl+c Escape
wait_for_no_window '^Lorimand Help$' || fail "Escape did not close the help window"
activate_window "$main" || fail "cannot activate the window"
xdotool key --clearmodifiers alt+t ctrl+End Return ctrl+v

# Save Normal Text (Alt+S) through the file dialog.
xdotool key --clearmodifiers alt+s
dialog=$(wait_for_window '^Save Normal Text As$') || fail "the second save dialog did not appear"
activate_window "$dialog" || fail "cannot activate the window"
# It opens where the last file was saved: the name alone lands there.
xdotool type --delay 20 "saved.txt"
xdotool key Return
wait_for_file "$work/out/saved.txt" || fail "the plain text was not saved where the last file was"

# Closed through the window manager (openbox closes the active window on Alt+F4).
activate_window "$main" || fail "cannot activate the window"
xdotool key --clearmodifiers alt+F4
for _ in $(seq 100); do kill -0 "$program" 2>/dev/null || break; sleep 0.2; done
! kill -0 "$program" 2>/dev/null || fail "the window did not close"
status=0
wait "$program" || status=$?
((status == 0)) || fail "the program ended with status $status: $(tail -n 30 "$work/stderr")"

head -c 14 "$work/out/saved.txt" | cmp - <(printf 'one\r\ntwo abc\r\n') ||
    fail "the typed text was not saved: $(head -c 40 "$work/out/saved.txt" | od -c)"
grep -q "LORIMAND HELP" "$work/out/saved.txt" || fail "the help from the data folder was not shown"

settings="$HOME/.config/Lorimand/Lorimand.ini"
[ -f "$settings" ] || fail "no settings in ~/.config/Lorimand"
grep -q -x $'CodeType=1\r' "$settings" || fail "the mode was not saved: $(cat -A "$settings")"
grep -q -x $'CustCode=ROT13\r' "$settings" || fail "the table was not saved: $(cat -A "$settings")"
[ ! -e "$prefix/bin/Lorimand.ini" ] || fail "settings were written into the installed bin folder"

# The user's ROT13 swaps a and b; the installed one would give "bar\r\ngjb nop".
cmp "$work/out/saved.enc" <(printf 'one\r\ntwo bac') ||
    fail "not encoded through the user's table: $(head -c 40 "$work/out/saved.enc" | od -c)"
echo "PASS"

#!/usr/bin/env bash
# The real program in a real X server, driven by the keyboard: it starts with a
# file named on its command line, encodes it, takes keys typed at the end of
# Normal (Auto translating each), saves the result through the real file
# dialog, and the saved bytes must be what lorimand-cli makes of the same text.
# Find Key (Ctrl+K) then finds the key of Encoded and decodes it into Normal,
# and New Code Table (Ctrl+T) makes a table that the window then encodes with.
# Made smaller than its minimum, it sets itself back; F1 then opens the help
# window. Started again under a German locale, it speaks German: its access
# keys, its dialogs' titles and its help window.
# Usage: window_end_to_end.sh <folder holding lorimand and lorimand-cli>
set -euo pipefail

bin_dir=$1
source "$(dirname "$0")/xsession.sh"
require_tools Xvfb xdotool

# A program folder of its own, so the settings file lands in the scratch folder.
mkdir "$work/program"
cp "$bin_dir/lorimand" "$work/program/"
printf 'one\r\ntwo\r\n' >"$work/notes.txt"

# Answers the real save dialog titled $1 with the path $2, and waits for the file.
save_through_dialog() {
    local dialog
    dialog=$(wait_for_window "^$1\$") || fail "the dialog \"$1\" did not appear"
    xdotool windowfocus --sync "$dialog"
    xdotool type --delay 20 "$2"
    xdotool key Return
    wait_for_file "$2" || fail "nothing was saved to $2"
}

start_xvfb
export HOME="$work"

"$work/program/lorimand" -e "$work/notes.txt" 2>"$work/stderr" &
english=$!
pids+=("$english")
main=$(wait_for_window '^Lorimand$') || fail "the main window did not appear: $(tail -n 30 "$work/stderr")"

# Alt+T is Normal's label; the keys go to the end of its text, and a new line
# takes the text's CR LF.
xdotool windowfocus --sync "$main"
xdotool key --clearmodifiers alt+t ctrl+End
xdotool type --delay 20 ' & three'
xdotool key Return
xdotool type --delay 20 'four'

# Alt+V is "Save Encoded Text".
xdotool key --clearmodifiers alt+v
save_through_dialog 'Save Encoded Text As' "$work/saved.enc"

# The command line loads the lines joined by CR LF, without the final line end.
printf 'one\r\ntwo & three\r\nfour' | "$bin_dir/lorimand-cli" encode --key TarnVeli >"$work/expected.enc"
cmp "$work/expected.enc" "$work/saved.enc" || fail "the saved text differs from lorimand-cli's"

# Find Key from the keyboard: with Auto off and Normal emptied, Ctrl+K lists the
# likeliest keys of Encoded, Return takes the best, which decodes into Normal.
xdotool windowfocus --sync "$main"
# Alt+A clicks Auto as a button does, which takes effect a moment later.
xdotool key --clearmodifiers alt+a
sleep 0.5
xdotool key --clearmodifiers alt+t ctrl+a Delete ctrl+k
finder=$(wait_for_window '^Find Key$') || fail "Ctrl+K did not open Find Key"
xdotool windowfocus --sync "$finder"
xdotool key Return
xdotool windowfocus --sync "$main"
xdotool key --clearmodifiers alt+s
save_through_dialog 'Save Normal Text As' "$work/found.txt"
found=$(od -An -c "$work/found.txt" | tr -d ' \n')
case $found in
'one\r\ntwo&three\r\nfour' | 'one\r\ntwo&three\r\nfour\r\n') ;;
*) fail "Find Key decoded Normal into: $found" ;;
esac

# New Code Table from the keyboard: two steps down the kinds is the letter
# shift (13 by default), Alt+N the name, Return saves. The table lands in the
# user's table folder, is chosen, and Custom Code encodes through it.
xdotool windowfocus --sync "$main"
xdotool key --clearmodifiers ctrl+t
maker=$(wait_for_window '^New Code Table$') || fail "Ctrl+T did not open New Code Table"
xdotool windowfocus --sync "$maker"
xdotool key Down Down
xdotool key --clearmodifiers alt+n
xdotool type --delay 20 'Mine'
xdotool key Return
table="$HOME/.local/share/lorimand/Mine.sbt"
wait_for_file "$table" || fail "New Code Table saved nothing"
"$bin_dir/lorimand-cli" new-table shift >"$work/expected.sbt"
cmp "$work/expected.sbt" "$table" || fail "the saved table differs from lorimand-cli's"
xdotool windowfocus --sync "$main"
xdotool key --clearmodifiers alt+c alt+t ctrl+a
xdotool type --delay 20 'Hello'
xdotool key --clearmodifiers alt+e alt+v
save_through_dialog 'Save Encoded Text As' "$work/mine.enc"
[ "$(cat "$work/mine.enc")" = "Uryyb" ] || fail "the new table encoded Hello as $(cat "$work/mine.enc")"

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

# The German window: QLocale reads LANGUAGE and LANG even where the system has
# no de_DE locale generated.
kill "$english"
wait_for_no_window '^Lorimand' || fail "the English window did not go"
LANGUAGE=de LANG=de_DE.UTF-8 "$work/program/lorimand" 2>"$work/stderr.de" &
pids+=($!)
main=$(wait_for_window '^Lorimand$') || fail "the German window did not appear: $(tail -n 30 "$work/stderr.de")"
xdotool windowfocus --sync "$main"
# Alt+P is "Klartext s&peichern", which English has no button for.
xdotool key --clearmodifiers alt+p
dialog=$(wait_for_window '^Klartext speichern unter$') ||
    fail "Alt+P did not open the German save dialog: $(xdotool search --onlyvisible --name . getwindowname %@ 2>/dev/null | tr '\n' '|')"
xdotool windowfocus --sync "$dialog"
xdotool key Escape
wait_for_no_window '^Klartext speichern unter$' || fail "the German save dialog did not close"
xdotool windowfocus --sync "$main"
xdotool key F1
wait_for_window '^Lorimand-Hilfe$' >/dev/null || fail "F1 did not open the German help window"
echo "PASS"

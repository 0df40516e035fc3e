#!/usr/bin/env bash
# The real program in a real X server, used as a person uses it: keys, the clipboard, play and
# stop, save; then the saved project is read back with `lantrel info` and the screenshots are
# checked where the window's geometry puts the strip and the screen.
# Usage: window_e2e.sh LANTREL EXAMPLES_DIR OUTPUT_DIR (screenshots are left in OUTPUT_DIR).
set -euo pipefail
lantrel=$1
examples=$2
shots=$3
mkdir -p "$shots"
work=$(mktemp -d)
cleanup() {
    [ -n "${app:-}" ] && kill "$app" 2>/dev/null || true
    [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/run
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=$work/sound.raw
unset QT_QPA_PLATFORM

exec 3<> <(:)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb=$!
read -r -t 10 number <&3 || fail "Xvfb did not start"
export DISPLAY=:$number

"$lantrel" arrange "$work/song.vtm" "upper:0:$examples/frere_jacques.vtq" >/dev/null

# Waits for a window whose name matches, and prints its id.
window() {
    for _ in $(seq 100); do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1) && [ -n "$id" ] && { echo "$id"; return; }
        sleep 0.1
    done
    fail "no window named '$1'"
}
# The colour of one pixel of a screenshot, as "r,g,b".
pixel() { convert "$1" -format "%[fx:int(255*p{$2,$3}.r)],%[fx:int(255*p{$2,$3}.g)],%[fx:int(255*p{$2,$3}.b)]" info:; }
# Without a window manager nothing gives the window the focus; the test does, since the
# program ignores keys sent to it as synthetic events.
key() { xdotool windowfocus --sync "$win" 2>/dev/null || true; xdotool key --delay 60 "$@"; sleep 0.2; }

started=$(date +%s%N)
"$lantrel" "$work/song.vtm" >"$work/app.log" 2>&1 &
app=$!
win=$(window '^song - Lantrel$')
echo "window after $(( ($(date +%s%N) - started) / 1000000 )) ms"
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$win")"
view_top=$((Y + HEIGHT - 496))
import -window root "$shots/before.png"

# The screen shows what `render` draws at the cursor, pixel for pixel.
"$lantrel" render "$work/song.vtm" 0 "$work/render.png" >/dev/null
convert "$shots/before.png" -crop "512x384+$X+$((view_top + 2))" +repage "$work/screen.png"
diff=$(compare -metric AE "$work/screen.png" "$work/render.png" null: 2>&1 || true)
[ "$diff" = "0" ] || fail "the screen area differs from render in $diff pixels"
strip=$((view_top + 388))
[ "$(pixel "$shots/before.png" $((X + 100)) $((strip + 16)))" = "192,192,192" ] || fail "no grid line"
[ "$(pixel "$shots/before.png" $((X + 9 * 5 + 4)) $((strip + 17 + 25 + 5)))" = "208,208,208" ] ||
    fail "the empty middle lane is not grey"
[ "$(pixel "$shots/before.png" $((X)) $((strip + 41)))" = "255,0,255" ] || fail "no cursor frame"

# Edits: paste a two-column score at column 3 of the middle lane, then move it to 5..6 with two
# inserts at column 0, a delete, and an undo of the delete (the lane keeps its first bound at 3,
# as inserts do not move it); play a moment and stop; save.
printf 'SCORE=00570057\nEND=3\n' | xclip -selection clipboard
key Right Right Right ctrl+v
key Left Left Left Left Left Insert Insert Delete ctrl+z
key F5
sleep 1.5
key F8
key ctrl+s
sleep 0.5
import -window root "$shots/after.png"
[ "$(xdotool getwindowname "$win")" = "song - Lantrel" ] || fail "still marked modified after save"

info=$("$lantrel" info "$work/song.vtm")
middle='{"firstUsedColumn":3,"lastUsedColumn":6,"columnCount":7,"notes":2}'
case "$info" in *"$middle"*) ;; *) fail "the saved middle lane is not $middle: $info" ;; esac
[ -s "$SDL_DISKAUDIOFILE" ] || fail "nothing was played"
after=$(pixel "$shots/after.png" $((X + 9 * 5 + 4)) $((strip + 17 + 25 + 4)))
[ "$after" != "208,208,208" ] && [ "$after" != "255,255,255" ] || fail "no icon at column 5"
[ "$(pixel "$shots/after.png" $((X + 9 * 3 + 4)) $((strip + 17 + 25 + 5)))" = "208,208,208" ] ||
    fail "column 3 should be empty again"

# A second start with a score hands it to this window, which places it at the cursor.
printf 'SCORE=00510051005100510051\nEND=6\n' >"$work/more.vtq"
"$lantrel" "$work/more.vtq" || fail "the second start did not hand over its file"
sleep 0.5
[ "$(xdotool getwindowname "$win")" = "song* - Lantrel" ] || fail "the handed-over score was not placed"

# A name handed over while the project has unsaved changes asks the save question first. The
# window must live through every answer (the box's event loop once ran inside the hand-over's
# socket, which was deleted under it), and keep the edit until the answer lets it go.
alive() { kill -0 "$app" 2>/dev/null || fail "the window died: $1"; }
title() { [ "$(xdotool getwindowname "$win")" = "$1" ] || fail "the title is '$(xdotool getwindowname "$win")', not '$1', after $2"; }
answer() {
    box=$(window '^lANTREL SEQUENCER$')
    xdotool windowfocus --sync "$box" 2>/dev/null || true; xdotool key "$1"
    sleep 0.5
}
cp "$work/song.vtm" "$work/other.vtm"
"$lantrel" "$work/other.vtm" || fail "the hand-over of a project did not end"
answer Escape
alive "cancelling the save question"; title "song* - Lantrel" "cancelling the save question"
"$lantrel" "$work/other.vtm"
answer y
alive "saving before a project opened"; title "other - Lantrel" "saving before a project opened"
case "$("$lantrel" info "$work/song.vtm")" in
    *'{"firstUsedColumn":0,"lastUsedColumn":6,"columnCount":7,"notes":7}'*) ;; *) fail "the placed score was not saved before the other project opened: $("$lantrel" info "$work/song.vtm")" ;; esac
"$lantrel" "$work/more.vtq"
sleep 0.5
title "other* - Lantrel" "a score handed to the other project"
"$lantrel" "$work/song.vtm"
answer n
alive "declining to save"; title "song - Lantrel" "declining to save"
"$lantrel" "$work/none.txt"
answer Return
alive "refusing a name it cannot read"; title "song - Lantrel" "refusing a name it cannot read"

# Quit through the menu, declining to save.
"$lantrel" "$work/more.vtq"
sleep 0.5
key alt+f x
answer n
for _ in $(seq 50); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
kill -0 "$app" 2>/dev/null && fail "the window did not close"
wait "$app" || true
app=

# With no window running, a score as the only argument goes to the project loader, which
# refuses it, and start-up ends after saying so.
"$lantrel" "$work/more.vtq" >/dev/null 2>&1 &
app=$!
box=$(window '^lANTREL SEQUENCER$')
import -window root "$shots/refused.png"
xdotool windowfocus --sync "$box" 2>/dev/null || true; xdotool key Return
status=0
wait "$app" || status=$?
app=
[ "$status" = 1 ] || fail "start-up with a score ended with status $status"

# A shutdown (SIGTERM) cannot wait for the save question: the unsaved project goes to a
# recovery copy, and the window ends at once with status 128 + 15.
"$lantrel" arrange "$work/fresh.vtm" >/dev/null
"$lantrel" "$work/fresh.vtm" >"$work/app.log" 2>&1 &
app=$!
win=$(window '^fresh - Lantrel$')
"$lantrel" "$work/more.vtq"
sleep 0.5
title "fresh* - Lantrel" "a score handed over before the shutdown"
kill -TERM "$app"
status=0
wait "$app" || status=$?
app=
[ "$status" = 143 ] || fail "SIGTERM ended the window with status $status"
copy=$XDG_DATA_HOME/Lantrel/recovery/fresh.vtm
grep -qF "$copy" "$work/app.log" || fail "the recovery copy's place was not told: $(cat "$work/app.log")"
case "$("$lantrel" info "$copy")" in
    *'"notes":5}'*) ;; *) fail "the recovery copy does not hold the unsaved edit" ;; esac

# The next start offers the copy; taken, it is the unsaved project again, in no file yet.
"$lantrel" >/dev/null 2>&1 &
app=$!
answer y
win=$(window '^無題\* - Lantrel$')
[ -e "$copy" ] && fail "the recovery copy is still offered after it was opened"

# Ctrl+C in the terminal is a close of the window: the save question, and the window stays
# when the question is cancelled; declined, the program ends with status 128 + 2.
kill -INT "$app"
answer Escape
alive "cancelling the question of Ctrl+C"
kill -INT "$app"
answer n
status=0
wait "$app" || status=$?
app=
[ "$status" = 130 ] || fail "Ctrl+C ended the window with status $status"

# LANTREL_LANGUAGE=en for one run: the File menu reads in English (as OCR reads the screenshot),
# and its movie export, chosen by its English accelerator, writes the movie of a short score.
printf 'SCORE=0051005200530054\nEND=5\n' >"$work/short.vtq"
mkdir -p "$work/english"
"$lantrel" arrange "$work/en.vtm" --out-dir "$work/english" --name short "upper:0:$work/short.vtq" >/dev/null
LANTREL_LANGUAGE=en "$lantrel" "$work/en.vtm" >"$work/app.log" 2>&1 &
app=$!
win=$(window '^en - Lantrel$')
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$win")"
key alt+f
import -window root "$shots/english_file_menu.png"
convert "$shots/english_file_menu.png" -crop "360x260+$X+$Y" +repage -scale 300% -colorspace Gray \
    "$work/menu.png"
menu=$(tesseract "$work/menu.png" - 2>/dev/null)
case "$menu" in *"Export movie..."*) ;; *) fail "the English File menu reads: $menu" ;; esac
key Escape
key alt+f e
dialog=$(window '^Movie settings$')
xdotool windowfocus --sync "$dialog" 2>/dev/null || true; xdotool key Return
for _ in $(seq 100); do [ -s "$work/english/short.avi" ] && [ -s "$work/english/short.wav" ] && break; sleep 0.1; done
[ -s "$work/english/short.avi" ] && [ -s "$work/english/short.wav" ] || fail "the English export wrote nothing"
sleep 1  # the files are in place a moment before the window hears that the run ended
key alt+f x
answer n
status=0
wait "$app" || status=$?
app=
[ "$status" = 0 ] || fail "the English window ended with status $status"
echo "ok"

#!/usr/bin/env bash
# Starts the real program on an X display (run it under xvfb-run), waits for
# its main window, takes a screenshot, checks that the GL view painted the
# configured background, closes the window with the Escape key or a click on
# Cancel, and checks the mw.cfg it writes when it ends.
# With "random", it first builds a random figure and checks that the view
# shows more than the background, deforms a part on "Edit BodyParts" and
# checks that the view changes, drags the background's red bar on "Prefs"
# and checks the view's colour, makes the window larger and checks that the
# view grew, zooms with the wheel and goes back with Home, then closes with
# Escape, answers the question about the changes with Save, and checks that
# mw.cfg holds the new colour and size. With "project", a random figure is saved as
# a project, cleared and loaded again, and the view shows it as before.
# Usage: smoke_test.sh <program> <object library dir> <screenshot.png> escape|cancel|random|project [mwbatch]
set -uo pipefail

program=$1
library=$2
screenshot=$3
closeWith=$4
mwbatch=${5:-}
caption='Vexholm - Morphwright 1.6'

stopProgram() {
  if [ -n "${pid:-}" ] && kill -0 "$pid" 2>/dev/null; then
    kill "$pid" 2>/dev/null
    sleep 1
    kill -9 "$pid" 2>/dev/null
  fi
  pid=
}

fail() {
  echo "smoke test: $*" >&2
  stopProgram
  [ -f "${work:-}/program.log" ] && sed 's/^/program: /' "$work/program.log" >&2
  exit 1
}

for tool in xdotool import; do
  command -v "$tool" >/dev/null || fail "$tool is missing (scripts/install-deps.sh installs it)"
done
[ -n "${DISPLAY:-}" ] || fail "no DISPLAY; run under xvfb-run"
[ -x "$program" ] || fail "no program at $program"

work=$(mktemp -d)
# Whatever ends the script, the program does not outlive it.
trap 'stopProgram; rm -rf "$work"' EXIT
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR="$work/runtime"
printf 'ObjectDir %s\r\nBgColor 0 0 1 0\r\n' "$library" > "$work/mw.cfg"

(cd "$work" && exec "$program") > "$work/program.log" 2>&1 &
pid=$!

timeout 30 xdotool search --sync --onlyvisible --name "^${caption}\$" >/dev/null ||
  fail "no window named \"$caption\" within 30 s"
# Qt may replace the first native window once the GL view joins it; take
# the one that is there now, after the first paints.
sleep 2
kill -0 "$pid" 2>/dev/null || fail "the program ended by itself"
window=$(timeout 5 xdotool search --onlyvisible --name "^${caption}\$" | tail -1)
[ -n "$window" ] || fail "the window went away"
timeout 20 import -window root "$screenshot" || fail "no screenshot"

answerDialog() {  # title, then the file name to type; Return presses the default button
  local dialog
  dialog=$(timeout 10 xdotool search --sync --onlyvisible --name "^$1\$" | tail -1)
  [ -n "$dialog" ] || fail "no \"$1\" window"
  timeout 5 xdotool windowfocus --sync "$dialog" 2>/dev/null
  sleep 0.5
  [ -z "${2:-}" ] || timeout 10 xdotool type --delay 10 "$2" 2>/dev/null
  timeout 5 xdotool key Return 2>/dev/null
  sleep 1
}

# The view sits at 330, 20 (547 × 557 pixels) in the window; with nothing
# loaded it shows the background colour alone.
eval "$(timeout 5 xdotool getwindowgeometry --shell "$window")" || fail "no geometry of the window"
[ -n "${X:-}" ] && [ -n "${Y:-}" ] || fail "no position of the window"
pixel=$(timeout 20 convert "$screenshot" -crop "1x1+$((X + 330 + 274))+$((Y + 20 + 278))" -depth 8 txt:- | tail -1)
case "$pixel" in
  *'#0000FF'*) ;;
  *) fail "the view does not show the blue background of mw.cfg: $pixel" ;;
esac

if [ "$closeWith" = random ]; then
  # "Random Creature" sits at 154, 358 (66 × 13) dialog units: its middle in pixels.
  timeout 5 xdotool mousemove --window "$window" 280 591 click 1 2>/dev/null
  sleep 3
  kill -0 "$pid" 2>/dev/null || fail "the program ended after Random Creature"
  timeout 20 import -window root "$screenshot" || fail "no screenshot of the figure"
  # Share of the view's pixels that are not the blue background.
  figure=$(timeout 20 convert "$screenshot" -crop "547x557+$((X + 330))+$((Y + 20))" +repage \
    -fuzz 3% -fill black -opaque '#0000FF' -fill white +opaque black -colorspace Gray -format '%[fx:mean]' info:)
  awk -v f="$figure" 'BEGIN { exit !(f > 0.05) }' ||
    fail "the view shows no figure after Random Creature (share of figure pixels: $figure)"
  echo "smoke test: the random figure covers $figure of the view"

  # "Edit BodyParts": ">" (183, 16 dialog units in the page at 1, 21 pixels)
  # nine times from "(none)" chooses "Upper body", which lights up; then the
  # X bar's right arrow (the bar at 35, 84, 162 × 12) narrows it step by step.
  timeout 5 xdotool mousemove --window "$window" 200 10 click 1 2>/dev/null
  sleep 0.5
  timeout 10 xdotool mousemove --window "$window" 285 57 click --repeat 9 --delay 100 1 2>/dev/null
  sleep 1
  timeout 20 import -window root "$work/chosen.png" || fail "no screenshot of the chosen part"
  timeout 20 xdotool mousemove --window "$window" 288 166 click --repeat 30 --delay 50 1 2>/dev/null
  sleep 1
  kill -0 "$pid" 2>/dev/null || fail "the program ended while a part was deformed"
  timeout 20 import -window root "$work/deformed.png" || fail "no screenshot of the deformed part"
  crop="547x557+$((X + 330))+$((Y + 20))"
  timeout 20 convert "$work/chosen.png" -crop "$crop" +repage "$work/chosen-view.png"
  timeout 20 convert "$work/deformed.png" -crop "$crop" +repage "$work/deformed-view.png"
  changed=$(timeout 20 compare -metric AE -fuzz 3% "$work/chosen-view.png" "$work/deformed-view.png" null: 2>&1)
  changed=${changed%% *}
  [ "${changed%.*}" -gt 500 ] 2>/dev/null ||
    fail "moving the X bar of the chosen part changed $changed pixels of the view, expected more than 500"
  echo "smoke test: deforming the upper body changed $changed pixels of the view"
  cp "$work/chosen.png" "${screenshot%.png}-chosen.png"
  cp "$work/deformed.png" "${screenshot%.png}-deformed.png"

  # Every click of the bar was one step: Ctrl+Z thirty times takes the
  # figure back to the picture before the clicks, pixel for pixel, and
  # Ctrl+Y as often gives the deformed one again.
  differs() {  # screenshot, reference view: the pixels that differ
    timeout 20 convert "$1" -crop "$crop" +repage "$work/now-view.png"
    local count
    count=$(timeout 20 compare -metric AE "$work/now-view.png" "$2" null: 2>&1)
    echo "${count%% *}"
  }
  timeout 5 xdotool windowfocus --sync "$window" 2>/dev/null
  timeout 20 xdotool key --repeat 30 --delay 50 ctrl+z 2>/dev/null
  sleep 1
  timeout 20 import -window root "$work/undone.png" || fail "no screenshot after Ctrl+Z"
  left=$(differs "$work/undone.png" "$work/chosen-view.png")
  [ "$left" = 0 ] || fail "Ctrl+Z 30 times left $left pixels of the view unlike the picture before the clicks"
  timeout 20 xdotool key --repeat 30 --delay 50 ctrl+y 2>/dev/null
  sleep 1
  timeout 20 import -window root "$work/redone.png" || fail "no screenshot after Ctrl+Y"
  left=$(differs "$work/redone.png" "$work/deformed-view.png")
  [ "$left" = 0 ] || fail "Ctrl+Y 30 times left $left pixels of the view unlike the deformed picture"
  echo "smoke test: Ctrl+Z 30 times gave back the picture before the clicks, Ctrl+Y as often the one after"

  # "Random Creature" by mistake is one Ctrl+Z away from the figure before.
  timeout 5 xdotool mousemove --window "$window" 280 591 click 1 2>/dev/null
  sleep 2
  timeout 20 import -window root "$work/mistake.png" || fail "no screenshot after the second Random Creature"
  replaced=$(differs "$work/mistake.png" "$work/deformed-view.png")
  [ "${replaced:-0}" -gt 500 ] 2>/dev/null || fail "a second Random Creature changed only $replaced pixels"
  timeout 5 xdotool key ctrl+z 2>/dev/null
  sleep 1
  timeout 20 import -window root "$work/unmistaken.png" || fail "no screenshot after undoing Random Creature"
  left=$(differs "$work/unmistaken.png" "$work/deformed-view.png")
  [ "$left" = 0 ] || fail "Ctrl+Z after Random Creature left $left pixels unlike the figure before"
  echo "smoke test: one Ctrl+Z took back a Random Creature ($replaced pixels) exactly"

  # "Mirror left and right" (7, 252 in the page) on, then "Left forearm"
  # (two more ">") widened by 20 clicks of the X bar's left arrow: the
  # picture changes on both sides of the figure, as the right forearm
  # follows the left one.
  timeout 5 xdotool mousemove --window "$window" 20 437 click 1 2>/dev/null
  timeout 10 xdotool mousemove --window "$window" 285 57 click --repeat 2 --delay 100 1 2>/dev/null
  sleep 1
  timeout 20 import -window root "$work/forearm.png" || fail "no screenshot of the chosen forearm"
  timeout 20 xdotool mousemove --window "$window" 62 166 click --repeat 20 --delay 50 1 2>/dev/null
  sleep 1
  timeout 20 import -window root "$work/mirrored.png" || fail "no screenshot of the mirrored edit"
  halves() {  # screenshot, screenshot: the pixels of the view's left and right halves that differ
    local side count
    for side in "273x557+$((X + 330))+$((Y + 20))" "274x557+$((X + 330 + 273))+$((Y + 20))"; do
      timeout 20 convert "$1" -crop "$side" +repage "$work/a-half.png"
      timeout 20 convert "$2" -crop "$side" +repage "$work/b-half.png"
      count=$(timeout 20 compare -metric AE "$work/a-half.png" "$work/b-half.png" null: 2>&1)
      echo "${count%% *}"
    done
  }
  read -r leftHalf rightHalf <<< "$(halves "$work/forearm.png" "$work/mirrored.png" | tr '\n' ' ')"
  [ "${leftHalf:-0}" -gt 100 ] 2>/dev/null && [ "${rightHalf:-0}" -gt 100 ] 2>/dev/null ||
    fail "widening the left forearm with the mirror on changed $leftHalf and $rightHalf pixels of the view's halves"
  echo "smoke test: the mirrored forearm edit changed $leftHalf and $rightHalf pixels of the view's two halves"
  cp "$work/mirrored.png" "${screenshot%.png}-mirrored.png"

  # "Prefs": drag the background red bar (21, 100, 175 × 12) from 0 to its
  # end; the blue background turns magenta at once.
  timeout 5 xdotool mousemove --window "$window" 130 10 click 1 2>/dev/null
  sleep 0.5
  timeout 10 xdotool mousemove --window "$window" 56 192 mousedown 1 mousemove --window "$window" 150 192 \
    mousemove --window "$window" 320 192 mouseup 1 2>/dev/null
  sleep 1
  timeout 20 import -window root "$screenshot" || fail "no screenshot after the colour change"
  pixel=$(timeout 20 convert "$screenshot" -crop "1x1+$((X + 330 + 5))+$((Y + 20 + 5))" -depth 8 txt:- | tail -1)
  case "$pixel" in
    *'#FE00FF'*) ;;
    *) fail "the view does not show the magenta background after the red bar was dragged: $pixel" ;;
  esac
  expectBackground='BgColor 0.996078 0.000000 1.000000 0.000000'

  # The window made larger: the view takes the new room (its far corner
  # shows the background), and the size is kept in mw.cfg.
  timeout 5 xdotool windowsize --sync "$window" 1100 800 2>/dev/null || fail "the window could not be resized"
  sleep 1
  timeout 20 import -window root "$work/large.png" || fail "no screenshot of the larger window"
  pixel=$(timeout 20 convert "$work/large.png" -crop "1x1+$((X + 330 + 547 + 212 - 5))+$((Y + 20 + 557 + 134 - 5))" \
    -depth 8 txt:- | tail -1)
  case "$pixel" in
    *'#FE00FF'*) ;;
    *) fail "the view did not grow with the window: its far corner shows $pixel" ;;
  esac
  crop="759x691+$((X + 330))+$((Y + 20))"
  timeout 20 convert "$work/large.png" -crop "$crop" +repage "$work/large-view.png"
  # The wheel over the view zooms; Home puts the camera back as it was.
  timeout 5 xdotool mousemove --window "$window" 700 300 click --repeat 5 --delay 100 4 2>/dev/null
  sleep 1
  timeout 20 import -window root "$work/zoomed.png" || fail "no screenshot after the wheel"
  zoomed=$(differs "$work/zoomed.png" "$work/large-view.png")
  [ "${zoomed:-0}" -gt 500 ] 2>/dev/null || fail "five notches of the wheel changed $zoomed pixels of the view"
  timeout 5 xdotool key Home 2>/dev/null
  sleep 1
  timeout 20 import -window root "$work/home.png" || fail "no screenshot after Home"
  left=$(differs "$work/home.png" "$work/large-view.png")
  [ "$left" = 0 ] || fail "Home left $left pixels of the view unlike the picture before the wheel"
  echo "smoke test: the view grew with the window, the wheel changed $zoomed pixels and Home took them back"
  cp "$work/zoomed.png" "${screenshot%.png}-zoomed.png"
  expectSize='WindowSize 1100 800'

  # Escape with the figure changed asks first; Return saves it.
  timeout 5 xdotool windowfocus --sync "$window" 2>/dev/null
  timeout 5 xdotool key --window "$window" Escape 2>/dev/null
  kill -0 "$pid" 2>/dev/null || fail "Escape closed a figure with changes without asking"
  answerDialog "Unsaved Changes"
  answerDialog "Save As" "$work/closing.mwp"
  answerDialog "Project Saved"
  [ -s "$work/closing.mwp" ] || fail "Save in the question on closing wrote no project"
  echo "smoke test: closing with changes asked, and Save wrote the project"
  closeWith=asked
fi

if [ "$closeWith" = project ]; then
  # A random figure saved with "Save Project", the figure cleared, and the
  # project loaded again with "Load Project": the view shows the same figure.
  crop="547x557+$((X + 330))+$((Y + 20))"
  timeout 5 xdotool mousemove --window "$window" 280 591 click 1 2>/dev/null
  sleep 2
  timeout 20 import -window root "$work/saved.png" || fail "no screenshot of the figure"
  # "Save Project" (55, 51 in the page) and the box that confirms it.
  timeout 5 xdotool mousemove --window "$window" 158 113 click 1 2>/dev/null
  answerDialog "Save As" "$work/figure.mwp"
  answerDialog "Project Saved"
  [ -s "$work/figure.mwp" ] || fail "no project file written"
  head -c 5 "$work/figure.mwp" | grep -q $'MW1\r' || fail "the project file does not start with MW1"
  # "Clear Creature" (154, 371), then "Load Project" (55, 38 in the page).
  timeout 5 xdotool mousemove --window "$window" 280 613 click 1 2>/dev/null
  sleep 1
  timeout 20 import -window root "$work/cleared.png" || fail "no screenshot of the empty view"
  timeout 5 xdotool mousemove --window "$window" 158 92 click 1 2>/dev/null
  answerDialog "Open" "$work/figure.mwp"
  sleep 1
  kill -0 "$pid" 2>/dev/null || fail "the program ended while loading the project"
  timeout 20 import -window root "$screenshot" || fail "no screenshot of the loaded figure"
  for shot in saved cleared; do
    timeout 20 convert "$work/$shot.png" -crop "$crop" +repage "$work/$shot-view.png"
  done
  timeout 20 convert "$screenshot" -crop "$crop" +repage "$work/loaded-view.png"
  differ=$(timeout 20 compare -metric AE -fuzz 3% "$work/saved-view.png" "$work/loaded-view.png" null: 2>&1)
  emptied=$(timeout 20 compare -metric AE -fuzz 3% "$work/saved-view.png" "$work/cleared-view.png" null: 2>&1)
  differ=${differ%% *}
  emptied=${emptied%% *}
  [ "${emptied%.*}" -gt 20000 ] 2>/dev/null || fail "clearing the figure changed only $emptied pixels"
  [ "${differ%.*}" -lt 200 ] 2>/dev/null ||
    fail "the loaded project shows another figure: $differ pixels differ from the saved one"
  cp "$work/saved.png" "${screenshot%.png}-saved.png"
  echo "smoke test: saved, cleared ($emptied pixels changed) and loaded again ($differ pixels differ)"
  # mwbatch draws the same project as the program's view shows it.
  if [ -n "$mwbatch" ]; then
    "$mwbatch" render --objects "$library" --background 0,0,1 --quiet "$work/figure.mwp" "$work/rendered.png" ||
      fail "mwbatch render failed on the saved project"
    rendered=$(timeout 20 compare -metric AE -fuzz 3% "$work/loaded-view.png" "$work/rendered.png" null: 2>&1)
    rendered=${rendered%% *}
    [ "${rendered%.*}" -lt 200 ] 2>/dev/null ||
      fail "mwbatch render's picture differs from the view in $rendered pixels"
    cp "$work/rendered.png" "${screenshot%.png}-rendered.png"
    echo "smoke test: mwbatch render gives the view's picture ($rendered pixels differ)"
  fi
  closeWith=escape
fi

case "$closeWith" in
  asked) ;;  # closed through the question already
  escape)
    timeout 5 xdotool windowfocus --sync "$window" 2>/dev/null
    # The window is gone before the key comes up; that error is expected.
    timeout 5 xdotool key --window "$window" Escape 2>/dev/null
    ;;
  cancel)
    # Cancel sits at 535, 392 (50 × 14) dialog units: its middle in pixels.
    timeout 5 xdotool mousemove --window "$window" 839 648 click 1 2>/dev/null
    ;;
  *) fail "unknown way of closing: $closeWith" ;;
esac

for _ in $(seq 150); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "the program did not end within 15 s of the $closeWith"
wait "$pid"
status=$?
pid=
[ "$status" -eq 0 ] || fail "the program ended with status $status"

config="$work/mw.cfg"
lines=$(wc -l < "$config")
crlf=$(grep -c $'\r$' "$config")
[ "$lines" -eq 8 ] || fail "mw.cfg has $lines lines, not 8: $(cat -A "$config")"
[ "$crlf" -eq "$lines" ] || fail "mw.cfg lines do not all end with CR LF: $(cat -A "$config")"
keywords=$(cut -d' ' -f1 "$config" | tr -d '\r' | tr '\n' ' ')
[ "$keywords" = "ConvertObjectDir ConvertObjectName ObjectDir ProjectDir BgColor WireColor MirrorEdit WindowSize " ] ||
  fail "mw.cfg keywords: $keywords"
grep -qxF "ObjectDir ${library}"$'\r' "$config" || fail "mw.cfg lacks the line ObjectDir $library: $(cat -A "$config")"
for line in "${expectBackground:-}" "${expectSize:-}"; do
  [ -z "$line" ] || grep -qxF "$line"$'\r' "$config" || fail "mw.cfg lacks the line $line: $(cat -A "$config")"
done
echo "smoke test: closed with $closeWith, mw.cfg written; screenshot in $screenshot"

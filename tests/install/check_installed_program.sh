#!/usr/bin/env bash
# The installed program as a first start from the menu finds it: no mw.cfg
# anywhere, a home and settings folder of its own. Started with a project
# the installed mwbatch made, it shows that figure as mwbatch draws it;
# "Clear Creature" then "Random Creature" draws a figure from the installed
# library; closing asks about the changes, saves them, and writes the
# user's mw.cfg naming the installed library. Run it under xvfb-run.
# Usage: check_installed_program.sh BUILD_DIR CMAKE
set -uo pipefail
build=$1 cmake=$2
work=$(mktemp -d)
pid=
stopProgram() {
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
    kill "$pid" 2>/dev/null
    sleep 1
    kill -9 "$pid" 2>/dev/null
  fi
  pid=
}
trap 'stopProgram; rm -rf "$work"' EXIT
fail() {
  echo "installed program: $*" >&2
  stopProgram
  [ -f "$work/program.log" ] && sed 's/^/program: /' "$work/program.log" >&2
  exit 1
}
for tool in xdotool import convert compare; do
  command -v "$tool" >/dev/null || fail "$tool is missing (scripts/install-deps.sh installs it)"
done
[ -n "${DISPLAY:-}" ] || fail "no DISPLAY; run under xvfb-run"

prefix=$work/prefix
"$cmake" --install "$build" --prefix "$prefix" >/dev/null || fail "cmake --install failed"
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config
mkdir -p "$HOME" "$work/start" "$work/runtime"
chmod 700 "$work/runtime"
export XDG_RUNTIME_DIR=$work/runtime
library=$prefix/share/morphwright/objects

# A project and its picture from the installed mwbatch, which finds the
# installed library by itself.
(cd "$work/start" && "$prefix/bin/mwbatch" random --seed 5 --count 1 --formats mwp --out "$work" --quiet) ||
  fail "the installed mwbatch made no project"
(cd "$work/start" && "$prefix/bin/mwbatch" render --quiet "$work/figure-5.mwp" "$work/expected.png") ||
  fail "the installed mwbatch drew no picture"

(cd "$work/start" && exec "$prefix/bin/morphwright" "$work/figure-5.mwp") >"$work/program.log" 2>&1 &
pid=$!
caption='Vexholm - Morphwright 1.6'
timeout 30 xdotool search --sync --onlyvisible --name "^${caption}\$" >/dev/null || fail "no window within 30 s"
sleep 2
window=$(timeout 5 xdotool search --onlyvisible --name "^${caption}\$" | tail -1)
[ -n "$window" ] || fail "the window went away"
eval "$(timeout 5 xdotool getwindowgeometry --shell "$window")" || fail "no geometry of the window"
crop="547x557+$((X + 330))+$((Y + 20))"
view() {  # screenshot name: the view's pixels
  timeout 20 import -window root "$work/$1.png" || fail "no screenshot"
  timeout 20 convert "$work/$1.png" -crop "$crop" +repage "$work/$1-view.png"
}
view loaded
differ=$(timeout 20 compare -metric AE -fuzz 3% "$work/loaded-view.png" "$work/expected.png" null: 2>&1)
differ=${differ%% *}
[ "${differ%.*}" -lt 200 ] 2>/dev/null || fail "the project given at start-up shows another figure: $differ pixels differ"
echo "installed program: the project given at start-up shows mwbatch's picture ($differ pixels differ)"

# "Clear Creature" (154, 371) empties the view; "Random Creature" (154, 358)
# fills it from the installed library.
timeout 5 xdotool mousemove --window "$window" 280 613 click 1 2>/dev/null
sleep 1
view cleared
timeout 5 xdotool mousemove --window "$window" 280 591 click 1 2>/dev/null
sleep 2
view random
share() {  # view: the share of pixels that are not the black background
  timeout 20 convert "$1" -fuzz 3% -fill black -opaque black -fill white +opaque black -colorspace Gray \
    -format '%[fx:mean]' info:
}
empty=$(share "$work/cleared-view.png")
figure=$(share "$work/random-view.png")
awk -v e="$empty" -v f="$figure" 'BEGIN { exit !(e < 0.001 && f > 0.05) }' ||
  fail "Clear then Random Creature: the view's figure share went $empty, then $figure"
echo "installed program: Random Creature drew a figure from the installed library ($figure of the view)"

# Closing with changes asks; Return saves them through "Save As".
answer() {  # title, then a file name to type
  local dialog
  dialog=$(timeout 10 xdotool search --sync --onlyvisible --name "^$1\$" | tail -1)
  [ -n "$dialog" ] || fail "no \"$1\" window"
  timeout 5 xdotool windowfocus --sync "$dialog" 2>/dev/null
  sleep 0.5
  [ -z "${2:-}" ] || timeout 10 xdotool type --delay 10 "$2" 2>/dev/null
  timeout 5 xdotool key Return 2>/dev/null
  sleep 1
}
timeout 5 xdotool windowfocus --sync "$window" 2>/dev/null
timeout 5 xdotool key --window "$window" Escape 2>/dev/null
answer "Unsaved Changes"
answer "Save As" "$work/random.mwp"
answer "Project Saved"
for _ in $(seq 150); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "the program did not end"
wait "$pid" || fail "the program ended with an error"
pid=
[ -s "$work/random.mwp" ] || fail "no project saved on closing"
config=$XDG_CONFIG_HOME/morphwright/mw.cfg
[ -f "$config" ] || fail "no $config written"
[ ! -e "$work/start/mw.cfg" ] || fail "an mw.cfg was written into the start-up folder"
grep -qxF "ObjectDir $(cd "$library" && pwd)"$'\r' "$config" ||
  fail "the user's mw.cfg does not name the installed library: $(cat -A "$config")"
echo "installed program: closed through the question, the figure saved, $config written"

#!/usr/bin/env bash
# Installs what is missing, builds in Release, writes the sample object
# library and starts Morphwright in a working folder whose mw.cfg names it.
# Without a display it makes a random figure with mwbatch instead and says
# where its files are.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"

build="$root/build-release"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DMW_BUILD_TESTS=OFF -DMW_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j2

work="$root/run"
mkdir -p "$work"
if [ ! -f "$work/mw.cfg" ]; then
  printf 'ObjectDir %s\r\n' "$build/objects" > "$work/mw.cfg"
fi
cd "$work"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "morphwright: no display (neither DISPLAY nor WAYLAND_DISPLAY is set), so no window;" \
    "making a random figure with mwbatch instead." >&2
  # Seeded with the clock, as the "Random Creature" button is; the seed names the files.
  seed=$(( $(date +%s) % 4294967296 ))
  mkdir -p "$work/out"
  "$build/src/cli/mwbatch" random --objects "$build/objects" --count 1 --seed "$seed" \
    --formats png,3ds,mwp --out "$work/out" --quiet
  echo "A random figure (seed $seed) is in $work/out:"
  echo "  figure-$seed.png  a picture of it as the program's view shows it"
  echo "  figure-$seed.3ds  the figure as one 3D Studio mesh"
  echo "  figure-$seed.mwp  its project file (\"Load Project\" in the program, or mwbatch export)"
  echo "Run this script from a desktop session (or under xvfb-run) to start the program itself."
  exit 0
fi
exec "$build/src/morphwright"

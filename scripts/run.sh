#!/usr/bin/env bash
# Installs what is missing, builds in Release, writes the sample object
# library and starts Morphwright in a working folder whose mw.cfg names it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "morphwright: no display (neither DISPLAY nor WAYLAND_DISPLAY is set); run it from a desktop session or under xvfb-run." >&2
  exit 1
fi

build="$root/build-release"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DMW_BUILD_TESTS=OFF -DMW_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j2

work="$root/run"
mkdir -p "$work"
if [ ! -f "$work/mw.cfg" ]; then
  printf 'ObjectDir %s\r\n' "$build/objects" > "$work/mw.cfg"
fi
cd "$work"
exec "$build/src/morphwright"

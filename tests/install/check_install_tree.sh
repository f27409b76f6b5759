#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks the tree as a desktop
# reads it: every file there, the desktop entry, store metadata and MIME type
# valid, a project file recognised by name and by its first line, manual pages
# that render without a warning, icons of the sizes their folders say.
# Usage: check_install_tree.sh BUILD_DIR CMAKE DRAW_APP_ICON
set -uo pipefail
build=$1 cmake=$2 drawAppIcon=$3
here=$(cd "$(dirname "$0")" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

prefix=$tmp/prefix
"$cmake" --install "$build" --prefix "$prefix" >/dev/null || { echo "FAIL: cmake --install"; exit 1; }

while read -r file; do
  [ -f "$prefix/$file" ] || fail "$file not installed"
done <"$here/installed_files.txt"
[ "$(find "$prefix/share/morphwright/objects" -iname '*.mwo' | wc -l)" -ge 22 ] ||
  fail "the sample library has fewer than 22 object files"

share=$prefix/share
desktop-file-validate "$share/applications/morphwright.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net --no-color "$share/metainfo/org.morphwright.Morphwright.metainfo.xml" >"$tmp/as.log" ||
  { cat "$tmp/as.log"; fail "appstreamcli validate"; }
xmllint --noout "$share/mime/packages/morphwright.xml" || fail "xmllint"

# The MIME database built from our file alone: a name ending in .mwp and a
# file beginning with MW1 (whatever its name) are both project files.
mkdir -p "$tmp/data/mime/packages" "$tmp/home"
cp "$share/mime/packages/morphwright.xml" "$tmp/data/mime/packages/"
export XDG_DATA_HOME=$tmp/home XDG_DATA_DIRS=$tmp/data
update-mime-database "$tmp/data/mime" 2>"$tmp/mime.log" && [ ! -s "$tmp/mime.log" ] ||
  { cat "$tmp/mime.log"; fail "update-mime-database"; }
grep -qx '50:application/x-morphwright-project:\*\.mwp' "$tmp/data/mime/globs2" || fail "no *.mwp glob in globs2"
printf 'MW1\r\n' >"$tmp/x.mwp"
printf 'MW1\r\n' >"$tmp/no-extension"
for f in x.mwp no-extension; do
  type=$(gio info -a standard::content-type "$tmp/$f" |
    sed -n 's/^ *standard::content-type: //p')
  [ "$type" = application/x-morphwright-project ] || fail "$f is \"$type\", not a project file"
done

for page in morphwright mwbatch; do
  MANWIDTH=80 man --warnings -l "$share/man/man1/$page.1.gz" >"$tmp/page.txt" 2>"$tmp/man.log"
  [ -s "$tmp/man.log" ] && { head -5 "$tmp/man.log"; fail "$page.1 renders with warnings"; }
  grep -q '^NAME' "$tmp/page.txt" || fail "$page.1 renders without a NAME section"
done
# mwbatch's page carries every command its help lists.
for command in export render random check; do
  grep -q "^   $command\$" <(MANWIDTH=80 man -l "$share/man/man1/mwbatch.1.gz" 2>/dev/null) ||
    fail "mwbatch.1 has no section for $command"
done

for size in 16 24 32 48 64 128 256; do
  got=$(identify -format '%wx%h' "$share/icons/hicolor/${size}x$size/apps/morphwright.png" 2>/dev/null)
  [ "$got" = "${size}x$size" ] || fail "${size}x$size icon is \"$got\""
done

# The icons, rendered from the hand-written SVG, look like the window icon the
# program draws itself: within 1 % RMS at every size it draws (a colour four
# levels off is 1.2 %, the head a tenth smaller 3 % and more).
for size in 16 24 32 48 64; do
  "$drawAppIcon" $size "$tmp/drawn.png" 2>/dev/null || { fail "mw_draw_app_icon $size"; continue; }
  rmse=$(compare -metric RMSE "$tmp/drawn.png" "$share/icons/hicolor/${size}x$size/apps/morphwright.png" \
    null: 2>&1 | sed -n 's/.*(\(.*\)).*/\1/p')
  awk -v e="$rmse" 'BEGIN { exit !(e != "" && e < 0.01) }' ||
    fail "${size}x$size icon differs from the window icon (RMSE \"$rmse\")"
done

[ $failures -eq 0 ] && echo "install tree: all checks passed"
exit $((failures > 0))

#!/usr/bin/env bash
# Builds the Debian package with cpack, checks what it holds and its control
# fields, runs lintian on it, and runs the packaged mwbatch on the packaged
# sample library. Exits 77 (skipped) when cpack, dpkg-deb or lintian is missing.
# Usage: check_package.sh BUILD_DIR CPACK VERSION
set -uo pipefail
build=$1 cpack=$2 version=$3
here=$(cd "$(dirname "$0")" && pwd)
for tool in "$cpack" dpkg-deb dpkg-shlibdeps lintian; do
  if ! command -v "$tool" >/dev/null; then
    echo "******** SKIPPED: $tool is not installed (scripts/install-deps.sh installs it) ********"
    exit 77
  fi
done
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$tmp/out" >"$tmp/cpack.log" 2>&1 ||
  { tail -20 "$tmp/cpack.log"; echo "FAIL: cpack -G DEB"; exit 1; }
deb=$(echo "$tmp"/out/morphwright_*.deb)
[ -f "$deb" ] || { ls "$tmp/out"; echo "FAIL: no morphwright_*.deb"; exit 1; }

dpkg-deb --contents "$deb" | awk '{ print $NF }' | sed 's|^\./||' >"$tmp/contents.txt"
while read -r file; do
  grep -qx "usr/$file" "$tmp/contents.txt" || fail "the package lacks usr/$file"
done <"$here/installed_files.txt"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = morphwright ] || fail "Package is \"$(field Package)\""
[ "$(field Version)" = "$version" ] || fail "Version is \"$(field Version)\", not $version"
[ "$(field Section)" = graphics ] || fail "Section is \"$(field Section)\""
# dpkg-shlibdeps found the libraries the programs link.
for lib in libc6 libqt6widgets6 libosmesa6; do
  field Depends | grep -q "\b$lib\b" || fail "Depends lacks $lib: $(field Depends)"
done
[ -z "$(dpkg-deb --ctrl-tarfile "$deb" | tar -t | grep -E 'preinst|postinst|prerm|postrm')" ] ||
  fail "the package has maintainer scripts"

lintian --tag-display-limit 0 "$deb" >"$tmp/lintian.log" 2>&1
cat "$tmp/lintian.log"
grep -q '^E: ' "$tmp/lintian.log" && fail "lintian reports errors"

root=$tmp/root
dpkg-deb -x "$deb" "$root"
"$root/usr/bin/mwbatch" check --objects "$root/usr/share/morphwright/objects" >"$tmp/check.log" 2>&1 ||
  { tail -5 "$tmp/check.log"; fail "the packaged mwbatch check fails on the packaged library"; }

[ $failures -eq 0 ] && echo "package: all checks passed ($(basename "$deb"))"
exit $((failures > 0))

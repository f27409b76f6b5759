#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need,
# only those that are missing. Uses sudo when not root.
set -euo pipefail

packages=(cmake make g++ pkg-config qt6-base-dev libqt6opengl6-dev libgl-dev libglu1-mesa-dev
  libegl-dev libgl1-mesa-dri libosmesa6-dev xvfb xauth xdotool imagemagick x11-utils
  assimp-utils lib3ds-dev python3-ezdxf clang libclang-rt-14-dev libgtest-dev libgmock-dev
  libbenchmark-dev libpng-dev
  libtinygltf-dev nlohmann-json3-dev python3-numpy nodejs npm
  librsvg2-bin desktop-file-utils appstream shared-mime-info libglib2.0-bin libxml2-utils man-db
  lintian dpkg-dev slurm-wlm munge)

# A package counts as there when it is installed or an installed package
# provides it (a newer nodejs carries npm itself and conflicts with the
# separate npm package).
installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed" && return 0
  dpkg-query -W -f='${Status}|${Provides}\n' 2>/dev/null |
    awk -F'|' -v p="$1" '$1 == "install ok installed" {
      n = split($2, names, /, */)
      for (i = 1; i <= n; i++) { sub(/ .*/, "", names[i]); if (names[i] == p) found = 1 } }
      END { exit !found }'
}

missing=()
for p in "${packages[@]}"; do
  if ! installed "$p"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q "${missing[@]}"

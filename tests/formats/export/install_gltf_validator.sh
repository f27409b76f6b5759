#!/bin/sh
# Installs the Khronos glTF validator (npm package gltf-validator) into a
# folder of the build tree, once. Without the registry it cannot be had:
# then the glTF check is skipped (exit 77), and says so loudly.
#   install_gltf_validator.sh <npm> <prefix folder> <version>
set -u
npm=$1
prefix=$2
version=$3
if [ -f "$prefix/node_modules/gltf-validator/package.json" ] &&
  grep -q "\"version\": *\"$version\"" "$prefix/node_modules/gltf-validator/package.json"; then
  echo "gltf-validator $version is installed in $prefix"
  exit 0
fi
mkdir -p "$prefix"
if "$npm" install --prefix "$prefix" --no-audit --no-fund --no-save "gltf-validator@$version"; then
  echo "gltf-validator $version installed in $prefix"
  exit 0
fi
echo "################################################################"
echo "## SKIPPED: gltf-validator $version could not be installed with"
echo "## npm into $prefix; the .glb is NOT checked by the validator."
echo "################################################################"
exit 77

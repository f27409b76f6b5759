#!/bin/sh
# assimp imports the sample .3ds without complaint and reports two
# triangles for every quad the export counted.
#   assimp_info.sh <assimp> <folder with sample.3ds and sample.counts>
set -eu
assimp=$1
folder=$2
quads=$(awk '$1 == "quads" { print $2 }' "$folder/sample.counts")
"$assimp" info "$folder/sample.3ds" > "$folder/assimp-info.txt"
faces=$(awk '$1 == "Faces:" { print $2 }' "$folder/assimp-info.txt")
echo "assimp: $faces triangles, export: $quads quads"
[ "$faces" -eq $((2 * quads)) ]

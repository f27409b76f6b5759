#!/bin/sh
# The files of a random run on the sample library, every mesh and project
# format, against the hashes the program wrote when they were recorded: a
# change that should leave every file as it was is checked here byte for
# byte. Pictures are left out: the software rasterizer's pixels may depend
# on the processor's vector units.
#   check_corpus.sh MWBATCH OBJECT_DIR HASH_FILE        compare
#   check_corpus.sh MWBATCH OBJECT_DIR HASH_FILE record  write HASH_FILE anew
set -eu
mwbatch=$1 objects=$2 hashes=$3 mode=${4:-compare}
out=$(mktemp -d "${TMPDIR:-/tmp}/mw_corpus.XXXXXX")
trap 'rm -rf "$out"' EXIT
"$mwbatch" random --objects "$objects" --seed 0 --count 50 --deform 0.1 \
    --formats mwp,3ds,dxf,glb,obj,stl --out "$out/figures" --quiet
(cd "$out/figures" && LC_ALL=C ls | xargs -d '\n' sha256sum) > "$out/hashes"
if [ "$mode" = record ]; then
    cp "$out/hashes" "$hashes"
    exit 0
fi
if ! cmp -s "$hashes" "$out/hashes"; then
    echo "files differ from the recorded corpus; the first:" >&2
    diff "$hashes" "$out/hashes" | grep '^[<>]' | head -2 >&2
    exit 1
fi
echo "$(wc -l < "$hashes") files as recorded"

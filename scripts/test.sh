#!/usr/bin/env bash
# Installs what is missing, builds everything from scratch and runs every
# test: the suite, the suite again under AddressSanitizer and
# UndefinedBehaviorSanitizer, and bounded fuzz runs of the object file reader
# and the project file reader.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
jobs=${JOBS:-2}
fuzz_seconds=${MW_FUZZ_SECONDS:-60}
fuzz_project_seconds=${MW_FUZZ_PROJECT_SECONDS:-45}

echo "== build and test"
rm -rf "$root/build-test"
cmake -S "$root" -B "$root/build-test" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMW_BUILD_BENCH=ON
cmake --build "$root/build-test" -j"$jobs"
(cd "$root/build-test" && ctest --output-on-failure -j"$jobs")

echo "== sanitizers (address, undefined), after ${SECONDS}s"
rm -rf "$root/build-asan"
cmake -S "$root" -B "$root/build-asan" -DCMAKE_BUILD_TYPE=Debug -DMW_SANITIZE=ON \
  -DMW_BUILD_APP=OFF -DMW_BUILD_BENCH=OFF
cmake --build "$root/build-asan" -j"$jobs"
(cd "$root/build-asan" && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --output-on-failure -j"$jobs")

if [ -f "$root/fuzz/CMakeLists.txt" ]; then
  echo "== fuzz the object file reader (${fuzz_seconds}s) and the project reader" \
    "(${fuzz_project_seconds}s), after ${SECONDS}s"
  rm -rf "$root/build-fuzz"
  CC=clang CXX=clang++ cmake -S "$root" -B "$root/build-fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DMW_FUZZ=ON -DMW_BUILD_APP=OFF -DMW_BUILD_TESTS=OFF -DMW_BUILD_BENCH=OFF
  cmake --build "$root/build-fuzz" -j"$jobs" --target fuzz_object_reader fuzz_project_reader make_fuzz_seeds
  corpus="$root/build-fuzz/corpus"
  project_corpus="$root/build-fuzz/project-corpus"
  rm -rf "$corpus" "$project_corpus" && mkdir -p "$corpus" "$project_corpus"
  "$root/build-fuzz/fuzz/make_fuzz_seeds" "$corpus" "$project_corpus"
  "$root/build-fuzz/fuzz/fuzz_object_reader" -max_total_time="$fuzz_seconds" -rss_limit_mb=2048 \
    -print_final_stats=1 "$corpus"
  "$root/build-fuzz/fuzz/fuzz_project_reader" -max_total_time="$fuzz_project_seconds" -rss_limit_mb=2048 \
    -print_final_stats=1 "$project_corpus"
fi
echo "== all stages passed in ${SECONDS}s"

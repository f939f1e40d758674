#!/usr/bin/env bash
# Sets everything up and runs every test offscreen, in a build with the address
# and undefined-behaviour sanitizers (and a minute of fuzzing with a clang build,
# see tests/fuzz/README.md). Exits non-zero on any failure.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/install-deps.sh"
# The end-to-end run through hostile files measures the memory of a Release
# build of the program (the one scripts/start.sh builds and runs).
release="$root/build-release"
cmake -S "$root" -B "$release" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DTRIMORA_BUILD_TESTS=OFF -DTRIMORA_BUILD_BENCH=OFF >/dev/null
cmake --build "$release" --target trimora trimora_data
build="$root/build-test"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTRIMORA_SANITIZE=ON \
      -DTRIMORA_BUILD_BENCH=ON -DTRIMORA_RELEASE_APP="$release/stage/bin/trimora" >/dev/null
cmake --build "$build"
cd "$build"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=0
export UBSAN_OPTIONS=print_stacktrace=1
ctest --output-on-failure -j "$(nproc)"

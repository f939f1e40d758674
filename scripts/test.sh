#!/usr/bin/env bash
# Sets everything up and runs every test offscreen, in a build with the address
# and undefined-behaviour sanitizers. Exits non-zero on any failure.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/install-deps.sh"
build="$root/build-test"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTRIMORA_SANITIZE=ON \
      -DTRIMORA_BUILD_BENCH=ON >/dev/null
cmake --build "$build"
cd "$build"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=0
export UBSAN_OPTIONS=print_stacktrace=1
ctest --output-on-failure -j "$(nproc)"

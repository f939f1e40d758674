#!/usr/bin/env bash
# Sets everything up and runs every test offscreen: all of them in a build with
# the address and undefined-behaviour sanitizers, and the unit tests once more
# in a Release build without them (a test that passes only under the
# sanitizers is reading memory it never wrote). Exits non-zero on any failure.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/install-deps.sh"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=0
export UBSAN_OPTIONS=print_stacktrace=1

release="$root/build-test-release"
cmake -S "$root" -B "$release" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTRIMORA_BUILD_BENCH=OFF >/dev/null
cmake --build "$release"
ctest --test-dir "$release" --output-on-failure -j "$(nproc)" -E '^e2e\.'

build="$root/build-test"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTRIMORA_SANITIZE=ON \
      -DTRIMORA_BUILD_BENCH=ON >/dev/null
cmake --build "$build"
cd "$build"
ctest --output-on-failure -j "$(nproc)"

#!/usr/bin/env bash
# Sets everything up and runs every test offscreen: all of them in a build with
# the address and undefined-behaviour sanitizers (with a minute of fuzzing in a
# clang build, see tests/fuzz/README.md), and the unit tests once more in a
# Release build without them (a test that passes only under the sanitizers is
# reading memory it never wrote). Exits non-zero on any failure.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/install-deps.sh"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=0
export UBSAN_OPTIONS=print_stacktrace=1

# The Release build also gives the end-to-end run through hostile files the
# program whose memory it measures.
release="$root/build-test-release"
cmake -S "$root" -B "$release" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTRIMORA_BUILD_BENCH=OFF >/dev/null
cmake --build "$release"
ctest --test-dir "$release" --output-on-failure -j "$(nproc)" -E '^(e2e|fuzz)\.'

build="$root/build-test"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTRIMORA_SANITIZE=ON \
      -DTRIMORA_BUILD_BENCH=ON -DTRIMORA_RELEASE_APP="$release/stage/bin/trimora" \
      -DTRIMORA_PACKAGE_BUILD="$release" >/dev/null
cmake --build "$build"
cd "$build"
ctest --output-on-failure -j "$(nproc)"

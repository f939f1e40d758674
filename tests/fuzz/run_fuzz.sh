#!/usr/bin/env bash
# Builds the picture fuzzer with clang in a build folder of its own and runs
# it for SECONDS on a fresh seed corpus, with the decode budget enforced:
# any crash, sanitizer report, hang (10 s) or a process above the budget
# plus 300 MB fails the run. Inputs found along the way are kept in
# BUILD/corpus for a longer run (see README.md beside this script).
#
#   run_fuzz.sh SOURCE BUILD [SECONDS]
set -euo pipefail
src=$1
build=$2
seconds=${3:-60}
budget_mb=512  # kDefaultDecodeBudget in imaging/DecodeBudget.h

for tool in clang clang++ /usr/bin/convert; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
CC=clang CXX=clang++ cmake -S "$src" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTRIMORA_FUZZ=ON -DTRIMORA_BUILD_TESTS=OFF -DTRIMORA_BUILD_BENCH=OFF >"$build.configure.log" 2>&1 ||
  { cat "$build.configure.log"; exit 1; }
cmake --build "$build" --target picture_fuzzer
rm -rf "$build/seeds"
bash "$src/tests/fuzz/make_seeds.sh" "$build/seeds" >/dev/null
mkdir -p "$build/corpus" "$build/findings"
cd "$build/findings"
export ASAN_OPTIONS=detect_leaks=0
export UBSAN_OPTIONS=print_stacktrace=1
export QT_QPA_PLATFORM=offscreen
"$build/picture_fuzzer" -max_total_time="$seconds" -rss_limit_mb=$((budget_mb + 300)) \
  -timeout=10 -max_len=65536 -print_final_stats=1 "$build/corpus" "$build/seeds"

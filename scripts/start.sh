#!/usr/bin/env bash
# Sets everything up (packages, release build) and starts Trimora.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/install-deps.sh"
build="$root/build-release"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DTRIMORA_BUILD_TESTS=OFF -DTRIMORA_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target trimora trimora_data
exec "$build/stage/bin/trimora" "$@"

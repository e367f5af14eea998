#!/usr/bin/env bash
# Configures (once) and builds everything into build/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${HARVLY_BUILD_DIR:-$root/build}"
if [[ ! -f "$build/build.ninja" ]]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="${HARVLY_BUILD_TYPE:-RelWithDebInfo}"
fi
cmake --build "$build" -j2

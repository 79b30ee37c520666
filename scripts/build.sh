#!/usr/bin/env bash
# Configures and builds into build/ (or build-asan/ with --sanitize).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
dir="$root/build"
extra=()
if [ "${1:-}" = "--sanitize" ]; then
  dir="$root/build-asan"
  extra+=(-DPELLUCOR_SANITIZE=ON -DPELLUCOR_BUILD_BENCH=OFF)
fi
cmake -S "$root" -B "$dir" -G Ninja "${extra[@]}" > /dev/null
cmake --build "$dir" -j "$(nproc)"
echo "$dir"

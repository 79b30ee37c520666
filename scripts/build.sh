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
# The build log goes to standard error: callers read the folder from the
# last line of standard output and would otherwise swallow compiler errors.
cmake --build "$dir" -j "$(nproc)" >&2
echo "$dir"

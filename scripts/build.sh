#!/usr/bin/env bash
# Configures and builds into build/ (or build-asan/ with --sanitize).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
dir="$root/build"
# An optimised build with debug information; the fitting engine's files are
# compiled at full optimisation whatever the build type (core/CMakeLists.txt).
# This is the build people run, and the benchmarks in build/bench measure it.
extra=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
if [ "${1:-}" = "--sanitize" ]; then
  dir="$root/build-asan"
  extra=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DPELLUCOR_SANITIZE=ON -DPELLUCOR_BUILD_BENCH=OFF)
fi
cmake -S "$root" -B "$dir" -G Ninja "${extra[@]}" > /dev/null
# The build log goes to standard error: callers read the folder from the
# last line of standard output and would otherwise swallow compiler errors.
cmake --build "$dir" -j "$(nproc)" >&2
echo "$dir"

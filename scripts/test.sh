#!/usr/bin/env bash
# Installs what is missing, builds and runs every test.
#   scripts/test.sh              normal build
#   scripts/test.sh --sanitize   AddressSanitizer + UndefinedBehaviorSanitizer build
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/setup.sh"
dir="$(bash "$root/scripts/build.sh" "$@" | tail -n 1)"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# A short fuzzing pass, a few seconds per target, where clang is installed
# (scripts/fuzz.sh runs them longer by hand). It runs first so that the test
# runner's summary closes the output.
if command -v clang++ >/dev/null; then
  bash "$root/scripts/fuzz.sh" 3
fi
cd "$dir"
ctest --output-on-failure -j "$(nproc)"

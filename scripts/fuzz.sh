#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (address and undefined-behaviour
# sanitizers) in build-fuzz/ and runs each for a given number of seconds.
#   scripts/fuzz.sh [seconds per target, default 60] [target ...]
# Targets: data_reader circuit option_files parameter_file matrix_file pictures
# (default: all). Corpora grow in build-fuzz/corpus/<target>, seeded from
# tests/data and fuzz/seeds; an input that breaks a target is kept in
# build-fuzz/findings/ and the script ends with a failure.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-60}"
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(data_reader circuit option_files parameter_file matrix_file pictures)

command -v clang++ >/dev/null || { echo "fuzz.sh: clang++ is needed" >&2; exit 2; }
dir="$root/build-fuzz"
if [ ! -f "$dir/CMakeCache.txt" ]; then
  # -O1 with line tables only: quick to build, fast enough to run, readable stacks.
  cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Fuzz -DCMAKE_CXX_FLAGS_FUZZ="-O1 -gline-tables-only" \
    -DCMAKE_CXX_COMPILER=clang++ \
    -DPELLUCOR_FUZZ=ON -DPELLUCOR_BUILD_TESTS=OFF -DPELLUCOR_BUILD_BENCH=OFF -DPELLUCOR_BUILD_APPS=OFF >/dev/null
fi
cmake --build "$dir" --target pellucor_fuzzers -j "$(nproc)" >/dev/null

seeds() {
  case "$1" in
    data_reader) echo "$root/tests/data/datafiles" "$root/tests/data/exports" ;;
    parameter_file) echo "$root/tests/data/results" ;;
    matrix_file) echo "$root/tests/data/results" ;;
    *) echo "$root/fuzz/seeds/$1" ;;
  esac
}

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
mkdir -p "$dir/findings"
failed=0
for t in "${targets[@]}"; do
  corpus="$dir/corpus/$t"
  mkdir -p "$corpus"
  log="$dir/fuzz-$t.log"
  # shellcheck disable=SC2046
  if "$dir/fuzz/fuzz_$t" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 -max_len=8192 \
       -artifact_prefix="$dir/findings/$t-" "$corpus" $(seeds "$t") >"$log" 2>&1; then
    echo "fuzz $t: $(grep -E '^Done' "$log" | tail -n 1)"
  else
    echo "fuzz $t: FAILED (see $log)" >&2
    grep -E 'ERROR|fuzz check failed|runtime error|Test unit written' "$log" | head -n 5 >&2 || true
    failed=1
  fi
done
exit "$failed"

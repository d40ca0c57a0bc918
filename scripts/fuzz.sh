#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer (and the address and undefined-behaviour
# sanitizers) into build-fuzz/ (BUILD_DIR_FUZZ overrides) and runs each for SECONDS
# (default 30), starting from its seed corpus in tests/fuzz/corpus/. What a run learns
# is kept in the build directory, so later runs go on from there; an input that fails is
# saved as build-fuzz/findings/TARGET-crash-... and the script exits non-zero. Add such an
# input to tests/fuzz/regressions/TARGET/ and the ordinary test suite replays it.
# Usage: scripts/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR_FUZZ:-$top/build-fuzz}
seconds=${1:-30}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(datagram widen-text stream-format wav-input speak-text read-aloud)

CC=clang CXX=clang++ cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSPEECH_FUZZ=ON \
  -DSPEECH_BUILD_TESTS=OFF -DSPEECH_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target "${targets[@]/#/fuzz-}"

mkdir -p "$build/findings"
failed=0
for target in "${targets[@]}"; do
  work=$build/corpus/$target
  mkdir -p "$work"
  echo "== fuzz-$target for ${seconds} s"
  # Inputs the size of one datagram or a small WAV file are where the faults are.
  if ! "$build/tests/fuzz/fuzz-$target" -max_total_time="$seconds" -max_len=4100 -timeout=20 \
       -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$build/findings/$target-" \
       "$work" "$top/tests/fuzz/corpus/$target" 2>"$build/fuzz-$target.log"; then
    failed=1
    tail -n 40 "$build/fuzz-$target.log" >&2
  fi
  grep -E '^stat::(number_of_executed_units|peak_rss_mb)|^Done' "$build/fuzz-$target.log" || true
done
exit $failed

#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test:
#   1. the whole suite (unit, engine, process, audio, fault tests, fuzz-target replays)
#      in build/ (BUILD_DIR overrides);
#   2. the same suite built with AddressSanitizer and UndefinedBehaviorSanitizer in
#      build-sanitize/ (BUILD_DIR_SANITIZE overrides): any report fails its test;
#   3. each fuzz target for a short while (FUZZ_SECONDS, default 30) with scripts/fuzz.sh;
#   4. the Windows build, cross-compiled, with its tests under wine (scripts/test-windows.sh).
# scripts/test.sh --sanitize runs step 2 alone.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"

run_suite() {  # build directory, extra cmake arguments...
  local build=$1
  shift
  cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Debug "$@" >/dev/null
  cmake --build "$build" -j "$(nproc)"
  # A failing test's output goes into the log whole (up to 4 MB, not ctest's 300 KB, which
  # would cut off the end of a chatty test, where its failures are).
  (cd "$build" && ctest --output-on-failure --test-output-size-failed 4194304)
}

sanitized() {
  UBSAN_OPTIONS=print_stacktrace=1 run_suite "${BUILD_DIR_SANITIZE:-$top/build-sanitize}" -DSPEECH_SANITIZE=ON -DSPEECH_BUILD_BENCH=OFF
}

if [ "${1:-}" = "--sanitize" ]; then
  sanitized
  exit 0
fi

echo "== the suite"
run_suite "${BUILD_DIR:-$top/build}"
echo "== the suite under the address and undefined-behaviour sanitizers"
sanitized
echo "== fuzz targets, ${FUZZ_SECONDS:-30} s each"
"$top/scripts/fuzz.sh" "${FUZZ_SECONDS:-30}"
echo "== the Windows build under wine"
"$top/scripts/test-windows.sh"

#!/usr/bin/env bash
# Builds the service and its benchmarks as a release build and runs those that need
# neither root nor the peer tools, printing plain results: the micro benchmarks and speech
# into memory (Google Benchmark), and rendering and conversion jobs each in a process of
# its own. Time to first audio, cut-off and the comparison with the peer tools are
# bench/compare.sh's. BUILD_DIR names the build (default build-bench).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
BUILD_DIR=${BUILD_DIR:-$top/build-bench}
log=$(mktemp /tmp/speech-bench-build.XXXXXX)
{ cmake -S "$top" -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=Release &&
  cmake --build "$BUILD_DIR" -j "$(nproc)" --target micro-bench compare-bench; } >"$log" 2>&1 ||
  { cat "$log" >&2; rm -f "$log"; exit 1; }
rm -f "$log"
bench=$BUILD_DIR/bench

echo "== micro benchmarks and speech into memory (Google Benchmark) =="
"$bench/micro-bench" --benchmark_min_time=0.5

scratch=$(mktemp -d /tmp/speech-bench.XXXXXX)
trap 'rm -rf "$scratch"' EXIT
echo
echo "== rendering and conversion jobs: wall and CPU time, peak resident size =="
"$bench/compare-bench" growth "$scratch" quick

echo
echo "time to first audio and cut-off, beside the peer tools: sudo bench/compare.sh --quick"

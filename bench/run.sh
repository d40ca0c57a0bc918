#!/usr/bin/env bash
# Builds the service and its benchmarks as a release build and runs every benchmark,
# printing plain results: the micro benchmarks, the whole-path costs with the real voice,
# and the latency of the running service through a private sound server.
# BUILD_DIR names the build (default build-bench); PURGE_RUNS the latency runs (default 10).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
export BUILD_DIR=${BUILD_DIR:-$top/build-bench}
log=$(mktemp /tmp/speech-bench-build.XXXXXX)
BUILD_TYPE=Release "$top/scripts/build.sh" >"$log" 2>&1 || { cat "$log" >&2; rm -f "$log"; exit 1; }
rm -f "$log"
bench=$BUILD_DIR/bench

echo "== micro benchmarks (Google Benchmark) =="
"$bench/micro-bench" --benchmark_min_time=0.5

scratch=$(mktemp -d /tmp/speech-bench.XXXXXX)
trap 'rm -rf "$scratch"' EXIT
echo
echo "== whole path: file conversion =="
"$bench/whole-path-bench" convert "$scratch"
echo
echo "== whole path: speech into memory =="
"$bench/whole-path-bench" memory

echo
echo "== service latency through a private PulseAudio =="
"$top/bench/purge-latency.sh" "${PURGE_RUNS:-10}"

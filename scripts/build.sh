#!/usr/bin/env bash
# Builds the Linux service and its tests into build/ (BUILD_DIR overrides). Debug by
# default, so the interface-holder checks stay on; BUILD_TYPE=Release for benchmarks.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$top/build}
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-Debug} >/dev/null
cmake --build "$build" -j "$(nproc)"

#!/usr/bin/env bash
# Installs what is missing (install-deps.sh run), builds the service and the tools into
# build-run/ (BUILD_DIR_RUN overrides; a release build, no tests), and runs the service in
# the foreground. Ctrl-C stops it.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR_RUN:-$top/build-run}
"$top/scripts/install-deps.sh" run
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Release -DSPEECH_BUILD_TESTS=OFF -DSPEECH_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target speech-service speech-say speech-render
echo "the service is starting; speak with: $build/tools/speech-say hello"
exec "$build/speech-service"

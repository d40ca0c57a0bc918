#!/usr/bin/env bash
# Start and cut-off latency of the built speech-service, heard through a private PulseAudio.
# Holds the service port's lock while it runs. Usage: bench/purge-latency.sh [runs]
# (BUILD_DIR names the build, default build-bench).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$top/build-bench}
export SPEECH_SERVICE=$build/speech-service
exec "$top/scripts/with-port-lock.sh" "$top/scripts/with-private-pulse.sh" "$build/bench/purge-latency" "${1:-10}"

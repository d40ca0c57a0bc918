#!/usr/bin/env bash
# Live speech as a listener hears it (compare-bench live): dropouts with 0, 2 and 4 busy
# loops beside the service, the cut-off at arbitrary moments and the level of the last
# millisecond before silence, whether the sink suspends when the service is idle, and
# first audio after an idle spell. Runs in a network namespace of its own beside a private
# sound server with one null sink, whose monitor it records: PulseAudio, then PipeWire
# with its PulseAudio service (LIVE_SERVERS="pulse pipewire" says which, in turn).
#
#   sudo bench/live.sh [RUNS [PARTS]]  # RUNS cut-offs (default 30); about 3 minutes
#                                      # PARTS: d dropouts, c cut-offs, i idle, f first audio
#                                      # and cut-off of the passage and the 4 KB text
#                                      # (compare-bench latency: the service, and a plain client
#                                      # of the server playing the same speech); default fdci
#
# LIVE_BUSY_NICE=-10 runs the busy loops ahead of the service (root may), a machine busier
# than plain loops make it.
# SPEECH_SERVICE=/other/build/speech-service measures another build's service (its
# tools/speech-render beside it renders the reference); BUILD_DIR names the build of the
# measuring program (default build-bench/, made here).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
self=$top/bench/live.sh
case "${LIVE_STAGE:-start}" in
start)
  [ "$(id -u)" -eq 0 ] || { echo "live.sh needs root: it makes a network namespace" >&2; exit 1; }
  "$top/scripts/install-deps.sh"
  export LIVE_BUILD=${BUILD_DIR:-$top/build-bench}
  cmake -S "$top" -B "$LIVE_BUILD" -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$LIVE_BUILD" -j "$(nproc)" --target compare-bench >/dev/null
  export SPEECH_SERVICE=${SPEECH_SERVICE:-$LIVE_BUILD/speech-service}
  export LIVE_RUNS=${1:-30} LIVE_PARTS=${2:-fdci}
  echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)" >&2
  LIVE_STAGE=namespace exec unshare -n -- "$self"
  ;;
namespace)
  ip link set lo up
  # Each sound server in turn, as desktops run them: PulseAudio, and PipeWire with its
  # PulseAudio service.
  for server in ${LIVE_SERVERS:-pulse pipewire}; do
    echo "== on $server"
    LIVE_STAGE=rig "$top/scripts/with-private-$server.sh" "$self"
  done
  ;;
rig)
  export SPEECH_PORT_LOCKED=1  # this namespace's port is ours alone
  pactl info | grep '^Server Name' >&2
  case $LIVE_PARTS in *f*) "$LIVE_BUILD/bench/compare-bench" latency "$LIVE_RUNS" service ;; esac
  "$LIVE_BUILD/bench/compare-bench" live "$LIVE_RUNS" "$LIVE_PARTS"
  ;;
esac

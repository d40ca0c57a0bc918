#!/usr/bin/env bash
# The service and the rendering facility side by side with the tools people would use
# instead, in one table: time to first audio and cut-off against spd-say (a running
# speech-dispatcher with its espeak-ng module) and the espeak-ng command, command handling
# against a bare receive loop, rendering against espeak-ng -w and espeak-ng | sox,
# conversion against sox, resident memory against speech-dispatcher, and how time and
# memory grow with the work; then rendering with flite's kal16 against the flite command
# (bench/flite-render.sh) and how well each English voice is understood
# (bench/intelligibility.sh).
#
#   bench/compare.sh           # the whole table, then the word error rates (a recogniser's
#                              # 20 minutes more)
#   bench/compare.sh --quick   # fewer runs, smaller growth steps, three lists of sentences
#
# Installs what is missing (needs root or sudo), makes a release build in build-bench/
# (BUILD_DIR overrides), then runs everything in a network namespace of its own (so the
# service's port is shared with nobody) beside a private PulseAudio whose null sink's
# monitor is recorded in 1 ms fragments. Needs root for the namespace. The table goes to
# standard output; the details of each part to standard error and into the log named at
# the end.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
self=$top/bench/compare.sh

case "${COMPARE_STAGE:-start}" in
start)
  [ "${1:-}" = "--quick" ] && export COMPARE_QUICK=1 || export COMPARE_QUICK=0
  [ "$(id -u)" -eq 0 ] || { echo "compare.sh needs root: it makes a network namespace" >&2; exit 1; }

  "$top/scripts/install-deps.sh"
  peers=(speech-dispatcher speech-dispatcher-espeak-ng espeak-ng flite sox pulseaudio pulseaudio-utils iproute2 util-linux
         pocketsphinx pocketsphinx-en-us sonic)
  missing=()
  for package in "${peers[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "installing: ${missing[*]}" >&2
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
  fi

  export COMPARE_BUILD=${BUILD_DIR:-$top/build-bench}
  log=$(mktemp /tmp/speech-compare-build.XXXXXX)
  { cmake -S "$top" -B "$COMPARE_BUILD" -DCMAKE_BUILD_TYPE=Release &&
    cmake --build "$COMPARE_BUILD" -j "$(nproc)" --target compare-bench; } >"$log" 2>&1 || { cat "$log" >&2; exit 1; }
  rm -f "$log"

  export COMPARE_WORK=$(mktemp -d /tmp/speech-compare.XXXXXX)
  # The audio and texts made on the way go; the results and the details stay.
  trap 'rm -rf "$COMPARE_WORK"/*.wav "$COMPARE_WORK"/words600.txt "$COMPARE_WORK"/sentences.txt "$COMPARE_WORK"/spd \
    "$COMPARE_WORK"/intelligibility' EXIT
  load_before=$(cut -d' ' -f1-3 /proc/loadavg)
  busy_before=$(ps -eo pcpu=,comm= --sort=-pcpu | head -3 | awk '{printf "%s%s %s%%", (NR > 1 ? ", " : ""), $2, $1}')
  COMPARE_STAGE=namespace unshare -n -- "$self" 2> >(tee "$COMPARE_WORK/details.log" >&2)
  load_after=$(cut -d' ' -f1-3 /proc/loadavg)

  echo
  echo "machine: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'), $(nproc) cores," \
       "$(awk '/MemTotal/ {printf "%.0f GiB", $2 / 1048576}' /proc/meminfo), $(uname -sr)"
  echo "load average (1, 5, 15 min) before: $load_before; after: $load_after"
  echo "busiest processes when it started: $busy_before"
  [ "$COMPARE_QUICK" = 1 ] && echo "quick mode: fewer runs, smaller growth steps"
  echo
  "$COMPARE_BUILD/bench/compare-bench" table "$COMPARE_WORK/results.txt"
  echo
  "$top/bench/flite-render.sh" "$COMPARE_BUILD/tools/speech-render" "$COMPARE_WORK/words600.txt" "$COMPARE_WORK"
  # How well each English voice is understood (three lists of ten sentences when quick).
  "$top/bench/intelligibility.sh" "$COMPARE_BUILD/tools/speech-render" "$COMPARE_WORK/intelligibility" \
    $([ "$COMPARE_QUICK" = 1 ] && echo 3 || echo 10)
  echo
  echo "results: $COMPARE_WORK/results.txt; details: $COMPARE_WORK/details.log"
  ;;

namespace)
  ip link set lo up
  COMPARE_STAGE=rig exec "$top/scripts/with-private-pulse.sh" "$self"
  ;;

rig)
  # This network namespace is ours alone: no other test or benchmark can reach its
  # loopback port, so the port lock's promise holds without the lock file.
  export SPEECH_PORT_LOCKED=1
  export SPEECH_SERVICE=$COMPARE_BUILD/speech-service
  bench=$COMPARE_BUILD/bench/compare-bench
  results=$COMPARE_WORK/results.txt
  : >"$results"

  # speech-dispatcher as Debian ships it, told to load only its espeak-ng module and to
  # play through the private sound server (PULSE_SERVER); it listens on its socket under
  # XDG_RUNTIME_DIR, where spd-say looks for it.
  spd=$COMPARE_WORK/spd
  rm -rf "$spd"
  mkdir -p "$spd"
  cp -r /etc/speech-dispatcher/. "$spd/"
  cat >>"$spd/speechd.conf" <<'EOF'
AudioOutputMethod "pulse"
AddModule "espeak-ng" "sd_espeak-ng" "espeak-ng.conf"
DefaultModule espeak-ng
DefaultLanguage "en"
EOF
  speech-dispatcher -s -t 0 -C "$spd" -L "$spd" -l 2 >/dev/null 2>&1 &
  spd_pid=$!
  trap 'kill "$spd_pid" 2>/dev/null || true; wait "$spd_pid" 2>/dev/null || true' EXIT
  for _ in $(seq 100); do
    [ -S "$XDG_RUNTIME_DIR/speech-dispatcher/speechd.sock" ] && break
    sleep 0.05
  done
  sleep 1  # its module starts after the socket is there

  if [ "$COMPARE_QUICK" = 1 ]; then runs=10 repeats=3 quick=quick; else runs=30 repeats=7 quick=; fi
  step() { echo "== $1" >&2; shift; "$@" >>"$results"; }
  step "memory at rest" "$bench" memory "$spd_pid" idle
  step "time to first audio and cut-off ($runs runs per speaker and text)" "$bench" latency "$runs"
  step "memory after speaking" "$bench" memory "$spd_pid" after-speech
  step "command handling" "$bench" commands 10 100000
  # Rendering against the espeak-ng command, and its growth, with espeak-ng's voice of the
  # same language (English is otherwise flite's; bench/flite-render.sh compares that).
  espeak_english="English (Great Britain)"
  step "rendering" env SPEECH_VOICE="$espeak_english" "$bench" render "$repeats" "$COMPARE_WORK"
  step "conversion" "$bench" convert $(( repeats > 5 ? 5 : repeats )) 10 "$COMPARE_WORK"
  step "growth" env SPEECH_VOICE="$espeak_english" "$bench" growth "$COMPARE_WORK" $quick
  ;;
esac

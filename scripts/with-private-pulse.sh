#!/usr/bin/env bash
# Runs a command against a private PulseAudio that has one null sink ("speech_test_sink")
# and nothing else: no sound card is touched. PULSE_SERVER points the command at it; the
# sink's monitor ("speech_test_sink.monitor") is where tests record what was played.
# The server is stopped when the command ends, whatever its outcome.
set -euo pipefail
dir=$(mktemp -d /tmp/speech-pulse.XXXXXX)
export HOME=$dir XDG_RUNTIME_DIR=$dir PULSE_RUNTIME_PATH=$dir/runtime PULSE_STATE_PATH=$dir/state
mkdir -p "$PULSE_RUNTIME_PATH" "$PULSE_STATE_PATH"
socket=$dir/native

pulseaudio -n --daemonize=no --exit-idle-time=-1 --system=no --realtime=no --high-priority=no \
  --log-target=file:"$dir/pulse.log" \
  -L "module-native-protocol-unix socket=$socket auth-anonymous=1" \
  -L "module-null-sink sink_name=speech_test_sink rate=44100 channels=1" &
server=$!
cleanup() { kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true; rm -rf "$dir"; }
trap cleanup EXIT

export PULSE_SERVER=unix:$socket
for _ in $(seq 100); do
  pactl info >/dev/null 2>&1 && break
  kill -0 "$server" 2>/dev/null || { cat "$dir/pulse.log" >&2; exit 1; }
  sleep 0.05
done
pactl set-default-sink speech_test_sink
"$@"

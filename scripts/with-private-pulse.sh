#!/usr/bin/env bash
# Runs a command against a private PulseAudio that has one null sink ("speech_test_sink")
# and nothing else: no sound card is touched. PULSE_SERVER points the command at it; the
# sink's monitor ("speech_test_sink.monitor") is where tests record what was played.
# SPEECH_TEST_RESTART_SERVER names a script that kills the server, as a crash would, starts
# it again on the same socket and returns once it takes connections. The server is stopped
# when the command ends, whatever its outcome.
set -euo pipefail
dir=$(mktemp -d /tmp/speech-pulse.XXXXXX)
export HOME=$dir XDG_RUNTIME_DIR=$dir PULSE_RUNTIME_PATH=$dir/runtime PULSE_STATE_PATH=$dir/state
mkdir -p "$PULSE_RUNTIME_PATH" "$PULSE_STATE_PATH"
socket=$dir/native
cleanup() {
  if [ -f "$dir/pulse.pid" ]; then
    server=$(cat "$dir/pulse.pid")
    kill "$server" 2>/dev/null || true
    while grep -qs '^State:[[:space:]]*[RSDT]' "/proc/$server/status"; do sleep 0.01; done
  fi
  rm -rf "$dir"
}
trap cleanup EXIT

cat >"$dir/restart-server" <<EOF
#!/usr/bin/env bash
# Kills the server at once, as a crash would, and starts it again on the same socket.
set -euo pipefail
export HOME=$dir XDG_RUNTIME_DIR=$dir PULSE_RUNTIME_PATH=$PULSE_RUNTIME_PATH PULSE_STATE_PATH=$PULSE_STATE_PATH
if [ -f "$dir/pulse.pid" ]; then
  kill -9 "\$(cat "$dir/pulse.pid")" 2>/dev/null || true
  # Until it is gone (a zombie nobody has reaped yet counts as gone).
  while grep -qs '^State:[[:space:]]*[RSDT]' "/proc/\$(cat "$dir/pulse.pid")/status"; do sleep 0.005; done
fi
setsid pulseaudio -n --daemonize=no --exit-idle-time=-1 --system=no --realtime=no --high-priority=no \\
  --use-pid-file=no --log-target=file:"$dir/pulse.log" \\
  -L "module-native-protocol-unix socket=$socket auth-anonymous=1" \\
  -L "module-null-sink sink_name=speech_test_sink rate=44100 channels=1" </dev/null &
echo \$! >"$dir/pulse.pid"
for _ in \$(seq 200); do
  if PULSE_SERVER=unix:$socket pactl info >/dev/null 2>&1; then
    PULSE_SERVER=unix:$socket pactl set-default-sink speech_test_sink
    exit 0
  fi
  kill -0 "\$(cat "$dir/pulse.pid")" 2>/dev/null || break
  sleep 0.025
done
cat "$dir/pulse.log" >&2
exit 1
EOF
chmod +x "$dir/restart-server"
export SPEECH_TEST_RESTART_SERVER=$dir/restart-server
"$dir/restart-server"
export PULSE_SERVER=unix:$socket
"$@"

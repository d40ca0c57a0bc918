#!/usr/bin/env bash
# Runs a command against a private, headless PipeWire with its PulseAudio service
# (pipewire-pulse), as most desktops run it, and one null sink ("speech_test_sink") and
# nothing else: no sound card is touched. The sink belongs to PipeWire's own configuration,
# so it outlives a restart of pipewire-pulse. PULSE_SERVER points the command at
# pipewire-pulse; the sink's monitor ("speech_test_sink.monitor") is where tests record
# what was played. SPEECH_TEST_RESTART_SERVER names a script that kills pipewire-pulse, as
# a crash would, starts it again and returns once it takes connections. Everything is
# stopped when the command ends, whatever its outcome.
set -euo pipefail
dir=$(mktemp -d /tmp/speech-pipewire.XXXXXX)
export HOME=$dir XDG_CONFIG_HOME=$dir/config XDG_STATE_HOME=$dir/state XDG_DATA_HOME=$dir/data
# pipewire-pulse refuses a runtime directory it did not make unless it is private (700).
export XDG_RUNTIME_DIR=$dir/runtime PIPEWIRE_RUNTIME_DIR=$dir/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
mkdir -p "$XDG_CONFIG_HOME/pipewire/pipewire.conf.d" "$XDG_STATE_HOME" "$XDG_DATA_HOME"
cat >"$XDG_CONFIG_HOME/pipewire/pipewire.conf.d/speech-test-sink.conf" <<'CONF'
context.objects = [
  { factory = adapter
    args = {
      factory.name = support.null-audio-sink
      node.name = "speech_test_sink"
      node.description = "speech test sink"
      media.class = "Audio/Sink"
      audio.position = [ MONO ]
      object.linger = true
      monitor.channel-volumes = true
    }
  }
]
CONF
pids=()
cleanup() {
  [ -f "$dir/pipewire-pulse.pid" ] && pids+=("$(cat "$dir/pipewire-pulse.pid")")
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$dir"
}
trap cleanup EXIT

# WirePlumber (0.4) ends without a session bus: a private one.
dbus-daemon --session --fork --address="unix:path=$dir/bus" --print-pid=1 >"$dir/dbus.pid"
pids+=("$(cat "$dir/dbus.pid")")
export DBUS_SESSION_BUS_ADDRESS=unix:path=$dir/bus
pipewire >"$dir/pipewire.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -S "$XDG_RUNTIME_DIR/pipewire-0" ] && break; sleep 0.05; done
wireplumber >"$dir/wireplumber.log" 2>&1 &
pids+=($!)

# Starting pipewire-pulse, and starting it again, as the restart script does.
cat >"$dir/restart-server" <<EOF
#!/usr/bin/env bash
# Kills pipewire-pulse at once, as a crash would, and starts it again.
set -euo pipefail
export XDG_RUNTIME_DIR=$XDG_RUNTIME_DIR PIPEWIRE_RUNTIME_DIR=$XDG_RUNTIME_DIR HOME=$HOME
export XDG_CONFIG_HOME=$XDG_CONFIG_HOME XDG_STATE_HOME=$XDG_STATE_HOME DBUS_SESSION_BUS_ADDRESS=$DBUS_SESSION_BUS_ADDRESS
if [ -f "$dir/pipewire-pulse.pid" ]; then
  kill -9 "\$(cat "$dir/pipewire-pulse.pid")" 2>/dev/null || true
  # Until it is gone (a zombie nobody has reaped yet counts as gone).
  while grep -qs '^State:[[:space:]]*[RSDT]' "/proc/\$(cat "$dir/pipewire-pulse.pid")/status"; do sleep 0.005; done
fi
setsid pipewire-pulse >>"$dir/pipewire-pulse.log" 2>&1 </dev/null &
echo \$! >"$dir/pipewire-pulse.pid"
for _ in \$(seq 200); do
  PULSE_SERVER=unix:$XDG_RUNTIME_DIR/pulse/native pactl info >/dev/null 2>&1 && exit 0
  sleep 0.025
done
cat "$dir/pipewire-pulse.log" >&2
exit 1
EOF
chmod +x "$dir/restart-server"
export SPEECH_TEST_RESTART_SERVER=$dir/restart-server
"$dir/restart-server"
export PULSE_SERVER=unix:$XDG_RUNTIME_DIR/pulse/native
# WirePlumber finds the sink in a moment; until then there is no default sink.
for _ in $(seq 100); do
  pactl list short sinks 2>/dev/null | grep -q speech_test_sink && break
  sleep 0.05
done
pactl set-default-sink speech_test_sink
"$@"

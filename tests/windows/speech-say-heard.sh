#!/usr/bin/env bash
# speech-say.exe, run under wine, speaks through the Linux service: what it sends is heard
# at the private sound server's null sink (run inside scripts/with-private-pulse.sh,
# holding the port lock).
# Usage: speech-say-heard.sh WINE_RUN SPEECH_SAY_EXE LINUX_SPEECH_SERVICE
set -euo pipefail
wine_run=$1
exe=$2
service=$3
scratch=$(mktemp -d /tmp/speech-say-heard.XXXXXX)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT

"$service" >"$scratch/service.out" 2>"$scratch/service.err" &
pids+=($!)
# Serving once a probe under 5 bytes is answered with its line.
for _ in $(seq 100); do
  printf 'abc' | socat -u - UDP-SENDTO:127.0.0.1:"$SPEECH_SERVICE_PORT" 2>/dev/null || true
  grep -q "invalid packet size : 3" "$scratch/service.out" && break
  sleep 0.1
done
grep -q "invalid packet size : 3" "$scratch/service.out" || { echo "FAIL  the Linux service did not start"; exit 1; }

parec -d speech_test_sink.monitor --rate=44100 --channels=1 --format=s16le --raw >"$scratch/heard.raw" &
pids+=($!)
sleep 0.5
status=0
"$wine_run" "$exe" "Hello from Windows, through the Linux speech service." || status=$?
sleep 3
kill "${pids[1]}" 2>/dev/null || true
rms=$(sox -t raw -r 44100 -e signed -b 16 -c 1 "$scratch/heard.raw" -n stat 2>&1 | awk '/RMS +amplitude/ {print $3}')
echo "speech-say.exe exit status $status; RMS heard at the sink ${rms:-none}"
[ "$status" -eq 0 ] || { echo "FAIL  speech-say.exe did not succeed"; exit 1; }
awk -v rms="${rms:-0}" 'BEGIN { exit !(rms > 0.005) }' || { echo "FAIL  nothing was heard"; exit 1; }
echo "ok    speech-say.exe was heard"

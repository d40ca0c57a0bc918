#!/usr/bin/env bash
# Rendering a text into a WAV file with the default English voice (flite's kal16) through
# speech-render, against the flite command with the same voice: the median of RUNS runs
# each, in turns.
#
#   bench/flite-render.sh SPEECH-RENDER TEXT-FILE WORK-DIRECTORY [RUNS]
set -euo pipefail
render=$1
text=$2
work=$3
runs=${4:-5}
mkdir -p "$work"

milliseconds() { local start=$(date +%s%N); "$@" >/dev/null 2>&1; echo $(( ($(date +%s%N) - start) / 1000000 )); }
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

service=() flite=()
for _ in $(seq "$runs"); do
  service+=("$(milliseconds sh -c '"$0" -q --voice kal16 -o "$1" <"$2"' "$render" "$work/service.wav" "$text")")
  flite+=("$(milliseconds flite -voice kal16 -f "$text" -o "$work/flite.wav")")
done
service_ms=$(printf '%s\n' "${service[@]}" | median)
flite_ms=$(printf '%s\n' "${flite[@]}" | median)
echo "rendering $(wc -w <"$text") words with kal16, median of $runs: speech-render ${service_ms} ms" \
     "($(soxi -D "$work/service.wav") s of 44.1 kHz speech), flite -o ${flite_ms} ms" \
     "($(soxi -D "$work/flite.wav") s at 16 kHz): $(awk -v a="$service_ms" -v b="$flite_ms" 'BEGIN { printf "%.2f", a / b }') times" \
     "(target: at most 1.2)"
rm -f "$work/service.wav" "$work/flite.wav"

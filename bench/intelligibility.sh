#!/usr/bin/env bash
# How well each English voice is understood: an independent recogniser (pocketsphinx with
# Debian's US English model) transcribes the Harvard sentences (bench/harvard-sentences.txt)
# spoken by each voice through speech-render, and the table gives each one's word error rate
# (substitutions, deletions and insertions over the words said). Every file is brought to
# one RMS level (-20 dBFS) before the recogniser: its errors depend on the level it hears.
#
#   bench/intelligibility.sh SPEECH-RENDER WORK-DIRECTORY [LISTS] [PARTS]
#
# LISTS: how many of the ten lists to use, from list 3 on (default 10). PARTS (default
# "voices pacing peers"; INTELLIGIBILITY_VOICES, one a line, narrows the voices):
#   voices  each English voice at rate 0 and at the service's rate 6;
#   pacing  fast speech two ways, at rates 3, 6 and 10, with flite's rms and espeak-ng's
#           English: as speech-render says it, and said at rate 0 and then sped up by the
#           same factor (3^(rate/10)) with the sonic command (libsonic);
#   peers   the espeak-ng and flite commands at their normal pace.
# Needs sox, sonic, flite, espeak-ng, pocketsphinx and pocketsphinx-en-us.
set -euo pipefail
render=$1
work=$2
lists=${3:-10}
parts=${4:-voices pacing peers}
# INTELLIGIBILITY_VOICES (one a line) narrows the voices part, say to "rms".
mapfile -t voices < <(printf '%s\n' "${INTELLIGIBILITY_VOICES:-rms
kal16
slt
awb
kal
English (America)}")
top=$(cd "$(dirname "$0")/.." && pwd)
sentences=$top/bench/harvard-sentences.txt
mkdir -p "$work"

# The sentences used, as "id<TAB>text".
grep -v '^#' "$sentences" | awk -F'\t' -v last=$((2 + lists)) '{ split($1, n, "."); if (n[1] <= last) print }' \
  >"$work/reference.txt"

. "$top/bench/recogniser.sh"

# speak NAME SPEEDUP COMMAND...: COMMAND (with {} for the output file, and the sentence as its
# last argument) speaks each sentence into NAME/ID.wav, sped up SPEEDUP times by sonic
# unless that is 1, made ready for the recogniser.
speak() {
  local name=$1 speedup=$2
  shift 2
  mkdir -p "$work/$name"
  : >"$work/$name/control"
  while IFS=$'\t' read -r id text; do
    local spoken=$work/$name/$id.spoken.wav
    local args=()
    for argument in "$@"; do args+=("${argument//\{\}/$spoken}"); done
    "${args[@]}" "$text" >/dev/null 2>&1
    if [ "$speedup" != 1 ]; then
      sonic -s "$speedup" "$spoken" "$spoken.fast.wav" >/dev/null 2>&1
      mv "$spoken.fast.wav" "$spoken"
    fi
    to_recogniser "$spoken" "$work/$name/$id.wav"
    rm -f "$spoken"
    echo "$id" >>"$work/$name/control"
  done <"$work/reference.txt"
  recognise "$work/$name"
}

systems=()
system() {  # LABEL SPEEDUP COMMAND...
  local label=$1
  shift
  speak "${label//[ \/()^]/_}" "$@"
  systems+=("$label")
}
factor() { awk -v r="$1" 'BEGIN { printf "%.4f", 3 ^ (r / 10) }'; }

for part in $parts; do
  case $part in
  voices)
    for voice in "${voices[@]}"; do
      for rate in 0 6; do
        system "speech-render --voice $voice --rate $rate" 1 "$render" -q --voice "$voice" --rate "$rate" -o {}
      done
    done
    ;;
  pacing)
    for voice in rms "English (America)"; do
      for rate in 3 6 10; do
        system "speech-render --voice $voice --rate $rate" 1 "$render" -q --voice "$voice" --rate "$rate" -o {}
        system "speech-render --voice $voice --rate 0, sonic -s $(factor $rate)" "$(factor $rate)" \
          "$render" -q --voice "$voice" --rate 0 -o {}
      done
    done
    ;;
  peers)
    system "espeak-ng -v en-us" 1 espeak-ng -v en-us -w {}
    for voice in rms kal16 slt awb kal; do
      system "flite -voice $voice" 1 flite -voice "$voice" -o {} -t
    done
    ;;
  esac
done

echo "word error rate of pocketsphinx (en-us) on the Harvard sentences, lists 3 to $((2 + lists)), at one RMS level:"
for system in "${systems[@]}"; do
  python3 "$top/bench/word-errors.py" "$work/reference.txt" "$work/${system//[ \/()^]/_}/hypothesis.txt" "$system" |
    sed -n 1p
done

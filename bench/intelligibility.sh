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
# "voices pacing peers"):
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
top=$(cd "$(dirname "$0")/.." && pwd)
sentences=$top/bench/harvard-sentences.txt
mkdir -p "$work"

# The sentences used, as "id<TAB>text".
grep -v '^#' "$sentences" | awk -F'\t' -v last=$((2 + lists)) '{ split($1, n, "."); if (n[1] <= last) print }' \
  >"$work/reference.txt"

# to_recogniser IN OUT: 16 kHz mono, at an RMS level of -20 dBFS.
to_recogniser() {
  local level
  level=$(sox "$1" -n stats 2>&1 | awk '/^RMS lev dB/ {print $4}')
  sox "$1" -r 16000 -c 1 -b 16 "$2" gain "$(awk -v l="$level" 'BEGIN { printf "%.2f", -20 - l }')"
}

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
  pocketsphinx_batch -adcin yes -adchdr 44 -cepdir "$work/$name" -cepext .wav -ctl "$work/$name/control" \
    -hyp "$work/$name/hypothesis.txt" -logfn /dev/null
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
    for voice in rms kal16 slt awb kal "English (America)"; do
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
  python3 - "$work/reference.txt" "$work/${system//[ \/()^]/_}/hypothesis.txt" "$system" <<'PYTHON'
import re, sys

def words(text):
    return re.sub(r"[^a-z' ]", " ", text.lower()).split()

reference = {}
for line in open(sys.argv[1]):
    key, text = line.rstrip("\n").split("\t", 1)
    reference[key] = words(text)
heard = {}
for line in open(sys.argv[2]):
    match = re.match(r"(.*)\((\S+)(?: [-\d]+)?\)\s*$", line)
    if match:
        heard[match.group(2)] = words(match.group(1))

def distance(said, got):
    row = list(range(len(got) + 1))
    for i, word in enumerate(said, 1):
        previous, row[0] = row[0], i
        for j, other in enumerate(got, 1):
            previous, row[j] = row[j], min(row[j] + 1, row[j - 1] + 1, previous + (word != other))
    return row[len(got)]

errors = sum(distance(said, heard.get(key, [])) for key, said in reference.items())
total = sum(len(said) for said in reference.values())
print(f"  {sys.argv[3]:<58} {100.0 * errors / total:5.1f}%  ({errors} errors in {total} words)")
PYTHON
done

#!/usr/bin/env bash
# How well each English voice is understood: an independent recogniser (pocketsphinx with
# Debian's US English model) transcribes the Harvard sentences (bench/harvard-sentences.txt)
# spoken by each voice through speech-render, and, beside them, by the espeak-ng and flite
# commands; the table gives each one's word error rate (substitutions, deletions and
# insertions over the words said).
#
#   bench/intelligibility.sh SPEECH-RENDER WORK-DIRECTORY [LISTS]
#
# LISTS: how many of the ten lists to use, from list 3 on (default 10). Needs sox, flite,
# espeak-ng, pocketsphinx and pocketsphinx-en-us.
set -euo pipefail
render=$1
work=$2
lists=${3:-10}
top=$(cd "$(dirname "$0")/.." && pwd)
sentences=$top/bench/harvard-sentences.txt
mkdir -p "$work"

# The sentences used, as "id<TAB>text".
grep -v '^#' "$sentences" | awk -F'\t' -v last=$((2 + lists)) '{ split($1, n, "."); if (n[1] <= last) print }' \
  >"$work/reference.txt"

# speak NAME COMMAND...: COMMAND (with {} for the output file, and the sentence as its
# last argument) speaks each sentence into NAME/ID.wav, made 16 kHz mono for the recogniser.
speak() {
  local name=$1
  shift
  mkdir -p "$work/$name"
  : >"$work/$name/control"
  while IFS=$'\t' read -r id text; do
    local spoken=$work/$name/$id.spoken.wav
    local args=()
    for argument in "$@"; do args+=("${argument//\{\}/$spoken}"); done
    "${args[@]}" "$text" >/dev/null 2>&1
    sox "$spoken" -r 16000 -c 1 -b 16 "$work/$name/$id.wav"
    rm -f "$spoken"
    echo "$id" >>"$work/$name/control"
  done <"$work/reference.txt"
  pocketsphinx_batch -adcin yes -adchdr 44 -cepdir "$work/$name" -cepext .wav -ctl "$work/$name/control" \
    -hyp "$work/$name/hypothesis.txt" -logfn /dev/null
}

systems=()
for voice in kal16 slt kal rms awb "English (America)"; do
  name="speech-render --voice ${voice}"
  speak "${name// /_}" "$render" -q --voice "$voice" -o {}
  systems+=("$name")
done
speak "espeak-ng_-v_en-us" espeak-ng -v en-us -w {}
systems+=("espeak-ng -v en-us")
for voice in kal16 slt kal rms awb; do
  speak "flite_-voice_$voice" flite -voice "$voice" -o {} -t
  systems+=("flite -voice $voice")
done

echo "word error rate of pocketsphinx (en-us) on the Harvard sentences, lists 3 to $((2 + lists)):"
for system in "${systems[@]}"; do
  python3 - "$work/reference.txt" "$work/${system// /_}/hypothesis.txt" "$system" <<'PYTHON'
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
print(f"  {sys.argv[3]:<40} {100.0 * errors / total:5.1f}%  ({errors} errors in {total} words)")
PYTHON
done

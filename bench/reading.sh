#!/usr/bin/env bash
# How written text is read aloud: the texts of bench/written-texts.tsv (money, times,
# units, symbols, accented letters, addresses, abbreviations...), each with how a person
# says it, read by the default English voice.
#
#   bench/reading.sh SPEECH-RENDER WORK-DIRECTORY [OTHER-SPEECH-RENDER]
#
# - words: the words `speech-render --words` shows, against how a person says the text:
#   word error rate, and the texts read word for word as a person would, per class.
# - heard: the texts rendered at rate 0 and transcribed by an independent recogniser
#   (pocketsphinx, every file at one RMS level): its word error rate against how a person
#   says them, per class; for OTHER-SPEECH-RENDER too (an earlier build, say) when given.
# Needs sox, pocketsphinx and pocketsphinx-en-us.
set -euo pipefail
render=$1
work=$2
other=${3:-}
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/bench/recogniser.sh"
mkdir -p "$work"

# "class.n<TAB>said" and "class.n<TAB>written", n counted within each class.
grep -v '^#' "$top/bench/written-texts.tsv" |
  awk -F'\t' '{ n[$1]++; print $1 "." n[$1] "\t" $3 > "'"$work"'/reference.txt"; print $1 "." n[$1] "\t" $2 }' \
  >"$work/written.txt"

echo "how the default voice reads $(wc -l <"$work/written.txt") written texts, against how a person says them:"
: >"$work/words.txt"
while IFS=$'\t' read -r id text; do
  printf '%s\t%s\n' "$id" "$("$render" --words -- "$text" 2>/dev/null || true)" >>"$work/words.txt"
done <"$work/written.txt"
python3 "$top/bench/word-errors.py" "$work/reference.txt" "$work/words.txt" "words shown by --words" --exact

heard() {  # LABEL RENDER
  local dir=$work/${1// /_}
  mkdir -p "$dir"
  : >"$dir/control"
  while IFS=$'\t' read -r id text; do
    "$2" -q -o "$dir/$id.spoken.wav" -- "$text" >/dev/null 2>&1 || continue
    to_recogniser "$dir/$id.spoken.wav" "$dir/$id.wav"
    rm -f "$dir/$id.spoken.wav"
    echo "$id" >>"$dir/control"
  done <"$work/written.txt"
  recognise "$dir"
  python3 "$top/bench/word-errors.py" "$work/reference.txt" "$dir/hypothesis.txt" "$1"
}
echo "word error rate of pocketsphinx (en-us) on the rendered texts, at one RMS level:"
heard "heard" "$render"
if [ -n "$other" ]; then heard "heard, other build" "$other"; fi

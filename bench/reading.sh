#!/usr/bin/env bash
# How written text is read aloud: the texts of bench/written-texts.tsv (money, times,
# units, symbols, accented letters, addresses, abbreviations...), each with how a person
# says it, read by the default English voice.
#
#   bench/reading.sh SPEECH-RENDER WORK-DIRECTORY [OTHER-SPEECH-RENDER]
#
# - words: the words `speech-render --words` shows, against how a person says the text:
#   word error rate, and the texts read word for word as a person would, per class; the
#   same for German, French and Spanish (bench/written-texts-LANG.tsv, read by the
#   language's voice).
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

# corpus TSV DIRECTORY: "class.n<TAB>said" into DIRECTORY/reference.txt and
# "class.n<TAB>written" into DIRECTORY/written.txt, n counted within each class.
corpus() {
  mkdir -p "$2"
  grep -v '^#' "$1" |
    awk -F'\t' '{ n[$1]++; print $1 "." n[$1] "\t" $3 > "'"$2"'/reference.txt"; print $1 "." n[$1] "\t" $2 }' \
    >"$2/written.txt"
}

# words DIRECTORY LABEL [--voice VOICE]: the words --words shows for each written text.
words() {
  local dir=$1 label=$2
  shift 2
  : >"$dir/words.txt"
  while IFS=$'\t' read -r id text; do
    printf '%s\t%s\n' "$id" "$("$render" --words "$@" -- "$text" 2>/dev/null || true)" >>"$dir/words.txt"
  done <"$dir/written.txt"
  python3 "$top/bench/word-errors.py" "$dir/reference.txt" "$dir/words.txt" "$label" --exact
}

corpus "$top/bench/written-texts.tsv" "$work"
echo "how the default voice reads $(wc -l <"$work/written.txt") written texts, against how a person says them:"
words "$work" "words shown by --words"
for language in de fr es; do
  corpus "$top/bench/written-texts-$language.tsv" "$work/$language"
  echo "how the voice for $language reads $(wc -l <"$work/$language/written.txt") written texts:"
  words "$work/$language" "$language: words shown by --words" --voice "$language"
done

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

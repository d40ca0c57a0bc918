# The independent recogniser the listening benchmarks share (sourced, not run):
# pocketsphinx with Debian's US English model, fed 16 kHz mono at one RMS level.

# to_recogniser IN OUT: 16 kHz mono, at an RMS level of -20 dBFS (the recogniser's errors
# depend on the level it hears).
to_recogniser() {
  local level
  level=$(sox "$1" -n stats 2>&1 | awk '/^RMS lev dB/ {print $4}')
  sox "$1" -r 16000 -c 1 -b 16 "$2" gain "$(awk -v l="$level" 'BEGIN { printf "%.2f", -20 - l }')"
}

# recognise DIR: transcribes DIR/ID.wav for each ID in DIR/control into DIR/hypothesis.txt.
recognise() {
  pocketsphinx_batch -adcin yes -adchdr 44 -cepdir "$1" -cepext .wav -ctl "$1/control" \
    -hyp "$1/hypothesis.txt" -logfn /dev/null
}

#pragma once
// The audio the conversion benchmarks feed in, and how close two converted files are.
#include <string>

/// Writes `seconds` of 16-bit stereo WAV at `rate`: a 440 Hz tone on the left, 660 Hz on
/// the right, a little white noise on both (so the whole band is exercised), written a
/// second at a time so that making the file does not raise a benchmark's peak memory.
/// Throws when the file cannot be written.
void WriteTestSignal(const std::string& path, int rate, int seconds);

/// How two WAV files of one rate and channel count compare, sample for sample, after the
/// best of a few samples' shift: the signal-to-noise ratio of `candidate` against
/// `reference` in dB (the difference counts as noise).
struct SignalComparison {
    bool comparable = false;
    double snrDb = 0;
    double referenceRmsDb = 0;  // the reference's level, dB full scale
    int shift = 0;              // samples the candidate lags behind
    long long frames = 0;       // the length compared
    long long lengthDifference = 0;  // candidate minus reference, in frames
};
SignalComparison CompareSignals(const std::string& reference, const std::string& candidate);

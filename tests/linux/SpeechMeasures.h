#pragma once
// Measures of speech that tests judge markup and language by: how long it is audible,
// the longest silence inside it, and the pitch of the voice. Mono float samples.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <string>
#include <vector>

#include "VoiceTestStreams.h"

namespace speech {

/// The rate espeak-ng makes its audio at: speech rendered at it is not resampled.
constexpr unsigned kRenderRate = 22050;

/// `text` spoken synchronously by `voice` with `flags` into memory (22.05 kHz mono); the
/// voice's output is the default audio output again afterwards.
inline std::vector<float> Render(ISpVoice* voice, const std::u16string& text, DWORD flags = SPF_DEFAULT) {
    auto stream = TestByteStream::Create(WaveFormat(WAVE_FORMAT_PCM, 1, kRenderRate, 16));
    EXPECT_EQ(voice->SetOutput(stream.Get(), TRUE), S_OK);
    EXPECT_EQ(voice->Speak(text.c_str(), flags, nullptr), S_OK);
    EXPECT_EQ(voice->SetOutput(nullptr, FALSE), S_OK);
    return Pcm16ToFloat(stream->Collected());
}

constexpr double kWindowSeconds = 0.01;
/// A 10 ms window quieter than this (RMS, full scale 1) is silence: espeak-ng's quietest
/// speech sounds are well above it, and the gaps between words fall below it.
constexpr double kQuietRms = 0.001;

/// The loudness of each 10 ms window.
inline std::vector<double> WindowRms(const std::vector<float>& samples, unsigned rate) {
    const size_t window = static_cast<size_t>(rate * kWindowSeconds);
    std::vector<double> levels;
    for (size_t at = 0; at + window <= samples.size(); at += window) {
        double sum = 0;
        for (size_t i = at; i < at + window; ++i) sum += double(samples[i]) * samples[i];
        levels.push_back(std::sqrt(sum / double(window)));
    }
    return levels;
}

/// Seconds from the start of the first window louder than `quiet` to the end of the last.
inline double AudibleSeconds(const std::vector<float>& samples, unsigned rate, double quiet = kQuietRms) {
    std::vector<double> levels = WindowRms(samples, rate);
    auto loud = [&](double level) { return level > quiet; };
    auto first = std::find_if(levels.begin(), levels.end(), loud);
    if (first == levels.end()) return 0.0;
    auto last = std::find_if(levels.rbegin(), levels.rend(), loud);
    return double((levels.rend() - last) - (first - levels.begin())) * kWindowSeconds;
}

/// The longest run of quiet windows between the first loud window and the last, in seconds.
inline double LongestGapSeconds(const std::vector<float>& samples, unsigned rate, double quiet = kQuietRms) {
    std::vector<double> levels = WindowRms(samples, rate);
    size_t longest = 0, run = 0;
    bool heard = false;
    for (double level : levels) {
        if (level > quiet) {
            if (heard) longest = std::max(longest, run);
            heard = true;
            run = 0;
        } else {
            ++run;
        }
    }
    return double(longest) * kWindowSeconds;
}

inline double Rms(const std::vector<float>& samples) {
    double sum = 0;
    for (float s : samples) sum += double(s) * s;
    return samples.empty() ? 0.0 : std::sqrt(sum / double(samples.size()));
}

/// The median fundamental frequency over the voiced 40 ms frames, from the strongest
/// autocorrelation between 60 and 400 Hz; 0 when nothing is voiced.
inline double MedianPitch(const std::vector<float>& samples, unsigned rate) {
    const size_t frame = rate * 40 / 1000;
    const size_t shortest = rate / 400, longest = rate / 60;
    std::vector<double> pitches;
    for (size_t at = 0; at + frame + longest <= samples.size(); at += frame) {
        double energy = 0;
        for (size_t i = at; i < at + frame; ++i) energy += double(samples[i]) * samples[i];
        if (std::sqrt(energy / double(frame)) < 0.03) continue;  // unvoiced or quiet
        double best = 0;
        size_t bestLag = 0;
        for (size_t lag = shortest; lag <= longest; ++lag) {
            double sum = 0;
            for (size_t i = at; i < at + frame; ++i) sum += double(samples[i]) * samples[i + lag];
            if (sum > best) best = sum, bestLag = lag;
        }
        if (bestLag != 0) pitches.push_back(double(rate) / double(bestLag));
    }
    if (pitches.empty()) return 0.0;
    std::nth_element(pitches.begin(), pitches.begin() + long(pitches.size() / 2), pitches.end());
    return pitches[pitches.size() / 2];
}

}  // namespace speech

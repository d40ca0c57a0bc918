#pragma once
// Measurements for tests that judge audio: tones to write, and the spectrum of what
// comes back (where the tone sits, how far every other component stays below it).
#include <algorithm>
#include <cmath>
#include <complex>
#include <cstddef>
#include <vector>

namespace tone {

constexpr double kPi = 3.14159265358979323846;

/// `frames` frames of a sine at `frequency`, the same in every channel, interleaved.
inline std::vector<float> Sine(double frequency, double rate, size_t frames, int channels, double amplitude) {
    std::vector<float> samples(frames * static_cast<size_t>(channels));
    for (size_t i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c)
            samples[i * size_t(channels) + size_t(c)] = float(amplitude * std::sin(2 * kPi * frequency * double(i) / rate));
    return samples;
}

/// A sweep whose frequency rises exponentially from `from` to `to` over `frames` frames.
inline std::vector<float> Sweep(double from, double to, double rate, size_t frames, int channels, double amplitude) {
    std::vector<float> samples(frames * static_cast<size_t>(channels));
    const double duration = double(frames) / rate;
    const double k = std::log(to / from);
    for (size_t i = 0; i < frames; ++i) {
        double t = double(i) / rate;
        double phase = 2 * kPi * from * duration / k * (std::exp(t / duration * k) - 1);
        for (int c = 0; c < channels; ++c) samples[i * size_t(channels) + size_t(c)] = float(amplitude * std::sin(phase));
    }
    return samples;
}

inline void Fft(std::vector<std::complex<double>>& data) {
    const size_t n = data.size();
    for (size_t i = 1, j = 0; i < n; ++i) {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) j ^= bit;
        j ^= bit;
        if (i < j) std::swap(data[i], data[j]);
    }
    for (size_t length = 2; length <= n; length <<= 1) {
        std::complex<double> step = std::polar(1.0, -2 * kPi / double(length));
        for (size_t i = 0; i < n; i += length) {
            std::complex<double> w = 1;
            for (size_t k = 0; k < length / 2; ++k, w *= step) {
                std::complex<double> a = data[i + k], b = data[i + k + length / 2] * w;
                data[i + k] = a + b;
                data[i + k + length / 2] = a - b;
            }
        }
    }
}

struct Spectrum {
    double peakFrequency = 0;
    double peakPower = 0;
    /// The strongest component away from the tone, in dB below the tone's peak.
    double spuriousDb = 0;
    double spuriousFrequency = 0;
};

/// Spectrum of `size` (a power of two) mono samples starting at `start`, windowed.
/// Bins within `guard` bins of the peak count as the tone itself.
inline Spectrum Analyse(const std::vector<float>& mono, size_t start, size_t size, double rate, size_t guard = 6) {
    std::vector<std::complex<double>> data(size);
    for (size_t i = 0; i < size; ++i) {
        // 4-term Blackman-Harris: side lobes 92 dB down, so a tone's own leakage is not
        // mistaken for another component.
        double x = 2 * kPi * double(i) / double(size);
        double window = 0.35875 - 0.48829 * std::cos(x) + 0.14128 * std::cos(2 * x) - 0.01168 * std::cos(3 * x);
        data[i] = window * (start + i < mono.size() ? mono[start + i] : 0.0f);
    }
    Fft(data);
    std::vector<double> power(size / 2);
    for (size_t i = 1; i < size / 2; ++i) power[i] = std::norm(data[i]);  // bin 0 (DC) left out
    size_t peak = size_t(std::max_element(power.begin(), power.end()) - power.begin());
    Spectrum result;
    result.peakFrequency = double(peak) * rate / double(size);
    result.peakPower = power[peak];
    double spurious = 0;
    size_t spuriousBin = 0;
    for (size_t i = 1; i < power.size(); ++i) {
        if (i + guard >= peak && i <= peak + guard) continue;
        if (power[i] > spurious) {
            spurious = power[i];
            spuriousBin = i;
        }
    }
    result.spuriousDb = 10 * std::log10(std::max(spurious, 1e-300) / result.peakPower);
    result.spuriousFrequency = double(spuriousBin) * rate / double(size);
    return result;
}

inline double Rms(const std::vector<float>& samples, size_t start, size_t count) {
    double sum = 0;
    count = std::min(count, samples.size() > start ? samples.size() - start : 0);
    for (size_t i = start; i < start + count; ++i) sum += double(samples[i]) * samples[i];
    return count == 0 ? 0 : std::sqrt(sum / double(count));
}

inline float Peak(const std::vector<float>& samples) {
    float peak = 0;
    for (float s : samples) peak = std::max(peak, std::fabs(s));
    return peak;
}

}  // namespace tone

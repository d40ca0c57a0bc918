#include "TestSignal.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "tests/support/SoundFile.h"

namespace {

constexpr int kMaxShift = 4;

}  // namespace

bool WriteTestSignal(const std::string& path, int rate, int seconds) {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file == nullptr) return false;
    std::vector<short> second(static_cast<size_t>(rate) * 2);
    unsigned noise = 12345;
    const double left = 6.283185307179586 * 440 / rate;
    const double right = 6.283185307179586 * 660 / rate;
    for (int s = 0; s < seconds; ++s) {
        for (int frame = 0; frame < rate; ++frame) {
            // The phase restarts each second: both tones complete whole cycles in a second.
            noise = noise * 1103515245u + 12345u;
            double jitter = ((noise >> 16) & 0x7FFF) / 32768.0 - 0.5;
            second[frame * 2] = static_cast<short>(12000 * std::sin(left * frame) + 500 * jitter);
            second[frame * 2 + 1] = static_cast<short>(12000 * std::sin(right * frame) + 500 * jitter);
        }
        if (sf_writef_short(file, second.data(), rate) != rate) {
            sf_close(file);
            return false;
        }
    }
    return sf_close(file) == 0;
}

SignalComparison CompareSignals(const std::string& referencePath, const std::string& candidatePath) {
    SignalComparison result;
    const SoundFile referenceFile = ReadSoundFile(referencePath);
    const SoundFile candidateFile = ReadSoundFile(candidatePath);
    const std::vector<float>& reference = referenceFile.samples;
    const std::vector<float>& candidate = candidateFile.samples;
    if (referenceFile.channels != 1 || candidateFile.channels != 1) return result;
    if (reference.empty() || candidate.empty() || referenceFile.rate != candidateFile.rate) return result;
    result.lengthDifference = static_cast<long long>(candidate.size()) - static_cast<long long>(reference.size());
    double best = -1;
    for (int shift = -kMaxShift; shift <= kMaxShift; ++shift) {
        double signal = 0, noise = 0;
        long long compared = 0;
        for (size_t i = kMaxShift; i + kMaxShift < reference.size(); ++i) {
            long long j = static_cast<long long>(i) + shift;
            if (j < 0 || j >= static_cast<long long>(candidate.size())) continue;
            double r = reference[i];
            double d = candidate[static_cast<size_t>(j)] - r;
            signal += r * r;
            noise += d * d;
            ++compared;
        }
        if (compared == 0 || signal == 0) continue;
        double snr = noise == 0 ? 200.0 : 10 * std::log10(signal / noise);
        if (snr > best) {
            best = snr;
            result.comparable = true;
            result.snrDb = snr;
            result.shift = shift;
            result.frames = compared;
            result.referenceRmsDb = 10 * std::log10(signal / static_cast<double>(compared));
        }
    }
    return result;
}

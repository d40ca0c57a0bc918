#include "TestSignal.h"

#include <sndfile.h>

#include <cmath>
#include <stdexcept>
#include <vector>

#include "tests/support/SoundFile.h"

void WriteTestSignal(const std::string& path, int rate, int seconds) {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file == nullptr) throw std::runtime_error("cannot write " + path);
    std::vector<short> second(static_cast<size_t>(rate) * 2);
    unsigned noise = 12345;
    const double left = 6.283185307179586 * 440 / rate, right = 6.283185307179586 * 660 / rate;
    bool written = true;
    for (int s = 0; s < seconds && written; ++s) {
        // The phase restarts each second: both tones complete whole cycles in a second.
        for (int frame = 0; frame < rate; ++frame) {
            noise = noise * 1103515245u + 12345u;
            double jitter = ((noise >> 16) & 0x7FFF) / 32768.0 - 0.5;
            second[frame * 2] = static_cast<short>(12000 * std::sin(left * frame) + 500 * jitter);
            second[frame * 2 + 1] = static_cast<short>(12000 * std::sin(right * frame) + 500 * jitter);
        }
        written = sf_writef_short(file, second.data(), rate) == rate;
    }
    if (sf_close(file) != 0 || !written) throw std::runtime_error("cannot write " + path);
}

SignalComparison CompareSignals(const std::string& referencePath, const std::string& candidatePath) {
    constexpr long long kMaxShift = 4;
    SignalComparison result;
    const SoundFile referenceFile = ReadSoundFile(referencePath), candidateFile = ReadSoundFile(candidatePath);
    const std::vector<float>& reference = referenceFile.samples;
    const std::vector<float>& candidate = candidateFile.samples;
    if (referenceFile.channels != 1 || candidateFile.channels != 1 || reference.empty() || candidate.empty() ||
        referenceFile.rate != candidateFile.rate)
        return result;
    const auto referenceLength = static_cast<long long>(reference.size());
    const auto candidateLength = static_cast<long long>(candidate.size());
    result.lengthDifference = candidateLength - referenceLength;
    for (long long shift = -kMaxShift; shift <= kMaxShift; ++shift) {
        double signal = 0, noise = 0;
        long long compared = 0;
        for (long long i = kMaxShift; i + kMaxShift < referenceLength; ++i) {
            if (i + shift < 0 || i + shift >= candidateLength) continue;
            double r = reference[i], d = candidate[i + shift] - r;
            signal += r * r;
            noise += d * d;
            ++compared;
        }
        if (compared == 0 || signal == 0) continue;
        double snr = noise == 0 ? 200.0 : 10 * std::log10(signal / noise);
        if (!result.comparable || snr > result.snrDb)
            result = {true, snr, 10 * std::log10(signal / compared), static_cast<int>(shift), compared,
                      result.lengthDifference};
    }
    return result;
}

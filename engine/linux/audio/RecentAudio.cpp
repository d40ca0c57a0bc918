#include <algorithm>
#include <cmath>

#include "DeviceConnection.h"

void RecentAudio::Append(const int16_t* data, size_t frames) {
    const size_t capacity = samples.size();
    // Only the last `capacity` frames can be kept.
    if (frames > capacity) {
        end += static_cast<int64_t>(frames - capacity);
        data += frames - capacity;
        frames = capacity;
    }
    for (size_t i = 0; i < frames; ++i) samples[static_cast<size_t>(end + static_cast<int64_t>(i)) % capacity] = data[i];
    end += static_cast<int64_t>(frames);
}

void RecentAudio::CutAt(int64_t position) { end = std::clamp(position, Start(), end); }

int64_t RecentAudio::Start() const { return std::max<int64_t>(0, end - static_cast<int64_t>(samples.size())); }

std::vector<int16_t> RecentAudio::FadeFrom(int64_t position) const {
    using namespace devicequeue;
    std::vector<int16_t> replacement(kFadeFrames + kSilenceAfterFadeFrames, 0);
    const int64_t known = std::min<int64_t>(kFadeFrames, end - position);
    const double pi = std::acos(-1.0);
    for (int64_t i = 0; i < known; ++i) {
        // From 1 down to 0 with no step, nor a bend, at either end: a raised cosine,
        // squared, which is down to a twentieth in its last third.
        double raised = 0.5 * (1.0 + std::cos(pi * static_cast<double>(i + 1) / (kFadeFrames + 1)));
        double gain = raised * raised;
        int16_t sample = samples[static_cast<size_t>(position + i) % samples.size()];
        replacement[static_cast<size_t>(i)] = static_cast<int16_t>(std::lround(sample * gain));
    }
    return replacement;
}

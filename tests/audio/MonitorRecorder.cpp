#include "MonitorRecorder.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace {

constexpr size_t kFragmentFrames = MonitorRecorder::kRate / 100;  // 10 ms

}  // namespace

MonitorRecorder::MonitorRecorder(const char* server) {
    pa_simple* recording = OpenMonitorRecording(server, "speech-audio-tests", kFragmentFrames, &error);
    if (recording == nullptr) {
        running = false;
        return;
    }
    stream = recording;
    reader = std::thread(&MonitorRecorder::Record, this);
}

MonitorRecorder::~MonitorRecorder() {
    running = false;
    if (reader.joinable()) reader.join();
    if (stream != nullptr) pa_simple_free(static_cast<pa_simple*>(stream));
}

void MonitorRecorder::Record() {
    std::vector<int16_t> fragment(kFragmentFrames);
    while (running) {
        int code = 0;
        if (pa_simple_read(static_cast<pa_simple*>(stream), fragment.data(), fragment.size() * 2, &code) < 0) {
            running = false;
            break;
        }
        std::lock_guard<std::mutex> guard(lock);
        for (int16_t sample : fragment) samples.push_back(sample / 32768.0f);
    }
}

size_t MonitorRecorder::SampleCount() {
    std::lock_guard<std::mutex> guard(lock);
    return samples.size();
}

bool MonitorRecorder::AwaitSamples(size_t count) {
    while (SampleCount() < count) {
        if (!running) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

std::vector<float> MonitorRecorder::Samples() {
    std::lock_guard<std::mutex> guard(lock);
    return samples;
}

double MonitorRecorder::Rms(size_t from, size_t length) {
    std::lock_guard<std::mutex> guard(lock);
    size_t to = std::min(from + length, samples.size());
    if (to <= from) return 0.0;
    double sum = 0.0;
    for (size_t i = from; i < to; ++i) sum += static_cast<double>(samples[i]) * samples[i];
    return std::sqrt(sum / static_cast<double>(to - from));
}

size_t MonitorRecorder::AwaitSound(size_t from, double threshold, double limitSeconds) {
    const size_t window = kRate / 10;
    size_t limit = from + static_cast<size_t>(limitSeconds * kRate);
    for (size_t at = from; at + window <= limit; at += window / 2) {
        if (!AwaitSamples(at + window)) return 0;
        if (Rms(at, window) > threshold) return SampleCount();
    }
    return 0;
}

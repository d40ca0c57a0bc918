#include "MonitorRecorder.h"

#include <pulse/error.h>
#include <pulse/simple.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

pa_simple* OpenMonitorRecording(const char* server, size_t fragmentFrames, std::string* error) {
    pa_sample_spec spec{};
    spec.format = PA_SAMPLE_S16LE;
    spec.rate = MonitorRecorder::kRate;
    spec.channels = 1;
    pa_buffer_attr attributes{};
    attributes.maxlength = static_cast<uint32_t>(-1);
    attributes.fragsize = static_cast<uint32_t>(fragmentFrames * 2);
    int code = 0;
    pa_simple* recording = pa_simple_new(server, "speech-monitor", PA_STREAM_RECORD, "speech_test_sink.monitor",
                                         "monitor", &spec, nullptr, &attributes, &code);
    if (recording == nullptr) *error = std::string("cannot record the monitor: ") + pa_strerror(code);
    return recording;
}

}  // namespace

MonitorRecorder::MonitorRecorder(const char* server, size_t fragmentFrames) : fragmentFrames(fragmentFrames) {
    pa_simple* recording = OpenMonitorRecording(server, fragmentFrames, &error);
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
    std::vector<int16_t> fragment(fragmentFrames);
    while (running) {
        int code = 0;
        if (pa_simple_read(static_cast<pa_simple*>(stream), fragment.data(), fragment.size() * 2, &code) < 0) {
            running = false;
            break;
        }
        Clock::time_point arrival = Clock::now();
        std::lock_guard<std::mutex> guard(lock);
        for (int16_t sample : fragment) samples.push_back(sample / 32768.0f);
        arrivals.push_back(arrival);
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

bool MonitorRecorder::IsLoud(size_t fragment, float threshold) const {
    auto begin = samples.begin() + static_cast<long>(fragment * fragmentFrames);
    return std::any_of(begin, begin + static_cast<long>(fragmentFrames),
                       [threshold](float sample) { return std::fabs(sample) > threshold; });
}

bool MonitorRecorder::AwaitFlowing(Clock::duration limit) {
    const size_t steady = kRate / 5 / fragmentFrames;  // 200 ms of audio
    Clock::time_point deadline = Clock::now() + limit;
    while (running && Clock::now() < deadline) {
        {
            std::lock_guard<std::mutex> guard(lock);
            if (arrivals.size() >= steady) return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

std::string MonitorRecorder::AwaitRecording(Clock::duration limit) {
    if (!error.empty()) return error;
    return AwaitFlowing(limit) ? std::string() : "the monitor delivered nothing";
}

std::optional<MonitorRecorder::Clock::time_point> MonitorRecorder::FirstLoudAfter(Clock::time_point from,
                                                                                  Clock::time_point limit,
                                                                                  float threshold) {
    size_t checked = 0;
    while (running && Clock::now() < limit) {
        {
            std::lock_guard<std::mutex> guard(lock);
            for (; checked < arrivals.size(); ++checked)
                if (arrivals[checked] > from && IsLoud(checked, threshold)) return arrivals[checked];
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return std::nullopt;
}

std::optional<MonitorRecorder::Clock::time_point> MonitorRecorder::LastLoudUpTo(Clock::time_point to,
                                                                                float threshold) {
    std::this_thread::sleep_until(to);
    std::lock_guard<std::mutex> guard(lock);
    for (size_t i = arrivals.size(); i > 0; --i)
        if (arrivals[i - 1] <= to && IsLoud(i - 1, threshold)) return arrivals[i - 1];
    return std::nullopt;
}

size_t MonitorRecorder::FirstSampleAfter(Clock::time_point moment) {
    for (Clock::time_point giveUp = Clock::now() + std::chrono::seconds(1); running && Clock::now() < giveUp;) {
        {
            std::lock_guard<std::mutex> guard(lock);
            auto after = std::upper_bound(arrivals.begin(), arrivals.end(), moment);
            if (after != arrivals.end()) return static_cast<size_t>(after - arrivals.begin()) * fragmentFrames;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return SampleCount();
}

std::vector<double> MonitorRecorder::ArrivalGapsMs() {
    std::lock_guard<std::mutex> guard(lock);
    std::vector<double> gaps;
    for (size_t i = 1; i < arrivals.size(); ++i)
        gaps.push_back(std::chrono::duration<double, std::milli>(arrivals[i] - arrivals[i - 1]).count());
    std::sort(gaps.begin(), gaps.end());
    return gaps;
}

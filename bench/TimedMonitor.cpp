#include "TimedMonitor.h"


#include <algorithm>
#include <cmath>
#include <cstdint>

TimedMonitor::TimedMonitor(float threshold) : threshold(threshold) {
    pa_simple* recording = OpenMonitorRecording(nullptr, "speech-bench", kFragmentFrames, &error);
    if (recording == nullptr) {
        running = false;
        return;
    }
    stream = recording;
    reader = std::thread(&TimedMonitor::Record, this);
}

TimedMonitor::~TimedMonitor() {
    running = false;
    if (reader.joinable()) reader.join();
    if (stream != nullptr) pa_simple_free(static_cast<pa_simple*>(stream));
}

void TimedMonitor::Record() {
    std::vector<int16_t> fragment(kFragmentFrames);
    const int limit = static_cast<int>(threshold * 32768);
    while (running) {
        int code = 0;
        if (pa_simple_read(static_cast<pa_simple*>(stream), fragment.data(), fragment.size() * 2, &code) < 0) {
            running = false;
            break;
        }
        Clock::time_point arrival = Clock::now();
        bool loud = false;
        for (int16_t sample : fragment) loud = loud || std::abs(static_cast<int>(sample)) > limit;
        std::lock_guard<std::mutex> guard(lock);
        fragments.push_back({arrival, loud});
    }
}

bool TimedMonitor::AwaitFlowing(Clock::duration limit) {
    constexpr size_t kSteadyFragments = 40;  // 200 ms of audio
    Clock::time_point deadline = Clock::now() + limit;
    while (running && Clock::now() < deadline) {
        {
            std::lock_guard<std::mutex> guard(lock);
            if (fragments.size() >= kSteadyFragments) return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

std::optional<TimedMonitor::Clock::time_point> TimedMonitor::FirstLoudAfter(Clock::time_point from,
                                                                            Clock::time_point limit) {
    size_t checked = 0;
    while (running && Clock::now() < limit) {
        {
            std::lock_guard<std::mutex> guard(lock);
            for (; checked < fragments.size(); ++checked)
                if (fragments[checked].loud && fragments[checked].arrival > from) return fragments[checked].arrival;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return std::nullopt;
}

std::optional<TimedMonitor::Clock::time_point> TimedMonitor::LastLoudUpTo(Clock::time_point to) {
    std::this_thread::sleep_until(to);
    std::lock_guard<std::mutex> guard(lock);
    for (size_t i = fragments.size(); i > 0; --i)
        if (fragments[i - 1].loud && fragments[i - 1].arrival <= to) return fragments[i - 1].arrival;
    return std::nullopt;
}

std::vector<double> TimedMonitor::ArrivalGapsMs() {
    std::lock_guard<std::mutex> guard(lock);
    std::vector<double> gaps;
    for (size_t i = 1; i < fragments.size(); ++i)
        gaps.push_back(std::chrono::duration<double, std::milli>(fragments[i].arrival - fragments[i - 1].arrival).count());
    std::sort(gaps.begin(), gaps.end());
    return gaps;
}

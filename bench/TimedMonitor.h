#pragma once
// Listens to the private sound server's null sink monitor and notes, for each small
// fragment, when it arrived and how loud it was: enough to tell when sound was first and
// last heard relative to the moment a datagram was sent.
#include "tests/audio/MonitorStream.h"
#include <atomic>
#include <chrono>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

/// Records "speech_test_sink.monitor" (the server PULSE_SERVER names) in 5 ms fragments
/// from construction to destruction. A fragment's time is when the read of it returned,
/// so every time it reports includes the monitor path's own latency.
class TimedMonitor {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr unsigned kRate = kMonitorRate;
    static constexpr size_t kFragmentFrames = kRate / 200;

    explicit TimedMonitor(float threshold);
    ~TimedMonitor();
    TimedMonitor(const TimedMonitor&) = delete;
    TimedMonitor& operator=(const TimedMonitor&) = delete;

    /// Empty when recording works; otherwise what went wrong.
    const std::string& Error() const { return error; }

    /// Waits until fragments arrive steadily (the monitor path takes a while to start
    /// delivering); false if that did not happen within `limit`.
    bool AwaitFlowing(Clock::duration limit);
    /// The arrival of the first fragment after `from` with a sample above the threshold,
    /// waiting for it until `limit`.
    std::optional<Clock::time_point> FirstLoudAfter(Clock::time_point from, Clock::time_point limit);
    /// The arrival of the last loud fragment that arrived up to `to` (waits until then).
    std::optional<Clock::time_point> LastLoudUpTo(Clock::time_point to);
    /// The gaps between fragment arrivals so far, in milliseconds, sorted: how finely the
    /// monitor lets these times be told apart.
    std::vector<double> ArrivalGapsMs();

private:
    struct Fragment {
        Clock::time_point arrival;
        bool loud;
    };
    void Record();

    float threshold;
    std::string error;
    void* stream = nullptr;  // the pa_simple recording stream
    std::atomic<bool> running{true};
    std::mutex lock;
    std::vector<Fragment> fragments;
    std::thread reader;
};

#pragma once
// Records what the private sound server's null sink plays, from its monitor, so tests can
// judge the energy of what was heard in time windows.
#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "MonitorStream.h"

/// Records the monitor of "speech_test_sink" as 44.1 kHz mono floats from construction
/// until destruction, in small fragments. While the sink plays, the count of samples
/// follows the clock closely; while it is idle the monitor may deliver nothing, so time
/// windows are measured from a moment when something was playing.
class MonitorRecorder {
public:
    static constexpr unsigned kRate = kMonitorRate;

    /// Records from the sound server named by `server` (null: the one PULSE_SERVER names).
    explicit MonitorRecorder(const char* server = nullptr);
    ~MonitorRecorder();
    MonitorRecorder(const MonitorRecorder&) = delete;
    MonitorRecorder& operator=(const MonitorRecorder&) = delete;

    /// Empty when recording works; otherwise what went wrong.
    const std::string& Error() const { return error; }
    size_t SampleCount();
    /// Waits until at least `count` samples have been recorded (false: recording stopped).
    bool AwaitSamples(size_t count);
    std::vector<float> Samples();
    /// The RMS of the samples [from, from + length), as recorded so far.
    double Rms(size_t from, size_t length);
    /// Waits until a 100 ms window after `from` carries more than `threshold` RMS; returns
    /// the sample count at that moment, or 0 if it did not happen within `limitSeconds`.
    size_t AwaitSound(size_t from, double threshold, double limitSeconds);

private:
    void Record();

    std::string error;
    void* stream = nullptr;  // the pa_simple recording stream
    std::atomic<bool> running{true};
    std::mutex lock;
    std::vector<float> samples;
    std::thread reader;
};

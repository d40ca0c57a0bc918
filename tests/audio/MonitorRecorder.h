#pragma once
// Records what the private sound server's null sink plays, from its monitor, so that
// tests can judge the energy of what was heard in time windows and benchmarks can tell
// when sound was first and last heard. The one monitor recorder of tests and benchmarks.
#include <atomic>
#include <chrono>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

/// Records the monitor of "speech_test_sink" as 44.1 kHz mono floats from construction
/// until destruction, in fragments of a size the caller picks, noting when each fragment
/// arrived. While the sink plays, the count of samples follows the clock closely; while
/// it is idle the monitor may deliver nothing, so time windows are measured from a moment
/// when something was playing. An arrival time includes the monitor path's own latency.
class MonitorRecorder {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr unsigned kRate = 44100;

    /// Records from the sound server named by `server` (null: the one PULSE_SERVER names)
    /// in fragments of `fragmentFrames` (10 ms unless said otherwise).
    explicit MonitorRecorder(const char* server = nullptr, size_t fragmentFrames = kRate / 100);
    ~MonitorRecorder();
    MonitorRecorder(const MonitorRecorder&) = delete;
    MonitorRecorder& operator=(const MonitorRecorder&) = delete;

    /// Empty when recording works; otherwise what went wrong.
    const std::string& Error() const { return error; }
    size_t FragmentFrames() const { return fragmentFrames; }

    // Samples, counted from the start of the recording.
    size_t SampleCount();
    /// Waits until at least `count` samples have been recorded (false: recording stopped).
    bool AwaitSamples(size_t count);
    std::vector<float> Samples();
    /// The RMS of the samples [from, from + length), as recorded so far.
    double Rms(size_t from, size_t length);
    /// Waits until a 100 ms window after `from` carries more than `threshold` RMS; returns
    /// the sample count at that moment, or 0 if it did not happen within `limitSeconds`.
    size_t AwaitSound(size_t from, double threshold, double limitSeconds);

    // Arrival times of fragments; a fragment is loud when a sample in it is above
    // `threshold` (full scale 1).
    /// Waits until fragments arrive steadily (the monitor path takes a while to start
    /// delivering); false if that did not happen within `limit`.
    bool AwaitFlowing(Clock::duration limit);
    /// Empty when recording works and fragments arrive steadily within `limit`; else why not.
    std::string AwaitRecording(Clock::duration limit);
    /// The arrival of the first loud fragment that arrived after `from`, waiting for it
    /// until `limit`.
    std::optional<Clock::time_point> FirstLoudAfter(Clock::time_point from, Clock::time_point limit, float threshold);
    /// The arrival of the last loud fragment that arrived up to `to` (waits until then).
    std::optional<Clock::time_point> LastLoudUpTo(Clock::time_point to, float threshold);
    /// The first sample of the first fragment that arrived after `moment` (waits until one
    /// has); SampleCount() at the time if none came within a second.
    size_t FirstSampleAfter(Clock::time_point moment);
    /// The gaps between fragment arrivals so far, in milliseconds, sorted: how finely the
    /// monitor lets these times be told apart.
    std::vector<double> ArrivalGapsMs();

private:
    void Record();
    bool IsLoud(size_t fragment, float threshold) const;  // with the lock held

    size_t fragmentFrames;
    std::string error;
    void* stream = nullptr;  // the pa_simple recording stream
    std::atomic<bool> running{true};
    std::mutex lock;
    std::vector<float> samples;
    std::vector<Clock::time_point> arrivals;  // one per fragment
    std::thread reader;
};

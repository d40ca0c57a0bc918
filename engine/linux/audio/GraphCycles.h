#pragma once
// When a sound server whose graph reads audio a cycle at a time (PipeWire's PulseAudio
// service) will next read our stream, told by the requests for more that it sends right
// after a cycle has read: a cut-off's fade is written where the graph has not read yet,
// and no further ahead.
#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>

/// What the graph reads, and when. Each request for more audio comes right after a cycle
/// has read, once what is missing reaches the stream's request size: every cycle, or every
/// few when the cycle is shorter than a request. The cycle the stream's own latency allows
/// tells which, and the requests' times tell when the cycles fall. Not for two threads.
class GraphCycles {
public:
    using Clock = std::chrono::steady_clock;

    /// `cycleFrames`: the longest cycle the stream's latency allows; `requestFrames`: the
    /// stream's request size; both in the stream's frames at `rate`.
    GraphCycles(int64_t cycleFrames, int64_t requestFrames, unsigned rate);

    /// A request for more came `at`.
    void Requested(Clock::time_point at);

    /// How far past the read index a server reported between `asked` and `answered` the
    /// fade must start so that no cycle reads old audio in front of it by the time a write
    /// sent then `arrives`. `known` says whether the cycles' times were known; when they
    /// are not, the answer is one whole cycle (or request), and the caller adds the way
    /// there.
    struct Ahead {
        int64_t frames;
        bool known;
    };
    Ahead Before(Clock::time_point asked, Clock::time_point arrives) const;

    /// What a moment's uncertainty costs: a cycle this soon after the write arrives is
    /// counted as one before it.
    static constexpr std::chrono::microseconds kGuard{250};

private:
    /// The time between requests (their median), and whether they come regularly.
    bool Period(Clock::duration* period) const;
    /// The time between cycles and the frames each reads, for requests `period` apart.
    bool Cycle(Clock::duration period, Clock::duration* every, int64_t* frames) const;

    const int64_t cycleFrames;
    const int64_t requestFrames;
    const unsigned rate;
    std::array<Clock::time_point, 8> requests{};  // the latest ones, oldest first once full
    size_t count = 0;                             // how many came
};

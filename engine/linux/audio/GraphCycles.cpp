#include "GraphCycles.h"

#include <algorithm>
#include <cmath>

GraphCycles::GraphCycles(int64_t cycleFrames, int64_t requestFrames, unsigned rate)
    : cycleFrames(std::max<int64_t>(1, cycleFrames)), requestFrames(std::max<int64_t>(1, requestFrames)), rate(rate) {}

void GraphCycles::Requested(Clock::time_point at) {
    if (count < requests.size()) {
        requests[count++] = at;
        return;
    }
    std::rotate(requests.begin(), requests.begin() + 1, requests.end());
    requests.back() = at;
    ++count;
}

bool GraphCycles::Period(Clock::duration* period) const {
    const size_t kept = std::min(count, requests.size());
    if (kept < 2) return false;
    std::array<Clock::duration, 7> intervals{};
    for (size_t i = 1; i < kept; ++i) intervals[i - 1] = requests[i] - requests[i - 1];
    std::sort(intervals.begin(), intervals.begin() + static_cast<long>(kept - 1));
    *period = intervals[(kept - 1) / 2];
    if (kept < 4 || *period <= Clock::duration::zero()) return false;
    // Most close to the median: one request held up (the main loop busy a moment) and the
    // next one soon after it spoil only two.
    const double median = std::chrono::duration<double>(*period).count();
    size_t close = 0;
    for (size_t i = 0; i + 1 < kept; ++i) close += std::abs(std::chrono::duration<double>(intervals[i]).count() - median) <= 0.15 * median;
    return 2 * close > kept - 1;
}

bool GraphCycles::Cycle(Clock::duration period, Clock::duration* every, int64_t* frames) const {
    // A request comes once a request's worth is missing: after ceil(request / cycle)
    // cycles of the length the latency allows. A period that fits it is cycles of that
    // length; one as long as a request or more, and not that, is one cycle of its own
    // (the graph runs slower than the stream asked, as a larger smallest cycle makes it).
    const double periodFrames = std::chrono::duration<double>(period).count() * rate;
    const int64_t perRequest = (requestFrames + cycleFrames - 1) / cycleFrames;
    if (std::abs(periodFrames - static_cast<double>(perRequest * cycleFrames)) <= 0.1 * periodFrames) {
        *every = period / perRequest;
        *frames = cycleFrames;
        return true;
    }
    if (periodFrames >= static_cast<double>(requestFrames)) {
        *every = period;
        *frames = static_cast<int64_t>(std::ceil(periodFrames));
        return true;
    }
    return false;
}

GraphCycles::Ahead GraphCycles::Before(Clock::time_point asked, Clock::time_point arrives) const {
    Clock::duration period{}, every{};
    int64_t frames = 0;
    const bool regular = Period(&period);
    const Clock::time_point last = count > 0 ? requests[std::min(count, requests.size()) - 1] : Clock::time_point{};
    if (!regular || !Cycle(period, &every, &frames) || arrives - last > 4 * period) {
        // Not known when: a whole cycle, as long as the requests have shown one may be
        // (a graph's cycle is at most eight of the latency's: 2048 frames at 48 kHz).
        const auto periodFrames = static_cast<int64_t>(std::ceil(std::chrono::duration<double>(period).count() * rate));
        return {std::clamp(count >= 2 ? periodFrames : 0, cycleFrames, 8 * cycleFrames), false};
    }
    // Requests come a little after their cycles, some later than others: the cycles fall
    // where the least late of them puts them, a whole number of periods apart.
    const size_t kept = std::min(count, requests.size());
    Clock::duration earliest = Clock::duration::zero();
    for (size_t i = 0; i < kept; ++i) {
        Clock::duration offset = (requests[i] - last) % period;
        if (offset > period / 2) offset -= period;
        if (offset < -period / 2) offset += period;
        earliest = std::min(earliest, offset);
    }
    // The cycles counted where they fall between the read index being taken and the write
    // arriving (a cycle before the read index was taken is in it already): each may read
    // a cycle's frames in front of the fade. A cycle is put no earlier than it may be, so
    // the margin is after the write's arrival.
    const Clock::time_point to = arrives + kGuard;
    int64_t cycles = 0;
    for (Clock::time_point cycle = last + earliest; cycle <= to; cycle += every)
        if (cycle > asked) ++cycles;
    return {cycles * frames, true};
}

// Where a cut-off's fade starts on a server whose graph reads a cycle at a time: past each
// cycle that falls between the read index being taken and the write arriving, and past
// no other; a whole cycle where the requests do not show when the cycles fall.
#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "engine/linux/audio/GraphCycles.h"

namespace {

using Clock = GraphCycles::Clock;
using std::chrono::microseconds;

TEST(GraphCycles, TheFadeStartsPastTheCyclesBeforeTheWriteArrives) {
    // PipeWire at 48 kHz reading 256 frames (235 at 44.1 kHz, 5333 us) a cycle; a request
    // of 441 frames comes every second cycle, a little after it.
    constexpr int64_t kCycle = 236, kRequest = 441;
    const microseconds cycle{5333};
    struct Case {
        const char* name;
        std::vector<int> lateBy;      // each request's delay after its cycle, us
        microseconds cycleEvery;      // how often the graph really cycles
        int perRequest;               // cycles between requests
        microseconds askedAfterLast;  // the read index asked for this long after the last cycle
        int64_t frames;  // -1: a whole cycle at least
        bool known;
    };
    const Case cases[] = {
        {"the next cycle falls after the write", {40, 60, 40, 50, 40, 45}, cycle, 2, microseconds(1500), 0, true},
        {"the next cycle falls before the write", {40, 60, 40, 50, 40, 45}, cycle, 2, microseconds(5000), kCycle, true},
        {"one request held up, the cycles still known", {40, 2000, 40, 50, 40, 45}, cycle, 2, microseconds(1500), 0, true},
        {"the last request held up, the cycles where the others put them", {40, 60, 40, 50, 40, 1500}, cycle, 2,
         microseconds(4850), kCycle, true},
        {"a graph slower than the latency asks", {40, 60, 40, 50, 40, 45}, 4 * cycle, 1, microseconds(21000), 941, true},
        {"too few requests", {40, 40}, cycle, 2, microseconds(1500), -1, false},
        {"requests all over the place", {40, 3000, 40, 4500, 200, 2500, 40}, cycle, 2, microseconds(1500), -1, false},
    };
    for (const Case& c : cases) {
        GraphCycles cycles(kCycle, kRequest, 44100);
        const Clock::time_point start = Clock::now();
        Clock::time_point lastCycle = start;
        for (size_t i = 0; i < c.lateBy.size(); ++i) {
            lastCycle = start + c.cycleEvery * static_cast<int>(i * c.perRequest);
            cycles.Requested(lastCycle + microseconds(c.lateBy[i]));
        }
        const Clock::time_point asked = lastCycle + c.askedAfterLast;
        const GraphCycles::Ahead ahead = cycles.Before(asked, asked + microseconds(300));
        EXPECT_EQ(ahead.known, c.known) << c.name;
        if (c.frames < 0) EXPECT_GE(ahead.frames, kCycle) << c.name;
        else EXPECT_EQ(ahead.frames, c.frames) << c.name;
    }
}

}  // namespace

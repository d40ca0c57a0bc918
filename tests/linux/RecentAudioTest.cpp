#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "engine/linux/audio/DeviceConnection.h"

namespace {

using devicequeue::kFadeFrames;
using devicequeue::kSilenceAfterFadeFrames;

// What replaces the queue at a cut-off starts where the queued audio is, falls without a
// step to silence within the fade, and stays silent; wherever the ring has wrapped.
TEST(RecentAudio, ACutFadesOutTheAudioQueuedAtItsPosition) {
    struct Case {
        const char* name;
        size_t capacity, appended;
        int64_t cutBack;  // how far before the end the cut comes
    };
    for (const Case& c : {Case{"no wrap", 4000, 3000, 1000}, Case{"wrapped", 1000, 3500, 600},
                          Case{"less queued than the fade", 4000, 3000, 40}}) {
        SCOPED_TRACE(c.name);
        RecentAudio recent(c.capacity);
        std::vector<int16_t> ramp(c.appended);
        for (size_t i = 0; i < ramp.size(); ++i) ramp[i] = static_cast<int16_t>(i % 20000 + 1000);
        for (size_t at = 0; at < ramp.size(); at += 700) recent.Append(ramp.data() + at, std::min<size_t>(700, ramp.size() - at));
        ASSERT_EQ(recent.End(), static_cast<int64_t>(c.appended));
        const int64_t from = recent.End() - c.cutBack;
        ASSERT_GE(from, recent.Start());
        std::vector<int16_t> replacement = recent.FadeFrom(from);
        ASSERT_EQ(replacement.size(), size_t{kFadeFrames + kSilenceAfterFadeFrames});
        EXPECT_NEAR(replacement[0], ramp[static_cast<size_t>(from)], ramp[static_cast<size_t>(from)] * 0.01);
        for (size_t i = 1; i < replacement.size(); ++i) {
            EXPECT_LE(replacement[i], replacement[i - 1] + 30) << i;  // the ramp rises by one a frame
            if (i >= kFadeFrames || static_cast<int64_t>(i) >= c.cutBack) {
                EXPECT_EQ(replacement[i], 0) << i;
            }
        }
        // The last third of the fade is quiet: no click where the silence begins.
        if (c.cutBack >= static_cast<int64_t>(kFadeFrames)) {
            EXPECT_LT(std::abs(replacement[kFadeFrames * 2 / 3]), ramp[static_cast<size_t>(from)] / 10);
        }
    }
}

TEST(RecentAudio, ACutForgetsWhatItReplaced) {
    RecentAudio recent(100);
    std::vector<int16_t> samples(80, 7);
    recent.Append(samples.data(), samples.size());
    recent.CutAt(50);
    EXPECT_EQ(recent.End(), 50);
    recent.CutAt(-5);  // never before what is known
    EXPECT_EQ(recent.End(), recent.Start());
}

}  // namespace

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "engine/linux/audio/AudioPipeline.h"

namespace {

using Encoding = SampleLayout::Encoding;

SampleLayout FloatLayout(DWORD rate, WORD channels) { return {Encoding::Float32, channels, rate, 4}; }

std::vector<float> Sine(double frequency, DWORD rate, size_t frames, WORD channels, double amplitude) {
    std::vector<float> samples;
    for (size_t i = 0; i < frames; ++i)
        for (WORD c = 0; c < channels; ++c)
            samples.push_back(static_cast<float>(amplitude * std::sin(2 * M_PI * frequency * i / rate)));
    return samples;
}

/// Keeps what it is given, in its layout, and how it was handed over.
class CollectingSink : public AudioSink {
public:
    explicit CollectingSink(SampleLayout layout, bool realTime = true, size_t pieceFrames = 0)
        : layout(layout), realTime(realTime), pieceFrames(pieceFrames) {}

    SampleLayout Layout() const override { return layout; }
    size_t PieceFrames() const override { return pieceFrames; }
    bool PlaysInRealTime() const override { return realTime; }
    HRESULT Write(const void* samples, size_t frames) override {
        const auto* at = static_cast<const BYTE*>(samples);
        bytes.insert(bytes.end(), at, at + frames * layout.BytesPerFrame());
        writes.push_back(frames);
        return S_OK;
    }
    void Discard() override { discarded = true; }

    std::vector<float> Floats() const {
        std::vector<float> floats(bytes.size() / sizeof(float));
        std::memcpy(floats.data(), bytes.data(), floats.size() * sizeof(float));
        return floats;
    }

    SampleLayout layout;
    bool realTime;
    size_t pieceFrames;
    std::vector<BYTE> bytes;
    std::vector<size_t> writes;
    bool discarded = false;
};

PipelineControls Controls(float gain = 1.0f) {
    return {[gain] { return gain; }, [] { return false; }};
}

/// Sends `input` (float frames of `channels` at `rate`) through a pipeline into `sink` in
/// pieces of `piece` frames (0: all at once) and completes it.
void Convert(DWORD rate, WORD channels, const std::vector<float>& input, CollectingSink& sink, size_t piece,
             float gain = 1.0f) {
    std::unique_ptr<AudioPipeline> pipeline;
    const SampleLayout layout = FloatLayout(rate, channels);
    ASSERT_EQ(S_OK, AudioPipeline::Create(layout, AudioOrigin::Recorded, sink, Controls(gain), &pipeline));
    size_t frames = input.size() / channels;
    if (piece == 0) piece = frames;
    for (size_t at = 0; at < frames; at += piece)
        EXPECT_EQ(S_OK, pipeline->Write(input.data() + at * channels, std::min(piece, frames - at)));
    EXPECT_EQ(S_OK, pipeline->Complete(S_OK, false));
}

std::vector<float> Converted(DWORD from, WORD fromChannels, DWORD to, WORD toChannels, const std::vector<float>& input,
                             size_t piece, float gain = 1.0f) {
    CollectingSink sink(FloatLayout(to, toChannels));
    Convert(from, fromChannels, input, sink, piece, gain);
    return sink.Floats();
}

}  // namespace

TEST(AudioPipeline, EachFormatIsJoinedToTheSinksAndFormatsItCannotJoinAreRefused) {
    struct Case {
        DWORD fromRate;
        WORD fromChannels;
        DWORD toRate;
        WORD toChannels;
        HRESULT made;
    };
    const Case cases[] = {
        {44100, 1, 44100, 2, S_OK},
        {44100, 2, 44100, 1, S_OK},
        {22050, 1, 44100, 2, S_OK},
        {48000, 6, 44100, 2, S_OK},
        {0, 1, 44100, 1, SPERR_UNSUPPORTED_FORMAT},
        {44100, 0, 44100, 1, SPERR_UNSUPPORTED_FORMAT},
        {44100, 1, 0, 1, SPERR_UNSUPPORTED_FORMAT},
        {44100, 1, 44100, 0, SPERR_UNSUPPORTED_FORMAT},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.fromRate) + "/" + std::to_string(c.fromChannels) + " to " +
                     std::to_string(c.toRate) + "/" + std::to_string(c.toChannels));
        CollectingSink sink(FloatLayout(c.toRate, c.toChannels));
        std::unique_ptr<AudioPipeline> pipeline;
        EXPECT_EQ(c.made, AudioPipeline::Create(FloatLayout(c.fromRate, c.fromChannels), AudioOrigin::Recorded, sink,
                                                Controls(), &pipeline));
        EXPECT_EQ(pipeline != nullptr, c.made == S_OK);
        if (!pipeline) continue;
        // Half a second of a tone, in every channel, comes out as half a second of the same
        // tone in each of the sink's channels.
        const std::vector<float> tone = Sine(440, c.fromRate, c.fromRate / 2, c.fromChannels, 0.5);
        EXPECT_EQ(S_OK, pipeline->Write(tone.data(), c.fromRate / 2));
        EXPECT_EQ(S_OK, pipeline->Complete(S_OK, false));
        const std::vector<float> out = sink.Floats();
        EXPECT_NEAR(double(out.size()) / c.toChannels, c.toRate / 2.0, c.toRate * 0.01);
        double sum = 0;
        for (float sample : out) sum += double(sample) * sample;
        EXPECT_NEAR(std::sqrt(sum / std::max<size_t>(out.size(), 1)), 0.5 / std::sqrt(2.0), 0.02);
    }
}

// Streaming keeps the resampler's state across pieces: the result does not depend on how
// the audio was cut up, nor on whether it was converted beside the producer.
TEST(AudioPipeline, PiecesGiveTheSameResultAsTheWhole) {
    struct Case {
        DWORD from;
        DWORD to;
    };
    for (const Case c : {Case{48000, 44100}, Case{22050, 44100}, Case{96000, 44100}, Case{8000, 44100}}) {
        SCOPED_TRACE(std::to_string(c.from) + " to " + std::to_string(c.to));
        std::vector<float> input = Sine(1000, c.from, c.from, 1, 0.5);
        std::vector<float> expected = Converted(c.from, 1, c.to, 1, input, 0);
        CollectingSink besideSink(FloatLayout(c.to, 1), false);
        Convert(c.from, 1, input, besideSink, 441);
        for (const std::vector<float>& actual : {Converted(c.from, 1, c.to, 1, input, 441), besideSink.Floats()}) {
            EXPECT_EQ(actual.size(), c.to);
            ASSERT_EQ(actual.size(), expected.size());
            double worst = 0.0;
            for (size_t i = 0; i < expected.size(); ++i)
                worst = std::max(worst, std::fabs(double(actual[i]) - expected[i]));
            EXPECT_LT(worst, 1e-6);
        }
    }
}

TEST(AudioPipeline, MixesChannelsDownByAveragingAndUpByCopying) {
    struct Case {
        WORD from;
        WORD to;
        std::vector<float> frame;
        std::vector<float> expected;
    };
    const Case cases[] = {
        {2, 1, {0.2f, 0.6f}, {0.4f}},
        {1, 2, {0.3f}, {0.3f, 0.3f}},
        {4, 2, {0.1f, 0.2f, 0.3f, 0.4f}, {0.2f, 0.3f}},
        {3, 1, {0.3f, 0.3f, 0.6f}, {0.4f}},
        {2, 2, {0.1f, -0.2f}, {0.1f, -0.2f}},
        {2, 3, {0.1f, -0.2f}, {0.1f, -0.2f, 0.1f}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.from) + " to " + std::to_string(c.to) + " channels");
        std::vector<float> out = Converted(16000, c.from, 16000, c.to, c.frame, 0);
        ASSERT_EQ(out.size(), c.expected.size());
        for (size_t i = 0; i < out.size(); ++i) EXPECT_FLOAT_EQ(out[i], c.expected[i]);
    }
}

// Resampling runs at the lower channel count, folding before it and spreading after it:
// the result is the mono conversion's, whichever side has the channels.
TEST(AudioPipeline, ChannelsMixedAroundResamplingGiveTheMonoResult) {
    std::vector<float> mono = Sine(1000, 48000, 4800, 1, 0.5);
    std::vector<float> expected = Converted(48000, 1, 44100, 1, mono, 0);
    std::vector<float> folded = Converted(48000, 2, 44100, 1, Sine(1000, 48000, 4800, 2, 0.5), 1000);
    std::vector<float> spread = Converted(48000, 1, 44100, 2, mono, 1000);
    ASSERT_EQ(folded.size(), expected.size());
    ASSERT_EQ(spread.size(), 2 * expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_NEAR(folded[i], expected[i], 1e-6);
        EXPECT_NEAR(spread[2 * i], expected[i], 1e-6);
        EXPECT_NEAR(spread[2 * i + 1], expected[i], 1e-6);
    }
}

// The encode stage writes the sink's own bytes, spread to its channels; the input's bytes
// are decoded first.
TEST(AudioPipeline, InputIsDecodedAndOutputEncodedInTheirLayouts) {
    struct Case {
        const char* name;
        SampleLayout input;
        std::vector<BYTE> bytes;
        SampleLayout output;
        std::vector<BYTE> expected;
    };
    const Case cases[] = {
        {"16-bit mono into 8-bit stereo", {Encoding::Pcm16, 1, 8000, 2}, {0x00, 0x40, 0x00, 0xC0},
         {Encoding::UnsignedPcm8, 2, 8000, 1}, {192, 192, 64, 64}},
        {"8-bit stereo into 16-bit mono", {Encoding::UnsignedPcm8, 2, 8000, 1}, {192, 128, 0, 0},
         {Encoding::Pcm16, 1, 8000, 2}, {0x00, 0x20, 0x00, 0x80}},
        {"mu-law into A-law", {Encoding::MuLaw, 1, 8000, 1}, {0xFF, 0x80, 0x00}, {Encoding::ALaw, 1, 8000, 1},
         {0xD5, 0xAA, 0x2A}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CollectingSink sink(c.output);
        std::unique_ptr<AudioPipeline> pipeline;
        ASSERT_EQ(S_OK, AudioPipeline::Create(c.input, AudioOrigin::Recorded, sink, Controls(), &pipeline));
        EXPECT_EQ(S_OK, pipeline->Write(c.bytes.data(), c.bytes.size() / c.input.BytesPerFrame()));
        EXPECT_EQ(S_OK, pipeline->Complete(S_OK, false));
        EXPECT_EQ(sink.bytes, c.expected);
    }
}

// However far apart the rates are, output comes in bounded pieces, written in the sink's
// own piece size, and work called off stops at once and has the sink drop what it holds.
TEST(AudioPipeline, OutputComesInBoundedPiecesAndCallingItOffStopsIt) {
    const std::vector<float> input(4, 0.25f);
    struct Case {
        const char* name;
        size_t sinkPiece;
        size_t largest;
    };
    for (const Case& c : {Case{"no piece size", 0, PipelineStages::kMaxPieceFrames}, Case{"2 ms pieces", 88, 88}}) {
        SCOPED_TRACE(c.name);
        CollectingSink sink(FloatLayout(44100, 1), true, c.sinkPiece);
        Convert(1, 1, input, sink, 0);
        EXPECT_LE(*std::max_element(sink.writes.begin(), sink.writes.end()), c.largest);
        EXPECT_NEAR(static_cast<double>(sink.bytes.size() / 4), 4 * 44100.0, 2.0);
    }

    CollectingSink sink(FloatLayout(44100, 1));
    PipelineControls controls{[] { return 1.0f; }, [&sink] { return !sink.writes.empty(); }};
    std::unique_ptr<AudioPipeline> pipeline;
    ASSERT_EQ(S_OK, AudioPipeline::Create(FloatLayout(1, 1), AudioOrigin::Recorded, sink, controls, &pipeline));
    HRESULT hr = pipeline->Write(input.data(), input.size());
    EXPECT_TRUE(hr == S_OK || hr == S_FALSE);  // the filter may hold it all until the end
    EXPECT_EQ(S_OK, pipeline->Complete(hr, false));
    EXPECT_EQ(sink.writes.size(), 1u);
    EXPECT_TRUE(sink.discarded);
}

TEST(AudioPipeline, GainScalesAndTheResultIsClipped) {
    const std::vector<float> input = {0.25f, -0.5f, 0.9f, -0.9f};
    struct Case {
        float gain;
        std::vector<float> expected;
    };
    for (const Case& c : {Case{0.5f, {0.125f, -0.25f, 0.45f, -0.45f}}, Case{2.0f, {0.5f, -1.0f, 1.0f, -1.0f}},
                          Case{0.0f, {0.0f, 0.0f, 0.0f, 0.0f}}}) {
        SCOPED_TRACE(c.gain);
        EXPECT_EQ(Converted(8000, 1, 8000, 1, input, 0, c.gain), c.expected);
    }
}

// The resampled tone keeps its level, and nothing but the tone stands out: the filter's
// own error stays far below it.
TEST(AudioPipeline, ResamplingAddsNoAudibleError) {
    const DWORD from = 48000;
    const DWORD to = 44100;
    std::vector<float> out = Converted(from, 1, to, 1, Sine(1000, from, from, 1, 0.5), 4096);
    ASSERT_EQ(out.size(), to);
    std::vector<float> ideal = Sine(1000, to, to, 1, 0.5);
    double error = 0.0;
    double signal = 0.0;
    for (size_t i = to / 4; i < to * 3 / 4; ++i) {
        error += (double(out[i]) - ideal[i]) * (double(out[i]) - ideal[i]);
        signal += double(ideal[i]) * ideal[i];
    }
    EXPECT_LT(10 * std::log10(error / signal), -90.0);
}

namespace {

/// How often a tone crosses zero upwards, per second: its frequency.
double ToneFrequency(const std::vector<float>& samples, DWORD rate) {
    size_t crossings = 0;
    for (size_t i = 1; i < samples.size(); ++i) crossings += samples[i - 1] < 0 && samples[i] >= 0 ? 1 : 0;
    return double(crossings) * rate / double(samples.size());
}

}  // namespace

// Speech sped up by the time-scale stage lasts that much less and keeps its pitch, whether
// it is resampled after or not; slowed down, it lasts longer.
TEST(AudioPipeline, TimeScalingChangesTheLengthAndKeepsThePitch) {
    const DWORD from = 16000;
    const std::vector<float> tone = Sine(200, from, from * 2, 1, 0.5);
    for (DWORD to : {DWORD{16000}, DWORD{44100}}) {
        for (float speed : {2.0f, 0.75f}) {
            SCOPED_TRACE(std::to_string(to) + " Hz, speed " + std::to_string(speed));
            CollectingSink sink(FloatLayout(to, 1));
            PipelineControls controls = Controls();
            controls.speed = speed;
            std::unique_ptr<AudioPipeline> pipeline;
            ASSERT_EQ(S_OK, AudioPipeline::Create(FloatLayout(from, 1), AudioOrigin::Synthesized, sink, controls, &pipeline));
            for (size_t at = 0; at < tone.size(); at += 1000)
                ASSERT_EQ(S_OK, pipeline->Write(tone.data() + at, std::min<size_t>(1000, tone.size() - at)));
            ASSERT_EQ(S_OK, pipeline->Complete(S_OK, false));
            std::vector<float> out = sink.Floats();
            EXPECT_NEAR(double(out.size()) / to, 2.0 / speed, 0.05 * 2.0 / speed);
            EXPECT_NEAR(ToneFrequency(out, to), 200.0, 5.0);
        }
    }
}

// A synthesizer's loudness comes with its samples and scales exactly them, before the gain.
TEST(AudioPipeline, AWritesLevelScalesItsOwnSamples) {
    CollectingSink sink(FloatLayout(8000, 1));
    std::unique_ptr<AudioPipeline> pipeline;
    ASSERT_EQ(S_OK, AudioPipeline::Create(FloatLayout(8000, 1), AudioOrigin::Synthesized, sink, Controls(0.5f), &pipeline));
    const std::vector<float> input = {0.5f, -0.5f};
    ASSERT_EQ(S_OK, pipeline->Write(input.data(), 2, 2.4f));
    ASSERT_EQ(S_OK, pipeline->Write(input.data(), 2));
    ASSERT_EQ(S_OK, pipeline->Complete(S_OK, false));
    EXPECT_EQ(sink.Floats(), (std::vector<float>{0.6f, -0.6f, 0.25f, -0.25f}));
}

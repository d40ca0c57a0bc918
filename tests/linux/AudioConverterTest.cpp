#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/linux/audio/AudioConverter.h"

namespace {

std::vector<float> Sine(double frequency, DWORD rate, size_t frames, WORD channels, double amplitude) {
    std::vector<float> samples;
    for (size_t i = 0; i < frames; ++i)
        for (WORD c = 0; c < channels; ++c)
            samples.push_back(static_cast<float>(amplitude * std::sin(2 * M_PI * frequency * i / rate)));
    return samples;
}

/// A handler that appends what it is given to `all`, in output frames of `channels`.
AudioConverter::FrameHandler AppendTo(std::vector<float>& all, WORD channels) {
    return [&all, channels](const float* frames, size_t count) {
        all.insert(all.end(), frames, frames + count * channels);
        return S_OK;
    };
}

/// Converts `input` in pieces of `piece` frames (0: all at once) and flushes.
std::vector<float> ConvertInPieces(AudioConverter& converter, const std::vector<float>& input, WORD channels,
                                   size_t piece, float gain = 1.0f) {
    std::vector<float> all;
    size_t frames = input.size() / channels;
    if (piece == 0) piece = frames;
    auto append = AppendTo(all, converter.OutputChannels());
    for (size_t at = 0; at < frames; at += piece)
        EXPECT_EQ(S_OK, converter.Convert(input.data() + at * channels, std::min(piece, frames - at), gain, append));
    EXPECT_EQ(S_OK, converter.Flush(gain, append));
    return all;
}

}  // namespace

// Streaming keeps the resampler's state across pieces: the result does not depend on how
// the audio was cut up.
TEST(AudioConverter, PiecesGiveTheSameResultAsTheWhole) {
    struct Case {
        DWORD from;
        DWORD to;
    };
    for (const Case c : {Case{48000, 44100}, Case{22050, 44100}, Case{96000, 44100}, Case{8000, 44100}}) {
        SCOPED_TRACE(std::to_string(c.from) + " to " + std::to_string(c.to));
        std::vector<float> input = Sine(1000, c.from, c.from, 1, 0.5);
        AudioConverter whole(c.from, 1, c.to, 1);
        AudioConverter pieces(c.from, 1, c.to, 1);
        std::vector<float> expected = ConvertInPieces(whole, input, 1, 0);
        std::vector<float> actual = ConvertInPieces(pieces, input, 1, 441);
        EXPECT_EQ(actual.size(), c.to);
        ASSERT_EQ(actual.size(), expected.size());
        double worst = 0.0;
        for (size_t i = 0; i < expected.size(); ++i) worst = std::max(worst, std::fabs(double(actual[i]) - expected[i]));
        EXPECT_LT(worst, 1e-6);
    }
}

TEST(AudioConverter, MixesChannelsDownByAveragingAndUpByCopying) {
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
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.from) + " to " + std::to_string(c.to) + " channels");
        AudioConverter converter(16000, c.from, 16000, c.to);
        std::vector<float> out;
        converter.Convert(c.frame.data(), 1, 1.0f, AppendTo(out, c.to));
        ASSERT_EQ(out.size(), c.expected.size());
        for (size_t i = 0; i < out.size(); ++i) EXPECT_FLOAT_EQ(out[i], c.expected[i]);
    }
}

// Resampling runs at the lower channel count, folding before it and spreading after it:
// the result is the mono conversion's, whichever side has the channels.
TEST(AudioConverter, ChannelsMixedAroundResamplingGiveTheMonoResult) {
    std::vector<float> mono = Sine(1000, 48000, 4800, 1, 0.5);
    AudioConverter reference(48000, 1, 44100, 1);
    std::vector<float> expected = ConvertInPieces(reference, mono, 1, 0);
    AudioConverter down(48000, 2, 44100, 1);
    std::vector<float> folded = ConvertInPieces(down, Sine(1000, 48000, 4800, 2, 0.5), 2, 1000);
    AudioConverter up(48000, 1, 44100, 2);
    std::vector<float> spread = ConvertInPieces(up, mono, 1, 1000);
    ASSERT_EQ(folded.size(), expected.size());
    ASSERT_EQ(spread.size(), 2 * expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_NEAR(folded[i], expected[i], 1e-6);
        EXPECT_NEAR(spread[2 * i], expected[i], 1e-6);
        EXPECT_NEAR(spread[2 * i + 1], expected[i], 1e-6);
    }
}

// However far apart the rates are, output comes in bounded pieces and a failing handler
// stops the conversion at once.
TEST(AudioConverter, OutputComesInBoundedPiecesAndAHandlerCanStopIt) {
    AudioConverter converter(1, 1, 44100, 1);
    std::vector<float> input(4, 0.25f);
    size_t largest = 0;
    size_t total = 0;
    auto measure = [&](const float*, size_t count) {
        largest = std::max(largest, count);
        total += count;
        return S_OK;
    };
    EXPECT_EQ(S_OK, converter.Convert(input.data(), input.size(), 1.0f, measure));
    EXPECT_EQ(S_OK, converter.Flush(1.0f, measure));
    EXPECT_LE(largest, AudioConverter::kMaxPieceFrames);
    EXPECT_NEAR(static_cast<double>(total), 4 * 44100.0, 2.0);

    AudioConverter stopped(1, 1, 44100, 1);
    size_t calls = 0;
    auto refuse = [&](const float*, size_t) { return ++calls, S_FALSE; };
    HRESULT hr = stopped.Convert(input.data(), input.size(), 1.0f, refuse);
    if (hr == S_OK) hr = stopped.Flush(1.0f, refuse);  // the filter may hold it all until the end
    EXPECT_EQ(S_FALSE, hr);
    EXPECT_EQ(calls, 1u);
}

TEST(AudioConverter, GainScalesAndTheResultIsClipped) {
    const std::vector<float> input = {0.25f, -0.5f, 0.9f, -0.9f};
    struct Case {
        float gain;
        std::vector<float> expected;
    };
    for (const Case& c : {Case{0.5f, {0.125f, -0.25f, 0.45f, -0.45f}}, Case{2.0f, {0.5f, -1.0f, 1.0f, -1.0f}},
                          Case{0.0f, {0.0f, 0.0f, 0.0f, 0.0f}}}) {
        SCOPED_TRACE(c.gain);
        AudioConverter converter(8000, 1, 8000, 1);
        std::vector<float> out;
        converter.Convert(input.data(), input.size(), c.gain, AppendTo(out, 1));
        EXPECT_EQ(out, c.expected);
    }
}

// The resampled tone keeps its level, and nothing but the tone stands out: the filter's
// own error stays far below it.
TEST(AudioConverter, ResamplingAddsNoAudibleError) {
    const DWORD from = 48000;
    const DWORD to = 44100;
    AudioConverter converter(from, 1, to, 1);
    std::vector<float> out = ConvertInPieces(converter, Sine(1000, from, from, 1, 0.5), 1, 4096);
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

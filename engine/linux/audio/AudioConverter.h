#pragma once
#include <cstddef>
#include <functional>
#include <vector>

#include <soxr.h>

#include "engine/linux/com/Com.h"

/// The one road every piece of audio takes to an output: float samples in, their channels
/// mixed to the output's, resampled to the output's rate (libsoxr, high quality,
/// streaming), scaled by the gain and clipped to -1..1. Resampling runs at the lower of
/// the two channel counts: many channels are folded before it, one is spread after it.
/// The converted frames are handed out in pieces of at most kMaxPieceFrames, however far
/// apart the rates are, so memory stays bounded whatever a file's header claims. It keeps
/// the resampler's state between calls, so one converter carries one utterance or one
/// stream; Flush() hands out what the resampler still holds at its end.
class AudioConverter {
public:
    /// Takes one piece of converted frames; anything but S_OK stops the conversion, and
    /// Convert or Flush returns it.
    using FrameHandler = std::function<HRESULT(const float* frames, size_t count)>;
    static constexpr size_t kMaxPieceFrames = 8192;

    AudioConverter(DWORD inputRate, WORD inputChannels, DWORD outputRate, WORD outputChannels);
    ~AudioConverter();
    AudioConverter(const AudioConverter&) = delete;
    AudioConverter& operator=(const AudioConverter&) = delete;

    /// False when the resampler could not be made; Convert then produces nothing.
    bool IsReady() const { return ready; }

    /// Converts `frames` interleaved input frames, handing `deliver` what is ready so far.
    HRESULT Convert(const float* input, size_t frames, float gain, const FrameHandler& deliver);
    /// Hands `deliver` the frames still inside the resampler, converted with `gain`.
    HRESULT Flush(float gain, const FrameHandler& deliver);

    /// The most input frames that one call hands out as a single piece (for input offered
    /// at once): a caller that converts no more at a time gets one gain per piece.
    size_t InputFramesPerPiece() const;
    WORD InputChannels() const { return inputChannels; }
    WORD OutputChannels() const { return outputChannels; }

private:
    /// The input at the resampling channel count: `input` itself, or its channels folded.
    const float* FoldChannels(const float* input, size_t frames);
    /// Resamples frames at the resampling channel count (null input: the end) and hands
    /// the result on in bounded pieces.
    HRESULT Resample(const float* input, size_t frames, float gain, const FrameHandler& deliver);
    /// Spreads resampled frames to the output's channels, applies the gain, hands them on.
    HRESULT Finish(const float* frames, size_t count, float gain, const FrameHandler& deliver);

    DWORD inputRate;
    WORD inputChannels;
    DWORD outputRate;
    WORD outputChannels;
    WORD resampledChannels;
    soxr_t resampler = nullptr;  // null when the rates are equal: the samples pass through
    bool ready = true;
    std::vector<float> foldCounts;  // how many input channels fold into each output channel
    std::vector<float> folded;
    std::vector<float> resampled;
    std::vector<float> piece;
};

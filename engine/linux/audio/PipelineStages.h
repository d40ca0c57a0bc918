#pragma once
#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

#include <sonic.h>
#include <soxr.h>

#include "AudioSink.h"

/// What the audio a pipeline carries is, which says how finely it is resampled. A
/// synthesizer makes 16-bit speech, and libsoxr's 16-bit precision (its medium quality)
/// loses nothing of it for a fifth less work than its high quality (20 bits), which a
/// recording keeps.
enum class AudioOrigin { Synthesized, Recorded };

/// What an AudioPipeline asks of the work it carries, while it runs.
struct PipelineControls {
    /// The gain for the next piece, read for every piece so that a change reaches audio
    /// already queued.
    std::function<float()> gain;
    /// Whether the work has been called off; asked before every write to the sink.
    std::function<bool()> cancelled;
    /// How many times as fast the audio is to be heard, its pitch kept (libsonic): fast
    /// speech is understood better synthesized at a natural pace and then sped up.
    float speed = 1.0f;
};

/// The stages decoded frames take to a sink, on whichever thread converts: channels
/// folded (many into fewer, by averaging), resampled (libsoxr, streaming, as finely as the
/// audio's origin asks),
/// time-scaled (libsonic, where the work asks for another speed), the gain applied and the
/// result clipped to -1..1, channels spread (one into many) and
/// encoded straight into the sink's layout, then written in the sink's piece size.
/// Resampling runs at the lower of the two channel counts. Which stages run (the path)
/// is fixed when it is made. However far apart the rates are, the stages hand on pieces
/// of at most kMaxPieceFrames, so memory stays bounded whatever a header claims, and the
/// gain is read for each piece. The resampler keeps its state between calls: one object
/// carries one utterance or one stream.
class PipelineStages {
public:
    static constexpr size_t kMaxPieceFrames = 8192;

    /// SPERR_UNSUPPORTED_FORMAT when a rate or channel count is 0 or the resampler cannot
    /// be made for the two rates.
    static HRESULT Create(DWORD inputRate, WORD inputChannels, AudioOrigin origin, AudioSink& sink,
                          PipelineControls controls, std::unique_ptr<PipelineStages>* made);
    ~PipelineStages();
    PipelineStages(const PipelineStages&) = delete;
    PipelineStages& operator=(const PipelineStages&) = delete;

    /// Takes `frames` decoded input frames through the stages; the samples may be changed
    /// in place. S_OK; S_FALSE once the work is called off; else the sink's or the
    /// resampler's failure.
    HRESULT Convert(float* decoded, size_t frames);
    /// Hands on what the resampler still holds at the end of the work.
    HRESULT Flush();

    /// The most input frames that one call hands on as a single piece: whoever converts no
    /// more at a time gets one reading of the gain per piece.
    size_t InputFramesPerPiece() const;

private:
    enum class Path {
        GainOnly,         // equal rates, no channels to fold (one may be spread)
        Fold,             // equal rates, channels folded
        Resample,         // rates differ, no channels to fold
        FoldAndResample,  // rates differ, channels folded first
    };

    PipelineStages(DWORD inputRate, WORD inputChannels, AudioSink& sink, PipelineControls controls);

    /// The input at the resampling channel count.
    float* FoldChannels(const float* input, size_t frames);
    /// Takes folded frames on: time-scaled, then resampled or emitted.
    HRESULT Onward(float* input, size_t frames);
    /// Time-scales folded frames (null input: the end) and takes the result on.
    HRESULT TimeScale(float* input, size_t frames);
    /// Resamples frames at the resampling channel count (null input: the end).
    HRESULT Resample(const float* input, size_t frames);
    /// The gain, the spreading and the encoding of one piece, then its writing.
    HRESULT Emit(float* frames, size_t count);
    /// Hands the encoded piece to the sink in its piece size.
    HRESULT WriteOut(size_t count);

    DWORD inputRate;
    WORD inputChannels;
    AudioSink& sink;
    SampleLayout output;
    WORD resampledChannels;
    PipelineControls controls;
    Path path = Path::GainOnly;
    soxr_t resampler = nullptr;
    sonicStream timeScaler = nullptr;
    std::vector<float> timeScaled;
    std::vector<float> foldCounts;  // how many input channels fold into each output channel
    std::vector<float> folded;
    std::vector<float> resampled;
    // The sink's bytes; float storage, so that a sink taking floats is handed floats.
    std::vector<float> encoded;
};

#pragma once
// audio/: the AudioPipeline (this header) and what it reads, writes and encodes, as the
// README's Layout section lists. It calls only com/ and the sound libraries.
#include <cstddef>
#include <memory>
#include <vector>

#include "AudioSink.h"
#include "AudioSource.h"
#include "PipelineStages.h"

class PipelineThread;

/// One utterance's or one stream's way to a sink: its input decoded from the source's
/// layout, then the stages (fold, resample, gain, spread and encode, write) along the path
/// chosen when it is made. It is made only when it can run. For a sink that takes audio as
/// fast as it comes (a file, memory) the stages run on a thread of their own beside the
/// producer, which then only decodes; for a real-time sink, which paces the writer, and
/// when no thread can be had, they run on the producer's thread. Between the input's bytes
/// and the sink's there are at most three buffers: decoded, folded, resampled. It never
/// calls back into whoever made it except through its controls. Used from one thread.
class AudioPipeline {
public:
    /// Frames read from a source at a time.
    static constexpr size_t kReadFrames = 4096;

    /// A pipeline from `input`, of `origin`, to `sink`, which must outlive it;
    /// SPERR_UNSUPPORTED_FORMAT when the two cannot be joined.
    static HRESULT Create(const SampleLayout& input, AudioOrigin origin, AudioSink& sink, PipelineControls controls,
                          std::unique_ptr<AudioPipeline>* made);
    ~AudioPipeline();
    AudioPipeline(const AudioPipeline&) = delete;
    AudioPipeline& operator=(const AudioPipeline&) = delete;

    /// Decodes `frames` frames laid out as the input, `level` times as loud, and sends them
    /// on. S_OK; anything else says the work has stopped (S_FALSE: called off).
    HRESULT Write(const void* samples, size_t frames, float level = 1.0f);
    /// Reads up to kReadFrames frames from `source`, laid out as the input, straight into
    /// the pipeline and sends them on; `*framesRead` is 0 at the end. A read failure is
    /// returned as it is.
    HRESULT ReadFrom(AudioSource& source, size_t* framesRead);
    /// The end of the work, whose producer's result is `produced`: what is still queued or
    /// inside the resampler is handed on unless the work stopped; then the sink drops what
    /// it holds if the work was called off, or, when `waitUntilHeard`, plays it out.
    /// Returns the work's result, S_OK when it was called off.
    HRESULT Complete(HRESULT produced, bool waitUntilHeard);

private:
    AudioPipeline(const SampleLayout& input, AudioSink& sink, std::unique_ptr<PipelineStages> stages);

    /// Where the next `frames` decoded frames go.
    float* Room(size_t frames);
    /// Sends on the `frames` frames just put into the room.
    HRESULT Commit(size_t frames);

    SampleLayout input;
    AudioSink& sink;
    std::unique_ptr<PipelineStages> stages;
    std::vector<float> decoded;   // on the producer's thread when there is no thread
    std::vector<BYTE> inputBytes;  // a source's bytes before they are decoded
    std::unique_ptr<PipelineThread> thread;  // destroyed first: it uses the stages
};

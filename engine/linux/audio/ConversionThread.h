#pragma once
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "AudioConverter.h"

/// The conversion path on a thread of its own, behind a short queue: whoever makes the
/// audio (the synthesizer, a file being read) goes on making the next piece while the
/// last one is converted and written. For outputs that take audio as fast as it comes
/// (files, memory); a real-time output paces the writer anyway. The converter and the
/// handler are used on the conversion thread only, from construction to Finish(); the
/// gain is asked for when a piece is converted, so a change reaches audio already queued.
class ConversionThread {
public:
    using GainSource = std::function<float()>;

    ConversionThread(AudioConverter& converter, AudioConverter::FrameHandler deliver, GainSource gain);
    /// Waits for the thread; what is still queued is dropped.
    ~ConversionThread();
    ConversionThread(const ConversionThread&) = delete;
    ConversionThread& operator=(const ConversionThread&) = delete;

    /// Takes a copy of `frames` interleaved input frames, converted when their turn comes;
    /// small pieces are gathered into one before they are queued, so that the two threads
    /// hand over rarely. Waits while the queue is full. Returns the first result other than
    /// S_OK that the conversion has met so far (the caller then stops), else S_OK.
    HRESULT Convert(const float* input, size_t frames);
    /// Waits until everything queued has been converted, flushes the converter unless the
    /// conversion stopped, and returns the conversion's result.
    HRESULT Finish();

private:
    struct Piece {
        std::vector<float> samples;
        size_t frames = 0;
    };

    void Run();
    /// Queues the gathered piece; with the lock held.
    HRESULT Queue(std::unique_lock<std::mutex>& guard);
    /// Notes the first result other than S_OK; with the lock held.
    void Fail(HRESULT hr);

    // About three seconds of synthesized speech or a few reads of a file (256 KiB), so the
    // two sides rarely wait for each other, while memory stays small. The converting side
    // is woken only once half of it is filled (or at the end), and then takes all of it:
    // the two threads hand over a few times a second, not for every piece.
    static constexpr size_t kQueuedPieces = 32;
    static constexpr size_t kWakeAtPieces = kQueuedPieces / 2;
    // Pieces are gathered up to this many frames (about 0.1 s of synthesis) before
    // queueing, or fewer when the converter hands out more than one piece for them.
    static constexpr size_t kGatheredFrames = 2048;

    AudioConverter& converter;
    size_t gatheredFrames;
    AudioConverter::FrameHandler deliver;
    GainSource gain;
    Piece gathering;  // the producer's alone
    std::mutex lock;
    std::condition_variable dataReady;  // the converting side waits here
    std::condition_variable roomFree;   // the producer waits here
    std::deque<Piece> queue;
    std::vector<Piece> spare;  // emptied pieces, reused so that their buffers are kept
    bool ending = false;
    // The first result other than S_OK, readable by the producer without the lock.
    std::atomic<HRESULT> result{S_OK};
    std::thread worker;
};

/// One utterance's or one stream's way through the conversion path: converted on the
/// caller's thread as each piece comes, or, when asked to run beside it, on a
/// ConversionThread (on the caller's thread after all if no thread can be had).
class ConversionRun {
public:
    ConversionRun(AudioConverter& converter, AudioConverter::FrameHandler deliver, ConversionThread::GainSource gain,
                  bool beside);

    /// Converts (or queues) `frames` interleaved input frames; anything but S_OK says the
    /// conversion has stopped.
    HRESULT Convert(const float* input, size_t frames);
    /// The end of the work, whose result so far is `result`: what is still queued or inside
    /// the resampler is handed out unless the work stopped. Returns the work's result.
    HRESULT Finish(HRESULT result);

private:
    AudioConverter& converter;
    AudioConverter::FrameHandler deliver;
    ConversionThread::GainSource gain;
    std::unique_ptr<ConversionThread> thread;
};

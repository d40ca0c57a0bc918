#pragma once
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "PipelineStages.h"

/// The pipeline's stages on a thread of their own, behind a short queue of decoded input:
/// whoever makes the audio (the synthesizer, a file being read) goes on making the next
/// piece while the last one is converted and written. For outputs that take audio as fast
/// as it comes (files, memory); a real-time output paces the writer anyway. The stages are
/// used on this thread only, from construction to ConvertRemaining().
class PipelineThread {
public:
    /// Starts the thread; throws when it cannot.
    PipelineThread(PipelineStages& stages, WORD inputChannels);
    /// Waits for the thread; what is still queued is dropped.
    ~PipelineThread();
    PipelineThread(const PipelineThread&) = delete;
    PipelineThread& operator=(const PipelineThread&) = delete;

    /// Room for `frames` decoded frames at the end of the piece being gathered, valid until
    /// the next Commit.
    float* Room(size_t frames);
    /// `frames` frames of the room were filled. Small pieces are gathered into one before
    /// it is queued, so that the two threads hand over rarely; waits while the queue is
    /// full. Returns the first result other than S_OK that the conversion has met so far
    /// (the producer then stops), else S_OK.
    HRESULT Commit(size_t frames);
    /// Waits until everything queued has been converted, flushes the stages unless the
    /// conversion stopped, and returns the conversion's result.
    HRESULT ConvertRemaining();

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
    // queueing, or fewer when the stages hand on more than one piece for them.
    static constexpr size_t kGatheredFrames = 2048;

    PipelineStages& stages;
    WORD channels;
    size_t gatheredFrames;
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

#pragma once
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "engine/linux/audio/AudioSink.h"

/// A voice's work, done on one worker thread in the order it was given: speaking (text or
/// a stream) and switching the output, so speech queued before a switch goes to the old
/// output. A purge makes all work given before it stale (a generation count the work asks
/// about as it goes), drops queued speaking, keeps queued switches, and has the output
/// drop what it still holds. Calls may come from any thread.
class WorkQueue {
public:
    /// One Speak or SpeakStream call's work: it speaks into the output current when its
    /// turn comes, and stops as soon as `stale` says a purge has come since it was given.
    using SpeakingWork = std::function<HRESULT(AudioSink& output, const std::function<bool()>& stale)>;

    explicit WorkQueue(std::shared_ptr<AudioSink> output);
    /// Abandons what is under way and queued, and waits for the worker.
    ~WorkQueue();
    WorkQueue(const WorkQueue&) = delete;
    WorkQueue& operator=(const WorkQueue&) = delete;

    /// Starts the worker; false when no thread can be had.
    bool Start();

    /// Queues `work` behind what was given before, purging first when asked, and numbers
    /// it; waits for it unless `async`. Returns its result, or S_OK when not waited for.
    HRESULT Speak(SpeakingWork work, bool purge, bool async, ULONG* streamNumber);
    /// Queues a switch to `output` and waits for it: when it returns the worker has let go
    /// of the previous output.
    HRESULT SwitchOutput(std::shared_ptr<AudioSink> output);
    void Purge();
    /// S_OK once all work given is done, S_FALSE if that took longer than `milliseconds`.
    HRESULT WaitUntilDone(ULONG milliseconds);

private:
    struct Job {
        enum class Kind { Speak, SwitchOutput };
        Kind kind = Kind::Speak;
        uint64_t generation = 0;
        SpeakingWork speaking;
        std::shared_ptr<AudioSink> output;  // a switch's new output
        bool done = false;
        HRESULT result = S_OK;
    };

    HRESULT Submit(std::shared_ptr<Job> job, bool purge, bool async, ULONG* streamNumber);
    /// With the lock held.
    void PurgeLocked();
    void Work();
    HRESULT Run(Job& job);

    std::atomic<uint64_t> generation{0};
    std::mutex lock;
    std::condition_variable wake;     // the worker: work, a purge or the end has come
    std::condition_variable settled;  // callers: a piece of work has finished
    std::deque<std::shared_ptr<Job>> queue;
    bool busy = false;
    bool discardPending = false;
    bool stopping = false;
    ULONG lastStreamNumber = 0;
    std::shared_ptr<AudioSink> output;  // the worker's alone
    // The output the worker is speaking into now, for a purge to interrupt; guarded by lock.
    std::shared_ptr<AudioSink> speakingInto;
    std::thread worker;
};

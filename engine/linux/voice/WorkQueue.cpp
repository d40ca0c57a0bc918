#include "WorkQueue.h"

#include <algorithm>
#include <chrono>
#include <utility>

WorkQueue::WorkQueue(std::shared_ptr<AudioSink> output) : output(std::move(output)) {}

WorkQueue::~WorkQueue() {
    {
        std::lock_guard<std::mutex> guard(lock);
        stopping = true;
        ++generation;  // whatever is being spoken is abandoned
        for (auto& job : queue) job->done = true;
        queue.clear();
    }
    wake.notify_all();
    settled.notify_all();
    if (worker.joinable()) worker.join();
}

bool WorkQueue::Start() {
    try {
        worker = std::thread(&WorkQueue::Work, this);
    } catch (...) {
        return false;
    }
    return true;
}

HRESULT WorkQueue::Speak(SpeakingWork work, bool purge, bool async, ULONG* streamNumber) {
    auto job = std::make_shared<Job>();
    job->speaking = std::move(work);
    return Submit(std::move(job), purge, async, streamNumber);
}

HRESULT WorkQueue::SwitchOutput(std::shared_ptr<AudioSink> newOutput) {
    auto job = std::make_shared<Job>();
    job->kind = Job::Kind::SwitchOutput;
    job->output = std::move(newOutput);
    return Submit(std::move(job), false, false, nullptr);
}

void WorkQueue::Purge() {
    {
        std::lock_guard<std::mutex> guard(lock);
        PurgeLocked();
    }
    wake.notify_all();
}

void WorkQueue::PurgeLocked() {
    ++generation;
    discardPending = true;
    if (speakingInto) speakingInto->Interrupt();
    // Queued speaking is dropped; queued output switches still happen, in order.
    auto stale = std::remove_if(queue.begin(), queue.end(), [](const std::shared_ptr<Job>& queued) {
        if (queued->kind == Job::Kind::SwitchOutput) return false;
        queued->done = true;
        return true;
    });
    queue.erase(stale, queue.end());
    settled.notify_all();
}

HRESULT WorkQueue::Submit(std::shared_ptr<Job> job, bool purge, bool async, ULONG* streamNumber) {
    std::unique_lock<std::mutex> guard(lock);
    if (purge) PurgeLocked();
    if (job->kind == Job::Kind::Speak && streamNumber != nullptr) *streamNumber = ++lastStreamNumber;
    job->generation = generation.load();
    queue.push_back(job);
    wake.notify_all();
    if (async) return S_OK;
    settled.wait(guard, [&] { return job->done; });
    return job->result;
}

HRESULT WorkQueue::WaitUntilDone(ULONG milliseconds) {
    std::unique_lock<std::mutex> guard(lock);
    auto idle = [this] { return (queue.empty() && !busy) || stopping; };
    if (milliseconds == INFINITE) {
        settled.wait(guard, idle);
        return S_OK;
    }
    return settled.wait_for(guard, std::chrono::milliseconds(milliseconds), idle) ? S_OK : S_FALSE;
}

void WorkQueue::Work() {
    for (;;) {
        std::shared_ptr<Job> job;
        bool discard = false;
        {
            std::unique_lock<std::mutex> guard(lock);
            wake.wait(guard, [this] { return stopping || discardPending || !queue.empty(); });
            if (stopping) break;
            discard = std::exchange(discardPending, false);
            if (!queue.empty()) {
                job = queue.front();
                queue.pop_front();
                busy = true;
            }
        }
        if (discard) output->Discard();
        if (job == nullptr) continue;
        HRESULT result = Run(*job);
        {
            std::lock_guard<std::mutex> guard(lock);
            job->result = result;
            job->done = true;
            busy = false;
        }
        settled.notify_all();
    }
    output->Discard();
}

HRESULT WorkQueue::Run(Job& job) {
    if (job.kind == Job::Kind::SwitchOutput) {
        output = std::move(job.output);  // the previous output is let go of here
        return S_OK;
    }
    const uint64_t given = job.generation;
    const std::function<bool()> stale = [this, given] { return given != generation.load(); };
    {
        std::lock_guard<std::mutex> guard(lock);
        speakingInto = output;
        // A purge that came before this point has made the work stale already.
    }
    HRESULT result = job.speaking(*output, stale);
    std::lock_guard<std::mutex> guard(lock);
    speakingInto.reset();
    return result;
}

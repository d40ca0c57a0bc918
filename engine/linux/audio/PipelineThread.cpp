#include "PipelineThread.h"

#include <algorithm>
#include <utility>

PipelineThread::PipelineThread(PipelineStages& stages, WORD inputChannels)
    : stages(stages),
      channels(inputChannels),
      gatheredFrames(std::min(kGatheredFrames, stages.InputFramesPerPiece())),
      worker(&PipelineThread::Run, this) {}

PipelineThread::~PipelineThread() {
    {
        std::lock_guard<std::mutex> guard(lock);
        queue.clear();
        Fail(S_FALSE);  // nothing more is converted, not even the end
        ending = true;
    }
    dataReady.notify_all();
    roomFree.notify_all();
    if (worker.joinable()) worker.join();
}

void PipelineThread::Fail(HRESULT hr) {
    if (hr != S_OK && result.load() == S_OK) result.store(hr);
}

float* PipelineThread::Room(size_t frames) {
    gathering.samples.resize((gathering.frames + frames) * channels);
    return gathering.samples.data() + gathering.frames * channels;
}

HRESULT PipelineThread::Commit(size_t frames) {
    if (HRESULT hr = result.load(); hr != S_OK) return hr;
    gathering.frames += frames;
    if (gathering.frames < gatheredFrames) return S_OK;
    std::unique_lock<std::mutex> guard(lock);
    return Queue(guard);
}

HRESULT PipelineThread::Queue(std::unique_lock<std::mutex>& guard) {
    roomFree.wait(guard, [this] { return queue.size() < kQueuedPieces || result.load() != S_OK; });
    if (HRESULT hr = result.load(); hr != S_OK) return hr;
    queue.push_back(std::move(gathering));
    gathering = Piece();
    if (!spare.empty()) {
        gathering = std::move(spare.back());
        spare.pop_back();
    }
    gathering.samples.clear();
    gathering.frames = 0;
    if (queue.size() >= kWakeAtPieces) dataReady.notify_one();
    return S_OK;
}

HRESULT PipelineThread::ConvertRemaining() {
    {
        std::unique_lock<std::mutex> guard(lock);
        if (gathering.frames > 0) Queue(guard);
        ending = true;
    }
    dataReady.notify_one();
    worker.join();
    return result.load();
}

void PipelineThread::Run() {
    std::unique_lock<std::mutex> guard(lock);
    std::deque<Piece> batch;
    for (;;) {
        dataReady.wait(guard, [this] { return queue.size() >= kWakeAtPieces || ending || result.load() != S_OK; });
        if (queue.empty() || result.load() != S_OK) break;  // the end, or stopped with pieces left
        batch.swap(queue);
        roomFree.notify_one();
        guard.unlock();
        HRESULT hr = S_OK;
        for (Piece& piece : batch) {
            if (hr == S_OK) hr = stages.Convert(piece.samples.data(), piece.frames);
        }
        guard.lock();
        for (Piece& piece : batch) spare.push_back(std::move(piece));
        batch.clear();
        if (hr != S_OK) {
            Fail(hr);
            roomFree.notify_one();
            break;
        }
    }
    if (result.load() == S_OK) {
        guard.unlock();
        HRESULT hr = stages.Flush();
        guard.lock();
        Fail(hr);
    }
}

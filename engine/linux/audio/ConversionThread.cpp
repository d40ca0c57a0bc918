#include "ConversionThread.h"

#include <algorithm>
#include <utility>

ConversionThread::ConversionThread(AudioConverter& converter, AudioConverter::FrameHandler deliver, GainSource gain)
    : converter(converter),
      gatheredFrames(std::min(kGatheredFrames, converter.InputFramesPerPiece())),
      deliver(std::move(deliver)),
      gain(std::move(gain)),
      worker(&ConversionThread::Run, this) {}

ConversionThread::~ConversionThread() {
    {
        std::lock_guard<std::mutex> guard(lock);
        queue.clear();
        if (result == S_OK) result = S_FALSE;  // nothing more is converted, not even the end
        ending = true;
    }
    changed.notify_all();
    if (worker.joinable()) worker.join();
}

HRESULT ConversionThread::Convert(const float* input, size_t frames) {
    gathering.samples.insert(gathering.samples.end(), input, input + frames * converter.InputChannels());
    gathering.frames += frames;
    std::unique_lock<std::mutex> guard(lock);
    if (result != S_OK) return result;
    if (gathering.frames < gatheredFrames) return S_OK;
    return Queue(guard);
}

HRESULT ConversionThread::Queue(std::unique_lock<std::mutex>& guard) {
    changed.wait(guard, [this] { return queue.size() < kQueuedPieces || result != S_OK; });
    if (result != S_OK) return result;
    queue.push_back(std::move(gathering));
    gathering = Piece();
    if (!spare.empty()) {
        gathering = std::move(spare.back());
        spare.pop_back();
    }
    gathering.samples.clear();
    gathering.frames = 0;
    changed.notify_all();
    return S_OK;
}

HRESULT ConversionThread::Finish() {
    {
        std::unique_lock<std::mutex> guard(lock);
        if (gathering.frames > 0) Queue(guard);
        ending = true;
    }
    changed.notify_all();
    worker.join();
    return result;
}

void ConversionThread::Run() {
    std::unique_lock<std::mutex> guard(lock);
    for (;;) {
        changed.wait(guard, [this] { return !queue.empty() || ending; });
        if (queue.empty() || result != S_OK) break;  // ending, or stopped with pieces left
        Piece piece = std::move(queue.front());
        queue.pop_front();
        changed.notify_all();  // room in the queue
        guard.unlock();
        HRESULT hr = converter.Convert(piece.samples.data(), piece.frames, gain(), deliver);
        guard.lock();
        spare.push_back(std::move(piece));
        if (hr != S_OK && result == S_OK) result = hr;
        changed.notify_all();
    }
    if (result == S_OK) {
        guard.unlock();
        HRESULT hr = converter.Flush(gain(), deliver);
        guard.lock();
        if (result == S_OK) result = hr;
    }
}

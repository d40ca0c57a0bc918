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
        Fail(S_FALSE);  // nothing more is converted, not even the end
        ending = true;
    }
    dataReady.notify_all();
    roomFree.notify_all();
    if (worker.joinable()) worker.join();
}

void ConversionThread::Fail(HRESULT hr) {
    if (hr != S_OK && result.load() == S_OK) result.store(hr);
}

HRESULT ConversionThread::Convert(const float* input, size_t frames) {
    if (HRESULT hr = result.load(); hr != S_OK) return hr;
    gathering.samples.insert(gathering.samples.end(), input, input + frames * converter.InputChannels());
    gathering.frames += frames;
    if (gathering.frames < gatheredFrames) return S_OK;
    std::unique_lock<std::mutex> guard(lock);
    return Queue(guard);
}

HRESULT ConversionThread::Queue(std::unique_lock<std::mutex>& guard) {
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

HRESULT ConversionThread::Finish() {
    {
        std::unique_lock<std::mutex> guard(lock);
        if (gathering.frames > 0) Queue(guard);
        ending = true;
    }
    dataReady.notify_one();
    worker.join();
    return result.load();
}

void ConversionThread::Run() {
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
            if (hr == S_OK) hr = converter.Convert(piece.samples.data(), piece.frames, gain(), deliver);
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
        HRESULT hr = converter.Flush(gain(), deliver);
        guard.lock();
        Fail(hr);
    }
}

ConversionRun::ConversionRun(AudioConverter& converter, AudioConverter::FrameHandler deliver,
                             ConversionThread::GainSource gain, bool beside)
    : converter(converter), deliver(std::move(deliver)), gain(std::move(gain)) {
    if (!beside) return;
    try {
        thread = std::make_unique<ConversionThread>(converter, this->deliver, this->gain);
    } catch (...) {
        thread.reset();  // no thread to be had: the caller converts
    }
}

HRESULT ConversionRun::Convert(const float* input, size_t frames) {
    return thread ? thread->Convert(input, frames) : converter.Convert(input, frames, gain(), deliver);
}

HRESULT ConversionRun::Finish(HRESULT result) {
    if (thread) {
        HRESULT converted = thread->Finish();
        return result == S_OK ? converted : result;
    }
    return result == S_OK ? converter.Flush(gain(), deliver) : result;
}

#include "DeviceOutput.h"

#include <algorithm>

#include "DeviceConnection.h"

DeviceOutput::DeviceOutput() = default;

DeviceOutput::~DeviceOutput() {
    {
        std::lock_guard<std::mutex> guard(idleLock);
        stopping = true;
    }
    idleWake.notify_all();
    if (idleWatch.joinable()) idleWatch.join();
}

HRESULT DeviceOutput::Open() {
    if (open) return S_OK;
    std::lock_guard<std::mutex> guard(lock);
    if (open) return S_OK;
    std::unique_ptr<DeviceConnection> made = OpenPulseConnection();
    if (!made) made = OpenAlsaConnection();
    if (!made) return E_AUDIO_DEVICE_NOT_READY;
    {
        std::lock_guard<std::mutex> guarded(handle);
        connection = std::move(made);
    }
    open = true;
    std::lock_guard<std::mutex> idle(idleLock);
    if (!idleWatch.joinable()) {
        try {
            idleWatch = std::thread(&DeviceOutput::WatchIdle, this);
        } catch (...) {
            // No thread to be had: the device stays awake while the voice lives.
        }
    }
    return S_OK;
}

std::shared_ptr<DeviceConnection> DeviceOutput::Current() {
    std::lock_guard<std::mutex> guard(handle);
    return connection;
}

void DeviceOutput::Close() {
    std::shared_ptr<DeviceConnection> closing;
    {
        std::lock_guard<std::mutex> guard(handle);
        closing.swap(connection);
    }
    open = false;
}

HRESULT DeviceOutput::Write(const void* samples, size_t frames) {
    HRESULT hr = Open();
    if (FAILED(hr)) return hr;
    std::lock_guard<std::mutex> guard(lock);
    // Called off and already cut off: what the old work still writes is not heard.
    if (interrupted) return S_OK;
    std::shared_ptr<DeviceConnection> current = Current();
    if (!current) return E_AUDIO_DEVICE_NOT_READY;
    writtenSinceCut = true;
    if (!current->Write(static_cast<const int16_t*>(samples), frames, interrupted)) {
        // A broken connection is dropped; the next utterance opens a new one.
        Close();
        return E_AUDIO_DEVICE_NOT_READY;
    }
    {
        std::lock_guard<std::mutex> idle(idleLock);
        Clock::time_point now = Clock::now();
        queuedUntil = std::max(queuedUntil, now) + std::chrono::microseconds(uint64_t{frames} * 1000000 / kSampleRate);
        // The queue is never longer than the device's: what is beyond has not been taken.
        queuedUntil = std::min(queuedUntil, now + std::chrono::milliseconds(devicequeue::kQueueMilliseconds));
        ExpectRest(queuedUntil);
    }
    return S_OK;
}

void DeviceOutput::Interrupt() {
    interrupted = true;
    if (std::shared_ptr<DeviceConnection> current = Current()) current->Wake();
    // The cut is made here and now: the thread that plays may be deep in a synthesizer's
    // work on a sentence, while the queue would play on.
    std::lock_guard<std::mutex> guard(lock);
    CutOff();
}

void DeviceOutput::Discard() {
    std::lock_guard<std::mutex> guard(lock);
    if (!interrupted) CutOff();
    interrupted = false;
}

void DeviceOutput::CutOff() {
    // Nothing written since the last cut: that cut's silence is all that is queued.
    if (!writtenSinceCut) return;
    writtenSinceCut = false;
    if (std::shared_ptr<DeviceConnection> current = Current()) current->CutOff();
    std::lock_guard<std::mutex> idle(idleLock);
    queuedUntil = Clock::now() + std::chrono::milliseconds(20);  // the fade, and the silence after it
    ExpectRest(queuedUntil);
}

void DeviceOutput::Drain() {
    std::lock_guard<std::mutex> guard(lock);
    if (std::shared_ptr<DeviceConnection> current = Current()) current->Drain();
}

void DeviceOutput::ExpectRest(Clock::time_point playsUntil) {
    restAt = playsUntil + kRestAfter;
    idleWake.notify_all();
}

void DeviceOutput::WatchIdle() {
    std::unique_lock<std::mutex> idle(idleLock);
    while (!stopping) {
        if (restAt == Clock::time_point::max()) {
            idleWake.wait(idle);
            continue;
        }
        Clock::time_point due = restAt;
        if (idleWake.wait_until(idle, due, [&] { return stopping || restAt != due; })) continue;
        restAt = Clock::time_point::max();
        idle.unlock();
        {
            std::lock_guard<std::mutex> guard(lock);
            // A write that came in the meantime has set another time to rest.
            std::lock_guard<std::mutex> check(idleLock);
            bool stillIdle = restAt == Clock::time_point::max();
            // Closed, not paused: with none of its streams left, the server's sink is idle and,
            // with module-suspend-on-idle as desktops have it, suspended. A stream merely corked
            // left the null sink in a long rendering block once uncorked, holding the next
            // speech back; a new connection takes a few milliseconds.
            if (stillIdle) Close();
        }
        idle.lock();
    }
}

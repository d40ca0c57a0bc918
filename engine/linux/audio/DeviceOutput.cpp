#include "DeviceOutput.h"

#include <algorithm>
#include <thread>

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
    // Never waiting for a write under way, which would hold a Speak call back.
    if (open) {
        std::shared_ptr<DeviceConnection> current = Current();
        if (current && current->Alive()) return Expecting(*current);
    }
    std::lock_guard<std::mutex> guard(opening);
    if (std::shared_ptr<DeviceConnection> current = Current()) {
        if (current->Alive()) return Expecting(*current);
        // A server that went away (a crash, a restart) while the connection stood idle
        // left it dead: a fresh one takes the text instead.
        Drop(current);
    }
    std::shared_ptr<DeviceConnection> made = OpenPulseConnection();
    // ALSA only where no sound server runs at all: while one is meant to, ALSA's default
    // is that server (or a device it is about to take back).
    if (!made && !SoundServerExpected()) made = OpenAlsaConnection();
    if (!made) return E_AUDIO_DEVICE_NOT_READY;
    {
        std::lock_guard<std::mutex> guarded(handle);
        connection = made;
    }
    open = true;
    {
        std::lock_guard<std::mutex> idle(idleLock);
        if (!idleWatch.joinable()) {
            try {
                idleWatch = std::thread(&DeviceOutput::WatchIdle, this);
            } catch (...) {
                // No thread to be had: the device stays awake while the voice lives.
            }
        }
    }
    return Expecting(*made);
}

HRESULT DeviceOutput::Expecting(DeviceConnection& current) {
    current.Expect();
    // What was begun for the text is let go of again should no audio come of it: the rest
    // falls due as after speech.
    std::lock_guard<std::mutex> idle(idleLock);
    if (restAt == Clock::time_point::max()) ExpectRest(Clock::now());
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

void DeviceOutput::Drop(const std::shared_ptr<DeviceConnection>& broken) {
    std::shared_ptr<DeviceConnection> closing;
    {
        std::lock_guard<std::mutex> guard(handle);
        if (connection != broken) return;  // another has taken its place already
        closing.swap(connection);
        open = false;
    }
}

HRESULT DeviceOutput::Write(const void* samples, size_t frames) {
    std::lock_guard<std::mutex> guard(lock);
    // Called off and already cut off: what the old work still writes is not heard.
    if (interrupted) return S_OK;
    const auto* left = static_cast<const int16_t*>(samples);
    size_t leftFrames = frames;
    Clock::time_point giveUp{};
    while (leftFrames > 0 && !interrupted) {
        if (std::shared_ptr<DeviceConnection> current = Current()) {
            writtenSinceCut = true;
            size_t taken = current->Write(left, leftFrames, interrupted);
            left += taken;
            leftFrames -= taken;
            if (leftFrames == 0 || interrupted) break;
            // The connection broke: the server went away. What it had queued is lost with
            // it; the text goes on through a fresh connection from where it stands.
            if (taken > 0) giveUp = Clock::time_point{};  // it played: a new break, a new wait
            Drop(current);
        }
        // A server restarting takes a moment to take connections again, and one that takes
        // them but no stream (no device to play on) is waited for the same way: tried
        // again after a pause, never in a tight loop, until kServerReturn has gone by.
        if (giveUp == Clock::time_point{}) {
            giveUp = Clock::now() + kServerReturn;
        } else {
            if (Clock::now() >= giveUp) return E_AUDIO_DEVICE_NOT_READY;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        Open();  // a failure is tried again on the next round
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
            // The stream ended, not paused: with none of its streams left, the server's sink
            // is idle and, with module-suspend-on-idle as desktops have it (WirePlumber's
            // own on PipeWire), suspended. A stream merely corked left the null sink in a
            // long rendering block once uncorked, holding the next speech back. The
            // connection to the server stays where it can (making one takes PipeWire some
            // 1.5 ms); a server gone meanwhile is noticed by Open().
            if (stillIdle) {
                std::shared_ptr<DeviceConnection> current = Current();
                if (!current || !current->Rest()) Close();
            }
        }
        idle.lock();
    }
}

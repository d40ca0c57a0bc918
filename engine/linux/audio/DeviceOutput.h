#pragma once
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "AudioSink.h"

class DeviceConnection;

/// The default audio output: the sound server (PulseAudio or PipeWire, which honours
/// PULSE_SERVER), else ALSA's "default" device, playing 44.1 kHz 16-bit mono. It opens on
/// first use and keeps about a quarter of a second queued, so speech rides over a busy
/// machine; Discard() still silences it within milliseconds, fading out what is queued
/// rather than stopping at whatever level the speech had. Once the queue has played out
/// and nothing new has come for kRestAfter, the device is let go of (the sound server's
/// stream ended, the connection kept; ALSA's device closed) so that it can sleep; the next
/// text takes it up again (on PipeWire, whose streams take milliseconds to make, its
/// stream is begun as the text is accepted). A sound server that went
/// away (a crash, a restart) is noticed before a text is spent on it (Open() finds the
/// connection dead and opens a fresh one), and a write that finds the connection broken
/// goes on through a fresh one from where the text stands, waiting up to kServerReturn for
/// the server to come back. ALSA is used only where no sound server is meant to run.
/// Open() and Interrupt() (which cuts off at once) may come from any thread; the rest from
/// the one thread that plays.
class DeviceOutput : public AudioSink {
public:
    static constexpr DWORD kSampleRate = 44100;
    static constexpr WORD kChannels = 1;
    static constexpr std::chrono::milliseconds kRestAfter{1000};
    static constexpr std::chrono::milliseconds kServerReturn{3000};

    DeviceOutput();
    ~DeviceOutput() override;

    SampleLayout Layout() const override { return {SampleLayout::Encoding::Pcm16, kChannels, kSampleRate, 2}; }
    size_t PieceFrames() const override { return kSampleRate / 100; }  // 10 ms
    bool PlaysInRealTime() const override { return true; }
    /// S_OK when a connection is open or could be opened; E_AUDIO_DEVICE_NOT_READY when
    /// neither the sound server nor ALSA would take audio.
    HRESULT Open() override;
    HRESULT Write(const void* samples, size_t frames) override;
    void Interrupt() override;
    void Discard() override;
    void Drain() override;

private:
    using Clock = std::chrono::steady_clock;

    /// Has `current` (alive) begin what the coming text needs, and rest again if no audio
    /// comes; S_OK.
    HRESULT Expecting(DeviceConnection& current);
    /// Closes `broken` unless another connection has taken its place.
    void Drop(const std::shared_ptr<DeviceConnection>& broken);
    /// The connection, if one is open; with `lock` held.
    std::shared_ptr<DeviceConnection> Current();
    void Close();  // with `lock` held
    /// Fades out what is queued; with `lock` held.
    void CutOff();
    /// Notes that audio up to `playsUntil` is queued; with `lock` held.
    void ExpectRest(Clock::time_point playsUntil);
    /// Lets the device rest once it has been idle long enough (its own thread).
    void WatchIdle();

    std::mutex lock;  // the one thread that plays, and the idle watch
    std::mutex opening;  // one connection made at a time
    std::mutex handle;  // guards `connection` itself, for Interrupt()
    std::shared_ptr<DeviceConnection> connection;
    // Whether `connection` is set, readable without waiting for a write under way.
    std::atomic<bool> open{false};
    bool writtenSinceCut = false;  // guarded by `lock`
    // Set by Interrupt(), which cuts the queue off, until Discard(): a write under way stops
    // waiting, and writes of the work called off are not heard.
    std::atomic<bool> interrupted{false};

    std::mutex idleLock;
    std::condition_variable idleWake;
    Clock::time_point queuedUntil{};                 // guarded by idleLock
    Clock::time_point restAt = Clock::time_point::max();  // guarded by idleLock
    bool stopping = false;                           // guarded by idleLock
    std::thread idleWatch;
};

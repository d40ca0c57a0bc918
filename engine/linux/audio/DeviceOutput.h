#pragma once
#include <atomic>
#include <memory>
#include <mutex>

#include "AudioSink.h"

/// The default audio output: the sound server (PulseAudio or PipeWire, through
/// libpulse-simple, which honours PULSE_SERVER), else ALSA's "default" device. It plays
/// 44.1 kHz 16-bit mono, opens on first use, keeps only tens of milliseconds queued at the
/// server so that Discard() silences it at once, and closes after a failed write so that
/// the next Open() tries afresh. Open() may come from any thread; the rest from the one
/// thread that plays.
class DeviceOutput : public AudioSink {
public:
    static constexpr DWORD kSampleRate = 44100;
    static constexpr WORD kChannels = 1;

    DeviceOutput();
    ~DeviceOutput() override;

    SampleLayout Layout() const override { return {SampleLayout::Encoding::Pcm16, kChannels, kSampleRate, 2}; }
    size_t PieceFrames() const override { return kSampleRate / 500; }  // 2 ms
    bool PlaysInRealTime() const override { return true; }
    /// S_OK when a connection is open or could be opened; E_AUDIO_DEVICE_NOT_READY when
    /// neither the sound server nor ALSA would take audio.
    HRESULT Open() override;
    HRESULT Write(const void* samples, size_t frames) override;
    void Discard() override;
    void Drain() override;

    /// One way of reaching the speakers (the sound server or an ALSA device).
    class Connection {
    public:
        virtual ~Connection() = default;
        /// Plays `frames` frames of 16-bit little-endian samples; false when it broke.
        virtual bool Write(const BYTE* samples, size_t frames) = 0;
        virtual void Flush() = 0;
        virtual void Drain() = 0;
    };

private:
    std::mutex lock;
    std::unique_ptr<Connection> connection;
    // Whether `connection` is set, readable without waiting for a write under way.
    std::atomic<bool> open{false};
};

#include "DeviceOutput.h"

#include <alsa/asoundlib.h>
#include <pulse/simple.h>

namespace {

constexpr size_t kBytesPerMillisecond = DeviceOutput::kSampleRate * 2 / 1000;
// Audio queued at the server: small, so a purge cuts speech off within milliseconds,
// but enough to ride over scheduling hiccups of the writing thread. The server asks for
// more in small requests, matching the voice's small pieces: a write waits only that
// long for room, so a purge is noticed (and the queue dropped) within about 2 ms.
constexpr uint32_t kTargetLengthBytes = 40 * kBytesPerMillisecond;
constexpr uint32_t kMinimumRequestBytes = 2 * kBytesPerMillisecond;
constexpr uint32_t kPrebufferBytes = 20 * kBytesPerMillisecond;
constexpr unsigned kAlsaLatencyMicroseconds = 50000;

class PulseConnection : public DeviceOutput::Connection {
public:
    explicit PulseConnection(pa_simple* stream) : stream(stream) {}
    ~PulseConnection() override { pa_simple_free(stream); }

    static std::unique_ptr<Connection> Open() {
        pa_sample_spec spec{};
        spec.format = PA_SAMPLE_S16LE;
        spec.rate = DeviceOutput::kSampleRate;
        spec.channels = DeviceOutput::kChannels;
        pa_buffer_attr attributes{};
        attributes.maxlength = static_cast<uint32_t>(-1);
        attributes.tlength = kTargetLengthBytes;
        attributes.prebuf = kPrebufferBytes;
        attributes.minreq = kMinimumRequestBytes;
        attributes.fragsize = static_cast<uint32_t>(-1);
        int error = 0;
        pa_simple* stream = pa_simple_new(nullptr, "speech-service", PA_STREAM_PLAYBACK, nullptr, "speech",
                                          &spec, nullptr, &attributes, &error);
        if (stream == nullptr) return nullptr;
        return std::make_unique<PulseConnection>(stream);
    }

    bool Write(const BYTE* samples, size_t frames) override {
        int error = 0;
        return pa_simple_write(stream, samples, frames * 2, &error) == 0;
    }
    void Flush() override {
        int error = 0;
        pa_simple_flush(stream, &error);
    }
    void Drain() override {
        int error = 0;
        pa_simple_drain(stream, &error);
    }

private:
    pa_simple* stream;
};

// ALSA prints its own complaints (no card, no configuration) on standard error; the
// service reports a missing device in its own words instead.
void IgnoreAlsaMessages(const char*, int, const char*, int, const char*, ...) {}

class AlsaConnection : public DeviceOutput::Connection {
public:
    explicit AlsaConnection(snd_pcm_t* pcm) : pcm(pcm) {}
    ~AlsaConnection() override { snd_pcm_close(pcm); }

    static std::unique_ptr<Connection> Open() {
        snd_lib_error_set_handler(IgnoreAlsaMessages);
        snd_pcm_t* pcm = nullptr;
        if (snd_pcm_open(&pcm, "default", SND_PCM_STREAM_PLAYBACK, 0) < 0) return nullptr;
        if (snd_pcm_set_params(pcm, SND_PCM_FORMAT_S16_LE, SND_PCM_ACCESS_RW_INTERLEAVED, DeviceOutput::kChannels,
                               DeviceOutput::kSampleRate, 1, kAlsaLatencyMicroseconds) < 0) {
            snd_pcm_close(pcm);
            return nullptr;
        }
        return std::make_unique<AlsaConnection>(pcm);
    }

    bool Write(const BYTE* samples, size_t frames) override {
        while (frames > 0) {
            snd_pcm_sframes_t written = snd_pcm_writei(pcm, samples, frames);
            if (written < 0) {
                // An underrun between two utterances is normal: recover and go on.
                if (snd_pcm_recover(pcm, static_cast<int>(written), 1) < 0) return false;
                continue;
            }
            samples += written * 2;
            frames -= static_cast<size_t>(written);
        }
        return true;
    }
    void Flush() override {
        snd_pcm_drop(pcm);
        snd_pcm_prepare(pcm);
    }
    void Drain() override {
        snd_pcm_drain(pcm);
        snd_pcm_prepare(pcm);
    }

private:
    snd_pcm_t* pcm;
};

}  // namespace

DeviceOutput::DeviceOutput() = default;
DeviceOutput::~DeviceOutput() = default;

HRESULT DeviceOutput::Open() {
    if (open) return S_OK;
    std::lock_guard<std::mutex> guard(lock);
    if (connection) return S_OK;
    connection = PulseConnection::Open();
    if (!connection) connection = AlsaConnection::Open();
    open = connection != nullptr;
    return open ? S_OK : E_AUDIO_DEVICE_NOT_READY;
}

HRESULT DeviceOutput::Write(const void* samples, size_t frames) {
    HRESULT hr = Open();
    if (FAILED(hr)) return hr;
    std::lock_guard<std::mutex> guard(lock);
    if (!connection) return E_AUDIO_DEVICE_NOT_READY;
    if (!connection->Write(static_cast<const BYTE*>(samples), frames)) {
        // A broken connection is dropped; the next utterance opens a new one.
        connection.reset();
        open = false;
        return E_AUDIO_DEVICE_NOT_READY;
    }
    return S_OK;
}

void DeviceOutput::Discard() {
    std::lock_guard<std::mutex> guard(lock);
    if (connection) connection->Flush();
}

void DeviceOutput::Drain() {
    std::lock_guard<std::mutex> guard(lock);
    if (connection) connection->Drain();
}

// ALSA's "default" device, where no sound server is reached: the same deep queue, and a
// cut-off that rewinds over what the device has not played yet.
#include <alsa/asoundlib.h>

#include <algorithm>

#include "DeviceConnection.h"

namespace {

using namespace devicequeue;

constexpr unsigned kQueueMicroseconds = kQueueMilliseconds * 1000;
// How long a write waits for room before it looks at its `interrupted` flag again.
constexpr int kWaitMilliseconds = 5;

// ALSA prints its own complaints (no card, no configuration) on standard error; the
// service reports a missing device in its own words instead.
void IgnoreAlsaMessages(const char*, int, const char*, int, const char*, ...) {}

class AlsaConnection : public DeviceConnection {
public:
    explicit AlsaConnection(snd_pcm_t* pcm) : pcm(pcm) {}
    ~AlsaConnection() override { snd_pcm_close(pcm); }

    size_t Write(const int16_t* samples, size_t frames, const std::atomic<bool>& interrupted) override {
        size_t taken = 0;
        while (frames > 0 && !interrupted) {
            snd_pcm_sframes_t written = snd_pcm_writei(pcm, samples, frames);
            if (written == -EAGAIN) {
                snd_pcm_wait(pcm, kWaitMilliseconds);
                continue;
            }
            if (written < 0) {
                // An underrun between two utterances is normal: recover and go on.
                if (snd_pcm_recover(pcm, static_cast<int>(written), 1) < 0) return taken;
                continue;
            }
            recent.Append(samples, static_cast<size_t>(written));
            samples += written;
            frames -= static_cast<size_t>(written);
            taken += static_cast<size_t>(written);
        }
        return taken;
    }

    bool Alive() override { return snd_pcm_state(pcm) != SND_PCM_STATE_DISCONNECTED; }

    void CutOff() override {
        snd_pcm_sframes_t rewindable = snd_pcm_rewindable(pcm);
        if (rewindable <= static_cast<snd_pcm_sframes_t>(kFadeLeadFrames)) {
            if (rewindable < 0) Stop();  // the device cannot say: silence it at once
            return;  // (almost) nothing queued is still to be heard
        }
        snd_pcm_sframes_t back = snd_pcm_rewind(pcm, static_cast<snd_pcm_uframes_t>(rewindable - kFadeLeadFrames));
        if (back <= 0) {
            Stop();
            return;
        }
        const int64_t from = std::max(recent.Start(), recent.End() - back);
        std::vector<int16_t> replacement = recent.FadeFrom(from);
        recent.CutAt(from);
        // The replacement is far smaller than the queue, which was just emptied down to it.
        snd_pcm_sframes_t written = snd_pcm_writei(pcm, replacement.data(), replacement.size());
        if (written > 0) recent.Append(replacement.data(), static_cast<size_t>(written));
    }

    void Drain() override {
        snd_pcm_nonblock(pcm, 0);
        snd_pcm_drain(pcm);
        snd_pcm_prepare(pcm);
        snd_pcm_nonblock(pcm, 1);
    }

private:
    void Stop() {
        snd_pcm_drop(pcm);
        snd_pcm_prepare(pcm);
    }

    snd_pcm_t* pcm;
    RecentAudio recent{kRate};
};

}  // namespace

std::unique_ptr<DeviceConnection> OpenAlsaConnection() {
    snd_lib_error_set_handler(IgnoreAlsaMessages);
    snd_pcm_t* pcm = nullptr;
    if (snd_pcm_open(&pcm, "default", SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0) return nullptr;
    if (snd_pcm_set_params(pcm, SND_PCM_FORMAT_S16_LE, SND_PCM_ACCESS_RW_INTERLEAVED, 1, kRate, 1,
                           kQueueMicroseconds) < 0) {
        snd_pcm_close(pcm);
        return nullptr;
    }
    return std::make_unique<AlsaConnection>(pcm);
}

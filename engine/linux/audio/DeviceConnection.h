#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

/// How deep the queue at the speakers is, and how speech is cut off: the rules both ways
/// of reaching them keep.
namespace devicequeue {
constexpr unsigned kRate = 44100;
// Audio queued ahead of what is heard: enough to ride over the writing thread being held
// off the processor for a good part of it on a busy machine.
constexpr unsigned kQueueMilliseconds = 250;
// A cut-off ends the old speech with a fade this long (a squared raised cosine), then
// silence: a step from speech to silence is heard as a click.
constexpr unsigned kFadeFrames = kRate * 3 / 1000;
// Silence written after a fade, so that no old speech queued beyond it can slip out.
constexpr unsigned kSilenceAfterFadeFrames = kRate * 10 / 1000;
// How far ahead of what is being heard a fade starts: the time its writing takes to reach
// a sound server that can rewrite what it has read (PulseAudio), or the device. A server
// that cannot (PipeWire's) is written ahead of what it will read next instead, by figures
// it reports.
constexpr unsigned kFadeLeadFrames = kRate * 1 / 1000;
}  // namespace devicequeue

/// The last second or so of audio handed to the speakers, by its position counted from the
/// start of the connection, so that what is still queued can be faded out where it is.
class RecentAudio {
public:
    explicit RecentAudio(size_t capacityFrames) : samples(capacityFrames) {}

    void Append(const int16_t* data, size_t frames);
    /// Forgets everything at and after `position` (it has been written over).
    void CutAt(int64_t position);
    /// The position just after the last frame handed over.
    int64_t End() const { return end; }
    /// The earliest position still known.
    int64_t Start() const;
    /// What replaces the audio from `position` on: the frames queued there, faded out
    /// over kFadeFrames, then silence. `position` must lie within
    /// [Start(), End()].
    std::vector<int16_t> FadeFrom(int64_t position) const;

private:
    std::vector<int16_t> samples;  // a ring
    int64_t end = 0;
};

/// One way of reaching the speakers (the sound server or an ALSA device), playing 44.1
/// kHz 16-bit mono with about kQueueMilliseconds queued. Resting or closing it lets the
/// device sleep. Write, CutOff, Drain and Rest come from one thread at a time; Wake, Alive
/// and Expect from any.
class DeviceConnection {
public:
    virtual ~DeviceConnection() = default;
    /// Plays `frames` frames, waiting for room in the queue; returns early once
    /// `interrupted` is set (Wake makes it look). Returns how many frames it took: fewer
    /// than `frames`, without `interrupted`, when the connection broke.
    virtual size_t Write(const int16_t* samples, size_t frames, const std::atomic<bool>& interrupted) = 0;
    /// Whether what it reaches is still there: a sound server that went away (a crash, a
    /// restart) leaves the connection dead, to be noticed before a text is spent on it.
    virtual bool Alive() = 0;
    /// A text is on its way: what takes the server time to make for it (PipeWire's
    /// stream) is begun now, while the text is synthesized. From any thread.
    virtual void Expect() {}
    /// Lets the device sleep while keeping the way to it: the playback ends, so the
    /// server may suspend its sink, and the connection stays for the next text, which
    /// then does not wait for one to be made. False where it cannot; the connection is
    /// then closed instead.
    virtual bool Rest() { return false; }
    /// Makes a Write waiting for room look at its `interrupted` flag now.
    virtual void Wake() {}
    /// Replaces what is queued and not yet heard by a short fade of it, then silence.
    virtual void CutOff() = 0;
    /// Waits until what is queued has been heard.
    virtual void Drain() = 0;
};

/// A connection to the sound server (PULSE_SERVER is honoured); null when there is none.
std::unique_ptr<DeviceConnection> OpenPulseConnection();
/// Whether a sound server is meant to run for this session: PULSE_SERVER names one, or the
/// server's socket is where clients look for it (a server that died or is starting again
/// leaves it there). ALSA's "default" is then the server too, or a device the server is
/// about to take: it is no way around a missing server.
bool SoundServerExpected();
/// A connection to ALSA's "default" device; null when it cannot be opened.
std::unique_ptr<DeviceConnection> OpenAlsaConnection();

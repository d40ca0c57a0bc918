#pragma once
// voice/: the voice behind CLSID_SpVoice (this header) with its worker thread; the voices
// it speaks with (Voices) and how markup chooses among them (VoiceSelection); the markup
// it understands (Markup, ProsodyValues, PhoneSet) and what text comes to (Utterance);
// the synthesizers behind one seam (Synthesis): espeak-ng (EspeakSynthesizer, with the
// text it is given: EspeakMarkup, EspeakText) and flite (FliteSynthesizer); the
// languages and their espeak-ng voices (VoiceLanguage); and the object that stands for
// the default audio output when a caller asks the voice for its output
// (DefaultOutputToken). It calls audio/ for the conversion path and the device, streams/
// for the ends of the objects callers hand it, and com/.
#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/ComObject.h"
#include "engine/InterfaceHolder.h"
#include "engine/linux/audio/AudioConverter.h"
#include "engine/linux/audio/AudioEnds.h"
#include "engine/linux/voice/VoiceSelection.h"

class ConversionRun;
class DeviceOutput;

/// Engine-internal: the voice a speaking voice chose for itself when it was made (see
/// voices::Default), which speaks whatever markup does not give to another.
struct IEngineDefaultVoice : IUnknown {
    /// `*voice` is one of voices::All(), valid as long as the process.
    virtual HRESULT GetDefaultVoice(const Voice** voice) = 0;

protected:
    ~IEngineDefaultVoice() = default;
};

ENGINE_INTERFACE_TRAITS(IEngineDefaultVoice, IUnknown, IID_IEngineDefaultVoice);

/// The voice behind CLSID_SpVoice. Its own worker thread does all speaking, in the order
/// the work was given: text synthesised (with espeak-ng or flite), streams read and converted, and
/// output switches, so speech queued before a switch goes to the old output. A purge
/// makes everything older stale (a generation count checked on every piece of audio) and
/// drops what the sound server still holds. Volume is read on every piece; rate at the
/// start of each utterance. Text given without either XML flag is markup when it looks
/// like markup. The voice speaks with its default voice (SPEECH_VOICE, else the user's
/// language), chosen once when it is made.
/// Calls may come from any thread.
class SpVoice : public ComObject<ISpVoice, IEngineDefaultVoice> {
public:
    /// A new voice on the default audio output, its worker running; null if the worker
    /// could not be started.
    static SpVoice* Create();

    HRESULT SetOutput(IUnknown* output, BOOL allowFormatChanges) override;
    HRESULT GetOutputStream(ISpStreamFormat** stream) override;
    HRESULT SetRate(LONG rate) override;
    HRESULT GetRate(LONG* rate) override;
    HRESULT SetVolume(USHORT volume) override;
    HRESULT GetVolume(USHORT* volume) override;
    HRESULT Speak(LPCWSTR text, DWORD flags, ULONG* streamNumber) override;
    HRESULT SpeakStream(IStream* stream, DWORD flags, ULONG* streamNumber) override;
    HRESULT WaitUntilDone(ULONG milliseconds) override;
    HRESULT GetDefaultVoice(const Voice** voice) override;

    static constexpr USHORT kMaximumVolume = 100;
    static constexpr LONG kMinimumRate = -10;
    static constexpr LONG kMaximumRate = 10;

private:
    struct Job;

    SpVoice();
    ~SpVoice() override;

    /// Queues `job` behind the work already given, purging first when asked; waits for it
    /// unless `async`. Returns the job's result, or S_OK when not waited for.
    HRESULT Submit(std::shared_ptr<Job> job, bool purge, bool async, ULONG* streamNumber);
    /// Fails when the output later speech goes to is the device and it cannot be opened.
    HRESULT CheckDevice();

    void Work();
    HRESULT Run(Job& job);
    HRESULT SpeakText(const Job& job);
    HRESULT PlaySource(Job& job);
    /// The conversion path for one piece of work into the current output. A device paces
    /// the writing to the pace of listening, so the worker converts each piece itself; a
    /// file or memory takes audio as fast as it comes, so converting and writing beside
    /// the synthesizer or the reading of a file shortens the whole job.
    ConversionRun Conversion(AudioConverter& converter, uint64_t workGeneration);
    /// Hands converted frames to the current output in its own piece size, giving up
    /// (S_FALSE) as soon as the work has gone stale.
    HRESULT Deliver(const float* frames, size_t count, uint64_t workGeneration);
    /// What an utterance or stream does after its last piece.
    HRESULT Finish(HRESULT result, bool abandoned, bool drain);

    bool IsStale(uint64_t workGeneration) const { return workGeneration != generation.load(); }
    float Gain() const { return static_cast<float>(volume.load()) / kMaximumVolume; }

    std::atomic<uint64_t> generation{0};
    std::atomic<USHORT> volume{kMaximumVolume};
    std::atomic<LONG> rate{0};
    const VoiceChoice defaultVoice;  // speaks what markup does not give to another voice

    std::mutex lock;
    std::condition_variable wake;     // the worker: work, a purge or the end has come
    std::condition_variable settled;  // callers: a piece of work has finished
    std::deque<std::shared_ptr<Job>> queue;
    bool busy = false;
    bool discardPending = false;
    bool stopping = false;
    ULONG lastStreamNumber = 0;
    // What later work will go to, as callers see it (the worker follows through the queue).
    InterfaceHolder<ISpStreamFormat> reportedOutput;
    bool outputIsDevice = true;

    std::shared_ptr<DeviceOutput> device;
    InterfaceHolder<ISpStreamFormat> deviceToken;
    std::shared_ptr<AudioSink> current;  // the worker's output
    std::thread worker;
};

#include "SpVoice.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <new>

#include "DefaultOutputToken.h"
#include "EspeakSynthesizer.h"
#include "Markup.h"
#include "Synthesis.h"
#include "Utterance.h"
#include "Voices.h"
#include "engine/CodePoints.h"
#include "engine/linux/audio/AudioConverter.h"
#include "engine/linux/audio/ConversionThread.h"
#include "engine/linux/audio/DeviceOutput.h"
#include "engine/linux/streams/StreamEnds.h"

namespace {

constexpr DWORD kSpeakFlags = SPF_ASYNC | SPF_PURGEBEFORESPEAK | SPF_IS_XML | SPF_IS_NOT_XML;
constexpr DWORD kSpeakStreamFlags = SPF_ASYNC | SPF_PURGEBEFORESPEAK;
constexpr size_t kSourceReadFrames = 4096;

/// The voice a new voice speaks with, from the environment it is made in; a voice asked
/// for that does not exist is reported once a process.
VoiceChoice ChooseDefaultVoice() {
    std::string unknown;
    VoiceChoice choice;
    choice.voice = &voices::Default([](const char* name) { return std::getenv(name); }, &unknown);
    static std::once_flag reported;
    if (!unknown.empty())
        std::call_once(reported, [&] {
            std::fprintf(stderr, "unknown voice %s, speaking with %s\n", unknown.c_str(), choice.voice->name.c_str());
        });
    return choice;
}

}  // namespace

struct SpVoice::Job {
    enum class Kind { Speak, Play, Switch };
    Kind kind = Kind::Speak;
    uint64_t generation = 0;
    Utterance utterance;
    std::unique_ptr<AudioSource> source;
    std::shared_ptr<AudioSink> sink;
    bool drain = false;  // synchronous speech ends when it has been heard
    bool done = false;
    HRESULT result = S_OK;
};

HRESULT CreateSpVoice(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    // Without its synthesizer the voice could never speak: refuse to make one.
    HRESULT hr = EspeakSynthesizer::Initialize();
    if (FAILED(hr)) return hr;
    return HandOut(SpVoice::Create(), iid, object);
}

SpVoice* SpVoice::Create() {
    SpVoice* voice = new (std::nothrow) SpVoice();
    if (voice == nullptr) return nullptr;
    try {
        voice->worker = std::thread(&SpVoice::Work, voice);
    } catch (...) {
        voice->Release();
        return nullptr;
    }
    return voice;
}

SpVoice::SpVoice()
    : defaultVoice(ChooseDefaultVoice()),
      device(std::make_shared<DeviceOutput>()),
      deviceToken(InterfaceHolder<ISpStreamFormat>::Adopt(DefaultOutputToken::Create())),
      current(device) {
    reportedOutput = deviceToken;
}

SpVoice::~SpVoice() {
    {
        std::lock_guard<std::mutex> guard(lock);
        stopping = true;
        ++generation;  // whatever is being spoken is abandoned
        for (auto& job : queue) job->done = true;
        queue.clear();
    }
    wake.notify_all();
    settled.notify_all();
    if (worker.joinable()) worker.join();
}

HRESULT SpVoice::SetRate(LONG newRate) {
    if (newRate < kMinimumRate || newRate > kMaximumRate) return E_INVALIDARG;
    rate = newRate;
    return S_OK;
}

HRESULT SpVoice::GetRate(LONG* result) {
    if (result == nullptr) return E_POINTER;
    *result = rate.load();
    return S_OK;
}

HRESULT SpVoice::SetVolume(USHORT newVolume) {
    if (newVolume > kMaximumVolume) return E_INVALIDARG;
    volume.store(newVolume, std::memory_order_relaxed);  // read per piece; nothing else depends on it
    return S_OK;
}

HRESULT SpVoice::GetVolume(USHORT* result) {
    if (result == nullptr) return E_POINTER;
    *result = volume.load();
    return S_OK;
}

HRESULT SpVoice::GetOutputStream(ISpStreamFormat** stream) {
    if (stream == nullptr) return E_POINTER;
    std::lock_guard<std::mutex> guard(lock);
    *stream = reportedOutput.HandOut();
    return *stream != nullptr ? S_OK : S_FALSE;
}

HRESULT SpVoice::SetOutput(IUnknown* output, BOOL) {
    // The voice converts to whatever format the output has, so it never needs to change it.
    auto job = std::make_shared<Job>();
    job->kind = Job::Kind::Switch;
    InterfaceHolder<ISpStreamFormat> reported;
    bool isDevice = IsDefaultAudioOutput(output);
    if (isDevice) {
        job->sink = device;
        reported = deviceToken;
    } else {
        std::unique_ptr<AudioSink> sink;
        HRESULT hr = MakeStreamSink(output, &sink);
        if (FAILED(hr)) return hr;
        job->sink = std::move(sink);
        reported = InterfaceHolder<ISpStreamFormat>::Query(output, IID_ISpStreamFormat);
    }
    {
        std::lock_guard<std::mutex> guard(lock);
        std::swap(reportedOutput, reported);  // the old one is released outside the lock
        outputIsDevice = isDevice;
    }
    // Waiting for the switch means the voice has let go of the previous output when this
    // returns: a file it was writing is complete once its other holders release it.
    return Submit(job, false, false, nullptr);
}

HRESULT SpVoice::Speak(LPCWSTR text, DWORD flags, ULONG* streamNumber) {
    if ((flags & ~kSpeakFlags) != 0 || ((flags & SPF_IS_XML) && (flags & SPF_IS_NOT_XML)))
        return SPERR_INVALID_FLAGS;
    if (text == nullptr) return E_POINTER;
    auto job = std::make_shared<Job>();
    job->kind = Job::Kind::Speak;
    std::string utf8 = Utf16ToUtf8(text);
    bool markup = (flags & SPF_IS_XML) != 0 || ((flags & SPF_IS_NOT_XML) == 0 && LooksLikeMarkup(utf8));
    job->utterance = markup ? MarkupUtterance(utf8, defaultVoice) : PlainUtterance(std::move(utf8), defaultVoice);
    job->drain = (flags & SPF_ASYNC) == 0;
    bool purge = (flags & SPF_PURGEBEFORESPEAK) != 0;
    // Nothing to say still purges, and still takes a stream number.
    if (HRESULT hr = job->utterance.empty() ? S_OK : CheckDevice(); FAILED(hr)) {
        if (purge) Submit(nullptr, true, true, nullptr);
        return hr;
    }
    return Submit(job, purge, (flags & SPF_ASYNC) != 0, streamNumber);
}

HRESULT SpVoice::SpeakStream(IStream* stream, DWORD flags, ULONG* streamNumber) {
    if ((flags & ~kSpeakStreamFlags) != 0) return SPERR_INVALID_FLAGS;
    auto job = std::make_shared<Job>();
    job->kind = Job::Kind::Play;
    job->drain = (flags & SPF_ASYNC) == 0;
    HRESULT hr = MakeStreamSource(stream, &job->source);
    if (FAILED(hr)) return hr;
    hr = CheckDevice();
    if (FAILED(hr)) return hr;
    return Submit(job, (flags & SPF_PURGEBEFORESPEAK) != 0, (flags & SPF_ASYNC) != 0, streamNumber);
}

HRESULT SpVoice::WaitUntilDone(ULONG milliseconds) {
    std::unique_lock<std::mutex> guard(lock);
    auto idle = [this] { return (queue.empty() && !busy) || stopping; };
    if (milliseconds == INFINITE) {
        settled.wait(guard, idle);
        return S_OK;
    }
    return settled.wait_for(guard, std::chrono::milliseconds(milliseconds), idle) ? S_OK : S_FALSE;
}

HRESULT SpVoice::GetDefaultVoice(const Voice** voice) {
    if (voice == nullptr) return E_POINTER;
    *voice = defaultVoice.voice;
    return S_OK;
}

HRESULT SpVoice::CheckDevice() {
    bool toDevice;
    {
        std::lock_guard<std::mutex> guard(lock);
        toDevice = outputIsDevice;
    }
    return toDevice ? device->Open() : S_OK;
}

HRESULT SpVoice::Submit(std::shared_ptr<Job> job, bool purge, bool async, ULONG* streamNumber) {
    std::unique_lock<std::mutex> guard(lock);
    if (purge) {
        ++generation;
        discardPending = true;
        // Queued speech is dropped; queued output switches still happen, in order.
        auto stale = std::remove_if(queue.begin(), queue.end(), [](const std::shared_ptr<Job>& queued) {
            if (queued->kind == Job::Kind::Switch) return false;
            queued->done = true;
            return true;
        });
        queue.erase(stale, queue.end());
        settled.notify_all();
    }
    if (job == nullptr) {
        wake.notify_all();
        return S_OK;
    }
    if (job->kind != Job::Kind::Switch && streamNumber != nullptr) *streamNumber = ++lastStreamNumber;
    job->generation = generation.load();
    queue.push_back(job);
    wake.notify_all();
    if (async) return S_OK;
    settled.wait(guard, [&] { return job->done; });
    return job->result;
}

void SpVoice::Work() {
    for (;;) {
        std::shared_ptr<Job> job;
        bool discard = false;
        {
            std::unique_lock<std::mutex> guard(lock);
            wake.wait(guard, [this] { return stopping || discardPending || !queue.empty(); });
            if (stopping) break;
            discard = std::exchange(discardPending, false);
            if (!queue.empty()) {
                job = queue.front();
                queue.pop_front();
                busy = true;
            }
        }
        if (discard) current->Discard();
        if (job == nullptr) continue;
        HRESULT result = Run(*job);
        {
            std::lock_guard<std::mutex> guard(lock);
            job->result = result;
            job->done = true;
            busy = false;
        }
        settled.notify_all();
    }
    current->Discard();
}

HRESULT SpVoice::Run(Job& job) {
    switch (job.kind) {
        case Job::Kind::Switch:
            current = std::move(job.sink);  // the previous output is let go of here
            return S_OK;
        case Job::Kind::Speak:
            return SpeakText(job);
        case Job::Kind::Play:
            return PlaySource(job);
    }
    return E_UNEXPECTED;
}

HRESULT SpVoice::SpeakText(const Job& job) {
    if (job.utterance.empty() || IsStale(job.generation)) return S_OK;
    // Synthesized audio and silences alike go through one conversion path in order; it is
    // made for the rate the audio comes at, and made anew where a synthesizer with
    // another rate takes over.
    std::unique_ptr<AudioConverter> converter;
    std::optional<ConversionRun> conversion;
    unsigned convertedRate = 0;
    auto onAudio = [&](const float* samples, size_t count, unsigned sampleRate) -> HRESULT {
        if (sampleRate != convertedRate) {
            if (conversion) {
                HRESULT finished = conversion->Finish(S_OK);
                conversion.reset();
                if (finished != S_OK) return finished;
            }
            converter = std::make_unique<AudioConverter>(sampleRate, 1, current->SampleRate(), current->Channels());
            if (!converter->IsReady()) return SPERR_UNSUPPORTED_FORMAT;
            conversion.emplace(Conversion(*converter, job.generation));
            convertedRate = sampleRate;
        }
        return conversion->Convert(samples, count);
    };
    SynthesisSettings settings;
    settings.rate = rate.load();
    // Synthesizers open an utterance with some milliseconds of digital silence; played
    // live, leaving it out lets the first sound be heard that much sooner.
    settings.skipLeadingSilence = current->PlaysInRealTime();
    settings.stopped = [&] { return IsStale(job.generation); };
    HRESULT delivered = SpeakUtterance(job.utterance, settings, onAudio);
    if (conversion) delivered = conversion->Finish(delivered);
    return Finish(delivered, delivered == S_FALSE, job.drain);
}

HRESULT SpVoice::PlaySource(Job& job) {
    AudioSource& source = *job.source;
    AudioConverter converter(source.SampleRate(), source.Channels(), current->SampleRate(), current->Channels());
    if (!converter.IsReady()) return SPERR_UNSUPPORTED_FORMAT;
    ConversionRun conversion = Conversion(converter, job.generation);
    std::vector<float> input(kSourceReadFrames * source.Channels());
    HRESULT delivered = S_OK;
    for (;;) {
        if (IsStale(job.generation)) {
            delivered = S_FALSE;
            break;
        }
        size_t got = 0;
        delivered = source.Read(input.data(), kSourceReadFrames, &got);
        if (FAILED(delivered)) break;
        delivered = S_OK;
        if (got == 0) break;
        delivered = conversion.Convert(input.data(), got);
        if (delivered != S_OK) break;
    }
    delivered = conversion.Finish(delivered);
    job.source.reset();  // the stream is let go of as soon as it has been spoken
    return Finish(delivered, delivered == S_FALSE, job.drain);
}

ConversionRun SpVoice::Conversion(AudioConverter& converter, uint64_t workGeneration) {
    auto deliver = [this, workGeneration](const float* frames, size_t count) {
        return Deliver(frames, count, workGeneration);
    };
    return ConversionRun(converter, deliver, [this] { return Gain(); }, !current->PlaysInRealTime());
}

HRESULT SpVoice::Finish(HRESULT result, bool abandoned, bool drain) {
    if (abandoned) {
        current->Discard();
        return S_OK;
    }
    if (SUCCEEDED(result) && drain) current->Drain();
    return result;
}

HRESULT SpVoice::Deliver(const float* frames, size_t total, uint64_t workGeneration) {
    size_t channels = current->Channels();
    size_t piece = current->PieceFrames() != 0 ? current->PieceFrames() : std::max<size_t>(total, 1);
    for (size_t at = 0; at < total; at += piece) {
        if (IsStale(workGeneration)) return S_FALSE;
        HRESULT hr = current->Write(frames + at * channels, std::min(piece, total - at));
        if (FAILED(hr)) return hr;
    }
    return IsStale(workGeneration) ? S_FALSE : S_OK;
}

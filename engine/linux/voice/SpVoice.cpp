#include "SpVoice.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <new>

#include "DefaultOutputToken.h"
#include "StreamProducer.h"
#include "SynthesisProducer.h"
#include "engine/CodePoints.h"
#include "engine/linux/audio/DeviceOutput.h"
#include "engine/linux/streams/StreamSinks.h"
#include "engine/linux/streams/StreamSources.h"
#include "engine/linux/text/Markup.h"

namespace {

constexpr DWORD kSpeakFlags = SPF_ASYNC | SPF_PURGEBEFORESPEAK | SPF_IS_XML | SPF_IS_NOT_XML;
constexpr DWORD kSpeakStreamFlags = SPF_ASYNC | SPF_PURGEBEFORESPEAK;

/// What Speak's `utf8` says with `flags`: markup when flagged so, or when it looks like
/// markup and is not flagged otherwise.
Utterance TextUtterance(std::string utf8, DWORD flags, const VoiceChoice& voice, const voices::Catalogue& catalogue) {
    bool markup = (flags & SPF_IS_XML) != 0 || ((flags & SPF_IS_NOT_XML) == 0 && LooksLikeMarkup(utf8));
    return markup ? MarkupUtterance(utf8, voice, catalogue) : PlainUtterance(std::move(utf8), voice);
}

}  // namespace

HRESULT CreateSpVoice(VoiceParts& parts, REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    // Without one of its engines the voice could not speak what markup gives to it:
    // refuse to make one.
    for (const auto& [name, engine] : parts.engines.All())
        if (HRESULT hr = engine->Available(); FAILED(hr)) return hr;
    return HandOverNewObject(SpVoice::Create(parts), iid, object);
}

std::string SpokenWordsOf(const std::string& utf8, VoiceParts& parts) {
    return SpokenWords(TextUtterance(utf8, 0, SpVoice::ChooseDefaultVoice(parts.catalogue), parts.catalogue), parts);
}

SpVoice* SpVoice::Create(VoiceParts& parts) {
    SpVoice* voice = new (std::nothrow) SpVoice(parts);
    if (voice == nullptr) return nullptr;
    // A catalogue without voices (none of the engines has any) has nothing to speak with.
    if (voice->defaultVoice.voice == nullptr || !voice->work.Start()) {
        voice->Release();
        return nullptr;
    }
    // The default voice is made ready on the worker, so the first speech does not wait for
    // it to load; speech given meanwhile waits its turn behind it.
    const Voice* speaking = voice->defaultVoice.voice;
    Synthesizer* engine = parts.engines.For(speaking->engine);
    voice->work.Speak(
        [speaking, engine](AudioSink&, const std::function<bool()>&) {
            if (engine != nullptr) engine->Prepare(*speaking);
            return S_OK;
        },
        false, true, nullptr);
    return voice;
}

VoiceChoice SpVoice::ChooseDefaultVoice(const voices::Catalogue& catalogue) {
    std::string unknown;
    VoiceChoice choice;
    choice.voice = catalogue.Default([](const char* name) { return std::getenv(name); }, &unknown);
    static std::once_flag reported;
    if (!unknown.empty() && choice.voice != nullptr)
        std::call_once(reported, [&] {
            std::fprintf(stderr, "unknown voice %s, speaking with %s\n", unknown.c_str(), choice.voice->name.c_str());
        });
    return choice;
}

SpVoice::SpVoice(VoiceParts& parts)
    : parts(parts),
      defaultVoice(ChooseDefaultVoice(parts.catalogue)),
      device(std::make_shared<DeviceOutput>()),
      deviceToken(InterfaceHolder<ISpStreamFormat>::Adopt(DefaultOutputToken::Create())),
      work(device) {
    reportedOutput = deviceToken;
}

HRESULT SpVoice::SetRate(LONG newRate) {
    if (newRate < SPMIN_RATE || newRate > SPMAX_RATE) return E_INVALIDARG;
    rate = newRate;
    return S_OK;
}

HRESULT SpVoice::GetRate(LONG* result) {
    if (result == nullptr) return E_POINTER;
    *result = rate.load();
    return S_OK;
}

HRESULT SpVoice::SetVolume(USHORT newVolume) {
    if (newVolume > SPMAX_VOLUME) return E_INVALIDARG;
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
    *stream = reportedOutput.NewReference();
    return *stream != nullptr ? S_OK : S_FALSE;
}

HRESULT SpVoice::SetOutput(IUnknown* output, BOOL) {
    // The voice converts to whatever format the output has, so it never needs to change it.
    std::shared_ptr<AudioSink> sink;
    InterfaceHolder<ISpStreamFormat> reported;
    bool isDevice = IsDefaultAudioOutput(output);
    if (isDevice) {
        sink = device;
        reported = deviceToken;
    } else {
        std::unique_ptr<AudioSink> made;
        HRESULT hr = MakeStreamSink(output, &made);
        if (FAILED(hr)) return hr;
        sink = std::move(made);
        reported = InterfaceHolder<ISpStreamFormat>::Query(output, IID_ISpStreamFormat);
    }
    {
        std::lock_guard<std::mutex> guard(lock);
        std::swap(reportedOutput, reported);  // the old one is released outside the lock
        outputIsDevice = isDevice;
    }
    // Waiting for the switch means the voice has let go of the previous output when this
    // returns: a file it was writing is complete once its other holders release it.
    return work.SwitchOutput(std::move(sink));
}

HRESULT SpVoice::Speak(LPCWSTR text, DWORD flags, ULONG* streamNumber) {
    if ((flags & ~kSpeakFlags) != 0 || ((flags & SPF_IS_XML) && (flags & SPF_IS_NOT_XML)))
        return SPERR_INVALID_FLAGS;
    if (text == nullptr) return E_POINTER;
    Utterance utterance = TextUtterance(Utf16ToUtf8(text), flags, defaultVoice, parts.catalogue);
    const bool async = (flags & SPF_ASYNC) != 0;
    const bool purge = (flags & SPF_PURGEBEFORESPEAK) != 0;
    // Nothing to say still purges, and still takes a stream number.
    if (HRESULT hr = utterance.empty() ? S_OK : CheckDevice(); FAILED(hr)) {
        if (purge) work.Purge();
        return hr;
    }
    auto speaking = [this, utterance = std::move(utterance), async](AudioSink& output,
                                                                   const std::function<bool()>& stale) {
        // The rate is read when the utterance's turn comes.
        return SpeakUtterance(utterance, rate.load(), parts, output, Controls(stale), !async);
    };
    return work.Speak(std::move(speaking), purge, async, streamNumber);
}

HRESULT SpVoice::SpeakStream(IStream* stream, DWORD flags, ULONG* streamNumber) {
    if ((flags & ~kSpeakStreamFlags) != 0) return SPERR_INVALID_FLAGS;
    std::unique_ptr<AudioSource> made;
    HRESULT hr = MakeStreamSource(stream, &made);
    if (FAILED(hr)) return hr;
    hr = CheckDevice();
    if (FAILED(hr)) return hr;
    const bool async = (flags & SPF_ASYNC) != 0;
    std::shared_ptr<AudioSource> source = std::move(made);
    auto speaking = [this, source, async](AudioSink& output, const std::function<bool()>& stale) mutable {
        return SpeakSource(std::move(source), output, Controls(stale), !async);
    };
    return work.Speak(std::move(speaking), (flags & SPF_PURGEBEFORESPEAK) != 0, async, streamNumber);
}

HRESULT SpVoice::WaitUntilDone(ULONG milliseconds) { return work.WaitUntilDone(milliseconds); }

HRESULT SpVoice::CheckDevice() {
    bool toDevice;
    {
        std::lock_guard<std::mutex> guard(lock);
        toDevice = outputIsDevice;
    }
    return toDevice ? device->Open() : S_OK;
}

PipelineControls SpVoice::Controls(const std::function<bool()>& stale) const {
    return {[this] { return static_cast<float>(volume.load()) / SPMAX_VOLUME; }, stale};
}

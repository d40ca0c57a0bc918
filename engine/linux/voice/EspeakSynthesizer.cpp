#include "EspeakSynthesizer.h"

#include <espeak-ng/speak_lib.h>

#include <cmath>
#include <mutex>

namespace {

// Small pieces from the synthesizer let a purge take effect within one of them.
constexpr int kChunkMilliseconds = 20;

std::mutex synthesisLock;
std::once_flag initialization;
HRESULT initializationResult = E_FAIL;
int sampleRate = 0;
const EspeakSynthesizer::ChunkHandler* currentHandler = nullptr;  // guarded by synthesisLock
// The voice espeak-ng has loaded; empty when markup may have left it in another one.
std::string loadedVoice;  // guarded by synthesisLock

constexpr const char* kInitialVoice = "en";

/// Loads `name` unless it is loaded already; with the lock held.
bool UseVoice(const char* name) {
    if (loadedVoice == name) return true;
    loadedVoice.clear();
    if (espeak_SetVoiceByName(name) != EE_OK) return false;
    loadedVoice = name;
    return true;
}

int OnSynthesized(short* samples, int count, espeak_EVENT*) {
    if (samples == nullptr || count <= 0 || currentHandler == nullptr) return 0;
    return (*currentHandler)(samples, static_cast<size_t>(count)) ? 0 : 1;
}

}  // namespace

HRESULT EspeakSynthesizer::Initialize() {
    std::call_once(initialization, [] {
        std::lock_guard<std::mutex> guard(synthesisLock);
        int rate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, kChunkMilliseconds, nullptr, espeakINITIALIZE_DONT_EXIT);
        if (rate <= 0) return;
        espeak_SetSynthCallback(OnSynthesized);
        if (!UseVoice(kInitialVoice)) return;
        sampleRate = rate;
        initializationResult = S_OK;
    });
    return initializationResult;
}

DWORD EspeakSynthesizer::SampleRate() { return static_cast<DWORD>(sampleRate); }

bool EspeakSynthesizer::HasVoice(const char* name) {
    if (FAILED(Initialize())) return false;
    std::lock_guard<std::mutex> guard(synthesisLock);
    return UseVoice(name);
}

HRESULT EspeakSynthesizer::Synthesize(const std::string& utf8, unsigned textFlags, const char* voice,
                                      int wordsPerMinute, const ChunkHandler& onChunk) {
    HRESULT hr = Initialize();
    if (FAILED(hr)) return hr;
    if (utf8.empty()) return S_OK;
    std::lock_guard<std::mutex> guard(synthesisLock);
    if (!UseVoice(voice) && !UseVoice(kInitialVoice)) return E_FAIL;
    espeak_SetParameter(espeakRATE, wordsPerMinute, 0);
    currentHandler = &onChunk;
    unsigned flags = espeakCHARS_UTF8 | ((textFlags & kSsml) ? espeakSSML : 0) | ((textFlags & kPhonemes) ? espeakPHONEMES : 0);
    espeak_ERROR result = espeak_Synth(utf8.c_str(), utf8.size() + 1, 0, POS_CHARACTER, 0, flags, nullptr, nullptr);
    currentHandler = nullptr;
    // A <voice> element may have switched espeak-ng to another voice for good.
    if (textFlags & kSsml) loadedVoice.clear();
    return result == EE_OK ? S_OK : E_FAIL;
}

int EspeakSynthesizer::WordsPerMinute(LONG rate) {
    return static_cast<int>(std::lround(espeakRATE_NORMAL * std::pow(3.0, rate / 10.0)));
}

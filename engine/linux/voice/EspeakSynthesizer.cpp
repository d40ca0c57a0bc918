#include "EspeakSynthesizer.h"

#include <espeak-ng/espeak_ng.h>
#include <espeak-ng/speak_lib.h>
#include <strings.h>
#include <unistd.h>

#include <atomic>
#include <cctype>
#include <cmath>
#include <cstring>
#include <mutex>
#include <string>

namespace {

// Small pieces from the synthesizer let a purge take effect within one of them.
constexpr int kChunkMilliseconds = 20;

std::mutex synthesisLock;
std::once_flag initialization;
HRESULT initializationResult = E_FAIL;
std::atomic<int> sampleRate{0};  // set once, when loaded (under synthesisLock)
bool loadTried = false;                                           // guarded by synthesisLock
const EspeakSynthesizer::ChunkHandler* currentHandler = nullptr;  // guarded by synthesisLock
// The voice espeak-ng has loaded; empty when markup may have left it in another one.
std::string loadedVoice;  // guarded by synthesisLock

constexpr const char* kInitialVoice = "en";

int OnSynthesized(short* samples, int count, espeak_EVENT*) {
    if (samples == nullptr || count <= 0 || currentHandler == nullptr) return 0;
    return (*currentHandler)(samples, static_cast<size_t>(count)) ? 0 : 1;
}

// Whether espeak-ng's phoneme data is where the library looks for it, without loading it.
bool DataIsThere() {
    espeak_ng_InitializePath(nullptr);
    const char* directory = nullptr;
    espeak_Info(&directory);
    if (directory == nullptr) return false;
    for (const char* name : {"phontab", "phonindex", "phondata", "intonations"}) {
        std::string path = std::string(directory) + "/" + name;
        if (::access(path.c_str(), R_OK) != 0) return false;
    }
    return true;
}

/// Loads `name` unless it is loaded already; with the lock held.
bool UseVoice(const char* name) {
    if (loadedVoice == name) return true;
    loadedVoice.clear();
    if (espeak_SetVoiceByName(name) != EE_OK) return false;
    loadedVoice = name;
    return true;
}

// Loads the phoneme data and the default voice, once; with synthesisLock held. False when
// that failed (and it is not tried again).
bool Load() {
    if (loadTried) return sampleRate > 0;
    loadTried = true;
    int rate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, kChunkMilliseconds, nullptr, espeakINITIALIZE_DONT_EXIT);
    if (rate <= 0) return false;
    espeak_SetSynthCallback(OnSynthesized);
    if (!UseVoice(kInitialVoice)) return false;
    sampleRate = rate;
    return true;
}

}  // namespace

HRESULT EspeakSynthesizer::Initialize() {
    // Loading the data (about 0.7 MiB, a few milliseconds) waits for the first synthesis,
    // so that a voice that waits to speak stays small; here only its presence is checked.
    std::call_once(initialization, [] { initializationResult = DataIsThere() ? S_OK : E_FAIL; });
    return initializationResult;
}

DWORD EspeakSynthesizer::SampleRate() {
    if (int rate = sampleRate.load(); rate > 0) return static_cast<DWORD>(rate);  // no wait for a synthesis
    if (FAILED(Initialize())) return 0;
    std::lock_guard<std::mutex> guard(synthesisLock);
    return Load() ? static_cast<DWORD>(sampleRate) : 0;
}

bool EspeakSynthesizer::HasVoice(const char* name) {
    std::string lower(name);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return VoiceNames().count(lower) != 0;
}

std::map<std::string, std::string> EspeakSynthesizer::VoiceNames() {
    std::map<std::string, std::string> names;
    if (FAILED(Initialize())) return names;
    std::lock_guard<std::mutex> guard(synthesisLock);
    // The list of voices is read from their files without loading the phoneme data. A
    // voice is known by its file's name, as espeak-ng finds it when the voice is set
    // ("de" is "gmw/de", "pt-br" is "roa/pt-BR").
    const espeak_VOICE** voices = espeak_ListVoices(nullptr);
    for (size_t i = 0; voices != nullptr && voices[i] != nullptr; ++i) {
        const char* identifier = voices[i]->identifier;
        if (identifier == nullptr) continue;
        const char* file = std::strrchr(identifier, '/');
        std::string key = file != nullptr ? file + 1 : identifier;
        for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        names.emplace(key, voices[i]->name != nullptr ? voices[i]->name : key);
    }
    return names;
}

HRESULT EspeakSynthesizer::Synthesize(const std::string& utf8, unsigned textFlags, const char* voice,
                                      int wordsPerMinute, const ChunkHandler& onChunk) {
    HRESULT hr = Initialize();
    if (FAILED(hr)) return hr;
    if (utf8.empty()) return S_OK;
    std::lock_guard<std::mutex> guard(synthesisLock);
    if (!Load()) return E_FAIL;
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

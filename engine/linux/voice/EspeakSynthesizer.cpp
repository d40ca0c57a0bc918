#include "EspeakSynthesizer.h"

#include <espeak-ng/espeak_ng.h>
#include <espeak-ng/speak_lib.h>
#include <unistd.h>

#include <atomic>
#include <cmath>
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

// Loads the phoneme data and the default voice, once; with synthesisLock held. False when
// that failed (and it is not tried again).
bool Load() {
    if (loadTried) return sampleRate > 0;
    loadTried = true;
    int rate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, kChunkMilliseconds, nullptr, espeakINITIALIZE_DONT_EXIT);
    if (rate <= 0) return false;
    espeak_SetSynthCallback(OnSynthesized);
    if (espeak_SetVoiceByName("en") != EE_OK) return false;
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

HRESULT EspeakSynthesizer::Synthesize(const std::string& utf8, int wordsPerMinute, bool markup,
                                      const ChunkHandler& onChunk) {
    HRESULT hr = Initialize();
    if (FAILED(hr)) return hr;
    if (utf8.empty()) return S_OK;
    std::lock_guard<std::mutex> guard(synthesisLock);
    if (!Load()) return E_FAIL;
    espeak_SetParameter(espeakRATE, wordsPerMinute, 0);
    currentHandler = &onChunk;
    unsigned flags = espeakCHARS_UTF8 | (markup ? espeakSSML : 0);
    espeak_ERROR result = espeak_Synth(utf8.c_str(), utf8.size() + 1, 0, POS_CHARACTER, 0, flags, nullptr, nullptr);
    currentHandler = nullptr;
    return result == EE_OK ? S_OK : E_FAIL;
}

int EspeakSynthesizer::WordsPerMinute(LONG rate) {
    return static_cast<int>(std::lround(espeakRATE_NORMAL * std::pow(3.0, rate / 10.0)));
}

#include "EspeakSynthesizer.h"

#include "EspeakMarkup.h"
#include "engine/linux/voices/VoiceLanguage.h"

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
#include <vector>

namespace {

// Small pieces from the synthesizer let a purge take effect within one of them.
constexpr int kChunkMilliseconds = 20;

constexpr const char* kInitialVoice = "en";

/// One espeak_Synth call's own state, handed to the callback as espeak-ng's user data.
struct Call {
    const SynthesisCall& call;
    unsigned sampleRate;
};

int OnSynthesized(short* samples, int count, espeak_EVENT* events) {
    if (samples == nullptr || count <= 0 || events == nullptr || events->user_data == nullptr) return 0;
    const Call& current = *static_cast<const Call*>(events->user_data);
    // espeak-ng applies markup's volume itself: its audio is at the voice's own level.
    return current.call.onAudio(samples, static_cast<size_t>(count), current.sampleRate, 1.0f) ? 0 : 1;
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

}  // namespace

bool EspeakSynthesizer::UseVoice(const char* name) {
    if (loadedVoice == name) return true;
    loadedVoice.clear();
    if (espeak_SetVoiceByName(name) != EE_OK) return false;
    loadedVoice = name;
    return true;
}

bool EspeakSynthesizer::Load() {
    if (loadTried) return sampleRate > 0;
    loadTried = true;
    int rate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, kChunkMilliseconds, nullptr, espeakINITIALIZE_DONT_EXIT);
    if (rate <= 0) return false;
    espeak_SetSynthCallback(OnSynthesized);
    if (!UseVoice(kInitialVoice)) return false;
    sampleRate = rate;
    return true;
}

HRESULT EspeakSynthesizer::Available() {
    // Loading the data (about 0.7 MiB, a few milliseconds) waits for the first synthesis,
    // so that a voice that waits to speak stays small; here only its presence is checked.
    std::call_once(availability, [this] { availabilityResult = DataIsThere() ? S_OK : E_FAIL; });
    return availabilityResult;
}

void EspeakSynthesizer::AddVoicesTo(voices::Catalogue& catalogue) {
    // One voice per language of the table. They are all male adults; espeak-ng speaks
    // each language in other voices through its variants, which markup asks for by
    // gender and age.
    catalogue.AddLater([this] {
        std::vector<Voice> voices;
        std::map<std::string, std::string> espeakNames = VoiceNames();
        for (const char* espeakVoice : voicelanguage::TableVoices()) {
            auto named = espeakNames.find(espeakVoice);
            if (named == espeakNames.end()) continue;
            Voice voice{named->second, "", 0, "Male", "Adult", SynthesisEngine::Espeak, espeakVoice};
            voicelanguage::LanguageOfVoice(espeakVoice, &voice.language, &voice.lcid);
            voices.push_back(std::move(voice));
        }
        return voices;
    });
}

void EspeakSynthesizer::Prepare(const Voice& voice) {
    if (FAILED(Available())) return;
    std::lock_guard<std::mutex> guard(synthesisLock);
    if (Load()) UseVoice(voice.engineVoice.c_str());
}

bool EspeakSynthesizer::SaysOnlyAscii() const { return false; }

// espeak-ng reads the words it is given in its own rules, which it does not show.
std::string EspeakSynthesizer::Words(const Voice&, const UtterancePart* begin, const UtterancePart* end) {
    std::string words;
    for (const UtterancePart* part = begin; part != end; ++part) {
        std::string said = AsWritten(*part);
        if (said.empty()) continue;
        if (!words.empty()) words += ' ';
        words += said;
    }
    return words;
}

std::map<std::string, std::string> EspeakSynthesizer::VoiceNames() {
    std::map<std::string, std::string> names;
    if (FAILED(Available())) return names;
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

HRESULT EspeakSynthesizer::Synthesize(const Voice& voice, const UtterancePart* begin, const UtterancePart* end,
                                      const SynthesisCall& call) {
    HRESULT hr = Available();
    if (FAILED(hr)) return hr;
    EspeakMarkup markup = ToEspeakMarkup(begin, end);
    if (markup.text.empty()) return S_OK;
    std::lock_guard<std::mutex> guard(synthesisLock);
    if (!Load()) return E_FAIL;
    if (!UseVoice(voice.engineVoice.c_str()) && !UseVoice(kInitialVoice)) return E_FAIL;
    // espeak-ng's normal pace is 175 words a minute; it clamps the value to what it can do.
    espeak_SetParameter(espeakRATE, static_cast<int>(std::lround(espeakRATE_NORMAL * call.pace)), 0);
    Call current{call, static_cast<unsigned>(sampleRate.load())};
    unsigned flags = espeakCHARS_UTF8 | espeakSSML | (markup.phonemes ? espeakPHONEMES : 0);
    espeak_ERROR result =
        espeak_Synth(markup.text.c_str(), markup.text.size() + 1, 0, POS_CHARACTER, 0, flags, nullptr, &current);
    // A <voice> element may have switched espeak-ng to another voice for good.
    loadedVoice.clear();
    return result == EE_OK ? S_OK : E_FAIL;
}


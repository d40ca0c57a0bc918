#include "FliteSynthesizer.h"

#include <dlfcn.h>
#include <flite/flite.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <csetjmp>
#include <cstring>
#include <map>
#include <mutex>
#include <vector>

#include "EspeakText.h"
#include "PhoneSet.h"

namespace {

std::mutex synthesisLock;

struct LoadedVoice {
    cst_voice* voice = nullptr;
    float ownStretch = 1.0f;  // the voice's own duration_stretch
    float level = 1.0f;       // the gain that makes it as loud as the others
};

// flite's voices speak at levels some 13 dB apart: each is brought to espeak-ng's (an RMS
// of about -20.5 dBFS on a sentence of plain prose, as measured with sox), so a change of
// voice, or of engine, in the middle of a text keeps the loudness.
struct Level {
    const char* voice;
    float gain;
};
constexpr Level kLevels[] = {{"kal16", 2.4f}, {"slt", 0.55f}, {"rms", 1.07f}, {"awb", 0.95f}, {"kal", 0.95f}};
std::map<std::string, LoadedVoice> loaded;  // guarded by synthesisLock

// All guarded by synthesisLock:
const FliteSynthesizer::ChunkHandler* currentHandler = nullptr;
float currentGain = 1.0f;
std::vector<int16_t> scaled;
bool leaveOutOpeningPause = false;        // of the synthesis's first utterance
const cst_utterance* firstUtterance = nullptr;
int openingPauseSamples = 0;              // of firstUtterance

/// The samples of the pause flite opens `utterance` with.
int OpeningPauseSamples(const cst_utterance* utterance, int sampleRate) {
    const cst_item* first = relation_head(utt_relation(utterance, "Segment"));
    if (first == nullptr || std::strcmp(item_feat_string(first, "name"), "pau") != 0) return 0;
    return static_cast<int>(item_feat_float(first, "end") * static_cast<float>(sampleRate));
}

int OnAudio(const cst_wave* wave, int start, int size, int, cst_audio_streaming_info* streaming) {
    if (currentHandler == nullptr || size <= 0) return CST_AUDIO_STREAM_CONT;
    if (leaveOutOpeningPause && streaming->utt != nullptr) {
        if (firstUtterance == nullptr) {
            firstUtterance = streaming->utt;
            openingPauseSamples = OpeningPauseSamples(firstUtterance, wave->sample_rate);
        }
        if (streaming->utt == firstUtterance && start < openingPauseSamples) {
            int skipped = std::min(size, openingPauseSamples - start);
            start += skipped;
            size -= skipped;
            if (size == 0) return CST_AUDIO_STREAM_CONT;
        }
    }
    const int16_t* samples = wave->samples + start;
    if (currentGain != 1.0f) {
        // In 1/4096 steps, whole numbers only: a loop the compiler turns into vector
        // instructions, where rounding each sample in floating point cost as much as a
        // tenth of the synthesis.
        const int32_t gain = static_cast<int32_t>(std::lround(currentGain * 4096.0f));
        scaled.resize(static_cast<size_t>(size));
        for (int i = 0; i < size; ++i) {
            int32_t value = (samples[i] * gain + 2048) >> 12;
            scaled[i] = static_cast<int16_t>(value < -32768 ? -32768 : value > 32767 ? 32767 : value);
        }
        samples = scaled.data();
    }
    bool goOn = (*currentHandler)(samples, static_cast<size_t>(size), static_cast<unsigned>(wave->sample_rate));
    return goOn ? CST_AUDIO_STREAM_CONT : CST_AUDIO_STREAM_STOP;
}

/// The voice `name`, opened and registered on its first use; null when it cannot be.
/// With the lock held.
LoadedVoice* Load(const std::string& name) {
    auto found = loaded.find(name);
    if (found != loaded.end()) return found->second.voice != nullptr ? &found->second : nullptr;
    LoadedVoice& entry = loaded[name];  // a failure is remembered too
    static bool initialized = (flite_init(), true);
    (void)initialized;
    // Kept open for the life of the process: flite's voices point into the library.
    void* library = ::dlopen(("libflite_cmu_us_" + name + ".so.1").c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) return nullptr;
    using Register = cst_voice* (*)(const char*);
    auto registerVoice = reinterpret_cast<Register>(::dlsym(library, ("register_cmu_us_" + name).c_str()));
    cst_voice* voice = registerVoice != nullptr ? registerVoice(nullptr) : nullptr;
    if (voice == nullptr) return nullptr;
    entry.ownStretch = flite_get_param_float(voice->features, "duration_stretch", 1.0f);
    for (const Level& level : kLevels)
        if (name == level.voice) entry.level = level.gain;
    cst_audio_streaming_info* streaming = new_audio_streaming_info();
    streaming->asc = OnAudio;
    flite_feat_set(voice->features, "streaming_info", audio_streaming_info_val(streaming));
    entry.voice = voice;
    return &entry;
}

// Letter names in flite's phones: a letter alone is not always read as its name ("a" is
// the article).
constexpr const char* kLetterPhones[26] = {
    "ey1", "b iy1", "s iy1", "d iy1", "iy1", "eh1 f", "jh iy1", "ey1 ch", "ay1", "jh ey1", "k ey1", "eh1 l", "eh1 m",
    "eh1 n", "ow1", "p iy1", "k y uw1", "aa1 r", "eh1 s", "t iy1", "y uw1", "v iy1", "d ah1 b ax0 l y uw0",
    "eh1 k s", "w ay1", "z iy1"};

// How emphasis is said: flite has no emphasis of its own, so it is a little slower,
// higher and louder (or, reduced, the other way).
struct Emphasis {
    const char* level;
    double stretch, pitch, gain;
};
constexpr Emphasis kEmphases[] = {{"moderate", 1.1, 1.12, 1.3}, {"strong", 1.2, 1.25, 1.6}, {"reduced", 0.95, 0.92, 0.7}};

// The most tokens, and bytes of them, one utterance of flite's holds: a long sentence's
// words. flite makes room for all of an utterance's audio at once and keeps it to the end.
constexpr size_t kMostTokens = 40;
constexpr size_t kMostBytes = 250;

/// Builds flite's utterances token by token and synthesizes each as soon as it is whole,
/// so the first sentence is heard while the rest waits.
class Sentences {
public:
    Sentences(cst_voice* voice, const std::function<bool()>& stopped) : voice(voice), stopped(stopped) {}
    ~Sentences() {
        if (utterance != nullptr) delete_utterance(utterance);
    }

    /// Adds one token; `phones` (flite's) says how it is pronounced, if not by flite. An
    /// utterance that is long enough is spoken first; false when that was stopped.
    bool Add(const char* name, const char* whitespace, const char* prepunctuation, const char* punctuation,
             const char* phones) {
        if ((tokenCount >= kMostTokens || byteCount >= kMostBytes) && !Speak()) return false;
        ++tokenCount;
        byteCount += std::strlen(name);
        if (utterance == nullptr) {
            utterance = new_utterance();
            tokens = utt_relation_create(utterance, "Token");
        }
        cst_item* token = relation_append(tokens, nullptr);
        item_set_string(token, "name", name);
        item_set_string(token, "whitespace", whitespace);
        item_set_string(token, "prepunctuation", prepunctuation);
        item_set_string(token, "punc", punctuation);
        if (phones != nullptr) item_set_string(token, "phones", phones);
        return true;
    }

    /// Gives the last token `punctuation` when it has none (a boundary markup asked for).
    void Punctuate(const char* punctuation) {
        cst_item* last = tokens != nullptr ? relation_tail(tokens) : nullptr;
        if (last != nullptr && item_feat_string(last, "punc")[0] == '\0') item_set_string(last, "punc", punctuation);
    }

    bool Empty() const { return utterance == nullptr || relation_head(tokens) == nullptr; }

    /// Synthesizes what has been added; false when it was stopped.
    bool Speak() {
        if (Empty()) return true;
        // Before an utterance's words are analysed, which flite does in one go.
        if (stopped()) return false;
        cst_utterance* done = flite_do_synth(utterance, voice, utt_synth_tokens);
        utterance = nullptr;
        tokens = nullptr;
        tokenCount = byteCount = 0;
        bool interrupted = done == nullptr || flite_get_param_int(done->features, "Interrupted", 0) != 0;
        if (done != nullptr) delete_utterance(done);
        return !interrupted;
    }

    /// Words as flite reads them, spoken a sentence at a time; false when stopped.
    bool AddText(const std::string& text) {
        cst_tokenstream* stream = ts_open_string(text.c_str(), flite_get_param_string(voice->features, "text_whitespace", nullptr),
                                                 flite_get_param_string(voice->features, "text_singlecharsymbols", nullptr),
                                                 flite_get_param_string(voice->features, "text_prepunctuation", nullptr),
                                                 flite_get_param_string(voice->features, "text_postpunctuation", nullptr));
        if (stream == nullptr) return true;
        bool goOn = true;
        while (goOn && !ts_eof(stream)) {
            const char* token = ts_get(stream);
            if (token[0] == '\0') continue;
            // A sentence ends before this token: speak it now.
            if (!Empty() && default_utt_break(stream, token, tokens)) goOn = Speak();
            goOn = goOn && Add(token, stream->whitespace, stream->prepunctuation, stream->postpunctuation, nullptr);
        }
        ts_close(stream);
        return goOn;
    }

private:
    cst_voice* voice;
    const std::function<bool()>& stopped;
    cst_utterance* utterance = nullptr;
    cst_relation* tokens = nullptr;
    size_t tokenCount = 0, byteCount = 0;  // of the utterance being built
};

/// Adds one part to `sentences`; false when the synthesis was stopped.
bool AddPart(Sentences& sentences, const UtterancePart& part) {
    switch (part.kind) {
        case UtterancePart::Kind::Words:
            if (!part.style.spell) return sentences.AddText(EspeakSafeText(part.text));
            for (char c : part.text) {
                unsigned char letter = static_cast<unsigned char>(std::tolower(static_cast<unsigned char>(c)));
                if (std::isspace(letter)) continue;
                std::string name(1, c);
                // Each letter a phrase of its own, so the letters come apart.
                if (!sentences.Add(name.c_str(), " ", "", ",", letter >= 'a' && letter <= 'z' ? kLetterPhones[letter - 'a'] : nullptr))
                    return false;
            }
            return true;
        case UtterancePart::Kind::Phones:
            if (auto words = ReadPronunciation(part.text)) {
                for (const PronouncedWord& word : *words) {
                    std::string punctuation = word.punctuation == '_' ? "," : std::string(word.punctuation != '\0', word.punctuation);
                    if (!sentences.Add("word", " ", "", punctuation.c_str(), FlitePhones(word).c_str())) return false;
                }
            }
            return true;
        case UtterancePart::Kind::Break:
            if (part.text == "strong" || part.text == "x-strong") return sentences.Speak();
            if (part.text == "weak" || part.text == "medium") sentences.Punctuate(",");
            return true;
        case UtterancePart::Kind::Pause: return true;
    }
    return true;
}

struct Request {
    LoadedVoice* voice;
    const UtterancePart* begin;
    const UtterancePart* end;
    double pace;
    const std::function<bool()>* stopped;
};

/// Speaks a Request's parts, one style at a time: flite's pace and pitch hold for a whole
/// utterance.
void SpeakParts(void* context) {
    const Request& request = *static_cast<const Request*>(context);
    cst_voice* voice = request.voice->voice;
    for (const UtterancePart* at = request.begin; at != request.end;) {
        const SpeakingStyle& style = at->style;
        double stretch = 1.0, pitch = style.pitch, gain = style.volume;
        for (const Emphasis& emphasis : kEmphases)
            if (style.emphasis == emphasis.level) stretch = emphasis.stretch, pitch *= emphasis.pitch, gain *= emphasis.gain;
        flite_feat_set_float(voice->features, "duration_stretch",
                             static_cast<float>(request.voice->ownStretch * stretch / (request.pace * style.rate)));
        flite_feat_set_float(voice->features, "f0_shift", static_cast<float>(pitch));
        currentGain = static_cast<float>(gain) * request.voice->level;
        Sentences sentences(voice, *request.stopped);
        bool goOn = true;
        for (; goOn && at != request.end && at->style == style; ++at) goOn = AddPart(sentences, *at);
        if (goOn) goOn = sentences.Speak();
        if (!goOn) return;
    }
}

/// Runs `body`; false when flite reported an error on the way. flite reports one by
/// jumping back here: what it had made for the synthesis is lost.
bool CatchingFliteErrors(void (*body)(void*), void* context) {
    std::jmp_buf onError;
    cst_errjmp = &onError;
    bool failed = setjmp(onError) != 0;
    if (!failed) body(context);
    cst_errjmp = nullptr;
    return !failed;
}

}  // namespace

double FliteSynthesizer::Pace(LONG rate) { return std::pow(3.0, rate / 10.0); }

HRESULT FliteSynthesizer::Synthesize(const std::string& voiceName, const UtterancePart* begin, const UtterancePart* end,
                                     double pace, bool withoutOpeningPause, const ChunkHandler& onChunk,
                                     const std::function<bool()>& stopped) {
    std::lock_guard<std::mutex> guard(synthesisLock);
    LoadedVoice* voice = Load(voiceName);
    if (voice == nullptr) return E_FAIL;
    currentHandler = &onChunk;
    leaveOutOpeningPause = withoutOpeningPause;
    firstUtterance = nullptr;
    Request request{voice, begin, end, pace, &stopped};
    bool spoken = CatchingFliteErrors(SpeakParts, &request);
    currentHandler = nullptr;
    return spoken ? S_OK : E_FAIL;
}

#include "FliteSynthesizer.h"

#include <dlfcn.h>
#include <flite/flite.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <csetjmp>
#include <cstring>
#include <map>
#include <mutex>
#include <vector>

#include "EspeakText.h"
#include "engine/linux/text/PhoneSet.h"

namespace {

std::mutex synthesisLock;

struct LoadedVoice {
    cst_voice* voice = nullptr;
    cst_audio_streaming_info* streaming = nullptr;  // the voice's own, its user data set per call
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

/// One synthesis's own state, which flite hands to OnAudio as its streaming user data.
struct Call {
    explicit Call(const SynthesisCall& request) : request(request), skipNextOpening(request.withoutOpeningPause) {}

    const SynthesisCall& request;
    float level = 1.0f;            // the voice's loudness and the style's volume
    bool skipNextOpening;          // the next utterance is heard without its opening pause
    bool cutClosing = false;       // the utterance being made is heard without its closing pause
    const cst_utterance* current = nullptr;  // the utterance OnAudio last heard of
    int openingEnd = 0;                      // its samples before this are left out
    int closingStart = INT_MAX;              // and from this on
};

/// Where the pause flite closes `utterance` with begins, in samples; INT_MAX if it has none.
int ClosingPauseStart(const cst_utterance* utterance, int sampleRate) {
    const cst_item* last = relation_tail(utt_relation(utterance, "Segment"));
    if (last == nullptr || std::strcmp(item_feat_string(last, "name"), "pau") != 0) return INT_MAX;
    const cst_item* before = item_prev(last);
    return before == nullptr ? 0 : static_cast<int>(item_feat_float(before, "end") * static_cast<float>(sampleRate));
}

/// The samples of the pause flite opens `utterance` with.
int OpeningPauseSamples(const cst_utterance* utterance, int sampleRate) {
    const cst_item* first = relation_head(utt_relation(utterance, "Segment"));
    if (first == nullptr || std::strcmp(item_feat_string(first, "name"), "pau") != 0) return 0;
    return static_cast<int>(item_feat_float(first, "end") * static_cast<float>(sampleRate));
}

int OnAudio(const cst_wave* wave, int start, int size, int, cst_audio_streaming_info* streaming) {
    if (streaming->userdata == nullptr || size <= 0) return CST_AUDIO_STREAM_CONT;
    Call& call = *static_cast<Call*>(streaming->userdata);
    if (streaming->utt != nullptr && streaming->utt != call.current) {
        call.current = streaming->utt;
        call.openingEnd = call.skipNextOpening ? OpeningPauseSamples(call.current, wave->sample_rate) : 0;
        call.skipNextOpening = false;
        call.closingStart = call.cutClosing ? ClosingPauseStart(call.current, wave->sample_rate) : INT_MAX;
    }
    const int from = std::max(start, call.openingEnd);
    const int to = std::min(start + size, call.closingStart);
    if (from >= to) return CST_AUDIO_STREAM_CONT;
    bool goOn = call.request.onAudio(wave->samples + from, static_cast<size_t>(to - from),
                                     static_cast<unsigned>(wave->sample_rate), call.level);
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
    entry.streaming = new_audio_streaming_info();
    entry.streaming->asc = OnAudio;
    flite_feat_set(voice->features, "streaming_info", audio_streaming_info_val(entry.streaming));
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
// The first phrase of a synthesis, when it is to be heard before the rest of its sentence
// is worked out: up to its first punctuation, or this many tokens, joined to what follows
// without the pauses flite closes and opens utterances with.
constexpr size_t kFirstPhraseTokens = 4;

/// Builds flite's utterances token by token and synthesizes each as soon as it is whole,
/// so the first sentence is heard while the rest waits.
class Sentences {
public:
    Sentences(cst_voice* voice, Call& call) : voice(voice), call(call) {}
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

    /// Where an utterance ends: at a sentence's end, or after a first phrase split off
    /// at its punctuation (whose pause is kept) or amid its words (joined to the rest
    /// without a pause).
    enum class Ending { Sentence, Punctuation, AmidWords };

    /// Synthesizes what has been added; false when it was stopped.
    bool Speak(Ending ending = Ending::Sentence) {
        if (Empty()) return true;
        // Before an utterance's words are analysed, which flite does in one go.
        if (call.request.stopped && call.request.stopped()) return false;
        firstPhrasePending = false;
        call.cutClosing = ending == Ending::AmidWords;
        call.current = nullptr;  // the next utterance may be made where the last one was
        cst_utterance* done = flite_do_synth(utterance, voice, utt_synth_tokens);
        call.cutClosing = false;
        // The rest of a sentence goes on without a pause of its own.
        call.skipNextOpening = call.skipNextOpening || ending != Ending::Sentence;
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
            // Or the first phrase is complete, and is to be heard before the rest.
            else if (firstPhrasePending && !Empty()) {
                bool punctuated = item_feat_string(relation_tail(tokens), "punc")[0] != '\0';
                if (punctuated || tokenCount >= kFirstPhraseTokens)
                    goOn = Speak(punctuated ? Ending::Punctuation : Ending::AmidWords);
            }
            goOn = goOn && Add(token, stream->whitespace, stream->prepunctuation, stream->postpunctuation, nullptr);
        }
        ts_close(stream);
        return goOn;
    }

private:
    cst_voice* voice;
    Call& call;
    // Only a statistical voice works out a whole sentence before its first sound; a
    // diphone voice (kal16, kal) starts within milliseconds anyway, and keeps its phrasing.
    bool firstPhrasePending = call.request.firstPhraseAlone && feat_present(voice->features, "cg_db");
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
    Call* call;
};

/// Speaks a Request's parts, one style at a time: flite's pace and pitch hold for a whole
/// utterance.
void SpeakParts(void* context) {
    const Request& request = *static_cast<const Request*>(context);
    cst_voice* voice = request.voice->voice;
    Call& call = *request.call;
    for (const UtterancePart* at = request.begin; at != request.end;) {
        const SpeakingStyle& style = at->style;
        double stretch = 1.0, pitch = style.pitch, gain = style.volume;
        for (const Emphasis& emphasis : kEmphases)
            if (style.emphasis == emphasis.level) stretch = emphasis.stretch, pitch *= emphasis.pitch, gain *= emphasis.gain;
        flite_feat_set_float(voice->features, "duration_stretch",
                             static_cast<float>(request.voice->ownStretch * stretch / (call.request.pace * style.rate)));
        flite_feat_set_float(voice->features, "f0_shift", static_cast<float>(pitch));
        call.level = static_cast<float>(gain) * request.voice->level;
        Sentences sentences(voice, call);
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

void FliteSynthesizer::Prepare(const Voice& voice) {
    std::lock_guard<std::mutex> guard(synthesisLock);
    LoadedVoice* loadedVoice = Load(voice.engineVoice);
    if (loadedVoice == nullptr) return;
    // A word said into nothing touches what a first sentence needs of the voice's tables,
    // so the first real sentence does not wait for them to be read from the disk.
    SynthesisCall quiet;
    quiet.onAudio = [](const int16_t*, size_t, unsigned, float) { return true; };
    UtterancePart part;
    part.text = "Hello.";
    Call call(quiet);
    Request request{loadedVoice, &part, &part + 1, &call};
    loadedVoice->streaming->userdata = &call;
    CatchingFliteErrors(SpeakParts, &request);
    loadedVoice->streaming->userdata = nullptr;
}

HRESULT FliteSynthesizer::Synthesize(const Voice& voice, const UtterancePart* begin, const UtterancePart* end,
                                     const SynthesisCall& synthesisCall) {
    std::lock_guard<std::mutex> guard(synthesisLock);
    LoadedVoice* loadedVoice = Load(voice.engineVoice);
    if (loadedVoice == nullptr) return E_FAIL;
    Call call(synthesisCall);
    Request request{loadedVoice, begin, end, &call};
    loadedVoice->streaming->userdata = &call;
    bool spoken = CatchingFliteErrors(SpeakParts, &request);
    loadedVoice->streaming->userdata = nullptr;
    return spoken ? S_OK : E_FAIL;
}

bool FliteSynthesizer::SaysOnlyAscii() const { return true; }

namespace {

struct WordsRequest {
    cst_voice* voice;
    const std::string* text;
    std::string* words;
};

/// flite's tokens and their words for one text, as its own text analysis makes them.
void AnalyseWords(void* context) {
    const WordsRequest& request = *static_cast<const WordsRequest*>(context);
    cst_utterance* utterance = new_utterance();
    utt_set_input_text(utterance, request.text->c_str());
    utt_init(utterance, request.voice);
    static const cst_synth_module kTokenization = {"tokenizer_func", default_tokenization};
    static const cst_synth_module kAnalysis = {"textanalysis_func", default_textanalysis};
    apply_synth_module(utterance, &kTokenization);
    apply_synth_module(utterance, &kAnalysis);
    for (const cst_item* word = relation_head(utt_relation(utterance, "Word")); word != nullptr; word = item_next(word)) {
        if (!request.words->empty()) *request.words += ' ';
        *request.words += item_feat_string(word, "name");
    }
    delete_utterance(utterance);
}

}  // namespace

std::string FliteSynthesizer::Words(const Voice& voice, const UtterancePart* begin, const UtterancePart* end) {
    std::lock_guard<std::mutex> guard(synthesisLock);
    LoadedVoice* loadedVoice = Load(voice.engineVoice);
    std::string words;
    for (const UtterancePart* part = begin; part != end; ++part) {
        if (part->kind == UtterancePart::Kind::Words && !part->style.spell && loadedVoice != nullptr) {
            const std::string text = EspeakSafeText(part->text);
            std::string analysed;
            WordsRequest request{loadedVoice->voice, &text, &analysed};
            if (CatchingFliteErrors(AnalyseWords, &request)) {
                if (!words.empty() && !analysed.empty()) words += ' ';
                words += analysed;
                continue;
            }
        }
        std::string said = AsWritten(*part);
        if (said.empty()) continue;
        if (!words.empty()) words += ' ';
        words += said;
    }
    return words;
}

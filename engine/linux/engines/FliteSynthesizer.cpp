#include "FliteSynthesizer.h"

#include <dlfcn.h>
#include <flite/flite.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <cstring>
#include <map>
#include <mutex>
#include <vector>

#include "EspeakText.h"
#include "FliteCalls.h"
#include "engine/linux/types/PhoneSet.h"

namespace {

struct FliteVoice {
    const char* name;
    const char* gender;
};

// flite's English voices, the first one the default for English: rms, understood best of
// all at the service's rate 6 as well as at rate 0 (bench/intelligibility.sh). It is a
// statistical voice, which works out a whole sentence before its first sound: heard live,
// a text's first phrase is synthesized on its own and the default voice is made ready when
// the voice is created, so its first sound still comes within milliseconds. The rest
// follow by word error rate at rate 6: kal16, slt, awb, kal (8 kHz).
constexpr FliteVoice kFliteVoices[] = {
    {"rms", "Male"}, {"kal16", "Male"}, {"slt", "Female"}, {"awb", "Male"}, {"kal", "Male"},
};

// flite's voices speak at levels some 13 dB apart: each is brought to espeak-ng's (an RMS
// of about -20.5 dBFS on a sentence of plain prose, as measured with sox), so a change of
// voice, or of engine, in the middle of a text keeps the loudness.
struct Level {
    const char* voice;
    float gain;
};
constexpr Level kLevels[] = {{"kal16", 2.4f}, {"slt", 0.55f}, {"rms", 1.07f}, {"awb", 0.95f}, {"kal", 0.95f}};

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

// Called from inside flite's synthesis: a jump flite makes from the reads here crosses
// this frame, which holds no object with a destructor.
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
/// so the first sentence is heard while the rest waits. Every call into flite goes through
/// FliteCalls: an error flite reports makes the synthesis fail (`failed`), never jumps
/// over this object.
class Sentences {
public:
    Sentences(cst_voice* voice, Call& call) : voice(voice), call(call) {}
    ~Sentences() {
        if (utterance != nullptr) delete_utterance(utterance);
    }
    Sentences(const Sentences&) = delete;
    Sentences& operator=(const Sentences&) = delete;

    bool failed = false;  // flite reported an error

    /// Adds one token; `phones` (flite's) says how it is pronounced, if not by flite. An
    /// utterance that is long enough is spoken first; false when that was stopped or failed.
    bool Add(const char* name, const char* whitespace, const char* prepunctuation, const char* punctuation,
             const char* phones) {
        if ((tokenCount >= kMostTokens || byteCount >= kMostBytes) && !Speak()) return false;
        ++tokenCount;
        byteCount += std::strlen(name);
        return Succeeded(FliteAppendToken(&utterance, &tokens, name, whitespace, prepunctuation, punctuation, phones));
    }

    /// Gives the last token `punctuation` when it has none (a boundary markup asked for).
    bool Punctuate(const char* punctuation) { return Succeeded(FlitePunctuateLast(tokens, punctuation)); }

    bool Empty() const { return utterance == nullptr || relation_head(tokens) == nullptr; }

    /// Where an utterance ends: at a sentence's end, or after a first phrase split off
    /// at its punctuation (whose pause is kept) or amid its words (joined to the rest
    /// without a pause).
    enum class Ending { Sentence, Punctuation, AmidWords };

    /// Synthesizes what has been added; false when it was stopped or failed.
    bool Speak(Ending ending = Ending::Sentence) {
        if (Empty()) return true;
        // Before an utterance's words are analysed, which flite does in one go.
        if (call.request.stopped && call.request.stopped()) return false;
        firstPhrasePending = false;
        call.cutClosing = ending == Ending::AmidWords;
        call.current = nullptr;  // the next utterance may be made where the last one was
        cst_utterance* made = utterance;
        utterance = nullptr;  // the call deletes it, whatever happens
        tokens = nullptr;
        tokenCount = byteCount = 0;
        int interrupted = 0;
        bool spoken = Succeeded(FliteSynthesizeTokens(made, voice, &interrupted));
        call.cutClosing = false;
        // The rest of a sentence goes on without a pause of its own.
        call.skipNextOpening = call.skipNextOpening || ending != Ending::Sentence;
        return spoken && interrupted == 0;
    }

    /// Words as flite reads them, spoken a sentence at a time; false when stopped or failed.
    bool AddText(const std::string& text) {
        cst_tokenstream* stream = nullptr;
        if (!Succeeded(FliteOpenText(voice, text.c_str(), &stream))) return false;
        if (stream == nullptr) return true;
        bool goOn = true;
        while (goOn) {
            const char* token = nullptr;
            int sentenceBreak = 0;
            if (!Succeeded(FliteNextToken(stream, tokens, &token, &sentenceBreak))) goOn = false;
            else if (token[0] == '\0') {
                if (ts_eof(stream)) break;
                continue;
            }
            // A sentence ends before this token: speak it now.
            else if (sentenceBreak != 0) goOn = Speak();
            // Or the first phrase is complete, and is to be heard before the rest.
            else if (firstPhrasePending && !Empty()) {
                int punctuated = 0;
                goOn = Succeeded(FliteLastPunctuated(tokens, &punctuated));
                if (goOn && (punctuated != 0 || tokenCount >= kFirstPhraseTokens))
                    goOn = Speak(punctuated != 0 ? Ending::Punctuation : Ending::AmidWords);
            }
            goOn = goOn && Add(token, stream->whitespace, stream->prepunctuation, stream->postpunctuation, nullptr);
        }
        FliteCloseText(stream);
        return goOn;
    }

private:
    bool Succeeded(int result) {
        failed = failed || result == 0;
        return result != 0;
    }

    cst_voice* voice;
    Call& call;
    // Only a statistical voice works out a whole sentence before its first sound; a
    // diphone voice (kal16, kal) starts within milliseconds anyway, and keeps its phrasing.
    bool firstPhrasePending = call.request.firstPhraseAlone && feat_present(voice->features, "cg_db");
    cst_utterance* utterance = nullptr;
    cst_relation* tokens = nullptr;
    size_t tokenCount = 0, byteCount = 0;  // of the utterance being built
};

/// Adds one part to `sentences`; false when the synthesis was stopped or failed.
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
            if (part.text == "weak" || part.text == "medium") return sentences.Punctuate(",");
            return true;
        case UtterancePart::Kind::Pause: return true;
    }
    return true;
}

/// Speaks the parts [begin, end) with `loaded`, one style at a time: flite's pace and
/// pitch hold for a whole utterance. False when flite reported an error.
bool SpeakParts(const LoadedFliteVoice& loaded, const UtterancePart* begin, const UtterancePart* end, Call& call) {
    cst_voice* voice = loaded.voice;
    for (const UtterancePart* at = begin; at != end;) {
        const SpeakingStyle& style = at->style;
        double stretch = 1.0, pitch = style.pitch, gain = style.volume;
        for (const Emphasis& emphasis : kEmphases)
            if (style.emphasis == emphasis.level) stretch = emphasis.stretch, pitch *= emphasis.pitch, gain *= emphasis.gain;
        if (!FliteSetStyle(voice, static_cast<float>(loaded.ownStretch * stretch / (call.request.pace * style.rate)),
                           static_cast<float>(pitch)))
            return false;
        call.level = static_cast<float>(gain) * loaded.level;
        Sentences sentences(voice, call);
        bool goOn = true;
        for (; goOn && at != end && at->style == style; ++at) goOn = AddPart(sentences, *at);
        if (goOn) goOn = sentences.Speak();
        if (sentences.failed) return false;
        if (!goOn) return true;
    }
    return true;
}

void AppendWord(const char* word, void* context) {
    std::string& words = *static_cast<std::string*>(context);
    if (!words.empty()) words += ' ';
    words += word;
}

}  // namespace

void FliteSynthesizer::AddVoicesTo(voices::Catalogue& catalogue) {
    std::vector<Voice> voices;
    for (const FliteVoice& flite : kFliteVoices)
        voices.push_back(Voice{flite.name, "en-US", 0x409, flite.gender, "Adult", SynthesisEngine::Flite, flite.name});
    catalogue.Add(std::move(voices));
}

LoadedFliteVoice* FliteSynthesizer::Load(const std::string& name) {
    auto found = loaded.find(name);
    if (found != loaded.end()) return found->second.voice != nullptr ? &found->second : nullptr;
    LoadedFliteVoice& entry = loaded[name];  // a failure is remembered too
    // Kept open for the life of the process: flite's voices point into the library.
    void* library = ::dlopen(("libflite_cmu_us_" + name + ".so.1").c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) return nullptr;
    using Register = cst_voice* (*)(const char*);
    auto registerVoice = reinterpret_cast<Register>(::dlsym(library, ("register_cmu_us_" + name).c_str()));
    cst_voice* voice = nullptr;
    cst_audio_streaming_info* streaming = nullptr;
    if (registerVoice == nullptr || !FliteRegisterVoice(registerVoice, OnAudio, &voice, &streaming) || voice == nullptr)
        return nullptr;
    entry.ownStretch = flite_get_param_float(voice->features, "duration_stretch", 1.0f);
    for (const Level& level : kLevels)
        if (name == level.voice) entry.level = level.gain;
    entry.streaming = streaming;
    entry.voice = voice;
    return &entry;
}

void FliteSynthesizer::Prepare(const Voice& voice) {
    std::lock_guard<std::mutex> guard(synthesisLock);
    LoadedFliteVoice* loadedVoice = Load(voice.engineVoice);
    if (loadedVoice == nullptr) return;
    // A word said into nothing touches what a first sentence needs of the voice's tables,
    // so the first real sentence does not wait for them to be read from the disk.
    SynthesisCall quiet;
    quiet.onAudio = [](const int16_t*, size_t, unsigned, float) { return true; };
    UtterancePart part;
    part.text = "Hello.";
    Call call(quiet);
    loadedVoice->streaming->userdata = &call;
    SpeakParts(*loadedVoice, &part, &part + 1, call);
    loadedVoice->streaming->userdata = nullptr;
}

HRESULT FliteSynthesizer::Synthesize(const Voice& voice, const UtterancePart* begin, const UtterancePart* end,
                                     const SynthesisCall& synthesisCall) {
    std::lock_guard<std::mutex> guard(synthesisLock);
    LoadedFliteVoice* loadedVoice = Load(voice.engineVoice);
    if (loadedVoice == nullptr) return E_FAIL;
    Call call(synthesisCall);
    loadedVoice->streaming->userdata = &call;
    bool spoken = SpeakParts(*loadedVoice, begin, end, call);
    loadedVoice->streaming->userdata = nullptr;
    return spoken ? S_OK : E_FAIL;
}

bool FliteSynthesizer::SaysOnlyAscii() const { return true; }

std::string FliteSynthesizer::Words(const Voice& voice, const UtterancePart* begin, const UtterancePart* end) {
    std::lock_guard<std::mutex> guard(synthesisLock);
    LoadedFliteVoice* loadedVoice = Load(voice.engineVoice);
    std::string words;
    for (const UtterancePart* part = begin; part != end; ++part) {
        if (part->kind == UtterancePart::Kind::Words && !part->style.spell && loadedVoice != nullptr) {
            const std::string text = EspeakSafeText(part->text);
            std::string analysed;
            if (FliteAnalyseWords(loadedVoice->voice, text.c_str(), AppendWord, &analysed)) {
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

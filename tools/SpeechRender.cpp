// speech-render: the rendering facility for a shell. Speech into a 44.1 kHz 16-bit mono
// WAV file or raw PCM, and WAV files into their "_mono.wav" siblings, through the same
// Speaker the service drives. It exits 0 only when everything asked was made; whatever
// failed is reported, and a file that failed is not left behind.
#include <getopt.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "ProgressBar.h"
#include "Tool.h"
#include "VoiceChoice.h"
#include "speech/FileRendering.h"
#include "speech/MemoryOutput.h"
#include "speech/Speaker.h"
#include "speech/WidenText.h"

namespace {

constexpr double kMonoBytesPerSecond = 44100 * 2;  // what every output holds per second

const char kUsage[] =
    "usage: speech-render [--voice NAME] [--rate N] [--volume N] -o OUT.wav [TEXT...]\n"
    "       speech-render --raw [--voice NAME] [--rate N] [--volume N] -o OUT [TEXT...]\n"
    "       speech-render --words [--voice NAME] [TEXT...]\n"
    "       speech-render --mono FILE...\n"
    "       speech-render --list-voices\n"
    "Renders TEXT (the words joined by blanks), or standard input when there is none, as\n"
    "speech into a 44.1 kHz 16-bit mono WAV file; with --raw as the same samples without a\n"
    "header (-o - writes them to standard output); with --mono turns each WAV FILE into a\n"
    "44.1 kHz 16-bit mono sibling (take.wav gives take_mono.wav) and prints its name;\n"
    "with --words prints the words the voice will say for TEXT: numbers, money, dates,\n"
    "symbols and addresses as read aloud, after the engine's own reading where it shows one.\n"
    "  -o, --output FILE  where the speech goes\n"
    "      --voice NAME   the voice that speaks (a name or a language tag from\n"
    "                     --list-voices; default: SPEECH_VOICE, else the user's language)\n"
    "      --list-voices  print the voices, one a line: name, language, gender, age,\n"
    "                     engine, tab-separated\n"
    "  -r, --rate N       speaking rate, -10 (a third as fast) to 10 (three times), 0 normal\n"
    "  -v, --volume N     volume, 0 to 100 (the default)\n"
    "      --words        print the words TEXT is said as; nothing is rendered\n"
    "      --raw          raw PCM instead of a WAV file\n"
    "      --mono         convert WAV files instead of rendering text\n"
    "  -q, --quiet        no progress bar (there is none either when standard error is\n"
    "                     not a terminal)\n"
    "  -h, --help         show this help\n"
    "  -V, --version      show the version\n"
    "Exit status: 0 everything was made, 1 something failed (a message says what), 2 bad usage.\n";

int UsageError(const std::string& message) { return ::UsageError("speech-render", message); }

int Failure(const std::string& message) {
    std::cerr << "speech-render: " << message << "\n";
    return kExitFailure;
}

/// A 16-bit string the Speaker takes, from the tool's 8-bit text.
std::basic_string<WCHAR> Wide(const std::string& text) {
    WCHAR* wide = WidenText(text.c_str());
    if (wide == nullptr) return {};
    std::basic_string<WCHAR> copy(wide);
    std::free(wide);
    return copy;
}

/// `text` said by the voice `voice` (none: the default voice), which the engine is told
/// in markup, as any sender could.
std::string Voiced(const std::string& voice, const std::string& text) {
    if (voice.empty()) return text;
    size_t first = text.find_first_not_of(" \t\r\n");
    return InVoice(voice, text, first != std::string::npos && text[first] == '<');
}

/// The text in `count` pieces or fewer, each of whole sentences, so that progress can be
/// shown between them. Every piece is spoken on its own, and the voice converts and
/// writes a piece's audio beside its synthesis only while the piece lasts: the fewer, the
/// sooner done. Markup is kept whole: cutting it would break its elements.
std::vector<std::string> Pieces(const std::string& text, size_t count) {
    size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    if (text[first] == '<') return {text};
    const size_t pieceSize = text.size() / count;
    std::vector<std::string> pieces;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        bool ends = (text[i] == '.' || text[i] == '!' || text[i] == '?' || text[i] == '\n') &&
                    (i + 1 == text.size() || std::strchr(" \t\r\n", text[i + 1]) != nullptr);
        if ((ends && i + 1 - start >= pieceSize) || i + 1 == text.size()) {
            std::string piece = text.substr(start, i + 1 - start);
            if (piece.find_first_not_of(" \t\r\n") != std::string::npos) pieces.push_back(piece);
            start = i + 1;
        }
    }
    return pieces;
}

/// Speaks the pieces one after another into the speaker's output, showing progress.
HRESULT SpeakPieces(Speaker& speaker, const std::vector<std::string>& pieces, ProgressBar& progress,
                    const std::string& label) {
    for (size_t i = 0; i < pieces.size(); ++i) {
        progress.Show(static_cast<double>(i) / pieces.size(), label);
        HRESULT hr = speaker.SpeakText(Wide(pieces[i]).c_str());
        if (FAILED(hr)) return hr;
        speaker.WaitUntilDone(INFINITE);
    }
    progress.Show(1.0, label);
    return S_OK;
}

int RenderText(Speaker& speaker, const std::string& text, const std::string& voice, const std::string& output, bool raw,
               std::FILE* data, ProgressBar& progress) {
    // A tenth at a time while the progress is shown, else all of it in one.
    std::vector<std::string> pieces = Pieces(text, progress.IsDrawn() ? 10 : 1);
    if (pieces.empty()) return UsageError("there is no text to render");
    for (std::string& piece : pieces) piece = Voiced(voice, piece);
    if (raw) {
        // Ends the process with a message if memory cannot be had.
        InterfaceHolder<ISpStream> memory = speaker.CreateMemoryOutput();
        HRESULT hr = SpeakPieces(speaker, pieces, progress, output);
        progress.Done();
        if (FAILED(hr)) return Failure("the speech could not be rendered");
        if (output == "-")
            DumpStreamTo(memory, data, "standard output");
        else
            DumpStreamToFile(memory, output.c_str());  // ends the process on a failure
        return 0;
    }
    HRESULT hr = speaker.BindOutputToFile(Wide(output).c_str());
    if (SUCCEEDED(hr)) hr = SpeakPieces(speaker, pieces, progress, output);
    HRESULT finished = speaker.FinishFileOutput();
    progress.Done();
    if (FAILED(hr) || FAILED(finished)) return Failure(output + " was not made");
    return 0;
}

/// Converts one file while a watcher shows how far its sibling has grown against the
/// size its input's length promises.
HRESULT ConvertOne(Speaker& speaker, const std::string& input, std::string* made, ProgressBar& progress,
                   double before, double share) {
    double expected = 0;
    {
        InterfaceHolder<ISpStream> stream;
        std::basic_string<WCHAR> name = Wide(input);
        GUID id{};
        WAVEFORMATEX* format = nullptr;
        std::error_code error;
        auto size = std::filesystem::file_size(input, error);
        if (SUCCEEDED(BindStreamToFile(name.c_str(), SPFM_OPEN_READONLY, stream.Slot(), nullptr, nullptr,
                                       SPFEI_ALL_EVENTS)) &&
            SUCCEEDED(stream->GetFormat(&id, &format)) && format != nullptr && format->nAvgBytesPerSec > 0 && !error)
            expected = static_cast<double>(size) / format->nAvgBytesPerSec * kMonoBytesPerSecond;
        CoTaskMemFree(format);
    }
    std::vector<char> name(input.begin(), input.end());
    name.push_back('\0');
    const std::string sibling = MonoSiblingOf(input);

    std::mutex lock;
    std::condition_variable finished;
    bool done = false;
    std::thread watcher([&] {
        std::unique_lock<std::mutex> guard(lock);
        while (!finished.wait_for(guard, std::chrono::milliseconds(100), [&] { return done; })) {
            std::error_code error;
            auto grown = std::filesystem::file_size(sibling, error);
            if (!error && expected > 0) progress.Show(before + share * std::min(1.0, grown / expected), input);
        }
    });
    progress.Show(before, input);
    HRESULT hr = ConvertFileToMono(speaker, name.data());
    {
        std::lock_guard<std::mutex> guard(lock);
        done = true;
    }
    finished.notify_all();
    watcher.join();
    if (SUCCEEDED(hr)) *made = sibling;
    return hr;
}

int ConvertFiles(Speaker& speaker, const std::vector<std::string>& inputs, std::FILE* data, ProgressBar& progress) {
    int status = 0;
    for (size_t i = 0; i < inputs.size(); ++i) {
        std::string made;
        double share = 1.0 / inputs.size();
        HRESULT hr = ConvertOne(speaker, inputs[i], &made, progress, i * share, share);
        progress.Done();
        if (FAILED(hr)) {
            Failure(inputs[i] + " was not converted");
            status = kExitFailure;
            continue;
        }
        std::fprintf(data, "%s\n", made.c_str());
        std::fflush(data);
    }
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    enum { kRaw = 1000, kMono, kVoice, kListVoices, kWords };
    const option options[] = {
        {"output", required_argument, nullptr, 'o'}, {"rate", required_argument, nullptr, 'r'},
        {"volume", required_argument, nullptr, 'v'}, {"raw", no_argument, nullptr, kRaw},
        {"mono", no_argument, nullptr, kMono},       {"quiet", no_argument, nullptr, 'q'},
        {"voice", required_argument, nullptr, kVoice}, {"list-voices", no_argument, nullptr, kListVoices},
        {"words", no_argument, nullptr, kWords},
        {"help", no_argument, nullptr, 'h'},         {"version", no_argument, nullptr, 'V'},
        {nullptr, 0, nullptr, 0},
    };
    std::string output;
    bool hasOutput = false, raw = false, mono = false, quiet = false;
    long rate = 0, volume = SPMAX_VOLUME;
    bool hasRate = false, hasVolume = false, listVoices = false, words = false;
    std::string voice;
    opterr = 0;
    for (int choice; (choice = getopt_long(argc, argv, "+o:r:v:qhV", options, nullptr)) != -1;) {
        switch (choice) {
            case 'o': output = optarg; hasOutput = true; break;
            case 'r':
                if (!ParseWholeNumber(optarg, SPMIN_RATE, SPMAX_RATE, &rate))
                    return UsageError(NotInRange("rate", SPMIN_RATE, SPMAX_RATE, optarg));
                hasRate = true;
                break;
            case 'v':
                if (!ParseWholeNumber(optarg, SPMIN_VOLUME, SPMAX_VOLUME, &volume))
                    return UsageError(NotInRange("volume", SPMIN_VOLUME, SPMAX_VOLUME, optarg));
                hasVolume = true;
                break;
            case kRaw: raw = true; break;
            case kMono: mono = true; break;
            case kVoice:
                voice = optarg;
                if (!IsVoiceName(voice)) return UsageError("--voice needs a name without ';' or '='");
                break;
            case kListVoices: listVoices = true; break;
            case kWords: words = true; break;
            case 'q': quiet = true; break;
            case 'h': std::fputs(kUsage, stdout); return 0;
            case 'V': std::printf("speech-render %s\n", ToolVersion()); return 0;
            default:
                return UsageError(optopt != 0 ? std::string("unknown option or missing value: -") +
                                                    static_cast<char>(optopt)
                                              : std::string("unknown option ") + argv[optind - 1]);
        }
    }
    if (listVoices) {
        if (argc != 2) return UsageError("--list-voices takes nothing else");
        std::vector<std::string> lines = VoiceLines();
        if (lines.empty()) return Failure("this platform lists its voices in its own speech settings");
        for (const std::string& line : lines) std::printf("%s\n", line.c_str());
        return 0;
    }
    if (!voice.empty()) {
        std::string named = VoiceNamed(voice);
        if (named.empty()) return UsageError("there is no voice " + voice + " (--list-voices lists them)");
        voice = named;
    }
    if (words && (mono || hasOutput || raw || hasRate || hasVolume))
        return UsageError("--words takes only the text, and --voice");
    if (mono && (hasOutput || raw || hasRate || hasVolume || !voice.empty()))
        return UsageError("--mono takes only the files to convert, and -q");
    if (mono && optind == argc) return UsageError("--mono needs at least one WAV file");
    if (!mono && !words && !hasOutput) return UsageError("-o OUT is needed: where should the speech go?");
    if (!mono && !words && output.empty()) return UsageError("-o needs a file name");

    std::string text;
    if (!mono) {
        text = optind < argc ? JoinArguments(argc, argv, optind)
                             : std::string((std::istreambuf_iterator<char>(std::cin)), std::istreambuf_iterator<char>());
    }

    if (words) {
        std::string said;
        if (!SpokenWords(Voiced(voice, text), &said)) return Failure("this platform's engine does not show its words");
        std::printf("%s\n", said.c_str());
        return 0;
    }

    // What the tool makes goes to standard output; the rendering facility's messages
    // join the tool's own on standard error.
    std::FILE* data = TakeStandardOutputForData();
    if (data == nullptr) return Failure("can not use standard output");
    CoInitialize(nullptr);
    Speaker speaker;
    if (!speaker.HasVoice()) {
        std::fprintf(stderr, "can not create the voice, hr %x\n", static_cast<unsigned>(speaker.VoiceCreationResult()));
        return kExitFailure;
    }
    speaker.SetVolume(static_cast<USHORT>(volume));
    speaker.SetRate(rate);
    ProgressBar progress(!quiet);
    if (mono) return ConvertFiles(speaker, std::vector<std::string>(argv + optind, argv + argc), data, progress);
    return RenderText(speaker, text, voice, output, raw, data, progress);
}

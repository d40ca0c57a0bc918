// speech-say: tells the running speech service to speak, to stop, or to change its volume
// or rate, by sending it the datagrams it takes. Nothing is sent unless the whole command
// line can be carried out: values the voices do not take, and texts longer than one
// datagram holds, are refused before the first datagram leaves.
#include <getopt.h>

#include <cstdio>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "Tool.h"
#include "engine/Engine.h"
#include "service/CommandDatagram.h"
#include "service/ServiceAddress.h"
#include "service/SocketLayer.h"

namespace {

// The service never answers; a refusal from the system comes back within this time.
constexpr int kRefusalWaitMs = 200;

const char kUsage[] =
    "usage: speech-say [--volume N] [--rate N] [--voice NAME] [TEXT...]\n"
    "       speech-say --stop\n"
    "Speaks TEXT (the words joined by blanks), or standard input when no TEXT, no --stop\n"
    "and no setting is given, through the speech service on 127.0.0.1 port %u, cutting\n"
    "off whatever it is saying.\n"
    "  -v, --volume N   set the volume first, 0 to 100\n"
    "  -r, --rate N     set the speaking rate first, 0 (normal) to 10 (three times as fast)\n"
    "      --voice NAME the voice that speaks the text (speech-render --list-voices names\n"
    "                   them); the text goes in markup that asks for it\n"
    "  -s, --stop       stop speaking\n"
    "  -h, --help       show this help\n"
    "  -V, --version    show the version\n"
    "Exit status: 0 sent, 1 no service is listening or sending failed, 2 bad usage.\n";

int UsageError(const std::string& message) { return ::UsageError("speech-say", message); }

/// Standard input, less one line end at its end (what echo and most editors add).
std::string ReadStandardInput() {
    std::string text((std::istreambuf_iterator<char>(std::cin)), std::istreambuf_iterator<char>());
    if (!text.empty() && text.back() == '\n') text.pop_back();
    if (!text.empty() && text.back() == '\r') text.pop_back();
    return text;
}

int Send(const std::vector<std::vector<unsigned char>>& datagrams) {
    StartSocketLayer();
    SocketHandle socket = OpenUdpSocket();
    if (!ConnectSocket(socket, LoopbackAddress(kServicePort))) {
        std::perror("speech-say: connect");
        return kExitFailure;
    }
    bool refused = false;
    for (const auto& datagram : datagrams) {
        SendResult result = SendOnSocket(socket, datagram.data(), static_cast<int>(datagram.size()));
        if (result == SendResult::Refused) {
            refused = true;
            break;
        }
        if (result == SendResult::Failed) {
            std::perror("speech-say: send");
            CloseSocket(socket);
            return kExitFailure;
        }
    }
    refused = refused || PeerRefused(socket, kRefusalWaitMs);
    CloseSocket(socket);
    if (refused) {
        std::fprintf(stderr, "no speech service is listening on 127.0.0.1 port %u\n", unsigned{kServicePort});
        return kExitFailure;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    enum { kVoiceOption = 1000 };
    const option options[] = {
        {"volume", required_argument, nullptr, 'v'}, {"rate", required_argument, nullptr, 'r'},
        {"stop", no_argument, nullptr, 's'},         {"help", no_argument, nullptr, 'h'},
        {"version", no_argument, nullptr, 'V'},      {"voice", required_argument, nullptr, kVoiceOption},
        {nullptr, 0, nullptr, 0},
    };
    std::string voice;
    long volume = -1;
    long rate = -1;
    bool stop = false;
    opterr = 0;  // the messages below say more than getopt's
    for (int choice; (choice = getopt_long(argc, argv, "+v:r:shV", options, nullptr)) != -1;) {
        switch (choice) {
            case 'v':
                if (!ParseWholeNumber(optarg, SPMIN_VOLUME, SPMAX_VOLUME, &volume))
                    return UsageError(NotInRange("volume", SPMIN_VOLUME, SPMAX_VOLUME, optarg) + "; nothing was sent");
                break;
            case 'r':
                // The datagram's value is unsigned: the lower half of the voices' rates is out of reach.
                if (!ParseWholeNumber(optarg, 0, SPMAX_RATE, &rate))
                    return UsageError(NotInRange("rate", 0, SPMAX_RATE, optarg) +
                                      " (the service's datagrams cannot carry a rate below 0); nothing was sent");
                break;
            case 's': stop = true; break;
            case kVoiceOption:
                voice = optarg;
                // The platform's attribute list is parted by ';' and '='.
                if (!IsVoiceName(voice))
                    return UsageError("--voice needs a name without ';' or '='; nothing was sent");
                break;
            case 'h': std::printf(kUsage, unsigned{kServicePort}); return 0;
            case 'V': std::printf("speech-say %s\n", ToolVersion()); return 0;
            default:
                return UsageError(optopt != 0 ? std::string("unknown option or missing value: -") +
                                                    static_cast<char>(optopt)
                                              : std::string("unknown option ") + argv[optind - 1]);
        }
    }

    bool hasText = optind < argc;
    if (stop && hasText) return UsageError("--stop takes no text; nothing was sent");
    if (stop && !voice.empty()) return UsageError("--stop takes no voice; nothing was sent");
    std::string text = hasText ? JoinArguments(argc, argv, optind) : std::string();
    bool speaks = hasText || stop;
    if (!speaks && volume < 0 && rate < 0) {
        text = ReadStandardInput();
        // An empty standard input says nothing; an empty speak would stop the service.
        if (text.empty()) return 0;
        speaks = true;
    }
    if (text.find('\0') != std::string::npos)
        return UsageError("the text holds a NUL byte, which would end it early; nothing was sent");
    if (!voice.empty() && !text.empty()) text = InVoice(voice, text);
    if (text.size() > static_cast<size_t>(kLongestText))
        return UsageError("the text is " + std::to_string(text.size()) + " bytes long, and one datagram carries at most " +
                          std::to_string(kLongestText) +
                          " (each text cuts off the one before, so it cannot be split); nothing was sent");

    std::vector<std::vector<unsigned char>> datagrams;
    if (volume >= 0) datagrams.push_back(EncodeCommand(SET_VOLUME, static_cast<uint16_t>(volume)));
    if (rate >= 0) datagrams.push_back(EncodeCommand(SET_RATE, static_cast<uint16_t>(rate)));
    if (speaks) datagrams.push_back(EncodeSpeak(text));
    return Send(datagrams);
}

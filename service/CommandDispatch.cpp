#include "CommandDispatch.h"

#include <cstdio>
#include <cstdlib>

#include "speech/Speaker.h"
#include "speech/WidenText.h"

namespace {

using CommandHandler = void (*)(Speaker&, const CommandDatagram&);

void SpeakTextCommand(Speaker& speaker, const CommandDatagram& datagram) {
    WCHAR* wide = WidenText(datagram.text);
    if (wide == nullptr) {
        std::fputs("can not convert text to speak: out of memory, datagram dropped\n", stderr);
        return;
    }
    speaker.SpeakText(wide);
    std::free(wide);
}

void SetVolumeCommand(Speaker& speaker, const CommandDatagram& datagram) {
    speaker.SetVolume(static_cast<USHORT>(datagram.value));
}

void SetRateCommand(Speaker& speaker, const CommandDatagram& datagram) {
    speaker.SetRate(static_cast<LONG>(datagram.value));
}

// Indexed by command code; codes with no entry are accepted and do nothing.
constexpr CommandHandler kHandlers[kFirstInvalidCommand] = {
    /* 0 */ SpeakTextCommand,
    /* 1 */ SetVolumeCommand,
    /* 2 */ nullptr,
    /* 3 */ SetRateCommand,
    /* 4 */ nullptr,
    /* 5 */ nullptr,
};

}  // namespace

void HandleDatagram(Speaker& speaker, ReceiveBuffer& buffer, int count) {
    CommandDatagram datagram;
    if (!DecodeDatagram(buffer, count, datagram)) {
        std::printf("invalid packet size : %d\n", count);
        return;
    }
    if (datagram.command >= kFirstInvalidCommand) {
        std::printf("invalid command: %d\n", static_cast<int>(datagram.command));
        return;
    }
    if (CommandHandler handler = kHandlers[datagram.command]) handler(speaker, datagram);
}

// The speech service: speaks the text of UDP datagrams sent to 127.0.0.1:14742, and sets
// the voice's volume and rate on command.
#include <cstdio>
#include <memory>
#include <new>

#include "CommandDispatch.h"
#include "ServiceAddress.h"
#include "SocketLayer.h"
#include "speech/Speaker.h"

namespace {

constexpr USHORT kInitialVolume = 30;
constexpr LONG kInitialRate = 6;

}  // namespace

int main() {
    // Lines must reach a supervisor's log as they happen, not when a buffer fills.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    std::setvbuf(stderr, nullptr, _IONBF, 0);

    CoInitialize(nullptr);
    // Owned here so that every way out lets the voice finish and stop its worker before
    // the process's static objects, which the worker still uses, are torn down.
    std::unique_ptr<Speaker> speaker(new (std::nothrow) Speaker());
    if (!speaker) {
        std::fputs("can not create the speaker: out of memory\n", stderr);
        return 1;
    }
    if (!speaker->HasVoice()) {
        // A speech service without a voice serves nobody: fail where a supervisor sees it.
        std::fprintf(stderr, "can not create the voice, hr %x\n",
                     static_cast<unsigned>(speaker->VoiceCreationResult()));
        return 1;
    }
    speaker->SetVolume(kInitialVolume);
    speaker->SetRate(kInitialRate);

    sockaddr_in address = LoopbackAddress(kServicePort);
    StartSocketLayer();
    SocketHandle socket = OpenUdpSocket();
    if (!BindSocket(socket, address)) {
        std::printf("bind return error %x\n", LastSocketError());
        std::perror("bind");
        return 1;
    }

    static ReceiveBuffer buffer;
    for (;;) {
        int count = ReceiveDatagram(socket, buffer.bytes, kReceiveBufferSize);
        HandleDatagram(*speaker, buffer, count);
    }
}

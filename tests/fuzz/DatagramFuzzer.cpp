// Datagram decoding and dispatch, as the receive loop does them, into a Speaker whose
// voice records what it is asked. Whatever the bytes, nothing past them is read, and the
// voice receives exactly what the datagram says.
#include <cstdio>
#include <cstring>
#include <string>

#include "FuzzTarget.h"
#include "service/CommandDispatch.h"
#include "speech/Speaker.h"
#include "speech/WidenText.h"
#include "tests/support/ClassOverride.h"
#include "tests/support/FakeVoice.h"

namespace {

FakeVoice* voice = nullptr;
Speaker* speaker = nullptr;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The console lines are the receive loop's business, not the fuzzer's.
    if (std::freopen("/dev/null", "w", stdout) == nullptr) return 0;
    voice = FakeVoice::Create();
    static ClassOverride voiceClass(CLSID_SpVoice, [](REFIID iid, void** object) {
        return voice->QueryInterface(iid, object);
    });
    speaker = new Speaker();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The received bytes sit at the start of the receive buffer, as recvfrom leaves them.
    static ReceiveBuffer buffer;
    size_t count = size < kReceiveBufferSize ? size : kReceiveBufferSize;
    std::memcpy(buffer.bytes, data, count);
    voice->calls.clear();
    voice->speaks.clear();
    voice->volumes.clear();
    voice->rates.clear();
    HandleDatagram(*speaker, buffer, static_cast<int>(count));

    unsigned command = count > 0 ? data[0] : 0;
    if (count < kMinimumDatagramSize || command >= kFirstInvalidCommand) {
        FuzzCheck(voice->calls.empty(), "a refused datagram reaches the voice");
        return 0;
    }
    unsigned value = data[2] + 256u * data[3];
    switch (command) {
        case SPEAK_TEXT: {
            FuzzCheck(voice->speaks.size() == 1, "a speak datagram speaks once");
            std::string text(reinterpret_cast<const char*>(data) + 4, count - 4);
            text = text.substr(0, text.find('\0'));
            WCHAR* expected = WidenText(text.c_str());
            FuzzCheck(voice->speaks[0].text == expected, "the voice speaks the datagram's text");
            std::free(expected);
            break;
        }
        case SET_VOLUME:
            FuzzCheck(voice->volumes.size() == 1 && voice->volumes[0] == value, "the volume passes unchanged");
            break;
        case SET_RATE:
            FuzzCheck(voice->rates.size() == 1 && voice->rates[0] == static_cast<LONG>(value), "the rate passes unchanged");
            break;
        default:
            FuzzCheck(voice->calls.empty(), "a reserved command reaches the voice");
    }
    return 0;
}

// Decoding and dispatching one received datagram into a voice that only notes what it is
// asked (the tests' FakeVoice, its notes cleared every time): what the service's receive
// loop costs per datagram on its own, before the engine does any work.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "SampleTexts.h"
#include "service/CommandDispatch.h"
#include "speech/Speaker.h"
#include "tests/support/ClassOverride.h"
#include "tests/support/FakeVoice.h"

namespace {

void BM_Dispatch(benchmark::State& state, const std::vector<unsigned char>& datagram) {
    FakeVoice* voice = FakeVoice::Create();
    std::unique_ptr<Speaker> speaker;
    {
        ClassOverride voiceClass(CLSID_SpVoice, [voice](REFIID iid, void** object) {
            return voice->QueryInterface(iid, object);
        });
        speaker = std::make_unique<Speaker>();
    }
    static ReceiveBuffer buffer;
    std::memcpy(buffer.bytes, datagram.data(), datagram.size());
    for (auto _ : state) {
        HandleDatagram(*speaker, buffer, static_cast<int>(datagram.size()));
        voice->calls.clear();
        voice->speaks.clear();
        voice->volumes.clear();
    }
    speaker.reset();
    voice->Release();
    state.SetItemsProcessed(state.iterations());
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(datagram.size()));
}

}  // namespace

BENCHMARK_CAPTURE(BM_Dispatch, SpeakShort, EncodeSpeak("Hello, this is a short message."));
BENCHMARK_CAPTURE(BM_Dispatch, SpeakFullDatagram, EncodeSpeak(AsciiText(kLongestText)));
BENCHMARK_CAPTURE(BM_Dispatch, SetVolume, EncodeCommand(SET_VOLUME, 50));

// Decoding and dispatching one received datagram, with a voice that does nothing: what the
// service's receive loop costs per datagram on its own, before the engine does any work.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

#include "NullVoice.h"
#include "SampleTexts.h"
#include "service/CommandDispatch.h"
#include "speech/Speaker.h"
#include "tests/support/ClassOverride.h"

namespace {

/// A Speaker whose voice is a NullVoice, made while the voice class is replaced.
struct NullVoiceSpeaker {
    NullVoiceSpeaker() {
        ClassOverride nullVoice(CLSID_SpVoice, [](REFIID iid, void** object) {
            return HandOverNewObject(NullVoice::Create(), iid, object);
        });
        speaker = new Speaker();
    }
    ~NullVoiceSpeaker() { delete speaker; }
    Speaker* speaker;
};

int Fill(ReceiveBuffer& buffer, unsigned char command, unsigned value, const std::string& text) {
    buffer.bytes[0] = command;
    buffer.bytes[1] = 0;
    buffer.bytes[2] = static_cast<unsigned char>(value & 0xFF);
    buffer.bytes[3] = static_cast<unsigned char>(value >> 8);
    std::memcpy(buffer.bytes + 4, text.c_str(), text.size() + 1);
    return static_cast<int>(4 + text.size() + 1);
}

void RunDispatch(benchmark::State& state, unsigned char command, const std::string& text) {
    NullVoiceSpeaker holder;
    static ReceiveBuffer buffer;
    int count = Fill(buffer, command, 50, text);
    for (auto _ : state) {
        HandleDatagram(*holder.speaker, buffer, count);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
    state.SetBytesProcessed(state.iterations() * count);
}

void BM_DispatchSpeakShort(benchmark::State& state) { RunDispatch(state, 0, "Hello, this is a short message."); }
void BM_DispatchSpeakFullDatagram(benchmark::State& state) {
    // The longest text a datagram carries: the buffer less the header and the NUL.
    RunDispatch(state, 0, AsciiText(kReceiveBufferSize - 5));
}
void BM_DispatchSetVolume(benchmark::State& state) { RunDispatch(state, 1, " "); }

}  // namespace

BENCHMARK(BM_DispatchSpeakShort);
BENCHMARK(BM_DispatchSpeakFullDatagram);
BENCHMARK(BM_DispatchSetVolume);

#pragma once
// Opening a recording of the private sound server's null-sink monitor, shared by the
// audio tests and the latency benchmark.
#include <pulse/simple.h>

#include <cstddef>
#include <string>

constexpr unsigned kMonitorRate = 44100;

/// Records "speech_test_sink.monitor" as 44.1 kHz mono 16-bit in fragments of
/// `fragmentFrames`, from the server `server` names (null: the one PULSE_SERVER names).
/// Returns null and says why in `error` when that is not possible.
pa_simple* OpenMonitorRecording(const char* server, const char* client, size_t fragmentFrames, std::string* error);

#include "MonitorStream.h"

#include <pulse/error.h>

#include <cstdint>

pa_simple* OpenMonitorRecording(const char* server, const char* client, size_t fragmentFrames, std::string* error) {
    pa_sample_spec spec{};
    spec.format = PA_SAMPLE_S16LE;
    spec.rate = kMonitorRate;
    spec.channels = 1;
    pa_buffer_attr attributes{};
    attributes.maxlength = static_cast<uint32_t>(-1);
    attributes.fragsize = static_cast<uint32_t>(fragmentFrames * 2);
    int code = 0;
    pa_simple* recording = pa_simple_new(server, client, PA_STREAM_RECORD, "speech_test_sink.monitor", "monitor", &spec,
                                         nullptr, &attributes, &code);
    if (recording == nullptr) *error = std::string("cannot record the monitor: ") + pa_strerror(code);
    return recording;
}

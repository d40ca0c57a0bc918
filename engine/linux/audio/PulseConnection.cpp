// The sound server through PulseAudio's asynchronous API: a deep queue at the server, and
// a cut-off that rewrites what the server has not played yet. PulseAudio itself rewinds
// its sink over what it has read but not played; PipeWire's PulseAudio service cannot, so
// there the fade is written where its graph reads next, past a cycle that will read before
// the write arrives (GraphCycles).
#include <pulse/pulseaudio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "DeviceConnection.h"
#include "GraphCycles.h"

namespace {

using namespace devicequeue;

constexpr size_t kFrameBytes = 2;
constexpr uint32_t kQueueBytes = kRate * kQueueMilliseconds / 1000 * kFrameBytes;
// The server asks for more in pieces this large, and plays with about this much latency
// of its own (early requests): the queue stays deep while the sink renders close to what
// is heard.
constexpr uint32_t kRequestBytes = kRate * 10 / 1000 * kFrameBytes;
constexpr int64_t kMostRewound = kRate * 50 / 1000;
// The graph's cycle on a server that does not say what it is: PipeWire's largest default.
constexpr int64_t kUnknownCycleFrames = kRate * 2048 / 48000;

// The time a write takes to reach the server, at most, on one machine.
constexpr std::chrono::microseconds kWriteTransit{200};

/// The longest cycle of PipeWire's graph the latency the server reports for our stream
/// ("node.latency", "441/44100") allows, in frames at kRate, at the rate its graph runs
/// at: the graph reads a power of two of frames at a time, no more than the smallest
/// latency a stream asked for. kUnknownCycleFrames when the figure is missing or not one.
int64_t GraphCycleFrames(const char* nodeLatency, uint32_t graphRate) {
    unsigned long frames = 0, rate = 0;
    if (nodeLatency == nullptr || std::sscanf(nodeLatency, "%lu/%lu", &frames, &rate) != 2 || frames == 0 || rate == 0 ||
        graphRate == 0)
        return kUnknownCycleFrames;
    const double atGraphRate = static_cast<double>(frames) * graphRate / rate;
    double quantum = 1;
    while (quantum * 2 <= atGraphRate && quantum < 65536) quantum *= 2;
    return static_cast<int64_t>(std::ceil(quantum * kRate / graphRate));
}

class PulseConnection : public DeviceConnection {
public:
    ~PulseConnection() override {
        if (loop != nullptr) pa_threaded_mainloop_stop(loop);
        if (stream != nullptr) {
            pa_stream_disconnect(stream);
            pa_stream_unref(stream);
        }
        if (context != nullptr) {
            pa_context_disconnect(context);
            pa_context_unref(context);
        }
        if (loop != nullptr) pa_threaded_mainloop_free(loop);
    }

    /// Connects to the server; false when there is none to be had.
    bool Connect() {
        loop = pa_threaded_mainloop_new();
        if (loop == nullptr) return false;
        context = pa_context_new(pa_threaded_mainloop_get_api(loop), "speech-service");
        if (context == nullptr) return false;
        pa_context_set_state_callback(context, Signal, loop);
        if (pa_context_connect(context, nullptr, PA_CONTEXT_NOFLAGS, nullptr) < 0) return false;
        Locked locked(loop);
        if (pa_threaded_mainloop_start(loop) < 0) return false;
        for (;;) {
            pa_context_state_t state = pa_context_get_state(context);
            if (state == PA_CONTEXT_READY) break;
            if (!PA_CONTEXT_IS_GOOD(state)) return false;
            pa_threaded_mainloop_wait(loop);
        }
        // Which server this is decides how a cut-off reaches ahead of it.
        Await(pa_context_get_server_info(context, OnServerInfo, this));
        return pa_context_get_state(context) == PA_CONTEXT_READY;
    }

    size_t Write(const int16_t* samples, size_t frames, const std::atomic<bool>& interrupted) override {
        Locked locked(loop);
        if (!OpenStream()) return 0;
        size_t taken = 0;
        while (frames > 0 && !interrupted) {
            if (!Good()) return taken;
            size_t room = pa_stream_writable_size(stream);
            if (room == static_cast<size_t>(-1)) return taken;
            if (room < kFrameBytes) {
                pa_threaded_mainloop_wait(loop);
                continue;
            }
            size_t count = std::min(room / kFrameBytes, frames);
            if (pa_stream_write(stream, samples, count * kFrameBytes, nullptr, 0, PA_SEEK_RELATIVE) < 0) return taken;
            recent.Append(samples, count);
            samples += count;
            frames -= count;
            taken += count;
        }
        return taken;
    }

    bool Alive() override {
        Locked locked(loop);
        return Reachable();
    }

    /// PipeWire takes some milliseconds to make a stream: they go by while the text's
    /// first phrase is synthesized.
    void Expect() override {
        Locked locked(loop);
        if (!rewinds && stream == nullptr && pa_context_get_state(context) == PA_CONTEXT_READY) BeginStream();
    }

    bool Rest() override {
        Locked locked(loop);
        if (pa_context_get_state(context) != PA_CONTEXT_READY) return false;
        EndStream();
        return true;
    }

    void Wake() override {
        Locked locked(loop);
        pa_threaded_mainloop_signal(loop, 0);
    }

    void CutOff() override {
        Locked locked(loop);
        if (!Good()) return;
        // Where the server is now, asked afresh: a round trip of well under a millisecond.
        const GraphCycles::Clock::time_point asked = GraphCycles::Clock::now();
        if (!Await(pa_stream_update_timing_info(stream, SignalDone, loop))) return;
        const GraphCycles::Clock::time_point answered = GraphCycles::Clock::now();
        const pa_timing_info* timing = pa_stream_get_timing_info(stream);
        if (timing == nullptr || timing->read_index_corrupt) {
            Await(pa_stream_flush(stream, SignalDone, loop));  // no fade, but silence
            return;
        }
        const int64_t read = timing->read_index / static_cast<int64_t>(kFrameBytes);
        int64_t from = 0;
        if (rewinds) {
            // What is being heard now lies the sink's latency behind what the server has
            // read: the fade starts just after it. Writing over audio the sink has already
            // taken has the server rewind the sink. A sink that has only just taken up the
            // stream may still report the long latency it had alone; no more than
            // kMostRewound is rewritten behind the server's reading.
            const auto latency =
                std::min<int64_t>(kMostRewound, static_cast<int64_t>(timing->sink_usec * kRate / PA_USEC_PER_SEC));
            from = read - latency + static_cast<int64_t>(kFadeLeadFrames);
        } else {
            // What the graph has read is gone for good: the fade starts where it reads
            // next, past each cycle that falls before this write arrives. Where the cycles'
            // times are not known, past a whole cycle, and what the reply and the write
            // spend on the way.
            const GraphCycles::Ahead ahead = cycles ? cycles->Before(asked, answered + kWriteTransit)
                                                    : GraphCycles::Ahead{cycleFrames, false};
            from = read + ahead.frames;
            if (!ahead.known) {
                const auto transport = static_cast<int64_t>(timing->transport_usec * kRate / PA_USEC_PER_SEC);
                from += transport + static_cast<int64_t>(kFadeLeadFrames);
            }
        }
        from = std::max(recent.Start(), from);
        if (from >= recent.End()) return;  // all of it has been heard
        std::vector<int16_t> replacement = recent.FadeFrom(from);
        pa_stream_write(stream, replacement.data(), replacement.size() * kFrameBytes, nullptr,
                        from * static_cast<int64_t>(kFrameBytes), PA_SEEK_ABSOLUTE);
        recent.CutAt(from);
        recent.Append(replacement.data(), replacement.size());
    }

    void Drain() override {
        Locked locked(loop);
        if (!Good()) return;
        Await(pa_stream_drain(stream, SignalDone, loop));
    }

private:
    /// Opens the playback stream, with the lock held, when the first audio is there (a
    /// stream that stood empty since it was opened could find PulseAudio's sink in a long
    /// rendering block, the null sink's, and wait for it to end), or at once on PipeWire;
    /// waits until it is ready.
    bool OpenStream() {
        if (stream == nullptr && !BeginStream()) return false;
        for (;;) {
            pa_stream_state_t state = pa_stream_get_state(stream);
            if (state == PA_STREAM_READY) break;
            if (!PA_STREAM_IS_GOOD(state)) return false;
            pa_threaded_mainloop_wait(loop);
        }
        // A server that cannot rewrite what it has read says how much its graph reads at
        // a time by the latency it gives the stream (asked for without waiting: the first
        // audio goes out meanwhile), and when by its requests for more.
        if (!rewinds && !streamInfoAsked) {
            streamInfoAsked = true;
            if (pa_operation* asking = pa_context_get_sink_input_info(context, pa_stream_get_index(stream), OnStreamInfo, this))
                pa_operation_unref(asking);
        }
        return Good();
    }

    /// Ends the playback stream, with the lock held; the next one starts afresh, its
    /// positions from 0 and its graph's cycles unknown.
    void EndStream() {
        if (stream == nullptr) return;
        pa_stream_set_state_callback(stream, nullptr, nullptr);
        pa_stream_set_write_callback(stream, nullptr, nullptr);
        pa_stream_disconnect(stream);
        pa_stream_unref(stream);
        stream = nullptr;
        recent = RecentAudio{kRate};
        cycles.reset();
        streamInfoAsked = false;
    }

    /// Asks for the playback stream, with the lock held, without waiting for it.
    bool BeginStream() {
        pa_sample_spec spec{PA_SAMPLE_S16LE, kRate, 1};
        stream = pa_stream_new(context, "speech", &spec, nullptr);
        if (stream == nullptr) return false;
        pa_stream_set_state_callback(stream, Signal, loop);
        pa_stream_set_write_callback(stream, OnWritable, this);
        pa_buffer_attr attributes{};
        attributes.maxlength = static_cast<uint32_t>(-1);
        attributes.tlength = kQueueBytes;
        // Playback starts with the first frame and pauses, rather than skipping ahead,
        // when the queue runs dry: what is written next is heard whole.
        attributes.prebuf = kFrameBytes;
        attributes.minreq = kRequestBytes;
        attributes.fragsize = static_cast<uint32_t>(-1);
        auto flags = static_cast<pa_stream_flags_t>(PA_STREAM_EARLY_REQUESTS | PA_STREAM_NOT_MONOTONIC);
        return pa_stream_connect_playback(stream, nullptr, &attributes, flags, nullptr, nullptr) >= 0;
    }

    static void OnServerInfo(pa_context*, const pa_server_info* info, void* self) {
        auto& connection = *static_cast<PulseConnection*>(self);
        if (info != nullptr) {
            connection.rewinds = info->server_name == nullptr || std::strstr(info->server_name, "PipeWire") == nullptr;
            connection.graphRate = info->sample_spec.rate;
        }
        pa_threaded_mainloop_signal(connection.loop, 0);
    }

    static void OnStreamInfo(pa_context*, const pa_sink_input_info* info, int, void* self) {
        auto& connection = *static_cast<PulseConnection*>(self);
        if (info == nullptr || connection.cycles) return;
        connection.cycleFrames = GraphCycleFrames(pa_proplist_gets(info->proplist, "node.latency"), connection.graphRate);
        connection.cycles.emplace(connection.cycleFrames, static_cast<int64_t>(kRequestBytes / kFrameBytes), kRate);
    }

    /// Holds the main loop's lock for a scope.
    class Locked {
    public:
        explicit Locked(pa_threaded_mainloop* loop) : loop(loop) { pa_threaded_mainloop_lock(loop); }
        ~Locked() { pa_threaded_mainloop_unlock(loop); }
        Locked(const Locked&) = delete;
        Locked& operator=(const Locked&) = delete;

    private:
        pa_threaded_mainloop* loop;
    };

    static void Signal(pa_context*, void* loop) { pa_threaded_mainloop_signal(static_cast<pa_threaded_mainloop*>(loop), 0); }
    static void Signal(pa_stream*, void* loop) { pa_threaded_mainloop_signal(static_cast<pa_threaded_mainloop*>(loop), 0); }
    static void OnWritable(pa_stream*, size_t, void* self) {
        auto& connection = *static_cast<PulseConnection*>(self);
        if (connection.cycles) connection.cycles->Requested(GraphCycles::Clock::now());
        pa_threaded_mainloop_signal(connection.loop, 0);
    }
    static void SignalDone(pa_stream*, int, void* loop) { pa_threaded_mainloop_signal(static_cast<pa_threaded_mainloop*>(loop), 0); }

    /// Whether the server is still there, with the lock held: the context ready, and the
    /// stream, if there is one, not failed.
    bool Reachable() const {
        return pa_context_get_state(context) == PA_CONTEXT_READY &&
               (stream == nullptr || PA_STREAM_IS_GOOD(pa_stream_get_state(stream)));
    }

    bool Good() const {
        return pa_context_get_state(context) == PA_CONTEXT_READY && stream != nullptr &&
               pa_stream_get_state(stream) == PA_STREAM_READY;
    }

    /// Waits, with the lock held, until `operation` is done or the connection broke.
    bool Await(pa_operation* operation) {
        if (operation == nullptr) return false;
        while (pa_operation_get_state(operation) == PA_OPERATION_RUNNING && Reachable()) pa_threaded_mainloop_wait(loop);
        bool done = pa_operation_get_state(operation) == PA_OPERATION_DONE;
        pa_operation_unref(operation);
        return done;
    }

    pa_threaded_mainloop* loop = nullptr;
    pa_context* context = nullptr;
    pa_stream* stream = nullptr;
    RecentAudio recent{kRate};
    bool rewinds = true;                       // PulseAudio rewinds its sink; PipeWire cannot
    uint32_t graphRate = 48000;                // the server's own rate
    int64_t cycleFrames = kUnknownCycleFrames;  // what PipeWire's graph reads at a time, at most
    std::optional<GraphCycles> cycles;          // ...and when, on PipeWire
    bool streamInfoAsked = false;
};

}  // namespace

bool SoundServerExpected() {
    if (const char* server = std::getenv("PULSE_SERVER"); server != nullptr && *server != '\0') return true;
    std::string socket;
    if (const char* runtime = std::getenv("PULSE_RUNTIME_PATH"); runtime != nullptr && *runtime != '\0')
        socket = std::string(runtime) + "/native";
    else if (const char* xdg = std::getenv("XDG_RUNTIME_DIR"); xdg != nullptr && *xdg != '\0')
        socket = std::string(xdg) + "/pulse/native";
    else
        socket = "/run/user/" + std::to_string(::getuid()) + "/pulse/native";
    struct stat status {};
    return ::stat(socket.c_str(), &status) == 0 && S_ISSOCK(status.st_mode);
}

std::unique_ptr<DeviceConnection> OpenPulseConnection() {
    auto connection = std::make_unique<PulseConnection>();
    if (!connection->Connect()) return nullptr;
    return connection;
}

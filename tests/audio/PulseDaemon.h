#pragma once
// A sound server of a test's own, which the test can stop and start again, to see how the
// service copes when its server goes away and comes back.
#include <sys/types.h>

#include <string>

/// A PulseAudio daemon with one null sink, "speech_test_sink", listening on a socket in a
/// scratch directory of its own. The socket stays the same across Stop() and Start().
class PulseDaemon {
public:
    PulseDaemon();
    ~PulseDaemon();
    PulseDaemon(const PulseDaemon&) = delete;
    PulseDaemon& operator=(const PulseDaemon&) = delete;

    /// Starts the daemon and waits until it takes connections; false if it never did.
    bool Start();
    /// Kills the daemon at once, as a crash would.
    void Stop();
    /// The PULSE_SERVER value that reaches it.
    std::string Server() const { return "unix:" + socket; }

private:
    std::string directory;
    std::string socket;
    pid_t pid = -1;
};

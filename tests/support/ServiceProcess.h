#pragma once
// The built speech-service as a child process, talked to like any sender would: UDP
// datagrams in, console lines out. POSIX only.
#ifndef _WIN32
#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

using Datagram = std::vector<unsigned char>;

/// Throws unless this process runs under scripts/with-port-lock.sh, which holds the lock
/// on the service's fixed port for every test and benchmark that starts the service or
/// binds its port.
void RequireServicePortLock();

/// Sends one datagram to the service's address (127.0.0.1, the service port).
void SendDatagram(const Datagram& datagram);
/// A speak datagram for `text`.
Datagram SpeakDatagram(const std::string& text);
/// A 5-byte command datagram with a 16-bit little-endian value.
Datagram CommandDatagram(unsigned char command, unsigned value);

/// Runs the service binary (env SPEECH_SERVICE) with its standard output and error on
/// pipes; kills it when destroyed. Needs the port lock (RequireServicePortLock).
class ServiceProcess {
public:
    explicit ServiceProcess(const std::vector<std::string>& extraEnvironment = {});
    ~ServiceProcess();
    ServiceProcess(const ServiceProcess&) = delete;
    ServiceProcess& operator=(const ServiceProcess&) = delete;

    /// Sends 3-byte probes until the service answers one, so it is bound and serving.
    /// Returns false if it never did (it exited, or timed out).
    bool WaitUntilServing(std::chrono::milliseconds limit = std::chrono::seconds(20));

    /// The next complete line (with its line end) on stdout or stderr, or "" on timeout.
    std::string NextStdoutLine(std::chrono::milliseconds limit = std::chrono::seconds(5));
    std::string NextStderrLine(std::chrono::milliseconds limit = std::chrono::seconds(5));
    /// Everything on stderr so far, without waiting for more.
    std::string DrainStderr();
    /// Throws away what is on stdout and stderr now, without waiting: a test that makes
    /// the service print more than a pipe holds calls it, or the service would block.
    /// Returns how many bytes it threw away.
    size_t DiscardOutput();

    /// Waits for the process to exit; returns its exit status, or -1 on timeout/signal.
    int WaitForExit(std::chrono::milliseconds limit = std::chrono::seconds(20));
    pid_t Pid() const { return pid; }

private:
    std::string NextLine(int fd, std::string& pending, std::chrono::milliseconds limit);
    void Pump(int fd, std::string& pending, int timeoutMs);

    pid_t pid = -1;
    int stdoutFd = -1;
    int stderrFd = -1;
    std::string stdoutPending;
    std::string stderrPending;
    bool exited = false;
};
#endif

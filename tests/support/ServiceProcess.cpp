#ifndef _WIN32
// The service's own datagram layout first: the helpers below share a name with it.
#include "service/CommandDatagram.h"
#include "ServiceProcess.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <thread>

#include "service/ServiceAddress.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

int RemainingMs(Clock::time_point deadline) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left < 0 ? 0 : static_cast<int>(left);
}

}  // namespace

void SendDatagram(const Datagram& datagram) {
    int sender = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    if (sender < 0) throw std::runtime_error("socket");
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(kServicePort);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    sendto(sender, datagram.data(), datagram.size(), 0, reinterpret_cast<sockaddr*>(&address), sizeof address);
    close(sender);
}

Datagram SpeakDatagram(const std::string& text) { return EncodeSpeak(text); }

Datagram CommandDatagram(unsigned char command, unsigned value) {
    return EncodeCommand(command, static_cast<uint16_t>(value));
}

void RequireServicePortLock() {
    // Two runs on one machine would otherwise take each other's datagrams.
    const char* locked = std::getenv("SPEECH_PORT_LOCKED");
    if (locked == nullptr || std::string(locked) != "1")
        throw std::runtime_error("the service port is shared: run under scripts/with-port-lock.sh");
}

ServiceProcess::ServiceProcess(const std::vector<std::string>& extraEnvironment) {
    RequireServicePortLock();
    const char* binary = std::getenv("SPEECH_SERVICE");
    if (binary == nullptr) throw std::runtime_error("SPEECH_SERVICE is not set");
    int out[2], err[2];
    if (pipe(out) != 0 || pipe(err) != 0) throw std::runtime_error("pipe");

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addclose(&actions, err[0]);

    // An extra NAME=value replaces an inherited NAME: getenv would find the inherited one first.
    auto nameOf = [](const std::string& entry) { return entry.substr(0, entry.find('=') + 1); };
    std::vector<std::string> environment;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        std::string inherited(*entry);
        bool replaced = false;
        for (const auto& extra : extraEnvironment) replaced = replaced || nameOf(extra) == nameOf(inherited);
        if (!replaced) environment.push_back(inherited);
    }
    for (const auto& extra : extraEnvironment) environment.push_back(extra);
    std::vector<char*> envp;
    for (auto& entry : environment) envp.push_back(entry.data());
    envp.push_back(nullptr);
    char* argv[] = {const_cast<char*>(binary), nullptr};

    int failed = posix_spawn(&pid, binary, &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    close(err[1]);
    if (failed != 0) throw std::runtime_error(std::string("posix_spawn: ") + std::strerror(failed));
    stdoutFd = out[0];
    stderrFd = err[0];
}

ServiceProcess::~ServiceProcess() {
    if (!exited && pid > 0) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    close(stdoutFd);
    close(stderrFd);
}

void ServiceProcess::Pump(int fd, std::string& pending, int timeoutMs) {
    pollfd watched{fd, POLLIN, 0};
    if (poll(&watched, 1, timeoutMs) <= 0) return;
    char chunk[4096];
    ssize_t got = read(fd, chunk, sizeof chunk);
    if (got > 0) pending.append(chunk, static_cast<size_t>(got));
    else std::this_thread::sleep_for(std::chrono::milliseconds(timeoutMs > 10 ? 10 : timeoutMs));  // closed pipe
}

std::string ServiceProcess::NextLine(int fd, std::string& pending, std::chrono::milliseconds limit) {
    auto deadline = Clock::now() + limit;
    for (;;) {
        size_t end = pending.find('\n');
        if (end != std::string::npos) {
            std::string line = pending.substr(0, end + 1);
            pending.erase(0, end + 1);
            return line;
        }
        int left = RemainingMs(deadline);
        if (left == 0) return "";
        Pump(fd, pending, left);
    }
}

std::string ServiceProcess::NextStdoutLine(std::chrono::milliseconds limit) {
    return NextLine(stdoutFd, stdoutPending, limit);
}

std::string ServiceProcess::NextStderrLine(std::chrono::milliseconds limit) {
    return NextLine(stderrFd, stderrPending, limit);
}

std::string ServiceProcess::DrainStderr() {
    Pump(stderrFd, stderrPending, 0);
    std::string all;
    all.swap(stderrPending);
    return all;
}

size_t ServiceProcess::DiscardOutput() {
    size_t discarded = stdoutPending.size() + stderrPending.size();
    for (int fd : {stdoutFd, stderrFd}) {
        pollfd watched{fd, POLLIN, 0};
        char chunk[65536];
        while (poll(&watched, 1, 0) > 0 && (watched.revents & POLLIN) != 0) {
            ssize_t got = read(fd, chunk, sizeof chunk);
            if (got <= 0) break;
            discarded += static_cast<size_t>(got);
        }
    }
    stdoutPending.clear();
    stderrPending.clear();
    return discarded;
}

bool ServiceProcess::WaitUntilServing(std::chrono::milliseconds limit) {
    auto deadline = Clock::now() + limit;
    while (RemainingMs(deadline) > 0) {
        int status;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            exited = true;
            return false;
        }
        SendDatagram({9, 9, 9});
        std::string line = NextStdoutLine(std::chrono::milliseconds(100));
        if (line == "invalid packet size : 3\n") {
            // Later probes may still be in flight: let them arrive and drop their lines.
            while (NextStdoutLine(std::chrono::milliseconds(150)) == "invalid packet size : 3\n") {
            }
            return true;
        }
    }
    return false;
}

int ServiceProcess::WaitForExit(std::chrono::milliseconds limit) {
    auto deadline = Clock::now() + limit;
    for (;;) {
        int status;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            exited = true;
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        if (RemainingMs(deadline) == 0) return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}
#endif

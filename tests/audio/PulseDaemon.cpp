#include "PulseDaemon.h"

#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

extern char** environ;

namespace {

bool Accepts(const std::string& path) {
    int probe = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (probe < 0) return false;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    bool connected = connect(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(probe);
    return connected;
}

}  // namespace

PulseDaemon::PulseDaemon() {
    char pattern[] = "/tmp/speech-pulse-own.XXXXXX";
    if (mkdtemp(pattern) != nullptr) directory = pattern;
    socket = directory + "/native";
}

PulseDaemon::~PulseDaemon() {
    Stop();
    if (!directory.empty()) std::system(("rm -rf '" + directory + "'").c_str());
}

bool PulseDaemon::Start() {
    if (directory.empty()) return false;
    std::vector<std::string> arguments = {
        "pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--system=no", "--realtime=no",
        "--high-priority=no", "--use-pid-file=no", "--log-target=file:" + directory + "/pulse.log",
        "-L", "module-null-sink sink_name=speech_test_sink rate=44100 channels=1",
        "-L", "module-native-protocol-unix socket=" + socket + " auth-anonymous=1",
    };
    std::vector<std::string> environment;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        std::string inherited(*entry);
        if (inherited.rfind("PULSE_", 0) == 0 || inherited.rfind("XDG_RUNTIME_DIR=", 0) == 0) continue;
        environment.push_back(inherited);
    }
    environment.push_back("XDG_RUNTIME_DIR=" + directory);
    environment.push_back("PULSE_RUNTIME_PATH=" + directory + "/runtime");
    environment.push_back("PULSE_STATE_PATH=" + directory + "/state");
    std::vector<char*> argv;
    for (auto& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (auto& entry : environment) envp.push_back(entry.data());
    envp.push_back(nullptr);
    if (posix_spawnp(&pid, "pulseaudio", nullptr, nullptr, argv.data(), envp.data()) != 0) {
        pid = -1;
        return false;
    }
    for (int attempt = 0; attempt < 200; ++attempt) {
        if (Accepts(socket)) return true;
        if (waitpid(pid, nullptr, WNOHANG) == pid) {
            pid = -1;
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    return false;
}

void PulseDaemon::Stop() {
    if (pid <= 0) return;
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    pid = -1;
}

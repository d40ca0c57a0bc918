#include "ChildProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

extern char** environ;

namespace {

pid_t Spawn(const std::vector<std::string>& argv) {
    std::vector<char*> args;
    for (const auto& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    if (posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

double Seconds(const timeval& time) { return static_cast<double>(time.tv_sec) + time.tv_usec / 1e6; }

}  // namespace

ChildCost RunToEnd(const std::vector<std::string>& argv) {
    ChildCost cost;
    auto start = std::chrono::steady_clock::now();
    pid_t pid = Spawn(argv);
    if (pid < 0) return cost;
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid) return cost;
    cost.wallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    cost.cpuSeconds = Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
    cost.peakRssKb = usage.ru_maxrss;
    cost.succeeded = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return cost;
}

BackgroundChild::BackgroundChild(const std::vector<std::string>& argv) : pid(Spawn(argv)) {}

BackgroundChild::~BackgroundChild() {
    if (pid > 0 && !reaped) {
        kill(pid, SIGKILL);
        Wait();
    }
}

void BackgroundChild::Signal(int signal) {
    if (pid > 0 && !reaped) kill(pid, signal);
}

bool BackgroundChild::Wait() {
    if (pid <= 0 || reaped) return false;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid) return false;
    reaped = true;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool BackgroundChild::Ended() {
    if (pid <= 0 || reaped) return true;
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) != pid) return false;
    reaped = true;
    return true;
}

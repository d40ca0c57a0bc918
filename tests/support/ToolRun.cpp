#ifndef _WIN32
#include "ToolRun.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>

extern char** environ;

namespace {

/// Starts `command` with `actions`, which it destroys; -1 when it cannot be run.
pid_t Spawn(const std::vector<std::string>& command, posix_spawn_file_actions_t& actions) {
    std::vector<char*> argv;
    for (const std::string& argument : command) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

int ExitStatus(int status) { return WIFEXITED(status) ? WEXITSTATUS(status) : -1; }

double Seconds(const timeval& time) { return static_cast<double>(time.tv_sec) + time.tv_usec / 1e6; }

}  // namespace

ToolResult RunTool(const std::vector<std::string>& command, const std::string& input) {
    int in[2], out[2], err[2];
    if (pipe(in) != 0 || pipe(out) != 0 || pipe(err) != 0) throw std::runtime_error("pipe");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);
    for (int fd : {in[1], out[0], err[0]}) posix_spawn_file_actions_addclose(&actions, fd);
    pid_t pid = Spawn(command, actions);
    close(in[0]);
    close(out[1]);
    close(err[1]);
    if (pid < 0) throw std::runtime_error("can not run " + command[0]);

    // Feed the input and read both outputs at once, so that no pipe fills and stalls it.
    signal(SIGPIPE, SIG_IGN);
    ToolResult result;
    size_t fed = 0;
    if (input.empty()) close(in[1]);
    bool inputOpen = !input.empty();
    int open = 2;
    while (open > 0 || inputOpen) {
        pollfd watched[3] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}, {inputOpen ? in[1] : -1, POLLOUT, 0}};
        if (poll(watched, 3, -1) < 0) break;
        for (int i = 0; i < 2; ++i) {
            if (watched[i].fd < 0 || (watched[i].revents & (POLLIN | POLLHUP)) == 0) continue;
            char chunk[65536];
            ssize_t got = read(watched[i].fd, chunk, sizeof chunk);
            if (got > 0) {
                (i == 0 ? result.out : result.err).append(chunk, static_cast<size_t>(got));
            } else {
                close(watched[i].fd);
                (i == 0 ? out[0] : err[0]) = -1;
                --open;
            }
        }
        if (inputOpen && (watched[2].revents & (POLLOUT | POLLERR | POLLHUP)) != 0) {
            ssize_t put = write(in[1], input.data() + fed, input.size() - fed);
            if (put > 0) fed += static_cast<size_t>(put);
            if (put <= 0 || fed == input.size()) {
                close(in[1]);
                inputOpen = false;
            }
        }
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    result.status = ExitStatus(status);
    result.cpuSeconds = Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
    result.peakRssKb = usage.ru_maxrss;
    return result;
}

StartedTool::StartedTool(const std::vector<std::string>& command) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid = Spawn(command, actions);
    if (pid < 0) throw std::runtime_error("can not run " + command[0]);
}

StartedTool::~StartedTool() {
    Signal(SIGKILL);
    Wait();
}

void StartedTool::Signal(int signal) const {
    if (pid > 0) kill(pid, signal);
}

int StartedTool::Wait() {
    int status = 0;
    if (pid <= 0 || waitpid(pid, &status, 0) != pid) return -1;
    pid = -1;
    return ExitStatus(status);
}
#endif

#pragma once
// A command run as a shell would run it: arguments, standard input, and what it printed,
// how it ended and what it cost; or started and left running. POSIX only.
#ifndef _WIN32
#include <sys/types.h>

#include <string>
#include <vector>

struct ToolResult {
    int status = -1;  // exit status; -1 when it did not exit normally
    std::string out;
    std::string err;
    double cpuSeconds = 0;  // user and system time, its waited-for children's included
    long peakRssKb = 0;     // the largest resident size of it or of a waited-for child
};

/// Runs `command` (the program, looked up in PATH unless it names a path, and its
/// arguments) to its end with `input` on its standard input.
ToolResult RunTool(const std::vector<std::string>& command, const std::string& input = "");

/// A command started and left running, its standard streams on /dev/null: signalled or
/// waited for when asked, killed and reaped when destroyed.
class StartedTool {
public:
    explicit StartedTool(const std::vector<std::string>& command);
    ~StartedTool();
    StartedTool(const StartedTool&) = delete;
    StartedTool& operator=(const StartedTool&) = delete;

    pid_t Pid() const { return pid; }
    void Signal(int signal) const;
    /// Waits for it to end: its exit status, -1 when it did not exit normally.
    int Wait();

private:
    pid_t pid = -1;
};
#endif

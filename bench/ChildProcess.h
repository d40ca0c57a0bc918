#pragma once
// Other programs run by the comparison benchmark: the peers (espeak-ng, spd-say, sox) and
// this project's own helpers, each in a process of its own so that its time and memory
// are its own.
#include <sys/types.h>

#include <string>
#include <vector>

/// What one run of a program cost, as its parent saw it.
struct ChildCost {
    double wallSeconds = 0;
    double cpuSeconds = 0;  // user + system, its waited-for children included
    long peakRssKb = 0;     // the largest resident size of it or one of its children
    bool succeeded = false; // exited with status 0
};

/// Runs `argv` (argv[0] looked up in PATH) to its end, its standard input, output and
/// error on /dev/null, and says what it cost.
ChildCost RunToEnd(const std::vector<std::string>& argv);

/// A program started and left running: reaped when asked, killed and reaped at the end.
class BackgroundChild {
public:
    explicit BackgroundChild(const std::vector<std::string>& argv);
    ~BackgroundChild();
    BackgroundChild(const BackgroundChild&) = delete;
    BackgroundChild& operator=(const BackgroundChild&) = delete;

    pid_t Pid() const { return pid; }
    bool Started() const { return pid > 0; }
    void Signal(int signal);
    /// Waits for it to end; true when it exited with status 0.
    bool Wait();
    /// Reaps it if it has ended, without waiting.
    bool Ended();

private:
    pid_t pid = -1;
    bool reaped = false;
};

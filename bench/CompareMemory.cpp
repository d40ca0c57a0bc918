// Resident memory at rest: a freshly started service that has spoken nothing, against
// speech-dispatcher with its espeak-ng module, counting every process of its tree.
#include <chrono>
#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <string>
#include <thread>

#include "Compare.h"
#include "ProcessProbe.h"
#include "tests/support/ServiceProcess.h"

namespace {

/// The resident size split by what backs it, from /proc/PID/smaps_rollup: memory of the
/// process's own (heap, stacks, written data) and pages of mapped files (libraries).
void ReportBreakdown(const std::string& key, pid_t pid) {
    std::ifstream rollup("/proc/" + std::to_string(pid) + "/smaps_rollup");
    std::string name;
    long rss = 0, anonymous = 0;
    while (rollup >> name) {
        long value = 0;
        if (name == "Rss:" && rollup >> value) rss = value;
        else if (name == "Anonymous:" && rollup >> value) anonymous = value;
        rollup.ignore(1 << 12, '\n');
    }
    Report(key + "_anonymous_kb", static_cast<double>(anonymous));
    Report(key + "_file_kb", static_cast<double>(rss - anonymous));
}

}  // namespace

int CompareMemory(pid_t speechDispatcher, const std::string& moment) {
    if (moment == "idle") {
        ServiceProcess service;
        if (!service.WaitUntilServing()) throw std::runtime_error("the service did not start serving");
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        Report("memory.service.idle_kb", static_cast<double>(ResidentKb(service.Pid())));
        ReportBreakdown("memory.service.idle", service.Pid());
    }
    long total = 0;
    std::vector<pid_t> tree = ProcessTree(speechDispatcher);
    for (pid_t pid : tree) total += ResidentKb(pid);
    Report("memory.spd." + moment + "_kb", static_cast<double>(total));
    Report("memory.spd." + moment + "_processes", static_cast<double>(tree.size()));
    return 0;
}

// Resident memory at rest: a freshly started service that has spoken nothing, against
// speech-dispatcher with its espeak-ng module, counting every process of its tree.
#include <chrono>
#include <fstream>
#include <stdexcept>
#include <string>
#include <thread>

#include "Compare.h"
#include "Figures.h"
#include "ProcessProbe.h"
#include "tests/support/ServiceProcess.h"

int CompareMemory(pid_t speechDispatcher, const std::string& moment) {
    if (moment == "idle") {
        ServiceProcess service;
        if (!service.WaitUntilServing()) throw std::runtime_error("the service did not start serving");
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        Report("memory.service.idle_kb", static_cast<double>(ResidentKb(service.Pid())));
        // Split by what backs it: the process's own memory (heap, stacks, written data)
        // and pages of mapped files (libraries).
        std::ifstream rollup("/proc/" + std::to_string(service.Pid()) + "/smaps_rollup");
        long rss = 0, anonymous = 0;
        for (std::string name; rollup >> name; rollup.ignore(1 << 12, '\n')) {
            if (name == "Rss:") rollup >> rss;
            if (name == "Anonymous:") rollup >> anonymous;
        }
        Report("memory.service.idle_anonymous_kb", static_cast<double>(anonymous));
        Report("memory.service.idle_file_kb", static_cast<double>(rss - anonymous));
    }
    long total = 0;
    std::vector<pid_t> tree = ProcessTree(speechDispatcher);
    for (pid_t pid : tree) total += ResidentKb(pid);
    Report("memory.spd." + moment + "_kb", static_cast<double>(total));
    Report("memory.spd." + moment + "_processes", static_cast<double>(tree.size()));
    return 0;
}

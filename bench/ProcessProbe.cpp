#include "ProcessProbe.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>

namespace {

std::vector<pid_t> NumberedEntries(const std::string& directory) {
    std::vector<pid_t> entries;
    std::error_code gone;  // a process may end while it is read
    for (const auto& entry : std::filesystem::directory_iterator(directory, gone)) {
        const std::string name = entry.path().filename();
        if (name.find_first_not_of("0123456789") == std::string::npos) entries.push_back(std::stoi(name));
    }
    return entries;
}

pid_t ParentOf(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    std::getline(stat, line);
    // The name in parentheses may hold blanks; the fields after it do not.
    size_t close = line.rfind(')');
    int parent = -1;
    if (close != std::string::npos) std::sscanf(line.c_str() + close + 1, " %*c %d", &parent);
    return parent;
}

}  // namespace

long ResidentKb(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    return 0;
}

std::vector<pid_t> ProcessTree(pid_t root) {
    std::vector<std::pair<pid_t, pid_t>> parents;  // each process and its parent
    for (pid_t pid : NumberedEntries("/proc")) parents.emplace_back(pid, ParentOf(pid));
    std::vector<pid_t> tree{root};
    for (size_t member = 0; member < tree.size(); ++member)
        for (const auto& [pid, parent] : parents)
            if (parent == tree[member]) tree.push_back(pid);
    return tree;
}

double ThreadCpuSeconds(pid_t pid) {
    std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    double total = 0;
    for (pid_t thread : NumberedEntries(tasks)) {
        std::ifstream schedstat(tasks + "/" + std::to_string(thread) + "/schedstat");
        unsigned long long onCpuNs = 0;
        if (schedstat >> onCpuNs) total += static_cast<double>(onCpuNs) / 1e9;
    }
    return total;
}

UdpSocketState ReadUdpSocket(uint16_t port) {
    UdpSocketState state;
    std::ifstream table("/proc/net/udp");
    std::string line;
    std::getline(table, line);  // the heading
    while (std::getline(table, line)) {
        // slot: local remote state tx_queue:rx_queue timer retransmits uid timeout inode refs pointer drops
        unsigned address = 0, localPort = 0;
        unsigned long long queued = 0, drops = 0;
        if (std::sscanf(line.c_str(), " %*u: %X:%X %*X:%*X %*X %*X:%llX %*X:%*X %*X %*u %*u %*u %*u %*X %llu", &address,
                        &localPort, &queued, &drops) == 4 &&
            address == 0x0100007F && localPort == port)
            state = {true, queued, drops};
    }
    return state;
}

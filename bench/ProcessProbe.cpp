#include "ProcessProbe.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

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

}  // namespace

long ResidentKb(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    return 0;
}

std::vector<pid_t> ProcessTree(pid_t root) {
    std::vector<pid_t> tree{root};
    for (size_t member = 0; member < tree.size(); ++member) {
        std::string tasks = "/proc/" + std::to_string(tree[member]) + "/task/";
        for (pid_t thread : NumberedEntries(tasks)) {
            std::ifstream children(tasks + std::to_string(thread) + "/children");
            for (pid_t child = 0; children >> child;) tree.push_back(child);
        }
    }
    return tree;
}

double ThreadCpuSeconds(pid_t pid) {
    std::string tasks = "/proc/" + std::to_string(pid) + "/task/";
    double total = 0;
    for (pid_t thread : NumberedEntries(tasks)) {
        std::ifstream schedstat(tasks + std::to_string(thread) + "/schedstat");
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

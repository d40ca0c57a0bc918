#include "ProcessProbe.h"

#include <dirent.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

namespace {

std::vector<pid_t> NumberedEntries(const std::string& directory) {
    std::vector<pid_t> entries;
    DIR* dir = opendir(directory.c_str());
    if (dir == nullptr) return entries;
    while (dirent* entry = readdir(dir)) {
        char* end = nullptr;
        long number = std::strtol(entry->d_name, &end, 10);
        if (end != entry->d_name && *end == '\0') entries.push_back(static_cast<pid_t>(number));
    }
    closedir(dir);
    return entries;
}

pid_t ParentOf(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line)) return -1;
    // The name in parentheses may hold blanks; the fields after it do not.
    size_t close = line.rfind(')');
    if (close == std::string::npos) return -1;
    char state = 0;
    int parent = -1;
    if (std::sscanf(line.c_str() + close + 1, " %c %d", &state, &parent) != 2) return -1;
    return parent;
}

}  // namespace

long ResidentKb(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    return 0;
}

std::vector<pid_t> ProcessTree(pid_t root) {
    std::vector<pid_t> all = NumberedEntries("/proc");
    std::vector<pid_t> tree{root};
    // Parents come before children once found, so repeat until nothing is added.
    for (bool grew = true; grew;) {
        grew = false;
        for (pid_t pid : all) {
            bool known = false;
            for (pid_t member : tree) known = known || member == pid;
            if (known) continue;
            pid_t parent = ParentOf(pid);
            for (pid_t member : tree) {
                if (member == parent) {
                    tree.push_back(pid);
                    grew = true;
                    break;
                }
            }
        }
    }
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
    char wanted[16];
    std::snprintf(wanted, sizeof wanted, "0100007F:%04X", port);
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string slot, local, remote, st, queues, timer, retransmits, uid, timeout, inode, refs, address;
        unsigned long long drops = 0;
        fields >> slot >> local >> remote >> st >> queues >> timer >> retransmits >> uid >> timeout >> inode >> refs >>
            address >> drops;
        if (local != wanted) continue;
        // "tx_queue:rx_queue" in hexadecimal bytes.
        size_t colon = queues.find(':');
        state.queuedBytes = std::strtoull(queues.c_str() + colon + 1, nullptr, 16);
        state.drops = drops;
        state.found = true;
    }
    return state;
}

#pragma once
// What the kernel tells about a running process: its resident size, the processes below
// it, the processor time its threads have used, and the state of a UDP socket.
#include <sys/types.h>

#include <cstdint>
#include <vector>

/// VmRSS of `pid` in KiB (0 when it is gone).
long ResidentKb(pid_t pid);
/// `pid` and every process below it.
std::vector<pid_t> ProcessTree(pid_t pid);
/// The processor time all threads of `pid` have used so far, in seconds, to the
/// nanosecond (the scheduler's own account, not the 10 ms ticks of /proc/PID/stat).
double ThreadCpuSeconds(pid_t pid);

/// The UDP socket bound to `port` on this network namespace's loopback: bytes waiting in
/// its receive queue and datagrams dropped so far.
struct UdpSocketState {
    bool found = false;
    uint64_t queuedBytes = 0;
    uint64_t drops = 0;
};
UdpSocketState ReadUdpSocket(uint16_t port);

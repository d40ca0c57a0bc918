// Command handling at full speed: rounds of volume datagrams sent as fast as this process
// can (sendmmsg, 64 at a time) into the service and into a bare loop that only receives
// them (the machine's limit) on the next port, both running, their rounds alternating.
// Per receiver and round: the processor time its threads used per datagram taken in, and
// the share the kernel dropped (its socket's queue full). Then the service's resident size.
#include <sys/socket.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "Compare.h"
#include "Figures.h"
#include "ProcessProbe.h"
#include "service/CommandDatagram.h"
#include "service/ServiceAddress.h"
#include "service/SocketLayer.h"
#include "tests/support/ServiceProcess.h"
#include "tests/support/ToolRun.h"

namespace {

constexpr unsigned kBatch = 64;
constexpr uint16_t kBarePort = kServicePort + 1;

/// A receiver under test: the process, its port, and what each round cost it.
struct Receiver {
    pid_t pid;
    uint16_t port;
    SocketHandle sender;
    std::vector<double> cpuMicrosecondsPerDatagram, droppedShare;
};

/// Sends `count` volume datagrams as fast as it can.
void Blast(SocketHandle sender, int count) {
    std::vector<Datagram> datagrams(kBatch);
    std::vector<iovec> pieces(kBatch);
    std::vector<mmsghdr> messages(kBatch);
    for (unsigned i = 0; i < kBatch; ++i) {
        datagrams[i] = CommandDatagram(SET_VOLUME, i % 101);
        pieces[i] = {datagrams[i].data(), datagrams[i].size()};
        messages[i].msg_hdr.msg_iov = &pieces[i];
        messages[i].msg_hdr.msg_iovlen = 1;
    }
    for (int sent = 0; sent < count;) {
        int done = sendmmsg(sender, messages.data(), static_cast<unsigned>(std::min<int>(kBatch, count - sent)), 0);
        if (done <= 0) throw std::runtime_error("sendmmsg failed");
        sent += done;
    }
}

/// Waits until `port`'s socket exists and its receive queue is empty.
void AwaitEmptyQueue(uint16_t port) {
    auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    for (UdpSocketState state; !(state = ReadUdpSocket(port)).found || state.queuedBytes > 0;) {
        if (std::chrono::steady_clock::now() > limit) throw std::runtime_error("a receiver did not empty its queue");
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

void MeasureRound(Receiver& receiver, int count) {
    UdpSocketState before = ReadUdpSocket(receiver.port);
    double cpuBefore = ThreadCpuSeconds(receiver.pid);
    Blast(receiver.sender, count);
    AwaitEmptyQueue(receiver.port);
    double cpu = ThreadCpuSeconds(receiver.pid) - cpuBefore;
    double dropped = static_cast<double>(ReadUdpSocket(receiver.port).drops - before.drops);
    receiver.cpuMicrosecondsPerDatagram.push_back(count > dropped ? 1e6 * cpu / (count - dropped) : 0);
    receiver.droppedShare.push_back(dropped / count);
}

SocketHandle ConnectedSender(uint16_t port) {
    SocketHandle sender = OpenUdpSocket();
    if (sender < 0 || !ConnectSocket(sender, LoopbackAddress(port)))
        throw std::runtime_error("cannot make the sending socket");
    return sender;
}

}  // namespace

int CompareCommands(int rounds, int datagramsPerRound) {
    StartedTool loop({HelperPath("bare-receiver"), std::to_string(kBarePort)});
    AwaitEmptyQueue(kBarePort);  // bound once its socket shows
    ServiceProcess service;
    if (!service.WaitUntilServing()) throw std::runtime_error("the service did not start serving");
    Receiver bare{loop.Pid(), kBarePort, ConnectedSender(kBarePort), {}, {}};
    Receiver ours{service.Pid(), kServicePort, ConnectedSender(kServicePort), {}, {}};
    long before = ResidentKb(service.Pid());
    for (int i = 0; i < rounds; ++i) {
        MeasureRound(bare, datagramsPerRound);
        MeasureRound(ours, datagramsPerRound);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    Report("memory.service.before_datagrams_kb", static_cast<double>(before));
    Report("memory.service.after_datagrams_kb", static_cast<double>(ResidentKb(service.Pid())));
    Report("memory.service.datagrams", static_cast<double>(rounds) * datagramsPerRound);
    CloseSocket(bare.sender);
    CloseSocket(ours.sender);
    for (const auto& [name, receiver] : {std::pair{"bare", &bare}, std::pair{"service", &ours}}) {
        ReportMedian(std::string("commands.") + name + ".cpu_us_per_datagram", receiver->cpuMicrosecondsPerDatagram);
        ReportMedian(std::string("commands.") + name + ".dropped_share", receiver->droppedShare);
    }
    return 0;
}

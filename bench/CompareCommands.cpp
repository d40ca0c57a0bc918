// Command handling at full speed: rounds of volume datagrams sent as fast as this process
// can (sendmmsg, 64 at a time) into the service and, in the same run, into a bare loop
// that only receives them (the machine's limit). Both run side by side, the bare loop on
// the next port, and their rounds alternate, so that what else the machine does weighs on
// both alike. Per receiver and round: the processor
// time its threads used per datagram it took in, and the share of datagrams the kernel
// dropped because its socket's queue was full. Afterwards the service's resident size,
// once it has handled a million datagrams or more.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "ChildProcess.h"
#include "Compare.h"
#include "Percentiles.h"
#include "ProcessProbe.h"
#include "service/ServiceAddress.h"
#include "tests/support/ServiceProcess.h"

namespace {

constexpr unsigned kBatch = 64;
constexpr auto kDrainLimit = std::chrono::seconds(10);

struct Round {
    double cpuMicrosecondsPerDatagram = 0;
    double droppedShare = 0;
};

/// Sends `count` volume datagrams as fast as it can.
void Blast(int sender, int count) {
    std::vector<Datagram> datagrams;
    for (unsigned i = 0; i < kBatch; ++i) datagrams.push_back(CommandDatagram(1, i % 101));
    std::vector<iovec> pieces(kBatch);
    std::vector<mmsghdr> messages(kBatch);
    for (unsigned i = 0; i < kBatch; ++i) {
        pieces[i] = {datagrams[i].data(), datagrams[i].size()};
        messages[i] = {};
        messages[i].msg_hdr.msg_iov = &pieces[i];
        messages[i].msg_hdr.msg_iovlen = 1;
    }
    for (int sent = 0; sent < count;) {
        unsigned batch = static_cast<unsigned>(std::min<int>(kBatch, count - sent));
        int done = sendmmsg(sender, messages.data(), batch, 0);
        if (done <= 0) throw std::runtime_error("sendmmsg failed");
        sent += done;
    }
}

bool AwaitEmptyQueue(uint16_t port) {
    auto limit = std::chrono::steady_clock::now() + kDrainLimit;
    while (std::chrono::steady_clock::now() < limit) {
        UdpSocketState state = ReadUdpSocket(port);
        if (state.found && state.queuedBytes == 0) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

Round MeasureRound(pid_t receiver, uint16_t port, int sender, int count) {
    Round round;
    UdpSocketState before = ReadUdpSocket(port);
    double cpuBefore = ThreadCpuSeconds(receiver);
    Blast(sender, count);
    if (!AwaitEmptyQueue(port)) throw std::runtime_error("the receiver did not empty its queue");
    double cpu = ThreadCpuSeconds(receiver) - cpuBefore;
    UdpSocketState after = ReadUdpSocket(port);
    double dropped = static_cast<double>(after.drops - before.drops);
    double taken = count - dropped;
    round.cpuMicrosecondsPerDatagram = taken > 0 ? 1e6 * cpu / taken : 0;
    round.droppedShare = dropped / count;
    return round;
}

int ConnectedSender(uint16_t port) {
    int sender = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (sender < 0 || connect(sender, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
        throw std::runtime_error("cannot make the sending socket");
    return sender;
}

void ReportRounds(const std::string& name, const std::vector<Round>& rounds) {
    std::vector<double> cpu, dropped;
    for (const Round& round : rounds) {
        cpu.push_back(round.cpuMicrosecondsPerDatagram);
        dropped.push_back(round.droppedShare);
    }
    Report("commands." + name + ".cpu_us_per_datagram", Median(cpu));
    Report("commands." + name + ".dropped_share", Median(dropped));
    std::fprintf(stderr, "%-12s cpu per datagram taken in: median %.3f us (rounds:", name.c_str(), Median(cpu));
    for (double value : cpu) std::fprintf(stderr, " %.3f", value);
    std::fprintf(stderr, ")   dropped: median %.1f%% (rounds:", 100 * Median(dropped));
    for (double value : dropped) std::fprintf(stderr, " %.1f%%", 100 * value);
    std::fprintf(stderr, ")\n");
}

constexpr uint16_t kBarePort = kServicePort + 1;

}  // namespace

int CompareCommands(int rounds, int datagramsPerRound) {
    BackgroundChild loop({HelperPath("bare-receiver"), std::to_string(kBarePort)});
    for (int i = 0; i < 300 && !ReadUdpSocket(kBarePort).found; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (!ReadUdpSocket(kBarePort).found) throw std::runtime_error("the bare receiver did not bind");
    ServiceProcess receiver;
    if (!receiver.WaitUntilServing()) throw std::runtime_error("the service did not start serving");
    int toBare = ConnectedSender(kBarePort);
    int toService = ConnectedSender(kServicePort);
    long before = ResidentKb(receiver.Pid());
    std::vector<Round> bare, service;
    for (int i = 0; i < rounds; ++i) {
        bare.push_back(MeasureRound(loop.Pid(), kBarePort, toBare, datagramsPerRound));
        service.push_back(MeasureRound(receiver.Pid(), kServicePort, toService, datagramsPerRound));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    Report("memory.service.before_datagrams_kb", static_cast<double>(before));
    Report("memory.service.after_datagrams_kb", static_cast<double>(ResidentKb(receiver.Pid())));
    Report("memory.service.datagrams", static_cast<double>(rounds) * datagramsPerRound);
    close(toBare);
    close(toService);
    ReportRounds("bare", bare);
    ReportRounds("service", service);
    return 0;
}

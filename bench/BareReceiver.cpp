// The machine's limit for the command benchmark: a socket bound on the loopback address at
// the port given (the service's by default) and a loop that receives datagrams into a
// buffer of the service's size and does nothing with them. Runs until killed; it is bound
// once the socket shows in /proc/net/udp.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cstdio>
#include <cstdlib>

#include "service/CommandDatagram.h"
#include "service/ServiceAddress.h"

int main(int argc, char** argv) {
    const uint16_t port = argc > 1 ? static_cast<uint16_t>(std::atoi(argv[1])) : kServicePort;
    int receiver = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (receiver < 0 || bind(receiver, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        std::perror("bind");
        return 1;
    }
    static unsigned char buffer[kReceiveBufferSize];
    for (;;) recvfrom(receiver, buffer, sizeof buffer, 0, nullptr, nullptr);
}

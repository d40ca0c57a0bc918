// The machine's limit for the command benchmark: a socket bound where the service listens
// and a loop that receives datagrams into a buffer of the service's size and does nothing
// with them. Runs until killed; it is bound once the socket shows in /proc/net/udp.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cstdio>

#include "service/CommandDatagram.h"
#include "service/ServiceAddress.h"

int main() {
    int receiver = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(kServicePort);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (receiver < 0 || bind(receiver, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        std::perror("bind");
        return 1;
    }
    static unsigned char buffer[kReceiveBufferSize];
    for (;;) recvfrom(receiver, buffer, sizeof buffer, 0, nullptr, nullptr);
}

// The machine's limit for the command benchmark: a socket bound on the loopback address at
// the port given and a loop that receives datagrams into a buffer of the service's size,
// as the service receives them, and does nothing with them. Runs until killed.
#include <cstdio>
#include <cstdlib>

#include "service/CommandDatagram.h"
#include "service/SocketLayer.h"

int main(int argc, char** argv) {
    SocketHandle receiver = OpenUdpSocket();
    auto port = static_cast<uint16_t>(argc == 2 ? std::atoi(argv[1]) : 0);
    if (port == 0 || receiver < 0 || !BindSocket(receiver, LoopbackAddress(port))) {
        std::fprintf(stderr, "usage: %s PORT (a free one)\n", argv[0]);
        return 1;
    }
    static ReceiveBuffer buffer;
    for (;;) ReceiveDatagram(receiver, buffer.bytes, kReceiveBufferSize);
}

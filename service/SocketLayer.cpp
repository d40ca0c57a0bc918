#include "SocketLayer.h"

#include <cstring>

#ifdef _WIN32
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <cerrno>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

void StartSocketLayer() {
#ifdef _WIN32
    WSADATA data;
    WSAStartup(MAKEWORD(2, 0), &data);
#endif
}

SocketHandle OpenUdpSocket() { return socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP); }

bool BindSocket(SocketHandle handle, const sockaddr_in& address) {
    return bind(handle, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
}

int ReceiveDatagram(SocketHandle handle, void* buffer, int size) {
#ifdef __linux__
    // The service never cancels a thread, so the receive goes to the kernel directly: the C
    // library's recvfrom is a cancellation point, and once the voice has started its
    // threads that bookkeeping costs several per cent of every datagram's handling.
    return static_cast<int>(syscall(SYS_recvfrom, handle, buffer, static_cast<size_t>(size), 0, nullptr, nullptr));
#else
    return static_cast<int>(recvfrom(handle, static_cast<char*>(buffer), size, 0, nullptr, nullptr));
#endif
}

unsigned LastSocketError() {
#ifdef _WIN32
    return static_cast<unsigned>(WSAGetLastError());
#else
    return static_cast<unsigned>(errno);
#endif
}

sockaddr_in LoopbackAddress(uint16_t port) {
    sockaddr_in address;
    std::memset(&address, 0, sizeof address);
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

#include "SocketLayer.h"

#include <cstring>

#ifdef _WIN32
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <cerrno>
#include <sys/select.h>
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
#if defined(__linux__) && defined(SYS_recvfrom)
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

bool ConnectSocket(SocketHandle handle, const sockaddr_in& address) {
    return connect(handle, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
}

namespace {

bool LastErrorIsRefusal() {
#ifdef _WIN32
    int error = WSAGetLastError();
    return error == WSAECONNRESET || error == WSAECONNREFUSED;
#else
    return errno == ECONNREFUSED;
#endif
}

}  // namespace

SendResult SendOnSocket(SocketHandle handle, const void* bytes, int size) {
    if (send(handle, static_cast<const char*>(bytes), size, 0) == size) return SendResult::Sent;
    return LastErrorIsRefusal() ? SendResult::Refused : SendResult::Failed;
}

bool PeerRefused(SocketHandle handle, int milliseconds) {
    // The refusal arrives as an error on the socket, which makes it readable.
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(handle, &readable);
    timeval limit{milliseconds / 1000, (milliseconds % 1000) * 1000};
    if (select(static_cast<int>(handle) + 1, &readable, nullptr, nullptr, &limit) <= 0) return false;
    char byte;
    if (recv(handle, &byte, 1, 0) >= 0) return false;  // somebody answered: not a refusal
    return LastErrorIsRefusal();
}

void CloseSocket(SocketHandle handle) {
#ifdef _WIN32
    closesocket(handle);
#else
    close(handle);
#endif
}

#pragma once
// The UDP socket as the service uses it. Winsock on Windows, POSIX sockets elsewhere;
// this header and its source file are the only places that know which.
#include <cstdint>

#ifdef _WIN32
#include <winsock2.h>
using SocketHandle = SOCKET;
#else
#include <netinet/in.h>
using SocketHandle = int;
#endif

/// Starts the platform's socket layer (Winsock asks for version 2.0).
void StartSocketLayer();
SocketHandle OpenUdpSocket();
/// Binds to the address; returns false on failure, with LastSocketError() telling why.
bool BindSocket(SocketHandle socket, const sockaddr_in& address);
/// Receives one datagram of at most `size` bytes without reading the sender's address;
/// returns the byte count, or -1 when the receive failed.
int ReceiveDatagram(SocketHandle socket, void* buffer, int size);
/// The socket layer's last error code (Winsock's, or errno).
unsigned LastSocketError();
/// The loopback address and port in network byte order.
sockaddr_in LoopbackAddress(uint16_t port);

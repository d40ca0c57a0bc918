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

// A sender's side of the same seam.
/// Connects a UDP socket to one peer: later sends go there, and the peer's "port
/// unreachable" comes back to this socket as an error.
bool ConnectSocket(SocketHandle socket, const sockaddr_in& address);
enum class SendResult { Sent, Refused, Failed };
/// Sends one datagram on a connected socket. Refused: an earlier send found nothing
/// listening at the peer's port.
SendResult SendOnSocket(SocketHandle socket, const void* bytes, int size);
/// Whether the connected peer refused what was sent (nothing listens on its port), as
/// told within `milliseconds`. A peer that never answers is not refusing.
bool PeerRefused(SocketHandle socket, int milliseconds);
void CloseSocket(SocketHandle socket);

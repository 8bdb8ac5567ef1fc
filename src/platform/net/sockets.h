#pragma once

#include <chrono>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "platform/net/socket_errors.h"

// IPv4 sockets with the calls the program's Winsock code makes: start-up and clean-up, TCP listen/accept/send/recv,
// UDP bind/select/recv, close. Every failing call returns invalidSocket or socketError and leaves a Winsock error
// number for lastError() (socket_errors.h). Sends never raise SIGPIPE; a datagram longer than the receive buffer is
// reported as errorMessageTooLong instead of being cut silently; no call blocks longer than its caller allows, except a
// send on a full connection and a connect to a remote host.
namespace cvl::net {

// A socket; invalidSocket is none.
using Socket = std::intptr_t;
inline constexpr Socket invalidSocket = -1;
inline constexpr int socketError = -1;

// The longest backlog of pending connections the system allows.
inline constexpr int maxBacklog = 0x7fffffff;

// The start-up record of a socket user. This system needs no start-up: startup() only records the version asked
// for, and cleanup() does nothing. The calls keep the program's start-up and clean-up paths in place.
inline constexpr std::uint16_t version22 = 0x0202;
struct StartupData {
  std::uint16_t version = 0;
};
int startup(std::uint16_t version, StartupData& data);  // 0, or a Winsock error number
int cleanup();                                          // 0

// An IPv4 address and port, both in host order.
struct Address {
  std::uint32_t host = 0;
  std::uint16_t port = 0;
};
Address loopbackAddress(std::uint16_t port);
Address anyAddress(std::uint16_t port);

// Resolves a host name or dotted address and a port text. An empty host gives the passive address for listening
// (any local address). `error` is 0 or the Winsock number of the failure.
struct Lookup {
  int error = 0;
  Address address;
};
Lookup resolveAddress(const std::string& host, const std::string& port);

enum class SocketKind { stream, datagram };
Socket openSocket(SocketKind kind);
int closeSocket(Socket socket);

int setBlocking(Socket socket, bool blocking);
int setReuseAddress(Socket socket, bool reuse);
int setNoDelay(Socket socket, bool noDelay);

int bindTo(Socket socket, const Address& address);
int listenOn(Socket socket, int backlog);
// Connects a stream socket (blocking), or sets the default peer of a datagram socket.
int connectTo(Socket socket, const Address& address);

// Waits up to `wait` for a pending connection and accepts it. Without one in time it returns invalidSocket with
// errorWouldBlock, so a caller can poll and look at its stop flags in between.
Socket acceptConnection(Socket listener, std::chrono::milliseconds wait);

// 1 when the socket has data (or a connection, or an end of stream) to read, 0 when nothing came within `wait`
// (or the wait was interrupted), socketError on failure.
int waitReadable(Socket socket, std::chrono::milliseconds wait);

// One receive into the buffer: the count of bytes, 0 at the end of a stream (or for an empty datagram), socketError
// on failure. A datagram that does not fit the buffer fails with errorMessageTooLong (its head is in the buffer).
int receive(Socket socket, std::span<char> buffer);

// Sends all bytes on a connected socket: the count sent, or socketError.
int send(Socket socket, std::string_view bytes);
// Sends one datagram to the address: the count sent, or socketError.
int sendTo(Socket socket, const Address& address, std::string_view datagram);

// The local port the socket is bound to (the one the system chose for port 0); 0 on failure.
std::uint16_t localPort(Socket socket);

}  // namespace cvl::net

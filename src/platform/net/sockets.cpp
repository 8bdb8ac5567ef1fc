#include "platform/net/sockets.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <limits>

namespace cvl::net {
namespace {

constexpr std::size_t largestTransfer = std::numeric_limits<int>::max();

// The system's descriptor of a handle; -1 with errorNotASocket for a handle that cannot be one (invalidSocket too).
int lf_descriptor(Socket socket) {
  if (socket < 0 || socket > std::numeric_limits<int>::max()) {
    setLastError(errorNotASocket);
    return -1;
  }
  return static_cast<int>(socket);
}

int lf_failWithErrno() {
  setLastError(errorFromErrno(errno));
  return socketError;
}

// Repeats a system call that a signal interrupted before it did anything.
template <typename SystemCall>
auto lf_retryInterrupted(SystemCall call) {
  auto result = call();
  while (result == -1 && errno == EINTR) {
    result = call();
  }
  return result;
}

sockaddr_in lf_systemAddress(const Address& address) {
  sockaddr_in systemAddress{};
  systemAddress.sin_family = AF_INET;
  systemAddress.sin_addr.s_addr = htonl(address.host);
  systemAddress.sin_port = htons(address.port);
  return systemAddress;
}

// bind or connect.
template <typename SystemCall>
int lf_callWithAddress(Socket socket, const Address& address, SystemCall call) {
  const int descriptor = lf_descriptor(socket);
  if (descriptor < 0) {
    return socketError;
  }
  const sockaddr_in systemAddress = lf_systemAddress(address);
  const socklen_t length = sizeof systemAddress;
  return call(descriptor, reinterpret_cast<const sockaddr*>(&systemAddress), length) == 0 ? 0 : lf_failWithErrno();
}

int lf_setOption(Socket socket, int level, int option, int value) {
  const int descriptor = lf_descriptor(socket);
  if (descriptor < 0) {
    return socketError;
  }
  if (setsockopt(descriptor, level, option, &value, sizeof value) != 0) {
    return lf_failWithErrno();
  }
  return 0;
}

}  // namespace

int startup(std::uint16_t version, StartupData& data) {
  data.version = version;
  return 0;
}

int cleanup() {
  return 0;
}

Address loopbackAddress(std::uint16_t port) {
  return {INADDR_LOOPBACK, port};
}

Address anyAddress(std::uint16_t port) {
  return {INADDR_ANY, port};
}

Lookup resolveAddress(const std::string& host, const std::string& port) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = host.empty() ? AI_PASSIVE : 0;
  addrinfo* found = nullptr;
  const int result = getaddrinfo(host.empty() ? nullptr : host.c_str(), port.c_str(), &hints, &found);
  if (result != 0) {
    return {errorFromLookup(result), {}};
  }
  const auto* systemAddress = reinterpret_cast<const sockaddr_in*>(found->ai_addr);
  Lookup lookup{0, {ntohl(systemAddress->sin_addr.s_addr), ntohs(systemAddress->sin_port)}};
  freeaddrinfo(found);
  return lookup;
}

Socket openSocket(SocketKind kind) {
  const int descriptor = kind == SocketKind::stream ? socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP)
                                                    : socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_UDP);
  if (descriptor < 0) {
    lf_failWithErrno();
    return invalidSocket;
  }
  return descriptor;
}

int closeSocket(Socket socket) {
  const int descriptor = lf_descriptor(socket);
  if (descriptor < 0) {
    return socketError;
  }
  // Not repeated on EINTR: the descriptor is released whatever close reports.
  return close(descriptor) == 0 ? 0 : lf_failWithErrno();
}

int setBlocking(Socket socket, bool blocking) {
  const int descriptor = lf_descriptor(socket);
  if (descriptor < 0) {
    return socketError;
  }
  const int flags = fcntl(descriptor, F_GETFL);
  if (flags < 0) {
    return lf_failWithErrno();
  }
  const int wanted = blocking ? (flags & ~O_NONBLOCK) : (flags | O_NONBLOCK);
  return fcntl(descriptor, F_SETFL, wanted) == 0 ? 0 : lf_failWithErrno();
}

int setReuseAddress(Socket socket, bool reuse) {
  return lf_setOption(socket, SOL_SOCKET, SO_REUSEADDR, reuse ? 1 : 0);
}

int setNoDelay(Socket socket, bool noDelay) {
  return lf_setOption(socket, IPPROTO_TCP, TCP_NODELAY, noDelay ? 1 : 0);
}

int bindTo(Socket socket, const Address& address) {
  return lf_callWithAddress(socket, address, ::bind);
}

int listenOn(Socket socket, int backlog) {
  const int descriptor = lf_descriptor(socket);
  if (descriptor < 0) {
    return socketError;
  }
  // The system caps the backlog at its own limit.
  return listen(descriptor, std::min(backlog, SOMAXCONN)) == 0 ? 0 : lf_failWithErrno();
}

int connectTo(Socket socket, const Address& address) {
  return lf_callWithAddress(socket, address, ::connect);
}

Socket acceptConnection(Socket listener, std::chrono::milliseconds wait) {
  const int ready = waitReadable(listener, wait);
  if (ready == socketError) {
    return invalidSocket;
  }
  if (ready == 0) {
    setLastError(errorWouldBlock);
    return invalidSocket;
  }
  const int descriptor = static_cast<int>(listener);
  const int accepted = lf_retryInterrupted([&] { return accept4(descriptor, nullptr, nullptr, SOCK_CLOEXEC); });
  if (accepted < 0) {
    lf_failWithErrno();
    return invalidSocket;
  }
  return accepted;
}

int waitReadable(Socket socket, std::chrono::milliseconds wait) {
  const int descriptor = lf_descriptor(socket);
  if (descriptor < 0) {
    return socketError;
  }
  pollfd watched{descriptor, POLLIN, 0};
  const auto milliseconds =
      std::clamp<std::chrono::milliseconds::rep>(wait.count(), 0, std::numeric_limits<int>::max());
  const int result = poll(&watched, 1, static_cast<int>(milliseconds));
  if (result < 0) {
    return errno == EINTR ? 0 : lf_failWithErrno();
  }
  if (result > 0 && (watched.revents & POLLNVAL) != 0) {
    setLastError(errorBadHandle);
    return socketError;
  }
  return result > 0 ? 1 : 0;
}

int receive(Socket socket, std::span<char> buffer) {
  const int descriptor = lf_descriptor(socket);
  if (descriptor < 0) {
    return socketError;
  }
  iovec part{buffer.data(), std::min(buffer.size(), largestTransfer)};
  msghdr message{};
  message.msg_iov = &part;
  message.msg_iovlen = 1;
  const ssize_t count = lf_retryInterrupted([&] { return recvmsg(descriptor, &message, 0); });
  if (count < 0) {
    return lf_failWithErrno();
  }
  // Set only for datagrams: the rest of one that did not fit is lost, which the caller must learn.
  if ((message.msg_flags & MSG_TRUNC) != 0) {
    setLastError(errorMessageTooLong);
    return socketError;
  }
  return static_cast<int>(count);
}

int send(Socket socket, std::string_view bytes) {
  const int descriptor = lf_descriptor(socket);
  if (descriptor < 0) {
    return socketError;
  }
  if (bytes.size() > largestTransfer) {
    setLastError(errorInvalidArgument);
    return socketError;
  }
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    const ssize_t count =
        lf_retryInterrupted([&] { return ::send(descriptor, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL); });
    if (count < 0) {
      return lf_failWithErrno();
    }
    sent += static_cast<std::size_t>(count);
  }
  return static_cast<int>(sent);
}

int sendTo(Socket socket, const Address& address, std::string_view datagram) {
  const int descriptor = lf_descriptor(socket);
  if (descriptor < 0) {
    return socketError;
  }
  const sockaddr_in systemAddress = lf_systemAddress(address);
  const ssize_t count = lf_retryInterrupted([&] {
    return sendto(descriptor, datagram.data(), datagram.size(), MSG_NOSIGNAL,
                  reinterpret_cast<const sockaddr*>(&systemAddress), sizeof systemAddress);
  });
  return count < 0 ? lf_failWithErrno() : static_cast<int>(count);
}

std::uint16_t localPort(Socket socket) {
  const int descriptor = lf_descriptor(socket);
  if (descriptor < 0) {
    return 0;
  }
  sockaddr_in systemAddress{};
  socklen_t length = sizeof systemAddress;
  if (getsockname(descriptor, reinterpret_cast<sockaddr*>(&systemAddress), &length) != 0) {
    lf_failWithErrno();
    return 0;
  }
  return ntohs(systemAddress.sin_port);
}

}  // namespace cvl::net

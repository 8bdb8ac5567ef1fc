#include "simconnect/tcp_transport.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <string_view>

#include "simconnect/frame_stream.h"
#include "simconnect/simconnect.h"

namespace cvl::simconnect {
namespace {

constexpr int connectWaitMs = 1000;

bool finishConnect(int socket) {
  int error = 0;
  socklen_t size = sizeof(error);
  return waitForSocket(socket, POLLOUT, connectWaitMs) &&
         ::getsockopt(socket, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0;
}

class TcpTransport : public Transport {
 public:
  explicit TcpTransport(int socket) : socket_(socket) {}
  ~TcpTransport() override { close(); }

  bool send(const Frame& frame) override { return socket_ >= 0 && writeFrame(socket_, frame); }

  FrameQueue::Taken receive() override {
    FrameQueue::Taken taken;
    taken.ended = socket_ < 0 || !readWaitingBytes();
    while (auto frame = assembler_.next()) {
      taken.frames.push_back(std::move(*frame));
    }
    if (assembler_.damaged()) {
      taken.ended = true;
    }
    if (taken.ended) {
      close();
    }
    return taken;
  }

  void close() override {
    if (socket_ >= 0) {
      ::close(socket_);
      socket_ = -1;
    }
  }

 private:
  // Reads what the socket holds without waiting; false once the peer has closed or the connection failed.
  bool readWaitingBytes() {
    for (;;) {
      const auto count = ::recv(socket_, chunk_.data(), chunk_.size(), MSG_DONTWAIT);
      if (count > 0) {
        assembler_.append(std::span(chunk_).first(static_cast<std::size_t>(count)));
      } else if (count == 0) {
        return false;
      } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
        return true;
      } else if (errno != EINTR) {
        return false;
      }
    }
  }

  int socket_;
  FrameAssembler assembler_;
  std::vector<std::byte> chunk_ = std::vector<std::byte>(65536);
};

}  // namespace

std::uint16_t simulatorPort() {
  const char* text = std::getenv("CORVALEN_SIM_PORT");
  if (text == nullptr) {
    return defaultSimulatorPort;
  }
  const std::string_view value(text);
  unsigned port = 0;
  const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), port);
  if (error != std::errc{} || end != value.data() + value.size() || port == 0 || port > 65535) {
    return defaultSimulatorPort;
  }
  return static_cast<std::uint16_t>(port);
}

std::unique_ptr<Transport> connectTcp(std::uint16_t port) {
  const int socket = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (socket < 0) {
    return nullptr;
  }
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  const bool connected = ::connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0 ||
                         (errno == EINPROGRESS && finishConnect(socket));
  if (!connected) {
    ::close(socket);
    return nullptr;
  }
  const int noDelay = 1;
  ::setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, &noDelay, sizeof(noDelay));
  return std::make_unique<TcpTransport>(socket);
}

}  // namespace cvl::simconnect

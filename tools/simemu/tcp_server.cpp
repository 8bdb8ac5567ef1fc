#include "simemu/tcp_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <system_error>
#include <vector>

#include "simconnect/frame_stream.h"

namespace cvl::simemu {
namespace {

constexpr int acceptPollMs = 100;

}  // namespace

// One client: a reader thread hands its requests to the simulator, a writer thread sends the simulator's messages.
// Whichever ends first ends the other: the reader closes the message queue, the writer shuts the socket down.
struct TcpServer::Connection {
  Connection(int socketIn, std::shared_ptr<simconnect::InProcessEndpoint> endpointIn,
             std::shared_ptr<simconnect::FrameQueue> outboxIn)
      : socket(socketIn), endpoint(std::move(endpointIn)), outbox(std::move(outboxIn)) {
    writer = std::jthread([this] { writeMessages(); });
    reader = std::jthread([this] { readRequests(); });
  }

  ~Connection() {
    ::shutdown(socket, SHUT_RDWR);
    outbox->close();
    reader.join();
    writer.join();
    ::close(socket);
  }

  void readRequests() {
    simconnect::FrameAssembler assembler;
    std::vector<std::byte> chunk(65536);
    for (;;) {
      const auto count = ::recv(socket, chunk.data(), chunk.size(), 0);
      if (count < 0 && errno == EINTR) {
        continue;
      }
      if (count <= 0) {
        break;
      }
      assembler.append(std::span(chunk).first(static_cast<std::size_t>(count)));
      while (auto frame = assembler.next()) {
        endpoint->handle(*frame);
      }
      if (assembler.damaged()) {
        break;
      }
    }
    endpoint->clientClosed();
    outbox->close();
    finished = true;
  }

  void writeMessages() {
    for (;;) {
      auto taken = outbox->waitAndTakeAll();
      for (const auto& frame : taken.frames) {
        if (!simconnect::writeFrame(socket, frame)) {
          taken.ended = true;
          break;
        }
      }
      if (taken.ended) {
        break;
      }
    }
    ::shutdown(socket, SHUT_RDWR);
  }

  int socket;
  std::shared_ptr<simconnect::InProcessEndpoint> endpoint;
  std::shared_ptr<simconnect::FrameQueue> outbox;
  std::atomic<bool> finished = false;
  std::jthread writer;
  std::jthread reader;
};

TcpServer::TcpServer(std::shared_ptr<simconnect::InProcessSimulator> simulator, std::uint16_t port)
    : simulator_(std::move(simulator)) {
  listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (listener_ < 0) {
    throw std::system_error(errno, std::generic_category(), "open the simulator port");
  }
  const int reuse = 1;
  ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof(reuse));
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof(address);
  if (::bind(listener_, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0 ||
      ::listen(listener_, SOMAXCONN) != 0 ||
      ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
    const auto error = errno;
    ::close(listener_);
    throw std::system_error(error, std::generic_category(), "listen on the simulator port");
  }
  port_ = ntohs(address.sin_port);
  acceptor_ = std::jthread([this](const std::stop_token& stop) { acceptConnections(stop); });
}

TcpServer::~TcpServer() {
  acceptor_.request_stop();
  acceptor_.join();
  ::close(listener_);
  std::lock_guard lock(connectionsMutex_);
  connections_.clear();
}

void TcpServer::acceptConnections(const std::stop_token& stop) {
  while (!stop.stop_requested()) {
    reapFinishedConnections();
    if (!simconnect::waitForSocket(listener_, POLLIN, acceptPollMs)) {
      continue;
    }
    const int socket = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (socket >= 0) {
      serve(socket);
    }
  }
}

void TcpServer::serve(int socket) {
  const int noDelay = 1;
  ::setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, &noDelay, sizeof(noDelay));
  auto outbox = std::make_shared<simconnect::FrameQueue>();
  auto endpoint = simulator_->accept(outbox);
  if (!endpoint) {
    ::close(socket);
    return;
  }
  std::lock_guard lock(connectionsMutex_);
  connections_.push_back(std::make_unique<Connection>(socket, std::move(endpoint), std::move(outbox)));
}

void TcpServer::reapFinishedConnections() {
  std::lock_guard lock(connectionsMutex_);
  connections_.remove_if([](const auto& connection) { return connection->finished.load(); });
}

}  // namespace cvl::simemu

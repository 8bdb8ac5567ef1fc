#pragma once

#include <utility>

#include "platform/net/sockets.h"

namespace cvl::net {

// Owns one socket and closes it when it goes, or when it is given another one.
class SocketOwner {
 public:
  SocketOwner() = default;
  explicit SocketOwner(Socket socket) : socket_(socket) {}
  ~SocketOwner() { reset(); }
  SocketOwner(SocketOwner&& other) noexcept : socket_(other.release()) {}
  SocketOwner& operator=(SocketOwner&& other) noexcept {
    reset(other.release());
    return *this;
  }
  SocketOwner(const SocketOwner&) = delete;
  SocketOwner& operator=(const SocketOwner&) = delete;

  Socket get() const { return socket_; }
  bool valid() const { return socket_ != invalidSocket; }

  Socket release() { return std::exchange(socket_, invalidSocket); }

  void reset(Socket socket = invalidSocket) {
    if (socket_ != invalidSocket && socket_ != socket) {
      closeSocket(socket_);
    }
    socket_ = socket;
  }

 private:
  Socket socket_ = invalidSocket;
};

}  // namespace cvl::net

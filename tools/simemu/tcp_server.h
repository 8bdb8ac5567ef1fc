#pragma once

#include <cstdint>
#include <list>
#include <memory>
#include <mutex>
#include <thread>

#include "simconnect/in_process.h"

// Serves a simulator to clients of the client library over loopback TCP: each connection gets an endpoint of the
// simulator; its request frames are handed to the endpoint as they arrive, and the frames the simulator queues for
// it are written back. A connection ends when either side closes it.
namespace cvl::simemu {

class TcpServer {
 public:
  // Listens on 127.0.0.1; port 0 takes a free port. Throws std::system_error when it cannot listen.
  TcpServer(std::shared_ptr<simconnect::InProcessSimulator> simulator, std::uint16_t port);
  // Ends every connection and waits for their threads.
  ~TcpServer();
  TcpServer(const TcpServer&) = delete;
  TcpServer& operator=(const TcpServer&) = delete;

  std::uint16_t port() const { return port_; }

 private:
  struct Connection;

  void acceptConnections(const std::stop_token& stop);
  void serve(int socket);
  void reapFinishedConnections();

  std::shared_ptr<simconnect::InProcessSimulator> simulator_;
  int listener_ = -1;
  std::uint16_t port_ = 0;
  std::mutex connectionsMutex_;
  std::list<std::unique_ptr<Connection>> connections_;
  std::jthread acceptor_;
};

}  // namespace cvl::simemu

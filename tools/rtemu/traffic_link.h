#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stop_token>
#include <string>
#include <thread>

#include "platform/net/socket_owner.h"
#include "rtemu/notice.h"
#include "rtemu/received_log.h"

// The traffic service's end of the TCP link: it connects to Corvalen's port (trying again until Corvalen listens),
// logs every line it receives, and answers the version request. After Corvalen closes the link it connects again;
// after drop() it stays away until reconnect().
namespace cvl::rtemu {

struct LinkSettings {
  net::Address server;
  // Sent in one piece in answer to "Qs999=version"; an empty reply sends nothing (a service that does not answer).
  std::string versionReply;
  std::chrono::milliseconds retryInterval{250};
};

class TrafficLink {
 public:
  TrafficLink(LinkSettings settings, ReceivedLog& log, Notice notice);
  ~TrafficLink();
  TrafficLink(const TrafficLink&) = delete;
  TrafficLink& operator=(const TrafficLink&) = delete;

  void start();
  // Closes the connection and keeps the link down.
  void drop();
  // Lets the link connect again after drop().
  void reconnect();

  // The connections made so far.
  int connections() const;
  // Waits until the first connection is made; false when `stop` came first.
  bool waitForFirstConnection(std::stop_token stop);

 private:
  void run(std::stop_token stop);
  bool wanted(std::stop_token stop);
  void connect(std::stop_token stop);
  void serve();
  void close(std::string_view why);
  void answer(std::string_view line);

  LinkSettings settings_;
  ReceivedLog& log_;
  Notice notice_;

  mutable std::mutex mutex_;
  std::condition_variable_any changed_;
  bool wanted_ = true;
  int connections_ = 0;

  // Touched by the link's own thread only.
  net::SocketOwner connection_;
  std::string pending_;
  bool waitingNoticed_ = false;

  std::jthread thread_;
};

}  // namespace cvl::rtemu

#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <unordered_map>
#include <unordered_set>

#include "simconnect/protocol.h"
#include "simconnect/simconnect.h"
#include "simconnect/transport.h"

// One open connection of the client library: numbers and sends the requests, keeps the messages that arrived until
// they are dispatched. Every member is safe to call from several threads at once.
namespace cvl::simconnect {

class ClientSession {
 public:
  explicit ClientSession(std::unique_ptr<Transport> transport) : transport_(std::move(transport)) {}

  HRESULT send(RequestBody body);
  // Sends only an event that was mapped on this connection.
  HRESULT sendClientEvent(const ClientEventRequest& event);
  std::optional<std::uint32_t> lastSentPacketId();
  HRESULT dispatch(DispatchProc handler, void* context);
  void close();

 private:
  HRESULT sendLocked(RequestBody body);
  // Moves what arrived into the pending messages; returns how many are pending now.
  std::size_t collectArrivals();
  std::optional<ReceivedMessage> takeNext();

  std::mutex mutex_;
  std::unique_ptr<Transport> transport_;
  std::uint32_t lastPacketId_ = 0;
  std::unordered_map<std::thread::id, std::uint32_t> lastPacketIdOfThread_;
  std::unordered_set<std::uint32_t> mappedEvents_;
  std::deque<ReceivedMessage> pending_;
  bool ended_ = false;
  bool quitReceived_ = false;
};

}  // namespace cvl::simconnect

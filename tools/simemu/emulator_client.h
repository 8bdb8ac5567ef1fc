#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "simconnect/frame_queue.h"
#include "simemu/datums.h"

// What the emulated simulator keeps of one connected client: where its messages go and what it declared.
namespace cvl::simemu {

struct NotificationGroup {
  std::uint32_t priority = 0;
  std::vector<std::uint32_t> events;
};

// A data request answered every second until the client ends it.
struct PeriodicRequest {
  std::uint32_t definitionId = 0;
  std::uint32_t objectId = 0;
  double dueSeconds = 0;  // on the emulator's running clock
};

struct EmulatorClient {
  std::uint32_t id = 0;
  std::string name;
  std::shared_ptr<simconnect::FrameQueue> outbox;
  std::map<std::string, std::uint32_t> subscriptions;  // system event name: the client's event id
  std::map<std::uint32_t, std::vector<Datum>> definitions;
  std::map<std::uint32_t, std::string> mappedEvents;  // client event id: simulator event name
  std::map<std::uint32_t, NotificationGroup> groups;
  std::map<std::uint32_t, PeriodicRequest> periodicRequests;  // by request id
  bool closing = false;
};

}  // namespace cvl::simemu

#include "simemu/sim_emulator.h"

#include <fmt/core.h>

#include <chrono>

namespace cvl::simemu {

namespace {

// Frame times add up with rounding errors; a second is due when it is this close.
constexpr double frameTolerance = 1e-6;

}  // namespace

class SimEmulator::Endpoint : public simconnect::InProcessEndpoint {
 public:
  Endpoint(std::shared_ptr<SimEmulator> emulator, std::uint32_t clientId)
      : emulator_(std::move(emulator)), clientId_(clientId) {}
  ~Endpoint() override { clientClosed(); }

  void handle(std::span<const std::byte> request) override { emulator_->handle(clientId_, request); }
  void clientClosed() override { emulator_->disconnect(clientId_); }

 private:
  std::shared_ptr<SimEmulator> emulator_;
  std::uint32_t clientId_;
};

std::optional<SimIdentity> identityOf(int simYear) {
  switch (simYear) {
    case 2020:
      return SimIdentity{"KittyHawk", {11, 0, 1, 0}};
    case 2024:
      return SimIdentity{"SunRise", {12, 0, 1, 0}};
    default:
      return std::nullopt;
  }
}

SimEmulator::SimEmulator(const EmulatorSettings& settings)
    : identity_(settings.identity),
      refusedTitles_(settings.refusedTitles),
      world_(settings.scenario,
             std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
                 .count()) {}

std::shared_ptr<simconnect::InProcessEndpoint> SimEmulator::accept(std::shared_ptr<simconnect::FrameQueue> toClient) {
  std::lock_guard lock(mutex_);
  if (!accepting_) {
    return nullptr;
  }
  const auto clientId = ++lastClientId_;
  auto& client = clients_[clientId];
  client.id = clientId;
  client.outbox = std::move(toClient);
  return std::make_shared<Endpoint>(shared_from_this(), clientId);
}

void SimEmulator::setAcceptingConnections(bool accepting) {
  std::lock_guard lock(mutex_);
  accepting_ = accepting;
}

void SimEmulator::handle(std::uint32_t clientId, std::span<const std::byte> frame) {
  std::lock_guard lock(mutex_);
  const auto found = clients_.find(clientId);
  if (found == clients_.end()) {
    return;
  }
  auto& client = found->second;
  auto request = simconnect::decodeRequest(frame);
  if (!request) {
    sendException(client, SIMCONNECT_EXCEPTION_ERROR, 0, 0);
    return;
  }
  std::visit([&](const auto& body) { on(client, request->packetId, body); }, request->body);
  if (client.closing) {
    dropClient(clientId);
  }
}

void SimEmulator::disconnect(std::uint32_t clientId) {
  std::lock_guard lock(mutex_);
  if (clients_.contains(clientId)) {
    dropClient(clientId);
  }
}

// The simulator takes away the AI aircraft of a client that goes.
void SimEmulator::dropClient(std::uint32_t clientId) {
  clients_.at(clientId).outbox->close();
  clients_.erase(clientId);
  for (const auto objectId : world_.objectsOf(clientId)) {
    removeObject(objectId);
  }
}

void SimEmulator::runFrame(double seconds) {
  std::lock_guard lock(mutex_);
  runningSeconds_ += seconds;
  if (!paused_) {
    world_.advanceClock(seconds);
  }
  const float frameRate = seconds > 0 ? static_cast<float>(1.0 / seconds) : 0.0f;
  notify("Frame", [frameRate](std::uint32_t eventId) {
    SIMCONNECT_RECV_EVENT_FRAME frame;
    frame.uEventID = eventId;
    frame.fFrameRate = frameRate;
    return simconnect::encodeMessage(frame);
  });
  runPeriodicRequests();
}

void SimEmulator::runPeriodicRequests() {
  for (auto& [clientId, client] : clients_) {
    for (auto request = client.periodicRequests.begin(); request != client.periodicRequests.end();) {
      auto& [requestId, periodic] = *request;
      const auto* object = world_.find(periodic.objectId);
      if (object == nullptr) {
        request = client.periodicRequests.erase(request);
        continue;
      }
      if (runningSeconds_ >= periodic.dueSeconds - frameTolerance) {
        sendData(client, requestId, periodic.definitionId, *object);
        periodic.dueSeconds += 1.0;
        if (periodic.dueSeconds <= runningSeconds_) {
          periodic.dueSeconds = runningSeconds_ + 1.0;
        }
      }
      ++request;
    }
  }
}

void SimEmulator::teleportUser(double latitude, double longitude, std::optional<double> altitudeFt) {
  std::lock_guard lock(mutex_);
  auto& user = world_.user();
  user.latitude = latitude;
  user.longitude = longitude;
  user.altitudeFt = altitudeFt.value_or(user.altitudeFt);
}

std::optional<std::string> SimEmulator::flyUser(const FlightPoint& point) {
  std::lock_guard lock(mutex_);
  auto& user = world_.user();
  const double ground = world_.view().groundAltitudeFt;
  if (point.altitudeFt < ground) {
    return fmt::format("fly: {} ft is below the ground, which lies at {} ft", point.altitudeFt, ground);
  }
  if (point.onGround && !standsAtHeight(user, point.altitudeFt, ground)) {
    return fmt::format("fly: {} ft is off the ground, which lies at {} ft", point.altitudeFt, ground);
  }
  user.latitude = point.latitude;
  user.longitude = point.longitude;
  user.altitudeFt = point.altitudeFt;
  user.headingDeg = point.headingDeg;
  user.airspeedKt = point.groundSpeedKt;
  user.onGround = point.onGround;
  return std::nullopt;
}

void SimEmulator::loadNewFlight() {
  std::lock_guard lock(mutex_);
  flightFile_ = fmt::format("flights/flight{}.FLT", ++flightNumber_);
  notify("FlightLoaded", [this](std::uint32_t eventId) {
    SIMCONNECT_RECV_EVENT_FILENAME loaded;
    loaded.uEventID = eventId;
    flightFile_.copy(loaded.szFileName, sizeof(loaded.szFileName) - 1);
    return simconnect::encodeMessage(loaded);
  });
}

void SimEmulator::setPaused(bool paused) {
  std::lock_guard lock(mutex_);
  paused_ = paused;
  notify("Sim", [paused](std::uint32_t eventId) {
    SIMCONNECT_RECV_EVENT event;
    event.uEventID = eventId;
    event.dwData = paused ? 0 : 1;
    return simconnect::encodeMessage(event);
  });
}

void SimEmulator::quit() {
  std::lock_guard lock(mutex_);
  accepting_ = false;
  for (auto& [clientId, client] : clients_) {
    client.outbox->push(simconnect::encodeMessage(SIMCONNECT_RECV_QUIT{}));
    client.outbox->close();
  }
  clients_.clear();
}

void SimEmulator::sendToAll(const simconnect::Frame& message) {
  std::lock_guard lock(mutex_);
  for (auto& [clientId, client] : clients_) {
    client.outbox->push(message);
  }
}

template <class Build>
void SimEmulator::notify(const std::string& systemEvent, Build message) {
  for (auto& [clientId, client] : clients_) {
    if (const auto subscribed = client.subscriptions.find(systemEvent); subscribed != client.subscriptions.end()) {
      client.outbox->push(message(subscribed->second));
    }
  }
}

void SimEmulator::notifyObject(const std::string& systemEvent, const SimObject& object) {
  notify(systemEvent, [&object](std::uint32_t eventId) {
    SIMCONNECT_RECV_EVENT_OBJECT_ADDREMOVE event;
    event.uEventID = eventId;
    event.dwData = object.id;
    event.eObjType = object.type;
    return simconnect::encodeMessage(event);
  });
}

void SimEmulator::removeObject(std::uint32_t objectId) {
  if (const auto removed = world_.remove(objectId)) {
    notifyObject("ObjectRemoved", *removed);
  }
}

void SimEmulator::sendException(EmulatorClient& client, SIMCONNECT_EXCEPTION code, std::uint32_t packetId,
                                std::uint32_t argument) {
  SIMCONNECT_RECV_EXCEPTION exception;
  exception.dwException = code;
  exception.dwSendID = packetId;
  exception.dwIndex = argument;
  client.outbox->push(simconnect::encodeMessage(exception));
}

void SimEmulator::sendData(EmulatorClient& client, std::uint32_t requestId, std::uint32_t definitionId,
                           const SimObject& object) {
  const auto definition = client.definitions.find(definitionId);
  if (definition == client.definitions.end()) {
    return;
  }
  SIMCONNECT_RECV_SIMOBJECT_DATA data;
  data.dwRequestID = requestId;
  data.dwObjectID = object.id;
  data.dwDefineID = definitionId;
  client.outbox->push(simconnect::encodeMessage(data, encodeBlock(definition->second, object, world_.view())));
}

}  // namespace cvl::simemu

#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <nlohmann/json.hpp>
#include <optional>
#include <set>
#include <span>
#include <string>

#include "simconnect/in_process.h"
#include "simconnect/protocol.h"
#include "simemu/emulator_client.h"
#include "simemu/scenario.h"
#include "simemu/world.h"

// The simulator emulator: plays the simulator at the other end of the client library, for tests and the demo. It
// answers each client's requests from its world (the user aircraft, its own traffic, the AI aircraft clients create),
// sends the system events to their subscribers and refuses what a real simulator would refuse. It is driven from
// outside: runFrame for each simulator frame, and the commands of the simemu program. Every member is safe to call
// from several threads.
namespace cvl::simemu {

// Which simulator is played: its name in the OPEN message and its version (major, minor, build major, build minor).
struct SimIdentity {
  std::string applicationName;
  std::array<std::uint32_t, 4> version{};
};

// 2020 plays "KittyHawk", 2024 "SunRise"; nullopt for any other year.
std::optional<SimIdentity> identityOf(int simYear);

// A point of a flight of the user aircraft: where it is, which way it heads (true, degrees), how fast it moves over
// the ground (knots; the world has no wind, so this is also its true airspeed) and whether it stands or rolls on the
// ground.
struct FlightPoint {
  double latitude = 0;
  double longitude = 0;
  double altitudeFt = 0;
  double headingDeg = 0;
  double groundSpeedKt = 0;
  bool onGround = true;
};

struct EmulatorSettings {
  SimIdentity identity;
  Scenario scenario;
  std::set<std::string> refusedTitles;  // creations with these titles fail, as for a livery that cannot be loaded
};

class SimEmulator : public simconnect::InProcessSimulator, public std::enable_shared_from_this<SimEmulator> {
 public:
  // Create it with std::make_shared: a connection keeps the emulator alive.
  explicit SimEmulator(const EmulatorSettings& settings);

  std::shared_ptr<simconnect::InProcessEndpoint> accept(std::shared_ptr<simconnect::FrameQueue> toClient) override;
  void setAcceptingConnections(bool accepting);

  // One simulator frame, `seconds` after the one before: the Frame events, and the data of the requests answered
  // every second when their second is due.
  void runFrame(double seconds);

  // Moves the user aircraft and leaves the rest as it was: on the ground or in the air, its heading and its speed.
  void teleportUser(double latitude, double longitude, std::optional<double> altitudeFt);
  // Puts the user aircraft at the point of its flight. Refused, with the reason, for an altitude below the ground, or
  // on the ground one higher above it than the aircraft's static CG height (and a foot).
  std::optional<std::string> flyUser(const FlightPoint& point);
  // The FlightLoaded event, with the file of a new flight.
  void loadNewFlight();
  // The Sim event: 0 while paused, 1 when running again.
  void setPaused(bool paused);
  // QUIT to every client, then their connections end; the emulator takes no new ones.
  void quit();
  // Sends a message as it stands to every client (to test how clients take unusual messages).
  void sendToAll(const simconnect::Frame& message);

  // The whole state: {"sim", "version", "paused", "flightFile", "unixTime", "clients": [...], "user": {...},
  // "objects": [{"id", "title", "tail", "lat", "lon", "alt", "heading", "onGround", "lights", "lastEvents", ...}]}.
  nlohmann::json state() const;

 private:
  class Endpoint;

  void handle(std::uint32_t clientId, std::span<const std::byte> frame);
  void disconnect(std::uint32_t clientId);
  void dropClient(std::uint32_t clientId);

  void on(EmulatorClient& client, std::uint32_t packetId, const simconnect::OpenRequest& request);
  void on(EmulatorClient& client, std::uint32_t packetId, const simconnect::CloseRequest& request);
  void on(EmulatorClient& client, std::uint32_t packetId, const simconnect::SubscribeRequest& request);
  void on(EmulatorClient& client, std::uint32_t packetId, const simconnect::AddDatumRequest& request);
  void on(EmulatorClient& client, std::uint32_t packetId, const simconnect::MapEventRequest& request);
  void on(EmulatorClient& client, std::uint32_t packetId, const simconnect::GroupEventRequest& request);
  void on(EmulatorClient& client, std::uint32_t packetId, const simconnect::GroupPriorityRequest& request);
  void on(EmulatorClient& client, std::uint32_t packetId, const simconnect::DataRequest& request);
  void on(EmulatorClient& client, std::uint32_t packetId, const simconnect::DataByTypeRequest& request);
  void on(EmulatorClient& client, std::uint32_t packetId, const simconnect::SetDataRequest& request);
  void on(EmulatorClient& client, std::uint32_t packetId, const simconnect::ClientEventRequest& request);
  void on(EmulatorClient& client, std::uint32_t packetId, const simconnect::CreateAircraftRequest& request);
  void on(EmulatorClient& client, std::uint32_t packetId, const simconnect::RemoveObjectRequest& request);
  void on(EmulatorClient& client, std::uint32_t packetId, const simconnect::ReleaseControlRequest& request);
  void on(EmulatorClient& client, std::uint32_t packetId, const simconnect::FlightPlanRequest& request);

  // The object a request names; when there is none, the client gets UNRECOGNIZED_ID for that argument.
  SimObject* objectOrRefusal(EmulatorClient& client, std::uint32_t packetId, std::uint32_t objectId,
                             std::uint32_t argument);
  // Likewise, and OPERATION_INVALID_FOR_OBJECT_TYPE when it names the user aircraft.
  SimObject* aiObjectOrRefusal(EmulatorClient& client, std::uint32_t packetId, std::uint32_t objectId,
                               std::uint32_t argument);
  // Likewise for a data definition.
  const std::vector<Datum>* definitionOrRefusal(EmulatorClient& client, std::uint32_t packetId,
                                                std::uint32_t definitionId, std::uint32_t argument);
  void sendException(EmulatorClient& client, SIMCONNECT_EXCEPTION code, std::uint32_t packetId, std::uint32_t argument);
  void sendData(EmulatorClient& client, std::uint32_t requestId, std::uint32_t definitionId, const SimObject& object);
  // A system event to each client that subscribed to it; `message` builds it from the client's event id.
  template <class Build>
  void notify(const std::string& systemEvent, Build message);
  void notifyObject(const std::string& systemEvent, const SimObject& object);
  void removeObject(std::uint32_t objectId);
  void runPeriodicRequests();

  mutable std::mutex mutex_;
  const SimIdentity identity_;
  const std::set<std::string> refusedTitles_;
  World world_;
  std::map<std::uint32_t, EmulatorClient> clients_;
  std::uint32_t lastClientId_ = 0;
  double runningSeconds_ = 0;
  bool accepting_ = true;
  bool paused_ = false;
  unsigned flightNumber_ = 0;
  std::string flightFile_;
};

}  // namespace cvl::simemu

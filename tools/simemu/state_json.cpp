// The emulator's state as JSON, for the state file that tests and the demo read.
#include <fmt/core.h>

#include "simemu/sim_emulator.h"
#include "simemu/sim_events.h"

namespace cvl::simemu {
namespace {

using nlohmann::json;

json lightsJson(std::uint32_t mask) {
  json lights = json::object();
  for (const auto& [name, bit] : namedLights()) {
    lights[name] = (mask & bit) != 0;
  }
  return lights;
}

json objectJson(const SimObject& object, const WorldView& world) {
  json flightPlan = nullptr;
  if (!object.flightPlanFile.empty()) {
    flightPlan = {
        {"file", object.flightPlanFile}, {"departure", object.departure}, {"destination", object.destination}};
  }
  return {{"id", object.id},
          {"type", object.type == SIMCONNECT_SIMOBJECT_TYPE_HELICOPTER ? "helicopter" : "aircraft"},
          {"title", object.title},
          {"tail", object.tail},
          {"atcType", object.atcType},
          {"atcModel", object.atcModel},
          {"wingspan", object.wingspanFt},
          {"lat", object.latitude},
          {"lon", object.longitude},
          {"alt", object.altitudeFt},
          {"altAboveGround", object.altitudeFt - world.groundAltitudeFt},
          {"heading", object.headingDeg},
          {"pitch", object.pitchDeg},
          {"bank", object.bankDeg},
          {"verticalSpeed", object.verticalSpeedFps},
          {"airspeed", object.airspeedKt},
          {"onGround", object.onGround},
          {"lights", lightsJson(object.lights)},
          {"lastEvents", object.lastEvents},
          {"released", object.aiReleased},
          {"frozen",
           {{"latLon", object.frozenLatLon}, {"altitude", object.frozenAltitude}, {"attitude", object.frozenAttitude}}},
          {"gearDown", object.gearDown},
          {"flaps", object.flapsPct},
          {"spoilers", object.spoilersPct},
          {"throttle", object.throttlePct},
          {"enginesRunning", object.enginesRunning},
          {"flightPlan", flightPlan}};
}

// Maps with number keys become JSON objects keyed by the number's text.
template <class Value, class Convert>
json byNumber(const std::map<std::uint32_t, Value>& map, Convert convert) {
  json result = json::object();
  for (const auto& [key, value] : map) {
    result[std::to_string(key)] = convert(value);
  }
  return result;
}

json clientJson(const EmulatorClient& client) {
  json subscriptions = json::array();
  for (const auto& [name, eventId] : client.subscriptions) {
    subscriptions.push_back(name);
  }
  json periodic = json::array();
  for (const auto& [requestId, request] : client.periodicRequests) {
    periodic.push_back(requestId);
  }
  return {{"id", client.id},
          {"name", client.name},
          {"subscriptions", subscriptions},
          {"definitions", byNumber(client.definitions, [](const auto& datums) { return datums.size(); })},
          {"mappedEvents", byNumber(client.mappedEvents, [](const auto& name) { return name; })},
          {"groups", byNumber(client.groups,
                              [](const NotificationGroup& group) {
                                return json{{"priority", group.priority}, {"events", group.events}};
                              })},
          {"periodicRequests", periodic}};
}

}  // namespace

nlohmann::json SimEmulator::state() const {
  std::lock_guard lock(mutex_);
  const auto world = world_.view();
  json objects = json::array();
  for (const auto& [id, object] : world_.objects()) {
    auto entry = objectJson(object, world);
    const auto owner = clients_.find(object.ownerClient);
    entry["createdBy"] = owner != clients_.end() ? json(owner->second.name) : json(nullptr);
    objects.push_back(std::move(entry));
  }
  json clients = json::array();
  for (const auto& [id, client] : clients_) {
    clients.push_back(clientJson(client));
  }
  const auto& v = identity_.version;
  return {{"sim", identity_.applicationName},
          {"version", fmt::format("{}.{}.{}.{}", v[0], v[1], v[2], v[3])},
          {"paused", paused_},
          {"flightFile", flightFile_},
          {"unixTime", world.unixTime},
          {"clients", clients},
          {"user", objectJson(world_.user(), world)},
          {"objects", objects}};
}

}  // namespace cvl::simemu

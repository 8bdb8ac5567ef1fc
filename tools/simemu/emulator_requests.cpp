// How the emulated simulator answers each kind of request.
#include <array>
#include <filesystem>
#include <pugixml.hpp>
#include <string_view>

#include "simemu/letter_case.h"
#include "simemu/sim_emulator.h"
#include "simemu/sim_events.h"

namespace cvl::simemu {
namespace {

using namespace simconnect;

// The most objects the simulator holds besides the user aircraft.
constexpr std::size_t maxObjects = 1000;

constexpr std::array<std::string_view, 5> systemEvents{"Sim", "ObjectAdded", "ObjectRemoved", "FlightLoaded", "Frame"};

std::optional<std::string> systemEventNamed(std::string_view name) {
  const auto lower = lowerCase(name);
  for (const auto event : systemEvents) {
    if (lowerCase(event) == lower) {
      return std::string(event);
    }
  }
  return std::nullopt;
}

// The argument of AddToDataDefinition at fault.
std::uint32_t argumentOf(DatumFault fault) {
  switch (fault) {
    case DatumFault::unknownName:
      return 2;
    case DatumFault::unknownUnits:
      return 3;
    default:
      return 4;
  }
}

// A flight plan may be named with or without its ".pln".
std::optional<std::filesystem::path> flightPlanFile(const std::string& path) {
  for (const auto& candidate : {path, path + ".pln"}) {
    std::error_code error;
    if (std::filesystem::is_regular_file(candidate, error)) {
      return candidate;
    }
  }
  return std::nullopt;
}

}  // namespace

void SimEmulator::on(EmulatorClient& client, std::uint32_t, const OpenRequest& request) {
  client.name = request.clientName;
  SIMCONNECT_RECV_OPEN open;
  identity_.applicationName.copy(open.szApplicationName, sizeof(open.szApplicationName) - 1);
  open.dwApplicationVersionMajor = identity_.version[0];
  open.dwApplicationVersionMinor = identity_.version[1];
  open.dwApplicationBuildMajor = identity_.version[2];
  open.dwApplicationBuildMinor = identity_.version[3];
  client.outbox->push(encodeMessage(open));
}

void SimEmulator::on(EmulatorClient& client, std::uint32_t, const CloseRequest&) {
  client.closing = true;
}

void SimEmulator::on(EmulatorClient& client, std::uint32_t packetId, const SubscribeRequest& request) {
  const auto name = systemEventNamed(request.eventName);
  if (!name) {
    sendException(client, SIMCONNECT_EXCEPTION_NAME_UNRECOGNIZED, packetId, 2);
    return;
  }
  client.subscriptions[*name] = request.eventId;
  if (*name == "Sim") {
    SIMCONNECT_RECV_EVENT state;
    state.uEventID = request.eventId;
    state.dwData = paused_ ? 0 : 1;
    client.outbox->push(encodeMessage(state));
  }
}

void SimEmulator::on(EmulatorClient& client, std::uint32_t packetId, const AddDatumRequest& request) {
  const auto declared = declareDatum(request.datumName, request.units, request.dataType);
  if (declared.datum) {
    client.definitions[request.definitionId].push_back(*declared.datum);
  }
  if (declared.fault) {
    const auto code =
        *declared.fault == DatumFault::wrongType ? SIMCONNECT_EXCEPTION_ERROR : SIMCONNECT_EXCEPTION_NAME_UNRECOGNIZED;
    sendException(client, code, packetId, argumentOf(*declared.fault));
  }
}

// An unknown simulator event stays mapped: what is sent with it is recorded, and does nothing else.
void SimEmulator::on(EmulatorClient& client, std::uint32_t packetId, const MapEventRequest& request) {
  const auto name = knownSimEvent(request.eventName);
  client.mappedEvents[request.eventId] = name.empty() ? upperCase(request.eventName) : name;
  if (name.empty()) {
    sendException(client, SIMCONNECT_EXCEPTION_NAME_UNRECOGNIZED, packetId, 2);
  }
}

void SimEmulator::on(EmulatorClient& client, std::uint32_t, const GroupEventRequest& request) {
  client.groups[request.groupId].events.push_back(request.eventId);
}

void SimEmulator::on(EmulatorClient& client, std::uint32_t, const GroupPriorityRequest& request) {
  client.groups[request.groupId].priority = request.priority;
}

void SimEmulator::on(EmulatorClient& client, std::uint32_t packetId, const DataRequest& request) {
  if (definitionOrRefusal(client, packetId, request.definitionId, 2) == nullptr) {
    return;
  }
  const auto* object = objectOrRefusal(client, packetId, request.objectId, 3);
  if (object == nullptr) {
    return;
  }
  client.periodicRequests.erase(request.requestId);
  switch (request.period) {
    case SIMCONNECT_PERIOD_NEVER:
      return;
    case SIMCONNECT_PERIOD_ONCE:
      sendData(client, request.requestId, request.definitionId, *object);
      return;
    case SIMCONNECT_PERIOD_SECOND:
      sendData(client, request.requestId, request.definitionId, *object);
      client.periodicRequests[request.requestId] = {request.definitionId, object->id, runningSeconds_ + 1.0};
      return;
    default:
      sendException(client, SIMCONNECT_EXCEPTION_ERROR, packetId, 4);
  }
}

void SimEmulator::on(EmulatorClient& client, std::uint32_t packetId, const DataByTypeRequest& request) {
  const auto* definition = definitionOrRefusal(client, packetId, request.definitionId, 2);
  if (definition == nullptr) {
    return;
  }
  const auto objects = world_.objectsWithin(request.radiusMeters, request.objectType);
  for (std::size_t i = 0; i < objects.size(); ++i) {
    SIMCONNECT_RECV_SIMOBJECT_DATA_BYTYPE data;
    data.dwRequestID = request.requestId;
    data.dwObjectID = objects[i]->id;
    data.dwDefineID = request.definitionId;
    data.dwEntryNumber = static_cast<std::uint32_t>(i + 1);
    data.dwOutOf = static_cast<std::uint32_t>(objects.size());
    client.outbox->push(encodeMessage(data, encodeBlock(*definition, *objects[i], world_.view())));
  }
}

void SimEmulator::on(EmulatorClient& client, std::uint32_t packetId, const SetDataRequest& request) {
  const auto* definition = definitionOrRefusal(client, packetId, request.definitionId, 1);
  auto* object = definition != nullptr ? objectOrRefusal(client, packetId, request.objectId, 2) : nullptr;
  if (object != nullptr && !applyBlock(*definition, request.block, *object, world_.view())) {
    sendException(client, SIMCONNECT_EXCEPTION_INVALID_DATA_SIZE, packetId, 5);
  }
}

void SimEmulator::on(EmulatorClient& client, std::uint32_t packetId, const ClientEventRequest& request) {
  auto* object = objectOrRefusal(client, packetId, request.objectId, 1);
  if (object == nullptr) {
    return;
  }
  const auto mapped = client.mappedEvents.find(request.eventId);
  if (mapped == client.mappedEvents.end()) {
    sendException(client, SIMCONNECT_EXCEPTION_UNRECOGNIZED_ID, packetId, 2);
    return;
  }
  applySimEvent(mapped->second, request.data, *object);
}

void SimEmulator::on(EmulatorClient& client, std::uint32_t packetId, const CreateAircraftRequest& request) {
  if (request.title.empty() || refusedTitles_.contains(request.title)) {
    sendException(client, SIMCONNECT_EXCEPTION_CREATE_OBJECT_FAILED, packetId, 1);
    return;
  }
  if (world_.objects().size() >= maxObjects) {
    sendException(client, SIMCONNECT_EXCEPTION_TOO_MANY_OBJECTS, packetId, 0);
    return;
  }
  SimObject aircraft;
  aircraft.title = request.title;
  aircraft.tail = request.tailNumber;
  aircraft.latitude = request.position.latitude;
  aircraft.longitude = request.position.longitude;
  aircraft.onGround = request.position.onGround != 0;
  // An aircraft created on the ground is put onto the ground, whatever altitude it was given.
  aircraft.altitudeFt = aircraft.onGround ? world_.view().groundAltitudeFt : request.position.altitude;
  aircraft.pitchDeg = request.position.pitch;
  aircraft.bankDeg = request.position.bank;
  aircraft.headingDeg = request.position.heading;
  aircraft.gearDown = aircraft.onGround;
  aircraft.airspeedKt = request.position.airspeed;
  aircraft.ownerClient = client.id;
  const auto& added = world_.add(std::move(aircraft));

  SIMCONNECT_RECV_ASSIGNED_OBJECT_ID assigned;
  assigned.dwRequestID = request.requestId;
  assigned.dwObjectID = added.id;
  client.outbox->push(encodeMessage(assigned));
  notifyObject("ObjectAdded", added);
}

void SimEmulator::on(EmulatorClient& client, std::uint32_t packetId, const RemoveObjectRequest& request) {
  if (aiObjectOrRefusal(client, packetId, request.objectId, 1) != nullptr) {
    removeObject(request.objectId);
  }
}

void SimEmulator::on(EmulatorClient& client, std::uint32_t packetId, const ReleaseControlRequest& request) {
  if (auto* object = aiObjectOrRefusal(client, packetId, request.objectId, 1)) {
    object->aiReleased = true;
  }
}

void SimEmulator::on(EmulatorClient& client, std::uint32_t packetId, const FlightPlanRequest& request) {
  auto* object = aiObjectOrRefusal(client, packetId, request.objectId, 1);
  if (object == nullptr) {
    return;
  }
  const auto file = flightPlanFile(request.path);
  pugi::xml_document plan;
  if (!file || !plan.load_file(file->c_str())) {
    sendException(client, SIMCONNECT_EXCEPTION_LOAD_FLIGHTPLAN_FAILED, packetId, 2);
    return;
  }
  const auto content = plan.child("SimBase.Document").child("FlightPlan.FlightPlan");
  object->flightPlanFile = file->string();
  object->departure = content.child_value("DepartureID");
  object->destination = content.child_value("DestinationID");
}

SimObject* SimEmulator::objectOrRefusal(EmulatorClient& client, std::uint32_t packetId, std::uint32_t objectId,
                                        std::uint32_t argument) {
  auto* object = world_.find(objectId);
  if (object == nullptr) {
    sendException(client, SIMCONNECT_EXCEPTION_UNRECOGNIZED_ID, packetId, argument);
  }
  return object;
}

SimObject* SimEmulator::aiObjectOrRefusal(EmulatorClient& client, std::uint32_t packetId, std::uint32_t objectId,
                                          std::uint32_t argument) {
  auto* object = objectOrRefusal(client, packetId, objectId, argument);
  if (object != nullptr && object->id == World::userId) {
    sendException(client, SIMCONNECT_EXCEPTION_OPERATION_INVALID_FOR_OBJECT_TYPE, packetId, argument);
    return nullptr;
  }
  return object;
}

const std::vector<Datum>* SimEmulator::definitionOrRefusal(EmulatorClient& client, std::uint32_t packetId,
                                                           std::uint32_t definitionId, std::uint32_t argument) {
  const auto found = client.definitions.find(definitionId);
  if (found == client.definitions.end()) {
    sendException(client, SIMCONNECT_EXCEPTION_UNRECOGNIZED_ID, packetId, argument);
    return nullptr;
  }
  return &found->second;
}

}  // namespace cvl::simemu

#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <variant>

#include "simconnect/simconnect.h"
#include "simconnect/wire.h"

// The requests a client sends and the messages a simulator sends back, as frames of the message stream. Both ends
// use these: the client library encodes requests and decodes messages, the simulator emulator the other way round.
namespace cvl::simconnect {

struct OpenRequest {
  std::string clientName;
  std::uint32_t configIndex = 0;
  template <class Fields>
  void fields(Fields& f) {
    f(clientName, configIndex);
  }
};

struct CloseRequest {
  template <class Fields>
  void fields(Fields&) {}
};

struct SubscribeRequest {
  std::uint32_t eventId = 0;
  std::string eventName;
  template <class Fields>
  void fields(Fields& f) {
    f(eventId, eventName);
  }
};

struct AddDatumRequest {
  std::uint32_t definitionId = 0;
  std::string datumName;
  std::string units;
  SIMCONNECT_DATATYPE dataType = SIMCONNECT_DATATYPE_FLOAT64;
  float epsilon = 0;
  std::uint32_t datumId = SIMCONNECT_UNUSED;
  template <class Fields>
  void fields(Fields& f) {
    f(definitionId, datumName, units, dataType, epsilon, datumId);
  }
};

struct MapEventRequest {
  std::uint32_t eventId = 0;
  std::string eventName;
  template <class Fields>
  void fields(Fields& f) {
    f(eventId, eventName);
  }
};

struct GroupEventRequest {
  std::uint32_t groupId = 0;
  std::uint32_t eventId = 0;
  std::uint32_t maskable = 0;
  template <class Fields>
  void fields(Fields& f) {
    f(groupId, eventId, maskable);
  }
};

struct GroupPriorityRequest {
  std::uint32_t groupId = 0;
  std::uint32_t priority = 0;
  template <class Fields>
  void fields(Fields& f) {
    f(groupId, priority);
  }
};

struct DataRequest {
  std::uint32_t requestId = 0;
  std::uint32_t definitionId = 0;
  std::uint32_t objectId = 0;
  SIMCONNECT_PERIOD period = SIMCONNECT_PERIOD_ONCE;
  std::uint32_t flags = 0;
  template <class Fields>
  void fields(Fields& f) {
    f(requestId, definitionId, objectId, period, flags);
  }
};

struct DataByTypeRequest {
  std::uint32_t requestId = 0;
  std::uint32_t definitionId = 0;
  std::uint32_t radiusMeters = 0;
  SIMCONNECT_SIMOBJECT_TYPE objectType = SIMCONNECT_SIMOBJECT_TYPE_AIRCRAFT;
  template <class Fields>
  void fields(Fields& f) {
    f(requestId, definitionId, radiusMeters, objectType);
  }
};

struct SetDataRequest {
  std::uint32_t definitionId = 0;
  std::uint32_t objectId = 0;
  std::uint32_t flags = 0;
  Frame block;
  template <class Fields>
  void fields(Fields& f) {
    f(definitionId, objectId, flags, block);
  }
};

struct ClientEventRequest {
  std::uint32_t objectId = 0;
  std::uint32_t eventId = 0;
  std::uint32_t data = 0;
  std::uint32_t groupId = 0;
  std::uint32_t flags = 0;
  template <class Fields>
  void fields(Fields& f) {
    f(objectId, eventId, data, groupId, flags);
  }
};

struct CreateAircraftRequest {
  std::string title;
  std::string tailNumber;
  SIMCONNECT_DATA_INITPOSITION position;
  std::uint32_t requestId = 0;
  template <class Fields>
  void fields(Fields& f) {
    f(title, tailNumber, position.latitude, position.longitude, position.altitude, position.pitch, position.bank,
      position.heading, position.onGround, position.airspeed, requestId);
  }
};

struct RemoveObjectRequest {
  std::uint32_t objectId = 0;
  std::uint32_t requestId = 0;
  template <class Fields>
  void fields(Fields& f) {
    f(objectId, requestId);
  }
};

struct ReleaseControlRequest {
  std::uint32_t objectId = 0;
  std::uint32_t requestId = 0;
  template <class Fields>
  void fields(Fields& f) {
    f(objectId, requestId);
  }
};

struct FlightPlanRequest {
  std::uint32_t objectId = 0;
  std::string path;
  std::uint32_t requestId = 0;
  template <class Fields>
  void fields(Fields& f) {
    f(objectId, path, requestId);
  }
};

using RequestBody =
    std::variant<OpenRequest, CloseRequest, SubscribeRequest, AddDatumRequest, MapEventRequest, GroupEventRequest,
                 GroupPriorityRequest, DataRequest, DataByTypeRequest, SetDataRequest, ClientEventRequest,
                 CreateAircraftRequest, RemoveObjectRequest, ReleaseControlRequest, FlightPlanRequest>;

struct Request {
  std::uint32_t packetId = 0;
  RequestBody body;
};

Frame encodeRequest(Request request);
// nullopt for a frame that is not a whole, known request.
std::optional<Request> decodeRequest(std::span<const std::byte> frame);

// The dwVersion of every message.
inline constexpr std::uint32_t protocolVersion = 1;

// A decoded message: one record of the kind its dwID names, followed by its data block, in storage of its own.
class ReceivedMessage {
 public:
  ReceivedMessage(std::unique_ptr<std::byte[]> storage, SIMCONNECT_RECV* record)
      : storage_(std::move(storage)), record_(record) {}

  SIMCONNECT_RECV* record() const { return record_; }
  std::uint32_t size() const { return record_->dwSize; }

 private:
  std::unique_ptr<std::byte[]> storage_;
  SIMCONNECT_RECV* record_;
};

Frame encodeMessage(const SIMCONNECT_RECV_EXCEPTION& message);
Frame encodeMessage(const SIMCONNECT_RECV_OPEN& message);
Frame encodeMessage(const SIMCONNECT_RECV_QUIT& message);
Frame encodeMessage(const SIMCONNECT_RECV_EVENT& message);
Frame encodeMessage(const SIMCONNECT_RECV_EVENT_OBJECT_ADDREMOVE& message);
Frame encodeMessage(const SIMCONNECT_RECV_EVENT_FILENAME& message);
Frame encodeMessage(const SIMCONNECT_RECV_EVENT_FRAME& message);
Frame encodeMessage(const SIMCONNECT_RECV_ASSIGNED_OBJECT_ID& message);
// The block goes after the record; dwDataSize and dwID are taken from the block and the record's type.
Frame encodeMessage(const SIMCONNECT_RECV_SIMOBJECT_DATA& message, std::span<const std::byte> block);
Frame encodeMessage(const SIMCONNECT_RECV_SIMOBJECT_DATA_BYTYPE& message, std::span<const std::byte> block);
// A message of a kind without a record of its own: only its dwID.
Frame encodeBareMessage(std::uint32_t kind);

// nullopt for a damaged frame. Kinds without a record of their own decode as a bare SIMCONNECT_RECV.
std::optional<ReceivedMessage> decodeMessage(std::span<const std::byte> frame);

}  // namespace cvl::simconnect

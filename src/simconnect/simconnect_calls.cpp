#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>

#include "simconnect/client_session.h"
#include "simconnect/simconnect.h"
#include "simconnect/transport.h"

namespace cvl {
namespace {

using simconnect::ClientSession;

// Handles are numbers that name a session in this table: a call with a closed or made-up handle finds nothing and
// fails, and a session stays alive while a call on another thread still uses it.
std::mutex sessionsMutex;
std::unordered_map<std::uintptr_t, std::shared_ptr<ClientSession>> sessions;
std::uintptr_t lastHandleNumber = 0;

HANDLE registerSession(std::shared_ptr<ClientSession> session) {
  std::lock_guard lock(sessionsMutex);
  const auto number = ++lastHandleNumber;
  sessions.emplace(number, std::move(session));
  return reinterpret_cast<HANDLE>(number);
}

std::shared_ptr<ClientSession> sessionOf(HANDLE handle) {
  std::lock_guard lock(sessionsMutex);
  auto found = sessions.find(reinterpret_cast<std::uintptr_t>(handle));
  return found != sessions.end() ? found->second : nullptr;
}

std::shared_ptr<ClientSession> unregisterSession(HANDLE handle) {
  std::lock_guard lock(sessionsMutex);
  auto found = sessions.find(reinterpret_cast<std::uintptr_t>(handle));
  if (found == sessions.end()) {
    return nullptr;
  }
  auto session = std::move(found->second);
  sessions.erase(found);
  return session;
}

HRESULT send(HANDLE handle, simconnect::RequestBody body) {
  auto session = sessionOf(handle);
  return session ? session->send(std::move(body)) : E_FAIL;
}

// The texts a call passes; a missing text fails the call.
template <class... Texts>
bool present(const Texts*... texts) {
  return ((texts != nullptr) && ...);
}

std::string unitsText(const char* units) {
  return units != nullptr ? units : "";
}

}  // namespace

HRESULT SimConnect_Open(HANDLE* handle, const char* clientName, void* /*window*/, std::uint32_t /*userEvent*/,
                        void* /*eventHandle*/, std::uint32_t configIndex) {
  if (handle == nullptr) {
    return E_FAIL;
  }
  *handle = nullptr;
  if (!present(clientName)) {
    return E_FAIL;
  }
  auto transport = simconnect::connectToSimulator();
  if (!transport) {
    return E_FAIL;
  }
  auto session = std::make_shared<ClientSession>(std::move(transport));
  if (FAILED(session->send(simconnect::OpenRequest{clientName, configIndex}))) {
    session->close();
    return E_FAIL;
  }
  *handle = registerSession(std::move(session));
  return S_OK;
}

HRESULT SimConnect_Close(HANDLE handle) {
  auto session = unregisterSession(handle);
  if (!session) {
    return E_FAIL;
  }
  session->close();
  return S_OK;
}

HRESULT SimConnect_CallDispatch(HANDLE handle, DispatchProc dispatch, void* context) {
  auto session = sessionOf(handle);
  if (!session || dispatch == nullptr) {
    return E_FAIL;
  }
  return session->dispatch(dispatch, context);
}

HRESULT SimConnect_SubscribeToSystemEvent(HANDLE handle, std::uint32_t eventId, const char* systemEventName) {
  if (!present(systemEventName)) {
    return E_FAIL;
  }
  return send(handle, simconnect::SubscribeRequest{eventId, systemEventName});
}

HRESULT SimConnect_AddToDataDefinition(HANDLE handle, std::uint32_t definitionId, const char* datumName,
                                       const char* unitsName, SIMCONNECT_DATATYPE datumType, float epsilon,
                                       std::uint32_t datumId) {
  if (!present(datumName)) {
    return E_FAIL;
  }
  return send(handle,
              simconnect::AddDatumRequest{definitionId, datumName, unitsText(unitsName), datumType, epsilon, datumId});
}

HRESULT SimConnect_MapClientEventToSimEvent(HANDLE handle, std::uint32_t eventId, const char* simEventName) {
  if (!present(simEventName)) {
    return E_FAIL;
  }
  return send(handle, simconnect::MapEventRequest{eventId, simEventName});
}

HRESULT SimConnect_AddClientEventToNotificationGroup(HANDLE handle, std::uint32_t groupId, std::uint32_t eventId,
                                                     bool maskable) {
  return send(handle, simconnect::GroupEventRequest{groupId, eventId, maskable ? 1u : 0u});
}

HRESULT SimConnect_SetNotificationGroupPriority(HANDLE handle, std::uint32_t groupId, std::uint32_t priority) {
  return send(handle, simconnect::GroupPriorityRequest{groupId, priority});
}

HRESULT SimConnect_RequestDataOnSimObject(HANDLE handle, std::uint32_t requestId, std::uint32_t definitionId,
                                          std::uint32_t objectId, SIMCONNECT_PERIOD period, std::uint32_t flags,
                                          std::uint32_t /*origin*/, std::uint32_t /*interval*/,
                                          std::uint32_t /*limit*/) {
  return send(handle, simconnect::DataRequest{requestId, definitionId, objectId, period, flags});
}

HRESULT SimConnect_RequestDataOnSimObjectType(HANDLE handle, std::uint32_t requestId, std::uint32_t definitionId,
                                              std::uint32_t radiusMeters, SIMCONNECT_SIMOBJECT_TYPE type) {
  return send(handle, simconnect::DataByTypeRequest{requestId, definitionId, radiusMeters, type});
}

HRESULT SimConnect_SetDataOnSimObject(HANDLE handle, std::uint32_t definitionId, std::uint32_t objectId,
                                      std::uint32_t flags, std::uint32_t arrayCount, std::uint32_t unitSize,
                                      const void* data) {
  const auto size = static_cast<std::size_t>(unitSize) * std::max<std::uint32_t>(arrayCount, 1);
  if ((data == nullptr && size > 0) || size > simconnect::maxFieldBytes) {
    return E_FAIL;
  }
  simconnect::Frame block(size);
  if (size > 0) {
    std::memcpy(block.data(), data, size);
  }
  return send(handle, simconnect::SetDataRequest{definitionId, objectId, flags, std::move(block)});
}

HRESULT SimConnect_TransmitClientEvent(HANDLE handle, std::uint32_t objectId, std::uint32_t eventId, std::uint32_t data,
                                       std::uint32_t groupId, std::uint32_t flags) {
  auto session = sessionOf(handle);
  return session ? session->sendClientEvent({objectId, eventId, data, groupId, flags}) : E_FAIL;
}

HRESULT SimConnect_AICreateNonATCAircraft(HANDLE handle, const char* containerTitle, const char* tailNumber,
                                          const SIMCONNECT_DATA_INITPOSITION& initPosition, std::uint32_t requestId) {
  if (!present(containerTitle, tailNumber)) {
    return E_FAIL;
  }
  return send(handle, simconnect::CreateAircraftRequest{containerTitle, tailNumber, initPosition, requestId});
}

HRESULT SimConnect_GetLastSentPacketID(HANDLE handle, std::uint32_t* packetId) {
  auto session = sessionOf(handle);
  if (!session || packetId == nullptr) {
    return E_FAIL;
  }
  const auto last = session->lastSentPacketId();
  if (!last) {
    return E_FAIL;
  }
  *packetId = *last;
  return S_OK;
}

HRESULT SimConnect_AIRemoveObject(HANDLE handle, std::uint32_t objectId, std::uint32_t requestId) {
  return send(handle, simconnect::RemoveObjectRequest{objectId, requestId});
}

HRESULT SimConnect_AIReleaseControl(HANDLE handle, std::uint32_t objectId, std::uint32_t requestId) {
  return send(handle, simconnect::ReleaseControlRequest{objectId, requestId});
}

HRESULT SimConnect_AISetAircraftFlightPlan(HANDLE handle, std::uint32_t objectId, const char* flightPlanPath,
                                           std::uint32_t requestId) {
  if (!present(flightPlanPath)) {
    return E_FAIL;
  }
  return send(handle, simconnect::FlightPlanRequest{objectId, flightPlanPath, requestId});
}

}  // namespace cvl

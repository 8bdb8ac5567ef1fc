#pragma once

#include <cstddef>
#include <cstdint>

// The simulator's client library, as the program uses it. A connection is named by an opaque handle; every call
// sends one request (numbered by a packet id) and returns at once with an HRESULT-like result, of which only success
// or failure carries meaning. What the simulator answers arrives later as message records, handed to a callback by
// SimConnect_CallDispatch on the calling thread. A refusal the simulator reports about a request comes as an
// EXCEPTION record whose dwSendID is that request's packet id.
//
// The calls are safe to make from several threads at once. The simulator is reached over loopback TCP on the port
// in CORVALEN_SIM_PORT (default defaultSimulatorPort), or in the same process when a simulator object was set with
// useInProcessSimulator (simconnect/in_process.h).
namespace cvl {

using HRESULT = std::int32_t;
inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr bool SUCCEEDED(HRESULT result) {
  return result >= 0;
}
constexpr bool FAILED(HRESULT result) {
  return result < 0;
}

// Names a connection; never dereferenced. A handle stays invalid after SimConnect_Close, and is never reused.
struct SimConnectConnection;
using HANDLE = SimConnectConnection*;

inline constexpr std::uint16_t defaultSimulatorPort = 50500;

inline constexpr std::uint32_t SIMCONNECT_UNUSED = 0xFFFFFFFF;
inline constexpr std::uint32_t SIMCONNECT_OBJECT_ID_USER = 0;
inline constexpr std::uint32_t SIMCONNECT_GROUP_PRIORITY_HIGHEST = 1;

// How a datum is laid out in a data block. Strings of fixed length are NUL-padded; STRINGV takes the text's length
// plus its terminating NUL.
enum SIMCONNECT_DATATYPE : std::uint32_t {
  SIMCONNECT_DATATYPE_INT32 = 1,
  SIMCONNECT_DATATYPE_INT64,
  SIMCONNECT_DATATYPE_FLOAT32,
  SIMCONNECT_DATATYPE_FLOAT64,
  SIMCONNECT_DATATYPE_STRING8,
  SIMCONNECT_DATATYPE_STRING32,
  SIMCONNECT_DATATYPE_STRING64,
  SIMCONNECT_DATATYPE_STRING128,
  SIMCONNECT_DATATYPE_STRING256,
  SIMCONNECT_DATATYPE_STRING260,
  SIMCONNECT_DATATYPE_STRINGV,
};

// How often a data request is answered: NEVER ends an earlier request with the same request id.
enum SIMCONNECT_PERIOD : std::uint32_t {
  SIMCONNECT_PERIOD_NEVER = 0,
  SIMCONNECT_PERIOD_ONCE,
  SIMCONNECT_PERIOD_SECOND,
};

enum SIMCONNECT_SIMOBJECT_TYPE : std::uint32_t {
  SIMCONNECT_SIMOBJECT_TYPE_USER = 0,
  SIMCONNECT_SIMOBJECT_TYPE_ALL = 1,
  SIMCONNECT_SIMOBJECT_TYPE_AIRCRAFT = 2,
  SIMCONNECT_SIMOBJECT_TYPE_HELICOPTER = 3,
};

// The message kinds, the value of dwID. Kinds without a record of their own arrive as a bare SIMCONNECT_RECV.
enum SIMCONNECT_RECV_ID : std::uint32_t {
  SIMCONNECT_RECV_ID_EXCEPTION = 1,
  SIMCONNECT_RECV_ID_OPEN = 2,
  SIMCONNECT_RECV_ID_QUIT = 3,
  SIMCONNECT_RECV_ID_EVENT = 4,
  SIMCONNECT_RECV_ID_EVENT_OBJECT_ADDREMOVE = 5,
  SIMCONNECT_RECV_ID_EVENT_FILENAME = 6,
  SIMCONNECT_RECV_ID_EVENT_FRAME = 7,
  SIMCONNECT_RECV_ID_SIMOBJECT_DATA = 8,
  SIMCONNECT_RECV_ID_SIMOBJECT_DATA_BYTYPE = 9,
  SIMCONNECT_RECV_ID_ASSIGNED_OBJECT_ID = 12,
  SIMCONNECT_RECV_ID_CLIENT_DATA = 16,
};

// The codes of EXCEPTION records (dwException).
enum SIMCONNECT_EXCEPTION : std::uint32_t {
  SIMCONNECT_EXCEPTION_ERROR = 1,  // a request the simulator could not read
  SIMCONNECT_EXCEPTION_UNRECOGNIZED_ID = 3,
  SIMCONNECT_EXCEPTION_VERSION_MISMATCH = 5,
  SIMCONNECT_EXCEPTION_NAME_UNRECOGNIZED = 7,  // unknown datum, unit, system event or simulator event name
  SIMCONNECT_EXCEPTION_TOO_MANY_OBJECTS = 11,
  SIMCONNECT_EXCEPTION_INVALID_DATA_SIZE = 19,
  SIMCONNECT_EXCEPTION_CREATE_OBJECT_FAILED = 22,
  SIMCONNECT_EXCEPTION_LOAD_FLIGHTPLAN_FAILED = 23,
  SIMCONNECT_EXCEPTION_OPERATION_INVALID_FOR_OBJECT_TYPE = 24,
};

// Where and how a new AI aircraft starts: degrees, feet and knots.
struct SIMCONNECT_DATA_INITPOSITION {
  double latitude = 0;
  double longitude = 0;
  double altitude = 0;
  double pitch = 0;
  double bank = 0;
  double heading = 0;
  std::uint32_t onGround = 0;
  std::uint32_t airspeed = 0;
};

// The message records. Each message is one record of the kind its dwID names; dwSize counts its bytes, the data
// block of SIMOBJECT_DATA included.
struct SIMCONNECT_RECV {
  std::uint32_t dwSize = 0;
  std::uint32_t dwVersion = 0;
  std::uint32_t dwID = 0;
};

// dwSendID is the packet id of the refused request; dwIndex the number of the refused argument (1 = the first after
// the handle), 0 when no single argument is at fault.
struct SIMCONNECT_RECV_EXCEPTION : SIMCONNECT_RECV {
  std::uint32_t dwException = 0;
  std::uint32_t dwSendID = 0;
  std::uint32_t dwIndex = 0;
};

struct SIMCONNECT_RECV_OPEN : SIMCONNECT_RECV {
  char szApplicationName[256] = {};
  std::uint32_t dwApplicationVersionMajor = 0;
  std::uint32_t dwApplicationVersionMinor = 0;
  std::uint32_t dwApplicationBuildMajor = 0;
  std::uint32_t dwApplicationBuildMinor = 0;
};

// The simulator is closing the connection. The library also delivers one when the connection ends without it.
struct SIMCONNECT_RECV_QUIT : SIMCONNECT_RECV {};

// A system event: uEventID is the client's id given at subscription, uGroupID SIMCONNECT_UNUSED.
struct SIMCONNECT_RECV_EVENT : SIMCONNECT_RECV {
  std::uint32_t uGroupID = SIMCONNECT_UNUSED;
  std::uint32_t uEventID = 0;
  std::uint32_t dwData = 0;
};

// ObjectAdded and ObjectRemoved: dwData is the object id.
struct SIMCONNECT_RECV_EVENT_OBJECT_ADDREMOVE : SIMCONNECT_RECV_EVENT {
  SIMCONNECT_SIMOBJECT_TYPE eObjType = SIMCONNECT_SIMOBJECT_TYPE_AIRCRAFT;
};

// FlightLoaded: the file of the flight now loaded.
struct SIMCONNECT_RECV_EVENT_FILENAME : SIMCONNECT_RECV_EVENT {
  char szFileName[260] = {};
};

struct SIMCONNECT_RECV_EVENT_FRAME : SIMCONNECT_RECV_EVENT {
  float fFrameRate = 0;
  float fSimSpeed = 1;
};

// The id the simulator gave to the object of a creation request.
struct SIMCONNECT_RECV_ASSIGNED_OBJECT_ID : SIMCONNECT_RECV {
  std::uint32_t dwRequestID = 0;
  std::uint32_t dwObjectID = 0;
};

// The answer to a data request: the block of definition dwDefineID for object dwObjectID, dwDataSize bytes laid out
// in the definition's declaration order, starting at data() (aligned for doubles). A scan by type sends one message
// per object, numbered dwEntryNumber (from 1) out of dwOutOf.
struct alignas(8) SIMCONNECT_RECV_SIMOBJECT_DATA : SIMCONNECT_RECV {
  std::uint32_t dwRequestID = 0;
  std::uint32_t dwObjectID = 0;
  std::uint32_t dwDefineID = 0;
  std::uint32_t dwEntryNumber = 1;
  std::uint32_t dwOutOf = 1;
  std::uint32_t dwDataSize = 0;

  const std::byte* data() const { return reinterpret_cast<const std::byte*>(this) + blockOffset; }
  static constexpr std::size_t blockOffset = 40;
};

struct SIMCONNECT_RECV_SIMOBJECT_DATA_BYTYPE : SIMCONNECT_RECV_SIMOBJECT_DATA {};

static_assert(sizeof(SIMCONNECT_RECV_SIMOBJECT_DATA) == SIMCONNECT_RECV_SIMOBJECT_DATA::blockOffset);
static_assert(sizeof(SIMCONNECT_RECV_SIMOBJECT_DATA_BYTYPE) == SIMCONNECT_RECV_SIMOBJECT_DATA::blockOffset);

using DispatchProc = void (*)(SIMCONNECT_RECV* message, std::uint32_t messageSize, void* context);

// Fails at once while no simulator accepts the connection. On success the OPEN message follows.
HRESULT SimConnect_Open(HANDLE* handle, const char* clientName, void* window, std::uint32_t userEvent,
                        void* eventHandle, std::uint32_t configIndex);
HRESULT SimConnect_Close(HANDLE handle);

// Hands every message waiting now to `dispatch`, in order, on the calling thread; holds no lock of the library while
// the callback runs, so the callback may call the library and may throw (the messages not yet handed over stay for
// the next call). Fails when the connection has ended and nothing is left to hand over.
HRESULT SimConnect_CallDispatch(HANDLE handle, DispatchProc dispatch, void* context);

// Names: "Sim" (dwData 1 = running, 0 = paused; sent at once on subscribing), "ObjectAdded", "ObjectRemoved",
// "FlightLoaded", "Frame".
HRESULT SimConnect_SubscribeToSystemEvent(HANDLE handle, std::uint32_t eventId, const char* systemEventName);

HRESULT SimConnect_AddToDataDefinition(HANDLE handle, std::uint32_t definitionId, const char* datumName,
                                       const char* unitsName,
                                       SIMCONNECT_DATATYPE datumType = SIMCONNECT_DATATYPE_FLOAT64, float epsilon = 0,
                                       std::uint32_t datumId = SIMCONNECT_UNUSED);

HRESULT SimConnect_MapClientEventToSimEvent(HANDLE handle, std::uint32_t eventId, const char* simEventName);
HRESULT SimConnect_AddClientEventToNotificationGroup(HANDLE handle, std::uint32_t groupId, std::uint32_t eventId,
                                                     bool maskable = false);
HRESULT SimConnect_SetNotificationGroupPriority(HANDLE handle, std::uint32_t groupId, std::uint32_t priority);

// objectId SIMCONNECT_OBJECT_ID_USER names the user aircraft.
HRESULT SimConnect_RequestDataOnSimObject(HANDLE handle, std::uint32_t requestId, std::uint32_t definitionId,
                                          std::uint32_t objectId, SIMCONNECT_PERIOD period, std::uint32_t flags = 0,
                                          std::uint32_t origin = 0, std::uint32_t interval = 0,
                                          std::uint32_t limit = 0);
HRESULT SimConnect_RequestDataOnSimObjectType(HANDLE handle, std::uint32_t requestId, std::uint32_t definitionId,
                                              std::uint32_t radiusMeters, SIMCONNECT_SIMOBJECT_TYPE type);

// The block is arrayCount (0 counts as 1) units of unitSize bytes.
HRESULT SimConnect_SetDataOnSimObject(HANDLE handle, std::uint32_t definitionId, std::uint32_t objectId,
                                      std::uint32_t flags, std::uint32_t arrayCount, std::uint32_t unitSize,
                                      const void* data);

// Fails without sending when the event id was not mapped on this connection.
HRESULT SimConnect_TransmitClientEvent(HANDLE handle, std::uint32_t objectId, std::uint32_t eventId, std::uint32_t data,
                                       std::uint32_t groupId, std::uint32_t flags);

HRESULT SimConnect_AICreateNonATCAircraft(HANDLE handle, const char* containerTitle, const char* tailNumber,
                                          const SIMCONNECT_DATA_INITPOSITION& initPosition, std::uint32_t requestId);

// The packet id of the last request this thread sent on the connection (of any thread's, when this one sent none),
// so that a request made between another thread's call and its query does not take its place.
HRESULT SimConnect_GetLastSentPacketID(HANDLE handle, std::uint32_t* packetId);

HRESULT SimConnect_AIRemoveObject(HANDLE handle, std::uint32_t objectId, std::uint32_t requestId);
HRESULT SimConnect_AIReleaseControl(HANDLE handle, std::uint32_t objectId, std::uint32_t requestId);
HRESULT SimConnect_AISetAircraftFlightPlan(HANDLE handle, std::uint32_t objectId, const char* flightPlanPath,
                                           std::uint32_t requestId);

}  // namespace cvl

#include "simlink/ai_objects.h"

#include <fmt/format.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <optional>

#include "foundation/constants.h"
#include "foundation/log.h"
#include "foundation/strings.h"
#include "foundation/throttled_log.h"
#include "foundation/timekeeping.h"
#include "simlink/data_blocks.h"
#include "simlink/request_error.h"
#include "simlink/send_queues.h"
#include "simlink/sim_client_thread.h"
#include "simlink/sim_ids.h"
#include "simlink/sim_results.h"
#include "simlink/user_aircraft.h"

namespace cvl {

std::vector<PendingCreate> pendingCreates;
std::vector<std::uint32_t> addedObjects;

namespace {

// The block of DEF_AC_IN_RANGE.
struct AcInRange {
  double altitudeAboveGround = 0.0;  // feet
  double groundAltitude = 0.0;       // feet
  std::int64_t onGround = 0;
  char atcId[32] = {};
};
static_assert(sizeof(AcInRange) == 56);

// The block of DEF_ADDED_AIRCRAFT.
struct AddedAircraft {
  AcInRange inRange;
  char title[256] = {};
};
static_assert(sizeof(AddedAircraft) == 312);

// Objects of the simulator's own traffic above this height are of no interest to the engine.
constexpr double inRangeCeilingFt = 2500.0;
// Static parked aircraft have hexids up to this, live aircraft above it.
constexpr std::uint32_t highestStaticHexid = 10000;
constexpr std::string_view simulatorTrafficCallsign = "AS-GEN";

// The simulator fills its airports with "AS-GEN" aircraft; one line per program run says so.
std::atomic<bool> asGenLogged{false};

// Removes the entry by moving the last one into its place.
template <class Entry>
void lf_eraseUnordered(std::vector<Entry>& list, typename std::vector<Entry>::iterator entry) {
  if (entry != list.end() - 1) {
    *entry = std::move(list.back());
  }
  list.pop_back();
}

// The hexid of the oldest pending creation the predicate picks, which is taken off the list.
template <class Predicate>
std::optional<std::uint32_t> lf_takePending(Predicate picks) {
  const auto found = std::find_if(pendingCreates.begin(), pendingCreates.end(), picks);
  if (found == pendingCreates.end()) {
    return std::nullopt;
  }
  const std::uint32_t hexid = found->hexid;
  pendingCreates.erase(found);
  return hexid;
}

std::optional<std::uint32_t> lf_takePendingSent(std::uint32_t packetId) {
  return lf_takePending([packetId](const PendingCreate& pending) { return pending.packetId == packetId; });
}

// The engine hears which aircraft the creation sent with this packet id was for.
void lf_postNotCreated(std::uint32_t packetId, SimResultKind kind) {
  const auto hexid = lf_takePendingSent(packetId);
  if (hexid && *hexid != 0) {
    gf_postSimResult({0, *hexid, 0, kind, 0.0, 0.0});
  }
}

// The simulator's title field holds 255 bytes; a longer title comes back cut.
bool lf_isTitleOf(const PendingCreate& pending, std::string_view reportedTitle) {
  constexpr std::size_t titleField = sizeof(AddedAircraft::title) - 1;
  return std::string_view{pending.title}.substr(0, titleField) == reportedTitle;
}

bool lf_takeAdded(std::uint32_t objectId) {
  const auto found = std::find(addedObjects.begin(), addedObjects.end(), objectId);
  if (found == addedObjects.end()) {
    return false;
  }
  lf_eraseUnordered(addedObjects, found);
  return true;
}

// An aircraft in range that is not a new object of the program's.
void lf_reportInRange(std::uint32_t objectId, const AcInRange& data, std::string_view atcId) {
  if (data.altitudeAboveGround > inRangeCeilingFt || atcId.empty() || atcId.back() == '*') {
    return;
  }
  gf_postSimResult({objectId, static_cast<std::uint32_t>(data.onGround), 0, SimResultKind::inRange, data.groundAltitude,
                    data.altitudeAboveGround});
}

void lf_logForeignAircraft(std::uint32_t objectId, const AcInRange& data, std::string_view atcId) {
  if (atcId == simulatorTrafficCallsign) {
    if (!asGenLogged.exchange(true)) {
      gf_log(
          fmt::format("\nSpawned by Asobo, oid: {}, callsign AS-GEN, altaboveGnd:{:.0f} ft, onground:{}, "
                      "gnd_alt:{:.0f} ft\n This message will be logged only once...\n",
                      gf_toHex(objectId), data.altitudeAboveGround, data.onGround, data.groundAltitude));
    }
    return;
  }
  // Another client of the simulator (a traffic add-on) can add aircraft by the thousand.
  static ThrottledLog limit{"SimConnect", "foreign spawn"};
  if (limit.admit()) {
    gf_log(
        fmt::format("just spawned, but not by {}, oid: {}, callsign '{}', altaboveGnd:{:.0f} ft, onground:{}, "
                    "gnd_alt:{:.0f} ft",
                    programName, gf_toHex(objectId), gf_excerpt(atcId), data.altitudeAboveGround, data.onGround,
                    data.groundAltitude));
  }
}

// One of the program's own aircraft: from now on only the program moves it.
void lf_takeOver(std::uint32_t objectId, std::uint32_t hexid, const AcInRange& data) {
  {
    const std::lock_guard lock{simConnectMutex};
    SimConnect_AIReleaseControl(hSimConnect, objectId, REQ_RELEASE_CONTROL);
    for (const auto freeze : {FREEZE_LATITUDE_LONGITUDE_SET, FREEZE_ALTITUDE_SET, FREEZE_ATTITUDE_SET}) {
      simSendQueues.clientEvents.push_back({objectId, freeze, 1});
    }
  }
  // simConnectMutex is given back first: the engine takes simResultMutex before it.
  if (hexid > highestStaticHexid) {
    gf_postSimResult({objectId, hexid, 0, SimResultKind::liveCreated, 0.0, data.altitudeAboveGround});
  } else {
    gf_postSimResult({objectId, hexid, 0, SimResultKind::staticCreated, 0.0, 0.0});
  }
}

// An added aircraft of the program's own is taken over; any other is logged.
void lf_recogniseAdded(std::uint32_t objectId, const AddedAircraft& data) {
  const std::string atcId = lf_blockText(std::as_bytes(std::span{data.inRange.atcId}));
  const std::string title = lf_blockText(std::as_bytes(std::span{data.title}));
  const auto hexid = atcId.empty() ? std::nullopt : lf_takePending([&atcId, &title](const PendingCreate& pending) {
    return pending.callsign == atcId && lf_isTitleOf(pending, title);
  });
  if (!hexid) {
    lf_logForeignAircraft(objectId, data.inRange, atcId);
    return;
  }
  lf_takeOver(objectId, *hexid, data.inRange);
}

// A range scan finds objects only within the range of the user, and a model that loads slowly may appear when the
// user has flown on: each added aircraft is asked for by itself.
void lf_requestAddedAircraft(std::uint32_t objectId) {
  bool failed = false;
  {
    const std::lock_guard lock{simConnectMutex};
    failed = FAILED(SimConnect_RequestDataOnSimObject(hSimConnect, REQ_ADDED_AIRCRAFT, DEF_ADDED_AIRCRAFT, objectId,
                                                      SIMCONNECT_PERIOD_ONCE));
  }
  if (failed) {
    gf_logFlagged(fmt::format("SimConnect request of added aircraft {} fails", gf_toHex(objectId)));
    gf_onSimConnectRequestError();
  }
}

}  // namespace

void lf_createAcInSim(const CreateRequest& request) {
  const std::string title{request.title};
  if (FAILED(SimConnect_AICreateNonATCAircraft(hSimConnect, title.c_str(), request.callsign.c_str(),
                                               request.initPosition, REQ_AI_CREATE))) {
    gf_logFlagged(fmt::format("! Simcon call to create ac in sim failed, hexid:{}, liv: '{}', callsign: {})",
                              request.hexid, title, request.callsign));
    gf_onSimConnectRequestError();
    return;
  }
  std::uint32_t packetId = 0;
  if (FAILED(SimConnect_GetLastSentPacketID(hSimConnect, &packetId))) {
    gf_logFlagged("GetLastSentPacketID");
    packetId = 0;
  }
  pendingCreates.push_back({packetId, request.hexid, request.callsign, title});
}

void lf_removeAcFromSim(std::uint32_t objectId) {
  if (objectId <= userObjectId) {
    gf_logFlagged(fmt::format("SimConnect call to remove ac with objectid {}", gf_toHex(objectId)));
    return;
  }
  if (FAILED(SimConnect_AIRemoveObject(hSimConnect, objectId, REQ_AI_REMOVE))) {
    gf_logFlagged(
        fmt::format("{} !SimConnect call to remove AI ac from sim failed, id {}?", gf_utcNowHms(), gf_toHex(objectId)));
    gf_onSimConnectRequestError();
  }
}

void lf_onObjectAddRemove(const SIMCONNECT_RECV_EVENT_OBJECT_ADDREMOVE& message) {
  if (message.eObjType != SIMCONNECT_SIMOBJECT_TYPE_AIRCRAFT) {
    return;
  }
  const std::uint32_t objectId = message.dwData;
  if (message.uEventID == EVT_OBJECT_ADDED) {
    if (objectId > userObjectId) {
      addedObjects.push_back(objectId);
      lf_requestAddedAircraft(objectId);
    }
  } else if (message.uEventID == EVT_OBJECT_REMOVED) {
    // One removed before its data came is not waited for any longer.
    lf_takeAdded(objectId);
    gf_postSimResult({objectId, 0, 0, SimResultKind::removed, 0.0, 0.0});
  }
}

void lf_onSimObjectDataByType(const SIMCONNECT_RECV_SIMOBJECT_DATA_BYTYPE& message, std::span<const std::byte> block) {
  if (message.dwRequestID != REQ_AC_IN_RANGE) {
    return;
  }
  const auto data = lf_blockAs<AcInRange>(block, message.dwRequestID);
  const std::uint32_t objectId = message.dwObjectID;
  if (!data || objectId <= userObjectId) {
    return;
  }
  // An added aircraft is recognised by the answer to its own request.
  if (std::find(addedObjects.begin(), addedObjects.end(), objectId) == addedObjects.end()) {
    lf_reportInRange(objectId, *data, lf_blockText(std::as_bytes(std::span{data->atcId})));
  }
}

void lf_onAddedAircraftData(std::uint32_t objectId, std::span<const std::byte> block) {
  const auto data = lf_blockAs<AddedAircraft>(block, REQ_ADDED_AIRCRAFT);
  if (data && lf_takeAdded(objectId)) {
    lf_recogniseAdded(objectId, *data);
  }
}

void lf_onCreateRefused(std::uint32_t packetId) {
  lf_postNotCreated(packetId, SimResultKind::createRefused);
}

void lf_onCreateOverLimit(std::uint32_t packetId) {
  lf_postNotCreated(packetId, SimResultKind::createOverLimit);
}

void gf_reserveAiObjectLists(std::size_t room) {
  pendingCreates.reserve(room);
  addedObjects.reserve(room);
}

void gf_clearAiObjects() {
  pendingCreates.clear();
  addedObjects.clear();
}

}  // namespace cvl

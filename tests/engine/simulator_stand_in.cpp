#include "simulator_stand_in.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <span>
#include <utility>
#include <vector>

#include "engine/engine_tick.h"
#include "engine/tick_count.h"
#include "foundation/settings_catalogue.h"
#include "simlink/ai_objects.h"
#include "simlink/sim_client_thread.h"
#include "simlink/sim_ids.h"
#include "simlink/user_aircraft.h"

namespace cvl::test {
namespace {

constexpr double metresPerNm = 1852.0;

// The data block of the range scan as the simulator sends it.
struct InRange {
  double altitudeAboveGround = 0.0;
  double groundAltitude = 0.0;
  std::int64_t onGround = 1;
  char atcId[32] = {};
};

void lf_objectEvent(std::uint32_t objectId, std::uint32_t event) {
  SIMCONNECT_RECV_EVENT_OBJECT_ADDREMOVE message;
  message.uEventID = event;
  message.dwData = objectId;
  lf_onObjectAddRemove(message);
}

}  // namespace

void SimulatorStandIn::setLoadTicks(const std::string& title, std::int32_t ticks) {
  loadTicks_[title] = ticks;
}

void SimulatorStandIn::placeUser(const LatLon& at, double altitude) {
  user_ = at;
  const std::lock_guard lock{userAcMutex};
  userAcSnapshot.latitude = at.lat;
  userAcSnapshot.longitude = at.lon;
  userAcSnapshot.altitude = altitude;
  userAcSnapshot.altitudeAboveGround = altitude;
}

void SimulatorStandIn::tick() {
  lf_handleAddingStack();
  std::vector<CreateRequest> creations;
  std::vector<std::uint32_t> removals;
  {
    const std::lock_guard lock{simConnectMutex};
    creations.swap(simSendQueues.creations);
    removals.swap(simSendQueues.removals);
    simSendQueues.clientEvents.clear();
  }
  for (const CreateRequest& request : creations) {
    create(request);
  }
  for (const std::uint32_t objectId : removals) {
    removing_.emplace(tickCount + removalTicks_, objectId);
  }
  removeDue();
  load();
  scan();
  takePositions();
  mostObjects_ = std::max(mostObjects_, objects_.size() + loading_.size());
}

void SimulatorStandIn::ticks(std::int32_t n) {
  for (std::int32_t i = 0; i < n; ++i) {
    tick();
  }
}

void SimulatorStandIn::ticksUntil(std::int32_t tick) {
  while (tickCount < tick) {
    this->tick();
  }
}

// The link sends the creation and notes it as pending under its callsign.
void SimulatorStandIn::create(const CreateRequest& request) {
  ++creations_;
  pendingCreates.push_back({0, request.hexid, request.callsign});
  const std::string title{request.title};
  const auto load = loadTicks_.find(title);
  Object object{title,
                request.callsign,
                tickCount + (load == loadTicks_.end() ? defaultLoadTicks : load->second),
                std::max(request.initPosition.altitude, 0.0),
                {request.initPosition.latitude, request.initPosition.longitude},
                false,
                std::nullopt};
  history_.push_back({tickCount, nextObjectId_, request.callsign, true});
  loading_.emplace(nextObjectId_++, std::move(object));
}

void SimulatorStandIn::removeDue() {
  while (!removing_.empty() && removing_.begin()->first <= tickCount) {
    remove(removing_.begin()->second);
    removing_.erase(removing_.begin());
  }
}

void SimulatorStandIn::remove(std::uint32_t objectId) {
  const auto held = objects_.find(objectId);
  const auto loading = loading_.find(objectId);
  if (held == objects_.end() && loading == loading_.end()) {
    return;
  }
  const std::string tail = held != objects_.end() ? held->second.tailNumber : loading->second.tailNumber;
  objects_.erase(objectId);
  loading_.erase(objectId);
  ++removals_;
  history_.push_back({tickCount, objectId, tail, false});
  lf_objectEvent(objectId, EVT_OBJECT_REMOVED);
}

// Objects whose model has loaded appear in the simulator and are announced.
void SimulatorStandIn::load() {
  for (auto entry = loading_.begin(); entry != loading_.end();) {
    if (entry->second.loadedAtTick > tickCount) {
      ++entry;
      continue;
    }
    lf_objectEvent(entry->first, EVT_OBJECT_ADDED);
    objects_.insert(loading_.extract(entry++));
  }
}

// The first range scan that finds a new object shows it to the link, which recognises it.
void SimulatorStandIn::scan() {
  for (auto& [objectId, object] : objects_) {
    if (object.scanned || !inRange(object)) {
      continue;
    }
    object.scanned = true;
    SIMCONNECT_RECV_SIMOBJECT_DATA_BYTYPE message;
    message.dwRequestID = REQ_AC_IN_RANGE;
    message.dwObjectID = objectId;
    InRange block;
    block.altitudeAboveGround = object.heightAboveGround;
    block.onGround = object.heightAboveGround > 0.0 ? 0 : 1;
    std::strncpy(block.atcId, object.tailNumber.c_str(), sizeof(block.atcId) - 1);
    lf_onSimObjectDataByType(message, std::as_bytes(std::span{&block, 1}));
  }
}

bool SimulatorStandIn::inRange(const Object& object) const {
  if (!user_) {
    return true;
  }
  const LatLon at = object.position ? LatLon{object.position->latitude, object.position->longitude} : object.createdAt;
  return gf_distanceNM(*user_, at) * metresPerNm <= rangeMetres.load();
}

void SimulatorStandIn::takePositions() {
  const std::lock_guard lock{simConnectMutex};
  for (const PositionUpdate& update : *simSendQueues.sendPositions) {
    if (const auto object = objects_.find(update.objectId); object != objects_.end()) {
      object->second.position = update;
    }
  }
}

}  // namespace cvl::test

#include "simulator_stand_in.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <span>
#include <utility>
#include <vector>

#include "engine/engine_tick.h"
#include "engine/tick_count.h"
#include "simlink/ai_objects.h"
#include "simlink/sim_client_thread.h"
#include "simlink/sim_ids.h"

namespace cvl::test {
namespace {

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
    remove(objectId);
  }
  scanLoaded();
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
  Object object{title, request.callsign, tickCount + (load == loadTicks_.end() ? defaultLoadTicks : load->second),
                std::max(request.initPosition.altitude, 0.0), std::nullopt};
  loading_.emplace(nextObjectId_++, std::move(object));
}

void SimulatorStandIn::remove(std::uint32_t objectId) {
  if (objects_.erase(objectId) + loading_.erase(objectId) == 0) {
    return;
  }
  ++removals_;
  lf_objectEvent(objectId, EVT_OBJECT_REMOVED);
}

// Objects whose model has loaded appear and are reported by the next range scan, where the link recognises them.
void SimulatorStandIn::scanLoaded() {
  for (auto entry = loading_.begin(); entry != loading_.end();) {
    if (entry->second.loadedAtTick > tickCount) {
      ++entry;
      continue;
    }
    const std::uint32_t objectId = entry->first;
    lf_objectEvent(objectId, EVT_OBJECT_ADDED);
    SIMCONNECT_RECV_SIMOBJECT_DATA_BYTYPE message;
    message.dwRequestID = REQ_AC_IN_RANGE;
    message.dwObjectID = objectId;
    InRange block;
    block.altitudeAboveGround = entry->second.heightAboveGround;
    block.onGround = entry->second.heightAboveGround > 0.0 ? 0 : 1;
    std::strncpy(block.atcId, entry->second.tailNumber.c_str(), sizeof(block.atcId) - 1);
    lf_onSimObjectDataByType(message, std::as_bytes(std::span{&block, 1}));
    objects_.insert(loading_.extract(entry++));
  }
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

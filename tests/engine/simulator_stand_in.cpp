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
#include "trafficin/traffic_queue.h"

namespace cvl::test {
namespace {

// The data block the link asks for of an added aircraft, as the simulator sends it.
struct AddedAircraft {
  double altitudeAboveGround = 0.0;
  double groundAltitude = 0.0;
  std::int64_t onGround = 1;
  char atcId[32] = {};
  char title[256] = {};
};

void lf_objectEvent(std::uint32_t objectId, std::uint32_t event) {
  SIMCONNECT_RECV_EVENT_OBJECT_ADDREMOVE message;
  message.uEventID = event;
  message.dwData = objectId;
  lf_onObjectAddRemove(message);
}

}  // namespace

void SimulatorStandIn::setLoadTicks(const std::string& title, std::vector<std::int32_t> successive) {
  loadsOfTitle_[title] = {std::move(successive)};
}

void SimulatorStandIn::setLoadTicksOfTail(const std::string& tailNumber, std::vector<std::int32_t> successive) {
  loadsOfTail_[tailNumber] = {std::move(successive)};
}

void SimulatorStandIn::setLoadTicksOfTailAndTitle(const std::string& tailNumber, const std::string& title,
                                                  std::vector<std::int32_t> successive) {
  loadsOfTailAndTitle_[tailNumber + '\n' + title] = {std::move(successive)};
}

bool SimulatorStandIn::beingRemoved(std::uint32_t objectId) const {
  return std::any_of(removing_.begin(), removing_.end(),
                     [objectId](const auto& each) { return each.second == objectId; });
}

void SimulatorStandIn::placeUser(const LatLon& at, double altitude) {
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

void SimulatorStandIn::queueReport(TrafficItem report) {
  const std::lock_guard lock{trafficQueueMutex};
  trafficQueue.push_back(std::move(report));
}

std::int32_t SimulatorStandIn::loadTicksOf(const std::string& title, const std::string& tailNumber) {
  const std::pair<std::map<std::string, Loads>*, std::string> keyed[] = {
      {&loadsOfTailAndTitle_, tailNumber + '\n' + title}, {&loadsOfTail_, tailNumber}, {&loadsOfTitle_, title}};
  for (const auto& [loads, key] : keyed) {
    const auto found = loads->find(key);
    if (found != loads->end() && !found->second.successive.empty()) {
      const auto& successive = found->second.successive;
      return successive[std::min(found->second.taken++, successive.size() - 1)];
    }
  }
  return defaultLoadTicks;
}

// The link sends the creation and notes it as pending under its callsign, title and packet id.
void SimulatorStandIn::create(const CreateRequest& request) {
  const std::string title{request.title};
  const std::uint32_t packetId = ++lastPacketId_;
  pendingCreates.push_back({packetId, request.hexid, request.callsign, title});
  if (objects_.size() + loading_.size() >= objectRoom_) {
    ++refusedForRoom_;
    lf_onCreateOverLimit(packetId);
    return;
  }
  ++creations_;
  Object object{title,
                request.callsign,
                request.hexid,
                tickCount + loadTicksOf(title, request.callsign),
                std::max(request.initPosition.altitude, 0.0),
                std::nullopt};
  history_.push_back({tickCount,
                      nextObjectId_,
                      request.callsign,
                      request.hexid,
                      true,
                      false,
                      {request.initPosition.latitude, request.initPosition.longitude}});
  loading_.emplace(nextObjectId_++, std::move(object));
}

void SimulatorStandIn::removeDue() {
  while (!removing_.empty() && removing_.begin()->first <= tickCount) {
    remove(removing_.begin()->second);
    removing_.erase(removing_.begin());
  }
}

void SimulatorStandIn::remove(std::uint32_t objectId) {
  auto held = objects_.find(objectId);
  if (held == objects_.end()) {
    held = loading_.find(objectId);
    if (held == loading_.end()) {
      return;
    }
  }
  ++removals_;
  const Object& object = held->second;
  history_.push_back({tickCount, objectId, object.tailNumber, object.hexid, false, object.position.has_value(), {}});
  objects_.erase(objectId);
  loading_.erase(objectId);
  lf_objectEvent(objectId, EVT_OBJECT_REMOVED);
}

// Objects whose model has loaded appear in the simulator, are announced, and the simulator answers the link's request
// for the data of each.
void SimulatorStandIn::load() {
  for (auto entry = loading_.begin(); entry != loading_.end();) {
    if (entry->second.loadedAtTick > tickCount) {
      ++entry;
      continue;
    }
    const std::uint32_t objectId = entry->first;
    const Object& object = objects_.insert(loading_.extract(entry++)).position->second;
    // The link asks for the data of the object it is told of; with no simulator connected, its request is answered
    // here.
    addedObjects.push_back(objectId);
    AddedAircraft block;
    block.altitudeAboveGround = object.heightAboveGround;
    block.onGround = object.heightAboveGround > 0.0 ? 0 : 1;
    std::strncpy(block.atcId, object.tailNumber.c_str(), sizeof(block.atcId) - 1);
    std::strncpy(block.title, object.title.c_str(), sizeof(block.title) - 1);
    lf_onAddedAircraftData(objectId, std::as_bytes(std::span{&block, 1}));
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

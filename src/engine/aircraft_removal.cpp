#include "engine/aircraft_removal.h"

#include <fmt/format.h>

#include <algorithm>
#include <deque>

#include "app/controls.h"
#include "engine/ac_labels.h"
#include "engine/aircraft_lists.h"
#include "engine/create_backlogs.h"
#include "engine/engine_state.h"
#include "engine/live_ac_lookup.h"
#include "foundation/log.h"
#include "parking/park_pos.h"

namespace cvl {

namespace {

constexpr std::uint32_t highestStaticHexid = 10000;

bool lf_isLive(const StaticAc& aircraft) {
  return aircraft.hexid > highestStaticHexid;
}

// Only this aircraft's own requests (same hexid and callsign) go, the others keeping their order, so that another
// aircraft that happens to share the callsign keeps its creation; true when there was one.
bool lf_dropOwnPendingCreate(std::deque<CreateRequest>& backlog, const StaticAc& aircraft) {
  const auto firstDropped = std::remove_if(backlog.begin(), backlog.end(), [&aircraft](const CreateRequest& request) {
    return request.hexid == aircraft.hexid && request.callsign == aircraft.callsign;
  });
  const bool found = firstDropped != backlog.end();
  backlog.erase(firstDropped, backlog.end());
  return found;
}

// A spawned live aircraft whose creation request has not been built yet waits on the adding stack.
bool lf_dropFromAddingStack(const StaticAc& aircraft) {
  const auto firstDropped = std::remove(addingStack.begin(), addingStack.end(), aircraft.hexid);
  const bool found = firstDropped != addingStack.end();
  addingStack.erase(firstDropped, addingStack.end());
  return found;
}

void lf_removeFromSimulator(StaticAc& aircraft) {
  const AcState previous = aircraft.state;
  if (lf_isLive(aircraft) && aircraft.standId != 0) {
    if (ParkPos* stand = gf_standBySid(aircraft.standId); stand != nullptr) {
      stand->makeWayMark = false;
    }
  }
  aircraft.state = AcState::removingfromsim;
  if (lf_isLive(aircraft) && aircraft.objectId != 0 && aircraft.objectId == selectedObjectId) {
    selectedObjectId = 0;
    gf_resetCallsignToObjectId();
  }
  // A livery respawn or an earlier removal has queued the object already; the simulator must not be asked twice. A
  // creation being activated has its object in the simulator.
  if (previous != AcState::active && previous != AcState::adding2sim) {
    return;
  }
  if (aircraft.objectId == 0) {
    gf_logFlagged(fmt::format("{} removing act {}, with objectid=0 ?", "removeAircraftFromSim", gf_acLabel(aircraft)));
    // Nothing of it is in the simulator, so no removal report will come: the record goes without one.
    aircraft.remove = lf_isLive(aircraft);
    aircraft.removeNow = !lf_isLive(aircraft);
    return;
  }
  removalBacklog.push_back(aircraft.objectId);
}

}  // namespace

bool gf_withdrawCreation(StaticAc& aircraft) {
  if (lf_isLive(aircraft)) {
    return lf_dropFromAddingStack(aircraft) || lf_dropOwnPendingCreate(liveCreateBacklog, aircraft);
  }
  return lf_dropOwnPendingCreate(staticCreateBacklog, aircraft);
}

void removeAircraftFromSim(StaticAc& aircraft) {
  if (aircraft.state == AcState::buffer) {
    aircraft.remove = true;
    return;
  }
  if (aircraft.waitRemove) {
    aircraft.withoutPlace = false;
    return;
  }
  if (aircraft.state == AcState::adding2sim && aircraft.objectId == 0) {
    if (gf_withdrawCreation(aircraft)) {
      aircraft.removeNow = true;
    } else {
      aircraft.waitRemove = true;
    }
    return;
  }
  lf_removeFromSimulator(aircraft);
}

bool gf_isLeaving(const StaticAc& aircraft) {
  return aircraft.state == AcState::removingfromsim || aircraft.waitRemove;
}

void lf_eraseLiveAc(LiveAc& aircraft) {
  const auto position =
      std::find_if(liveAcs.begin(), liveAcs.end(), [&aircraft](const LiveAc& each) { return &each == &aircraft; });
  if (position == liveAcs.end()) {
    return;
  }
  if (position != liveAcs.end() - 1) {
    *position = std::move(liveAcs.back());
  }
  liveAcs.pop_back();
}

void gf_removeAllStatic() {
  for (StaticAc& aircraft : staticAcs) {
    if (aircraft.state == AcState::active || aircraft.state == AcState::adding2sim) {
      removeAircraftFromSim(aircraft);
    }
  }
  std::erase_if(staticAcs, [](const StaticAc& aircraft) { return aircraft.removeNow || aircraft.remove; });
}

void lf_removeWhileBlocked(std::uint32_t hexid) {
  LiveAc* aircraft = gf_findLiveAcByHexid(hexid);
  if (aircraft == nullptr) {
    return;
  }
  if (aircraft->state == AcState::buffer) {
    gf_log(fmt::format("{} will be removed from buffer while blocked", gf_acLabel(*aircraft)));
    aircraft->remove = true;
  } else if (aircraft->state == AcState::active) {
    gf_log(fmt::format("{} removed from simulator immediately while blocked", gf_acLabel(*aircraft)));
    removeAircraftFromSim(*aircraft);
  }
}

}  // namespace cvl

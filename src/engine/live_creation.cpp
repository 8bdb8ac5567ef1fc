#include "engine/live_creation.h"

#include <fmt/format.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/ac_labels.h"
#include "engine/aircraft_lists.h"
#include "engine/create_backlogs.h"
#include "engine/engine_state.h"
#include "engine/live_ac_lookup.h"
#include "engine/stream_points.h"
#include "engine/tick_count.h"
#include "foundation/log.h"
#include "foundation/strings.h"
#include "simlink/send_queues.h"

namespace cvl {
namespace {

// Ticks the simulator has to show a created aircraft.
constexpr std::int32_t showTicks = 6000;

// A creation given up while the simulator may still show its object. The link recognises objects by callsign, so
// that object may come back under this hexid although it belongs to a later creation under the same callsign.
struct GivenUpCreation {
  std::uint32_t hexid = 0;
  std::string callsign;
};

std::vector<GivenUpCreation> givenUpCreations;

bool lf_waitsForObject(const LiveAc& aircraft) {
  return aircraft.state == AcState::adding2sim && aircraft.objectId == 0 && !aircraft.remove && !aircraft.removeNow;
}

LiveAc* lf_waitingUnderCallsign(const std::string& callsign) {
  const auto waiting = std::find_if(liveAcs.begin(), liveAcs.end(), [&callsign](const LiveAc& aircraft) {
    return aircraft.callsign == callsign && lf_waitsForObject(aircraft);
  });
  return waiting == liveAcs.end() ? nullptr : &*waiting;
}

void lf_logBeyondRange(const std::string& callsign) {
  gf_logIndented(fmt::format("{:8} lies at the edge of the range or beyond, not created", callsign));
}

void lf_dropBeyondRange(const CreateRequest& request) {
  lf_logBeyondRange(request.callsign);
  if (LiveAc* aircraft = gf_findLiveAcByHexid(request.hexid); aircraft != nullptr && lf_waitsForObject(*aircraft)) {
    aircraft->removeNow = true;
  }
}

}  // namespace

bool gf_waitsAtRangeEdge(LiveAc& aircraft) {
  if (!gf_atRangeEdge(gf_latLonOf(aircraft.stream.front()))) {
    return false;
  }
  if (!aircraft.rangeEdgeLogged) {
    lf_logBeyondRange(aircraft.callsign);
    aircraft.rangeEdgeLogged = true;
  }
  aircraft.stream.pop_front();
  return true;
}

bool gf_handOverLiveCreation() {
  while (!liveCreateBacklog.empty()) {
    const CreateRequest request = std::move(liveCreateBacklog.front());
    liveCreateBacklog.pop_front();
    if (gf_atRangeEdge({request.initPosition.latitude, request.initPosition.longitude})) {
      lf_dropBeyondRange(request);
      continue;
    }
    gf_queueCreateRequest(request);
    if (LiveAc* aircraft = gf_findLiveAcByHexid(request.hexid); aircraft != nullptr && lf_waitsForObject(*aircraft)) {
      aircraft->showDeadline = tickCount + showTicks;
    }
    return true;
  }
  return false;
}

void gf_checkShowDeadline(LiveAc& aircraft) {
  if (aircraft.showDeadline == 0 || !lf_waitsForObject(aircraft) || tickCount < aircraft.showDeadline) {
    return;
  }
  gf_logIndented(
      fmt::format("{} did not show in the simulator within {} s, given up", gf_acLabel(aircraft), showTicks / 100));
  givenUpCreations.push_back({aircraft.hexid, aircraft.callsign});
  aircraft.remove = true;
}

LiveAc* gf_takerOfCreatedObject(const SimResult& created) {
  if (LiveAc* aircraft = gf_findLiveAcByHexid(created.hexid); aircraft != nullptr && lf_waitsForObject(*aircraft)) {
    return aircraft;
  }
  const auto givenUp = std::find_if(givenUpCreations.begin(), givenUpCreations.end(),
                                    [&created](const GivenUpCreation& each) { return each.hexid == created.hexid; });
  if (givenUp == givenUpCreations.end()) {
    return nullptr;
  }
  LiveAc* taker = lf_waitingUnderCallsign(givenUp->callsign);
  if (taker == nullptr) {
    givenUpCreations.erase(givenUp);
  } else {
    // The link has now used up the given-up creation's place in its list; the taker's own place is left there, and
    // the link names the taker's hexid for the next object under the callsign.
    givenUp->hexid = taker->hexid;
  }
  return taker;
}

void gf_removeUnwantedObject(const SimResult& created) {
  if (created.objectId < firstAiObjectId) {
    return;
  }
  gf_logIndented(fmt::format("object {} shown for hexid {} with no aircraft waiting for it, removed",
                             gf_toHex(created.objectId), created.hexid));
  removalBacklog.push_back(created.objectId);
}

void gf_clearGivenUpCreations() {
  givenUpCreations.clear();
}

}  // namespace cvl

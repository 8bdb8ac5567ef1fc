#include <fmt/format.h>

#include <string>

#include "engine/aircraft_lists.h"
#include "engine/create_backlogs.h"
#include "engine/engine_state.h"
#include "engine/live_ac_lookup.h"
#include "engine/live_creation.h"
#include "engine/spawning.h"
#include "engine/stream_points.h"
#include "engine/tick_count.h"
#include "foundation/geometry.h"
#include "foundation/log.h"
#include "foundation/throttled_log.h"
#include "simlink/send_queues.h"

namespace cvl {
namespace {

CreateRequest lf_createRequestOf(const LiveAc& aircraft) {
  CreateRequest request;
  request.initPosition.latitude = aircraft.simPos.lat;
  request.initPosition.longitude = aircraft.simPos.lon;
  request.initPosition.altitude = aircraft.simPos.altitude;
  request.initPosition.pitch = aircraft.simPos.pitch * radiansToDegrees;
  request.initPosition.bank = aircraft.simPos.bank * radiansToDegrees;
  request.initPosition.heading = aircraft.simPos.heading * radiansToDegrees;
  request.callsign = aircraft.callsign;
  request.title = aircraft.liveryTitle;
  request.hexid = aircraft.hexid;
  return request;
}

// A sender can report ever new hexids at the edge of the range.
void lf_logBeyondRange(const std::string& callsign) {
  static ThrottledLog limit{"Live creation", "range-edge notice", gf_tickTime};
  if (limit.admit()) {
    gf_logIndented(fmt::format("{:8} lies at the edge of the range or beyond, not created", callsign));
  }
}

// The request of a creation that waited (the simulator was full, or many creations were queued) is brought to where
// its flight is now: one parked stands on at its stand, one that has no later report to fly to goes with its record.
// Nullptr when the request is not to be handed over.
LiveAc* lf_bringToPresent(CreateRequest& request) {
  LiveAc* aircraft = gf_findLiveAcByHexid(request.hexid);
  if (aircraft == nullptr || !gf_beingCreated(*aircraft) || aircraft->handedOverAt) {
    return nullptr;
  }
  const std::int32_t dueBefore = aircraft->stream.empty() ? 0 : aircraft->stream.front().dueTick;
  gf_dropPassedEntries(*aircraft);
  if (aircraft->stream.size() < 2 && aircraft->phase != AcPhase::parked) {
    aircraft->remove = true;
    return nullptr;
  }
  if (aircraft->stream.front().dueTick != dueBefore) {
    lf_initSimPosition(*aircraft);
    request = lf_createRequestOf(*aircraft);
  }
  return aircraft;
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

void gf_queueLiveCreation(const LiveAc& aircraft) {
  liveCreateBacklog.push_back(lf_createRequestOf(aircraft));
}

bool gf_handOverLiveCreation() {
  while (!liveCreateBacklog.empty()) {
    CreateRequest request = std::move(liveCreateBacklog.front());
    liveCreateBacklog.pop_front();
    LiveAc* aircraft = lf_bringToPresent(request);
    if (aircraft == nullptr) {
      continue;
    }
    if (gf_atRangeEdge({request.initPosition.latitude, request.initPosition.longitude})) {
      lf_logBeyondRange(request.callsign);
      aircraft->removeNow = true;
      continue;
    }
    gf_queueCreateRequest(request);
    aircraft->handedOverAt = tickCount;
    return true;
  }
  return false;
}

}  // namespace cvl

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
#include "foundation/throttled_log.h"
#include "simlink/send_queues.h"

namespace cvl {
namespace {

// Ticks the simulator has at first to show a created aircraft. A model may take longer to load (a first flight with
// many new liveries, a slow disk): an aircraft whose creation was given up gets twice as long for each later one, up
// to four times as long, while its late object may still show and be taken.
constexpr std::int32_t firstShowTicks = 6000;
constexpr std::int32_t longestShowTicks = 4 * firstShowTicks;
// How long an aircraft gone from the records is still known for its slow creations.
constexpr std::int32_t forgetTicks = 12000;

// An aircraft whose creation was given up, with the time allowed for its next one.
struct SlowCreation {
  std::uint32_t hexid = 0;
  std::int32_t showTicks = firstShowTicks;
  std::int32_t givenUpAt = 0;
};

std::vector<SlowCreation> slowCreations;

bool lf_waitsForObject(const LiveAc& aircraft) {
  return aircraft.state == AcState::adding2sim && aircraft.objectId == 0 && !aircraft.remove && !aircraft.removeNow;
}

std::int32_t lf_showTicksFor(std::uint32_t hexid) {
  const auto slow = std::find_if(slowCreations.begin(), slowCreations.end(),
                                 [hexid](const SlowCreation& each) { return each.hexid == hexid; });
  return slow == slowCreations.end() ? firstShowTicks : slow->showTicks;
}

// The list keeps only aircraft still reported, or given up of late.
void lf_noteGivenUp(std::uint32_t hexid) {
  std::erase_if(slowCreations, [](const SlowCreation& each) {
    return tickCount - each.givenUpAt > forgetTicks && gf_findLiveAcByHexid(each.hexid) == nullptr;
  });
  auto slow = std::find_if(slowCreations.begin(), slowCreations.end(),
                           [hexid](const SlowCreation& each) { return each.hexid == hexid; });
  if (slow == slowCreations.end()) {
    slow = slowCreations.insert(slowCreations.end(), {hexid, firstShowTicks, 0});
  }
  slow->showTicks = std::min(2 * slow->showTicks, longestShowTicks);
  slow->givenUpAt = tickCount;
}

// The aircraft waits in the buffer again from the report due now, so that it is created again at once where it flies
// now, with its livery and stand. One with no later report to fly to goes, as does one whose removal was asked for.
void lf_backToBuffer(LiveAc& aircraft) {
  auto& stream = aircraft.stream;
  while (stream.size() > 1 && stream[1].dueTick <= tickCount) {
    stream.pop_front();
  }
  aircraft.showDeadline = 0;
  if (stream.size() < 2 || aircraft.waitRemove) {
    aircraft.remove = true;
    return;
  }
  aircraft.state = AcState::buffer;
}

// A sender can report ever new hexids at the edge of the range.
void lf_logBeyondRange(const std::string& callsign) {
  static ThrottledLog limit{"Live creation", "range-edge notice", gf_tickTime};
  if (limit.admit()) {
    gf_logIndented(fmt::format("{:8} lies at the edge of the range or beyond, not created", callsign));
  }
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
      aircraft->showDeadline = tickCount + lf_showTicksFor(request.hexid);
    }
    return true;
  }
  return false;
}

void gf_checkShowDeadline(LiveAc& aircraft) {
  if (aircraft.showDeadline == 0 || !lf_waitsForObject(aircraft) || tickCount < aircraft.showDeadline) {
    return;
  }
  gf_logIndented(fmt::format("{} did not show in the simulator within {} s, given up", gf_acLabel(aircraft),
                             lf_showTicksFor(aircraft.hexid) / ticksPerSecond));
  lf_noteGivenUp(aircraft.hexid);
  lf_backToBuffer(aircraft);
}

LiveAc* gf_takerOfCreatedObject(const SimResult& created) {
  LiveAc* aircraft = gf_findLiveAcByHexid(created.hexid);
  return aircraft != nullptr && lf_waitsForObject(*aircraft) ? aircraft : nullptr;
}

void gf_removeUnwantedObject(const SimResult& created) {
  if (created.objectId < firstAiObjectId) {
    return;
  }
  gf_logIndented(fmt::format("object {} shown for hexid {} with no aircraft waiting for it, removed",
                             gf_toHex(created.objectId), created.hexid));
  removalBacklog.push_back(created.objectId);
}

void gf_clearSlowCreations() {
  slowCreations.clear();
}

}  // namespace cvl

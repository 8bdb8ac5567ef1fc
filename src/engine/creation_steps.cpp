#include "engine/creation_steps.h"

#include <algorithm>
#include <string>
#include <unordered_set>

#include "engine/aircraft_lists.h"
#include "engine/live_creation.h"
#include "engine/spawning.h"
#include "engine/tick_count.h"

namespace cvl {
namespace {

// The callsigns that waited in the buffer at the first question of a second.
struct CallsignsOfTheSecond {
  std::int32_t second = -1;
  std::unordered_set<std::string> waiting;
};

CallsignsOfTheSecond callsignsOfTheSecond;

bool lf_waitsInBuffer(const LiveAc& record) {
  return record.state == AcState::buffer && !record.remove && !record.removeNow;
}

bool lf_anyRecordsTurn(const LiveAc& /*other*/, const LiveAc& /*creation*/) {
  return true;
}

}  // namespace

bool gf_isLookTick(std::uint32_t hexid) {
  return tickCount.load() % ticksPerSecond == static_cast<std::int32_t>(hexid % ticksPerSecond);
}

bool gf_callsignWaitedFor(const LiveAc& aircraft, bool (*hasTurn)(const LiveAc& other, const LiveAc& aircraft)) {
  return std::any_of(liveAcs.begin(), liveAcs.end(), [&aircraft, hasTurn](const LiveAc& other) {
    return lf_waitsInBuffer(other) && &other != &aircraft && other.callsign == aircraft.callsign &&
           hasTurn(other, aircraft);
  });
}

bool gf_callsignWaitedForThisSecond(const LiveAc& creation) {
  const std::int32_t second = tickCount / ticksPerSecond;
  if (callsignsOfTheSecond.second != second) {
    callsignsOfTheSecond.second = second;
    callsignsOfTheSecond.waiting.clear();
    for (const LiveAc& record : liveAcs) {
      if (lf_waitsInBuffer(record)) {
        callsignsOfTheSecond.waiting.insert(record.callsign);
      }
    }
  }
  return callsignsOfTheSecond.waiting.contains(creation.callsign) && gf_callsignWaitedFor(creation, lf_anyRecordsTurn);
}

void gf_forgetCallsignsOfTheSecond() {
  callsignsOfTheSecond = {};
}

void gf_admitWhereItFliesNow(LiveAc& aircraft, const PlaceVerdict& verdict) {
  gf_dropPassedEntries(aircraft);
  lf_initSimPosition(aircraft);
  aircraft.state = AcState::adding2sim;
  aircraft.waitRemove = false;
  aircraft.withoutPlace = false;
  gf_admitToPlace(aircraft, verdict);
}

}  // namespace cvl

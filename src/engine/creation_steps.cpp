#include "engine/creation_steps.h"

#include <algorithm>

#include "engine/aircraft_lists.h"
#include "engine/live_creation.h"
#include "engine/spawning.h"
#include "engine/tick_count.h"

namespace cvl {

bool gf_isLookTick(std::uint32_t hexid) {
  return tickCount.load() % ticksPerSecond == static_cast<std::int32_t>(hexid % ticksPerSecond);
}

bool gf_callsignWaitedFor(const LiveAc& aircraft, bool (*hasTurn)(const LiveAc& other, const LiveAc& aircraft)) {
  return std::any_of(liveAcs.begin(), liveAcs.end(), [&aircraft, hasTurn](const LiveAc& other) {
    return other.state == AcState::buffer && &other != &aircraft && !other.remove && !other.removeNow &&
           other.callsign == aircraft.callsign && hasTurn(other, aircraft);
  });
}

bool gf_anyRecordsTurn(const LiveAc& /*other*/, const LiveAc& /*aircraft*/) {
  return true;
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

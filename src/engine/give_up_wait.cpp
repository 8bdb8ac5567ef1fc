#include "engine/creation_steps.h"
#include "engine/engine_state.h"
#include "engine/live_creation.h"
#include "engine/live_limit.h"
#include "engine/slow_creations.h"
#include "engine/stream_points.h"

namespace cvl {
namespace {

// Another flight under the callsign has its turn first where the limit gives it a place now; of two whose models may
// never load, only the one given up first, so that they take turns. None waits for a flight that is not to be
// created now.
bool lf_hasTheEarlierTurn(const LiveAc& other, const LiveAc& aircraft) {
  if (other.phase == AcPhase::birth && gf_atRangeEdge(gf_latLonOf(other.stream.front()))) {
    return false;
  }
  if (!gf_modelMayNeverLoad(other.hexid)) {
    return !gf_decidePlace(other, PlaceClaim::newcomer).keptOut();
  }
  return gf_givenUpBefore(other.hexid, aircraft.hexid) && !gf_decidePlace(other, PlaceClaim::mayNeverLoad).keptOut();
}

}  // namespace

// Each look searches the records, and a place or callsign comes free for it rarely: it is looked at once a second. One
// the limit keeps out at the look of the second is not to be created now, and no turn under its callsign is searched.
bool gf_waitsAfterGiveUp(LiveAc& aircraft) {
  if (!gf_isLookTick(aircraft.hexid)) {
    return true;
  }
  gf_dropPassedEntries(aircraft);
  // Its reports have passed meanwhile: it has nothing left to be created at, as one with a single report.
  if (aircraft.stream.size() < 2) {
    aircraft.remove = true;
    return true;
  }
  return gf_keptOutThisSecond(aircraft, PlaceClaim::mayNeverLoad) ||
         gf_callsignWaitedFor(aircraft, lf_hasTheEarlierTurn);
}

}  // namespace cvl

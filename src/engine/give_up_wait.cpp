#include "engine/creation_steps.h"
#include "engine/live_creation.h"
#include "engine/slow_creations.h"

namespace cvl {
namespace {

// Of two flights under one callsign whose models may never load, the one given up first has its turn first once it
// has waited after its give-up, so that neither waits minutes for the other's wait; any other flight has its turn
// before them.
bool lf_hasTheEarlierTurn(const LiveAc& other, const LiveAc& aircraft) {
  return !gf_modelMayNeverLoad(other.hexid) ||
         (gf_givenUpBefore(other.hexid, aircraft.hexid) && gf_waitedAfterGiveUp(other.hexid));
}

}  // namespace

// Each look searches the records, and a place or callsign comes free for it rarely: it is looked at once a second.
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
  return gf_callsignWaitedFor(aircraft, lf_hasTheEarlierTurn);
}

}  // namespace cvl

#include <fmt/format.h>

#include "engine/ac_labels.h"
#include "engine/creation_steps.h"
#include "engine/engine_state.h"
#include "engine/live_creation.h"
#include "engine/live_limit.h"
#include "engine/slow_creations.h"
#include "engine/stream_dry.h"
#include "engine/stream_points.h"
#include "engine/tick_count.h"
#include "foundation/log.h"

namespace cvl {
namespace {

// Traffic waiting for a place is known at once; the records are searched for the callsign once a second.
bool lf_othersWaitFor(const LiveAc& aircraft) {
  return gf_trafficWaitsForPlace() || (gf_isLookTick(aircraft.hexid) && gf_callsignWaitedForThisSecond(aircraft));
}

// A creation has the first minute to show. One that holds a place may have longer after its flight's give-ups, while
// no traffic waits for its place or its callsign; one on trial holds no place and has the first minute only.
bool lf_pastItsTime(const LiveAc& aircraft, std::int32_t waited) {
  if (waited < firstShowTicks) {
    return false;
  }
  return gf_holdsNoPlace(aircraft) || waited >= gf_showTicksFor(aircraft.hexid) || lf_othersWaitFor(aircraft);
}

// The aircraft waits in the buffer again from the report due now, so that it is created again where it flies now,
// with its livery and stand: one parked at its stand stands on there, as it would in the simulator. One with no
// later report to fly to goes, as does one whose removal was asked for.
void lf_backToBuffer(LiveAc& aircraft) {
  auto& stream = aircraft.stream;
  gf_dropPassedEntries(aircraft);
  aircraft.handedOverAt.reset();
  if (aircraft.phase == AcPhase::parked && stream.size() == 1) {
    lf_makeUpPosition(aircraft, 1);
  }
  if (stream.size() < 2 || gf_removalAskedFor(aircraft)) {
    aircraft.remove = true;
    return;
  }
  aircraft.state = AcState::buffer;
  aircraft.waitRemove = false;
  aircraft.withoutPlace = false;
}

// Whether a creation taken out may still become its flight's: the flight has a later report to fly to (one parked
// stands on, as in the buffer) within the range, where a creation may be handed over.
bool lf_flightGoesOnInRange(const LiveAc& aircraft) {
  return (aircraft.stream.size() >= 2 || aircraft.phase == AcPhase::parked) &&
         !gf_atRangeEdge(gf_latLonOf(aircraft.stream.front()));
}

// Where the limit admits the flight again, its creation counts as one handed over now: one the simulator has lost is
// given up at its time to show like any other.
void lf_takeBackInWhereAdmitted(LiveAc& aircraft) {
  const PlaceVerdict verdict = gf_decidePlace(aircraft, PlaceClaim::withoutPlace);
  if (!verdict.keptOut()) {
    gf_admitWhereItFliesNow(aircraft, verdict);
    aircraft.handedOverAt = tickCount;
  }
}

// A creation taken out while being created, for a nearer newcomer or a lowered Max live, is no model's fault: it
// waits for its object, so that a slow model is not loaded twice, keeping its stream to where the flight is now. While
// another flight waits for its callsign it is not taken back in, which would give it a fresh minute to hold the
// callsign each time, and it goes after its minute; it goes too once its flight has no later report to fly to or lies
// at the edge of the range or beyond.
void lf_waitAfterTakeOut(LiveAc& aircraft, std::int32_t waited) {
  if (!gf_isLookTick(aircraft.hexid)) {
    return;
  }
  gf_dropPassedEntries(aircraft);
  const bool callsignWaitedFor = gf_callsignWaitedForThisSecond(aircraft);
  if (lf_flightGoesOnInRange(aircraft) && !callsignWaitedFor) {
    lf_takeBackInWhereAdmitted(aircraft);
    return;
  }
  if (lf_flightGoesOnInRange(aircraft) && waited < firstShowTicks) {
    return;
  }
  gf_logIndented(fmt::format("{} taken out while being created, not shown in the simulator within {} s, withdrawn",
                             gf_acLabel(aircraft), waited / ticksPerSecond));
  aircraft.handedOverAt.reset();
  aircraft.remove = true;
}

// Traffic reported now has the better claim to the place of a creation that may never show: the creation leaves its
// place and goes on trial, with the time to show it has left.
void lf_onTrialFromNow(LiveAc& aircraft) {
  aircraft.waitRemove = true;
  aircraft.withoutPlace = true;
}

}  // namespace

bool gf_beingCreated(const LiveAc& aircraft) {
  return aircraft.state == AcState::adding2sim && aircraft.objectId == 0 && !aircraft.remove && !aircraft.removeNow;
}

bool gf_holdsNoPlace(const LiveAc& aircraft) {
  return gf_beingCreated(aircraft) && aircraft.waitRemove && aircraft.withoutPlace;
}

bool gf_removalAskedFor(const LiveAc& aircraft) {
  return gf_beingCreated(aircraft) && aircraft.waitRemove && !aircraft.withoutPlace;
}

void gf_checkShowDeadline(LiveAc& aircraft) {
  if (!aircraft.handedOverAt || !gf_beingCreated(aircraft)) {
    return;
  }
  const std::int32_t waited = tickCount - *aircraft.handedOverAt;
  const bool mayNeverShow = gf_modelMayNeverLoad(aircraft.hexid);
  if (gf_holdsNoPlace(aircraft) && !mayNeverShow) {
    lf_waitAfterTakeOut(aircraft, waited);
    return;
  }
  if (mayNeverShow && !aircraft.waitRemove && gf_trafficWaitsForPlace()) {
    lf_onTrialFromNow(aircraft);
  }
  if (!lf_pastItsTime(aircraft, waited)) {
    return;
  }
  gf_logIndented(fmt::format("{} did not show in the simulator within {} s, given up", gf_acLabel(aircraft),
                             waited / ticksPerSecond));
  // A creation whose removal was asked for tells nothing of its model.
  if (!gf_removalAskedFor(aircraft)) {
    gf_noteGivenUp(aircraft.hexid);
  }
  lf_backToBuffer(aircraft);
}

void gf_creationBackToWait(LiveAc& aircraft) {
  if (gf_beingCreated(aircraft)) {
    lf_backToBuffer(aircraft);
  }
}

void gf_dropPassedEntries(LiveAc& aircraft) {
  auto& stream = aircraft.stream;
  while (stream.size() > 1 && stream[1].dueTick <= tickCount) {
    stream.pop_front();
  }
}

}  // namespace cvl

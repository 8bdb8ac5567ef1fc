#include "engine/buffered_aircraft.h"

#include <algorithm>
#include <cstdint>

#include "engine/ac_labels.h"
#include "engine/aircraft_lists.h"
#include "engine/conflict_rules.h"
#include "engine/create_backlogs.h"
#include "engine/live_creation.h"
#include "engine/live_limit.h"
#include "engine/live_parked.h"
#include "engine/no_match_set.h"
#include "engine/slow_creations.h"
#include "engine/spawning.h"
#include "engine/tick_count.h"
#include "engine/user_conflict.h"
#include "foundation/settings_catalogue.h"
#include "refdata/registration_lookup.h"

namespace cvl {
namespace {

// Ticks before its first position falls due at which an aircraft is spawned: rolling on the ground, and otherwise.
constexpr std::int32_t rollingLead = 300;
constexpr std::int32_t standingOrFlyingLead = 100;
// More creations than this waiting for the simulator hold back new aircraft.
constexpr std::size_t crowdedBacklog = 10;

std::int32_t lf_spawnLead(const TimedPosition& first) {
  return !first.airborne && first.groundSpeed != 0.0 ? rollingLead : standingOrFlyingLead;
}

bool lf_isKnownGhost(const LiveAc& aircraft) {
  return gf_isGhostCallsign(aircraft.callsign) && ghostCallsigns.contains(aircraft.callsign);
}

bool lf_mixesAirAndGround(const LiveAc& aircraft) {
  const auto airborne = [](const TimedPosition& entry) { return entry.airborne; };
  return std::any_of(aircraft.stream.begin(), aircraft.stream.end(), airborne) &&
         !std::all_of(aircraft.stream.begin(), aircraft.stream.end(), airborne);
}

// A newcomer standing still on the ground is parked at the stand it stands on, or waits when there is none. While the
// parked aircraft fill their limit it waits either way, before the live limit could make room for it: pushing out a
// parked aircraft whose reports still come would only bring that one back at once, pushing out the next.
bool lf_waitsForStand(const LiveAc& aircraft) {
  return !aircraft.stream.front().airborne && aircraft.stream[1].stationary && gf_liveParkedFull();
}

bool lf_isBlocked(const LiveAc& aircraft) {
  const std::string blocked = BLOCK_CALLSIGN.getValue();
  return !blocked.empty() && blocked == aircraft.callsign;
}

// The registration gives airline, operator, type and cargo flag, and stands in for a missing or invalid callsign.
void lf_completeIdentity(LiveAc& aircraft) {
  if (const auto record = gf_findDbaseRecord(aircraft.registration)) {
    if (!record->airl.empty()) {
      aircraft.airline = record->airl;
    }
    if (!record->type.empty()) {
      aircraft.type = record->type;
    }
    if (!record->opr.empty()) {
      aircraft.airline = record->opr;
    }
    aircraft.cargo = record->cargo;
    if (!lf_isValidCallsign(aircraft)) {
      aircraft.callsign = aircraft.registration;
    }
  }
  if (aircraft.airline.empty() && !lf_setAirlineFromCallsign(aircraft)) {
    aircraft.airline = "PVT";
  }
}

// The simulator link recognises a new object by its callsign and title, so two creations under one callsign must
// never be under way at once: of the same title, one's object would be taken for the other's.
bool lf_callsignBeingCreated(const LiveAc& aircraft) {
  return std::any_of(liveAcs.begin(), liveAcs.end(), [&aircraft](const LiveAc& other) {
    return &other != &aircraft && other.state == AcState::adding2sim && other.callsign == aircraft.callsign;
  });
}

// A newcomer waits for its next report. An aircraft back in the buffer waits where it flies now: one parked at its
// stand has there its only report, and then a position made up far ahead.
void lf_waitForCallsign(LiveAc& aircraft) {
  if (aircraft.phase == AcPhase::birth) {
    aircraft.stream.pop_front();
  } else {
    gf_dropPassedEntries(aircraft);
  }
}

// A newcomer the limit keeps out goes: its next reports ask again, and meanwhile it is traffic waiting for a place. An
// aircraft whose model may never load waits in the buffer instead, keeping its livery and stand.
void lf_keepOut(LiveAc& aircraft, PlaceClaim claim) {
  if (claim == PlaceClaim::mayNeverLoad) {
    gf_dropPassedEntries(aircraft);
    return;
  }
  gf_noteKeptOut(aircraft);
  aircraft.remove = true;
}

bool lf_maySpawn(const LiveAc& aircraft) {
  return lf_isValidCallsign(aircraft) && !noMatchSet.contains(lf_keyText(aircraft)) &&
         !lf_hasLiveTwin(aircraft.callsign);
}

}  // namespace

void lf_handleBuffered(LiveAc& aircraft) {
  auto& stream = aircraft.stream;
  if (stream.empty()) {
    aircraft.remove = true;
    return;
  }
  if (tickCount < stream.front().dueTick - lf_spawnLead(stream.front())) {
    return;
  }
  if (stream.size() == 1 || lf_isKnownGhost(aircraft)) {
    aircraft.remove = true;
    return;
  }
  // Before any wait: a flight whose model may never load waits in the buffer, and would linger there.
  if (MAX_LIVE_SEL.value <= 0) {
    aircraft.remove = true;
    return;
  }
  const PlaceClaim claim = gf_modelMayNeverLoad(aircraft.hexid) ? PlaceClaim::mayNeverLoad : PlaceClaim::newcomer;
  if (claim == PlaceClaim::mayNeverLoad && gf_waitsAfterGiveUp(aircraft)) {
    return;
  }
  if (lf_mixesAirAndGround(aircraft)) {
    stream.pop_front();
    return;
  }
  if (lf_conflictsWithUserAc(aircraft)) {
    return;
  }
  if (aircraft.phase == AcPhase::birth && (liveCreateBacklog.size() > crowdedBacklog || lf_waitsForStand(aircraft))) {
    stream.pop_front();
    return;
  }
  if (lf_isBlocked(aircraft)) {
    aircraft.remove = true;
    return;
  }
  lf_completeIdentity(aircraft);
  if (lf_callsignBeingCreated(aircraft)) {
    lf_waitForCallsign(aircraft);
    return;
  }
  if (!lf_maySpawn(aircraft)) {
    aircraft.remove = true;
    return;
  }
  if (aircraft.phase == AcPhase::birth && gf_waitsAtRangeEdge(aircraft)) {
    return;
  }
  // The live limit comes last, and a farther aircraft makes room only once the newcomer is really on its way in.
  const PlaceVerdict verdict = gf_decidePlace(aircraft, claim);
  if (verdict.keptOut()) {
    lf_keepOut(aircraft, claim);
    return;
  }
  spawnLiveAc(aircraft);
  if (aircraft.state == AcState::adding2sim) {
    gf_admitToPlace(aircraft, verdict);
  }
}

}  // namespace cvl

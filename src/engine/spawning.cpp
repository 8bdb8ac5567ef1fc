#include "engine/spawning.h"

#include <fmt/format.h>

#include "app/main_window.h"
#include "engine/ac_labels.h"
#include "engine/aircraft_removal.h"
#include "engine/aircraft_stand.h"
#include "engine/conflict_rules.h"
#include "engine/engine_clock.h"
#include "engine/engine_state.h"
#include "engine/ground_paths.h"
#include "engine/live_parked.h"
#include "engine/livery_respawn.h"
#include "engine/no_match_set.h"
#include "engine/phase_change.h"
#include "engine/remembered_titles.h"
#include "engine/stand_conflicts.h"
#include "engine/stream_points.h"
#include "foundation/geometry.h"
#include "foundation/log.h"
#include "liveries/livery_matcher.h"
#include "parking/current_park_airport.h"
#include "parking/stand_lookups.h"
#include "parking/stand_options.h"

namespace cvl {
namespace {

constexpr double standSearchAirportNm = 5.0;
constexpr double standingSpeed = 5.0;                         // kt: a slower second entry still counts as standing
constexpr double standingDriftNm = 0.018898488120950324;      // 35 m
constexpr double standSearchRadiusNm = 0.029697624190064796;  // 55 m
// Pitch in radians (negative: nose up): 3 degrees up in the air, less 2.2 degrees per 600 ft/min; 0.6 degrees down on
// the ground.
constexpr double basePitch = -0.05235987755982989;
constexpr double groundPitch = 0.010471975511965976;
constexpr double pitchPer600 = 2.2 * degreesToRadians;
constexpr double steepestClimb = 2400.0;
constexpr double steepestDescent = -3000.0;

// A standing aircraft stands still from its first entry on.
void lf_markStandstill(LiveAc& aircraft) {
  auto& stream = aircraft.stream;
  if (!stream[1].stationary) {
    stream[0].stationary = false;
    return;
  }
  stream[0].stationary = true;
  stream[0].groundSpeed = 0.0;
  stream[1].groundSpeed = 0.0;
  if (stream.size() > 2 && stream[2].stationary) {
    stream[2].groundSpeed = 0.0;
  }
}

// False when no livery can be found: the key text is noted and the aircraft goes.
bool lf_giveLivery(LiveAc& aircraft) {
  if (aircraft.liveryTitle.empty()) {
    aircraft.liveryTitle = lf_rememberedTitle(aircraft.hexid);
  }
  if (aircraft.liveryTitle.empty()) {
    gf_matchLivery(aircraft);
  }
  if (aircraft.liveryTitle.empty()) {
    if (!aircraft.registration.empty()) {
      gf_noteNoMatch(lf_keyText(aircraft));
    }
    aircraft.remove = true;
    return false;
  }
  gf_rememberTitle(aircraft.hexid, aircraft.liveryTitle);
  return true;
}

void lf_parkAtStand(LiveAc& aircraft, const ParkPos& stand) {
  gf_assignStand(aircraft, stand);
  gf_setPhase(aircraft, AcPhase::parked);
  aircraft.parkedAt = gf_nowIn100ns();
  aircraft.standDriftCount = 0;
  aircraft.standDriftLast = 0.0;
  lf_clearCargoAttribute(aircraft);
  aircraft.stream.resize(1);
  TimedPosition& first = aircraft.stream.front();
  first.lat = stand.latitude;
  first.lon = stand.longitude;
  first.track = stand.heading * radiansToDegrees;
  lf_addRealStandOption(stand.sid, aircraft, 1);
  lf_checkMaxPark(true);
}

// The first phase: flying, parked at a stand, or taxi. False: the aircraft stands still without a stand and waits.
bool lf_choosePhase(LiveAc& aircraft) {
  if (aircraft.stream.front().airborne) {
    gf_setPhase(aircraft, AcPhase::flying);
    return true;
  }
  if (const auto stand = lf_chooseStand(aircraft)) {
    lf_parkAtStand(aircraft, *stand);
    return true;
  }
  if (aircraft.remove) {
    return true;
  }
  if (aircraft.stream[1].stationary) {
    aircraft.stream.pop_front();
    return false;
  }
  gf_setPhase(aircraft, AcPhase::taxi);
  return true;
}

double lf_initialPitch(const TimedPosition& first) {
  if (!first.airborne) {
    return groundPitch;
  }
  double verticalSpeed = first.verticalSpeed;
  verticalSpeed =
      verticalSpeed >= 0.0 ? std::min(verticalSpeed, steepestClimb) : std::max(verticalSpeed, steepestDescent) / 2.0;
  return basePitch - verticalSpeed / 600.0 * pitchPer600;
}

double lf_initialHeading(const LiveAc& aircraft) {
  if (aircraft.respawnHeading) {
    return *aircraft.respawnHeading;
  }
  if (aircraft.phase == AcPhase::parked) {
    return aircraft.standHeading;
  }
  const auto& stream = aircraft.stream;
  if (stream.size() < 2 || stream[1].stationary) {
    return stream.front().track * degreesToRadians;
  }
  return gf_bearing(gf_latLonOf(stream[0]), gf_latLonOf(stream[1]));
}

}  // namespace

void spawnLiveAc(LiveAc& aircraft) {
  if (aircraft.stream.size() < 2) {
    gf_logFlagged(fmt::format("{} sz:{}", "spawnLiveAc", aircraft.stream.size()));
    return;
  }
  lf_markStandstill(aircraft);
  if (aircraft.phase == AcPhase::birth && (!lf_giveLivery(aircraft) || !lf_choosePhase(aircraft))) {
    return;
  }
  if (aircraft.remove) {
    return;
  }
  lf_initSimPosition(aircraft);
  aircraft.state = AcState::adding2sim;
  addingStack.push_back(aircraft.hexid);
  if (!gf_isGhostCallsign(aircraft.callsign)) {
    lf_removeGhost(aircraft.callsign);
  }
}

std::optional<ParkPos> lf_chooseStand(LiveAc& aircraft) {
  if (parkPositions.empty() || currentParkAirport.code.empty()) {
    return std::nullopt;
  }
  auto& stream = aircraft.stream;
  TimedPosition& first = stream.front();
  if (gf_distanceNM(gf_latLonOf(first), {currentParkAirport.lat, currentParkAirport.lon}) > standSearchAirportNm) {
    return std::nullopt;
  }
  LatLon probe = gf_latLonOf(first);
  if (!first.stationary) {
    // At the parked limit a newcomer moving on its stand is created taxiing rather than parked: it is about to leave
    // (or, arriving, it parks as arrivals do). One standing still waits in the buffer step.
    if (gf_liveParkedFull() || (stream.size() > 1 && stream[1].groundSpeed > standingSpeed) ||
        gf_distanceNM(gf_latLonOf(stream.back()), gf_latLonOf(first)) > standingDriftNm) {
      return std::nullopt;
    }
    probe = gf_latLonOf(stream.back());
  }
  const auto stand = lf_findStandNear(probe, aircraft, standSearchRadiusNm, first.stationary);
  if (stand == parkPositions.end()) {
    return std::nullopt;
  }
  const std::string userStand = gf_standNameAt(gf_engineUserLatLon());
  if (stand->id == mainWindow.reservedStandName.get() || (!userStand.empty() && stand->id == userStand)) {
    return std::nullopt;
  }
  if (lf_standWanted(stand->sid, aircraft.callsign) &&
      lf_findCollidingNeighbour(stand->neighbours, *stand, aircraft) == stand->neighbours.end()) {
    lf_makeWay(aircraft, *stand);
    first.stationary = true;
    first.groundSpeed = 0.0;
    return *stand;
  }
  aircraft.remove = true;
  return std::nullopt;
}

void lf_initSimPosition(LiveAc& aircraft) {
  sameRegCheckQueue.push_back(aircraft.hexid);
  const TimedPosition& first = aircraft.stream.front();
  SimPosition& position = aircraft.simPos;
  position.lat = first.lat;
  position.lon = first.lon;
  position.altitude = first.altitude;
  position.verticalSpeed = first.verticalSpeed;
  position.tas = first.tas;
  position.bank = first.roll.value_or(0.0);
  position.pitch = lf_initialPitch(first);
  position.heading = lf_normalizedHeading(lf_initialHeading(aircraft));
  aircraft.targetHeading = first.airborne ? 0.0 : position.heading;
  aircraft.userConflict = false;
}

}  // namespace cvl

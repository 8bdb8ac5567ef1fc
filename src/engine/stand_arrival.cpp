#include "engine/stand_arrival.h"

#include <fmt/format.h>

#include <algorithm>

#include "engine/ac_labels.h"
#include "engine/aircraft_removal.h"
#include "engine/due_window.h"
#include "engine/engine_clock.h"
#include "engine/engine_state.h"
#include "engine/ground_paths.h"
#include "engine/identity_motion.h"
#include "engine/live_parked.h"
#include "engine/livery_respawn.h"
#include "engine/parked_controls.h"
#include "engine/phase_change.h"
#include "engine/stream_points.h"
#include "foundation/geometry.h"
#include "foundation/log.h"
#include "parking/park_pos.h"
#include "parking/stand_names.h"
#include "parking/stand_options.h"

namespace cvl {
namespace {

constexpr std::int32_t shortestWayToStand = 100;     // ticks
constexpr std::int32_t stopAfterStand = 50;          // ticks
constexpr double arrivedNm = 0.0010799136069114472;  // 2 m

void lf_park(LiveAc& aircraft) {
  gf_setPhase(aircraft, AcPhase::parked);
  if (aircraft.towed) {
    gf_logIndented(fmt::format("towed aircraft {} parks", gf_acLabel(aircraft)));
  }
  aircraft.stream.front().stationary = true;
  aircraft.parkedAt = gf_nowIn100ns();
  aircraft.standDriftLast = 0.0;
  aircraft.standDriftCount = 0;
  lf_clearCargoAttribute(aircraft);
  lf_resetAcControls(aircraft);
  gf_log(fmt::format("{:8}: {:8} arrived at stand", gf_standText(aircraft.standId), aircraft.callsign));
  sameRegCheckQueue.push_back(aircraft.hexid);
  lf_addRealStandOption(aircraft.standId, aircraft, 0);
  lf_checkMaxPark(false);
}

}  // namespace

void drive2Stand(LiveAc& aircraft, const StandPlace& stand) {
  auto& stream = aircraft.stream;
  if (stream.empty()) {
    gf_logFlagged(fmt::format("{} empty sz?", "drive2Stand"));
    return;
  }
  const double speed = gf_taxiSpeedOf(aircraft);
  TimedPosition& last = stream.back();
  const LatLon standPoint{stand.lat, stand.lon};
  const std::int32_t ticks =
      std::max(lf_travelTicks(gf_distanceNM(gf_latLonOf(last), standPoint), speed), shortestWayToStand);
  last.groundSpeed = speed;

  const TimedPosition& front = stream.front();
  TimedPosition onStand;
  onStand.lat = stand.lat;
  onStand.lon = stand.lon;
  onStand.altitude = aircraft.simPos.altitude;
  onStand.groundSpeed = speed;
  onStand.tas = speed;
  onStand.track = stand.heading * radiansToDegrees;
  onStand.dueTick = front.dueTick + ticks;
  onStand.stationary = gf_samePoint(last, standPoint);
  onStand.hasTrueHeading = front.hasTrueHeading;
  onStand.roll = aircraft.simPos.bank;
  TimedPosition stop = onStand;
  stop.groundSpeed = 0.0;
  stop.tas = 0.0;
  stop.stationary = true;
  stop.dueTick = onStand.dueTick + stopAfterStand;
  stream.push_back(onStand);
  stream.push_back(stop);

  aircraft.targetHeading = stand.heading;
  if (aircraft.extraCount >= 1) {
    aircraft.extraCount = 0;
    lf_widenDueWindow(aircraft);
  }
}

void lf_arrivedAtStand(LiveAc& aircraft) {
  ParkPos* stand = gf_standBySid(aircraft.standId);
  if (stand != nullptr && stand->makeWayMark) {
    aircraft.extraCount = 1;
    removeAircraftFromSim(aircraft);
    stand->makeWayMark = true;
    return;
  }
  if (gf_distanceNM({aircraft.simPos.lat, aircraft.simPos.lon}, {aircraft.standLat, aircraft.standLon}) > arrivedNm) {
    gf_setPhase(aircraft, AcPhase::taxi);
    return;
  }
  lf_park(aircraft);
}

}  // namespace cvl

#include "engine/stand_departure.h"

#include <fmt/format.h>

#include <array>
#include <numbers>

#include "engine/ground_paths.h"
#include "engine/identity_motion.h"
#include "engine/phase_change.h"
#include "engine/stream_points.h"
#include "engine/tick_count.h"
#include "foundation/geometry.h"
#include "foundation/log.h"
#include "parking/park_pos.h"
#include "parking/stand_names.h"
#include "simlink/client_events.h"

namespace cvl {
namespace {

constexpr double pushBackRadii = 2.5;
constexpr double quarterTurn = std::numbers::pi / 2.0;
constexpr std::array<std::uint32_t, 7> leavingStandLights{1, 1, 0, 1, 0, 1, 0};

// A ground entry at the point at the speed, due `ticks` from now.
TimedPosition lf_taxiEntry(const LatLon& point, double speed, std::int32_t ticks) {
  TimedPosition entry;
  entry.lat = point.lat;
  entry.lon = point.lon;
  entry.groundSpeed = speed;
  entry.dueTick = tickCount + ticks;
  return entry;
}

std::int32_t lf_ticksBetween(const LatLon& from, const LatLon& to, double speed) {
  return lf_travelTicks(gf_distanceNM(from, to), speed);
}

double lf_feet(double nauticalMiles) {
  return nauticalMiles * feetPerNauticalMile;
}

}  // namespace

void lf_pullOut(LiveAc& aircraft) {
  aircraft.departRequest = false;
  aircraft.extraCount = 0;
  const LatLon ahead = gf_destinationPoint({aircraft.standLat, aircraft.standLon}, aircraft.standHeading,
                                           lf_feet(2.0 * aircraft.halfSpan));
  const double speed = gf_taxiSpeedOf(aircraft);
  auto& stream = aircraft.stream;
  stream.front().groundSpeed = speed;
  const TimedPosition out = lf_taxiEntry(ahead, speed, lf_ticksBetween(gf_latLonOf(aircraft.simPos), ahead, speed));
  stream.resize(1);
  stream.push_back(out);
  gf_setPhase(aircraft, AcPhase::taxi);
  aircraft.targetHeading = aircraft.simPos.heading;
  gf_setLights(aircraft.objectId, leavingStandLights);
  gf_engineStart(aircraft.objectId);
  gf_setThrottle(aircraft, 0);
  gf_setFlaps(aircraft, 1);
  gf_log(fmt::format("{:8}: {:8} pulling out", gf_standText(aircraft.standId), aircraft.callsign));
}

void lf_pushBack(LiveAc& aircraft) {
  aircraft.extraCount = 0;
  const double pushDirection = lf_normalizedHeading(aircraft.standHeading + std::numbers::pi);
  const ParkPos* stand = gf_standBySid(aircraft.standId);
  if (stand == nullptr) {
    return;
  }
  const double speed = gf_taxiSpeedOf(aircraft);
  const LatLon straightBack =
      gf_destinationPoint(gf_latLonOf(aircraft.simPos), pushDirection, lf_feet(pushBackRadii * stand->radius));
  auto& stream = aircraft.stream;
  stream.front().groundSpeed = speed;
  aircraft.targetHeading = aircraft.simPos.heading;
  const std::int32_t straightTicks = lf_ticksBetween(gf_latLonOf(aircraft.simPos), straightBack, speed);
  const TimedPosition pushed = lf_taxiEntry(straightBack, speed, straightTicks);
  stream.resize(1);
  stream.push_back(pushed);
  lf_insertMidpoint(aircraft);

  const double sideFeet = lf_feet(aircraft.halfSpan);
  const LatLon right = gf_destinationPoint(straightBack, pushDirection + quarterTurn, sideFeet);
  const LatLon left = gf_destinationPoint(straightBack, pushDirection - quarterTurn, sideFeet);
  const std::int32_t sideTicks = straightTicks / 2 + lf_ticksBetween(gf_latLonOf(stream[1]), right, speed);
  aircraft.pushAltPoint = lf_taxiEntry(right, speed, sideTicks);
  stream.push_back(lf_taxiEntry(left, speed, sideTicks));

  gf_setLights(aircraft.objectId, leavingStandLights);
  gf_setPhase(aircraft, AcPhase::pushing_back);
  aircraft.pushStage = 2;
}

}  // namespace cvl

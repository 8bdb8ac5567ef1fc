#include "engine/user_conflict.h"

#include <cmath>
#include <numbers>

#include "engine/engine_state.h"
#include "engine/ground_paths.h"
#include "engine/stream_points.h"
#include "foundation/geometry.h"
#include "foundation/settings_catalogue.h"
#include "simlink/user_aircraft.h"

namespace cvl {
namespace {

constexpr double slowUserSpeed = 8.0;                     // kt
constexpr double clearOfUserMetres = 500.0;               // a slow newcomer this far from a slow user may come
constexpr double groundConflictNm = 0.08099352051835854;  // 150 m
constexpr double airConflictRangeNm = 6.0;
constexpr double airConflictHeight = 3000.0;  // feet
constexpr double airConflictOffsetFeet = 4000.0;
constexpr double runwayConflictRangeNm = 1.5;
constexpr double runwayConflictAgl = 1000.0;  // feet: the user is about to land or has just taken off
constexpr double runwayConflictOffsetFeet = 500.0;

bool lf_dropFirst(LiveAc& aircraft) {
  aircraft.stream.pop_front();
  return true;
}

bool lf_conflictsOnGround(LiveAc& aircraft) {
  const TimedPosition& first = aircraft.stream.front();
  const double distanceNm = gf_distanceNM(gf_engineUserLatLon(), {first.lat, first.lon});
  if (aircraft.userConflict) {
    if (engineUserPosition.groundVelocity > slowUserSpeed) {
      return lf_dropFirst(aircraft);
    }
    const bool slowAndClear = first.groundSpeed <= slowUserSpeed && distanceNm * 1852.0 >= clearOfUserMetres;
    if (!first.airborne && !slowAndClear) {
      return lf_dropFirst(aircraft);
    }
  }
  if (first.airborne || !COLLISION_USER_GND.value) {
    return false;
  }
  return distanceNm < groundConflictNm && lf_dropFirst(aircraft);
}

// How far (feet) a line along `heading` through the point at `distanceNm` and `bearing` from the user passes the user.
double lf_offsetFeet(double bearing, double heading, double distanceNm) {
  const double fromPerpendicular = std::abs(std::numbers::pi / 2.0 - std::abs(lf_wrappedAngle(bearing - heading)));
  return std::cos(fromPerpendicular) * distanceNm * feetPerNauticalMile;
}

bool lf_conflictsInAir(LiveAc& aircraft) {
  if (!COLLISION_USER_AIR.value) {
    return false;
  }
  if (aircraft.userConflict) {
    return lf_dropFirst(aircraft);
  }
  const TimedPosition& first = aircraft.stream.front();
  const LatLon at{first.lat, first.lon};
  const double distanceNm = gf_distanceNM(gf_engineUserLatLon(), at);
  const double bearing = gf_bearing(gf_engineUserLatLon(), at);
  bool conflict = false;
  if (first.airborne) {
    // The newcomer's own track: a new record has no movement heading yet.
    conflict = distanceNm <= airConflictRangeNm &&
               std::abs(first.altitude - engineUserPosition.altitude) < airConflictHeight &&
               lf_offsetFeet(bearing, first.track * degreesToRadians, distanceNm) <= airConflictOffsetFeet;
  } else {
    const double sideways = std::sin(std::abs(bearing - engineUserPosition.heading)) * distanceNm * feetPerNauticalMile;
    conflict = distanceNm <= runwayConflictRangeNm && engineUserPosition.altitudeAboveGround < runwayConflictAgl &&
               std::abs(sideways) <= runwayConflictOffsetFeet;
  }
  if (!conflict) {
    return false;
  }
  aircraft.userConflict = true;
  return lf_dropFirst(aircraft);
}

}  // namespace

bool lf_conflictsWithUserAc(LiveAc& aircraft) {
  if (aircraft.stream.empty()) {
    return false;
  }
  return userOnGround ? lf_conflictsOnGround(aircraft) : lf_conflictsInAir(aircraft);
}

}  // namespace cvl

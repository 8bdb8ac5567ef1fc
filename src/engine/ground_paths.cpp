#include "engine/ground_paths.h"

#include <fmt/format.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "engine/approach_config.h"
#include "engine/curves.h"
#include "engine/ground_moves.h"
#include "engine/phase_controls.h"
#include "engine/stream_points.h"
#include "engine/take_off.h"
#include "engine/tick_count.h"
#include "foundation/log.h"

namespace cvl {

namespace {

constexpr double ticksPerHour = 360000.0;
constexpr double metresPerNauticalMile = 1852.0;
constexpr std::int32_t narrowestDueWindow = 1000;
constexpr std::int32_t dueWindowStep = 100;
constexpr std::int32_t wideDueWindow = 2000;
constexpr double curveParameterEnd = 0.999999;
constexpr double steeringDeadBand = 0.5 * degreesToRadians;
constexpr double lowestFlarePitch = -4.0 * degreesToRadians;
constexpr double pi = std::numbers::pi;
constexpr double catchUpFactor = 1.2;

double lf_legNm(const LiveAc& aircraft) {
  return gf_distanceNM(gf_latLonOf(aircraft.stream[0]), gf_latLonOf(aircraft.stream[1]));
}

// A tick count within the range of the tick counter (absurd distances and gaps must not overflow it).
std::int32_t lf_clampedTicks(double ticks) {
  constexpr double lowest = std::numeric_limits<std::int32_t>::min();
  constexpr double highest = std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(std::clamp(ticks, lowest, highest));
}

// Turns the heading towards the goal by at most maxStep, never past it, unless it is within the dead band already.
void lf_steerTowards(LiveAc& aircraft, double goal, double maxStep) {
  const double difference = lf_wrappedAngle(goal - aircraft.simPos.heading);
  if (std::abs(difference) <= steeringDeadBand) {
    return;
  }
  const double step = std::min(maxStep, std::abs(difference));
  aircraft.simPos.heading = lf_normalizedHeading(aircraft.simPos.heading + (difference > 0.0 ? step : -step));
}

void lf_moveAlongCurve(LiveAc& aircraft) {
  aircraft.curveT = std::clamp(aircraft.curveT + aircraft.curveStep, 0.0, curveParameterEnd);
  LatLon position;
  double heading = 0.0;
  if (!lf_curvePoint(aircraft, aircraft.curveT, position, heading)) {
    gf_log(fmt::format("{} error in curve at index: {:.2F}", aircraft.callsign, aircraft.curveT));
    return;
  }
  aircraft.simPos.lat = position.lat;
  aircraft.simPos.lon = position.lon;
  if (aircraft.phase == AcPhase::pushing_back) {
    heading = lf_normalizedHeading(heading + pi);
  }
  lf_steerTowards(aircraft, heading, aircraft.turnStepNow);
}

void lf_moveByStep(LiveAc& aircraft) {
  switch (aircraft.phase) {
    case AcPhase::take_off:
    case AcPhase::flying:
    case AcPhase::parked:
    case AcPhase::birth:
      aircraft.simPos.heading = lf_normalizedHeading(aircraft.simPos.heading + aircraft.stepHeading);
      break;
    case AcPhase::pushing_back:
    case AcPhase::pushed_back:
    case AcPhase::taxi:
    case AcPhase::parking:
      if (aircraft.phase == AcPhase::parking || aircraft.turnToTarget) {
        lf_steerTowards(aircraft, aircraft.targetHeading, aircraft.turnStepNow);
      }
      break;
  }
  if (aircraft.phase != AcPhase::pushed_back) {
    aircraft.simPos.lat += aircraft.stepLat;
    aircraft.simPos.lon += aircraft.stepLon;
  }
}

// The nose comes down after touchdown until it reaches the static pitch, moving in the direction of stepPitch.
void lf_derotate(LiveAc& aircraft) {
  SimPosition& position = aircraft.simPos;
  position.pitch += aircraft.stepPitch;
  const bool passed = aircraft.stepPitch > 0.0   ? position.pitch >= aircraft.staticPitch
                      : aircraft.stepPitch < 0.0 ? position.pitch <= aircraft.staticPitch
                                                 : true;
  if (passed) {
    position.pitch = aircraft.staticPitch;
    aircraft.stepPitch = 0.0;
    position.bank = 0.0;
    aircraft.stepBank = 0.0;
    aircraft.derotate = false;
    aircraft.flareStage = 0;
  }
  position.bank += aircraft.stepBank;
}

void lf_updateAttitude(LiveAc& aircraft) {
  SimPosition& position = aircraft.simPos;
  if (aircraft.phase == AcPhase::take_off) {
    lf_takeOffTick(aircraft);
    return;
  }
  lf_flareTick(aircraft);
  if (aircraft.derotate) {
    lf_derotate(aircraft);
  } else if (aircraft.flareStage != 0) {
    position.bank = std::clamp(position.bank + aircraft.stepBank, -pi, pi);
    position.pitch = std::max(position.pitch + aircraft.stepPitch, lowestFlarePitch);
    position.altitude += aircraft.stepAlt;
  } else if (aircraft.onGround) {
    position.pitch = aircraft.staticPitch;
    position.bank = 0.0;
  } else {
    position.bank += aircraft.stepBank;
    position.pitch += aircraft.stepPitch;
    position.altitude += aircraft.stepAlt;
  }
}

double lf_normalizedLongitude(double lon) {
  return lf_wrappedAngle(lon * degreesToRadians) * radiansToDegrees;
}

void lf_normalizePosition(SimPosition& position) {
  if (position.lat > 90.0) {
    position.lat = 180.0 - position.lat;
    position.lon += 180.0;
  } else if (position.lat < -90.0) {
    position.lat = -180.0 - position.lat;
    position.lon += 180.0;
  }
  position.lon = lf_normalizedLongitude(position.lon);
  if (position.lon >= 180.0) {
    position.lon = -180.0;
  }
}

void lf_setSteps(LiveAc& aircraft) {
  const TimedPosition& next = aircraft.stream[1];
  const std::int32_t ticks = std::max(next.dueTick - tickCount, minTravelTicks);
  aircraft.stepLat = (next.lat - aircraft.simPos.lat) / ticks;
  // The short way round, also across the antimeridian.
  aircraft.stepLon = lf_normalizedLongitude(next.lon - aircraft.simPos.lon) / ticks;
  if (aircraft.onGround) {
    lf_groundControls(aircraft);
  } else {
    lf_airControls(aircraft);
  }
}

void lf_scheduleByFlight(LiveAc& aircraft) {
  if (aircraft.onGround) {
    nextPosGround(aircraft);
  } else if (!aircraft.stream[1].stationary) {
    lf_scheduleAir(aircraft);
  } else if (aircraft.category == AcCategory::Rotorcraft) {
    lf_scheduleGround(aircraft);
  }
}

// An aircraft behind its reports' timeline (after a gap, or after legs that took longer than their reports) flies
// faster, at most by catchUpFactor over its speed, until it reaches the next entry at its reported due tick; never
// earlier.
std::int32_t lf_catchUpTicks(const LiveAc& aircraft, std::int32_t ticks) {
  const TimedPosition& next = aircraft.stream[1];
  const std::int64_t dueIn = static_cast<std::int64_t>(next.dueTick) - tickCount;
  if (aircraft.extraCount >= 1 || ticks <= dueIn) {
    return ticks;
  }
  const double fastest = std::max(lf_pairSpeed(aircraft), next.groundSpeed) * catchUpFactor;
  const std::int32_t fastestTicks =
      std::max(lf_travelTicks(gf_distanceNM(gf_latLonOf(aircraft.simPos), gf_latLonOf(next)), fastest), minTravelTicks);
  return static_cast<std::int32_t>(std::min<std::int64_t>(ticks, std::max<std::int64_t>(dueIn, fastestTicks)));
}

// Scales the ground turn rate so that a curve or a turn towards the target fits the time of the leg.
void lf_fitTurnToLeg(LiveAc& aircraft, std::int32_t ticks, double legNm) {
  const double angle = aircraft.turnToTarget ? aircraft.headingGap : aircraft.curveTurn;
  if (!(angle > 0.0) || !(legNm > 0.0) || !(aircraft.turnStepNow > 0.0)) {
    return;
  }
  const double turnTicks = std::max(std::round(angle / aircraft.turnStepNow / 100.0), 1.0);
  double ratio = ticks / turnTicks;
  if (angle > 45.0) {
    ratio = std::min(ratio, std::max(angle, 90.0) / 30.0);
    aircraft.turnStepNow *= ratio;
    if (angle >= 90.0) {
      aircraft.dueBehind = std::max(aircraft.dueBehind, wideDueWindow);
      aircraft.dueAhead = std::max(aircraft.dueAhead, wideDueWindow);
    }
    return;
  }
  if (ratio >= 1.2) {
    ratio = std::max({ratio, ratio * 10.0 / angle, ratio * 30.0 / (legNm * metresPerNauticalMile)});
  }
  if (ratio > 0.0) {
    aircraft.turnStepNow /= ratio;
  }
}

}  // namespace

double lf_normalizedHeading(double radians) {
  if (!std::isfinite(radians)) {
    return 0.0;
  }
  double heading = std::fmod(radians, 2.0 * pi);
  if (heading < 0.0) {
    heading += 2.0 * pi;
  }
  return heading >= 2.0 * pi ? 0.0 : heading;
}

double lf_wrappedAngle(double radians) {
  return lf_normalizedHeading(radians + pi) - pi;
}

std::int32_t lf_travelTicks(double distanceNm, double speedKt) {
  const double speed = std::isfinite(speedKt) && speedKt > 0.0 ? speedKt : 1.0;
  const double distance = std::isfinite(distanceNm) ? distanceNm : 0.0;
  return lf_clampedTicks(std::round(distance * ticksPerHour / speed));
}

double lf_pairSpeed(const LiveAc& aircraft) {
  const TimedPosition& current = aircraft.stream[0];
  const TimedPosition& next = aircraft.stream[1];
  if (current.groundSpeed == 0.0 && next.groundSpeed == 0.0) {
    const std::int32_t gap = std::max(next.dueTick - current.dueTick, minTravelTicks);
    return std::max(lf_legNm(aircraft) * ticksPerHour / gap, 1.0);
  }
  return (current.groundSpeed + next.groundSpeed) / 2.0;
}

double lf_turnAhead(const LiveAc& aircraft) {
  const auto& stream = aircraft.stream;
  if (stream.size() < 3) {
    return 0.0;
  }
  return lf_wrappedAngle(gf_bearing(gf_latLonOf(stream[1]), gf_latLonOf(stream[2])) - aircraft.simPos.heading);
}

void lf_insertMidpoint(LiveAc& aircraft) {
  auto& stream = aircraft.stream;
  if (stream.size() < 2) {
    return;
  }
  const TimedPosition& current = stream[0];
  const TimedPosition& next = stream[1];
  TimedPosition middle = current;
  middle.lat = (current.lat + next.lat) / 2.0;
  middle.lon = lf_normalizedLongitude(current.lon + lf_normalizedLongitude(next.lon - current.lon) / 2.0);
  middle.groundSpeed = (current.groundSpeed + next.groundSpeed) / 2.0;
  middle.altitude = (current.altitude + next.altitude) / 2.0;
  middle.dueTick = static_cast<std::int32_t>(
      std::llround((static_cast<double>(current.dueTick) + static_cast<double>(next.dueTick)) / 2.0));
  middle.airborne = middle.altitude > 0.0;
  if (!middle.airborne) {
    middle.altitude = 0.0;
  }
  middle.stationary = false;
  stream.insert(stream.begin() + 1, middle);
}

void lf_smoothSpeed(LiveAc& aircraft) {
  if (aircraft.stream.size() < 2) {
    return;
  }
  const double before = aircraft.stream[0].groundSpeed;
  const double after = aircraft.stream[1].groundSpeed;
  if ((before > 0.0 || after > 0.0) && std::abs(before - after) > 5.0 &&
      lf_legNm(aircraft) * metresPerNauticalMile >= 100.0) {
    lf_insertMidpoint(aircraft);
  }
}

void lf_setNextDue(LiveAc& aircraft, std::int32_t ticks) {
  TimedPosition& next = aircraft.stream[1];
  const std::int64_t now = tickCount;
  std::int64_t due = now + ticks;
  if (aircraft.extraCount < 1) {
    due = std::clamp<std::int64_t>(due, static_cast<std::int64_t>(next.dueTick) - aircraft.dueBehind,
                                   static_cast<std::int64_t>(next.dueTick) + aircraft.dueAhead);
  }
  next.dueTick = lf_clampedTicks(static_cast<double>(std::max(due, now)));
}

void lf_narrowDueWindow(LiveAc& aircraft) {
  for (std::int32_t* window : {&aircraft.dueBehind, &aircraft.dueAhead}) {
    if (*window > narrowestDueWindow) {
      *window = std::max(*window - dueWindowStep, narrowestDueWindow);
    }
  }
}

void lf_scheduleAir(LiveAc& aircraft) {
  const TimedPosition& current = aircraft.stream[0];
  const TimedPosition& next = aircraft.stream[1];
  if (aircraft.approach && !next.airborne) {
    const double touchdownSpeed = current.groundSpeed > 0.0 ? current.groundSpeed : 100.0;
    lf_setNextDue(aircraft, std::max(lf_travelTicks(lf_legNm(aircraft), touchdownSpeed), minTravelTicks));
    return;
  }
  const std::int32_t ticks = std::max(lf_travelTicks(lf_legNm(aircraft), lf_pairSpeed(aircraft)), minTravelTicks);
  lf_setNextDue(aircraft, lf_catchUpTicks(aircraft, ticks));
}

void lf_scheduleGround(LiveAc& aircraft) {
  const TimedPosition& current = aircraft.stream[0];
  const TimedPosition& next = aircraft.stream[1];
  if (next.stationary) {
    const std::int32_t gap = std::max(next.dueTick - current.dueTick, minTravelTicks);
    const std::int64_t ticks =
        std::max<std::int64_t>(static_cast<std::int64_t>(current.dueTick) - tickCount + gap, minTravelTicks);
    lf_setNextDue(aircraft, lf_clampedTicks(static_cast<double>(ticks)));
    return;
  }
  aircraft.turnStepNow = aircraft.turnStep;
  const double legNm = lf_legNm(aircraft);
  const std::int32_t ticks = std::max(lf_travelTicks(legNm, lf_pairSpeed(aircraft)), minTravelTicks);
  if (lf_hasCurve(aircraft) || aircraft.turnToTarget) {
    lf_fitTurnToLeg(aircraft, ticks, legNm);
  }
  lf_setNextDue(aircraft, ticks);
}

void lf_stepStream(LiveAc& aircraft) {
  auto& stream = aircraft.stream;
  if (stream.size() < 2) {
    return;
  }
  lf_clearCurve(aircraft);
  if (!stream[1].stationary && gf_samePoint(stream[0], stream[1])) {
    stream[1].stationary = true;
  }
  if (!stream[1].stationary) {
    aircraft.targetHeading = gf_bearing(gf_latLonOf(stream[0]), gf_latLonOf(stream[1]));
  }
  lf_scheduleByFlight(aircraft);
  if (stream[1].stationary) {
    aircraft.stepLat = 0.0;
    aircraft.stepLon = 0.0;
    if (!aircraft.takeOffRoll && !aircraft.rollout) {
      lf_narrowDueWindow(aircraft);
    }
  } else {
    lf_setSteps(aircraft);
  }
  stream.pop_front();
}

void lf_followCurve(LiveAc& aircraft) {
  if (lf_hasCurve(aircraft)) {
    lf_moveAlongCurve(aircraft);
  } else {
    lf_moveByStep(aircraft);
  }
  lf_updateAttitude(aircraft);
  lf_normalizePosition(aircraft.simPos);
}

void lf_turnOnStand(LiveAc& aircraft) {
  if (aircraft.phase == AcPhase::parked && aircraft.standId != 0) {
    lf_steerTowards(aircraft, aircraft.standHeading, aircraft.turnStep);
  }
}

}  // namespace cvl

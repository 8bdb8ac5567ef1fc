#include "engine/position_append.h"

#include <fmt/format.h>

#include <algorithm>
#include <cmath>
#include <exception>
#include <optional>
#include <utility>

#include "engine/aircraft_removal.h"
#include "engine/phase_change.h"
#include "engine/stream_extension.h"
#include "engine/stream_points.h"
#include "engine/take_off.h"
#include "engine/tick_count.h"
#include "foundation/geometry.h"
#include "foundation/log.h"
#include "foundation/settings_catalogue.h"

namespace cvl {
namespace {

constexpr std::size_t longestStream = 200;
constexpr double nearPointDegrees = 0.00015;
// A stationary run is cut back to the last moving entry when that one is this recent, or this near.
constexpr std::int32_t recentMoveTicks = 1500;
constexpr double nearMoveNm = 0.011879049676025918;  // 22 m
constexpr std::size_t movingLookBack = 5;
constexpr double takeOffRollSpeed = 43.0;  // kt

// A stationary report after a stationary end: a wholly stationary stream shrinks to its first entry. A moving report
// after a stationary end: the stationary entries after a recent or near moving one are dropped.
void lf_trimStationaryRun(LiveAc& aircraft, const TimedPosition& position) {
  auto& stream = aircraft.stream;
  if (position.stationary) {
    const bool allStationary =
        std::all_of(stream.begin(), stream.end(), [](const TimedPosition& entry) { return entry.stationary; });
    if (allStationary && stream.size() > 1) {
      stream.resize(1);
    }
    return;
  }
  if (stream.size() < 3) {
    return;
  }
  const std::size_t newest = stream.size() - 2;
  const std::size_t oldest = stream.size() > movingLookBack + 1 ? stream.size() - movingLookBack - 1 : 0;
  for (std::size_t i = newest + 1; i-- > oldest;) {
    const TimedPosition& entry = stream[i];
    if (entry.stationary) {
      continue;
    }
    if (stream.back().dueTick - entry.dueTick < recentMoveTicks ||
        gf_distanceNM(gf_latLonOf(entry), gf_latLonOf(position)) < nearMoveNm) {
      stream.erase(stream.begin() + static_cast<std::ptrdiff_t>(i) + 1, stream.end());
    }
    return;
  }
}

// Due ticks strictly increase along the stream.
void lf_keepDueRising(const LiveAc& aircraft, TimedPosition& position) {
  if (!aircraft.stream.empty() && position.dueTick <= aircraft.stream.back().dueTick) {
    position.dueTick = aircraft.stream.back().dueTick + 1;
  }
}

void lf_touchAndGo(LiveAc& aircraft) {
  gf_setPhase(aircraft, AcPhase::taxi);
  lf_beginTakeOffRoll(aircraft, 3, 1);
}

// An aircraft rolling on the ground: a landing one that lifts off again goes around; a taxiing one at take-off
// speed, or lifting off, starts its take-off roll.
void lf_checkGroundRoll(LiveAc& aircraft, const TimedPosition& position) {
  if (!aircraft.onGround || aircraft.takeOffRoll || aircraft.state != AcState::active || aircraft.stream.empty()) {
    return;
  }
  const TimedPosition& last = aircraft.stream.back();
  if (aircraft.rollout) {
    if (last.airborne && position.airborne) {
      lf_touchAndGo(aircraft);
    }
    return;
  }
  const bool rolling =
      !position.airborne && position.groundSpeed >= takeOffRollSpeed && last.groundSpeed >= takeOffRollSpeed;
  if ((rolling || position.airborne) && aircraft.phase == AcPhase::taxi) {
    lf_towedTakeOff(aircraft);
  }
}

void lf_append(LiveAc& aircraft, TimedPosition& position) {
  auto& stream = aircraft.stream;
  if (!position.airborne && !stream.empty() && stream.back().stationary) {
    lf_trimStationaryRun(aircraft, position);
  }
  lf_keepDueRising(aircraft, position);
  lf_checkGroundRoll(aircraft, position);
  stream.push_back(position);
  if (stream.size() == 2 && stream[0].stationary && stream[1].stationary) {
    stream[0].dueTick = tickCount + 1;
    stream[0].groundSpeed = stream[1].groundSpeed;
  }
}

void lf_appendMoving(LiveAc& aircraft, TimedPosition& position) {
  if (checkExtendingSituations(aircraft, position)) {
    lf_append(aircraft, position);
  }
}

// Created at its stand, an aircraft whose flight has moved off it by more than half a span meanwhile leaves it now,
// however far the flight has gone since.
bool lf_leftStandMeanwhile(const LiveAc& aircraft, const TimedPosition& report) {
  return aircraft.phase == AcPhase::parked &&
         gf_distanceNM(gf_latLonOf(report), {aircraft.standLat, aircraft.standLon}) > aircraft.halfSpan;
}

void lf_appendAtBirth(LiveAc& aircraft, TimedPosition& position) {
  if (aircraft.stream.empty() || !lf_checkStandstill(aircraft, position)) {
    return;
  }
  lf_keepDueRising(aircraft, position);
  aircraft.stream.push_back(position);
}

// Too long a stream means the aircraft no longer plays its reports back; one holding too far from where it began
// to hold has left.
bool lf_mustGo(LiveAc& aircraft, const TimedPosition& position) {
  if (aircraft.stream.size() > longestStream) {
    removeAircraftFromSim(aircraft);
    return true;
  }
  if (aircraft.holding && !aircraft.stream.empty() &&
      gf_distanceNM(gf_latLonOf(position), gf_latLonOf(aircraft.stream.front())) * 1852.0 >
          HOLDING_THRESHOLD_METERS.value) {
    aircraft.holding = false;
    aircraft.holdStart = 0;
    removeAircraftFromSim(aircraft);
  }
  return false;
}

// Drops every rule for a position equal to the last one: the airborne and the flying, and a fast roll.
bool lf_dropsRepeat(const LiveAc& aircraft, const TimedPosition& position, const TimedPosition& last, double fastRoll) {
  if (position.airborne || (aircraft.state == AcState::active && !aircraft.onGround)) {
    return true;
  }
  return aircraft.takeOffRoll && position.groundSpeed > 0.0 && last.groundSpeed >= fastRoll;
}

}  // namespace

void decodeExisting(LiveAc& aircraft, TimedPosition& position) {
  try {
    if (lf_mustGo(aircraft, position)) {
      return;
    }
    if (aircraft.phase != AcPhase::birth) {
      lf_appendMoving(aircraft, position);
    } else {
      lf_appendAtBirth(aircraft, position);
    }
  } catch (const std::exception& e) {
    gf_logFlagged(fmt::format("{} exception {}", "decodeExisting", e.what()));
  }
}

void gf_playHeldReport(LiveAc& aircraft) {
  std::optional<TimedPosition> report = std::exchange(aircraft.heldReport, std::nullopt);
  if (!report) {
    return;
  }
  if (lf_leftStandMeanwhile(aircraft, *report)) {
    lf_markDeparture(aircraft, *report);
    lf_append(aircraft, *report);
    return;
  }
  decodeExisting(aircraft, *report);
}

bool lf_checkStandstill(LiveAc& aircraft, TimedPosition& position) {
  const TimedPosition& last = aircraft.stream.back();
  const double latGap = std::abs(position.lat - last.lat);
  const double lonGap = std::abs(position.lon - last.lon);
  const bool samePoint = latGap < samePointDegrees && lonGap < samePointDegrees;
  position.stationary = samePoint;
  if (aircraft.category == AcCategory::Rotorcraft) {
    return true;
  }
  if (samePoint) {
    if (lf_dropsRepeat(aircraft, position, last, 30.0)) {
      return false;
    }
    position.groundSpeed = 0.0;
    return true;
  }
  if (latGap < nearPointDegrees && lonGap < nearPointDegrees) {
    if (lf_dropsRepeat(aircraft, position, last, 50.0)) {
      return false;
    }
    // The report only jitters around the last point: it repeats that point, keeping its own due tick.
    const std::int32_t due = position.dueTick;
    position = last;
    position.dueTick = due;
    position.groundSpeed = 0.0;
    position.stationary = true;
    return true;
  }
  if (position.groundSpeed != 0.0) {
    return true;
  }
  if (!aircraft.takeOffRoll && !position.airborne) {
    return true;
  }
  return last.groundSpeed < 50.0;
}

}  // namespace cvl

#include "engine/stream_extension.h"

#include <fmt/format.h>

#include <cmath>
#include <numbers>

#include "engine/aircraft_removal.h"
#include "engine/engine_clock.h"
#include "engine/ground_paths.h"
#include "engine/phase_change.h"
#include "engine/position_append.h"
#include "engine/stream_points.h"
#include "engine/tick_count.h"
#include "foundation/geometry.h"
#include "foundation/log.h"
#include "foundation/settings_catalogue.h"
#include "parking/park_pos.h"
#include "parking/stand_options.h"

namespace cvl {
namespace {

constexpr double standRadiusNm = 0.0458963282937365;   // 85 m
constexpr double leftStandNm = 0.10799136069114472;    // 200 m
constexpr double driftStepNm = 0.0016198704103671706;  // 3 m
constexpr std::int32_t driftSteps = 3;
// Ticks a parked aircraft's made-up position lies ahead (a week).
constexpr std::int32_t weekAheadTicks = 60480000;
constexpr double landingTurnDegrees = 90.0;
constexpr double rolloutTurnDegrees = 150.0;
constexpr double rolloutSpeedCap = 40.0;  // kt

// Degrees between the aircraft's current heading and the way from the entry to the position.
double lf_offHeadingDegrees(const LiveAc& aircraft, const TimedPosition& from, const TimedPosition& to) {
  return std::abs(lf_wrappedAngle(gf_bearing(gf_latLonOf(from), gf_latLonOf(to)) - aircraft.simPos.heading)) *
         radiansToDegrees;
}

// Reports are again played as they come: the first entry falls due now and the due windows widen.
void lf_endMadeUpPositions(LiveAc& aircraft) {
  aircraft.extraCount = 0;
  aircraft.dueAhead = aircraft.takeOffRoll ? 5000 : 3000;
  aircraft.dueBehind = 3000;
}

void lf_firstDueNow(LiveAc& aircraft) {
  if (!aircraft.stream.empty()) {
    aircraft.stream.front().dueTick = tickCount + 1;
  }
}

// A report at the stand: departure once it has drifted away steadily by half a span, or by a whole span at once.
bool lf_atStand(LiveAc& aircraft, TimedPosition& position, double distanceNm) {
  aircraft.parkedAt = gf_nowIn100ns();
  if (aircraft.standDriftLast == 0.0) {
    aircraft.standDriftStart = distanceNm;
    aircraft.standDriftLast = distanceNm;
    aircraft.standDriftCount = 0;
  } else if (distanceNm >= aircraft.standDriftLast + driftStepNm) {
    aircraft.standDriftLast = distanceNm;
    ++aircraft.standDriftCount;
    const double drift = distanceNm - aircraft.standDriftStart;
    if ((aircraft.standDriftCount >= driftSteps && drift >= aircraft.halfSpan * 0.5) || drift > aircraft.halfSpan) {
      lf_markDeparture(aircraft, position);
      return true;
    }
  } else if (distanceNm <= aircraft.standDriftLast - driftStepNm) {
    aircraft.standDriftCount = 0;
  }
  aircraft.departRequest = false;
  return false;
}

double lf_standDistanceNm(const LiveAc& aircraft, const TimedPosition& position) {
  return gf_distanceNM(gf_latLonOf(position), {aircraft.standLat, aircraft.standLon});
}

// While the aircraft is not in the simulator, being created or waiting after its creation was given up, its newest
// report is kept for when it is. One waiting in the buffer whose flight has left its stand goes: its next reports bring
// it back where the flight is.
void lf_keepReportWhileCreated(LiveAc& aircraft, const TimedPosition& position) {
  if (aircraft.state == AcState::buffer && lf_standDistanceNm(aircraft, position) > standRadiusNm) {
    aircraft.remove = true;
    return;
  }
  aircraft.heldReport = position;
}

bool lf_whileParked(LiveAc& aircraft, TimedPosition& position) {
  if (aircraft.state == AcState::buffer || aircraft.state == AcState::adding2sim) {
    lf_keepReportWhileCreated(aircraft, position);
    return false;
  }
  aircraft.parkedListed = true;
  const double distanceNm = lf_standDistanceNm(aircraft, position);
  const double radius = aircraft.prevPhase == AcPhase::parking ? 2.0 * standRadiusNm : standRadiusNm;
  if (distanceNm <= radius) {
    return lf_atStand(aircraft, position, distanceNm);
  }
  if (aircraft.phase == AcPhase::parking) {
    gf_setPhase(aircraft, AcPhase::taxi);
    position.stationary = false;
    return true;
  }
  if (distanceNm > leftStandNm && aircraft.phase == AcPhase::parked) {
    lf_addRealStandOption(aircraft.standId, aircraft, 3);
    removeAircraftFromSim(aircraft);
    return false;
  }
  lf_markDeparture(aircraft, position);
  return true;
}

// Pushing back: the newest report is held for when the push-back ends, so that a flight that has taxied on meanwhile
// is followed from there; the side the tug turns to is taken from the reports.
bool lf_whilePushingBack(LiveAc& aircraft, const TimedPosition& position) {
  aircraft.heldReport = position;
  if (STRAIGHT_PBS_ONLY.value || aircraft.pushStage != 2) {
    return false;
  }
  double heading = 0.0;
  if (position.trueHeading) {
    heading = *position.trueHeading;
  } else if (position.track != 0.0) {
    heading = position.track * degreesToRadians;
  } else {
    return false;
  }
  aircraft.pushTurnRight = lf_wrappedAngle(heading - aircraft.simPos.heading) > 0.0;
  aircraft.pushTurn = true;
  return false;
}

// Pushed back: a report clearly away from the push-back point starts the taxi; until then the aircraft holds.
bool lf_whilePushedBack(LiveAc& aircraft, TimedPosition& position) {
  const double distanceNm = gf_distanceNM({aircraft.simPos.lat, aircraft.simPos.lon}, gf_latLonOf(position));
  const bool leaves = (distanceNm > aircraft.halfSpan * 2.75 && distanceNm > aircraft.pushedBackDistance) ||
                      distanceNm > aircraft.halfSpan * 6.0;
  if (!leaves) {
    if (!aircraft.holding) {
      aircraft.holding = true;
      aircraft.holdStart = tickCount;
    }
    aircraft.pushedBackDistance = distanceNm;
    return false;
  }
  position.stationary = false;
  if (aircraft.extraCount > 0) {
    lf_firstDueNow(aircraft);
    lf_endMadeUpPositions(aircraft);
  }
  aircraft.pushTurn = false;
  aircraft.pushStage = 0;
  gf_setPhase(aircraft, AcPhase::taxi);
  aircraft.standLat = 0.0;
  aircraft.standLon = 0.0;
  aircraft.standId = 0;
  aircraft.standCargo = false;
  aircraft.holding = false;
  aircraft.holdStart = 0;
  return true;
}

bool lf_whileMoving(LiveAc& aircraft, TimedPosition& position) {
  if (aircraft.stream.empty()) {
    // Nothing to compare with: the report is the best position there is.
    gf_logFlagged(fmt::format("{} empty sz?", "checkExtendingSituations"));
    return true;
  }
  if (!lf_checkStandstill(aircraft, position)) {
    return false;
  }
  if (aircraft.extraCount <= 0) {
    return true;
  }
  // A real report wins over the positions made up along the old heading at once, also one that lies behind them (the
  // flight turned while its reports were missing): the aircraft turns from where it is towards the report and catches
  // up with its reports' timeline.
  lf_endMadeUpPositions(aircraft);
  lf_firstDueNow(aircraft);
  aircraft.holding = false;
  aircraft.holdStart = 0;
  return true;
}

// A single entry left in the roll-out: the stream starts again from where the aircraft is.
void lf_restartFromHere(LiveAc& aircraft) {
  TimedPosition here = aircraft.stream.front();
  here.lat = aircraft.simPos.lat;
  here.lon = aircraft.simPos.lon;
  here.dueTick = tickCount + 1;
  aircraft.stream.clear();
  aircraft.stream.push_back(here);
}

}  // namespace

bool checkExtendingSituations(LiveAc& aircraft, TimedPosition& position) {
  switch (aircraft.phase) {
    case AcPhase::parking:
    case AcPhase::parked:
      return lf_whileParked(aircraft, position);
    case AcPhase::pushing_back:
      return lf_whilePushingBack(aircraft, position);
    case AcPhase::pushed_back:
      return lf_whilePushedBack(aircraft, position);
    default:
      break;
  }
  if (aircraft.approach || aircraft.rollout) {
    return checkNewPosDuringLanding(aircraft, position);
  }
  return lf_whileMoving(aircraft, position);
}

bool checkNewPosDuringLanding(LiveAc& aircraft, TimedPosition& position) {
  auto& stream = aircraft.stream;
  if (stream.empty()) {
    gf_logFlagged(fmt::format("{} empty sz?", "checkNewPosDuringLanding"));
    return false;
  }
  if (gf_samePoint(position, stream.back())) {
    return false;
  }
  if (stream.size() >= 2) {
    if (lf_offHeadingDegrees(aircraft, stream.back(), position) >= landingTurnDegrees) {
      stream.pop_back();
      if (stream.size() >= 2 && lf_offHeadingDegrees(aircraft, stream.back(), position) >= landingTurnDegrees) {
        stream.pop_back();
      }
    }
  } else {
    const double offDegrees = lf_offHeadingDegrees(aircraft, stream.back(), position);
    if (aircraft.approach) {
      if (offDegrees >= landingTurnDegrees) {
        return false;
      }
    } else if (offDegrees >= rolloutTurnDegrees && aircraft.extraCount > 0) {
      return false;
    } else {
      lf_restartFromHere(aircraft);
    }
  }
  if (aircraft.extraCount > 0) {
    lf_endMadeUpPositions(aircraft);
  }
  const TimedPosition& last = stream.back();
  position.stationary = gf_samePoint(position, last);
  if (position.groundSpeed > last.groundSpeed && position.groundSpeed > rolloutSpeedCap) {
    position.groundSpeed = last.groundSpeed;
  }
  return true;
}

void lf_markDeparture(LiveAc& aircraft, TimedPosition& position) {
  position.stationary = false;
  aircraft.departRequest = true;
  if (aircraft.prevPhase == AcPhase::parked) {
    return;
  }
  if (aircraft.extraCount >= 1) {
    if (aircraft.phase == AcPhase::parked && aircraft.towRequest && !aircraft.stream.empty()) {
      const std::int64_t stoodTicks =
          static_cast<std::int64_t>(tickCount) - aircraft.stream.front().dueTick + weekAheadTicks;
      std::int64_t towLimit = 0;
      switch (aircraft.category) {
        case AcCategory::Heavy:
          towLimit = 360000;
          break;
        case AcCategory::Large:
          towLimit = 150000;
          break;
        case AcCategory::Buzjets:
          towLimit = 90000;
          break;
        default:
          break;
      }
      aircraft.towed = stoodTicks < towLimit;
    }
    aircraft.towRequest = false;
    lf_firstDueNow(aircraft);
    lf_endMadeUpPositions(aircraft);
  }
  lf_addRealStandOption(aircraft.standId, aircraft, 2);
  if (ParkPos* stand = gf_standBySid(aircraft.standId)) {
    stand->makeWayMark = false;
  }
  gf_setPhase(aircraft, AcPhase::parked);
}

}  // namespace cvl

#include "engine/ground_moves.h"

#include <algorithm>
#include <cmath>

#include "engine/curves.h"
#include "engine/ground_paths.h"
#include "engine/identity_motion.h"
#include "engine/phase_change.h"
#include "engine/stand_departure.h"
#include "engine/stand_parking.h"
#include "engine/stream_points.h"
#include "foundation/geometry.h"
#include "foundation/settings_catalogue.h"
#include "parking/park_pos.h"
#include "simlink/client_events.h"

namespace cvl {

namespace {

constexpr double longSlowLegNm = 0.02699784017278618;  // 50 m
constexpr double slowTaxiKt = 43.0;
constexpr std::int32_t slowLegTicks = 600;
constexpr double headingGapToSteer = 3.0;  // degrees
constexpr double pushTurnDegrees = 90.0;
constexpr double pushedBackDistance = 900.0;
constexpr double parkingSpeedKt = 5.0;
constexpr double nearLastEntryNm = 0.018898488120950324;  // 35 m

// The push-back's second stage turns the tail to the chosen side along a quarter-turn curve, or runs on straight;
// the last stage ends it with the engines running.
void lf_pushBackStage(LiveAc& aircraft) {
  --aircraft.pushStage;
  if (aircraft.pushStage == 1) {
    auto& stream = aircraft.stream;
    if (!aircraft.pushTurn || STRAIGHT_PBS_ONLY.value) {
      if (stream.size() > 2) {
        stream.pop_back();  // the side point
      }
      return;
    }
    if (aircraft.pushTurnRight) {
      stream.back() = aircraft.pushAltPoint;
    }
    lf_buildCurve(aircraft);
    const double turnTicks = std::max(std::round(pushTurnDegrees / gf_turnStepNowOf(aircraft) / 100.0), 1.0);
    aircraft.curveStep = 1.0 / turnTicks;
    aircraft.curveTurn = pushTurnDegrees;
    return;
  }
  if (aircraft.pushStage < 1) {
    aircraft.targetHeading = aircraft.simPos.heading;
    gf_engineStart(aircraft.objectId);
    gf_setThrottle(aircraft, 0);
    gf_setFlaps(aircraft, 1);
    gf_setPhase(aircraft, AcPhase::pushed_back);
    aircraft.pushStage = 1;
    aircraft.pushedBackDistance = pushedBackDistance;
    aircraft.extraCount = 0;
    aircraft.departRequest = false;
  }
}

// Nose first when the way out (towards the last reported position) lies less than 90 degrees off the stand heading.
void lf_leaveStand(LiveAc& aircraft) {
  const double wayOut = gf_bearing({aircraft.standLat, aircraft.standLon}, gf_latLonOf(aircraft.stream.back()));
  const double offDegrees = std::round(lf_wrappedAngle(wayOut - aircraft.standHeading) * radiansToDegrees);
  if (std::abs(offDegrees) < 90.0) {
    lf_pullOut(aircraft);
  } else {
    lf_pushBack(aircraft);
  }
}

void lf_whileParked(LiveAc& aircraft) {
  aircraft.dueAhead = aircraft.takeOffRoll ? 5000 : 3000;
  aircraft.dueBehind = 3000;
  if (aircraft.departRequest) {
    lf_leaveStand(aircraft);
  }
}

// A sharp corner after a long slow leg gets a midpoint; a moderate corner a curve; a straight leg at most a midpoint
// where the speed changes much.
void lf_shapeTaxiLeg(LiveAc& aircraft) {
  auto& stream = aircraft.stream;
  if (stream.size() < 3) {
    if (aircraft.extraCount < 1) {
      lf_smoothSpeed(aircraft);
    }
  } else if (!stream[2].stationary) {
    const double turn = std::abs(lf_turnAhead(aircraft)) * radiansToDegrees;
    const double legNm = gf_distanceNM(gf_latLonOf(stream[0]), gf_latLonOf(stream[1]));
    const std::int32_t gap = std::max(stream[1].dueTick - stream[0].dueTick, minTravelTicks);
    if (turn > 45.0 && legNm > longSlowLegNm && stream[0].groundSpeed <= slowTaxiKt && gap >= slowLegTicks) {
      lf_insertMidpoint(aircraft);
    } else if (turn > 3.0 && turn <= 160.0 && !gf_samePoint(stream[0], stream[1])) {
      lf_buildCurve(aircraft);
      aircraft.curveTurn = turn;
    } else {
      lf_smoothSpeed(aircraft);
    }
  } else {
    lf_smoothSpeed(aircraft);
  }
  if (lf_hasCurve(aircraft)) {
    aircraft.turnToTarget = false;
  } else {
    aircraft.headingGap =
        std::abs(lf_wrappedAngle(aircraft.targetHeading - aircraft.simPos.heading)) * radiansToDegrees;
    aircraft.turnToTarget = aircraft.headingGap > headingGapToSteer;
  }
}

// A taxiing aircraft (towed, or not just pushed back) whose reports come to rest looks for a stand: near its last
// reported position, or wherever it stands once positions are being made up.
void lf_lookForStand(LiveAc& aircraft) {
  const auto& stream = aircraft.stream;
  const bool cameFromStand = aircraft.prevPhase == AcPhase::parked || aircraft.prevPhase == AcPhase::pushing_back ||
                             aircraft.prevPhase == AcPhase::pushed_back;
  if (!stream.back().stationary || aircraft.phase != AcPhase::taxi || parkPositions.empty() ||
      (!aircraft.towed && cameFromStand)) {
    return;
  }
  if (aircraft.extraCount >= 1) {
    try2Park(aircraft, aircraft.towRequest);
  } else if (stream.size() >= 2 && stream[1].groundSpeed <= parkingSpeedKt &&
             gf_distanceNM({aircraft.simPos.lat, aircraft.simPos.lon}, gf_latLonOf(stream.back())) <= nearLastEntryNm) {
    try2Park(aircraft, false);
  }
}

}  // namespace

void nextPosGround(LiveAc& aircraft) {
  switch (aircraft.phase) {
    case AcPhase::pushing_back:
      lf_pushBackStage(aircraft);
      break;
    case AcPhase::parked:
      lf_whileParked(aircraft);
      break;
    default:
      if (!aircraft.stream[1].stationary) {
        lf_shapeTaxiLeg(aircraft);
      }
      lf_lookForStand(aircraft);
      break;
  }
  lf_scheduleGround(aircraft);
}

}  // namespace cvl

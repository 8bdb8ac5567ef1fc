#include "engine/ground_moves.h"

#include <cmath>

#include "engine/curves.h"
#include "engine/ground_paths.h"

namespace cvl {

namespace {

constexpr double longSlowLegNm = 0.02699784017278618;  // 50 m
constexpr double slowTaxiKt = 43.0;
constexpr std::int32_t slowLegTicks = 600;
constexpr double headingGapToSteer = 3.0;  // degrees

bool lf_apart(const TimedPosition& a, const TimedPosition& b) {
  return std::abs(a.lat - b.lat) >= 1e-8 || std::abs(a.lon - b.lon) >= 1e-8;
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
    const double legNm = gf_distanceNM({stream[0].lat, stream[0].lon}, {stream[1].lat, stream[1].lon});
    const std::int32_t gap = std::max(stream[1].dueTick - stream[0].dueTick, minTravelTicks);
    if (turn > 45.0 && legNm > longSlowLegNm && stream[0].groundSpeed <= slowTaxiKt && gap >= slowLegTicks) {
      lf_insertMidpoint(aircraft);
    } else if (turn > 3.0 && turn <= 160.0 && lf_apart(stream[0], stream[1])) {
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

}  // namespace

// Push-back, pull-out and the search for a stand belong to the stand logic; a parked or pushing aircraft only keeps
// its schedule here.
void nextPosGround(LiveAc& aircraft) {
  if (aircraft.phase == AcPhase::parked) {
    aircraft.dueAhead = aircraft.takeOffRoll ? 5000 : 3000;
    aircraft.dueBehind = 3000;
  } else if (aircraft.phase != AcPhase::pushing_back && !aircraft.stream[1].stationary) {
    lf_shapeTaxiLeg(aircraft);
  }
  lf_scheduleGround(aircraft);
}

}  // namespace cvl

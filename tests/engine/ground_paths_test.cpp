#include "engine/ground_paths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "engine/curves.h"
#include "engine/ground_moves.h"
#include "engine_rules_fixture.h"
#include "foundation/geometry.h"

namespace cvl::test {
namespace {

constexpr double pi = std::numbers::pi;

TimedPosition entry(double lat, double lon, std::int32_t due, double groundSpeed = 10.0, bool airborne = false) {
  TimedPosition position;
  position.lat = lat;
  position.lon = lon;
  position.dueTick = due;
  position.groundSpeed = groundSpeed;
  position.airborne = airborne;
  position.altitude = airborne ? 3000.0 : 0.0;
  return position;
}

// A Large aircraft whose stream is exactly the given entries, standing at the first one.
class GroundPaths : public EngineRules {
 protected:
  LiveAc& aircraftWith(std::initializer_list<TimedPosition> entries, AcPhase phase = AcPhase::taxi) {
    LiveAc& aircraft = addLive("DLH1", 20001, AcState::active, phase);
    aircraft.stream.assign(entries);
    aircraft.simPos.lat = aircraft.stream.front().lat;
    aircraft.simPos.lon = aircraft.stream.front().lon;
    aircraft.onGround = !aircraft.stream.front().airborne;
    return aircraft;
  }
};

TEST_F(GroundPaths, TravelTimesAndPairSpeeds) {
  EXPECT_EQ(lf_travelTicks(0.5, 15.0), 12000);
  EXPECT_EQ(lf_travelTicks(0.5, 0.0), 180000);  // no speed counts as 1 kt
  EXPECT_EQ(lf_travelTicks(std::numeric_limits<double>::quiet_NaN(), 10.0), 0);

  LiveAc& standing = aircraftWith({entry(50.0, 8.0, 100, 0.0), entry(50.001, 8.0, 90, 0.0)});
  EXPECT_NEAR(lf_pairSpeed(standing), 0.06 * 360000.0 / 25.0, 0.01);  // a gap below 25 ticks counts as 25
  standing.stream[1].lat = 50.0000001;
  EXPECT_DOUBLE_EQ(lf_pairSpeed(standing), 1.0);
  standing.stream[1].groundSpeed = 20.0;
  EXPECT_DOUBLE_EQ(lf_pairSpeed(standing), 10.0);
}

TEST_F(GroundPaths, TheNextDueTickStaysInItsWindowAndNeverInThePast) {
  LiveAc& aircraft = aircraftWith({entry(50.0, 8.0, 1000), entry(50.001, 8.0, 6000)});
  tickCount = 3000;
  lf_setNextDue(aircraft, 10000);
  EXPECT_EQ(aircraft.stream[1].dueTick, 7000);  // 6000 + dueAhead
  aircraft.stream[1].dueTick = 6000;
  lf_setNextDue(aircraft, 100);
  EXPECT_EQ(aircraft.stream[1].dueTick, 5000);  // 6000 - dueBehind

  aircraft.stream[1].dueTick = 1000;
  lf_setNextDue(aircraft, -500);
  EXPECT_EQ(aircraft.stream[1].dueTick, 3000);  // never before now

  aircraft.extraCount = 2;  // made-up positions follow their own time
  lf_setNextDue(aircraft, 10000);
  EXPECT_EQ(aircraft.stream[1].dueTick, 13000);
  tickCount = 70'000'000;  // after more than a week of flight
  lf_setNextDue(aircraft, 100);
  EXPECT_EQ(aircraft.stream[1].dueTick, 70'000'100);
}

TEST_F(GroundPaths, ARepeatedPositionBecomesAStopAndNarrowsTheWindow) {
  LiveAc& aircraft = aircraftWith({entry(50.0, 8.0, 0), entry(50.000000001, 8.0, 500), entry(50.001, 8.0, 900)});
  aircraft.dueBehind = 1150;
  aircraft.dueAhead = 1050;
  aircraft.stepLat = 1.0;

  lf_stepStream(aircraft);

  ASSERT_EQ(aircraft.stream.size(), 2U);
  EXPECT_TRUE(aircraft.stream[0].stationary);
  EXPECT_EQ(aircraft.stepLat, 0.0);
  EXPECT_EQ(aircraft.dueBehind, 1050);
  EXPECT_EQ(aircraft.dueAhead, 1000);
}

TEST_F(GroundPaths, AnAirborneStepHeadsForTheNextEntryTheShortWayRound) {
  LiveAc& aircraft = aircraftWith({entry(10.0, 179.99, 0, 300.0, true), entry(10.0, -179.99, 400, 300.0, true),
                                   entry(10.0, -179.97, 800, 300.0, true)});
  aircraft.simPos.altitude = 3000.0;
  lf_stepStream(aircraft);

  const std::int32_t due = aircraft.stream[0].dueTick;
  ASSERT_GE(due, 25);
  EXPECT_NEAR(aircraft.stepLon, 0.02 / due, 1e-12);
  EXPECT_EQ(aircraft.phase, AcPhase::flying);
  for (std::int32_t tick = 0; tick < due; ++tick) {
    lf_followCurve(aircraft);
  }
  EXPECT_NEAR(aircraft.simPos.lon, -179.99, 1e-9);
  EXPECT_GE(aircraft.simPos.lon, -180.0);
}

TEST_F(GroundPaths, CurvePointsAndTheirHeadings) {
  LiveAc& aircraft = aircraftWith({entry(0.0, 0.0, 0)});
  EXPECT_FALSE(lf_hasCurve(aircraft));
  LatLon point;
  double heading = -1.0;
  EXPECT_FALSE(lf_curvePoint(aircraft, 0.5, point, heading));

  aircraft.curveOrigin = {0.0, 0.0};
  aircraft.curveCtrl = {100.0, 0.0};  // 100 m north
  aircraft.curveEnd = {100.0, 100.0};
  aircraft.curveT0 = 0.0;
  aircraft.curveT1 = 1.0;
  ASSERT_TRUE(lf_curvePoint(aircraft, 0.5, point, heading));
  // 0.5 P1 + 0.25 P2, heading along P2.
  EXPECT_NEAR(point.lat * metresPerDegree, 75.0, 1e-9);
  EXPECT_NEAR(point.lon * metresPerDegree, 25.0, 1e-9);
  EXPECT_NEAR(heading, pi / 4.0, 1e-12);
  ASSERT_TRUE(lf_curvePoint(aircraft, 0.0, point, heading));
  EXPECT_NEAR(heading, 0.0, 1e-12);
  EXPECT_FALSE(lf_curvePoint(aircraft, 1.01, point, heading));
}

TEST_F(GroundPaths, BuildingACurveTakesTheCornerOutOfTheStream) {
  LiveAc& aircraft =
      aircraftWith({entry(50.0, 8.0, 0, 10.0), entry(50.001, 8.0, 500, 20.0), entry(50.001, 8.002, 900, 0.0)});
  lf_buildCurve(aircraft);
  ASSERT_EQ(aircraft.stream.size(), 2U);
  EXPECT_DOUBLE_EQ(aircraft.stream[1].groundSpeed, 15.0);
  EXPECT_NEAR(aircraft.curveCtrl.north, 111.13295, 1e-6);
  EXPECT_NEAR(aircraft.curveCtrl.east, 0.0, 1e-9);
  EXPECT_NEAR(aircraft.curveEnd.east, 0.002 * metresPerDegree * std::cos(50.0 * degreesToRadians), 1e-6);
}

TEST_F(GroundPaths, ACurveEndsOnItsLastPointAndWaits) {
  LiveAc& aircraft = aircraftWith({entry(0.0, 0.0, 0), entry(0.0, 0.0, 100)});
  aircraft.curveOrigin = {0.0, 0.0};
  aircraft.curveCtrl = {100.0, 0.0};
  aircraft.curveEnd = {100.0, 100.0};
  aircraft.curveT0 = 0.0;
  aircraft.curveT1 = 1.0;
  aircraft.curveStep = 0.3;
  aircraft.turnStepNow = 10.0;
  for (int tick = 0; tick < 5; ++tick) {
    lf_followCurve(aircraft);
  }
  EXPECT_DOUBLE_EQ(aircraft.curveT, 0.999999);
  EXPECT_NEAR(aircraft.simPos.lat * metresPerDegree, 100.0, 1e-3);
  EXPECT_NEAR(aircraft.simPos.lon * metresPerDegree, 100.0, 1e-3);
  EXPECT_NEAR(aircraft.simPos.heading, pi / 2.0, 1e-5);  // steered no further than the tangent
}

TEST_F(GroundPaths, SteeringStopsAtTheTargetAndPushedBackAircraftStandStill) {
  LiveAc& aircraft = aircraftWith({entry(50.0, 8.0, 0), entry(50.0, 8.0, 100)});
  aircraft.turnToTarget = true;
  aircraft.turnStepNow = 0.1;
  aircraft.targetHeading = 2.0 * degreesToRadians;
  aircraft.stepLat = 0.001;
  lf_followCurve(aircraft);
  EXPECT_NEAR(aircraft.simPos.heading, 2.0 * degreesToRadians, 1e-12);
  EXPECT_DOUBLE_EQ(aircraft.simPos.lat, 50.001);

  aircraft.phase = AcPhase::pushed_back;
  aircraft.targetHeading = 30.0 * degreesToRadians;
  lf_followCurve(aircraft);
  EXPECT_DOUBLE_EQ(aircraft.simPos.lat, 50.001);
  EXPECT_NEAR(aircraft.simPos.heading, 2.0 * degreesToRadians + 0.1, 1e-12);
}

TEST_F(GroundPaths, PositionsStayOnTheGlobe) {
  LiveAc& aircraft = aircraftWith({entry(89.9995, 179.9995, 0, 0.0, true), entry(89.9995, 179.9995, 100, 0.0, true)});
  aircraft.phase = AcPhase::flying;
  aircraft.stepLat = 0.001;
  aircraft.stepLon = 0.001;
  lf_followCurve(aircraft);
  EXPECT_NEAR(aircraft.simPos.lat, 89.9995, 1e-9);
  EXPECT_NEAR(aircraft.simPos.lon, 0.0005, 1e-9);
}

TEST_F(GroundPaths, TheGroundTurnRateFitsTheLeg) {
  // 0.05 nm at 10 kt: 1800 ticks.
  LiveAc& aircraft = aircraftWith({entry(50.0, 8.0, 0), entry(50.0 + 0.05 / 60.0, 8.0, 1800)});
  aircraft.curveCtrl = {0.0, 0.0};
  aircraft.curveTurn = 90.0;
  lf_scheduleGround(aircraft);
  // 90 degrees take 737 ticks at the Large rate; the leg's 1800 ticks allow 2.44 times that rate, within the cap of 3.
  EXPECT_NEAR(aircraft.turnStepNow, aircraft.turnStep * 1800.0 / 737.0, 1e-12);
  EXPECT_EQ(aircraft.dueAhead, 2000);
  EXPECT_EQ(aircraft.dueBehind, 2000);

  aircraft.curveTurn = 20.0;
  lf_scheduleGround(aircraft);
  // 20 degrees: 164 ticks; the turn is spread over the leg's 1800 ticks, and over 30 m of it when the leg is short.
  EXPECT_NEAR(aircraft.turnStepNow, aircraft.turnStep / (1800.0 / 164.0), 1e-12);
  aircraft.stream[1].lat = 50.0 + 0.01 / 60.0;  // 18.5 m: 360 ticks
  aircraft.stream[1].dueTick = 360;
  lf_scheduleGround(aircraft);
  const double ratio = 360.0 / 164.0;
  EXPECT_NEAR(aircraft.turnStepNow, aircraft.turnStep / (ratio * 30.0 / (0.01 * 1852.0)), 1e-9);
}

TEST_F(GroundPaths, TaxiCornersGetCurvesOrMidpoints) {
  const double leg = 0.04 / 60.0;  // 74 m
  LiveAc& aircraft = aircraftWith({entry(50.0, 8.0, 0), entry(50.0 + leg, 8.0, 300), entry(50.0 + leg, 8.01, 900)});
  nextPosGround(aircraft);
  EXPECT_TRUE(lf_hasCurve(aircraft));
  EXPECT_NEAR(aircraft.curveTurn, 90.0, 0.1);
  EXPECT_EQ(aircraft.stream.size(), 2U);

  LiveAc& slow = aircraftWith({entry(50.0, 8.0, 0), entry(50.0 + leg, 8.0, 900), entry(50.0 + leg, 8.01, 1500)});
  slow.simPos.heading = 0.0;
  nextPosGround(slow);
  EXPECT_FALSE(lf_hasCurve(slow));
  EXPECT_EQ(slow.stream.size(), 4U);  // a midpoint on the long slow leg

  LiveAc& hairpin = aircraftWith({entry(50.0, 8.0, 0), entry(50.0 + leg, 8.0, 300), entry(50.0, 8.0001, 900)});
  nextPosGround(hairpin);
  EXPECT_FALSE(lf_hasCurve(hairpin));
  EXPECT_EQ(hairpin.stream.size(), 3U);
}

TEST_F(GroundPaths, AMidpointAcrossTheAntimeridianLiesBetweenItsEnds) {
  LiveAc& aircraft = aircraftWith({entry(10.0, 179.9, 100, 10.0), entry(10.0, -179.9, 201, 20.0)});
  lf_insertMidpoint(aircraft);
  ASSERT_EQ(aircraft.stream.size(), 3U);
  const TimedPosition& middle = aircraft.stream[1];
  EXPECT_NEAR(std::abs(middle.lon), 180.0, 1e-9);
  EXPECT_EQ(middle.dueTick, 151);
  EXPECT_DOUBLE_EQ(middle.groundSpeed, 15.0);
  EXPECT_FALSE(middle.airborne);
  EXPECT_FALSE(middle.stationary);
}

}  // namespace
}  // namespace cvl::test

#include "engine/phase_controls.h"

#include <gtest/gtest.h>

#include "engine/approach_config.h"
#include "engine_ground_fixture.h"
#include "foundation/geometry.h"

namespace cvl::test {
namespace {

constexpr std::int64_t throttleValues[] = {0, 4914, 8191, 11468, 16383};

using PhaseControls = EngineGround;

TimedPosition airborneAt(double lon, std::int32_t due, double altitude, double verticalSpeed) {
  TimedPosition entry = EngineGround::at(50.0, lon, due, 150.0, altitude);
  entry.tas = 160.0;
  entry.verticalSpeed = verticalSpeed;
  return entry;
}

TEST_F(PhaseControls, TheTakeOffRollOpensTheThrottleWithTheSpeed) {
  struct Case {
    double now;
    double next;
    std::size_t level;
  };
  const Case cases[] = {{25.0, 0.0, 4}, {0.0, 30.0, 4}, {20.0, 24.0, 2}, {0.0, 25.0, 2},
                        {15.0, 0.0, 1}, {0.0, 20.0, 1}, {14.0, 19.0, 0}};
  std::uint32_t hexid = 20010;
  for (const Case& each : cases) {
    LiveAc& aircraft = activeWith({at(50.0, 8.0, 0, each.now), at(50.001, 8.0, 500, each.next)}, AcPhase::taxi, "A320",
                                  "DLH1", ++hexid);
    aircraft.takeOffRoll = true;
    lf_groundControls(aircraft);
    EXPECT_EQ(lastEvent(aircraft.objectId, THROTTLE_SET), throttleValues[each.level]) << each.now << " " << each.next;
  }
}

TEST_F(PhaseControls, OnTheGroundTheSpeedFollowsTheNextEntryBackwardsWhilePushingBack) {
  LiveAc& aircraft = activeWith({at(50.0, 8.0, 0, 10.0), at(50.001, 8.0, 400, 12.0)}, AcPhase::pushing_back);
  aircraft.curveCtrl = {5.0, 5.0};
  tickCount = 100;
  lf_groundControls(aircraft);
  EXPECT_EQ(aircraft.sendSpeed, -12.0);
  EXPECT_DOUBLE_EQ(aircraft.curveStep, 1.0 / 300.0);

  // A landed aircraft taxis from its first position on the ground on.
  LiveAc& landed =
      activeWith({at(50.0, 8.0, 0, 60.0), at(50.001, 8.0, 400, 50.0)}, AcPhase::flying, "A320", "DLH2", 20002);
  lf_groundControls(landed);
  EXPECT_EQ(landed.phase, AcPhase::taxi);
  EXPECT_EQ(landed.sendSpeed, 50.0);
}

TEST_F(PhaseControls, TheRollOutEndsWhenTheAircraftTurnsFifteenDegreesOffTheRunway) {
  const auto rollingOut = [&](double turnedDegrees, std::uint32_t hexid) -> LiveAc& {
    LiveAc& aircraft =
        activeWith({at(50.0, 8.0, 0, 30.0), at(50.001, 8.0, 400, 30.0)}, AcPhase::taxi, "A320", "DLH1", hexid);
    aircraft.rollout = true;
    aircraft.rolloutHeading = 1.0;
    aircraft.simPos.heading = 1.0 + turnedDegrees * degreesToRadians;
    lf_groundControls(aircraft);
    return aircraft;
  };
  LiveAc& turnedOff = rollingOut(15.0001, 20001);
  EXPECT_FALSE(turnedOff.rollout);
  EXPECT_EQ(lastEvent(turnedOff.objectId, FLAPS_SET), 0);
  EXPECT_EQ(lastEvent(turnedOff.objectId, TAXI_LIGHTS_SET), 1);

  LiveAc& onRunway = rollingOut(-14.9999, 20002);
  EXPECT_TRUE(onRunway.rollout);
  EXPECT_EQ(lastEvent(onRunway.objectId, SPOILERS_SET), 0);  // spoilers in below 90 kt
  EXPECT_EQ(lastEvent(onRunway.objectId, FLAPS_SET), 3072);
  EXPECT_EQ(lastEvent(onRunway.objectId, TAXI_LIGHTS_SET), -1);
}

TEST_F(PhaseControls, ARotorcraftKeepsItsRotorRunningAndHasNoFlapsOrSpoilers) {
  RotorcraftTypes = {"EC35"};
  LiveAc& helicopter = activeWith({at(50.0, 8.0, 0, 30.0), at(50.001, 8.0, 400, 30.0)}, AcPhase::taxi, "EC35");
  helicopter.rollout = true;
  helicopter.simPos.heading = 1.0;
  lf_groundControls(helicopter);
  EXPECT_EQ(lastEvent(helicopter.objectId, THROTTLE_SET), 16383);
  EXPECT_EQ(eventCount(helicopter.objectId, FLAPS_SET), 0U);
  EXPECT_EQ(eventCount(helicopter.objectId, SPOILERS_SET), 0U);
  RotorcraftTypes.clear();
}

TEST_F(PhaseControls, TheApproachDescentFollowsTheReportsCorrectedForQnh) {
  LiveAc& aircraft =
      activeWith({airborneAt(8.0, 0, 2000.0, -800.0), airborneAt(8.01, 500, 1800.0, -700.0)}, AcPhase::flying);
  aircraft.heightAgl = 500.0;
  EXPECT_DOUBLE_EQ(lf_approachDescent(aircraft), -748.5);
  trafficReader.qnh = 1020;
  EXPECT_DOUBLE_EQ(lf_approachDescent(aircraft), -750.0 - 6.75 * 6.0);
  aircraft.stream[1].verticalSpeed = 900.0;
  EXPECT_DOUBLE_EQ(lf_approachDescent(aircraft), -601.0);
  aircraft.heightAgl = 100.0;
  EXPECT_DOUBLE_EQ(lf_approachDescent(aircraft), -600.0);
}

TEST_F(PhaseControls, InTheAirTheClimbAndPitchStayWithinTheCategorysSteps) {
  LiveAc& aircraft =
      activeWith({airborneAt(8.0, 0, 3000.0, 0.0), airborneAt(8.01, 500, 3000.0, 1200.0)}, AcPhase::flying);
  aircraft.heightAgl = 900.0;
  aircraft.lowSet = true;
  lf_airControls(aircraft);
  EXPECT_DOUBLE_EQ(aircraft.stepAlt, 0.2);  // low down at least 0.2 ft a tick
  // Nose up 7.4 degrees at 1200 ft/min, approached by at most 0.0075 degrees a tick.
  EXPECT_NEAR(aircraft.stepPitch, -0.0075 * degreesToRadians, 1e-15);
  aircraft.stream[1].altitude = 4000.0;
  lf_airControls(aircraft);
  EXPECT_DOUBLE_EQ(aircraft.stepAlt, 0.6);
}

TEST_F(PhaseControls, FlyingOverReportsStillOnTheGroundSkipsToTheFirstAirborneOne) {
  LiveAc& aircraft = activeWith(
      {airborneAt(8.0, 0, 0.0, 500.0), airborneAt(8.001, 300, 0.0, 500.0), airborneAt(8.002, 600, 0.0, 500.0),
       airborneAt(8.003, 900, 150.0, 800.0), airborneAt(8.004, 1200, 300.0, 800.0)},
      AcPhase::take_off);
  aircraft.simPos.altitude = 50.0;
  EXPECT_FALSE(lf_skipToAirborne(aircraft, 3));
  ASSERT_TRUE(lf_skipToAirborne(aircraft, 4));
  ASSERT_EQ(aircraft.stream.size(), 3U);
  EXPECT_EQ(aircraft.stream[1].altitude, 150.0);
  EXPECT_GT(aircraft.stepAlt, 0.0);

  // Nothing airborne ahead: climb away at 601 ft/min at least, gear down.
  LiveAc& low = activeWith(
      {airborneAt(8.0, 0, 0.0, 500.0), airborneAt(8.001, 300, 0.0, 300.0), airborneAt(8.002, 600, 0.0, 500.0)},
      AcPhase::take_off, "A320", "DLH2", 20002);
  low.onGround = false;
  low.lowSet = true;
  low.heightAgl = 300.0;
  lf_airControls(low);
  EXPECT_DOUBLE_EQ(low.stepAlt, 601.0 / 6000.0);
  EXPECT_EQ(lastEvent(low.objectId, GEAR_SET), 1);
}

TEST_F(PhaseControls, TheCruiseLightsAreSetOnceAndTheLowLightsAgainOnTheWayDown) {
  LiveAc& aircraft =
      activeWith({airborneAt(8.0, 0, 12000.0, 0.0), airborneAt(8.01, 500, 12000.0, 0.0)}, AcPhase::flying);
  aircraft.lowSet = true;  // set on the climb-out
  lf_airControls(aircraft);
  lf_airControls(aircraft);
  const std::uint32_t objectId = aircraft.objectId;
  EXPECT_EQ(eventCount(objectId, LANDING_LIGHTS_SET), 1U);
  EXPECT_EQ(lastEvent(objectId, LANDING_LIGHTS_SET), 0);

  aircraft.stream[0].altitude = 9000.0;
  aircraft.heightAgl = 8000.0;
  lf_airControls(aircraft);
  lf_airControls(aircraft);
  EXPECT_EQ(eventCount(objectId, LANDING_LIGHTS_SET), 2U);
  EXPECT_EQ(lastEvent(objectId, LANDING_LIGHTS_SET), 1);
}

TEST_F(PhaseControls, DescendingNearTheParkAirportStartsTheApproachClimbingAwayEndsIt) {
  currentParkAirport.code = "EDDF";
  currentParkAirport.lat = 50.0;
  currentParkAirport.lon = 8.1;  // 3.9 nm east
  const auto descending = [](std::uint32_t hexid) -> LiveAc& {
    LiveAc& aircraft = activeWith({airborneAt(8.0, 0, 1800.0, -700.0), airborneAt(8.01, 500, 1500.0, -700.0)},
                                  AcPhase::flying, "A320", "DLH1", hexid);
    aircraft.heightAgl = 1500.0;
    return aircraft;
  };
  LiveAc& aircraft = descending(20001);
  aircraft.standId = 4;
  lf_airControls(aircraft);
  EXPECT_TRUE(aircraft.approach);
  EXPECT_EQ(aircraft.standId, 0U);
  EXPECT_EQ(sameRegCheckQueue.back(), aircraft.hexid);
  EXPECT_EQ(lastEvent(aircraft.objectId, FLAPS_SET), 16383);
  EXPECT_EQ(lastEvent(aircraft.objectId, GEAR_SET), 1);

  aircraft.stream[0].verticalSpeed = 1500.0;
  lf_approachConfig(aircraft);
  lf_approachConfig(aircraft);
  EXPECT_FALSE(aircraft.approach);
  EXPECT_EQ(eventCount(aircraft.objectId, FLAPS_SET), 2U);  // cleaned up once
  EXPECT_EQ(lastEvent(aircraft.objectId, FLAPS_SET), 0);

  currentParkAirport.lon = 8.3;  // 11.6 nm
  LiveAc& far = descending(20002);
  lf_airControls(far);
  EXPECT_FALSE(far.approach);
}

TEST_F(PhaseControls, TheFlareShallowsTheDescentInFourStages) {
  LiveAc& aircraft =
      activeWith({airborneAt(8.0, 0, 500.0, -700.0), airborneAt(8.01, 500, 400.0, -700.0)}, AcPhase::flying);
  aircraft.approach = true;
  aircraft.staticCgHeight = 10.0;
  aircraft.flareTicks = 400;
  aircraft.simPos.pitch = -0.02;
  struct Stage {
    double heightAgl;
    std::uint32_t stage;
    double stepAlt;
    double verticalSpeed;
  };
  const Stage stages[] = {{41.0, 0, 0.0, -700.0},    {40.0, 1, -0.1, -601.0},  {31.0, 1, -0.1, -601.0},
                          {30.0, 2, -0.075, -450.0}, {20.0, 3, -0.05, -300.0}, {13.0, 4, -0.025, -150.0}};
  for (const Stage& each : stages) {
    aircraft.heightAgl = each.heightAgl;
    lf_flareTick(aircraft);
    EXPECT_EQ(aircraft.flareStage, each.stage) << each.heightAgl;
    EXPECT_EQ(aircraft.stepAlt, each.stepAlt) << each.heightAgl;
    EXPECT_EQ(aircraft.stream.front().verticalSpeed, each.verticalSpeed) << each.heightAgl;
  }
  EXPECT_DOUBLE_EQ(aircraft.stepPitch, (-4.0 * degreesToRadians + 0.02) / 400.0);
  EXPECT_EQ(lastEvent(aircraft.objectId, THROTTLE_SET), 0);

  // Over the park airport its elevation starts the flare while the simulator's height above ground lags.
  currentParkAirport.code = "EDDF";
  currentParkAirport.alt = 300.0;
  LiveAc& early = activeWith({airborneAt(8.0, 0, 335.0, -700.0), airborneAt(8.01, 500, 300.0, -700.0)}, AcPhase::flying,
                             "A320", "DLH2", 20002);
  early.approach = true;
  early.staticCgHeight = 10.0;
  early.heightAgl = 100.0;
  lf_flareTick(early);
  EXPECT_EQ(early.flareStage, 1U);
}

}  // namespace
}  // namespace cvl::test

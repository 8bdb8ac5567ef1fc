#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "engine/aircraft_update.h"
#include "engine/ground_paths.h"
#include "engine/stand_arrival.h"
#include "engine/stream_dry.h"
#include "engine_ground_fixture.h"
#include "foundation/geometry.h"

namespace cvl::test {
namespace {

constexpr double metresNorth = 1.0 / 1852.0 / 60.0;  // degrees of latitude per metre
constexpr std::int32_t week = 60480000;              // ticks

using TaxiToStand = EngineGround;

TEST_F(TaxiToStand, TheWayOntoAStandTakesAtLeastASecondAndStopsHalfASecondLater) {
  LiveAc& aircraft = activeWith({at(50.0, 8.0, 1000, 10.0)}, AcPhase::parking);
  aircraft.extraCount = 3;
  drive2Stand(aircraft, {50.0 + metresNorth, 8.0, 1.5});
  const auto& stream = aircraft.stream;
  ASSERT_EQ(stream.size(), 3U);
  EXPECT_DOUBLE_EQ(stream[0].groundSpeed, 4.0);  // a Large aircraft's stand taxi speed
  EXPECT_EQ(stream[1].dueTick, 1100);
  EXPECT_FALSE(stream[1].stationary);
  EXPECT_NEAR(stream[1].track, 1.5 * radiansToDegrees, 1e-9);
  EXPECT_EQ(stream[2].dueTick, 1150);
  EXPECT_TRUE(stream[2].stationary);
  EXPECT_EQ(stream[2].groundSpeed, 0.0);
  EXPECT_DOUBLE_EQ(aircraft.targetHeading, 1.5);
  // Reports are played as they come again.
  EXPECT_EQ(aircraft.extraCount, 0);
  EXPECT_EQ(aircraft.dueAhead, 3000);

  // 0.01 nm at 4 kt: 900 ticks.
  LiveAc& farther = activeWith({at(50.0, 8.0, 1000, 10.0)}, AcPhase::parking, "A320", "DLH2", 20002);
  drive2Stand(farther, {50.0 + 0.01 / 60.0, 8.0, 0.0});
  EXPECT_EQ(farther.stream[1].dueTick, 1900);
}

TEST_F(TaxiToStand, AnAircraftTwoMetresFromItsStandParksAndStaysAWeekFartherItTaxisOn) {
  const ParkPos& stand = addStandWith("A12", 50.0, 8.0, 0.0, 0.02);
  LiveAc& aircraft = activeWith({at(50.0, 8.0, 100)}, AcPhase::parking);
  park(aircraft, stand);
  aircraft.simPos.lat = 50.0 + 1.99 * metresNorth;
  LiveAc& farther = activeWith({at(50.0, 8.0, 100)}, AcPhase::parking, "A320", "DLH2", 20002);
  park(farther, stand);
  farther.simPos.lat = 50.0 + 2.1 * metresNorth;

  ASSERT_TRUE(lf_streamDry(aircraft));
  EXPECT_EQ(aircraft.phase, AcPhase::parked);
  ASSERT_EQ(aircraft.stream.size(), 2U);
  EXPECT_TRUE(aircraft.stream[1].stationary);
  EXPECT_EQ(aircraft.stream[1].dueTick, 100 + week);
  EXPECT_EQ(aircraft.extraCount, 1);
  EXPECT_EQ(eventCount(aircraft.objectId, ENGINE_AUTO_SHUTDOWN), 1U);
  EXPECT_TRUE(logged("A12     : DLH1     arrived at stand"));
  EXPECT_EQ(sameRegCheckQueue.back(), aircraft.hexid);

  ASSERT_TRUE(lf_streamDry(farther));
  EXPECT_EQ(farther.phase, AcPhase::taxi);
  EXPECT_EQ(farther.stream.size(), 2U);  // held where it stands
}

TEST_F(TaxiToStand, ALandedAircraftStoppingNextToAStandDrivesOntoItParksAndTurnsOnTheSpotToTheStandHeading) {
  const double metresEast = 1.0 / (1852.0 * 60.0 * std::cos(50.0 * degreesToRadians));
  addStandWith("A12", 50.0, 8.0, 0.0, 0.02);  // facing north
  TimedPosition stop = at(50.0, 8.0 - 10.0 * metresEast, 1000);
  stop.stationary = true;
  LiveAc& aircraft = activeWith(
      {at(50.0, 8.0 - 60.0 * metresEast, 0, 10.0), at(50.0, 8.0 - 10.0 * metresEast, 500, 3.0), stop}, AcPhase::taxi);
  aircraft.simPos.heading = std::numbers::pi / 2.0;  // taxiing east, 90 degrees off the stand heading
  aircraft.prevPhase = AcPhase::flying;
  aircraft.towRequest = true;

  // At a taxi pace the last report comes after 15 s, the stand 5 s later. The drive onto the stand is too short for
  // the turn: a Large aircraft needs 13 s for 90 degrees, at 0.07 degrees a tick.
  double fastestTurn = 0.0;
  for (tickCount = 0; tickCount < 6000; ++tickCount) {
    const double before = aircraft.simPos.heading;
    updateLiveAc(aircraft);
    fastestTurn = std::max(fastestTurn, std::abs(lf_wrappedAngle(aircraft.simPos.heading - before)));
  }
  EXPECT_EQ(aircraft.standId, 1U);
  EXPECT_EQ(aircraft.phase, AcPhase::parked);
  EXPECT_EQ(aircraft.state, AcState::active);
  EXPECT_NEAR(gf_distanceNM({aircraft.simPos.lat, aircraft.simPos.lon}, {50.0, 8.0}), 0.0, 1e-6);
  EXPECT_TRUE(logged("A12     : DLH1     arrived at stand"));
  EXPECT_NEAR(lf_wrappedAngle(aircraft.simPos.heading) * radiansToDegrees, 0.0, 2.0);
  EXPECT_LE(fastestTurn, aircraft.turnStep * (1.0 + 1e-9));
}

TEST_F(TaxiToStand, AnAircraftArrivingAtAStandToBeKeptClearIsRemovedAndTheMarkStays) {
  ParkPos& stand = addStandWith("A12", 50.0, 8.0, 0.0, 0.02);
  stand.makeWayMark = true;
  LiveAc& aircraft = activeWith({at(50.0, 8.0, 100)}, AcPhase::parking);
  park(aircraft, stand);

  EXPECT_FALSE(lf_streamDry(aircraft));
  EXPECT_EQ(aircraft.state, AcState::removingfromsim);
  EXPECT_EQ(removalBacklog.size(), 1U);
  EXPECT_TRUE(parkPositions.front().makeWayMark);
  EXPECT_EQ(aircraft.extraCount, -1);
}

TEST_F(TaxiToStand, ATaxiingAircraftWhoseReportsStopHoldsForTheHoldingMinutesThenGoes) {
  LiveAc& aircraft = activeWith({at(50.0, 8.0, 900, 12.0)}, AcPhase::taxi);
  tickCount = 1000;
  ASSERT_TRUE(lf_streamDry(aircraft));
  EXPECT_EQ(aircraft.holdStart, 1000);
  ASSERT_EQ(aircraft.stream.size(), 2U);
  EXPECT_TRUE(aircraft.stream[1].stationary);
  EXPECT_EQ(aircraft.stream[1].dueTick, 1200);

  // 20 whole minutes of holding are allowed; the first dry step after them lets the aircraft go.
  aircraft.stream.pop_front();
  tickCount = 1000 + 21 * 6000 - 1;
  ASSERT_TRUE(lf_streamDry(aircraft));
  aircraft.stream.pop_front();
  tickCount = 1000 + 21 * 6000;
  EXPECT_FALSE(lf_streamDry(aircraft));

  // Showing only airborne traffic, the second dry step lets it go.
  AIRBORNE_ONLY.value = true;
  LiveAc& airborneOnly = activeWith({at(51.0, 8.0, 900, 12.0)}, AcPhase::pushed_back, "A320", "DLH2", 20002);
  ASSERT_TRUE(lf_streamDry(airborneOnly));
  airborneOnly.stream.pop_front();
  EXPECT_FALSE(lf_streamDry(airborneOnly));
}

TEST_F(TaxiToStand, AStoppedTaxiingAircraftInAnotherTaxiingAircraftsWayGoesAtOnce) {
  // Two A320 of 30 m half span block each other within 72 m.
  LiveAc& aircraft = activeWith({at(50.0, 8.0, 900)}, AcPhase::taxi);
  LiveAc& other = activeWith({at(50.0 + 70.0 * metresNorth, 8.0, 900)}, AcPhase::taxi, "A320", "DLH2", 20002);
  aircraft.holding = true;
  aircraft.holdStart = 5;
  EXPECT_FALSE(lf_streamDry(aircraft));
  EXPECT_FALSE(aircraft.holding);

  other.simPos.lat = 50.0 + 75.0 * metresNorth;
  EXPECT_TRUE(lf_streamDry(aircraft));
  other.simPos.lat = 50.0 + 70.0 * metresNorth;
  other.phase = AcPhase::parked;  // only taxiing aircraft count
  aircraft.stream.pop_front();
  EXPECT_TRUE(lf_streamDry(aircraft));
}

TEST_F(TaxiToStand, AFlyingAircraftGoesOnForEightPositionsEightSecondsApartUnlessItIsAtTheRangeEdge) {
  LiveAc& aircraft = activeWith({at(50.0, 8.0, 5000, 200.0, 3000.0)}, AcPhase::flying);
  aircraft.simPos.heading = std::numbers::pi / 2.0;
  engineUserPosition.latitude = 50.0;
  engineUserPosition.longitude = 9.0;  // 38.6 nm away, within the range of 40 nm less 0.5
  for (std::int32_t left = 8; left >= 1; --left) {
    ASSERT_TRUE(lf_streamDry(aircraft)) << left;
    EXPECT_EQ(aircraft.extraCount, left);
    aircraft.stream.pop_front();
  }
  EXPECT_FALSE(lf_streamDry(aircraft));

  // The first made-up position: 5 % slower, 8 s further along the heading, 8 s later.
  LiveAc& next = activeWith({at(50.0, 8.0, 5000, 200.0, 3000.0)}, AcPhase::flying, "A320", "DLH2", 20002);
  next.simPos.heading = std::numbers::pi / 2.0;
  ASSERT_TRUE(lf_streamDry(next));
  const TimedPosition& made = next.stream[1];
  EXPECT_DOUBLE_EQ(made.groundSpeed, 190.0);
  EXPECT_NEAR(gf_distanceNM({50.0, 8.0}, {made.lat, made.lon}), 190.0 * 8.0 / 3600.0, 1e-6);
  EXPECT_GT(made.lon, 8.0);
  EXPECT_EQ(made.dueTick, 5800);

  LiveAc& atEdge = activeWith({at(50.0, 8.0, 5000, 200.0, 3000.0)}, AcPhase::flying, "A320", "DLH3", 20003);
  engineUserPosition.longitude = 9.03;  // 39.7 nm away
  EXPECT_FALSE(lf_streamDry(atEdge));
}

TEST_F(TaxiToStand, HiddenCategoriesAndLowTrafficShowingOnlyAirborneAreNotMadeUp) {
  LIGHT_AIRCRAFT.value = false;
  LiveAc& light = activeWith({at(50.0, 8.0, 100, 90.0, 3000.0)}, AcPhase::flying, "C172", "DEABC", 20002);
  EXPECT_FALSE(lf_streamDry(light));

  AIRBORNE_ONLY.value = true;
  currentParkAirport.code = "EDDF";
  currentParkAirport.alt = 364.0;
  LiveAc& low = activeWith({at(50.0, 8.0, 100, 150.0, 1300.0)}, AcPhase::flying, "A320", "DLH3", 20003);
  EXPECT_FALSE(lf_streamDry(low));
  LiveAc& high = activeWith({at(50.0, 8.0, 100, 150.0, 1364.0)}, AcPhase::flying, "A320", "DLH4", 20004);
  EXPECT_TRUE(lf_streamDry(high));
}

TEST_F(TaxiToStand, MadeUpPositionsGoOnAsThePhaseGoes) {
  struct Case {
    double speed;
    bool takeOffRoll;
    bool rollout;
    double madeSpeed;
    double madeVerticalSpeed;
  };
  const Case cases[] = {
      {30.0, true, false, 40.0, 0.0},   {130.0, true, false, 150.0, 600.0}, {161.0, true, false, 180.0, 2400.0},
      {140.0, false, true, 100.0, 0.0}, {60.0, false, true, 30.0, 0.0},     {59.0, false, true, 20.0, 0.0},
  };
  std::uint32_t hexid = 20010;
  for (const Case& each : cases) {
    LiveAc& aircraft = activeWith({at(50.0, 8.0, 100, each.speed)}, AcPhase::taxi, "A320", "DLH1", ++hexid);
    aircraft.takeOffRoll = each.takeOffRoll;
    aircraft.rollout = each.rollout;
    aircraft.stream.front().verticalSpeed = 0.0;
    lf_makeUpPosition(aircraft, 5);
    const TimedPosition& made = aircraft.stream.back();
    EXPECT_DOUBLE_EQ(made.groundSpeed, each.madeSpeed) << each.speed;
    EXPECT_DOUBLE_EQ(made.verticalSpeed, each.madeVerticalSpeed) << each.speed;
    EXPECT_NEAR(gf_distanceNM({50.0, 8.0}, {made.lat, made.lon}), each.madeSpeed * 3.0 / 3600.0, 1e-6);
    EXPECT_EQ(made.dueTick, 400);
  }

  // Taxiing without a roll the aircraft stands; parked it stands a week.
  LiveAc& taxiing = activeWith({at(50.0, 8.0, 100, 12.0)}, AcPhase::taxi, "A320", "DLH1", ++hexid);
  lf_makeUpPosition(taxiing, 5);
  EXPECT_TRUE(taxiing.stream.back().stationary);

  ParkPos& stand = addStandWith("A12", 50.0, 8.0, 0.0, 0.02);
  stand.makeWayMark = true;
  LiveAc& parked = activeWith({at(50.0, 8.0, 100, 12.0)}, AcPhase::parked, "A320", "DLH1", ++hexid);
  park(parked, stand);
  parked.parkedListed = true;
  lf_makeUpPosition(parked, 1);
  EXPECT_EQ(parked.stream.back().dueTick, 100 + week);
  EXPECT_FALSE(parked.parkedListed);
  EXPECT_FALSE(stand.makeWayMark);
}

TEST_F(TaxiToStand, MadeUpApproachPositionsDescendAndTakeOffPositionsClimb) {
  LiveAc& approach = activeWith({at(50.0, 8.0, 100, 140.0, 1000.0)}, AcPhase::flying);
  approach.approach = true;
  lf_makeUpPosition(approach, 4);
  EXPECT_DOUBLE_EQ(approach.stream.back().groundSpeed, 126.0);
  EXPECT_DOUBLE_EQ(approach.stream.back().verticalSpeed, -667.0);
  EXPECT_DOUBLE_EQ(approach.stream.back().altitude, 1000.0 - 8.0 * 10.005);
  lf_makeUpPosition(approach, 3);
  EXPECT_DOUBLE_EQ(approach.stream.back().groundSpeed, 140.0);  // the last three keep their speed

  LiveAc& climbing = activeWith({at(50.0, 8.0, 100, 160.0, 200.0)}, AcPhase::take_off, "A320", "DLH3", 20003);
  lf_makeUpPosition(climbing, 8);
  EXPECT_DOUBLE_EQ(climbing.stream.back().verticalSpeed, 1500.0);
  EXPECT_DOUBLE_EQ(climbing.stream.back().altitude, 400.0);
  EXPECT_DOUBLE_EQ(climbing.stream.back().groundSpeed, 152.0);
}

}  // namespace
}  // namespace cvl::test

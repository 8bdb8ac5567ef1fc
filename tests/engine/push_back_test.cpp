#include <gtest/gtest.h>

#include "engine/curves.h"
#include "engine/ground_moves.h"
#include "engine/ground_paths.h"
#include "engine/stand_departure.h"
#include "engine_ground_fixture.h"
#include "foundation/geometry.h"

namespace cvl::test {
namespace {

constexpr double standRadiusNm = 0.02;

// A stand at 50 N 8 E facing north, and an A320 (30 m half span, 4 kt at stands) parked on it whose reports lead
// away.
class PushBack : public EngineGround {
 protected:
  void SetUp() override {
    EngineGround::SetUp();
    stand_ = &addStandWith("B7", 50.0, 8.0, 0.0, standRadiusNm);
  }

  LiveAc& parkedLeavingTowards(double bearingDegrees, std::uint32_t hexid = 20001) {
    const LatLon away = gf_destinationPoint({50.0, 8.0}, bearingDegrees * degreesToRadians, 400.0);
    LiveAc& aircraft =
        activeWith({at(50.0, 8.0, 1000), at(away.lat, away.lon, 1500, 5.0)}, AcPhase::parked, "A320", "DLH1", hexid);
    park(aircraft, *stand_);
    aircraft.stream.front().stationary = true;
    aircraft.departRequest = true;
    tickCount = 1000;
    return aircraft;
  }

  ParkPos* stand_ = nullptr;
};

TEST_F(PushBack, AWayOutLessThanNinetyDegreesOffTheStandPullsOutElseItPushesBack) {
  LiveAc& pullingOut = parkedLeavingTowards(89.0);
  nextPosGround(pullingOut);
  EXPECT_EQ(pullingOut.phase, AcPhase::taxi);

  LiveAc& pushing = parkedLeavingTowards(-90.0, 20002);
  nextPosGround(pushing);
  EXPECT_EQ(pushing.phase, AcPhase::pushing_back);
}

TEST_F(PushBack, APullOutTaxisOneWingspanStraightAheadWithEnginesRunning) {
  LiveAc& aircraft = parkedLeavingTowards(30.0);
  lf_pullOut(aircraft);
  ASSERT_EQ(aircraft.stream.size(), 2U);
  const TimedPosition& out = aircraft.stream[1];
  EXPECT_NEAR(gf_distanceNM({50.0, 8.0}, {out.lat, out.lon}), 2.0 * halfSpan30m, 1e-9);
  EXPECT_NEAR(out.lon, 8.0, 1e-12);  // straight ahead, north
  EXPECT_EQ(out.dueTick, 1000 + lf_travelTicks(2.0 * halfSpan30m, 4.0));
  EXPECT_FALSE(aircraft.departRequest);
  EXPECT_EQ(eventCount(aircraft.objectId, ENGINE_AUTO_START), 1U);
  EXPECT_EQ(lastEvent(aircraft.objectId, TAXI_LIGHTS_SET), 1);
  EXPECT_TRUE(logged("B7      : DLH1     pulling out"));
}

TEST_F(PushBack, APushBackGoesTwoAndAHalfStandRadiiBackThenToOneSide) {
  LiveAc& aircraft = parkedLeavingTowards(180.0);
  lf_pushBack(aircraft);
  const auto& stream = aircraft.stream;
  ASSERT_EQ(stream.size(), 4U);
  const TimedPosition& middle = stream[1];
  const TimedPosition& straightBack = stream[2];
  const TimedPosition& side = stream[3];
  const TimedPosition& otherSide = aircraft.pushAltPoint;
  EXPECT_NEAR(gf_distanceNM({50.0, 8.0}, {straightBack.lat, straightBack.lon}), 2.5 * standRadiusNm, 1e-9);
  EXPECT_LT(straightBack.lat, 50.0);
  const std::int32_t straightTicks = lf_travelTicks(2.5 * standRadiusNm, 4.0);
  EXPECT_EQ(straightBack.dueTick, 1000 + straightTicks);
  EXPECT_EQ(middle.dueTick, 1000 + straightTicks / 2);
  // The side points lie one half span east and west of it, due together.
  EXPECT_NEAR(gf_distanceNM({straightBack.lat, straightBack.lon}, {side.lat, side.lon}), halfSpan30m, 1e-9);
  EXPECT_GT(side.lon, 8.0);
  EXPECT_LT(otherSide.lon, 8.0);
  const std::int32_t sideTicks =
      straightTicks / 2 + lf_travelTicks(gf_distanceNM({middle.lat, middle.lon}, {otherSide.lat, otherSide.lon}), 4.0);
  EXPECT_EQ(side.dueTick, 1000 + sideTicks);
  EXPECT_EQ(otherSide.dueTick, 1000 + sideTicks);
  EXPECT_EQ(aircraft.pushStage, 2);
}

TEST_F(PushBack, APushBackFromAStandNotInTheListDoesNothing) {
  LiveAc& aircraft = parkedLeavingTowards(180.0);
  aircraft.standId = 9;
  nextPosGround(aircraft);
  EXPECT_EQ(aircraft.phase, AcPhase::parked);
  EXPECT_EQ(aircraft.stream.size(), 2U);
  EXPECT_TRUE(simSendQueues.clientEvents.empty());
}

TEST_F(PushBack, ThePushBackTurnsTheTailToTheReportedSideOrRunsStraight) {
  LiveAc& turning = parkedLeavingTowards(180.0);
  lf_pushBack(turning);
  const TimedPosition straightBack = turning.stream[2];
  const TimedPosition otherSide = turning.pushAltPoint;
  turning.stream.pop_front();  // the stream step has moved on to the midpoint
  turning.pushTurn = true;
  turning.pushTurnRight = true;
  nextPosGround(turning);
  ASSERT_TRUE(lf_hasCurve(turning));
  EXPECT_EQ(turning.curveTurn, 90.0);
  ASSERT_EQ(turning.stream.size(), 2U);
  // The straight push-back point pulls the curve; the side point ends it.
  LatLon end;
  double heading = 0.0;
  ASSERT_TRUE(lf_curvePoint(turning, 1.0, end, heading));
  EXPECT_NEAR(end.lat, otherSide.lat, 1e-9);
  EXPECT_NEAR(end.lon, otherSide.lon, 1e-9);
  EXPECT_NEAR(turning.curveCtrl.north, (straightBack.lat - turning.simPos.lat) * metresPerDegree, 1e-6);

  // At the end the aircraft stands pushed back with its engines running.
  turning.stream.pop_front();
  turning.stream.push_back(turning.stream.front());
  turning.stream.back().stationary = true;
  nextPosGround(turning);
  EXPECT_EQ(turning.phase, AcPhase::pushed_back);
  EXPECT_EQ(turning.pushedBackDistance, 900.0);
  EXPECT_EQ(eventCount(turning.objectId, ENGINE_AUTO_START), 1U);

  for (const bool straightOnly : {false, true}) {
    STRAIGHT_PBS_ONLY.value = straightOnly;
    LiveAc& straight = parkedLeavingTowards(180.0, straightOnly ? 20003 : 20002);
    lf_pushBack(straight);
    const TimedPosition pushedTo = straight.stream[2];
    straight.stream.pop_front();
    straight.pushTurn = straightOnly;  // a reported turn counts only while turns are allowed
    nextPosGround(straight);
    EXPECT_FALSE(lf_hasCurve(straight));
    ASSERT_EQ(straight.stream.size(), 2U);
    EXPECT_DOUBLE_EQ(straight.stream[1].lat, pushedTo.lat);
  }
}

TEST_F(PushBack, ATaxiingAircraftComingToRestLooksForAStandNearItsLastReport) {
  // Its last reports stand still 40 m ahead of it.
  const double fortyMetres = 40.0 / 1852.0 / 60.0;
  const auto stopping = [&](std::uint32_t hexid) -> LiveAc& {
    TimedPosition stop = at(50.0 + fortyMetres, 8.0, 1600);
    stop.stationary = true;
    LiveAc& aircraft = activeWith({at(50.0, 8.0, 1000, 4.0), at(50.0 + fortyMetres, 8.0, 1500, 3.0), stop},
                                  AcPhase::taxi, "A320", "DLH1", hexid);
    aircraft.prevPhase = AcPhase::flying;
    return aircraft;
  };
  LiveAc& farShort = stopping(20002);
  nextPosGround(farShort);
  EXPECT_EQ(farShort.parkProbe.lat, 0.0);  // no search

  LiveAc& near = stopping(20003);
  near.simPos.lat = 50.0 + 10.0 / 1852.0 / 60.0;
  nextPosGround(near);
  EXPECT_DOUBLE_EQ(near.parkProbe.lat, 50.0 + fortyMetres);

  LiveAc& madeUp = stopping(20004);
  madeUp.extraCount = 1;
  nextPosGround(madeUp);
  EXPECT_DOUBLE_EQ(madeUp.parkProbe.lat, 50.0 + fortyMetres);

  // Just pushed back from a stand it does not park again, unless it is towed.
  LiveAc& pushedBack = stopping(20005);
  pushedBack.simPos.lat = near.simPos.lat;
  pushedBack.prevPhase = AcPhase::pushed_back;
  nextPosGround(pushedBack);
  EXPECT_EQ(pushedBack.parkProbe.lat, 0.0);
  pushedBack.towed = true;
  nextPosGround(pushedBack);
  EXPECT_NE(pushedBack.parkProbe.lat, 0.0);
}

}  // namespace
}  // namespace cvl::test

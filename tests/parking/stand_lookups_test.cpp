#include "parking/stand_lookups.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "parking/stand_names.h"
#include "static_parking_fixture.h"

namespace cvl::test {
namespace {

class StandLookups : public StaticParking {
 protected:
  static LatLon north(double metres) { return {baseLat + latDegrees(metres), baseLon}; }
};

TEST_F(StandLookups, TheStandUnderAPositionIsTheNearestWithin55Metres) {
  addStand("A", 0.0);
  addStand("B", 70.0);
  EXPECT_EQ(gf_standNameAt(north(30.0)), "A");  // 30 m from A, 40 m from B
  EXPECT_EQ(gf_standNameAt(north(40.0)), "B");
  EXPECT_EQ(gf_standNameAt(north(-60.0)), "");
  EXPECT_EQ(gf_standNameAt(north(130.0)), "");
  userOnGround = false;
  EXPECT_EQ(gf_standNameAt(north(0.0)), "");
}

TEST_F(StandLookups, ANewStandListIsAskedAfreshAtTheSamePosition) {
  addStand("A", 0.0);
  EXPECT_EQ(gf_standNameAt(north(10.0)), "A");
  parkPositions.clear();
  gf_publishStandPlaces();
  EXPECT_EQ(gf_standNameAt(north(10.0)), "");
  addStand("Z9", 0.0);
  EXPECT_EQ(gf_standNameAt(north(10.0)), "Z9");
  parkPositions.clear();
  EXPECT_EQ(gf_standNameAt(north(10.0)), "Z9");  // not published yet
  gf_publishStandPlacesIfChanged();
  EXPECT_EQ(gf_standNameAt(north(10.0)), "");
}

TEST_F(StandLookups, TheSimulatorThreadAsksWhileTheWorkerReadsStandsAgain) {
  addStand("A", 0.0);
  std::atomic<bool> done{false};
  std::thread simClient([&done] {
    while (!done) {
      const std::string name = gf_standNameAt(north(5.0));
      ASSERT_TRUE(name.empty() || name == "A" || name == "B");
    }
  });
  for (int round = 0; round < 300; ++round) {
    parkPositions.clear();
    addStand(round % 2 == 0 ? "A" : "B", 0.0);
  }
  done = true;
  simClient.join();
}

TEST_F(StandLookups, AStandIsFoundByItsExactName) {
  addStand("A1", 0.0);
  addStand("a1", 100.0);
  EXPECT_EQ(gf_findStandByName("a1")->sid, 2U);
  EXPECT_EQ(gf_findStandByName("A"), parkPositions.end());
  EXPECT_EQ(gf_standText(1), "A1");
  EXPECT_EQ(gf_standText(0), "sid==0?");
  EXPECT_EQ(gf_standText(9), "sid==?");
}

class StandForParking : public StandLookups {};

TEST_F(StandForParking, AStandTooSmallByLittleIsTakenCloseByAndLearnsTheAircraftsSize) {
  ParkPos& small = addStand("A", 0.0, 13.0);
  const AcIdentity aircraft = identityOf("DLH1", "A320");  // 15 m half span: 2 m more than the stand
  EXPECT_EQ(lf_findStandNear(north(25.0), aircraft, wideStandSearchNm, false), parkPositions.end());
  EXPECT_FALSE(small.radius_change);
  const auto found = lf_findStandNear(north(15.0), aircraft, wideStandSearchNm, false);
  ASSERT_NE(found, parkPositions.end());
  EXPECT_EQ(found->id, "A");
  EXPECT_TRUE(small.radius_change);
  EXPECT_NEAR(small.radius, nm(14.0), 1e-9);
  EXPECT_EQ(learnedUpdates, 1);
}

TEST_F(StandForParking, TheNarrowSearchMissesAStandThirtyMetresAway) {
  addStand("A", 0.0);
  const AcIdentity aircraft = identityOf("DLH1", "A320");
  EXPECT_EQ(lf_findStandNear(north(30.0), aircraft, narrowStandSearchNm, false), parkPositions.end());
  EXPECT_NE(lf_findStandNear(north(30.0), aircraft, wideStandSearchNm, false), parkPositions.end());
}

TEST_F(StandForParking, StandsBeingClearedAndStandsOfTheWrongKindAreNotOffered) {
  ParkPos& marked = addStand("A", 0.0);
  ParkPos& helipad = addStand("H", 100.0);
  helipad.heli = true;
  marked.makeWayMark = true;
  EXPECT_EQ(lf_findStandNear(north(0.0), identityOf("DLH1", "A320"), wideStandSearchNm, false), parkPositions.end());
  EXPECT_EQ(lf_findStandNear(north(100.0), identityOf("DLH1", "A320"), wideStandSearchNm, false), parkPositions.end());
  RotorcraftTypes = {"EC35"};
  const AcIdentity helicopter = identityOf("CHX1", "EC35");
  EXPECT_EQ(lf_findStandNear(north(100.0), helicopter, wideStandSearchNm, false)->id, "H");
  marked.makeWayMark = false;
  EXPECT_EQ(lf_findStandNear(north(0.0), helicopter, wideStandSearchNm, false), parkPositions.end());
  RotorcraftTypes.clear();
}

TEST_F(StandForParking, FartherOutTheStandItsFlightIsKnownToUseIsTaken) {
  ParkPos& usual = addStand("A", 80.0);
  addStand("B", 200.0);
  const AcIdentity aircraft = identityOf("DLH1", "A320");
  EXPECT_EQ(lf_findStandNear(north(0.0), aircraft, wideStandSearchNm, true), parkPositions.end());
  addOption(usual, "D-AIZA", "A320", 1, slots({1}), "DLH1");
  EXPECT_EQ(lf_findStandNear(north(0.0), aircraft, wideStandSearchNm, true)->id, "A");
  EXPECT_EQ(lf_findStandNear(north(0.0), aircraft, wideStandSearchNm, false), parkPositions.end());
}

}  // namespace
}  // namespace cvl::test

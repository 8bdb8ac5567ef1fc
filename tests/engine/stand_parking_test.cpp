#include "engine/stand_parking.h"

#include <gtest/gtest.h>

#include <string>

#include "engine_ground_fixture.h"
#include "parking/stand_lookups.h"

namespace cvl::test {
namespace {

constexpr double degreesPerMetre = 1.0 / 1852.0 / 60.0;  // of latitude

// A taxiing A320 whose reports have come to rest `metres` north of stand "C3" at 50 N 8 E.
class StandParking : public EngineGround {
 protected:
  void SetUp() override {
    EngineGround::SetUp();
    addStandWith("C1", 50.001, 8.0, 0.0, 0.02);
    addStandWith("C2", 50.002, 8.0, 0.0, 0.02);
    stand_ = &addStandWith("C3", 50.0, 8.0, 1.0, 0.02);
    stand_->cargo = true;
    gf_publishStandPlaces();
  }

  LiveAc& restingNearStand(double metres, std::uint32_t hexid = 20001) {
    TimedPosition rest = at(50.0 + metres * degreesPerMetre, 8.0, 1200);
    rest.stationary = true;
    LiveAc& aircraft = activeWith({at(50.0 + 100.0 * degreesPerMetre, 8.0, 1000, 5.0), rest}, AcPhase::taxi, "A320",
                                  "DLH" + std::to_string(hexid), hexid);
    return aircraft;
  }

  ParkPos* stand_ = nullptr;
};

TEST_F(StandParking, AnAircraftCreatedAtAStandTakesItFromTheStaticParking) {
  weekTimeNow = WeekTime{3, 17}.packed();
  for (const std::uint32_t sid : {1, 3, 2, 3}) {
    parkedEntries.emplace_back().sid = sid;
  }
  StaticAc& onStand = addStatic("BAW9*", 900, 3, AcState::active);
  StaticAc& neighbour = addStatic("AFR3*", 901, 2, AcState::active);
  LiveAc& aircraft = activeWith({at(50.0, 8.0, 100)}, AcPhase::parked);
  park(aircraft, *stand_);
  lf_parks(aircraft);
  EXPECT_TRUE(aircraft.onGround);
  EXPECT_EQ(aircraft.parkedSince, (WeekTime{3, 17}));
  EXPECT_TRUE(logged("C3      : DLH1     parks"));
  ASSERT_EQ(parkedEntries.size(), 2U);
  EXPECT_EQ(parkedEntries[0].sid, 1U);
  EXPECT_EQ(parkedEntries[1].sid, 2U);
  EXPECT_EQ(onStand.state, AcState::removingfromsim);
  EXPECT_EQ(neighbour.state, AcState::active);
  EXPECT_TRUE(logged("C3      : DLH1     parks over static BAW9* \u2014 static will be removed"));
}

TEST_F(StandParking, ANarrowSearchFindsOnlyAStandWithinTwentyMetresAWideOneWithinFiftyFive) {
  LiveAc& aircraft = restingNearStand(30.0);
  try2Park(aircraft, false);
  EXPECT_EQ(aircraft.phase, AcPhase::taxi);
  // The spot has been searched: the wide search waits for the next spot.
  try2Park(aircraft, true);
  EXPECT_EQ(aircraft.phase, AcPhase::taxi);

  LiveAc& wide = restingNearStand(30.0, 20002);
  try2Park(wide, true);
  EXPECT_EQ(wide.phase, AcPhase::parking);
  EXPECT_EQ(wide.standId, stand_->sid);
  ASSERT_EQ(wide.stream.size(), 3U);  // where it is, the stand and the stop there
  EXPECT_DOUBLE_EQ(wide.stream[2].lat, 50.0);
  EXPECT_TRUE(wide.stream[2].stationary);
}

TEST_F(StandParking, TheUsersStandAndTheReservedStandAreNeverTaken) {
  userOnGround = true;
  {
    const std::lock_guard lock{userAcMutex};
    userAcSnapshot.latitude = 50.0;
    userAcSnapshot.longitude = 8.0;
  }
  LiveAc& onUserStand = restingNearStand(5.0);
  try2Park(onUserStand, false);
  EXPECT_EQ(onUserStand.phase, AcPhase::taxi);
  userOnGround = false;

  mainWindow.reservedStandName = std::string("C3");
  LiveAc& onReserved = restingNearStand(5.0, 20002);
  try2Park(onReserved, false);
  EXPECT_EQ(onReserved.phase, AcPhase::taxi);
}

TEST_F(StandParking, AnAircraftParkingWhereAStaticOneStandsMakesItGo) {
  StaticAc& onStand = addStatic("BAW9*", 900, 3, AcState::active);
  LiveAc& aircraft = restingNearStand(5.0);
  try2Park(aircraft, false);
  EXPECT_EQ(aircraft.phase, AcPhase::parking);
  EXPECT_EQ(onStand.state, AcState::removingfromsim);
  EXPECT_TRUE(logged("makes way for DLH20001"));
}

}  // namespace
}  // namespace cvl::test

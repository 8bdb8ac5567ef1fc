#include "parking/static_creation.h"

#include <gtest/gtest.h>

#include "static_parking_fixture.h"

namespace cvl::test {
namespace {

class StaticCreation : public StaticParking {
 protected:
  void SetUp() override {
    StaticParking::SetUp();
    RegcodeTitleMap = {{"D-AIZA", "Lufthansa A320"}, {"D-AIZB", "CityLine A320"}};
    stand_ = &addStand("A1", 0.0);
    neighbour_ = &addStand("A2", 40.0);
    makeNeighbours(*stand_, *neighbour_);
    stand_->heading = 1.5707963267948966;
    stand_->cargo = true;
    setNow(at(2, 20));
  }

  static void make(const ParkedEntry& entry) {
    parkedEntries.push_back(entry);
    lf_detcs();
  }

  ParkPos* stand_ = nullptr;
  ParkPos* neighbour_ = nullptr;
};

TEST_F(StaticCreation, AnEntryBecomesAStaticAircraftQueuedForTheSimulator) {
  make(entryOf(*stand_, "DLH12_", "DLH13", "D-AIZA", true, 3));
  EXPECT_TRUE(parkedEntries.empty());
  ASSERT_EQ(staticAcs.size(), 1U);
  const StaticAc& aircraft = staticAcs[0];
  EXPECT_EQ(aircraft.callsign, "DLH12*");
  EXPECT_EQ(aircraft.optCallsign, "DLH12_");
  EXPECT_EQ(aircraft.cplCallsign, "DLH13");
  EXPECT_EQ(aircraft.state, AcState::adding2sim);
  EXPECT_EQ(aircraft.standId, stand_->sid);
  EXPECT_TRUE(aircraft.standCargo);
  EXPECT_EQ(aircraft.parkedSince, at(2, 17));
  EXPECT_EQ(aircraft.liveryTitle, "Lufthansa A320");
  EXPECT_EQ(aircraft.hexid, 1U);
  ASSERT_EQ(staticCreateBacklog.size(), 1U);
  const CreateRequest& request = staticCreateBacklog.front();
  EXPECT_EQ(request.callsign, "DLH12*");
  EXPECT_EQ(request.title, "Lufthansa A320");
  EXPECT_EQ(request.hexid, 1U);
  EXPECT_DOUBLE_EQ(request.initPosition.latitude, stand_->latitude);
  EXPECT_NEAR(request.initPosition.heading, 90.0, 1e-9);
  EXPECT_EQ(request.initPosition.onGround, 1U);
  EXPECT_DOUBLE_EQ(request.initPosition.altitude, 0.0);
}

TEST_F(StaticCreation, TheCallsignIsTheDepartingOneUnlessTheAircraftStaysOrHasNone) {
  make(entryOf(*stand_, "DLH12", "DLH13", "D-AIZA", false));
  make(entryOf(*neighbour_, "", "", "D-AIZB", true));
  ASSERT_EQ(staticAcs.size(), 1U);  // the neighbour is taken now
  EXPECT_EQ(staticAcs[0].callsign, "DLH13*");
  staticAcs.clear();
  make(entryOf(*neighbour_, "", "", "D-AIZB", true));
  ASSERT_EQ(staticAcs.size(), 1U);
  EXPECT_EQ(staticAcs[0].callsign, "DLH2*");  // airline and hexid; a blocked entry takes no hexid
}

TEST_F(StaticCreation, ParkedOrParkingLiveAircraftKeepTheStandAndItsNeighboursFree) {
  addLive("BAW1", "A320", AcPhase::parking, stand_->sid);
  make(entryOf(*stand_, "DLH12", "", "D-AIZA", true));
  EXPECT_NE(log_.body().find("A1      : no static parking for DLH12, live aircraft BAW1 standing here"),
            std::string::npos);
  liveAcs.clear();
  addLive("BAW2", "A320", AcPhase::parked, neighbour_->sid);
  make(entryOf(*stand_, "DLH12", "", "D-AIZA", true));
  EXPECT_NE(log_.body().find("live aircraft BAW2 is adjacent at A2, possibly colliding"), std::string::npos);
  liveAcs.clear();
  addLive("BAW3", "A320", AcPhase::taxi, stand_->sid);
  make(entryOf(*stand_, "DLH12", "", "D-AIZA", true));
  EXPECT_EQ(staticAcs.size(), 1U);
  EXPECT_TRUE(parkedEntries.empty());
}

TEST_F(StaticCreation, AStaticAircraftNextDoorBlocksUntilItsRemovalIsUnderWay) {
  StaticAc& nextDoor = addStatic("BER1*", *neighbour_, "A320", "D-ABCD");
  make(entryOf(*stand_, "DLH12", "", "D-AIZA", true));
  EXPECT_EQ(staticAcs.size(), 1U);
  EXPECT_NE(log_.body().find("static aircraft BER1* is adjacent at A2"), std::string::npos);
  nextDoor.state = AcState::removingfromsim;
  make(entryOf(*stand_, "DLH12", "", "D-AIZA", true));
  EXPECT_EQ(staticAcs.size(), 2U);
}

TEST_F(StaticCreation, TheAircraftLeavingToComeBackUnderItsOtherCallsignDoesNotBlockItself) {
  StaticAc& leaving = addStatic("DLH12*", *stand_, "A320", "D-AIZA", AcState::removingfromsim);
  leaving.airline = "DLH";
  make(entryOf(*stand_, "DLH12", "DLH13", "D-AIZA", false));
  ASSERT_EQ(staticAcs.size(), 2U);
  EXPECT_EQ(staticAcs[1].callsign, "DLH13*");
}

TEST_F(StaticCreation, WithoutALiveryNothingIsMadeAndTheEntryIsGone) {
  make(entryOf(*stand_, "DLH12", "", "D-XXXX", true));
  EXPECT_TRUE(staticAcs.empty());
  EXPECT_TRUE(parkedEntries.empty());
  EXPECT_TRUE(staticCreateBacklog.empty());
  EXPECT_NE(log_.body().find("no livery match"), std::string::npos);
}

TEST_F(StaticCreation, AnEntryForAStandThatIsGoneIsDropped) {
  parkedEntries.push_back(entryOf(*stand_, "DLH12", "", "D-AIZA", true));
  parkedEntries.back().sid = 77;
  lf_detcs();
  EXPECT_TRUE(staticAcs.empty());
  EXPECT_NE(log_.body().find("stand with id sid==? not found"), std::string::npos);
}

TEST_F(StaticCreation, StaticHexidsStayBetweenOneAndTheLastStaticHexid) {
  staticHexidCounter = 9998;
  make(entryOf(*stand_, "DLH12", "", "D-AIZA", true));
  staticAcs.clear();
  make(entryOf(*stand_, "DLH12", "", "D-AIZA", true));
  staticAcs.clear();
  make(entryOf(*stand_, "DLH12", "", "D-AIZA", true));
  ASSERT_EQ(staticCreateBacklog.size(), 3U);
  EXPECT_EQ(staticCreateBacklog[0].hexid, 9999U);
  EXPECT_EQ(staticCreateBacklog[1].hexid, 1U);  // never 0, which stands for no aircraft
  EXPECT_EQ(staticCreateBacklog[2].hexid, 2U);
}

}  // namespace
}  // namespace cvl::test

#include <gtest/gtest.h>

#include "parking/stand_learning.h"
#include "parking/stand_options.h"
#include "static_parking_fixture.h"

namespace cvl::test {
namespace {

class OccupationLearning : public StaticParking {
 protected:
  void SetUp() override {
    StaticParking::SetUp();
    stand_ = &addStand("A1", 0.0);
  }

  // The live aircraft is seen on the stand at that time.
  void seen(LiveAc& aircraft, const WeekTime& time, std::uint32_t occasion = 0) {
    setNow(time);
    lf_addRealStandOption(stand_->sid, aircraft, occasion);
  }

  const std::vector<StandOption>& options() const { return stand_->options; }

  ParkPos* stand_ = nullptr;
};

TEST_F(OccupationLearning, AStayWithinTheWindowExtendsItsOptionAndALongerGapStartsANewOne) {
  LiveAc& heavy = addLive("DLH400", "B77W", AcPhase::parked, stand_->sid, "D-ABYA");
  seen(heavy, at(1, 20));
  seen(heavy, at(1, 26));  // 6 half hours: within a Heavy's 8
  ASSERT_EQ(options().size(), 1U);
  EXPECT_EQ(options()[0].hh, slotRange(20, 26));
  EXPECT_EQ(options()[0].callsign, "DLH400");
  EXPECT_EQ(options()[0].airline, "DLH");
  EXPECT_EQ(options()[0].origin, 0U);
  EXPECT_EQ(options()[0].real, 1U);

  ParkPos& other = addStand("A2", 200.0);
  LiveAc& medium = addLive("DLH12", "A320", AcPhase::parked, other.sid, "D-AIZA");
  setNow(at(1, 20));
  lf_addRealStandOption(other.sid, medium, 0);
  setNow(at(1, 26));  // 6 half hours: beyond the 5 a medium aircraft may bridge
  lf_addRealStandOption(other.sid, medium, 0);
  ASSERT_EQ(other.options.size(), 2U);
  EXPECT_EQ(other.options[0].hh, slots({20}));
  EXPECT_EQ(other.options[1].hh, slots({26}));
  EXPECT_EQ(other.options[1].id, 2U);
  EXPECT_EQ(learnedUpdates, 3);
}

TEST_F(OccupationLearning, ACargoAircraftBridgesElevenHalfHours) {
  LiveAc& freighter = addLive("GEC8100", "B744", AcPhase::parked, stand_->sid, "D-ALCA");
  freighter.cargo = true;
  seen(freighter, at(3, 10));
  seen(freighter, at(3, 21));
  ASSERT_EQ(options().size(), 1U);
  EXPECT_EQ(options()[0].hh, slotRange(10, 21));
  seen(freighter, at(3, 33));  // 12 half hours
  EXPECT_EQ(options().size(), 2U);
}

TEST_F(OccupationLearning, AStayAcrossMidnightGoesOnInAnOptionOfTheNewDay) {
  LiveAc& aircraft = addLive("DLH12", "A320", AcPhase::parked, stand_->sid, "D-AIZA");
  seen(aircraft, at(1, 46));
  seen(aircraft, at(1, 47));
  seen(aircraft, at(2, 1));
  ASSERT_EQ(options().size(), 2U);
  EXPECT_EQ(options()[0].day, 1U);
  EXPECT_EQ(options()[0].hh, slots({46, 47}));
  EXPECT_EQ(options()[1].day, 2U);
  EXPECT_EQ(options()[1].hh, slots({0, 1}));
  EXPECT_EQ(options()[1].callsign, "DLH12");

  // Later on the new day its own option grows.
  seen(aircraft, at(2, 3));
  ASSERT_EQ(options().size(), 2U);
  EXPECT_EQ(options()[1].hh, slotRange(0, 3));
}

TEST_F(OccupationLearning, TheOldDayIsFilledUpToMidnightWhenTheLastSightingWasEarlier) {
  ParkPos& stand = *stand_;
  AddedOption first;
  const AcIdentity identity = identityOf("DLH12", "A320", "D-AIZA");
  gf_addStandOption(stand, first, identity, at(7, 45), "DLH12", "D-AIZA", false);
  ASSERT_TRUE(first.added);
  LearnState state{at(7, 45), 0};
  // Sunday 45 to Monday 1 wraps across the week's end: 4 half hours.
  EXPECT_TRUE(gf_learnStandOccupation(at(1, 1), stand, first.newId, state, identity, "DLH12_", "D-AIZA", false));
  ASSERT_EQ(options().size(), 2U);
  EXPECT_EQ(options()[0].hh, slotRange(45, 47));
  EXPECT_EQ(options()[1].day, 1U);
  EXPECT_EQ(options()[1].hh, slots({0, 1}));
  EXPECT_EQ(state.nextDayId, 2U);
  EXPECT_EQ(state.last, at(1, 1));
}

TEST_F(OccupationLearning, TheSameHalfHourTwiceAddsNothing) {
  LiveAc& aircraft = addLive("DLH12", "A320", AcPhase::parked, stand_->sid, "D-AIZA");
  seen(aircraft, at(4, 30), 1);
  seen(aircraft, at(4, 30));
  EXPECT_EQ(options().size(), 1U);
  EXPECT_EQ(learnedUpdates, 1);
  EXPECT_EQ(mainWindow.learnedUpdates, 1U);
}

TEST_F(OccupationLearning, WhatTheAirportFileKnowsForNowIsNotLearnedAgain) {
  StandOption& known = addOption(*stand_, "D-AIZA", "A320", 2, slotRange(10, 14));
  known.origin = 1;
  LiveAc& aircraft = addLive("DLH12", "A320", AcPhase::parked, stand_->sid, "D-AIZA");
  seen(aircraft, at(2, 12));
  EXPECT_EQ(options().size(), 1U);
  // Outside the file's half hours the stay is new knowledge.
  seen(aircraft, at(2, 30));
  ASSERT_EQ(options().size(), 2U);
  EXPECT_EQ(options()[1].origin, 0U);
  EXPECT_EQ(options()[1].hh, slots({30}));
}

TEST_F(OccupationLearning, LeavingCouplesTheOptionAndACouplingReturnStartsAnother) {
  LiveAc& aircraft = addLive("DLH12", "A320", AcPhase::parked, stand_->sid, "D-AIZA_");
  seen(aircraft, at(5, 20));
  aircraft.callsign = "DLH13";
  seen(aircraft, at(5, 22), 2);
  ASSERT_EQ(options().size(), 1U);
  EXPECT_TRUE(options()[0].cpl);
  EXPECT_EQ(options()[0].reg, "D-AIZA");
  EXPECT_EQ(options()[0].callsign, "DLH12");
  EXPECT_EQ(options()[0].callsign2, "DLH13");
  seen(aircraft, at(5, 24));
  EXPECT_EQ(options().size(), 2U);
}

TEST_F(OccupationLearning, OnlyAircraftKnownToTheDatabaseAtAValidTimeAreLearned) {
  LiveAc& unknown = addLive("XYZ1", "A320", AcPhase::parked, stand_->sid, "N12345");
  seen(unknown, at(1, 10));
  LiveAc& noRegistration = addLive("XYZ2", "A320", AcPhase::parked, stand_->sid, "_");
  seen(noRegistration, at(1, 10));
  LiveAc& known = addLive("DLH12", "A320", AcPhase::parked, stand_->sid, "D-AIZA");
  seen(known, WeekTime{});  // the week time is not known yet after a restart
  EXPECT_TRUE(options().empty());
  setNow(at(1, 10));
  lf_addRealStandOption(99, known, 0);
  EXPECT_TRUE(options().empty());
}

TEST_F(OccupationLearning, TheOperatorIsTheAirlineOfALearnedOption) {
  LiveAc& aircraft = addLive("CLH7", "A320", AcPhase::parked, stand_->sid, "D-AIZB");
  seen(aircraft, at(1, 10));
  ASSERT_EQ(options().size(), 1U);
  EXPECT_EQ(options()[0].airline, "CLH");
}

TEST_F(OccupationLearning, AnHalfHourOutsideTheDayIsLoggedAndLeavesTheOptionAlone) {
  addOption(*stand_, "D-AIZA", "A320", 1, slots({5}));
  EXPECT_FALSE(updateOptions(*stand_, {6, 48}, 1));
  EXPECT_FALSE(updateOptionsWrapped(*stand_, {1, 0, -1}, 1, 1));
  EXPECT_NE(log_.body().find("updateOptions exception:"), std::string::npos);
  EXPECT_NE(log_.body().find("updateOptionsWrapped exception:"), std::string::npos);
  EXPECT_FALSE(updateOptions(*stand_, {6}, 7));
}

TEST_F(OccupationLearning, ASecondCallsignReplacesAnEarlierSecondOne) {
  addOption(*stand_, "D-AIZA", "A320", 1, slots({5}));
  lf_addOptionCallsign(*stand_, 1, "DLH1_");
  lf_addOptionCallsign(*stand_, 1, "DLH2");
  lf_addOptionCallsign(*stand_, 1, "DLH1");
  lf_addOptionCallsign(*stand_, 1, "DLH3");
  EXPECT_EQ(options()[0].callsign, "DLH1");
  EXPECT_EQ(options()[0].callsign2, "DLH3");
}

class CoupledCallsigns : public StaticParking {};

TEST_F(CoupledCallsigns, AFlightTakesTheCallsignsOfItsOptionAroundNow) {
  ParkPos& stand = addStand("A1", 0.0);
  addOption(stand, "D-AIZA", "A320", 3, slots({20}), "DLH100", "");
  addOption(stand, "D-AIZA", "A320", 3, slots({9}), "DLH100", "DLH101", "BAW");
  addOption(stand, "D-AIZA", "A320", 3, slots({9}), "DLH100", "DLH101");
  AcIdentity flight = identityOf("DLH101_", "A320");
  lf_searchForCoupledCsAroundThisTime(at(3, 19), flight);
  EXPECT_EQ(flight.optCallsign, "DLH100");
  EXPECT_EQ(flight.cplCallsign, "DLH101");

  AcIdentity late = identityOf("DLH101", "A320");
  lf_searchForCoupledCsAroundThisTime(at(3, 20), late);  // slot 9 is 11 half hours back
  EXPECT_TRUE(late.cplCallsign.empty());

  AcIdentity heavy = identityOf("DLH101", "B77W");
  lf_searchForCoupledCsAroundThisTime(at(3, 23), heavy);
  EXPECT_EQ(heavy.cplCallsign, "DLH101");
}

}  // namespace
}  // namespace cvl::test

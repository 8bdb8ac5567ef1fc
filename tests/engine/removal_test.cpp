#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "app/main_window.h"
#include "app/run_loop.h"
#include "engine/aircraft_removal.h"
#include "engine/engine_clock.h"
#include "engine/live_aircraft.h"
#include "engine/live_parked.h"
#include "engine_rules_fixture.h"
#include "foundation/settings_catalogue.h"

namespace cvl::test {
namespace {

CreateRequest requestFor(const std::string& callsign, std::uint32_t hexid) {
  CreateRequest request{};
  request.callsign = callsign;
  request.hexid = hexid;
  return request;
}

using Removal = EngineRules;

TEST_F(Removal, ABufferedAircraftIsOnlyFlaggedForTheNextTick) {
  LiveAc& aircraft = addLive("DLH1", 20001, AcState::buffer, AcPhase::birth);
  removeAircraftFromSim(aircraft);
  EXPECT_TRUE(aircraft.remove);
  EXPECT_EQ(aircraft.state, AcState::buffer);
  EXPECT_TRUE(removalBacklog.empty());
}

TEST_F(Removal, AQueuedCreationIsWithdrawnWhileAnotherAircraftOfTheSameCallsignKeepsItsOwn) {
  LiveAc& aircraft = addLive("DLH1", 20001, AcState::adding2sim, AcPhase::flying);
  liveCreateBacklog = {requestFor("DLH1", 20002), requestFor("DLH1", 20001), requestFor("BAW2", 20003)};
  removeAircraftFromSim(aircraft);
  EXPECT_TRUE(aircraft.removeNow);
  ASSERT_EQ(liveCreateBacklog.size(), 2U);
  EXPECT_EQ(liveCreateBacklog[0].hexid, 20002U);
  EXPECT_EQ(liveCreateBacklog[1].hexid, 20003U);
}

TEST_F(Removal, ASpawnStillOnTheAddingStackNeverReachesTheSimulator) {
  LiveAc& aircraft = addLive("DLH1", 20001, AcState::adding2sim, AcPhase::taxi);
  addingStack = {20005, 20001};
  removeAircraftFromSim(aircraft);
  EXPECT_TRUE(aircraft.removeNow);
  EXPECT_EQ(addingStack, (std::vector<std::uint32_t>{20005}));
}

TEST_F(Removal, ACreationAlreadyWithTheSimulatorIsMarkedToLeaveWhenItsObjectShowsAndNotAskedForTwice) {
  LiveAc& aircraft = addLive("DLH1", 20001, AcState::adding2sim, AcPhase::flying);
  removeAircraftFromSim(aircraft);
  EXPECT_TRUE(aircraft.waitRemove);
  EXPECT_FALSE(aircraft.removeNow);

  aircraft.state = AcState::active;  // its object goes when it shows, through the wait-remove flag: nothing before that
  removeAircraftFromSim(aircraft);
  EXPECT_EQ(aircraft.state, AcState::active);
  EXPECT_TRUE(removalBacklog.empty());
}

TEST_F(Removal, AnActiveAircraftIsQueuedOnceFreesItsStandAndTheSelection) {
  ParkPos& stand = addStand("A12", 50.0, 8.0);
  stand.makeWayMark = true;
  LiveAc& aircraft = addLive("DLH1", 20001, AcState::active, AcPhase::parked);
  park(aircraft, stand);
  selectedObjectId = aircraft.objectId;

  removeAircraftFromSim(aircraft);
  removeAircraftFromSim(aircraft);

  EXPECT_EQ(aircraft.state, AcState::removingfromsim);
  EXPECT_FALSE(stand.makeWayMark);
  EXPECT_EQ(selectedObjectId, 0U);
  EXPECT_EQ(removalBacklog, (std::deque<std::uint32_t>{aircraft.objectId}));
}

TEST_F(Removal, ALiveryRespawnThatMustGoIsNotQueuedASecondTime) {
  LiveAc& aircraft = addLive("DLH1", 20001, AcState::liveryrespawn, AcPhase::flying);
  removeAircraftFromSim(aircraft);
  EXPECT_EQ(aircraft.state, AcState::removingfromsim);
  EXPECT_TRUE(removalBacklog.empty());
}

TEST_F(Removal, AnActiveAircraftWithoutObjectIdIsLoggedAndDoesNotStay) {
  LiveAc& aircraft = addLive("DLH1", 20001, AcState::active, AcPhase::flying);
  aircraft.objectId = 0;
  removeAircraftFromSim(aircraft);
  EXPECT_TRUE(removalBacklog.empty());
  EXPECT_TRUE(aircraft.remove);
  EXPECT_NE(log.body().find("==> removeAircraftFromSim removing act DLH1"), std::string::npos);
}

TEST_F(Removal, EverythingStaticOut) {
  addStatic("S1*", 1, 0, AcState::active);
  addStatic("S2*", 2, 0, AcState::adding2sim);
  addStatic("S3*", 3, 0, AcState::adding2sim);
  staticCreateBacklog = {requestFor("S2*", 2)};

  gf_removeAllStatic();

  ASSERT_EQ(staticAcs.size(), 2U);
  EXPECT_EQ(staticAcs[0].state, AcState::removingfromsim);
  EXPECT_TRUE(staticAcs[1].waitRemove);  // its creation is with the simulator already
  EXPECT_TRUE(staticCreateBacklog.empty());
  EXPECT_EQ(removalBacklog.size(), 1U);
}

// Ten stands at 100 % make a wanted count of ten.
class ParkedLimit : public EngineRules {
 protected:
  void SetUp() override {
    EngineRules::SetUp();
    for (int i = 0; i < 10; ++i) {
      addStand("S" + std::to_string(i), 50.0 + i * 0.001, 8.0);
    }
  }
  void TearDown() override {
    weekTimeNow = 0;
    EngineRules::TearDown();
  }

  LiveAc& addParkedLive(int i, std::int64_t minutesAgo) {
    LiveAc& aircraft = addLive("P" + std::to_string(i), 20000 + i, AcState::active, AcPhase::parked);
    park(aircraft, parkPositions[static_cast<std::size_t>(i)]);
    aircraft.parkedAt = gf_nowIn100ns() - minutesAgo * 600'000'000;
    return aircraft;
  }

  WantedParkedSettings settings_{500};
};

TEST_F(ParkedLimit, LiveAircraftAboveTheLimitStayAndTheStaticOnesGiveWay) {
  for (int i = 0; i < 10; ++i) {
    addParkedLive(i, 10 + i);
  }
  StaticAc& parked = addStatic("STAT*", 1, 10, AcState::active);
  lf_checkMaxPark(true);
  EXPECT_EQ(parked.state, AcState::removingfromsim);
  lf_checkMaxPark(true);
  EXPECT_TRUE(std::all_of(liveAcs.begin(), liveAcs.end(),
                          [](const LiveAc& aircraft) { return aircraft.state == AcState::active; }));
  EXPECT_EQ(removalBacklog.size(), 1U);
}

TEST_F(ParkedLimit, ANewcomerWaitsWhileAircraftDrivingOntoTheirStandsFillTheLimit) {
  for (int i = 0; i < 9; ++i) {
    addParkedLive(i, 5);
  }
  EXPECT_FALSE(gf_liveParkedFull());
  LiveAc& arriving = addParkedLive(9, 0);
  arriving.phase = AcPhase::parking;
  EXPECT_TRUE(gf_liveParkedFull());
  removeAircraftFromSim(arriving);
  EXPECT_FALSE(gf_liveParkedFull());
}

TEST_F(ParkedLimit, TooManyStaticAircraftLoseTheOneNotYetSeenThenTheEarliestParked) {
  // Eight live aircraft parked, a ninth driving onto its stand, two static aircraft parked and a third queued for
  // creation: two more than the ten wanted.
  for (int i = 0; i < 9; ++i) {
    addParkedLive(i, 5);
  }
  liveAcs.back().phase = AcPhase::parking;
  StaticAc& later = addStatic("LATE*", 1, 10, AcState::active);
  later.parkedSince = {2, 10};
  StaticAc& earlier = addStatic("EARLY*", 2, 10, AcState::active);
  earlier.parkedSince = {1, 40};
  addStatic("QUEUED*", 3, 10, AcState::adding2sim).parkedSince = {1, 2};
  staticCreateBacklog.push_back(CreateRequest{{}, "QUEUED*", {}, 3});

  lf_checkMaxPark(false);
  EXPECT_TRUE(staticCreateBacklog.empty());
  EXPECT_EQ(staticAcs.size(), 2U);
  EXPECT_TRUE(removalBacklog.empty());

  lf_checkMaxPark(false);
  EXPECT_EQ(earlier.state, AcState::removingfromsim);
  EXPECT_EQ(later.state, AcState::active);
  lf_checkMaxPark(false);
  EXPECT_EQ(removalBacklog.size(), 1U);
}

TEST_F(ParkedLimit, TheListOfParkedLiveAircraftDropsThoseParkedTooLong) {
  addParkedLive(0, 95);
  addParkedLive(1, 30);
  addParkedLive(2, 10).parkedListed = true;
  LiveAc& heavy = addParkedLive(3, 120);
  heavy.category = AcCategory::Heavy;

  gf_listLiveParked();

  EXPECT_EQ(liveAcs[0].state, AcState::removingfromsim);
  ASSERT_EQ(liveParkedList.size(), 3U);
  EXPECT_EQ(liveParkedList[0].callsign, "P2");
  EXPECT_EQ(liveParkedList[0].minutes, 0);
  EXPECT_EQ(liveParkedList[1].callsign, "P1");
  EXPECT_EQ(liveParkedList[2].callsign, "P3");
  EXPECT_EQ(liveParkedList[2].stand, "S3");
}

TEST_F(ParkedLimit, TheAverageParkedTimeCountsHalfHoursOverTheWeekEnd) {
  weekTimeNow = WeekTime{1, 2}.packed();      // Monday 01:00
  addParkedLive(0, 0).parkedSince = {7, 46};  // Sunday 23:00: 4 half hours
  addParkedLive(1, 0).parkedSince = {1, 0};   // 2 half hours
  addLive("AIR", 20099, AcState::active, AcPhase::flying);

  EXPECT_EQ(gf_countLiveParked(true), 2U);
  EXPECT_FLOAT_EQ(mainWindow.liveAverageFit, 2.0F);  // 6 / (2 x 2) + 0.5
}

}  // namespace
}  // namespace cvl::test

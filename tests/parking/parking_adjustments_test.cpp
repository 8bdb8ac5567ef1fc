#include "parking/parking_adjustments.h"

#include <fmt/format.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "app/status_line.h"
#include "engine/engine_clock.h"
#include "parking/park_airport_switch.h"
#include "parking/park_airports.h"
#include "static_parking_fixture.h"

namespace cvl::test {
namespace {

class ParkingAdjustments : public StaticParking {
 protected:
  static LiveAc& parkedLive(const std::string& callsign, const ParkPos& stand, std::int64_t minutesAgo) {
    LiveAc& aircraft = addLive(callsign, "A320", AcPhase::parked, stand.sid);
    aircraft.parkedAt = gf_nowIn100ns() - minutesAgo * 600'000'000;
    return aircraft;
  }

  static void adjustAt(const WeekTime& now) {
    setNow(now);
    gf_parkingAdjustments();
  }
};

TEST_F(ParkingAdjustments, WithAsManyLiveParkedAsWantedOnlyTheStaticAircraftAreJudged) {
  ParkPos& first = addStand("A1", 0.0);
  ParkPos& second = addStand("A2", 500.0);
  ParkPos& free = addStand("A3", 1000.0);
  ParkPos& withStatic = addStand("A4", 1500.0);
  parking_percentage.value = 50;  // 2 of 4 stands
  parkedLive("BAW1", first, 5);
  parkedLive("BAW2", second, 50);
  addOption(free, "D-AIZB", "A320", 1, slots({10}), "DLH5");
  StaticAc& aircraft = addStatic("DLH1*", withStatic, "A320", "D-AIZA");
  aircraft.parkedSince = at(1, 10);
  addOption(withStatic, "D-AIZA", "A320", 1, slots({10}), "DLH1");
  adjustAt(at(1, 10));
  EXPECT_TRUE(parkedEntries.empty());
  EXPECT_FALSE(free.selected);
  // The static aircraft fits, but live and static aircraft together are one too many.
  EXPECT_EQ(aircraft.state, AcState::removingfromsim);
  EXPECT_EQ(gf_statusText(), "Parking adjustments: 1 to be removed, 0 to be added");
  EXPECT_NE(log_.body().find("Parking adjustments: 1 to be removed, 0 to be added\n"), std::string::npos);
  EXPECT_EQ(log_.body().find("to be added\n\n"), std::string::npos) << "one line, no empty one after it";
}

TEST_F(ParkingAdjustments, MoreLiveAircraftAtTheirStandsThanWantedAllStay) {
  // Four stands at 50 %: two parked aircraft wanted, three live ones parked (arrivals above the wanted number).
  for (int i = 1; i <= 4; ++i) {
    addStand(fmt::format("A{}", i), 500.0 * i);
  }
  parking_percentage.value = 50;
  for (std::size_t i = 0; i < 3; ++i) {
    parkedLive(fmt::format("BAW{}", i), parkPositions[i], 10 + static_cast<std::int64_t>(i));
  }
  adjustAt(at(1, 10));
  EXPECT_TRUE(std::all_of(liveAcs.begin(), liveAcs.end(),
                          [](const LiveAc& aircraft) { return aircraft.state == AcState::active; }));
  EXPECT_TRUE(removalBacklog.empty());
  EXPECT_EQ(gf_statusText(), "Parking adjustments: 0 to be removed, 0 to be added");
}

TEST_F(ParkingAdjustments, AircraftOnTheirWayToAStandTakeTheirPlacesInTheSelectionAndAtCreation) {
  // Eight stands at 50 %: four parked aircraft wanted. A live aircraft being created at its stand, one driving onto
  // its stand and a static aircraft being created take three of the places.
  for (int i = 1; i <= 8; ++i) {
    addStand(fmt::format("A{}", i), 500.0 * i);
  }
  parking_percentage.value = 50;
  addLive("BAW1", "A320", AcPhase::parked, parkPositions[0].sid, "", AcState::adding2sim);
  addLive("BAW2", "A320", AcPhase::parking, parkPositions[1].sid);
  addStatic("DLH2*", parkPositions[2], "A320", "D-AIZA", AcState::adding2sim);
  for (std::size_t i = 3; i < 6; ++i) {
    addOption(parkPositions[i], fmt::format("D-AIZ{}", i), "A320", 1, slots({10}), fmt::format("DLH{}", i));
    RegcodeTitleMap.insert({fmt::format("D-AIZ{}", i), "Lufthansa A320"});
  }
  adjustAt(at(1, 10));
  EXPECT_EQ(gf_statusText(), "Parking adjustments: 0 to be removed, 1 to be added");

  // Another live aircraft drives onto a stand before the one to be added is made: it is not made.
  addLive("BAW3", "A320", AcPhase::parking, parkPositions[7].sid);
  lf_detcs();
  EXPECT_TRUE(parkedEntries.empty());
  EXPECT_EQ(staticAcs.size(), 1U);
  EXPECT_NE(log_.body().find("no static parking for DLH"), std::string::npos);
}

TEST_F(ParkingAdjustments, AnAircraftWhoseArrivalEndsNowComesBackUnderItsDepartingCallsign) {
  ParkPos& stand = addStand("A1", 0.0);
  StaticAc& arrived = addStatic("DLH1*", stand, "A320", "D-AIZA");
  arrived.optCallsign = "DLH1";
  arrived.cplCallsign = "DLH2";
  arrived.parkedSince = at(3, 4);
  addOption(stand, "D-AIZA", "A320", 3, slotRange(4, 10), "DLH1", "DLH2");
  RegcodeTitleMap = {{"D-AIZA", "Lufthansa A320"}};
  adjustAt(at(3, 10));
  EXPECT_EQ(arrived.state, AcState::removingfromsim);
  ASSERT_EQ(parkedEntries.size(), 1U);
  EXPECT_FALSE(parkedEntries[0].stays);
  EXPECT_EQ(parkedEntries[0].fitLevel, 6U);  // the half hours it has stood there

  lf_detcs();
  ASSERT_EQ(staticAcs.size(), 2U);
  EXPECT_EQ(staticAcs[1].callsign, "DLH2*");
  EXPECT_EQ(staticAcs[1].parkedSince, at(3, 4));
}

TEST_F(ParkingAdjustments, AStaticAircraftInsideItsOwnHalfHoursKeepsItsStand) {
  ParkPos& stand = addStand("A1", 0.0);
  StaticAc& parked = addStatic("DLH1*", stand, "A320", "D-AIZA");
  parked.optCallsign = "DLH1";
  parked.parkedSince = at(3, 10);
  addOption(stand, "D-AIZA", "A320", 3, slotRange(10, 30), "DLH1");
  addOption(stand, "D-AIZB", "A320", 3, slotRange(5, 19), "DLH7");
  parking_percentage.value = 100;
  adjustAt(at(3, 20));
  EXPECT_EQ(parked.state, AcState::active);
  EXPECT_EQ(gf_statusText(), "Parking adjustments: 0 to be removed, 0 to be added");

  // Another option of the moment, listed first: its own is chosen, with or without random choices.
  addOption(stand, "D-AIZB", "A320", 3, slotRange(18, 22), "DLH7");
  std::rotate(stand.options.begin(), stand.options.end() - 1, stand.options.end());
  for (const bool random : {false, true}) {
    RANDOM.value = random;
    adjustAt(at(3, 20));
    EXPECT_EQ(parked.state, AcState::active);
    EXPECT_TRUE(parkedEntries.empty());
  }
}

TEST_F(ParkingAdjustments, TheExcessIsCutFromEntriesThenKeptStaticAndLiveParkedAircraftStay) {
  ParkPos& stand = addStand("A1", 0.0);
  parkedEntries = {entryOf(stand, "E1", "", "", true), entryOf(stand, "E2", "", "", true)};
  keptStatics = {KeptStatic{"K1*", "", "", "", "DLH", "A320", at(1, 9), 1, false},
                 KeptStatic{"K2*", "", "", "", "DLH", "A320", at(1, 2), 1, false}};
  LiveAc& shortStay = parkedLive("L1", stand, 5);
  LiveAc& longStay = parkedLive("L2", stand, 50);
  liveParkedList = {{"L1", "A1", 5}, {"L2", "A1", 50}};
  // One driving onto its stand counts too. Live aircraft are still reported at their stands: none goes.
  addLive("L3", "A320", AcPhase::parking, stand.sid);
  lf_limitParkedTotal(1);
  EXPECT_TRUE(parkedEntries.empty());
  EXPECT_TRUE(keptStatics.empty());
  ASSERT_EQ(staticRemovals.size(), 2U);
  EXPECT_EQ(staticRemovals[0].callsign, "K2*");
  EXPECT_EQ(longStay.state, AcState::active);
  EXPECT_EQ(shortStay.state, AcState::active);
  EXPECT_TRUE(removalBacklog.empty());
}

TEST_F(ParkingAdjustments, AStandNextToAnEarlierChoiceIsFreeAgainInTheNextAdjustment) {
  ParkPos& first = addStand("A1", 0.0);
  ParkPos& second = addStand("A2", 40.0);
  makeNeighbours(first, second);
  addOption(first, "D-AIZA", "A320", 1, slots({10}), "DLH1");
  addOption(second, "D-AIZB", "A320", 1, slots({30}), "DLH2");
  MAX_FIT.value = 0;
  adjustAt(at(1, 10));
  ASSERT_EQ(parkedEntries.size(), 1U);
  EXPECT_TRUE(second.neighbourBlocked);
  adjustAt(at(1, 30));
  ASSERT_EQ(parkedEntries.size(), 1U);
  EXPECT_EQ(parkedEntries[0].sid, second.sid);
}

TEST_F(ParkingAdjustments, TheReservedStandAndTheStandUnderTheUserGetNothing) {
  ParkPos& reserved = addStand("A1", 0.0);
  ParkPos& underUser = addStand("A2", 500.0);
  ParkPos& free = addStand("A3", 1000.0);
  for (ParkPos* stand : {&reserved, &underUser, &free}) {
    addOption(*stand, "D-AIZ" + stand->id, "A320", 1, slots({10}));
  }
  parking_percentage.value = 100;
  mainWindow.reservedStandName = std::string("A1");
  setUserOnGround(true, underUser.latitude, underUser.longitude);
  adjustAt(at(1, 10));
  EXPECT_TRUE(reserved.userStand);
  EXPECT_TRUE(underUser.userStand);
  ASSERT_EQ(parkedEntries.size(), 1U);
  EXPECT_EQ(parkedEntries[0].sid, free.sid);
}

class LeavingTheParkAirport : public StaticParking {};

TEST_F(LeavingTheParkAirport, AircraftAtTheStandsGoAndFlyingOnesStay) {
  AirportList = {Airport{"EDDF", "FRA", baseLat, baseLon, 364.0, 0}};
  ASSERT_TRUE(lf_setParkAirport("EDDF"));
  EXPECT_TRUE(parkAirportActive);
  EXPECT_EQ(mainWindow.parkAirportText.get(), "EDDF (FRA)");
  ParkPos& stand = addStand("A1", 0.0);
  LiveAc& parked = addLive("BAW1", "A320", AcPhase::parked, stand.sid);
  LiveAc& taxiing = addLive("BAW2", "A320", AcPhase::taxi, stand.sid);
  LiveAc& flying = addLive("BAW3", "A320", AcPhase::flying, 0);
  addLive("BAW4", "A320", AcPhase::parked, stand.sid, "", AcState::adding2sim);
  liveCreateBacklog.push_back(CreateRequest{{}, "BAW4", {}, liveAcs.back().hexid});
  StaticAc& parkedStatic = addStatic("DLH1*", stand, "A320", "D-AIZA");
  parkedEntries.push_back(entryOf(stand, "DLH2", "", "", true));
  setUserOnGround(true, stand.latitude, stand.longitude);
  ASSERT_EQ(gf_standNameAt({stand.latitude, stand.longitude}), "A1");

  gf_removeStaticParked();
  ASSERT_EQ(liveAcs.size(), 3U);
  EXPECT_EQ(parked.state, AcState::removingfromsim);
  EXPECT_EQ(parked.standId, 0U);
  EXPECT_EQ(taxiing.state, AcState::removingfromsim);
  EXPECT_EQ(flying.state, AcState::active);
  EXPECT_TRUE(liveCreateBacklog.empty());
  EXPECT_EQ(parkedStatic.state, AcState::removingfromsim);
  EXPECT_TRUE(parkedEntries.empty());
  EXPECT_TRUE(parkPositions.empty());
  EXPECT_TRUE(currentParkAirport.code.empty());
  EXPECT_FALSE(parkAirportActive);
  EXPECT_TRUE(mainWindow.parkAirportText.empty());
  EXPECT_EQ(gf_standNameAt({baseLat, baseLon}), "");
}

TEST_F(LeavingTheParkAirport, AnUnknownCodeMakesNoParkAirport) {
  EXPECT_FALSE(lf_setParkAirport("ZZZZ"));
  EXPECT_FALSE(parkAirportActive);
  EXPECT_TRUE(currentParkAirport.code.empty());
}

}  // namespace
}  // namespace cvl::test

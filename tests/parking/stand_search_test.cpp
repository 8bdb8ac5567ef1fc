#include "parking/stand_search.h"

#include <gtest/gtest.h>

#include <set>

#include "parking/fit_passes.h"
#include "parking/static_assignment.h"
#include "static_parking_fixture.h"

namespace cvl::test {
namespace {

class StandSearch : public StaticParking {
 protected:
  static void select(const WeekTime& now, std::int64_t wanted) {
    setNow(now);
    lf_selectParkedAircraft(now, wanted, 0);
  }

  static std::vector<std::uint32_t> chosenStands() {
    std::vector<std::uint32_t> sids;
    for (const ParkedEntry& entry : parkedEntries) {
      sids.push_back(entry.sid);
    }
    return sids;
  }

  static void startAgain() {
    parkedEntries.clear();
    for (ParkPos& stand : parkPositions) {
      stand.selected = false;
      stand.neighbourBlocked = false;
      std::uint32_t id = 0;
      for (StandOption& option : stand.options) {
        option.id = ++id;
      }
    }
  }
};

TEST_F(StandSearch, TheFitWindowReachesBackIntoTheDayBefore) {
  ParkPos& stand = addStand("A1", 0.0);
  addOption(stand, "D-AIZA", "A320", 7, slots({46}), "DLH1");
  select(at(1, 3), 1);
  ASSERT_EQ(parkedEntries.size(), 1U);
  EXPECT_EQ(parkedEntries[0].sid, stand.sid);
  EXPECT_EQ(parkedEntries[0].fitLevel, 5U);
  EXPECT_EQ(parkedEntries[0].callsign, "DLH1");
  EXPECT_EQ(realFitLevel, 5);
  EXPECT_TRUE(stand.selected);
}

TEST_F(StandSearch, AStandIsSkippedWhileItsAircraftWouldTouchAStaticNeighbour) {
  ParkPos& free = addStand("A1", 0.0);
  ParkPos& taken = addStand("A2", 40.0);
  makeNeighbours(free, taken);
  addOption(free, "D-AIZA", "A320", 1, slots({10}));
  StaticAc& wide = addStatic("DLH400*", taken, "B77W", "D-ABYA");  // 15 m + 32 m > 40 m
  select(at(1, 10), 1);
  EXPECT_TRUE(parkedEntries.empty());

  startAgain();
  wide.type = "A320";  // 15 m + 15 m < 40 m
  select(at(1, 10), 1);
  EXPECT_EQ(chosenStands(), (std::vector<std::uint32_t>{free.sid}));
  EXPECT_TRUE(taken.neighbourBlocked);
}

TEST_F(StandSearch, TheWeekAndSoftPassesRunOnlyWhenSwitchedOn) {
  ParkPos& weekStand = addStand("A1", 0.0);
  ParkPos& softStand = addStand("A2", 500.0);
  addOption(weekStand, "D-AIZA", "A320", 2, slots({10}));
  addOption(softStand, "D-AIZB", "A320", 1, slots({10})).real = 0;
  MAX_FIT.value = 3;
  select(at(1, 10), 2);
  EXPECT_TRUE(parkedEntries.empty());

  startAgain();
  WEEK.value = true;
  select(at(1, 10), 2);
  EXPECT_EQ(chosenStands(), (std::vector<std::uint32_t>{weekStand.sid}));
  EXPECT_NE(log_.body().find("1 week/real position found, Max fit="), std::string::npos);
  EXPECT_TRUE(mainWindow.staticWeekMark);

  startAgain();
  PARK_SOFT.value = true;
  select(at(1, 10), 2);
  EXPECT_EQ(chosenStands(), (std::vector<std::uint32_t>{weekStand.sid, softStand.sid}));
  EXPECT_EQ(softFitLevel, 0);
  EXPECT_TRUE(mainWindow.staticSoftMark);
}

TEST_F(StandSearch, AnAircraftAlreadyParkedIsNotOfferedAgainUntilTheOptionsAreNumberedAfresh) {
  ParkPos& stand = addStand("A1", 0.0);
  ParkPos& elsewhere = addStand("B1", 800.0);
  StandOption& parked = addOption(stand, "D-AIZA", "A320", 1, slots({10}), "DLH1");
  StaticAc& aircraft = addStatic("DLH1*", elsewhere, "A320", "D-AIZX");
  aircraft.optCallsign = "DLH1";
  select(at(1, 10), 1);
  EXPECT_TRUE(parkedEntries.empty());
  EXPECT_EQ(parked.id, 0U);
}

TEST_F(StandSearch, EmptyTextsDoNotMakeAnAircraftPresent) {
  ParkPos& stand = addStand("A1", 0.0);
  ParkPos& elsewhere = addStand("B1", 800.0);
  addOption(stand, "", "A320", 1, slots({10}), "DLH2").real = 0;
  addStatic("DLH55*", elsewhere, "A320", "");  // no option callsign, no registration
  parkedEntries.push_back(entryOf(elsewhere, "", "", "", true));
  PARK_SOFT.value = true;
  select(at(1, 10), 2);
  EXPECT_EQ(chosenStands(), (std::vector<std::uint32_t>{elsewhere.sid, stand.sid}));
}

TEST_F(StandSearch, OneAircraftIsChosenForOneStandOnly) {
  ParkPos& first = addStand("A1", 0.0);
  ParkPos& second = addStand("B1", 800.0);
  addOption(first, "D-AIZA", "A320", 1, slots({10}));
  addOption(second, "D-AIZA", "A320", 1, slots({10}));
  select(at(1, 10), 2);
  EXPECT_EQ(chosenStands(), (std::vector<std::uint32_t>{first.sid}));
  EXPECT_EQ(second.options[0].id, 0U);
}

TEST_F(StandSearch, AFlightSeenInTheTrafficIsNotParked) {
  ParkPos& stand = addStand("A1", 0.0);
  addOption(stand, "D-AIZA", "A320", 1, slots({10}), "DLH1", "DLH2");
  recentTrafficCallsigns = {"DLH2"};
  select(at(1, 10), 1);
  EXPECT_TRUE(parkedEntries.empty());
}

TEST_F(StandSearch, WhenALevelFindsMoreThanWantedTheChoiceAmongThemIsRandom) {
  addOption(addStand("A1", 0.0), "D-AIZA", "A320", 1, slots({10}));
  addOption(addStand("B1", 800.0), "D-AIZB", "A320", 1, slots({10}));
  RANDOM.value = true;
  std::set<std::uint32_t> chosen;
  for (std::uint32_t seed = 1; seed <= 40; ++seed) {
    gf_reseedRandomEngine(seed);
    startAgain();
    select(at(1, 10), 1);
    ASSERT_EQ(parkedEntries.size(), 1U);
    chosen.insert(parkedEntries[0].sid);
  }
  EXPECT_EQ(chosen.size(), 2U);
}

TEST_F(StandSearch, AnAircraftStaysWhileItsOptionGoesOnAfterNow) {
  ParkPos& ending = addStand("A1", 0.0);
  ParkPos& going = addStand("B1", 800.0);
  ParkPos& arriving = addStand("C1", 1600.0);
  addOption(ending, "D-AIZA", "A320", 1, slots({9, 10}), "DLH1", "DLH2");
  addOption(going, "D-AIZB", "A320", 1, slots({10, 11}), "DLH3", "DLH4");
  addOption(arriving, "D-ABYA", "B77W", 1, slots({10}), "DLH5");
  select(at(1, 10), 3);
  ASSERT_EQ(parkedEntries.size(), 3U);
  EXPECT_FALSE(parkedEntries[0].stays);
  EXPECT_TRUE(parkedEntries[1].stays);
  EXPECT_TRUE(parkedEntries[2].stays);  // no departing callsign
}

TEST_F(StandSearch, AcrossMidnightTheNextDaysOptionDecidesWhetherTheAircraftStays) {
  ParkPos& stand = addStand("A1", 0.0);
  const StandOption& late = addOption(stand, "D-AIZA", "A320", 1, slots({47}), "DLH1", "DLH2");
  EXPECT_FALSE(gf_optionContinuesAfter(stand, late, at(1, 47)));
  addOption(stand, "D-AIZA", "A320", 2, slots({0, 1}));
  EXPECT_TRUE(gf_optionContinuesAfter(stand, stand.options[0], at(1, 47)));
}

TEST_F(StandSearch, KeptFreeStandsAndHelipadsGetNothing) {
  ParkPos& reserved = addStand("A1", 0.0);
  ParkPos& helipad = addStand("H1", 800.0);
  reserved.userStand = true;
  helipad.heli = true;
  addOption(reserved, "D-AIZA", "A320", 1, slots({10}));
  addOption(helipad, "D-HELI", "EC35", 1, slots({10}));
  HELICOPTERS.value = false;
  select(at(1, 10), 2);
  EXPECT_TRUE(parkedEntries.empty());
  startAgain();
  HELICOPTERS.value = true;
  select(at(1, 10), 2);
  EXPECT_EQ(chosenStands(), (std::vector<std::uint32_t>{helipad.sid}));
}

class StaticAssignment : public StaticParking {
 protected:
  void SetUp() override {
    StaticParking::SetUp();
    stand_ = &addStand("A1", 0.0);
  }

  StaticAc& parkedStatic(const WeekTime& since) {
    StaticAc& aircraft = addStatic("DLH1*", *stand_, "A320", "D-AIZA");
    aircraft.optCallsign = "DLH1";
    aircraft.parkedSince = since;
    return aircraft;
  }

  void assign(const WeekTime& now, std::int32_t fitLevel) {
    setNow(now);
    realFitLevel = fitLevel;
    lf_assignStaticToStands(now);
  }

  ParkPos* stand_ = nullptr;
};

TEST_F(StaticAssignment, AnAircraftStaysWhileItsOptionFallsInTheFitWindow) {
  parkedStatic(at(3, 8));
  addOption(*stand_, "D-AIZA", "A320", 3, slots({8}), "DLH1");
  assign(at(3, 10), 2);
  EXPECT_EQ(keptStatics.size(), 1U);
  EXPECT_TRUE(staticRemovals.empty());

  keptStatics.clear();
  assign(at(3, 11), 2);
  EXPECT_TRUE(keptStatics.empty());
  ASSERT_EQ(staticRemovals.size(), 1U);
  EXPECT_EQ(staticRemovals[0].callsign, "DLH1*");
}

TEST_F(StaticAssignment, TheFitWindowGoesOnExactlyIntoTheDayBefore) {
  parkedStatic(at(1, 44));
  StandOption& option = addOption(*stand_, "D-AIZA", "A320", 1, slots({45}), "DLH1");
  assign(at(2, 1), 4);  // the window: Monday 45 to Tuesday 1
  EXPECT_EQ(keptStatics.size(), 1U);

  keptStatics.clear();
  option.hh = slots({44});
  assign(at(2, 1), 4);
  EXPECT_TRUE(keptStatics.empty());
  EXPECT_EQ(staticRemovals.size(), 1U);
}

TEST_F(StaticAssignment, AMatchingEntryIsFilledByTheAircraftAlreadyThere) {
  parkedStatic(at(3, 8));
  parkedEntries.push_back(entryOf(*stand_, "DLH1", "DLH2", "D-AIZA", true));
  assign(at(3, 10), 2);
  EXPECT_EQ(keptStatics.size(), 1U);
  EXPECT_TRUE(parkedEntries.empty());
}

TEST_F(StaticAssignment, AnotherEntryForTheStandWinsOnlyOverAnAircraftParkedBeforeItsWindow) {
  // Monday 00:30 with a window of 4 half hours: it began on Sunday at 22:30.
  StaticAc& aircraft = parkedStatic(at(1, 0));
  parkedEntries.push_back(entryOf(*stand_, "DLH7", "", "D-AIZB", true, 4));
  assign(at(1, 1), 4);
  EXPECT_EQ(keptStatics.size(), 1U);
  EXPECT_TRUE(parkedEntries.empty());

  keptStatics.clear();
  aircraft.parkedSince = at(7, 40);
  parkedEntries.push_back(entryOf(*stand_, "DLH7", "", "D-AIZB", true, 4));
  assign(at(1, 1), 4);
  EXPECT_TRUE(keptStatics.empty());
  EXPECT_EQ(staticRemovals.size(), 1U);
  EXPECT_EQ(parkedEntries.size(), 1U);
}

TEST_F(StaticAssignment, AnEntryNextDoorThatWouldTouchTheAircraftIsSettledLikeOneOnItsStand) {
  ParkPos& neighbour = addStand("A2", 25.0);
  makeNeighbours(*stand_, neighbour);
  parkedStatic(at(3, 2));
  addOption(*stand_, "D-AIZA", "A320", 3, slots({9}), "DLH1");
  parkedEntries.push_back(entryOf(neighbour, "DLH7", "", "D-AIZB", true, 3));
  assign(at(3, 10), 8);
  EXPECT_TRUE(keptStatics.empty());
  EXPECT_EQ(staticRemovals.size(), 1U);
}

TEST_F(StaticAssignment, AKeptAircraftWhoseArrivalEndsNowDeparts) {
  StaticAc& aircraft = parkedStatic(at(3, 8));
  aircraft.cplCallsign = "DLH2";
  StandOption& option = addOption(*stand_, "D-AIZA", "A320", 3, slotRange(8, 10), "DLH1", "DLH2");
  assign(at(3, 10), 2);
  ASSERT_EQ(keptStatics.size(), 1U);
  EXPECT_TRUE(keptStatics[0].departs);

  keptStatics.clear();
  option.hh = slotRange(8, 12);
  assign(at(3, 10), 2);
  ASSERT_EQ(keptStatics.size(), 1U);
  EXPECT_FALSE(keptStatics[0].departs);
}

}  // namespace
}  // namespace cvl::test

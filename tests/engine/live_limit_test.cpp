#include <fmt/format.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

#include "creations_fixture.h"
#include "foundation/settings_catalogue.h"

namespace cvl::test {
namespace {

TEST_F(ShownEachSecond, AfterMaxLiveIsLoweredAPlaceThatComesFreeIsTakenByTheNearestFlightItTookOut) {
  // Ten airliners circle 2 to 11 nm out, all shown at Max live 10. At 230 s Max live is lowered to 5; the two nearest
  // are reported until 170 s only and leave the simulator about half a minute later.
  MAX_LIVE_SEL.value = 10;
  for (std::uint32_t number = 0; number < 10; ++number) {
    Flight airliner = lf_flight(0x510000 + number, fmt::format("DLH{}", 100 + number), Kind::airborne, false, {1}, 0,
                                number < 2 ? 170 : runSecondsOfTests);
    airliner.circleNm = 2.0 + number;
    add(airliner);
  }
  countFrom_ = 310;
  run(runSecondsOfTests, {{230, 5}});

  // Within a report's time of the places coming free, the nearest of the flights taken out fill them.
  EXPECT_EQ(fewestAirliners_, 5);
  EXPECT_GE(shownSeconds(flights_[5], 310, runSecondsOfTests), runSecondsOfTests - 310 + 1);
  EXPECT_TRUE(faults_.empty()) << faults_.list();
}

TEST_F(ShownEachSecond, WhenMaxLiveIsLoweredModelsThatNeverLoadGiveUpTheirPlacesBeforeAnyAirliner) {
  // Light aircraft whose model never loads circle 1 to 3 nm out, airliners 4 to 20 nm out: all fit under Max live 50,
  // so the light ones come back to free places after each give-up. Then the user lowers Max live to 10.
  constexpr std::int32_t lowered = 600;
  for (std::uint32_t number = 0; number < 8; ++number) {
    Flight light =
        lf_flight(0x500000 + number, fmt::format("N{}", 100 + number), Kind::airborne, true, {never}, 0, lowered + 300);
    light.circleNm = 1.0 + 2.0 * number / 8;
    add(light);
  }
  for (std::uint32_t number = 0; number < 32; ++number) {
    Flight airliner =
        lf_flight(0x510000 + number, fmt::format("DLH{}", 100 + number), Kind::airborne, false, {1}, 0, lowered + 300);
    airliner.circleNm = 4.0 + 16.0 * number / 32;
    add(airliner);
  }
  MAX_LIVE_SEL.value = 50;
  countFrom_ = lowered + 10;
  run(lowered + 120, {{lowered, 10}});

  // Once the farthest have left, the ten places are the airliners': none is taken out for a model that never loads.
  EXPECT_EQ(fewestAirliners_, 10);
  EXPECT_TRUE(faults_.empty()) << faults_.list();
}

TEST_F(Creations, ANewcomerTakesThePlaceOfACreationWhoseFlightHasFlownFartherOutThanTheAircraftShown) {
  // Max live 2. An airliner whose model takes 55 s to load is created 2 nm out and flies straight out at 400 kt; one
  // circling 5 nm out is shown at once. From 45 s a third circles 3.5 nm out: by then the first flies 7 nm out.
  MAX_LIVE_SEL.value = 2;
  add(lf_flight(0x510000, "DLH100", Kind::leaving, false, {55}, 0, 200));
  Flight shown = lf_flight(0x510001, "DLH101", Kind::airborne, false, {1});
  shown.circleNm = 5.0;
  add(shown);
  Flight newcomer = lf_flight(0x510002, "DLH102", Kind::airborne, false, {1}, 45);
  newcomer.circleNm = 3.5;
  add(newcomer);
  run(240);

  // The place the newcomer takes is the one of the flight that is farthest now, not the shown aircraft's.
  const std::int32_t shownFrom = firstShown(flights_[1]);
  ASSERT_GE(shownFrom, 0);
  EXPECT_EQ(shownSeconds(flights_[1], shownFrom, 240), 240 - shownFrom + 1);
  EXPECT_GE(firstShown(flights_[2]), 0);
  EXPECT_EQ(simulator.removals(), 1U);
  EXPECT_TRUE(faults_.empty()) << faults_.list();
}

TEST_F(Creations, AFlightWhoseCreationWasLostIsCreatedAgainWhileAnotherUnderItsCallsignWaitsAtTheEdgeOfTheRange) {
  // Max live 3. An airliner parked under the user, whose first creation the simulator loses, shares its callsign with
  // a light aircraft circling at the edge of the range, where it waits in the buffer all the time, beyond three
  // airliners circling 2 to 4 nm out.
  MAX_LIVE_SEL.value = 3;
  Flight parked = lf_flight(0x510000, "DLH100", Kind::parked, false, {never, 1}, 0, runSecondsOfTests);
  Flight far = lf_flight(0x500000, "DLH100", Kind::airborne, true, {1}, 0, runSecondsOfTests);
  far.circleNm = rangeNm - 0.3;
  add(parked);
  add(far);
  for (std::uint32_t number = 1; number <= 3; ++number) {
    Flight airliner = lf_flight(0x510000 + number, fmt::format("DLH{}", 100 + number), Kind::airborne, false, {1});
    airliner.circleNm = 1.0 + number;
    add(airliner);
  }
  run(runSecondsOfTests);

  // Its lost creation is given up after a minute, and it is created again a minute later.
  constexpr std::int32_t shownFrom = 240;
  EXPECT_EQ(shownSeconds(parked, shownFrom, runSecondsOfTests), runSecondsOfTests - shownFrom + 1);
  EXPECT_EQ(shownSeconds(far, 120, runSecondsOfTests), 0);
  EXPECT_TRUE(faults_.empty()) << faults_.list();
}

}  // namespace
}  // namespace cvl::test

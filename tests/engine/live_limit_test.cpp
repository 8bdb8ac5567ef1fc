#include <fmt/format.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

#include "creations_fixture.h"
#include "foundation/settings_catalogue.h"

namespace cvl::test {
namespace {

// What the simulator shows each second, for the tests that count aircraft.
class ShownEachSecond : public Creations {
 protected:
  void afterSecond(std::int32_t second) override {
    if (second >= countFrom_) {
      const auto airliners = std::count_if(simulator.objects().begin(), simulator.objects().end(),
                                           [](const auto& each) { return each.second.title == airlinerTitle; });
      fewestAirliners_ = std::min(fewestAirliners_, static_cast<std::int32_t>(airliners));
    }
  }

  std::int32_t countFrom_ = 0;
  std::int32_t fewestAirliners_ = INT32_MAX;
};

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

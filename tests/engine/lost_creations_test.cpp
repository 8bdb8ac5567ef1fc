#include <fmt/format.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

#include "creations_fixture.h"
#include "engine/aircraft_lists.h"
#include "foundation/settings_catalogue.h"
#include "simlink/creation_failures.h"

namespace cvl::test {
namespace {

class LostCreation : public Creations, public ::testing::WithParamInterface<Kind> {};

TEST_P(LostCreation, ACreationThatMadeRoomAndNeverShowsKeepsItsFlightOutOnlyUntilItsDeadline) {
  // Max live 1. An airliner circling 8 nm out, or parked at the far end of the row of stands, whose first creation the
  // simulator loses (a second one loads in 5 s), makes room for a light aircraft circling half a mile out from 40 to
  // 200 s.
  MAX_LIVE_SEL.value = 1;
  Flight airliner = lf_flight(0x510000, "DLH150", GetParam(), false, {never, 5}, 0, runSeconds);
  airliner.sid = standCount;
  airliner.circleNm = 8.0;
  Flight light = lf_flight(0x500000, "N100", Kind::airborne, true, {1}, 40, 200);
  light.circleNm = 0.5;
  add(airliner);
  add(light);
  run(runSeconds);

  // The light aircraft has left by 300 s: its last report falls due at 230 s, the positions made up after it run for
  // a minute. The lost creation's deadline is counted from then.
  EXPECT_GT(shownSeconds(light, 0, 300), 100);
  constexpr std::int32_t shownFrom = 300 + 60 + 30;
  EXPECT_EQ(shownSeconds(airliner, shownFrom, runSeconds), runSeconds - shownFrom + 1);
  EXPECT_EQ(lf_creationsOf(simulator, airliner.hexid), 2U);
  EXPECT_TRUE(faults_.empty()) << faults_.list();
}

INSTANTIATE_TEST_SUITE_P(AirborneAndParked, LostCreation, ::testing::Values(Kind::airborne, Kind::parked),
                         [](const auto& kind) { return kind.param == Kind::parked ? "Parked" : "Airborne"; });

TEST_F(Creations, ALostCreationThatMadeRoomLeavesNothingBehindWhenTheUserFliesToAnotherRegion) {
  // Max live 1. An airliner parked at the far end of the row of stands, whose creations the simulator loses, makes
  // room for a light aircraft circling half a mile out; at 250 s the user is 100 nm away.
  MAX_LIVE_SEL.value = 1;
  Flight airliner = lf_flight(0x510000, "DLH150", Kind::parked, false, {never}, 0, runSeconds);
  airliner.sid = standCount;
  Flight light = lf_flight(0x500000, "N100", Kind::airborne, true, {1}, 40, runSeconds);
  light.circleNm = 0.5;
  add(airliner);
  add(light);
  run(250);
  placeUser(lf_from(hub, east, 100.0 * 1852.0));
  run(runSeconds);

  EXPECT_TRUE(liveAcs.empty());
  EXPECT_TRUE(simulator.objects().empty());
  EXPECT_TRUE(faults_.empty()) << faults_.list();
}

TEST_F(Creations, AtTheSimulatorsObjectLimitAPlaceThatFreesUpIsTakenWithinSeconds) {
  // Other clients leave room for three objects. Three airliners circle from the start, one of them until 200 s; a
  // fourth, from 10 s on, is refused for too many objects until that one has left.
  MAX_LIVE_SEL.value = 10;
  simulator.setObjectRoom(3);
  const Flight leaving = lf_flight(0x510000, "DLH100", Kind::airborne, false, {1}, 0, 200);
  const Flight refused = lf_flight(0x510003, "DLH103", Kind::airborne, false, {1}, 10);
  add(leaving);
  add(lf_flight(0x510001, "DLH101", Kind::airborne, false, {1}));
  add(lf_flight(0x510002, "DLH102", Kind::airborne, false, {1}));
  add(refused);
  run(runSecondsOfTests);

  const auto& history = simulator.history();
  const auto left = std::find_if(history.begin(), history.end(),
                                 [&leaving](const auto& each) { return !each.created && each.hexid == leaving.hexid; });
  ASSERT_NE(left, history.end());
  const std::int32_t leftAt = left->tick / ticksPerSecond;
  const std::int32_t shownFrom = firstShown(refused);
  EXPECT_GT(shownFrom, leftAt);
  EXPECT_LE(shownFrom, leftAt + 5);
  EXPECT_EQ(shownSeconds(refused, shownFrom, runSecondsOfTests), runSecondsOfTests - shownFrom + 1);
  // Tried again every few seconds, not in a loop; neither its livery nor its model is to blame.
  EXPECT_GT(simulator.refusedForRoom(), 0U);
  EXPECT_LE(simulator.refusedForRoom(), static_cast<std::size_t>(leftAt / 5 + 5));
  EXPECT_TRUE(FailedTitles.empty());
  EXPECT_FALSE(logged("did not show in the simulator"));
  EXPECT_TRUE(faults_.empty()) << faults_.list();
}

TEST_F(Creations, AfterTenMinutesWithoutRoomInTheSimulatorOnlyFlightsStillReportedAreCreatedWhereTheyFlyNow) {
  // A thousand airliners circle 2 to 22 nm out, more than Max live 500 leaves places for; a quarter of them are
  // reported until 400 s only. Other clients hold all the simulator's room until 600 s.
  MAX_LIVE_SEL.value = 500;
  for (std::uint32_t number = 0; number < 1000; ++number) {
    Flight airliner = lf_flight(0x510000 + number, fmt::format("DLH{}", 1000 + number), Kind::airborne, false, {1}, 0,
                                number % 4 == 0 ? 400 : runSeconds);
    airliner.circleNm = 2.0 + 20.0 * number / 1000;
    add(airliner);
  }
  simulator.setObjectRoom(0);
  run(600);
  simulator.setObjectRoom(SIZE_MAX);
  run(runSeconds);

  std::size_t created = 0;
  for (const auto& handover : simulator.history()) {
    const auto flight = std::find_if(flights_.begin(), flights_.end(),
                                     [&handover](const Flight& each) { return each.hexid == handover.hexid; });
    const std::int32_t second = handover.tick / ticksPerSecond;
    if (!handover.created || flight == flights_.end()) {
      continue;
    }
    ++created;
    if (second > lastDue(*flight)) {
      fault(fmt::format("{} created at {} s, its last report due at {} s", flight->text(), second, lastDue(*flight)));
    } else if (const LatLon* flown = flownAt(*flight, second); gf_distanceNM(*flown, handover.at) > 2.0) {
      fault(fmt::format("{} created at {} s {:.1f} nm from where it flies", flight->text(), second,
                        gf_distanceNM(*flown, handover.at)));
    }
  }
  EXPECT_GE(created, 500U);
  EXPECT_TRUE(faults_.empty()) << faults_.list();
}

}  // namespace
}  // namespace cvl::test

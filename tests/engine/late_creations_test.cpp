#include <fmt/format.h>
#include <fmt/ranges.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "creations_fixture.h"
#include "engine/aircraft_lists.h"
#include "foundation/settings_catalogue.h"

namespace cvl::test {
namespace {

struct LateCase {
  Kind kind = Kind::parked;
  std::vector<std::int32_t> loads;
};

void PrintTo(const LateCase& late, std::ostream* out) {
  *out << lf_flight(0, "", late.kind, false, late.loads).text();
}

class LateModel : public Creations, public ::testing::WithParamInterface<LateCase> {};

TEST_P(LateModel, AFlightIsShownFromWhenItsFirstModelLoadsAndFliesOnFromWhereItIsThen) {
  // One flight reported for ten minutes whose first model takes a minute or more to load; at a stand it stands at G1,
  // or pushes back from there at 45 s while its model loads.
  const auto& [kind, loads] = GetParam();
  const Flight flight = lf_flight(liveHexid, "DLH4AB", kind, false, loads);
  add(flight);
  run(150);
  const std::int32_t shownFrom = firstShown(flight);
  ASSERT_GE(shownFrom, 0);
  EXPECT_LE(shownFrom, reportDelaySeconds + loads.front() + 4);
  if (kind == Kind::pushingBack) {
    // It leaves its stand once its object is there, not minutes later.
    ASSERT_EQ(liveAcs.size(), 1U);
    const auto object = simulator.objects().find(liveAcs.front().objectId);
    ASSERT_NE(object, simulator.objects().end());
    ASSERT_TRUE(object->second.position);
    const auto& at = *object->second.position;
    EXPECT_GT(gf_distanceNM(standPlace(1), {at.latitude, at.longitude}) * 1852.0, 20.0);
  }
  run(runSecondsOfTests);

  const std::int32_t until = std::min(lastDue(flight), runSecondsOfTests);
  EXPECT_EQ(shownSeconds(flight, shownFrom, until), until - shownFrom + 1);
  const bool givenUp = loads.front() > 60;
  EXPECT_LE(simulator.creations(), givenUp ? 2U : 1U);
  EXPECT_LE(simulator.removals(), givenUp ? 1U : 0U);
  EXPECT_TRUE(faults_.empty()) << faults_.list();
}

INSTANTIATE_TEST_SUITE_P(Phases, LateModel,
                         ::testing::Values(LateCase{Kind::parked, {62, 70}}, LateCase{Kind::pushingBack, {62, 70}},
                                           LateCase{Kind::pushingBack, {58}}, LateCase{Kind::taxiing, {62, 70}},
                                           LateCase{Kind::airborne, {62, 70}}, LateCase{Kind::approach, {62, 70}}));

struct WaitingCase {
  std::int32_t maxLive = 0;
  std::uint32_t neverShown = 0;
  std::uint32_t waiting = 0;
};

void PrintTo(const WaitingCase& waiting, std::ostream* out) {
  *out << "Max live " << waiting.maxLive << ", " << waiting.neverShown << " never shown, " << waiting.waiting
       << " waiting";
}

class PlacesGivenUp : public Creations, public ::testing::WithParamInterface<WaitingCase> {};

TEST_P(PlacesGivenUp, AtABindingMaxLiveTheFlightsWaitingForAPlaceAreShownInsteadOfModelsThatNeverLoad) {
  // Light aircraft whose model never loads fly around the hub from the start, airliners from 10 s on: more than Max
  // live leaves places for.
  const auto& [maxLive, neverShown, waiting] = GetParam();
  MAX_LIVE_SEL.value = maxLive;
  for (std::uint32_t number = 0; number < neverShown; ++number) {
    add(lf_flight(0x500000 + number, fmt::format("N{}", 100 + number), Kind::airborne, true, {never}));
  }
  for (std::uint32_t number = 0; number < waiting; ++number) {
    add(lf_flight(0x510000 + number, fmt::format("DLH{}", 100 + number), Kind::airborne, false, {1}, 10));
  }
  run(runSecondsOfTests);

  // From the third minute on the airliners fill nearly every place.
  constexpr std::int32_t from = 120;
  std::int32_t airlinerSeconds = 0;
  for (const Flight& flight : flights_) {
    airlinerSeconds += flight.light ? 0 : shownSeconds(flight, from, runSecondsOfTests);
  }
  const auto places = static_cast<std::int32_t>(std::min<std::uint32_t>(maxLive, waiting));
  EXPECT_GE(airlinerSeconds * 10, places * (runSecondsOfTests - from) * 9);
  EXPECT_TRUE(faults_.empty()) << faults_.list();
}

INSTANTIATE_TEST_SUITE_P(Limits, PlacesGivenUp,
                         ::testing::Values(WaitingCase{1, 1, 10}, WaitingCase{5, 5, 20}, WaitingCase{5, 2, 20},
                                           WaitingCase{50, 10, 80}));

class NearModelsThatNeverLoad : public ShownEachSecond, public ::testing::WithParamInterface<WaitingCase> {};

TEST_P(NearModelsThatNeverLoad, HoldAThirdOfThePlacesAtMostAndCostNoAirlinerMoreThanOneCreationInHalfAnHour) {
  // For half an hour, light aircraft whose model never loads circle 1 to 3 nm out, among airliners circling 4 to 20 nm
  // out that load at once: more than Max live leaves places for.
  const auto& [maxLive, neverShown, waiting] = GetParam();
  constexpr std::int32_t halfAnHour = 1800;
  MAX_LIVE_SEL.value = maxLive;
  // Once the first creations of the light aircraft have been given up.
  countFrom_ = 180;
  for (std::uint32_t number = 0; number < neverShown; ++number) {
    Flight light =
        lf_flight(0x500000 + number, fmt::format("N{}", 100 + number), Kind::airborne, true, {never}, 0, halfAnHour);
    light.circleNm = 1.0 + 2.0 * number / neverShown;
    add(light);
  }
  for (std::uint32_t number = 0; number < waiting; ++number) {
    Flight airliner =
        lf_flight(0x510000 + number, fmt::format("DLH{}", 100 + number), Kind::airborne, false, {1}, 0, halfAnHour);
    airliner.circleNm = 4.0 + 16.0 * number / waiting;
    add(airliner);
  }
  run(halfAnHour);

  // The airliners fill all places but a third (one at least), and none is taken out more than once for a light one.
  EXPECT_GE(fewestAirliners_, maxLive - std::max(maxLive / 3, 1));
  std::size_t mostCreations = 0;
  for (const Flight& flight : flights_) {
    mostCreations = std::max(mostCreations, flight.light ? 0 : lf_creationsOf(simulator, flight.hexid));
  }
  EXPECT_LE(mostCreations, 2U);
  EXPECT_TRUE(faults_.empty()) << faults_.list();
}

INSTANTIATE_TEST_SUITE_P(Limits, NearModelsThatNeverLoad,
                         ::testing::Values(WaitingCase{3, 3, 17}, WaitingCase{10, 8, 32}));

TEST_F(Creations, AFlightUnderTheCallsignOfOneWhoseModelNeverLoadsIsCreatedWithinTwoMinutes) {
  // A light aircraft whose model never loads reports from the start, an airliner under its callsign from 20 s on.
  const Flight light = lf_flight(liveHexid, "DLH4AB", Kind::airborne, true, {never});
  const Flight airliner = lf_flight(liveHexid + 1, "DLH4AB", Kind::airborne, false, {1}, 20);
  add(light);
  add(airliner);
  run(runSecondsOfTests);

  const std::int32_t shownFrom = firstShown(airliner);
  ASSERT_GE(shownFrom, 0);
  EXPECT_LE(shownFrom, 20 + reportDelaySeconds + 120);
  EXPECT_EQ(shownSeconds(airliner, shownFrom, runSecondsOfTests), runSecondsOfTests - shownFrom + 1);
  EXPECT_TRUE(faults_.empty()) << faults_.list();
}

struct NearCase {
  std::vector<std::int32_t> loads;
};

void PrintTo(const NearCase& near, std::ostream* out) {
  *out << fmt::format("the near model loads in {} s", fmt::join(near.loads, "/"));
}

class NearestAtLimit : public Creations, public ::testing::WithParamInterface<NearCase> {
 protected:
  static constexpr std::int32_t places = 10;
  static constexpr std::int32_t measuredFrom = 70;

  // Thirty airliners circle 8 to 23 nm out, more than Max live 10 leaves places for, and a light aircraft 2 nm out.
  Flight busyAirport(std::vector<std::int32_t> nearLoads) {
    MAX_LIVE_SEL.value = places;
    for (std::uint32_t number = 0; number < 30; ++number) {
      Flight airliner = lf_flight(0x510000 + number, fmt::format("DLH{}", 100 + number), Kind::airborne, false, {1});
      airliner.circleNm = 8.0 + 0.5 * number;
      airliner.to = runSeconds;
      add(airliner);
    }
    Flight near = lf_flight(0x500000, "N100", Kind::airborne, true, std::move(nearLoads));
    near.circleNm = 2.0;
    near.to = runSeconds;
    add(near);
    return near;
  }
};

TEST_P(NearestAtLimit, TheNearestAircraftIsShownWhateverItsModelTakesToLoad) {
  const Flight near = busyAirport(GetParam().loads);
  run(runSeconds);

  const std::int32_t measured = runSeconds - measuredFrom;
  EXPECT_GE(shownSeconds(near, measuredFrom, runSeconds) * 2, measured);
  EXPECT_TRUE(faults_.empty()) << faults_.list();
}

INSTANTIATE_TEST_SUITE_P(BusyAirport, NearestAtLimit,
                         ::testing::Values(NearCase{{70}}, NearCase{{90}}, NearCase{{150}}, NearCase{{90, 5}},
                                           NearCase{{300, 5}}));

TEST_F(NearestAtLimit, TheAirlinersKeepTheirPlacesFromANearModelThatNeverLoads) {
  busyAirport({never});
  run(runSeconds);

  std::int32_t airlinerSeconds = 0;
  for (const Flight& flight : flights_) {
    airlinerSeconds += flight.light ? 0 : shownSeconds(flight, measuredFrom, runSeconds);
  }
  EXPECT_GE(airlinerSeconds * 6, places * (runSeconds - measuredFrom) * 5);
  EXPECT_TRUE(faults_.empty()) << faults_.list();
}

TEST_F(Creations, ACreationThatMadeRoomIsShownWithItsOwnObjectWhenItsFlightHasComeNear) {
  // Max live 1. An arrival 8 nm out whose model takes five minutes to load makes room for a light aircraft circling
  // 2 nm out. By the time its model has loaded the arrival has landed a mile from the user, markedly nearer.
  MAX_LIVE_SEL.value = 1;
  const Flight arrival = lf_flight(0x510000, "DLH150", Kind::approach, false, {300});
  Flight light = lf_flight(0x500000, "N100", Kind::airborne, true, {1}, 10);
  light.circleNm = 2.0;
  add(arrival);
  add(light);
  run(runSecondsOfTests);

  const std::int32_t shownFrom = firstShown(arrival);
  ASSERT_GE(shownFrom, 0);
  EXPECT_LE(shownFrom, reportDelaySeconds + 300 + 5);
  EXPECT_EQ(shownSeconds(arrival, shownFrom, runSecondsOfTests), runSecondsOfTests - shownFrom + 1);
  EXPECT_EQ(lf_creationsOf(simulator, arrival.hexid), 1U);
  EXPECT_TRUE(faults_.empty()) << faults_.list();
}

class Overtaken : public Creations, public ::testing::WithParamInterface<std::int32_t> {};

TEST_P(Overtaken, ObjectsOfCreationsThatMadeRoomLeaveTheSimulatorAsSoonAsTheyShow) {
  // Max live airliners circle 15 to 20 nm out from the start; as many arrivals 8 to 10 nm out, whose models take 45 to
  // 58 s, take their places from 60 s on, and as many light aircraft 1 to 3 nm out take those from 75 s on.
  const std::int32_t maxLive = GetParam();
  MAX_LIVE_SEL.value = maxLive;
  const auto share = [maxLive](std::int32_t number) { return static_cast<double>(number) / maxLive; };
  for (std::int32_t number = 0; number < maxLive; ++number) {
    const auto hexid = static_cast<std::uint32_t>(number);
    Flight airliner = lf_flight(0x510000 + hexid, fmt::format("DLH{}", 100 + number), Kind::airborne, false, {1});
    airliner.circleNm = 15.0 + 5.0 * share(number);
    Flight arrival = lf_flight(0x520000 + hexid, fmt::format("DLH{}", 200 + number), Kind::airborne, false,
                               {45 + 13 * number / maxLive}, 60);
    arrival.circleNm = 8.0 + 2.0 * share(number);
    Flight light = lf_flight(0x500000 + hexid, fmt::format("N{}", 100 + number), Kind::airborne, true, {1}, 75);
    light.circleNm = 1.0 + 2.0 * share(number);
    add(airliner);
    add(arrival);
    add(light);
  }
  run(300);

  EXPECT_LE(mostBeyondLimit_, 1U);
  EXPECT_TRUE(faults_.empty()) << faults_.list();
}

INSTANTIATE_TEST_SUITE_P(MaxLive, Overtaken, ::testing::Values(10, 25, 50));

}  // namespace
}  // namespace cvl::test

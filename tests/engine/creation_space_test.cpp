#include <fmt/format.h>
#include <fmt/ranges.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <map>
#include <ostream>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "creations_fixture.h"
#include "foundation/settings_catalogue.h"

namespace cvl::test {
namespace {

// One generated mix: the seed gives its flights and its Max live, set at the start and at 300 s and 600 s to values
// the box offers, at least once one that binds hard (1, 5 or 10) and once a looser one (25, 50 or 500).
struct Mix {
  std::uint32_t seed = 0;
  std::size_t flights = 0;
  std::map<std::int32_t, std::int32_t> maxLive;

  explicit Mix(std::uint32_t mixSeed) : seed(mixSeed) {
    std::mt19937 random{seed * 7919U};
    const auto pick = [&random](const std::vector<std::int32_t>& values) {
      return values[std::uniform_int_distribution<std::size_t>(0, values.size() - 1)(random)];
    };
    std::vector<std::int32_t> limits{pick({1, 5, 10}), pick({25, 50, 500}), pick({1, 5, 10, 25, 50, 500})};
    std::shuffle(limits.begin(), limits.end(), random);
    maxLive = {{0, limits[0]}, {300, limits[1]}, {600, limits[2]}};
    flights = 30 + 10 * std::uniform_int_distribution<std::size_t>(0, 9)(random);
  }
};

void PrintTo(const Mix& mix, std::ostream* out) {
  std::vector<std::string> limits;
  for (const auto& [second, limit] : mix.maxLive) {
    limits.push_back(fmt::format("{} from {} s", limit, second));
  }
  *out << fmt::format("seed {}, {} flights, Max live {}", mix.seed, mix.flights, fmt::join(limits, ", "));
}

class CreationSpace : public Creations, public ::testing::WithParamInterface<Mix> {
 protected:
  // In every mix, where it is hardest: the nearest aircraft, parked at G1 under the user all the time, with a slow
  // model, and a pair under one callsign circling a mile out, the first of them a model that never loads.
  // Then flights of every kind, a third of them at the stands (seven at most), each first reported within the first
  // seven minutes for four to twelve; one in five has a model that never loads, the others load each creation in 1 s
  // to 5 min, and the simulator loses the first creation of one in six of these (of one in three of those the second
  // as well). One in seven takes the callsign of an earlier flight of the other type.
  void generate(const Mix& mix) {
    std::mt19937 random{mix.seed};
    // Drawn apart, so that the seeds' other draws stay as they were.
    std::mt19937 losses{mix.seed * 104729U + 1U};
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const auto pick = [&random](auto count) {
      return std::uniform_int_distribution<std::size_t>(0, count - 1)(random);
    };
    const std::vector<std::int32_t> slowLoads[] = {{70}, {90}, {150}, {90, 5}, {300, 5}};
    add(lf_flight(0x4F0000, "DLH90", Kind::parked, false, slowLoads[pick(std::size(slowLoads))], 0, runSeconds));
    Flight neverLoads = lf_flight(0x4F0001, "DLH91", Kind::airborne, true, {never}, 200, runSeconds);
    Flight sameCallsign = lf_flight(0x4F0002, "DLH91", Kind::airborne, false, {1}, 230, runSeconds);
    neverLoads.circleNm = 1.0;
    sameCallsign.circleNm = 1.2;
    neverLoads.sharesCallsign = sameCallsign.sharesCallsign = true;
    add(neverLoads);
    add(sameCallsign);

    const std::int32_t loadChoices[] = {1, 30, 58, 62, 90, 150, 300};
    const Kind kinds[] = {Kind::parked,    Kind::pushingBack, Kind::arriving, Kind::taxiing,
                          Kind::departing, Kind::airborne,    Kind::approach};
    std::uint32_t nextStand = 2;
    for (std::uint32_t number = 0; number < mix.flights; ++number) {
      Flight flight;
      flight.hexid = 0x500000 + number;
      flight.kind = kinds[pick(std::size(kinds))];
      if (flight.atStand() && nextStand > 8) {
        flight.kind = Kind::airborne;
      }
      flight.sid = flight.atStand() ? nextStand++ : 0;
      flight.light = !flight.atStand() && flight.kind != Kind::departing && unit(random) < 0.3;
      flight.callsign = fmt::format("DLH{}", 100 + number);
      if (unit(random) < 1.0 / 7.0) {
        shareCallsign(flight, pick);
      }
      flight.from = static_cast<std::int32_t>(unit(random) * 420.0);
      flight.to = std::min(flight.from + 240 + static_cast<std::int32_t>(unit(random) * 480.0), runSeconds);
      flight.departs = flight.kind == Kind::pushingBack ? flight.from + 45 : flight.from + 300;
      if (unit(random) < 0.2) {
        flight.loads = {never};
      } else {
        for (std::size_t count = 1 + pick(3); flight.loads.size() < count;) {
          flight.loads.push_back(loadChoices[pick(std::size(loadChoices))]);
        }
        if (std::uniform_int_distribution<int>(0, 5)(losses) == 0) {
          flight.loads.insert(flight.loads.begin(), never);
          loseSecondCreation(flight, losses);
        }
      }
      add(std::move(flight));
    }
  }

  // One in three flights whose first creation is lost loses its second too: reported from the first minute to the end,
  // so that the wait after a later give-up is judged, and every other one of them under the callsign of an earlier
  // flight.
  void loseSecondCreation(Flight& flight, std::mt19937& losses) {
    if (std::uniform_int_distribution<int>(0, 2)(losses) != 0) {
      return;
    }
    flight.loads.insert(flight.loads.begin(), never);
    flight.from = std::uniform_int_distribution<std::int32_t>(0, 60)(losses);
    flight.to = runSeconds;
    flight.departs = flight.kind == Kind::pushingBack ? flight.from + 45 : flight.from + 300;
    if (!flight.sharesCallsign && std::uniform_int_distribution<int>(0, 1)(losses) == 0) {
      const auto pick = [&losses](auto count) {
        return std::uniform_int_distribution<std::size_t>(0, count - 1)(losses);
      };
      shareCallsign(flight, pick);
    }
  }

  // A single mix need not make every case an invariant judges; over a run of several, each one judges something.
  static void SetUpTestSuite() {
    runJudged_ = {};
    runSeeds_ = 0;
  }
  static void TearDownTestSuite() {
    constexpr std::int32_t seedsThatMakeEveryCase = 8;
    if (runSeeds_ >= seedsThatMakeEveryCase) {
      EXPECT_EQ(runJudged_.idle(), std::vector<std::string>{})
          << "invariants that judged nothing over " << runSeeds_ << " mixes";
    }
  }

  static inline Judged runJudged_;
  static inline std::int32_t runSeeds_ = 0;

  // The flight takes the callsign of an earlier one of the other type, not shared yet.
  template <class Pick>
  void shareCallsign(Flight& flight, Pick& pick) {
    if (flight.atStand() || flight.kind == Kind::departing || flights_.empty()) {
      return;
    }
    Flight& other = flights_[pick(flights_.size())];
    if (other.sharesCallsign) {
      return;
    }
    other.sharesCallsign = true;
    flight.sharesCallsign = true;
    flight.callsign = other.callsign;
    flight.light = !other.light;
  }
};

TEST_P(CreationSpace,
       WhateverTheModelsLoadsThePhasesAndTheLimitEveryFlightIsShownAsItselfAndWaitingTrafficGetsItsPlace) {
  const Mix& mix = GetParam();
  placeUser(standPlace(1));
  MAX_LIVE_SEL.value = mix.maxLive.at(0);
  generate(mix);
  run(runSeconds, mix.maxLive);
  checkShownForMost();
  checkNeverShownShare();

  EXPECT_TRUE(faults_.empty()) << faults_.list();
  runJudged_ += judged_;
  ++runSeeds_;
  RecordProperty("judged",
                 fmt::format("{} objects, {} ticks, {} s at stands, {} s waiting for a callsign, {} flights "
                             "owed a place, {} place-seconds waited",
                             judged_.ownObjects, judged_.objectCountTicks, judged_.atStandSeconds,
                             judged_.callsignWaitSeconds, judged_.shownForMostFlights, judged_.neverShownPlaceSeconds));
}

// Seeds 1 to 32; 9006, in which a taxiing light aircraft's creation makes room for a nearer one while its slow model
// loads; and the seeds that once failed, each for a fault of its own. CREATION_SEEDS=FIRST-LAST tries others instead.
std::vector<Mix> lf_mixes() {
  // Creations that never show holding places together: 3415, 3845, 6675, 7399, 41424, 42839, 45005, 45617, 48051,
  // and 67716 once Max live is lowered. A flight a lowered Max live took out, held back while places stood free: 6181,
  // 8469, 7014, 7404, 42201. A flight waiting for a callsign another flight would not be created under soon: 813,
  // 9437, 9063, 42705, 43275, 46369, 48382. A creation taken out and back in again and again, holding a callsign:
  // 48330. A flight whose first creation was lost shown less than it is owed: 788, 5292, 5620, 7477, 7745, 41495,
  // 49510, 584, 737, 40725, and
  // 61660 behind others in the share. Objects of creations on trial showing together beyond the limit: 5657, 5758. A
  // flight beyond the range judged as waiting for its callsign: 2320, 9808. A newcomer holding its place before its
  // first report falls due, not counted as wanting one: 60243. Mixes in which a case an invariant judges does not come
  // up: 898, 1294, 1847, 3921, 6738, 7531, 8185, 9378, 45442, 47347, 48919.
  constexpr std::uint32_t onceFailed[] = {3415,  3845,  6675, 7399,  41424, 42839, 45005, 45617, 48051, 6181,
                                          8469,  7014,  7404, 42201, 813,   9437,  9063,  42705, 43275, 46369,
                                          48382, 48330, 788,  5292,  5620,  7477,  7745,  41495, 49510, 584,
                                          737,   40725, 5657, 5758,  2320,  9808,  898,   1294,  1847,  3921,
                                          6738,  7531,  8185, 9378,  45442, 47347, 48919, 67716, 60243, 61660};
  std::uint32_t first = 1;
  std::uint32_t last = 32;
  std::vector<Mix> mixes;
  if (const char* seeds = std::getenv("CREATION_SEEDS")) {
    std::sscanf(seeds, "%u-%u", &first, &last);
  } else {
    mixes.emplace_back(9006);
    for (const std::uint32_t seed : onceFailed) {
      mixes.emplace_back(seed);
    }
  }
  for (std::uint32_t seed = first; seed <= last; ++seed) {
    mixes.emplace_back(seed);
  }
  return mixes;
}

INSTANTIATE_TEST_SUITE_P(Mixes, CreationSpace, ::testing::ValuesIn(lf_mixes()));

}  // namespace
}  // namespace cvl::test

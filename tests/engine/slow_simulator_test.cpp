#include <fmt/format.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "engine/engine_tick.h"
#include "engine/tick_count.h"
#include "engine_step_fixture.h"
#include "foundation/settings_catalogue.h"
#include "simulator_stand_in.h"

namespace cvl::test {
namespace {

constexpr double degree = 0.017453292519943295;
const std::string airlinerTitle{engineTestLiveryTitle};
const std::string lightTitle = "Generic C172";

// A simulator whose models take long to load, as on a first flight with many new liveries or from a slow disk. What
// the tests look at is what the simulator shows: which flight each object flies as, under which title, for how long.
class SlowSimulator : public EngineStep {
 protected:
  // How a flight was shown: in how many of the seconds looked at, from when, and under which titles.
  struct Shown {
    std::int32_t firstSecond = -1;
    std::int32_t seconds = 0;
    std::set<std::string> titles;
  };
  // The flight an object flies as, told from where it is.
  using FlightOf = std::function<std::string(const SimulatorStandIn::Object&)>;

  // Runs to `lastSecond` with the reports of `reportsOf`, noting after every second the flight each object the engine
  // moves flies as.
  template <class Reports>
  void run(std::int32_t lastSecond, Reports reportsOf, const FlightOf& flightOf) {
    for (std::int32_t second = tickCount / 100; second < lastSecond; ++second) {
      simulator.runReporting(second, second, reportsOf);
      note(second, flightOf);
    }
  }

  void note(std::int32_t second, const FlightOf& flightOf) {
    std::set<std::string> seen;
    for (const auto& [objectId, object] : simulator.objects()) {
      if (!object.position) {
        continue;
      }
      const std::string flight = flightOf(object);
      Shown& shown = shown_[flight];
      shown.titles.insert(object.title);
      if (seen.insert(flight).second) {
        shown.firstSecond = shown.firstSecond < 0 ? second : shown.firstSecond;
        ++shown.seconds;
      }
    }
  }

  // An airliner flying east from 50 N 8 E reporting every 2 s from the second `from` to `to`.
  static std::vector<TrafficItem> airliner(std::int32_t second, std::int32_t from = 0, std::int32_t to = 600) {
    std::vector<TrafficItem> reports;
    if (second % 2 == 0 && second >= from && second <= to) {
      reports.push_back(flying(liveHexid, "DLH4AB", second - from, tickCount));
    }
    return reports;
  }

  SimulatorStandIn simulator;
  std::map<std::string, Shown> shown_;
};

class ModelLoad : public SlowSimulator, public ::testing::WithParamInterface<std::vector<std::int32_t>> {};

TEST_P(ModelLoad, AFlightIsShownOnceItsModelHasLoadedWithAtMostOneMoreCreation) {
  // The airliner reports for ten minutes; its creations take the seconds given in turn to load.
  const std::vector<std::int32_t>& loads = GetParam();
  std::vector<std::int32_t> loadTicks;
  for (const std::int32_t seconds : loads) {
    loadTicks.push_back(seconds * 100);
  }
  simulator.setLoadTicks(airlinerTitle, loadTicks);
  run(
      625, [](std::int32_t second) { return airliner(second); }, [](const auto&) { return std::string{"airliner"}; });

  // Its first creation is handed over about 30 s after its first report, and its object is flown from about two
  // seconds after it appears until the end.
  const bool slowerThanAMinute = loads.front() > 60;
  EXPECT_EQ(simulator.creations(), slowerThanAMinute ? 2U : 1U);
  EXPECT_EQ(simulator.removals(), slowerThanAMinute ? 1U : 0U);
  const Shown& shown = shown_["airliner"];
  EXPECT_LE(shown.firstSecond, 30 + loads.front() + 4);
  EXPECT_EQ(shown.seconds, 625 - shown.firstSecond);
  EXPECT_EQ(shown.titles, std::set<std::string>{airlinerTitle});
  ASSERT_EQ(simulator.objects().size(), 1U);
  const auto& position = simulator.objects().begin()->second.position;
  ASSERT_TRUE(position);
  EXPECT_NEAR(position->longitude, flying(liveHexid, "", 625 - 30, 0).position.lon, 0.01);
}

INSTANTIATE_TEST_SUITE_P(Seconds, ModelLoad,
                         ::testing::Values(std::vector<std::int32_t>{2}, std::vector<std::int32_t>{30},
                                           std::vector<std::int32_t>{58}, std::vector<std::int32_t>{62, 65, 70},
                                           std::vector<std::int32_t>{70}, std::vector<std::int32_t>{85},
                                           std::vector<std::int32_t>{90}, std::vector<std::int32_t>{130}));

TEST_F(SlowSimulator, ALateObjectOnlyEverFliesAsItsOwnFlightAlsoWhenAnotherFlightHasItsCallsign) {
  // The airliner's model takes 65 s to load; 20 s after it, a light aircraft 0.2 degrees north reports under the
  // same callsign. Both report until the tenth minute.
  simulator.setLoadTicks(airlinerTitle, 6500);
  const auto reportsOf = [](std::int32_t second) {
    std::vector<TrafficItem> reports = airliner(second);
    if (second % 2 == 0 && second >= 20) {
      TrafficItem light = flying(liveHexid + 1, "DLH4AB", second - 20, tickCount);
      light.type = "C172";
      light.position.lat += 0.2;
      reports.push_back(std::move(light));
    }
    return reports;
  };
  run(625, reportsOf, [](const SimulatorStandIn::Object& object) {
    return object.position->latitude > 50.1 ? std::string{"light"} : std::string{"airliner"};
  });

  EXPECT_EQ(shown_["airliner"].titles, std::set<std::string>{airlinerTitle});
  EXPECT_EQ(shown_["light"].titles, std::set<std::string>{lightTitle});
  // Each is flown from soon after its model has loaded, the light aircraft once the airliner no longer waits for its
  // object under the callsign.
  EXPECT_GE(shown_["airliner"].seconds, 625 - (30 + 65 + 4));
  EXPECT_GE(shown_["light"].seconds, 625 - (30 + 65 + 8));
}

TEST_F(SlowSimulator, LoweringMaxLiveWhileCreationsAreUnderWayBringsTheCountDownOnceTheyLand) {
  // Forty airliners are shown and eight light aircraft, whose models take 20 s to load, are being created when Max
  // live goes from 50 to 10; three minutes later it goes back to 50. All fly east at 120 kt around the user.
  simulator.setLoadTicks(lightTitle, 2000);
  const LatLon user{50.0, 8.3};
  simulator.placeUser(user, 30000.0);
  const auto reportsOf = [&user](std::int32_t second) {
    std::vector<TrafficItem> reports;
    if (second % 2 != 0) {
      return reports;
    }
    for (std::uint32_t flight = 0; flight < 48; ++flight) {
      const bool light = flight >= 40;
      const std::int32_t from = light ? 40 : 0;
      if (second < from) {
        continue;
      }
      const LatLon start = gf_destinationPoint(user, flight * 7.5 * degree, (8.0 + flight % 12) * feetPerNauticalMile);
      TrafficItem report =
          flyingFrom(liveHexid + flight, fmt::format("FLT{:02}", flight), start, 90.0, 120.0, second - from, tickCount);
      report.type = light ? "C172" : "A320";
      reports.push_back(std::move(report));
    }
    return reports;
  };
  const auto liveInSimulator = [this] { return simulator.objects().size(); };
  simulator.runReporting(0, 75, reportsOf);
  ASSERT_EQ(liveInSimulator(), 40U);

  MAX_LIVE_SEL.value = 10;
  gf_requestLiveLimit();
  simulator.runReporting(76, 135, reportsOf);
  std::size_t most = 0;
  for (std::int32_t second = 136; second <= 255; ++second) {
    simulator.runReporting(second, second, reportsOf);
    most = std::max(most, liveInSimulator());
  }
  EXPECT_LE(most, 10U);

  MAX_LIVE_SEL.value = 50;
  gf_requestLiveLimit();
  simulator.runReporting(256, 330, reportsOf);
  EXPECT_EQ(liveInSimulator(), 48U);
}

}  // namespace
}  // namespace cvl::test

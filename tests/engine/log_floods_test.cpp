#include <fmt/format.h>
#include <gtest/gtest.h>

#include <string>

#include "engine/aircraft_lists.h"
#include "engine/buffered_aircraft.h"
#include "engine/conflict_rules.h"
#include "engine/engine_state.h"
#include "engine/feed_time.h"
#include "engine/no_match_set.h"
#include "engine/tick_count.h"
#include "engine_step_fixture.h"
#include "foundation/geometry.h"
#include "foundation/settings_catalogue.h"
#include "foundation/throttled_log.h"
#include "simlink/creation_failures.h"
#include "simlink/user_aircraft.h"
#include "simulator_stand_in.h"
#include "support/log_flood.h"

namespace cvl::test {
namespace {

constexpr LatLon userAt{50.0, 8.0};
constexpr double nauticalMileFt = 6076.12;

// Beside the user, well inside the range.
LatLon beside() {
  return gf_destinationPoint(userAt, 90.0 * degreesToRadians, 5.0 * nauticalMileFt);
}

// A sender picks 10,000 identities within 10 s: flights at the edge of the range, flights reported twice (the second
// time with '_' appended), registrations no livery fits and reports stamped ahead, in turn. The engine meets each
// identity where the traffic takes it; Log.txt then holds a few lines of each kind and their counts, and a good flight
// after the flood is created.
class LogFloods : public EngineStep {
 protected:
  LogFloods() {
    rangeNm = 20.0;
    rangeMetres = 20 * 1852;
    GUID_CHANGES.value = false;
    SimulatorStandIn::placeUser(userAt, 30000.0);
    engineUserPosition = gf_userAcSnapshot();
  }

  // A buffered flight of two reports 2 s apart, first due now, flying north from `at`.
  static LiveAc& buffered(std::uint32_t hexid, const std::string& callsign, const LatLon& at) {
    LiveAc& aircraft = addBuffered(flyingFrom(hexid, callsign, at, 0.0, 250.0, 0.0, tickCount - 3000));
    aircraft.stream.push_back(flyingFrom(hexid, callsign, at, 0.0, 250.0, 2.0, tickCount - 2800).position);
    return aircraft;
  }

  static void meet(std::uint32_t n) {
    const std::uint32_t hexid = 0x400000 + n;
    switch (n % 4) {
      case 0:  // 19.8 nm north, at the edge of the range
        lf_handleBuffered(
            buffered(hexid, fmt::format("EDG{}", n), gf_destinationPoint(userAt, 0.0, 19.8 * nauticalMileFt)));
        break;
      case 1: {  // a type for which no livery is installed
        LiveAc& aircraft = buffered(hexid, fmt::format("NOL{}", n), beside());
        aircraft.type = "B738";
        aircraft.registration = fmt::format("N{}", n);
        lf_handleBuffered(aircraft);
        break;
      }
      case 2: {
        TrafficItem ahead = flyingFrom(hexid, fmt::format("AHD{}", n), beside(), 0.0, 250.0, 0.0, tickCount);
        ahead.timestamp += 1000.0 + tickCount / 100.0;  // of the feed's time, not the flight's
        gf_isStampedAhead(ahead, nullptr);
        break;
      }
      default: {
        const std::string callsign = fmt::format("GHO{}", n);
        buffered(hexid, callsign + "_", beside());
        lf_removeGhost(callsign);
      }
    }
  }

  SimulatorStandIn simulator;
};

TEST_F(LogFloods, TenThousandIdentitiesWithinTenSecondsLeaveTheLogSmallAndAGoodFlightIsCreated) {
  // A good flight reports every 2 s from the start; the flood comes in its first 10 s.
  const auto goodFlight = [](std::int32_t second) {
    std::vector<TrafficItem> reports;
    if (second % 2 == 0) {
      reports.push_back(flyingFrom(liveHexid, "DLH4AB", beside(), 0.0, 250.0, second, tickCount));
    }
    return reports;
  };
  simulator.runReporting(0, 2, goodFlight);
  const std::size_t before = log.text().size();
  for (std::uint32_t n = 0; n < 10'000; ++n) {
    if (n % 1000 == 0) {
      simulator.runReporting(static_cast<std::int32_t>(3 + n / 1000), static_cast<std::int32_t>(3 + n / 1000),
                             goodFlight);
    }
    meet(n);
  }
  gf_logNoMatch();  // as the periodic jobs do every 20 minutes
  simulator.runReporting(13, 50, goodFlight);
  EXPECT_EQ(simulator.creations(), 1U);
  EXPECT_EQ(simulator.objects().size(), 1U);
  EXPECT_LE(noMatchSet.size(), 500U);

  gf_restartLogLimits();  // the end of the run
  const std::string added = log.text().substr(before);
  EXPECT_TRUE(smallAndUtf8(added));
  for (const char* line :
       {"lies at the edge of the range or beyond, not created", "is a ghost and will be removed, continue with",
        "report stamped", "No match found for:", " more notes of aircraft without a match, left out of the list\n",
        "Live creation: 2495 more range-edge notices left out of the log\n",
        "Conflict rules: 2495 more ghost removals left out of the log\n",
        "Traffic feed: 2495 more stamped-ahead reports left out of the log\n"}) {
    EXPECT_NE(added.find(line), std::string::npos) << line;
  }
}

}  // namespace
}  // namespace cvl::test

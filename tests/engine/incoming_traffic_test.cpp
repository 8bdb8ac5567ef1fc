#include "engine/incoming_traffic.h"

#include <fmt/format.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "engine/aircraft_lists.h"
#include "engine/engine_state.h"
#include "engine/feed_time.h"
#include "engine/tick_count.h"
#include "engine_step_fixture.h"
#include "foundation/settings_catalogue.h"
#include "parking/current_park_airport.h"
#include "refdata/aircraft_database.h"
#include "simulator_stand_in.h"

namespace cvl::test {
namespace {

constexpr double firstTime = 1'700'000'000.0;

TrafficItem onGround(std::uint32_t hexid, double lat, double lon, double speed, double timestamp) {
  TrafficItem made = EngineStep::item(hexid, "DLH4AB", lat, lon, 0.0, timestamp, 3000);
  made.position.groundSpeed = speed;
  return made;
}

class IncomingTraffic : public EngineStep {
 protected:
  // A buffered aircraft whose last kept report came at firstTime.
  static LiveAc& known(TrafficItem first) {
    lf_applyIncomingItem(first);
    EXPECT_EQ(liveAcs.size(), 1U);
    return liveAcs.front();
  }
  // Whether the item extended the stream.
  static bool kept(LiveAc& aircraft, TrafficItem next) {
    const auto before = aircraft.stream.size();
    lf_applyIncomingItem(next);
    return aircraft.stream.size() > before;
  }
};

TEST_F(IncomingTraffic, AnItemMustBeMoreThanASecondNewer) {
  LiveAc& aircraft = known(flying(liveHexid, "DLH4AB", 0.0, 0));
  EXPECT_FALSE(kept(aircraft, flying(liveHexid, "DLH4AB", 1.0, 100)));
  EXPECT_FALSE(kept(aircraft, flying(liveHexid, "DLH4AB", -5.0, 100)));
  TrafficItem later = flying(liveHexid, "DLH4AB", 1.01, 101);
  later.position.track = 95.0;  // not thinned out
  EXPECT_TRUE(kept(aircraft, std::move(later)));
  EXPECT_EQ(aircraft.lastItemTime, firstTime + 1.01);
}

// Flights side by side, 0.1 degrees apart, each reporting every 2 s through the engine to the simulator, from the
// second `from` to the second `to` of the engine's clock; `stamp` gives the timestamp of a flight's report at a second
// of the flights' own time, nothing for none. The flights' time runs `paused` seconds ahead of the engine's: for that
// long the flight in the simulator did not run while the flights flew on.
class SourceClocks : public IncomingTraffic {
 protected:
  using Stamp = std::function<std::optional<double>(std::uint32_t, double)>;

  void fly(std::uint32_t flights, std::int32_t from, std::int32_t to, const Stamp& stamp, double paused = 0.0) {
    for (std::int32_t second = from; second <= to; second += 2) {
      simulator.ticksUntil(second * 100);
      for (std::uint32_t flight = 0; flight < flights; ++flight) {
        const auto timestamp = stamp(flight, second + paused);
        if (!timestamp) {
          continue;
        }
        TrafficItem report = flying(liveHexid + flight, "DLH" + std::to_string(flight), second + paused, tickCount);
        report.position.lat += 0.1 * flight;
        report.timestamp = *timestamp;
        queue(std::move(report));
      }
    }
  }

  // Whether every object in the simulator flies its reports 30 s behind.
  bool allOnTimeline(double paused = 0.0) const {
    const double reportedLon = flying(liveHexid, "", (tickCount - 3000) / 100.0 + paused, 0).position.lon;
    return std::all_of(simulator.objects().begin(), simulator.objects().end(), [reportedLon](const auto& entry) {
      const auto& position = entry.second.position;
      return position && std::abs(position->longitude - reportedLon) < 0.01;
    });
  }

  std::size_t stampedAheadLines() const { return loggedCount("report stamped"); }

  SimulatorStandIn simulator;
};

TEST_F(SourceClocks, ReportsStampedFarAheadAreIgnoredAlsoAfterAFirstOneButAFeedThatMovesOnIsFollowed) {
  // The run's first report comes from a third flight and is stamped an hour ahead; that flight's later reports are
  // right. Every tenth report of the first flight is stamped an hour ahead, and so is the first report of a fourth
  // flight that appears at 50 s. From the third minute on the feed itself runs two hours ahead (its time was set
  // forward).
  const Stamp stamp = [](std::uint32_t flight, double second) -> std::optional<double> {
    double timestamp = firstTime + second;
    if ((second == 0 && flight != 2) || (flight == 3 && second < 50)) {
      return std::nullopt;
    }
    if (second >= 120) {
      timestamp += 7200.0;
    } else if (second == 0 || (flight == 0 && static_cast<int>(second) % 20 == 0) || (flight == 3 && second == 50)) {
      timestamp += 3600.0;
    }
    return timestamp;
  };
  fly(4, 0, 110, stamp);
  EXPECT_TRUE(logged("DLH0              report stamped 3600 s ahead of the traffic, ignored"));
  EXPECT_TRUE(logged("DLH3              report stamped"));
  // Five reports of the first flight ignored, the first three logged.
  EXPECT_EQ(stampedAheadLines(), 4U);
  EXPECT_EQ(simulator.objects().size(), 4U);
  EXPECT_TRUE(allOnTimeline());

  fly(4, 112, 240, stamp);
  EXPECT_EQ(simulator.creations(), 4U);
  EXPECT_EQ(simulator.removals(), 0U);
  EXPECT_EQ(simulator.objects().size(), 4U);
  EXPECT_TRUE(allOnTimeline());
}

TEST_F(SourceClocks, AFloodOfReportsStampedAheadUnderNewHexidsLeavesTheLogSmallAndGoodReportsTaken) {
  // While a flight reports, a sender stamps 10,000 reports 1,000 s ahead, each of a new hexid, within 10 s; at 80 s a
  // second flight begins to report.
  const Stamp right = [](std::uint32_t flight, double second) -> std::optional<double> {
    return flight == 1 && second < 80 ? std::nullopt : std::optional{firstTime + second};
  };
  fly(2, 0, 40, right);
  const std::size_t before = log.text().size();
  std::uint32_t flood = 0;
  for (std::int32_t second = 42; second <= 50; second += 2) {
    fly(2, second, second, right);
    for (const std::uint32_t last = flood + 2000; flood < last; ++flood) {
      TrafficItem report = flying(0x500000 + flood, fmt::format("FLD{}", flood), second, tickCount);
      report.timestamp += 1000.0;
      queue(std::move(report));
    }
  }
  fly(2, 54, 180, right);

  EXPECT_LT(log.text().size() - before, 200U * 1024U);
  EXPECT_EQ(stampedAheadLines(), 5U);
  EXPECT_TRUE(logged("Traffic feed: 9995 more stamped-ahead reports left out of the log"));
  EXPECT_EQ(simulator.creations(), 2U);
  EXPECT_EQ(simulator.objects().size(), 2U);
  EXPECT_TRUE(allOnTimeline());
}

TEST_F(SourceClocks, EachFlightIsJudgedByTheClockOfItsOwnSource) {
  // The run's first report comes from a source whose clock runs 90 s behind, and from 20 s on a flight reports from a
  // source whose clock runs 90 s ahead. Between them, a flight from a source that is right, with 70 s without reports.
  fly(3, 0, 240, [](std::uint32_t flight, double second) -> std::optional<double> {
    if ((flight == 2 && second < 20) || (flight == 1 && second > 60 && second < 130)) {
      return std::nullopt;
    }
    return firstTime + second + (flight == 0 ? -90.0 : flight == 2 ? 90.0 : 0.0);
  });

  EXPECT_EQ(simulator.creations(), 3U);
  EXPECT_EQ(simulator.removals(), 0U);
  EXPECT_EQ(simulator.objects().size(), 3U);
  EXPECT_TRUE(allOnTimeline());
  // Only the first report of the flight whose source runs ahead was ignored.
  EXPECT_EQ(stampedAheadLines(), 1U);
  EXPECT_TRUE(logged("DLH2              report stamped"));
}

TEST_F(SourceClocks, AfterTheFlightWasPausedEveryAircraftGoesOnWithItsReports) {
  // The flight in the simulator stops for two minutes after 110 s (the engine does not step and takes no reports)
  // while the flights and their feed run on.
  const Stamp stamp = [](std::uint32_t, double second) -> std::optional<double> { return firstTime + second; };
  fly(3, 0, 110, stamp);
  ASSERT_EQ(simulator.objects().size(), 3U);
  // The engine takes the last reports before the flight stops; when it runs again, the second's work notes it.
  simulator.ticks(2);
  gf_resumeFeedTime();
  constexpr double paused = 120.0;

  fly(3, 112, 112, stamp, paused);
  simulator.ticks(2);
  for (const LiveAc& aircraft : liveAcs) {
    EXPECT_EQ(aircraft.lastItemTime, firstTime + 112.0 + paused) << aircraft.callsign;
  }
  fly(3, 114, 240, stamp, paused);
  EXPECT_EQ(stampedAheadLines(), 0U) << log.text();
  EXPECT_EQ(simulator.creations(), 3U);
  EXPECT_EQ(simulator.removals(), 0U);
  EXPECT_TRUE(allOnTimeline(paused));
}

TEST_F(IncomingTraffic, SpeedSpikesAreIgnored) {
  LiveAc& aircraft = known(onGround(liveHexid, 50.0, 8.0, 4.0, firstTime));
  EXPECT_FALSE(kept(aircraft, onGround(liveHexid, 50.001, 8.0, 90.0, firstTime + 20.0)));
  liveAcs.clear();
  LiveAc& slow = known(onGround(liveHexid, 50.0, 8.0, 6.0, firstTime));
  EXPECT_TRUE(kept(slow, onGround(liveHexid, 50.001, 8.0, 59.0, firstTime + 20.0)));
}

TEST_F(IncomingTraffic, ReportsOnAStraightLineAreThinnedToOneEvery450MetresInTheAir) {
  TrafficItem first = flying(liveHexid, "DLH4AB", 0.0, 0);
  first.position.groundSpeed = 450.0;
  LiveAc& aircraft = known(std::move(first));
  TrafficItem soon = flying(liveHexid, "DLH4AB", 1.9, 190);
  soon.position.groundSpeed = 450.0;
  EXPECT_FALSE(kept(aircraft, std::move(soon)));
  TrafficItem later = flying(liveHexid, "DLH4AB", 2.0, 200);
  later.position.groundSpeed = 450.0;
  EXPECT_TRUE(kept(aircraft, std::move(later)));
}

TEST_F(IncomingTraffic, ReportsOnTheGroundAreThinnedToOneEvery20MetresAndAtLeastEvery15Seconds) {
  LiveAc& aircraft = known(onGround(liveHexid, 50.0, 8.0, 5.0, firstTime));
  EXPECT_FALSE(kept(aircraft, onGround(liveHexid, 50.0001, 8.0, 5.0, firstTime + 7.7)));
  EXPECT_TRUE(kept(aircraft, onGround(liveHexid, 50.0001, 8.0, 5.0, firstTime + 7.8)));
  EXPECT_FALSE(kept(aircraft, onGround(liveHexid, 50.0002, 8.0, 1.0, firstTime + 22.8)));
  EXPECT_TRUE(kept(aircraft, onGround(liveHexid, 50.0002, 8.0, 1.0, firstTime + 22.9)));
  EXPECT_FALSE(kept(aircraft, onGround(liveHexid, 50.0003, 8.0, 0.0, firstTime + 37.9)));
}

TEST_F(IncomingTraffic, ANewAircraftSeenJustAboveTheParkAirportWaits) {
  currentParkAirport.code = "EDDF";
  currentParkAirport.alt = 100.0;
  TrafficItem nearGround = item(liveHexid, "A1", 50.0, 8.0, 150.0, firstTime, 0);
  lf_applyIncomingItem(nearGround);
  EXPECT_TRUE(liveAcs.empty());
  TrafficItem high = item(liveHexid, "A1", 50.0, 8.0, 10000.0, firstTime, 0);
  high.position.airborne = true;
  lf_applyIncomingItem(high);
  EXPECT_EQ(liveAcs.size(), 1U);
  currentParkAirport = {};
  TrafficItem farAway = item(liveHexid + 1, "B2", 50.0, 8.0, 150.0, firstTime, 0);
  lf_applyIncomingItem(farAway);
  EXPECT_EQ(liveAcs.size(), 2U);
}

TEST_F(IncomingTraffic, ANewHexidOfALiveFlightIsIgnoredUnlessItsTypeDiffers) {
  TrafficItem first = flying(liveHexid, "DLH4AB", 0.0, 0);
  lf_applyIncomingItem(first);
  TrafficItem twin = flying(liveHexid + 1, "DLH4AB", 0.0, 0);
  lf_applyIncomingItem(twin);
  EXPECT_EQ(liveAcs.size(), 1U);
  TrafficItem otherType = flying(liveHexid + 2, "DLH4AB", 0.0, 0);
  otherType.type = "C172";
  lf_applyIncomingItem(otherType);
  ASSERT_EQ(liveAcs.size(), 2U);
  EXPECT_EQ(liveAcs[1].category, AcCategory::Light);
}

TEST_F(IncomingTraffic, OnlyKnownAndAcceptedTypesAreCreatedAndTheRegistrationDecidesTheType) {
  TrafficItem unknown = flying(liveHexid, "AAA1", 0.0, 0);
  unknown.type = "ZZZZ";
  lf_applyIncomingItem(unknown);
  EXPECT_TRUE(liveAcs.empty());

  LIGHT_AIRCRAFT.value = false;
  TrafficItem light = flying(liveHexid, "AAA1", 0.0, 0);
  light.type = "C172";
  lf_applyIncomingItem(light);
  EXPECT_TRUE(liveAcs.empty());

  RegistrationTable["D-EABC"] = DbaseRecord{"DLH", "A320", "", false};
  TrafficItem registered = flying(liveHexid, "AAA1", 0.0, 0);
  registered.type = "C172";
  registered.registration = "D-EABC";
  lf_applyIncomingItem(registered);
  ASSERT_EQ(liveAcs.size(), 1U);
  const LiveAc& aircraft = liveAcs.front();
  EXPECT_EQ(aircraft.type, "A320");
  EXPECT_EQ(aircraft.hexid, liveHexid);
  EXPECT_EQ(aircraft.optCallsign, "AAA1");
  EXPECT_EQ(aircraft.state, AcState::buffer);
  EXPECT_EQ(aircraft.phase, AcPhase::birth);
  EXPECT_GT(aircraft.maxClimbStep, 0.0);
  EXPECT_GT(aircraft.standTaxiSpeed, 0.0);
}

TEST_F(IncomingTraffic, ABufferedAircraftTakesOverNewRouteCallsignAndRegistration) {
  LiveAc& aircraft = known(flying(liveHexid, "AAA1", 0.0, 0));
  aircraft.origin = "EDDF";
  TrafficItem next = flying(liveHexid, "AAA2", 5.0, 500);
  next.origin = "";
  next.destination = "EGLL";
  next.registration = "D-AIZZ";
  EXPECT_TRUE(kept(aircraft, std::move(next)));
  EXPECT_EQ(aircraft.origin, "EDDF");
  EXPECT_EQ(aircraft.destination, "EGLL");
  EXPECT_EQ(aircraft.callsign, "AAA2");
  EXPECT_EQ(aircraft.registration, "D-AIZZ");
}

TEST_F(IncomingTraffic, AnActiveAircraftWithANewRouteIsRespawned) {
  LiveAc& aircraft = addActive(flying(liveHexid, "AAA1", 0.0, 0), 9);
  aircraft.origin = "EDDF";
  aircraft.destination = "EGLL";
  aircraft.lastItemTime = firstTime;
  TrafficItem next = flying(liveHexid, "AAA1", 5.0, 500);
  next.origin = "EDDM";
  next.destination = "LFPG";
  lf_applyIncomingItem(next);
  EXPECT_EQ(aircraft.state, AcState::liveryrespawn);
  // It is created again where it is now, at once.
  ASSERT_EQ(aircraft.stream.size(), 2U);
  EXPECT_EQ(aircraft.stream.front().dueTick, 1);
  EXPECT_EQ(removalBacklog, (std::deque<std::uint32_t>{9}));
  EXPECT_EQ(aircraft.destination, "LFPG");
  EXPECT_TRUE(logged("          AAA1              EDDM->LFPG respawns"));
}

TEST_F(IncomingTraffic, AStreamOfMoreThan200PositionsRemovesItsAircraft) {
  LiveAc& aircraft = addActive(flying(liveHexid, "AAA1", 0.0, 0), 9);
  aircraft.lastItemTime = firstTime;
  for (int i = 1; i <= 200; ++i) {
    aircraft.stream.push_back(aircraft.stream.back());
  }
  EXPECT_FALSE(kept(aircraft, flying(liveHexid, "AAA1", 5.0, 500)));
  EXPECT_EQ(aircraft.state, AcState::removingfromsim);
}

}  // namespace
}  // namespace cvl::test

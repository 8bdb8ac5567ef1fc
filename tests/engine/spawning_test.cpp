#include "engine/spawning.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "engine/aircraft_lists.h"
#include "engine/buffered_aircraft.h"
#include "engine/engine_state.h"
#include "engine/engine_tick.h"
#include "engine/no_match_set.h"
#include "engine/tick_count.h"
#include "engine_rules_fixture.h"
#include "engine_step_fixture.h"
#include "foundation/settings_catalogue.h"
#include "parking/current_park_airport.h"
#include "parking/park_pos.h"
#include "refdata/aircraft_database.h"
#include "simlink/user_aircraft.h"
#include "simulator_stand_in.h"

namespace cvl::test {
namespace {

constexpr double degree = 0.017453292519943295;

class Spawning : public EngineStep {
 protected:
  // A buffered aircraft whose first of two positions falls due at tick 5000.
  static LiveAc& waiting(bool airborne, double speed, const std::string& callsign = "DLH4AB") {
    TrafficItem first = item(liveHexid, callsign, 50.0, 8.0, airborne ? 3000.0 : 0.0, 0.0, 5000);
    first.position.groundSpeed = speed;
    first.position.track = 90.0;
    LiveAc& aircraft = addBuffered(std::move(first));
    TimedPosition second = aircraft.stream.front();
    second.lon += 0.001;
    second.dueTick = 5500;
    aircraft.stream.push_back(second);
    return aircraft;
  }

  static void bufferStepAt(LiveAc& aircraft, std::int32_t tick) {
    tickCount = tick;
    lf_handleBuffered(aircraft);
  }

  // The report of a C172 flying under the callsign DLH4AB 0.2 degrees north of the airliner `flying` reports.
  static TrafficItem lightAircraft(double seconds) {
    TrafficItem light = flying(liveHexid + 1, "DLH4AB", seconds, tickCount);
    light.type = "C172";
    light.position.lat += 0.2;
    return light;
  }
};

TEST_F(Spawning, AnAircraftRollingOnTheGroundSpawnsThreeSecondsAheadAndAFlyingOneOneSecond) {
  LiveAc& rolling = waiting(false, 10.0);
  bufferStepAt(rolling, 4699);
  EXPECT_EQ(rolling.state, AcState::buffer);
  bufferStepAt(rolling, 4700);
  EXPECT_EQ(rolling.state, AcState::adding2sim);
  EXPECT_EQ(rolling.phase, AcPhase::taxi);
  EXPECT_EQ(addingStack, (std::vector<std::uint32_t>{liveHexid}));
  EXPECT_EQ(sameRegCheckQueue, (std::deque<std::uint32_t>{liveHexid}));
  EXPECT_EQ(rolling.standId, 0U);

  liveAcs.clear();
  LiveAc& flyingNow = waiting(true, 250.0);
  bufferStepAt(flyingNow, 4899);
  EXPECT_EQ(flyingNow.state, AcState::buffer);
  bufferStepAt(flyingNow, 4900);
  EXPECT_EQ(flyingNow.state, AcState::adding2sim);
  EXPECT_EQ(flyingNow.phase, AcPhase::flying);
}

TEST_F(Spawning, AnAircraftWithASingleReportOrNoneAllowedGoes) {
  LiveAc& single = waiting(true, 250.0);
  single.stream.pop_back();
  bufferStepAt(single, 4900);
  EXPECT_TRUE(single.remove);

  LiveAc& capped = waiting(true, 250.0);
  MAX_LIVE_SEL.value = 0;
  bufferStepAt(capped, 4900);
  EXPECT_TRUE(capped.remove);
  MAX_LIVE_SEL.value = 500;

  LiveAc& blocked = waiting(true, 250.0, "BLK1");
  BLOCK_CALLSIGN.value = std::string("BLK1");
  bufferStepAt(blocked, 4900);
  EXPECT_TRUE(blocked.remove);
}

TEST_F(Spawning, AKnownRegistrationStandsInForAnInvalidCallsign) {
  RegistrationTable["D-AIZZ"] = DbaseRecord{"DLH", "A320", "CLH", false};
  LiveAc& known = waiting(true, 250.0, "@@@@@@@@");
  known.registration = "D-AIZZ";
  bufferStepAt(known, 4900);
  EXPECT_EQ(known.state, AcState::adding2sim);
  EXPECT_EQ(known.callsign, "D-AIZZ");
  EXPECT_EQ(known.airline, "CLH");

  LiveAc& unknown = waiting(true, 250.0, "@@@@@@@@");
  unknown.registration = "N12345";
  bufferStepAt(unknown, 4900);
  EXPECT_TRUE(unknown.remove);
  EXPECT_EQ(unknown.callsign, "@@@@@@@@");
}

TEST_F(Spawning, AKeyWithoutLiveryMatchKeepsItsAircraftOut) {
  LiveAc& aircraft = waiting(true, 250.0);
  aircraft.registration = "D-AIZZ";
  aircraft.airline = "DLH";
  noMatchSet.insert("DLH A320 D-AIZZ");
  bufferStepAt(aircraft, 4900);
  EXPECT_TRUE(aircraft.remove);
}

TEST_F(Spawning, AtTheLiveLimitANewcomerReplacesAFartherAircraftOrGoes) {
  MAX_LIVE_SEL.value = 1;
  LiveAc& far = addActive(flying(liveHexid + 1, "FAR1", 0.0, 0), 7);
  far.simPos.lat = 52.0;
  engineUserPosition.latitude = 49.9;
  engineUserPosition.longitude = 8.0;
  LiveAc& near = waiting(true, 250.0);
  bufferStepAt(near, 4900);
  EXPECT_EQ(near.state, AcState::adding2sim);
  EXPECT_EQ(liveAcs[0].state, AcState::removingfromsim);

  liveAcs.clear();
  addingStack.clear();
  LiveAc& close = addActive(flying(liveHexid + 1, "NEAR1", 0.0, 0), 7);
  close.simPos.lat = 49.95;
  LiveAc& farther = waiting(true, 250.0);
  bufferStepAt(farther, 4900);
  EXPECT_TRUE(farther.remove);
  EXPECT_EQ(liveAcs[0].state, AcState::active);

  // Near the user, as across an airport: a newcomer 0.1 nm away replaces an aircraft 1 nm away; one only a little
  // nearer than the aircraft shown goes.
  engineUserPosition.latitude = 49.998;
  for (const double shownLat : {49.98, 49.9958}) {
    liveAcs.clear();
    addingStack.clear();
    addActive(flying(liveHexid + 1, "FAR1", 0.0, 0), 7).simPos.lat = shownLat;
    LiveAc& newcomer = waiting(true, 250.0);
    bufferStepAt(newcomer, 4900);
    EXPECT_EQ(newcomer.state == AcState::adding2sim, shownLat < 49.99) << shownLat;
    EXPECT_EQ(liveAcs[0].state == AcState::removingfromsim, shownLat < 49.99) << shownLat;
  }
}

TEST_F(Spawning, TheLiveLimitCountsTheCreationsStillWithTheSimulator) {
  // Fifteen flights, first reported a second apart, each farther from the user than the one before; every flight
  // reports every 2 s.
  MAX_LIVE_SEL.value = 10;
  SimulatorStandIn simulator;
  for (std::int32_t second = 0; second <= 90; ++second) {
    simulator.ticksUntil(second * 100);
    for (std::uint32_t flight = 0; flight < 15 && flight <= static_cast<std::uint32_t>(second); ++flight) {
      const std::int32_t flown = second - static_cast<std::int32_t>(flight);
      if (flown % 2 == 0) {
        TrafficItem report = flying(liveHexid + flight, "DLH" + std::to_string(flight), flown, tickCount);
        report.position.lat += 0.1 * flight;
        queue(std::move(report));
      }
    }
  }
  EXPECT_EQ(simulator.creations(), 10U);
  EXPECT_EQ(simulator.mostObjects(), 10U);
  EXPECT_EQ(simulator.removals(), 0U);
}

TEST_F(Spawning, ASecondFlightUnderTheSameCallsignWaitsUntilTheFirstHasBeenCreated) {
  // An A320 and, 0.2 degrees north of it, a C172 report under one callsign; the simulator loads the airliner's model
  // faster than the light aircraft's.
  SimulatorStandIn simulator;
  simulator.setLoadTicks(std::string{engineTestLiveryTitle}, 50);
  simulator.setLoadTicks("Generic C172", 400);
  for (std::int32_t second = 0; second <= 60; second += 2) {
    simulator.ticksUntil(second * 100);
    queue(flying(liveHexid, "DLH4AB", second, tickCount));
    queue(lightAircraft(second));
  }
  simulator.ticks(100);

  EXPECT_EQ(simulator.creations(), 2U);
  ASSERT_EQ(simulator.objects().size(), 2U);
  for (const auto& [objectId, object] : simulator.objects()) {
    ASSERT_TRUE(object.position) << object.title;
    EXPECT_NEAR(object.position->latitude, object.title == "Generic C172" ? 50.2 : 50.0, 0.001) << object.title;
  }
}

// The user flies east at 450 kt and 30000 ft from 50 N 8 E with a range of 20 nm; the simulator follows it.
class UserFlyingAway : public Spawning {
 protected:
  static constexpr double userSpeed = 450.0;

  UserFlyingAway() {
    rangeNm = 20.0;
    rangeMetres = 20 * 1852;
  }

  static LatLon userAt(double seconds) {
    return gf_destinationPoint({50.0, 8.0}, 90.0 * degree, userSpeed * seconds / 3600.0 * feetPerNauticalMile);
  }

  // The reports the feed sends: those within the range of the user, who is moved on each second.
  std::vector<TrafficItem> sent(std::int32_t second, std::vector<TrafficItem> reports) {
    simulator.placeUser(userAt(second), 30000.0);
    std::erase_if(reports, [second](const TrafficItem& report) {
      return gf_distanceNM(userAt(second), {report.position.lat, report.position.lon}) > rangeNm.load();
    });
    return reports;
  }

  SimulatorStandIn simulator;
};

TEST_F(UserFlyingAway, AFlightLeftBehindAtTheEdgeOfTheRangeIsNotCreatedAndTakesNoPlace) {
  // One flight first reported 19 nm behind the user flies the other way, so that its first reports are the only ones
  // in range; another flies beside the user from the tenth second on. One live aircraft at a time.
  MAX_LIVE_SEL.value = 1;
  const LatLon behind = gf_destinationPoint(userAt(0), 270.0 * degree, 19.0 * feetPerNauticalMile);
  const LatLon beside = gf_destinationPoint(userAt(10), 0.0, 5.0 * feetPerNauticalMile);
  simulator.runReporting(0, 120, [&](std::int32_t second) {
    std::vector<TrafficItem> reports;
    if (second % 2 == 0) {
      reports.push_back(flyingFrom(liveHexid, "BHD1", behind, 270.0, 250.0, second, tickCount));
      if (second >= 10) {
        reports.push_back(flyingFrom(liveHexid + 1, "NXT1", beside, 90.0, userSpeed, second - 10, tickCount));
      }
    }
    return sent(second, std::move(reports));
  });

  ASSERT_FALSE(simulator.history().empty());
  for (const auto& handover : simulator.history()) {
    EXPECT_EQ(handover.tailNumber, "NXT1");
  }
  ASSERT_EQ(simulator.objects().size(), 1U);
  EXPECT_TRUE(simulator.objects().begin()->second.position);
  EXPECT_TRUE(logged("BHD1     lies at the edge of the range or beyond, not created"));
}

TEST_F(Spawning, AnAircraftAtTheEdgeOfTheRangeWaitsUntilItComesNearer) {
  // The user is over an airport; at another airport 19.7 nm north, just inside the range of 20 nm, an aircraft taxis
  // east for five minutes, reporting every 2 s. Then the user comes nearer.
  rangeNm = 20.0;
  rangeMetres = 20 * 1852;
  SimulatorStandIn simulator;
  simulator.placeUser({50.0, 8.0}, 3000.0);
  const LatLon edge = gf_destinationPoint({50.0, 8.0}, 0.0, 19.7 * feetPerNauticalMile);
  const auto reportsOf = [&edge](std::int32_t second) {
    std::vector<TrafficItem> reports;
    if (second % 2 == 0) {
      const LatLon at = gf_destinationPoint(edge, 90.0 * degree, 10.0 * second / 3600.0 * feetPerNauticalMile);
      reports.push_back(item(liveHexid, "TXI1", at.lat, at.lon, 0.0, 1'700'000'000.0 + second, tickCount + 3000));
      reports.back().position.groundSpeed = 10.0;
      reports.back().position.track = 90.0;
    }
    return reports;
  };
  simulator.runReporting(0, 300, reportsOf);
  EXPECT_EQ(simulator.creations(), 0U);
  EXPECT_EQ(loggedCount("TXI1     lies at the edge of the range or beyond, not created"), 1U);

  simulator.placeUser(gf_destinationPoint({50.0, 8.0}, 0.0, 15.0 * feetPerNauticalMile), 3000.0);
  simulator.runReporting(301, 330, reportsOf);
  EXPECT_EQ(simulator.creations(), 1U);
  EXPECT_EQ(simulator.objects().size(), 1U);
}

TEST_F(UserFlyingAway, AnAircraftThatMadeRoomForNearerTrafficStaysOutForTwoMinutesUnlessNearerThanThoseShown) {
  // Two flights 8 nm either side of the user's track, 10 nm ahead, fly east slower than the user, so the user passes
  // between them; the southern one flies 0.3 nm behind the northern one. Two flights close beside the user report for
  // 20 s and a minute, one after the other. Two live aircraft at a time.
  MAX_LIVE_SEL.value = 2;
  const LatLon ahead = gf_destinationPoint(userAt(0), 90.0 * degree, 10.0 * feetPerNauticalMile);
  const LatLon north = gf_destinationPoint(ahead, 0.0, 8.0 * feetPerNauticalMile);
  const LatLon south = gf_destinationPoint(gf_destinationPoint(ahead, 180.0 * degree, 8.0 * feetPerNauticalMile),
                                           270.0 * degree, 0.3 * feetPerNauticalMile);
  const auto beside = [this](std::uint32_t hexid, const std::string& callsign, std::int32_t from, double bearing,
                             std::int32_t second) {
    const LatLon start = gf_destinationPoint(userAt(from), bearing * degree, 2.0 * feetPerNauticalMile);
    return flyingFrom(hexid, callsign, start, 90.0, userSpeed, second - from, tickCount);
  };
  const auto reportsOf = [&](std::int32_t second) {
    std::vector<TrafficItem> reports;
    if (second % 2 == 0) {
      reports.push_back(flyingFrom(liveHexid, "ABR1", north, 90.0, 200.0, second, tickCount));
      reports.push_back(flyingFrom(liveHexid + 1, "ABR2", south, 90.0, 200.0, second, tickCount));
      if (second >= 40 && second <= 60) {
        reports.push_back(beside(liveHexid + 2, "PAS1", 40, 0.0, second));
      }
      if (second >= 220 && second <= 280) {
        reports.push_back(beside(liveHexid + 3, "PAS2", 220, 180.0, second));
      }
    }
    return sent(second, std::move(reports));
  };
  // Creations and removals by tail number.
  const auto handovers = [this] {
    std::map<std::string, std::pair<std::size_t, std::size_t>> counts;
    for (const SimulatorStandIn::Handover& handover : simulator.history()) {
      auto& [created, removed] = counts[handover.tailNumber];
      ++(handover.created ? created : removed);
    }
    return counts;
  };
  simulator.runReporting(0, 180, reportsOf);

  // The farther of the two abreast made room for the first close one and stays out, also once that one has gone and
  // left its place free.
  auto counts = handovers();
  for (const std::string tail : {"ABR1", "ABR2", "PAS1"}) {
    EXPECT_EQ(counts[tail].first, 1U) << tail;
  }
  EXPECT_EQ(counts["ABR1"].second, 1U);
  EXPECT_EQ(counts["PAS1"].second, 1U);
  EXPECT_EQ(simulator.objects().size(), 1U) << "a place is free";

  // Two minutes after it was taken out it fills the free place; the second close flight then takes the place of the
  // farthest of the two abreast, and every aircraft was created at most twice.
  simulator.runReporting(181, 330, reportsOf);
  counts = handovers();
  EXPECT_EQ(counts["ABR1"].first, 2U);
  EXPECT_EQ(counts["PAS2"].first, 1U);
  EXPECT_EQ(counts["ABR1"].second + counts["ABR2"].second, 2U);
}

TEST_F(Spawning, AFlightWaitingAfterAGiveUpWhoseReportsHavePassedGoes) {
  // Its creation, handed over a minute ago with nothing left to fly to, is given up at tick 5000 and its record goes.
  // The flight's next record, standing on the ground, waits as its model may never load; its last report falls due
  // half a second later, before the aircraft's tick of the second comes to look at it again.
  LiveAc& givenUp = waiting(false, 0.0);
  givenUp.stream.pop_back();
  givenUp.state = AcState::adding2sim;
  givenUp.phase = AcPhase::taxi;
  tickCount = 5000;
  givenUp.handedOverAt = tickCount - 6000;
  ticks(1);
  ASSERT_TRUE(logged("did not show in the simulator within 60 s, given up"));
  ASSERT_TRUE(liveAcs.empty());
  LiveAc& next = waiting(false, 0.0);
  next.stream.front().dueTick = tickCount;
  next.stream.back().dueTick = tickCount + 50;
  ASSERT_GT(liveHexid % ticksPerSecond, 50U);
  ticks(ticksPerSecond);
  EXPECT_TRUE(liveAcs.empty());
  EXPECT_TRUE(addingStack.empty());
}

TEST_F(Spawning, ACreationTheSimulatorNeverShowsGivesUpItsPlaceAndCallsignAfterAMinute) {
  // A light aircraft reports for 20 s; its model takes 100 s to load. An airliner under the same callsign reports
  // from the 20th second on. One live aircraft at a time.
  MAX_LIVE_SEL.value = 1;
  SimulatorStandIn simulator;
  simulator.setLoadTicks("Generic C172", 10000);
  const auto reportsOf = [](std::int32_t second) {
    std::vector<TrafficItem> reports;
    if (second % 2 == 0 && second <= 20) {
      reports.push_back(lightAircraft(second));
    }
    if (second % 2 == 0 && second >= 20) {
      reports.push_back(flying(liveHexid, "DLH4AB", second - 20, tickCount));
    }
    return reports;
  };
  simulator.runReporting(0, 120, reportsOf);

  // The airliner shows 30 s behind its reports.
  ASSERT_EQ(simulator.objects().size(), 1U);
  const SimulatorStandIn::Object& shown = simulator.objects().begin()->second;
  EXPECT_EQ(shown.title, engineTestLiveryTitle);
  ASSERT_TRUE(shown.position);
  EXPECT_NEAR(shown.position->longitude, flying(liveHexid, "", 120 - 50, 0).position.lon, 0.01);

  // The light aircraft's object, which came at last, went again at once.
  simulator.runReporting(121, 250, reportsOf);
  EXPECT_EQ(simulator.creations(), 2U);
  EXPECT_EQ(simulator.removals(), 1U);
  ASSERT_EQ(simulator.objects().size(), 1U);
  EXPECT_EQ(simulator.objects().begin()->second.title, engineTestLiveryTitle);
  EXPECT_TRUE(logged("DLH C172 did not show in the simulator within 60 s, given up"));
  EXPECT_TRUE(logged("with no aircraft waiting for it, removed"));
}

TEST_F(Spawning, AfterACreationGivenUpForGoodEveryLaterFlightUnderItsCallsignIsShown) {
  // The light aircraft's first creation never shows. The airliner under its callsign takes the first object that
  // shows; the light aircraft, reporting again from the 130th second on, must be shown beside it 30 s later.
  MAX_LIVE_SEL.value = 2;
  SimulatorStandIn simulator;
  simulator.setLoadTicks("Generic C172", 1'000'000);
  const auto reportsOf = [](std::int32_t second) {
    std::vector<TrafficItem> reports;
    if (second % 2 == 0 && (second <= 20 || second >= 130)) {
      reports.push_back(lightAircraft(second));
    }
    if (second % 2 == 0 && second >= 20) {
      reports.push_back(flying(liveHexid, "DLH4AB", second - 20, tickCount));
    }
    return reports;
  };
  simulator.runReporting(0, 125, reportsOf);
  simulator.setLoadTicks("Generic C172", SimulatorStandIn::defaultLoadTicks);
  simulator.runReporting(126, 200, reportsOf);

  EXPECT_EQ(simulator.objects().size(), 2U);
  EXPECT_EQ(simulator.removals(), 0U);
  EXPECT_FALSE(logged("with no aircraft waiting for it, removed"));
}

TEST_F(Spawning, AFlightWaitingForItsCallsignPushesOutNoOtherAircraft) {
  // At the live limit of two, a far flight is shown and a light aircraft's creation is under way; a nearer airliner
  // under the light aircraft's callsign must wait for it.
  MAX_LIVE_SEL.value = 2;
  SimulatorStandIn simulator;
  simulator.setLoadTicks("Generic C172", 3000);
  simulator.runReporting(0, 60, [](std::int32_t second) {
    std::vector<TrafficItem> reports;
    if (second % 2 == 0) {
      reports.push_back(flying(liveHexid + 2, "FAR1", second, tickCount));
      reports.back().position.lat += 1.0;
    }
    if (second % 2 == 0 && second >= 4) {
      reports.push_back(lightAircraft(second));
    }
    if (second % 2 == 0 && second >= 10) {
      reports.push_back(flying(liveHexid, "DLH4AB", second, tickCount));
    }
    return reports;
  });

  // The light aircraft is still loading: the far flight stays.
  EXPECT_EQ(simulator.creations(), 2U);
  EXPECT_EQ(simulator.removals(), 0U);
}

TEST_F(Spawning, AtTheLiveLimitANewcomerThatIsNotCreatedPushesOutNoAircraft) {
  // One live aircraft at a time; a far flight is shown. From the 40th second on, two aircraft near the user report
  // every 2 s: a type no installed livery fits, and one holding short of a runway, standing still where there is no
  // stand.
  MAX_LIVE_SEL.value = 1;
  KnownTypes.insert("B744");
  SimulatorStandIn simulator;
  simulator.placeUser({50.0, 8.0}, 30000.0);
  simulator.runReporting(0, 300, [](std::int32_t second) {
    std::vector<TrafficItem> reports;
    if (second % 2 != 0) {
      return reports;
    }
    reports.push_back(flying(liveHexid, "FAR1", second, tickCount));
    reports.back().position.lat += 0.5;
    if (second >= 40) {
      reports.push_back(flying(liveHexid + 1, "NOL1", second - 40, tickCount));
      reports.back().type = "B744";
      reports.push_back(item(liveHexid + 2, "HLD1", 50.01, 8.0, 0.0, 1'700'000'000.0 + second, tickCount + 3000));
    }
    return reports;
  });

  EXPECT_EQ(simulator.creations(), 1U);
  EXPECT_EQ(simulator.removals(), 0U);
  ASSERT_EQ(simulator.objects().size(), 1U);
  EXPECT_EQ(simulator.objects().begin()->second.tailNumber, "FAR1");
}

TEST_F(Spawning, TheFirstSimulatorPositionPitchesWithTheVerticalSpeed) {
  LiveAc& climbing = waiting(true, 250.0);
  climbing.stream.front().verticalSpeed = 1200.0;
  climbing.stream.front().roll = 0.1;
  lf_initSimPosition(climbing);
  EXPECT_NEAR(climbing.simPos.pitch, -7.4 * degree, 1e-12);
  EXPECT_EQ(climbing.simPos.bank, 0.1);
  EXPECT_NEAR(climbing.simPos.heading, 90.0 * degree, 0.01);
  climbing.stream.front().verticalSpeed = -1000.0;
  lf_initSimPosition(climbing);
  EXPECT_NEAR(climbing.simPos.pitch, (-3.0 + 500.0 / 600.0 * 2.2) * degree, 1e-12);
  climbing.stream.front().verticalSpeed = 5000.0;
  lf_initSimPosition(climbing);
  EXPECT_NEAR(climbing.simPos.pitch, (-3.0 - 4.0 * 2.2) * degree, 1e-12);

  LiveAc& standing = waiting(false, 0.0);
  standing.stream[1] = standing.stream[0];
  standing.stream[1].stationary = true;
  standing.stream.front().track = 270.0;
  lf_initSimPosition(standing);
  EXPECT_NEAR(standing.simPos.pitch, 0.6 * degree, 1e-12);
  EXPECT_NEAR(standing.simPos.heading, 270.0 * degree, 1e-12);
}

TEST_F(Spawning, AnAircraftStandingStillWithoutAStandWaits) {
  LiveAc& standing = waiting(false, 0.0);
  standing.stream[1] = standing.stream[0];
  standing.stream[1].stationary = true;
  standing.stream[1].dueTick = 5500;
  TimedPosition third = standing.stream[1];
  third.dueTick = 6000;
  standing.stream.push_back(third);
  bufferStepAt(standing, 4900);
  EXPECT_EQ(standing.state, AcState::buffer);
  EXPECT_EQ(standing.stream.size(), 2U);
}

TEST_F(Spawning, ANewcomerOnTheGroundTooNearTheUserOnTheGroundWaits) {
  userOnGround = true;
  engineUserPosition.latitude = 50.0;
  engineUserPosition.longitude = 8.0005;
  LiveAc& aircraft = waiting(false, 10.0);
  bufferStepAt(aircraft, 4700);
  EXPECT_EQ(aircraft.state, AcState::buffer);
  EXPECT_EQ(aircraft.stream.size(), 1U);
  COLLISION_USER_GND.value = false;
  LiveAc& allowed = waiting(false, 10.0);
  bufferStepAt(allowed, 4700);
  EXPECT_EQ(allowed.state, AcState::adding2sim);
}

TEST_F(Spawning, ANewcomerCrossingTheAirborneUsersPathWaits) {
  engineUserPosition.latitude = 50.0;
  engineUserPosition.longitude = 7.99;
  engineUserPosition.altitude = 3500.0;
  LiveAc& aircraft = waiting(true, 250.0);
  bufferStepAt(aircraft, 4900);
  EXPECT_TRUE(aircraft.userConflict);
  EXPECT_EQ(aircraft.state, AcState::buffer);
}

// Twelve stands 111 m apart at the park airport, ten of them wanted for parked aircraft.
class ParkedCap : public Spawning {
 protected:
  void SetUp() override {
    currentParkAirport = Airport{"EDDF", "FRA", 50.0, 8.0, 0.0, 0};
    for (std::uint32_t sid = 1; sid <= 12; ++sid) {
      ParkPos& stand = parkPositions.emplace_back();
      stand.id = "V" + std::to_string(sid);
      stand.latitude = 50.0 + 0.001 * sid;
      stand.longitude = 8.0;
      stand.radius = 0.02;
      stand.sid = sid;
    }
  }

  // The report of the aircraft standing on stand `sid`, `second` seconds into the test.
  static TrafficItem standing(std::uint32_t sid, std::int32_t second) {
    return item(liveHexid + sid, "DLH" + std::to_string(sid), 50.0 + 0.001 * sid, 8.0, 0.0, 1'700'000'000.0 + second,
                tickCount + 3000);
  }

  WantedParkedSettings settings_{10};
};

TEST_F(ParkedCap, AnAircraftBeyondTheCapWaitsInsteadOfPushingOutOneThatIsStillReported) {
  // Eleven aircraft stand on their stands from the start, a twelfth from the second minute on the stand nearest to the
  // user; all report every 2 s. The live limit is reached as well.
  MAX_LIVE_SEL.value = 10;
  SimulatorStandIn simulator;
  for (std::int32_t second = 0; second <= 600; second += 2) {
    simulator.ticksUntil(second * 100);
    for (std::uint32_t sid = second < 60 ? 2 : 1; sid <= 12; ++sid) {
      queue(standing(sid, second));
    }
  }

  EXPECT_EQ(simulator.creations(), 10U);
  EXPECT_EQ(simulator.mostObjects(), 10U);
  EXPECT_EQ(simulator.removals(), 0U);
  const auto waiting = std::count_if(liveAcs.begin(), liveAcs.end(),
                                     [](const LiveAc& aircraft) { return aircraft.state == AcState::buffer; });
  EXPECT_EQ(waiting, 2);
}

}  // namespace
}  // namespace cvl::test

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <optional>

#include "app/sim_choice.h"
#include "engine/aircraft_lists.h"
#include "engine/aircraft_update.h"
#include "engine/engine_state.h"
#include "engine/ground_paths.h"
#include "engine/stream_extension.h"
#include "engine/tick_count.h"
#include "engine_step_fixture.h"
#include "foundation/constants.h"
#include "foundation/geometry.h"
#include "simlink/flight_plan_file.h"
#include "simlink/send_queues.h"
#include "simulator_stand_in.h"
#include "support/temp_folder.h"

namespace cvl::test {
namespace {

constexpr double metre = 1.0 / 1852.0;

// A position `metres` north of 50 N 8 E.
TimedPosition northOfStand(double metres) {
  TimedPosition position;
  position.lat = 50.0 + metres / 1852.0 / 60.0;
  position.lon = 8.0;
  return position;
}

class PositionStream : public EngineStep {
 protected:
  // An active aircraft parked at a stand at 50 N 8 E.
  static LiveAc& parked() {
    TrafficItem report = item(liveHexid, "DLH4AB", 50.0, 8.0, 0.0, 0.0, 0);
    LiveAc& aircraft = addActive(std::move(report), 9);
    aircraft.phase = AcPhase::parked;
    aircraft.prevPhase = AcPhase::taxi;
    aircraft.standLat = 50.0;
    aircraft.standLon = 8.0;
    aircraft.standId = 3;
    return aircraft;
  }
};

TEST_F(PositionStream, AnActiveAircraftWithoutObjectIdIsRemovedAndItsRecordGoes) {
  addActive(flying(liveHexid, "DLH4AB", 0.0, 0), 0);
  ticks(1);
  EXPECT_TRUE(liveAcs.empty());
  EXPECT_TRUE(logged("updateLiveAc objectid=0? hexid: 3951398,cs:DLH4AB"));
  EXPECT_TRUE(removalBacklog.empty());
}

TEST_F(PositionStream, AnActiveAircraftWithAnEmptyStreamIsRemoved) {
  LiveAc& aircraft = addActive(flying(liveHexid, "DLH4AB", 0.0, 0), 9);
  aircraft.stream.clear();
  EXPECT_FALSE(updateLiveAc(aircraft));
  EXPECT_EQ(aircraft.state, AcState::removingfromsim);
  EXPECT_TRUE(logged("stream empty ?"));
}

TEST_F(PositionStream, ATaxiingAircraftWhoseReportsStopHoldsBeforeTheSimulatorHasReportedItOnTheGround) {
  TrafficItem report = item(liveHexid, "DLH4AB", 50.0, 8.0, 0.0, 0.0, 0);
  report.position.groundSpeed = 12.0;
  LiveAc& aircraft = addActive(std::move(report), 9);
  aircraft.phase = AcPhase::taxi;
  aircraft.onGround = false;
  EXPECT_FALSE(updateLiveAc(aircraft));
  EXPECT_TRUE(aircraft.holding);
  EXPECT_EQ(aircraft.state, AcState::active);
}

TEST_F(PositionStream, APositionIsHandedOverWithTheSpeedsOfTheStep) {
  LiveAc& aircraft = addActive(flying(liveHexid, "DLH4AB", 0.0, 0), 9);
  aircraft.stream.push_back(flying(liveHexid, "", 5.0, 500).position);
  ticksUntil(3001);
  ASSERT_EQ(simSendQueues.sendPositions->size(), 1U);
  const PositionUpdate& update = simSendQueues.sendPositions->front();
  EXPECT_EQ(update.objectId, 9U);
  EXPECT_EQ(update.verticalSpeed, aircraft.sendVs / 60.0);
  EXPECT_EQ(update.trueAirspeed, aircraft.sendSpeed);
  EXPECT_EQ(aircraft.stream.size(), 1U);
}

TEST_F(PositionStream, AParkedAircraftDepartsWhenItsReportsLeaveTheStand) {
  LiveAc& aircraft = parked();
  for (double metres : {60.0, 58.0, 61.0}) {
    TimedPosition wander = northOfStand(metres);
    EXPECT_FALSE(checkExtendingSituations(aircraft, wander)) << metres;
  }
  EXPECT_EQ(aircraft.phase, AcPhase::parked);
  EXPECT_TRUE(aircraft.parkedListed);

  TimedPosition away = northOfStand(150.0);
  EXPECT_TRUE(checkExtendingSituations(aircraft, away));
  EXPECT_TRUE(aircraft.departRequest);
  EXPECT_EQ(aircraft.state, AcState::active);

  LiveAc& jumped = parked();
  TimedPosition gone = northOfStand(250.0);
  EXPECT_FALSE(checkExtendingSituations(jumped, gone));
  EXPECT_EQ(jumped.state, AcState::removingfromsim);
}

TEST_F(PositionStream, ReportsDriftingSteadilyFromTheStandStartTheDeparture) {
  LiveAc& aircraft = parked();
  aircraft.halfSpan = 20.0 * metre;
  for (double metres : {1.0, 5.0, 9.0}) {
    TimedPosition report = northOfStand(metres);
    EXPECT_FALSE(checkExtendingSituations(aircraft, report)) << metres;
  }
  TimedPosition fourth = northOfStand(13.0);
  EXPECT_TRUE(checkExtendingSituations(aircraft, fourth));
}

TEST_F(PositionStream, DuringTheRollOutARepeatedReportIsDroppedAndFastOnesAreSlowed) {
  LiveAc& aircraft = addActive(item(liveHexid, "DLH4AB", 50.0, 8.0, 0.0, 0.0, 0), 9);
  aircraft.rollout = true;
  aircraft.stream.front().groundSpeed = 60.0;
  aircraft.simPos.heading = 1.5707963267948966;  // east
  TimedPosition same = aircraft.stream.front();
  EXPECT_FALSE(checkExtendingSituations(aircraft, same));
  TimedPosition ahead = aircraft.stream.front();
  ahead.lon += 0.001;
  ahead.groundSpeed = 80.0;
  ahead.dueTick = 500;
  EXPECT_TRUE(checkExtendingSituations(aircraft, ahead));
  EXPECT_EQ(ahead.groundSpeed, 60.0);
  EXPECT_FALSE(ahead.stationary);
}

// A flight at 5000 ft and 250 kt reporting every 5 s, with no reports from 60 s to `resumeSeconds`; `reported` gives
// where it was at a time (s). Played through the engine to the simulator, it is watched from the moment it appears:
// how far it lies from its report of 30 s before once the reports after the gap have been played for 20 s, and the
// fastest it moves and turns from one tick to the next.
struct GapFlight {
  double farthestFromTimelineNm = 0.0;
  double fastestKt = 0.0;
  double fastestTurn = 0.0;  // degrees a second
  std::size_t creations = 0;
  std::size_t removals = 0;
};

GapFlight flyThroughGap(double resumeSeconds, const std::function<LatLon(double)>& reported) {
  constexpr double lastSeconds = 420.0;
  const auto report = [&](double seconds) {
    const LatLon now = reported(seconds);
    const LatLon soon = reported(seconds + 1.0);
    TrafficItem made =
        EngineStep::item(liveHexid, "DLH4AB", now.lat, now.lon, 5000.0, 1'700'000'000.0 + seconds, tickCount + 3000);
    made.position.groundSpeed = 250.0;
    made.position.tas = 260.0;
    made.position.track = gf_bearing(now, soon) * radiansToDegrees;
    return made;
  };
  const auto onTimeline = static_cast<std::int32_t>((resumeSeconds + 20.0) * 100.0) + 3000;
  SimulatorStandIn simulator;
  GapFlight flight;
  std::optional<PositionUpdate> last;
  for (std::int32_t tick = 0; tick < static_cast<std::int32_t>(lastSeconds * 100.0); ++tick) {
    const double seconds = tick / 100.0;
    if (tick % 500 == 0 && (seconds <= 60.0 || seconds >= resumeSeconds)) {
      EngineStep::queue(report(seconds));
    }
    simulator.tick();
    if (simulator.objects().size() != 1 || !simulator.objects().begin()->second.position) {
      continue;
    }
    const PositionUpdate& shown = *simulator.objects().begin()->second.position;
    const LatLon here{shown.latitude, shown.longitude};
    if (last) {
      const double tickNm = gf_distanceNM({last->latitude, last->longitude}, here);
      flight.fastestKt = std::max(flight.fastestKt, tickNm * 360000.0);
      const double turn = std::abs(lf_wrappedAngle(shown.heading - last->heading)) * radiansToDegrees * 100.0;
      flight.fastestTurn = std::max(flight.fastestTurn, turn);
    }
    last = shown;
    if (tickCount >= onTimeline) {
      const double behindNm = gf_distanceNM(here, reported((tickCount - 3000) / 100.0));
      flight.farthestFromTimelineNm = std::max(flight.farthestFromTimelineNm, behindNm);
    }
  }
  flight.creations = simulator.creations();
  flight.removals = simulator.removals();
  return flight;
}

// 250 kt is this many degrees of longitude a second at 50 degrees north.
constexpr double lonPerSecond = 250.0 / 3600.0 / (60.0 * 0.6427876096865394);
// Sped up to catch up, never beyond a fifth above its reported speed.
constexpr double fastestCatchUpKt = 250.0 * 1.2 + 1.0;
// It turns round, it does not swing round.
constexpr double turningRoundDegreesPerSecond = 15.0;

// The same object all along, on its timeline within the distance, at speeds and turn rates it can fly.
void expectFlownWithin(const GapFlight& flight, double timelineNm) {
  EXPECT_EQ(flight.creations, 1U);
  EXPECT_EQ(flight.removals, 0U);
  EXPECT_LE(flight.farthestFromTimelineNm, timelineNm);
  EXPECT_LE(flight.fastestKt, fastestCatchUpKt);
  EXPECT_LE(flight.fastestTurn, turningRoundDegreesPerSecond);
}

LatLon eastbound(double seconds) {
  return {50.0, 8.0 + seconds * lonPerSecond};
}

TEST_F(PositionStream, AFlightWhoseReportsComeBackAfterAGapInATurnIsBackOnItsTimelineWithinHalfAMinute) {
  // East until 60 s, then 70 s without reports while the flight turns round; from 130 s on it flies west 2 nm farther
  // north, back past where its reports stopped.
  const GapFlight flight = flyThroughGap(130.0, [](double seconds) {
    return seconds <= 60.0 ? eastbound(seconds) : LatLon{50.0 + 2.0 / 60.0, 8.0 + (190.0 - seconds) * lonPerSecond};
  });
  expectFlownWithin(flight, 0.5);
}

TEST_F(PositionStream, AFlightWhoseReportsComeBackAfterAStraightGapIsBackOnItsTimelineWithinHalfAMinute) {
  const GapFlight flight = flyThroughGap(120.0, eastbound);
  expectFlownWithin(flight, 0.1);
}

TEST_F(PositionStream, APushedBackAircraftHoldsUntilAReportLeadsAway) {
  LiveAc& aircraft = parked();
  aircraft.phase = AcPhase::pushed_back;
  aircraft.halfSpan = 20.0 * metre;
  TimedPosition near = northOfStand(30.0);
  EXPECT_FALSE(checkExtendingSituations(aircraft, near));
  EXPECT_TRUE(aircraft.holding);
  TimedPosition away = northOfStand(130.0);
  EXPECT_TRUE(checkExtendingSituations(aircraft, away));
  EXPECT_EQ(aircraft.phase, AcPhase::taxi);
  EXPECT_EQ(aircraft.standId, 0U);
  EXPECT_FALSE(aircraft.holding);
}

TEST_F(PositionStream, AFlightPlanIsWrittenForAKnownRouteAndOnlyHandedOverInMsfs2020) {
  TempFolder plans;
  flightPlanFolder = plans.path();
  LiveAc& aircraft = addActive(flying(liveHexid, "DLH4AB", 0.0, 0), 9);
  lf_setFlightPlan(aircraft);
  EXPECT_FALSE(aircraft.hasFlightPlan);
  EXPECT_FALSE(std::filesystem::exists(plans.path() / gf_flightPlanPath(9)));

  aircraft.origin = "EDDF";
  aircraft.destination = "EGLL";
  msfs2020Mode = false;
  lf_setFlightPlan(aircraft);
  EXPECT_TRUE(aircraft.hasFlightPlan);
  EXPECT_TRUE(std::filesystem::exists(plans.path() / gf_flightPlanPath(9)));

  flightPlanFolder = plans.path() / "missing";
  lf_setFlightPlan(aircraft);
  EXPECT_FALSE(aircraft.hasFlightPlan);
  EXPECT_TRUE(logged("creating a flight plan failed"));
  flightPlanFolder.clear();
}

}  // namespace
}  // namespace cvl::test

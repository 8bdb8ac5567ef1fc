#include <gtest/gtest.h>

#include <filesystem>

#include "app/sim_choice.h"
#include "engine/aircraft_lists.h"
#include "engine/aircraft_update.h"
#include "engine/engine_state.h"
#include "engine/stream_extension.h"
#include "engine/tick_count.h"
#include "engine_step_fixture.h"
#include "foundation/constants.h"
#include "foundation/geometry.h"
#include "simlink/flight_plan_file.h"
#include "simlink/send_queues.h"
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

TEST_F(PositionStream, AFlightWhoseReportsComeBackAfterAGapInATurnFliesThem) {
  // East at 250 kt until 60 s, then 70 s without reports while the flight turns round; from 130 s on it flies west
  // 2 nm farther north, back past where its reports stopped.
  constexpr double lonPerSecond = 250.0 / 3600.0 / (60.0 * 0.6427876096865394);
  constexpr double backNorth = 50.0 + 2.0 / 60.0;
  const auto westbound = [&](double seconds) {
    TrafficItem report = item(liveHexid, "DLH4AB", backNorth, 8.0 + (190.0 - seconds) * lonPerSecond, 5000.0,
                              1'700'000'000.0 + seconds, tickCount + 3000);
    report.position.groundSpeed = 250.0;
    report.position.tas = 260.0;
    report.position.track = 270.0;
    return report;
  };
  const std::uint32_t objectId = 9;
  addActive(flying(liveHexid, "DLH4AB", 0.0, 0), objectId).simPos.heading = 1.5707963267948966;
  for (double seconds = 5.0; seconds <= 240.0; seconds += 5.0) {
    ticksUntil(static_cast<std::int32_t>(seconds * 100.0));
    if (seconds <= 60.0) {
      queue(flying(liveHexid, "DLH4AB", seconds, tickCount));
    } else if (seconds >= 130.0) {
      queue(westbound(seconds));
    }
  }
  ticks(1);

  // The reports after the gap win over the positions made up along the old heading: the same object turns round
  // and flies them, a little more than 30 s behind.
  EXPECT_TRUE(simSendQueues.removals.empty());
  EXPECT_TRUE(removalBacklog.empty());
  EXPECT_TRUE(simSendQueues.creations.empty());
  ASSERT_EQ(liveAcs.size(), 1U);
  EXPECT_EQ(liveAcs.front().state, AcState::active);
  ASSERT_EQ(simSendQueues.sendPositions->size(), 1U);
  const PositionUpdate& update = simSendQueues.sendPositions->front();
  EXPECT_EQ(update.objectId, objectId);
  EXPECT_NEAR(update.latitude, backNorth, 0.001);
  EXPECT_NEAR(update.heading, 3.0 * 1.5707963267948966, 0.02);
  EXPECT_LT(update.longitude, westbound(180.0).position.lon);
  EXPECT_GT(update.longitude, westbound(210.0).position.lon);
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

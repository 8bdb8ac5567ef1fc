#include <gtest/gtest.h>

#include <algorithm>

#include "engine/aircraft_lists.h"
#include "engine/tick_count.h"
#include "engine/traffic_state.h"
#include "engine_step_fixture.h"
#include "liveries/livery_matcher.h"
#include "simlink/send_queues.h"
#include "simlink/sim_ids.h"

namespace cvl::test {
namespace {

constexpr std::uint32_t objectId = 42;

const LiveAc& theAircraft() {
  EXPECT_EQ(liveAcs.size(), 1U);
  return liveAcs.front();
}

// The flight's reports, one every 5 s; each falls due 30 s after it arrived.
class Reports {
 public:
  // Runs the engine on, queuing each report when its second comes, up to and including `lastSecond`.
  void until(double lastSecond) {
    for (; next_ <= lastSecond; next_ += 5.0) {
      EngineStep::ticksUntil(static_cast<std::int32_t>(next_ * 100.0));
      EngineStep::queue(EngineStep::flying(liveHexid, "DLH4AB", next_, tickCount));
    }
  }

 private:
  double next_ = 0.0;
};

bool hasEvent(std::uint32_t event) {
  return std::any_of(simSendQueues.clientEvents.begin(), simSendQueues.clientEvents.end(),
                     [event](const ClientEventItem& item) { return item.objectId == objectId && item.event == event; });
}

using MainRoad = EngineStep;

TEST_F(MainRoad, AReportedFlightIsCreatedFliesItsReportsThirtySecondsLateAndGoesWhenTheyStop) {
  Reports reports;
  reports.until(25.0);
  ticks(1);
  ASSERT_EQ(theAircraft().state, AcState::buffer);
  EXPECT_EQ(theAircraft().phase, AcPhase::birth);

  // Spawned 1 s before its first report falls due, created on the next 50-tick beat.
  ticksUntil(2900);
  EXPECT_EQ(theAircraft().state, AcState::buffer);
  ticks(1);
  EXPECT_EQ(theAircraft().state, AcState::adding2sim);
  EXPECT_EQ(theAircraft().phase, AcPhase::flying);
  EXPECT_EQ(theAircraft().liveryTitle, engineTestLiveryTitle);
  ticksUntil(2951);
  ASSERT_EQ(simSendQueues.creations.size(), 1U);
  const CreateRequest& request = simSendQueues.creations.front();
  EXPECT_EQ(request.callsign, "DLH4AB");
  EXPECT_EQ(request.title, engineTestLiveryTitle);
  EXPECT_EQ(request.hexid, liveHexid);
  EXPECT_NEAR(request.initPosition.latitude, 50.0, 1e-9);
  EXPECT_NEAR(request.initPosition.heading, 90.0, 0.5);

  // The simulator's match; active 200 ticks later with engines running and lights on.
  reports.until(30.0);
  gf_postSimResult(result(SimResultKind::liveCreated, objectId, liveHexid, 0.0, 4000.0));
  ticks(1);
  EXPECT_EQ(theAircraft().objectId, objectId);
  EXPECT_EQ(theAircraft().state, AcState::adding2sim);
  ticks(199);
  EXPECT_EQ(theAircraft().state, AcState::adding2sim);
  ticks(1);
  EXPECT_EQ(theAircraft().state, AcState::active);
  EXPECT_TRUE(hasEvent(ENGINE_AUTO_START));
  EXPECT_TRUE(hasEvent(STROBES_SET));

  // Every tick hands the aircraft's position over; it flies the reports 30 s behind.
  double lastLon = 0.0;
  for (double seconds = 35.0; seconds <= 60.0; seconds += 5.0) {
    reports.until(seconds);
    ticks(1);
    ASSERT_EQ(simSendQueues.sendPositions->size(), 1U);
    const PositionUpdate& update = simSendQueues.sendPositions->front();
    EXPECT_EQ(update.objectId, objectId);
    EXPECT_GT(update.longitude, lastLon);
    const double reportedLon = flying(liveHexid, "", (tickCount - 3000) / 100.0, 0).position.lon;
    EXPECT_NEAR(update.longitude, reportedLon, 0.01) << "at tick " << tickCount;
    EXPECT_NEAR(update.latitude, 50.0, 0.001);
    lastLon = update.longitude;
  }

  // The reports stopped: after the last one the aircraft flies on for eight made-up positions 8 s apart, then it is
  // removed from the simulator.
  ticksUntil(14000);
  EXPECT_EQ(theAircraft().state, AcState::active);
  while (theAircraft().state == AcState::active && tickCount < 17000) {
    ticks(1);
  }
  EXPECT_EQ(theAircraft().state, AcState::removingfromsim) << "at tick " << tickCount;
  ticks(10);
  EXPECT_NE(std::find(simSendQueues.removals.begin(), simSendQueues.removals.end(), objectId),
            simSendQueues.removals.end());
  gf_postSimResult(result(SimResultKind::removed, objectId, 0));
  ticks(1);
  EXPECT_TRUE(liveAcs.empty());
}

// A report still queued when a cycle an hour long ends falls due by the old cycle's clock; the new cycle, whose clock
// starts at 0 again, would keep the flight buffered and invisible for that hour.
TEST_F(MainRoad, AFlightReportedAgainAfterARestartIsCreatedAsSoonAsAFreshOne) {
  tickCount = 360'000;
  queue(flying(liveHexid, "DLH4AB", 0.0, tickCount));

  gf_resetTrafficState();  // the engine's part of the reset before a restart

  Reports reports;
  reports.until(25.0);
  ticksUntil(2951);
  ASSERT_EQ(simSendQueues.creations.size(), 1U);
  EXPECT_EQ(simSendQueues.creations.front().callsign, "DLH4AB");
}

}  // namespace
}  // namespace cvl::test

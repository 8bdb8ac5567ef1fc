#include "engine/engine_tick.h"

#include <fmt/format.h>
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>

#include "engine/aircraft_lists.h"
#include "engine/create_backlogs.h"
#include "engine/engine_state.h"
#include "engine/tick_count.h"
#include "engine_step_fixture.h"
#include "foundation/settings_catalogue.h"
#include "simlink/dispatch.h"
#include "simlink/send_queues.h"
#include "simlink/sim_client_thread.h"
#include "simulator_stand_in.h"
#include "trafficin/traffic_queue.h"

namespace cvl::test {
namespace {

CreateRequest request(const std::string& callsign, std::uint32_t hexid = 0) {
  CreateRequest made;
  made.callsign = callsign;
  made.hexid = hexid;
  return made;
}

using EngineTick = EngineStep;

TEST_F(EngineTick, RemovalsLeaveEveryTenTicksAndCreationsEveryFiftyLiveFirst) {
  removalBacklog = {101, 102, 103, 104, 105, 106};
  // The live creation's aircraft waits for it, reported on.
  LiveAc& live = addBuffered(flying(liveHexid, "LIVE1", 0.0, 0));
  live.stream.push_back(flying(liveHexid, "LIVE1", 5.0, 0).position);
  live.state = AcState::adding2sim;
  liveCreateBacklog = {request("LIVE1", liveHexid)};
  staticCreateBacklog = {request("STAT1"), request("STAT2")};

  tickCount = 50;
  lf_feedSimQueues();
  EXPECT_EQ(simSendQueues.removals, (std::vector<std::uint32_t>{101}));
  ASSERT_EQ(simSendQueues.creations.size(), 1U);
  EXPECT_EQ(simSendQueues.creations[0].callsign, "LIVE1");

  for (std::int32_t tick = 51; tick < 100; ++tick) {
    tickCount = tick;
    lf_feedSimQueues();
  }
  EXPECT_EQ(simSendQueues.removals.size(), 5U);
  EXPECT_EQ(simSendQueues.creations.size(), 1U);

  tickCount = 100;
  lf_feedSimQueues();
  ASSERT_EQ(simSendQueues.creations.size(), 2U);
  EXPECT_EQ(simSendQueues.creations[1].callsign, "STAT1");
  EXPECT_EQ(staticCreateBacklog.size(), 1U);
}

TEST_F(EngineTick, TwoTrafficItemsAreAppliedPerTickAndTheRestWaits) {
  queue(flying(liveHexid, "AAA1", 0.0, 0));
  queue(flying(liveHexid + 1, "BBB2", 0.0, 0));
  queue(flying(liveHexid + 2, "CCC3", 0.0, 0));
  ticks(1);
  EXPECT_EQ(liveAcs.size(), 2U);
  {
    const std::lock_guard lock{trafficQueueMutex};
    ASSERT_EQ(trafficQueue.size(), 1U);
    EXPECT_EQ(trafficQueue.front().callsign, "CCC3");
  }
  ticks(1);
  EXPECT_EQ(liveAcs.size(), 3U);
  EXPECT_EQ(tickCount, 2);
}

TEST_F(EngineTick, ReportsOfSixHundredFlightsEveryTwoSecondsKeepTheQueueShortAndTheAircraftInTheSimulator) {
  // 300 reports a second: each flight reports every 2 s, three of them each tick. They fly east side by side, 0.01
  // degrees apart.
  constexpr std::uint32_t flights = 600;
  constexpr std::int32_t reportTicks = 200;
  SimulatorStandIn simulator;
  std::size_t longestQueue = 0;
  for (std::int32_t tick = 0; tick < 24000; ++tick) {
    for (std::uint32_t flight = static_cast<std::uint32_t>(tick % reportTicks); flight < flights;
         flight += reportTicks) {
      TrafficItem report = flying(liveHexid + flight, fmt::format("BUR{}", flight), tick / 100.0, tick);
      report.position.lat += 0.01 * flight;
      queue(std::move(report));
    }
    simulator.tick();
    const std::lock_guard lock{trafficQueueMutex};
    longestQueue = std::max(longestQueue, trafficQueue.size());
  }

  // No report waits longer than a second.
  EXPECT_LE(longestQueue, 300U);
  EXPECT_EQ(simulator.removals(), 0U);
  // One creation every half second from the first spawn on.
  EXPECT_GE(simulator.objects().size(), 400U);
}

TEST_F(EngineTick, ASpawnedHexidWithoutRecordIsDroppedAndOneWithoutCallsignGoes) {
  addingStack = {liveHexid + 7};
  ticks(1);
  EXPECT_TRUE(addingStack.empty());
  EXPECT_TRUE(liveCreateBacklog.empty());

  LiveAc& nameless = addBuffered(flying(liveHexid, "", 0.0, 0));
  nameless.state = AcState::adding2sim;
  addingStack = {liveHexid};
  ticks(1);
  EXPECT_TRUE(liveCreateBacklog.empty());
  EXPECT_TRUE(logged("lf_handleAddingStack"));
  EXPECT_TRUE(logged("objectid = 0?"));
  ticks(1);
  EXPECT_TRUE(liveAcs.empty());
}

TEST_F(EngineTick, EveryActiveAircraftHandsOverOnePositionPerTick) {
  addActive(flying(liveHexid, "AAA1", 0.0, 0), 7);
  addActive(flying(liveHexid + 1, "BBB2", 0.0, 0), 8);
  addBuffered(flying(liveHexid + 2, "CCC3", 0.0, 0));
  lf_updateAllLiveAc();
  ASSERT_EQ(simSendQueues.sendPositions->size(), 2U);
  EXPECT_EQ((*simSendQueues.sendPositions)[0].objectId, 7U);
  EXPECT_EQ((*simSendQueues.sendPositions)[1].objectId, 8U);
  EXPECT_TRUE(simSendQueues.fillPositions->empty());
}

TEST_F(EngineTick, ABusyLinkAtALowFrameRateDropsTheTicksPositions) {
  addActive(flying(liveHexid, "AAA1", 0.0, 0), 7);
  std::atomic<bool> locked{false};
  std::atomic<bool> release{false};
  std::thread frameHandler([&] {
    const std::lock_guard lock{simConnectMutex};
    locked = true;
    while (!release) {
      std::this_thread::yield();
    }
  });
  while (!locked) {
    std::this_thread::yield();
  }
  frameRate = 30.0F;
  lf_updateAllLiveAc();
  EXPECT_TRUE(simSendQueues.fillPositions->empty());
  EXPECT_TRUE(simSendQueues.sendPositions->empty());
  release = true;
  frameHandler.join();
}

TEST_F(EngineTick, ALiveLimitRequestRemovesTheFarthestActiveAircraft) {
  addActive(flying(liveHexid, "NEAR1", 0.0, 0), 7).simPos.lat = 1.0;
  addActive(flying(liveHexid + 1, "FAR2", 0.0, 0), 8).simPos.lat = 5.0;
  MAX_LIVE_SEL.value = 1;
  gf_requestLiveLimit();
  ticks(1);
  EXPECT_EQ(liveAcs[0].state, AcState::active);
  EXPECT_EQ(liveAcs[1].state, AcState::removingfromsim);
}

}  // namespace
}  // namespace cvl::test

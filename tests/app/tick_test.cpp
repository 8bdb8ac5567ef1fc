#include "app/tick.h"

#include <gtest/gtest.h>

#include <mutex>
#include <regex>
#include <string>
#include <vector>

#include "app/exit_reasons.h"
#include "app/periodic_jobs.h"
#include "app/run_loop.h"
#include "app/user_position.h"
#include "cycle_folder.h"
#include "engine/tick_count.h"
#include "simlink/send_queues.h"
#include "simlink/sim_client_thread.h"
#include "simlink/user_aircraft.h"
#include "trafficin/traffic_queue.h"
#include "trafficin/traffic_reader.h"

namespace cvl::test {
namespace {

std::vector<bool> jobsOf(std::int32_t second, bool halfDone = false) {
  const SecondJobs jobs = lf_jobsOfSecond(second, halfDone);
  return {jobs.fifteen, jobs.sixteen, jobs.fiftyNine, jobs.sixtyOne};
}

TEST(TickBeats, AMultipleOfFifteenRunsOnlyTheFifteenSecondJobs) {
  for (const std::int32_t second : {15, 30, 240, 900}) {
    EXPECT_EQ(jobsOf(second), std::vector<bool>({true, false, false, false})) << second;
  }
}

TEST(TickBeats, TheOtherJobsRunOnTheirSecondsEachOnItsOwn) {
  EXPECT_EQ(jobsOf(1), std::vector<bool>({false, false, false, false}));
  EXPECT_EQ(jobsOf(32), std::vector<bool>({false, true, false, false}));
  EXPECT_EQ(jobsOf(59), std::vector<bool>({false, false, true, false}));
  EXPECT_EQ(jobsOf(61), std::vector<bool>({false, false, false, true}));
  EXPECT_EQ(jobsOf(944), std::vector<bool>({false, true, true, false}));
  EXPECT_EQ(jobsOf(3599), std::vector<bool>({false, false, true, true}));
  // The static-parking job waits while a two-phase update is half done.
  EXPECT_EQ(jobsOf(32, true), std::vector<bool>({false, false, false, false}));
}

void placeUserAircraft(double latitude, double longitude) {
  const std::lock_guard lock{userAcMutex};
  userAcSnapshot.latitude = latitude;
  userAcSnapshot.longitude = longitude;
}

// A run in its loop with the simulator's flight running and no connection: the engine's step has no aircraft and
// makes no requests on a tick count that is not a multiple of 20.
class TickOfARun : public ::testing::Test {
 protected:
  TickOfARun() {
    simRunning = true;
    tickCount = 1;
  }
  ~TickOfARun() override {
    simRunning = false;
    simConnectFailed = false;
    oneSecondFlag = false;
    tickCount = 0;
    {
      const std::lock_guard lock{trafficQueueMutex};
      trafficQueue.clear();
    }
    placeUserAircraft(0.0, 0.0);
    trafficReader.setRefPosition({});
  }

  CycleFolder folder_;
};

TEST_F(TickOfARun, EachSecondOfTheSimulatorRunsThePerSecondWorkOnce) {
  EXPECT_TRUE(lf_tick());
  EXPECT_EQ(tickCount, 2);  // the engine steps on every tick
  EXPECT_EQ(tickSeconds, 0);

  oneSecondFlag = true;
  EXPECT_TRUE(lf_tick());
  EXPECT_FALSE(oneSecondFlag);
  EXPECT_EQ(tickSeconds, 1);
  EXPECT_TRUE(lf_tick());
  EXPECT_EQ(tickSeconds, 1);
  EXPECT_EQ(tickCount, 4);
}

TEST_F(TickOfARun, TheFifteenSecondBeatCentresTheTrafficOnWhereTheUserIsNow) {
  placeUserAircraft(50.0333, 8.5706);
  tickSeconds = 13;
  oneSecondFlag = true;
  lf_tick();
  EXPECT_EQ(trafficReader.refPosition().lat, 0.0);  // second 14: not a beat

  placeUserAircraft(50.1, 8.6);
  oneSecondFlag = true;
  lf_tick();
  EXPECT_EQ(tickSeconds, 15);
  EXPECT_EQ(userPosition.latitude, 50.1);
  EXPECT_EQ(trafficReader.refPosition().lat, 50.1);
  EXPECT_EQ(trafficReader.refPosition().lon, 8.6);
}

TEST_F(TickOfARun, AStopEndsTheLoopWithoutWaitingForTheNextSecond) {
  gf_requestExit(ExitReason::userClosedSim, 0);
  EXPECT_FALSE(lf_tick());
  oneSecondFlag = true;
  EXPECT_FALSE(lf_tick());
}

TEST_F(TickOfARun, WithoutAFlightTheTickNotesItOnceAndStepsAboutOnceASecond) {
  simRunning = false;
  {
    // A report of an aircraft arrived just before the flight stopped and is not yet taken.
    const std::lock_guard lock{trafficQueueMutex};
    acceptTraffic = true;
    trafficQueue.emplace_back();
  }
  simSendQueues.fillPositions->push_back({});
  weekTimeNow = 0;

  for (int tick = 1; tick < notRunningStepTicks; ++tick) {
    EXPECT_TRUE(lf_tick());
  }
  EXPECT_EQ(weekTimeNow, 0U);
  EXPECT_EQ(tickCount, 1);  // no engine step
  EXPECT_TRUE(lf_tick());
  EXPECT_NE(weekTimeNow, 0U);

  const auto log = folder_.log();
  EXPECT_TRUE(std::regex_search(log, std::regex{"^\\d\\d:\\d\\d:\\d\\d Flight not running\n"})) << log;
  EXPECT_EQ(log.find("Flight not running"), log.rfind("Flight not running"));
  EXPECT_FALSE(acceptTraffic);
  // What was on its way to the simulator is dropped: the aircraft fly on while the flight stands still.
  EXPECT_TRUE(trafficQueue.empty());
  EXPECT_TRUE(simSendQueues.fillPositions->empty());
}

TEST_F(TickOfARun, AFailedSimConnectCallTurnsEveryTickIntoTheFlightNotRunning) {
  simConnectFailed = true;
  oneSecondFlag = true;
  EXPECT_TRUE(lf_tick());
  EXPECT_EQ(tickCount, 1);
  EXPECT_EQ(tickSeconds, 0);
  EXPECT_TRUE(notRunningNoted);
}

}  // namespace
}  // namespace cvl::test

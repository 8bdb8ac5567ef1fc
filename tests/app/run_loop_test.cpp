#include "app/run_loop.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "app/exit_reasons.h"
#include "cycle_folder.h"
#include "simlink/sim_client_thread.h"
#include "simlink/user_aircraft.h"
#include "trafficin/traffic_reader.h"

namespace cvl::test {
namespace {

using namespace std::chrono_literals;
using std::chrono::microseconds;

// The run loop's clock for the object's lifetime: time moves only when the loop sleeps or a tick works, so the
// pacing is seen exactly and nothing waits. A sleep ends at its deadline plus the oversleep the test asks for.
class FakeRunClock {
 public:
  using WakeAction = std::function<void(std::size_t sleepIndex)>;

  FakeRunClock() : previous_(runClock) {
    runClock = {[this] { return now_; },
                [this](RunTime deadline) {
                  sleeps.push_back(sinceStart(deadline));
                  now_ = std::max(now_, deadline);
                  if (onWake) {
                    onWake(sleeps.size() - 1);
                  }
                }};
  }
  ~FakeRunClock() { runClock = previous_; }
  FakeRunClock(const FakeRunClock&) = delete;
  FakeRunClock& operator=(const FakeRunClock&) = delete;

  RunTime start() const { return RunTime{}; }
  microseconds elapsed() const { return sinceStart(now_); }
  void advance(microseconds duration) { now_ += duration; }

  // Deadlines of the sleeps, from the start.
  std::vector<microseconds> sleeps;
  WakeAction onWake;

 private:
  static microseconds sinceStart(RunTime time) { return std::chrono::duration_cast<microseconds>(time - RunTime{}); }

  RunTime now_{};
  RunClock previous_;
};

// Runs the tick loop for `count` ticks; tick i works for work(i) and takes the simulator's second as the tick does.
// Returns when each tick started.
std::vector<microseconds> tickTimes(FakeRunClock& clock, std::size_t count,
                                    const std::function<microseconds(std::size_t)>& work) {
  std::vector<microseconds> started;
  lf_tickLoop(clock.start(), [&] {
    started.push_back(clock.elapsed());
    oneSecondFlag = false;
    clock.advance(work(started.size() - 1));
    return started.size() < count;
  });
  return started;
}

std::vector<microseconds> ms(std::initializer_list<double> values) {
  std::vector<microseconds> result;
  for (const double value : values) {
    result.emplace_back(static_cast<std::int64_t>(value * 1000));
  }
  return result;
}

TEST(TickLoop, TicksEveryTenMillisecondsAgainstASteadyDeadline) {
  FakeRunClock clock;
  const auto ticks = tickTimes(clock, 4, [](std::size_t) { return 2000us; });
  EXPECT_EQ(ticks, ms({0, 10, 20, 30}));
  EXPECT_EQ(clock.sleeps, ms({10, 20, 30}));
}

TEST(TickLoop, SleepsOnlyWhenAWholeMillisecondRemains) {
  FakeRunClock clock;
  // 0.5 ms left after the first tick: the second runs at once, the third is back on the grid.
  const auto ticks = tickTimes(clock, 3, [](std::size_t tick) { return tick == 0 ? 9500us : 0us; });
  EXPECT_EQ(ticks, ms({0, 9.5, 20}));
  EXPECT_EQ(clock.sleeps, ms({20}));
}

TEST(TickLoop, ALongTickOnlyShortensTheNextSleep) {
  FakeRunClock clock;
  const auto ticks = tickTimes(clock, 4, [](std::size_t tick) { return tick == 0 ? 15000us : 1000us; });
  EXPECT_EQ(ticks, ms({0, 15, 20, 30}));
}

TEST(TickLoop, TheSimulatorsSecondMovesTheGridToItsArrival) {
  // The thread wakes 3 ms late from its sleep to 20 ms.
  const auto wakeLate = [](FakeRunClock& clock, bool secondArrives) {
    clock.onWake = [&clock, secondArrives](std::size_t sleep) {
      if (sleep == 1) {
        clock.advance(3000us);
        oneSecondFlag = secondArrives;
      }
    };
  };
  {
    FakeRunClock clock;
    wakeLate(clock, false);
    EXPECT_EQ(tickTimes(clock, 5, [](std::size_t) { return 1000us; }), ms({0, 10, 23, 30, 40}));
  }
  FakeRunClock clock;
  wakeLate(clock, true);
  EXPECT_EQ(tickTimes(clock, 5, [](std::size_t) { return 1000us; }), ms({0, 10, 23, 33, 43}));
}

// A program folder with an open log, the run's flags at their start values and the clock of the test.
class RunLoopWaits : public ::testing::Test {
 protected:
  RunLoopWaits() { trafficReader.latestTime = 0.0; }
  ~RunLoopWaits() override {
    trafficReader.latestTime = 0.0;
    simRunning = false;
  }

  CycleFolder folder_;
  FakeRunClock clock_;
};

TEST_F(RunLoopWaits, NoTrafficForFifteenSecondsIsLoggedAndTheRunGoesOn) {
  trafficReader.latestTime = 0.9;  // less than a second counts as no data time
  EXPECT_FALSE(lf_waitForFirstTraffic());
  EXPECT_EQ(clock_.elapsed(), 15s);
  EXPECT_EQ(clock_.sleeps.size(), 150U);
  EXPECT_NE(folder_.log().find("No traffic in this region?\n"), std::string::npos);
}

TEST_F(RunLoopWaits, TheFirstTrafficEndsTheWait) {
  clock_.onWake = [](std::size_t sleep) {
    if (sleep == 2) {
      trafficReader.latestTime = 1765000000.25;
    }
  };
  EXPECT_TRUE(lf_waitForFirstTraffic());
  EXPECT_EQ(clock_.elapsed(), 300ms);
  EXPECT_EQ(folder_.log().find("No traffic"), std::string::npos);
}

TEST_F(RunLoopWaits, AStopEndsEveryWaitAtItsNextLook) {
  clock_.onWake = [](std::size_t sleep) {
    if (sleep == 1) {
      gf_requestExit(ExitReason::simWasClosed, 0);
    }
  };
  EXPECT_FALSE(lf_waitForFirstTraffic());
  EXPECT_EQ(clock_.sleeps.size(), 2U);
  EXPECT_EQ(folder_.log().find("No traffic"), std::string::npos);

  resetCycleFlags();
  clock_.sleeps.clear();
  simRunning = false;
  EXPECT_FALSE(lf_requestUserData());
  EXPECT_EQ(clock_.sleeps.size(), 2U);
}

}  // namespace
}  // namespace cvl::test

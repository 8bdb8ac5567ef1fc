#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>

// The run loop of a cycle, on the worker thread: it resets the cycle's containers, starts the simulator link, waits
// for the simulator's flight and the user aircraft, connects the traffic service, starts the two UDP readers, waits
// for the first traffic and then calls the tick (tick.h) every 10 ms until a stop is requested.
namespace cvl {

using RunTime = std::chrono::steady_clock::time_point;

// The steady clock and the sleep of the run loop and of its waits. Tests put a clock of their own in their place, so
// that the pacing can be checked without waiting.
struct RunClock {
  std::function<RunTime()> now;
  std::function<void(RunTime)> sleepUntil;
};
extern RunClock runClock;

inline constexpr std::chrono::milliseconds tickPeriod{10};

// The current week time (WeekTime packed into one word), refreshed by the start-up and the run loop.
extern std::atomic<std::uint64_t> weekTimeNow;
// The flight-not-running state has been entered and logged; the per-second work leaves it when the flight runs again.
// Worker thread.
extern bool notRunningNoted;
// Ticks until the next once-a-second step while the flight does not run.
extern std::int32_t notRunningCountdown;
inline constexpr std::int32_t notRunningStepTicks = 100;

// Runs the cycle until a stop is requested.
void lf_run();
// Waits until the flight runs and the user aircraft's position is known, and subscribes to its on-ground state once
// a second, the beat of the per-second work. False when a stop was requested meanwhile.
bool lf_requestUserData();
// Waits up to 15 s for the first traffic data; false, and the log line "No traffic in this region?", when none came.
// A stop ends the wait early.
bool lf_waitForFirstTraffic();
// Calls `tick` at `start` and then every 10 ms against a steady deadline until it returns false. It sleeps only when
// a whole millisecond remains; the arrival of the simulator's second moves the deadline grid to that moment.
void lf_tickLoop(RunTime start, const std::function<bool()>& tick);

// Puts the run loop's per-cycle values back to their start values (the reset before a restart).
void gf_resetRunLoopState();

}  // namespace cvl

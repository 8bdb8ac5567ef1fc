#pragma once

#include <atomic>
#include <cstdint>

// The run loop of a cycle: from the end of the start-up until a stop is requested.
namespace cvl {

// The current week time (WeekTime packed into one word), refreshed by the start-up and the run loop.
extern std::atomic<std::uint64_t> weekTimeNow;

// Runs the cycle until stopRequested is set. Worker thread.
void lf_run();
// Puts the run loop's per-cycle flags back to their start values (the reset before a restart).
void gf_resetRunLoopState();

}  // namespace cvl

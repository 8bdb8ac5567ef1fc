#include "app/run_loop.h"

#include <chrono>
#include <thread>

#include "app/exit_reasons.h"
#include "app/periodic_jobs.h"

namespace cvl {

std::atomic<std::uint64_t> weekTimeNow{0};
bool notRunningNoted = false;
std::int32_t notRunningCountdown = 100;

// The tick has no work yet: the loop only waits for the stop.
void lf_run() {
  constexpr auto tick = std::chrono::milliseconds(10);
  while (!stopRequested) {
    std::this_thread::sleep_for(tick);
  }
}

void gf_resetRunLoopState() {
  tickSeconds = 0;
  staticUpdateRequested = false;
}

}  // namespace cvl

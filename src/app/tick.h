#pragma once

#include <cstdint>

// The tick, called every 10 ms by the run loop: the scheduler of all periodic work. While the flight runs, the traffic
// engine steps on every tick; each second of the simulator (its on-ground reply, not a timer) runs the per-second work
// and the jobs that run every 15, 16, 59 and 61 seconds. While the flight does not run, a reduced step takes the
// tick's place. Worker thread.
namespace cvl {

// The jobs of one simulator second besides the per-second work. A second that is a multiple of 15 runs only the
// 15-second jobs.
struct SecondJobs {
  bool fifteen = false;
  bool sixteen = false;  // the static-parking update; not while a two-phase update is half done
  bool fiftyNine = false;
  bool sixtyOne = false;
};

SecondJobs lf_jobsOfSecond(std::int32_t seconds, bool staticUpdateHalfDone);

// False ends the run loop: a stop was requested.
bool lf_tick();
// The tick while the flight does not run: the simulator's results are still taken, and about once a second the
// pending re-read, the position for the traffic service, the live count and the week time.
void lf_flightNotRunning();

}  // namespace cvl

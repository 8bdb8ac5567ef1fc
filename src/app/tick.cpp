#include "app/tick.h"

#include <fmt/format.h>

#include <mutex>

#include "app/exit_reasons.h"
#include "app/main_window.h"
#include "app/painting.h"
#include "app/periodic_jobs.h"
#include "app/run_loop.h"
#include "app/user_position.h"
#include "engine/conflict_rules.h"
#include "engine/engine_tick.h"
#include "engine/sim_result_handling.h"
#include "foundation/half_hours.h"
#include "foundation/log.h"
#include "foundation/timekeeping.h"
#include "parking/static_parking_update.h"
#include "simlink/send_queues.h"
#include "simlink/sim_client_thread.h"
#include "simlink/user_aircraft.h"
#include "trafficin/reader_threads.h"
#include "trafficin/realtraffic_link.h"
#include "trafficin/traffic_queue.h"
#include "trafficin/traffic_reader.h"

namespace cvl {
namespace {

void lf_fifteenSecondJobs(std::int32_t seconds) {
  trafficReader.setRefPosition({userPosition.latitude, userPosition.longitude});
  if (rtProfessional) {
    gf_sendQs123(simUnixTime);
  }
  if (!mainWindow.reservedStandName.empty()) {
    gf_clearReservedStand();
  }
  lf_doPendingReRead();
  lf_periodicJobs(seconds);
}

void lf_runJobsOfSecond(std::int32_t seconds) {
  const SecondJobs jobs = lf_jobsOfSecond(seconds, staticUpdatePhase2);
  if (jobs.fifteen) {
    lf_fifteenSecondJobs(seconds);
    return;
  }
  if (jobs.sixteen) {
    gf_updateStaticParking(false);
  }
  if (jobs.fiftyNine) {
    gf_checkReaderActivity();
  }
  if (jobs.sixtyOne) {
    gf_removeStaticTwins();
  }
}

// What was on its way to the simulator is dropped, the reports not yet taken too: taken only once the flight runs
// again, such a report would stand as its aircraft's latest, and the next one would look stamped ahead by the stop.
void lf_enterFlightNotRunning() {
  {
    const std::lock_guard lock{trafficQueueMutex};
    acceptTraffic = false;
    trafficQueue.clear();
  }
  notRunningNoted = true;
  notRunningCountdown = notRunningStepTicks;
  {
    const std::lock_guard lock{simConnectMutex};
    for (auto& positions : simSendQueues.positions) {
      positions.clear();
    }
  }
  gf_log(fmt::format("{} Flight not running", gf_utcNowHms()));
}

}  // namespace

SecondJobs lf_jobsOfSecond(std::int32_t seconds, bool staticUpdateHalfDone) {
  if (seconds % 15 == 0) {
    return {.fifteen = true};
  }
  return {.sixteen = seconds % 16 == 0 && !staticUpdateHalfDone,
          .fiftyNine = seconds % 59 == 0,
          .sixtyOne = seconds % 61 == 0};
}

bool lf_tick() {
  if (!simRunning || simConnectFailed) {
    lf_flightNotRunning();
    return !gf_stopping();
  }
  lf_handleAddingStack();
  // Each on-ground reply of the simulator sets the flag once: one per-second step per simulator second.
  bool secondArrived = true;
  if (!oneSecondFlag.compare_exchange_strong(secondArrived, false)) {
    // A stop must not wait for a second that may never come.
    return !gf_stopping();
  }
  // The position the traffic service and the traffic reader are told follows the user aircraft.
  userPosition = gf_userAcSnapshot();
  lf_perSecond();
  if (gf_stopping()) {
    return false;
  }
  lf_runJobsOfSecond(tickSeconds);
  return true;
}

void lf_flightNotRunning() {
  if (!notRunningNoted) {
    lf_enterFlightNotRunning();
  }
  gf_handleSimResults();
  --notRunningCountdown;
  if (notRunningCountdown == 0) {
    lf_doPendingReRead();
    gf_sendUserPosition();
  }
  if (notRunningCountdown < 1) {
    notRunningCountdown = notRunningStepTicks;
    lf_updateLiveCount();
    weekTimeNow = gf_weekdayAndHalfHour().packed();
  }
}

}  // namespace cvl

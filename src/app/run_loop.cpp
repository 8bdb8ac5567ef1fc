#include "app/run_loop.h"

#include <fmt/format.h>

#include <cmath>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "app/controls.h"
#include "app/exit_reasons.h"
#include "app/main_window.h"
#include "app/periodic_jobs.h"
#include "app/startup.h"
#include "app/status_line.h"
#include "app/tick.h"
#include "app/user_position.h"
#include "engine/traffic_state.h"
#include "foundation/half_hours.h"
#include "foundation/log.h"
#include "foundation/settings_catalogue.h"
#include "liveries/livery_vectors.h"
#include "parking/static_parking_update.h"
#include "platform/timer_resolution.h"
#include "simconnect/simconnect.h"
#include "simlink/request_error.h"
#include "simlink/send_queues.h"
#include "simlink/sim_client_thread.h"
#include "simlink/sim_ids.h"
#include "simlink/user_aircraft.h"
#include "trafficin/qnh_reader.h"
#include "trafficin/reader_control.h"
#include "trafficin/reader_threads.h"
#include "trafficin/realtraffic_link.h"
#include "trafficin/traffic_queue.h"
#include "trafficin/traffic_reader.h"

namespace cvl {

RunClock runClock{[] { return std::chrono::steady_clock::now(); },
                  [](RunTime deadline) { std::this_thread::sleep_until(deadline); }};

std::atomic<std::uint64_t> weekTimeNow{0};
bool notRunningNoted = false;
std::int32_t notRunningCountdown = notRunningStepTicks;

namespace {

using namespace std::chrono_literals;

constexpr std::uint16_t weatherPort = 49004;
constexpr std::uint16_t trafficPort = 49005;
constexpr auto readerStartGap = 2s;
// A reader sees its stop flag within a second.
constexpr auto oldReadersPatience = 2000ms;
constexpr auto simulatorPoll = 100ms;
constexpr auto firstPositionPoll = 500ms;
constexpr auto positionPoll = 200ms;
constexpr auto firstTrafficPoll = 100ms;
constexpr int firstTrafficPolls = 150;
constexpr double unknownPositionLimit = 0.0001;  // degrees from 0

void lf_sleepFor(std::chrono::milliseconds duration) {
  runClock.sleepUntil(runClock.now() + duration);
}

// Both at 0 means the simulator has not yet sent a position.
bool lf_positionKnown(const UserAcData& position) {
  return std::abs(position.latitude) > unknownPositionLimit || std::abs(position.longitude) > unknownPositionLimit;
}

// The data time of the latest traffic line, 0 until the first one; less than a second counts as none.
bool lf_trafficArrived() {
  return std::trunc(trafficReader.latestTime.load()) != 0.0;
}

// The finer system timer while the loop runs, given back on every way out.
class TimerPeriod {
 public:
  TimerPeriod() { platform::beginTimerPeriod(1); }
  ~TimerPeriod() { platform::endTimerPeriod(1); }
  TimerPeriod(const TimerPeriod&) = delete;
  TimerPeriod& operator=(const TimerPeriod&) = delete;
};

void lf_darkenHeaderLamps() {
  mainWindow.realTrafficLamp = false;
  gf_invalidateBand(rcHeader);
  mainWindow.simConnectLamp = false;
  gf_invalidateBand(rcHeader);
}

void lf_resetCycleContainers() {
  gf_initTrafficContainers();
  gf_reserveLiveryVectors();
  gf_resetSimConnectQueues();
  gf_invalidateBand(rcHeader);
}

void lf_startSimClientThread() {
  gf_joinSimClientThread();
  simClientThread = std::jthread{lf_simClientThread};
}

bool lf_waitForFlight() {
  while (!(simRunning && !simConnectFailed)) {
    lf_sleepFor(simulatorPoll);
    if (gf_stopping()) {
      return false;
    }
  }
  return true;
}

// The replies to this request set the user's on-ground state and the one-second flag of the tick.
void lf_subscribeToUserOnGround() {
  HRESULT result = S_OK;
  {
    const std::lock_guard lock{simConnectMutex};
    result = SimConnect_RequestDataOnSimObject(hSimConnect, REQ_USER_ON_GROUND, DEF_SIM_ON_GROUND,
                                               SIMCONNECT_OBJECT_ID_USER, SIMCONNECT_PERIOD_SECOND, 0, 0, 0, 0);
  }
  if (FAILED(result)) {
    gf_logFlagged("SimConnect request ac gnd/air fails");
    gf_onSimConnectRequestError();
  }
}

// Asks for the user aircraft's position until `known` holds; false when a stop came first.
template <class Condition>
bool lf_pollUserPosition(std::chrono::milliseconds pause, Condition known) {
  while (!known()) {
    userPosition = gf_requestUserAcPosition();
    lf_sleepFor(pause);
    if (gf_stopping()) {
      return false;
    }
  }
  return true;
}

// The listening socket for the traffic service, when it runs on this computer and the link is wanted.
void lf_openTrafficServiceLink() {
  if (!realTrafficDetected || AEROWINX.value) {
    mainWindow.realTrafficLamp = true;
    gf_invalidateBand(rcHeader);
    return;
  }
  // A port that cannot be opened leaves the run without the link (the traffic service then cannot connect), as the
  // run expects; it must not end the cycle.
  try {
    startServer(PORT_NUMBER.getValue());
  } catch (const std::exception& failure) {
    gf_logFlagged(fmt::format("{} exception: {}", "startServer", failure.what()));
  }
}

void lf_connectTrafficService() {
  if (AEROWINX.value) {
    rtProfessional = false;
    return;
  }
  gf_connectRealTraffic();
  if (rtProfessional) {
    gf_sendQs123(simUnixTime);
  }
}

void lf_setAcceptTraffic(bool accept) {
  const std::lock_guard lock{trafficQueueMutex};
  acceptTraffic = accept;
}

// Readers of the last cycle that missed their stop (the reset before a restart clears the stop flags) are stopped
// again: a reader object must never serve two threads, and its port must be free for the new one.
void lf_endOldReaders() {
  if (!qnhReader.threadRunning && !trafficReader.threadRunning) {
    return;
  }
  gf_stopReaders();
  const bool ended = gf_waitForReadersToStop(oldReadersPatience);
  qnhReader.stop = false;
  trafficReader.stop = false;
  if (!ended) {
    throw std::runtime_error("The UDP readers of the last run did not stop");
  }
}

void lf_startReaders() {
  lf_setAcceptTraffic(false);
  lf_endOldReaders();
  std::thread{lf_qnhReaderThread, weatherPort}.detach();
  runClock.sleepUntil(runClock.now() + readerStartGap);
  std::thread{lf_trafficReaderThread, trafficPort}.detach();
  gf_sendUserPosition();
  trafficReader.setRefPosition({userPosition.latitude, userPosition.longitude});
}

// The first static parking, the readers' lamps and the start of the second count; returns the first tick's time.
RunTime lf_prepareTicks() {
  weekTimeNow = gf_weekdayAndHalfHour().packed();
  gf_updateStaticParking(true);
  gf_checkReaderActivity();
  tickSeconds = 0;
  const RunTime start = runClock.now();
  weekTimeNow = gf_weekdayAndHalfHour().packed();
  lf_setAcceptTraffic(true);
  gf_fillCallsign2ObjectIdCombo();
  gf_enableControl(csOidButton);
  // The run has started: what the start-up held on the status line gives way to the run's own messages.
  gf_releaseStatusNotices();
  return start;
}

}  // namespace

void lf_run() {
  lf_darkenHeaderLamps();
  lf_resetCycleContainers();
  lf_startSimClientThread();
  if (!lf_requestUserData()) {
    return;
  }
  if (AUTO_RANGE.value) {
    lf_autoRange();
  }
  lf_openTrafficServiceLink();
  if (gf_stopping()) {
    return;
  }
  mainWindow.rtLampDark = false;
  gf_invalidateBand(rcHeader);
  lf_connectTrafficService();
  if (gf_stopping()) {
    return;
  }
  lf_startReaders();
  lf_waitForFirstTraffic();
  if (gf_stopping()) {
    return;
  }
  const RunTime start = lf_prepareTicks();
  const TimerPeriod finerTimer;
  lf_tickLoop(start, lf_tick);
}

bool lf_requestUserData() {
  if (!lf_waitForFlight()) {
    return false;
  }
  lf_subscribeToUserOnGround();
  const bool located =
      lf_pollUserPosition(firstPositionPoll, [] { return userOnGroundKnown && lf_positionKnown(userPosition); });
  if (!located) {
    return false;
  }
  gf_requestUserAcTitleAndModel();
  lf_pollUserPosition(positionPoll, [] { return lf_positionKnown(userPosition); });
  return !gf_stopping();
}

bool lf_waitForFirstTraffic() {
  for (int poll = 0; !lf_trafficArrived() && poll < firstTrafficPolls && !gf_stopping(); ++poll) {
    lf_sleepFor(firstTrafficPoll);
  }
  if (lf_trafficArrived()) {
    return true;
  }
  if (!gf_stopping()) {
    gf_log("No traffic in this region?");
  }
  return false;
}

void lf_tickLoop(RunTime start, const std::function<bool()>& tick) {
  RunTime deadline = start + tickPeriod;
  bool running = tick();
  while (running) {
    const auto remaining = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - runClock.now());
    if (remaining >= 1ms) {
      runClock.sleepUntil(deadline);
    }
    if (oneSecondFlag) {
      // The tick that takes the simulator's second runs at once; the next ones follow it in 10-ms steps.
      deadline = runClock.now();
    }
    deadline += tickPeriod;
    running = tick();
  }
}

void gf_resetRunLoopState() {
  gf_resetPeriodicJobs();
  userPosition = {};
  notRunningNoted = false;
  notRunningCountdown = notRunningStepTicks;
}

}  // namespace cvl

#include "app/closing_down.h"

#include <fmt/format.h>

#include <mutex>
#include <thread>

#include "app/controls.h"
#include "app/entry_point.h"
#include "app/exit_reasons.h"
#include "app/main_window.h"
#include "app/run_loop.h"
#include "app/status_line.h"
#include "engine/traffic_state.h"
#include "foundation/constants.h"
#include "foundation/log.h"
#include "foundation/settings_catalogue.h"
#include "foundation/throttled_log.h"
#include "foundation/timekeeping.h"
#include "foundation/utilities.h"
#include "liveries/livery_scan.h"
#include "parking/airport_file_retry.h"
#include "parking/park_airport_state.h"
#include "parking/park_airports.h"
#include "platform/ui/window.h"
#include "simlink/creation_failures.h"
#include "simlink/flight_plan_folder.h"
#include "simlink/sim_client_thread.h"
#include "trafficin/reader_control.h"
#include "trafficin/realtraffic_link.h"
#include "trafficin/traffic_queue.h"
#include "trafficin/traffic_reader.h"

namespace cvl {

std::function<void(std::chrono::milliseconds)> closingDownPause = [](std::chrono::milliseconds duration) {
  std::this_thread::sleep_for(duration);
};

namespace {

using namespace std::chrono_literals;

constexpr std::int32_t readerRestartDelay = 15;
// The readers and the client thread see their stop requests within this time.
constexpr auto threadStopGrace = 500ms;
constexpr auto userWaitStep = 500ms;
constexpr auto newFlightNoticeTime = 10s;
// The reader threads wake at least once a second to see their stop flags.
constexpr auto readersEndPatience = 3s;

bool lf_restartsAfter(ExitReason reason) {
  return reason == ExitReason::newSettings || reason == ExitReason::simConnectError ||
         reason == ExitReason::readerError;
}

// Waits in steps so that a close of the window ends the wait early.
void lf_pauseUnlessClosed(std::chrono::milliseconds duration) {
  for (auto left = duration; left > 0ms && !closeRequested; left -= userWaitStep) {
    closingDownPause(std::min(left, std::chrono::milliseconds{userWaitStep}));
  }
}

void lf_stopThreadsAndSockets() {
  {
    const std::lock_guard lock{trafficQueueMutex};
    acceptTraffic = false;
  }
  if (simClientThread.joinable()) {
    simClientThread.request_stop();
  }
  gf_stopReaders();
  closingDownPause(threadStopGrace);
  if (realTrafficConnected) {
    sendDataPacket("exit\r\n");
  }
  gf_closeRealTrafficSockets();
}

// A system error keeps the window open with its error line until the user closes it. A request that replaced the
// reason meanwhile (a new install path typed after error 150 asks for a restart) ends the wait as well, and in
// production mode nobody is there to close the window: the program ends with a failure code.
void lf_waitAfterSystemError() {
  if (productionMode) {
    processExitCode = 1;
    return;
  }
  while (exitReason == ExitReason::systemError && !closeRequested) {
    closingDownPause(userWaitStep);
  }
  if (closeRequested) {
    gf_setStatusLine(fmt::format("User closed {}", programName), true);
  }
}

void lf_cleanUp() {
  if (parkAirportActive) {
    gf_removeStaticParked();
  }
  gf_clearDayMap();
  gf_removeFlightPlanFolder();
  DESTINATION.setValue({});
  BLOCK_CALLSIGN.setValue({});
  gf_clearSharedTexts();
  gf_liveryMatchingSummary();
  gf_logNoMatch();
  // What the limits left out is told before the run ends; the next run starts them afresh.
  gf_restartLogLimits();
}

void lf_clearErrorLine() {
  {
    const std::lock_guard lock{mainWindow.mutex};
    mainWindow.errorText.clear();
  }
  gf_clearStatusLine();
}

// True when a new cycle follows. A close of the window, before or during the countdown, ends the program instead.
bool lf_decideRestart() {
  const ExitReason reason = exitReason;
  if (lf_restartsAfter(reason) && !closeRequested) {
    restartPending = true;
    lf_clearErrorLine();
    gf_setStatusLine("Prepare for a restart ...", true);
    if (reason != ExitReason::newSettings) {
      // A restart after an error does not scan again.
      gf_setCheckBox(SCAN_LIVERIES, false);
      gf_setCheckBox(SCAN_AIRPORTS, false);
    }
    lf_restartCountdown();
    if (!closeRequested) {
      lf_resetForRestart();
      return true;
    }
  }
  restartPending = false;
  if (reason == ExitReason::newFlight) {
    gf_setStatusLine(fmt::format("New flight detected, {} will close, please restart manually ...", programName), true);
    lf_pauseUnlessClosed(newFlightNoticeTime);
  }
  return false;
}

bool lf_closeCycle() {
  gf_log(fmt::format("Exiting: {}", gf_exitReasonText(exitReason)));
  lf_stopThreadsAndSockets();
  if (exitReason == ExitReason::systemError) {
    lf_waitAfterSystemError();
  }
  lf_cleanUp();
  return lf_decideRestart();
}

void lf_reportClosingDownFailure(std::string_view what) {
  const auto text = fmt::format("{} exception {}", "lf_closingDown", what);
  gf_setStatusLine(text, false);
  gf_logFlagged(text);  // the status line alone is not logged while the program stops
  restartPending = false;
}

}  // namespace

void gf_readerStopped(std::string_view readerName, const std::string& error) {
  gf_setStatusLine(fmt::format("The {} has stopped with error: {}", readerName, error), true);
  gf_requestExit(ExitReason::readerError, readerRestartDelay);
}

void gf_simNoLongerConnected() {
  if (stopRequested) {
    return;
  }
  gf_log(fmt::format("{} Flight Simulator no longer connected, {} will stop ...", gf_utcNowHms(), programName));
  gf_requestExit(ExitReason::simWasClosed, 0);
}

void lf_closingDown() {
  bool restart = false;
  try {
    restart = lf_closeCycle();
  } catch (const std::exception& failure) {
    lf_reportClosingDownFailure(failure.what());
  } catch (...) {
    lf_reportClosingDownFailure("Unknown exception");
  }
  if (!restart) {
    // The detached reader threads and the client thread use global objects, which must outlive them.
    gf_joinSimClientThread();
    gf_waitForReadersToStop(readersEndPatience);
  }
  gf_flushLog();
  const ui::Handle hwnd = mainWindow.hwnd;
  if (hwnd != ui::noHandle) {
    ui::post(hwnd, restart ? WM_APP_START : WM_APP_QUIT);
  }
}

void lf_restartCountdown() {
  const std::int32_t delay = restartDelaySeconds;
  if (delay < 1) {
    return;
  }
  gf_log(fmt::format("Restarting after {} seconds\n\n\n\n\n", delay));
  for (std::int32_t shown = 0; shown < delay && !closeRequested; ++shown) {
    const auto shownAt = std::chrono::steady_clock::now();
    const std::int32_t left = delay - shown;
    gf_setStatusLine(fmt::format("Restarting after {} second{}", left, gf_pluralS(left)), false);
    closingDownPause(std::chrono::ceil<std::chrono::milliseconds>(shownAt + 1s - std::chrono::steady_clock::now()));
  }
}

void lf_resetForRestart() {
  gf_resetReaders();
  gf_resetSimLinkState();
  gf_resetTrafficState();
  // A new run may reach the site (or another simulator's folder on it) where the last one could not.
  gf_forgetAirportFileFailures();
  gf_resetMainWindow();
  closeRequested = false;
  stopRequested = false;
  exitReason = ExitReason::notYetSet;
  restartDelaySeconds = 0;
  rtProfessional = false;
  awaitingRealTraffic = true;
  gf_resetRunLoopState();
}

}  // namespace cvl

#include "simlink/sim_client_thread.h"

#include <fmt/format.h>
#include <pthread.h>

#include <chrono>

#include "app/closing_down.h"
#include "app/exit_reasons.h"
#include "app/main_window.h"
#include "app/sim_choice.h"
#include "app/status_line.h"
#include "foundation/log.h"
#include "foundation/user_error.h"
#include "parking/user_stand.h"
#include "platform/timer_resolution.h"
#include "simlink/ai_objects.h"
#include "simlink/dispatch.h"
#include "simlink/send_queues.h"
#include "simlink/sim_setup.h"
#include "simlink/user_aircraft.h"

namespace cvl {

std::atomic<HANDLE> hSimConnect{nullptr};
std::mutex simConnectMutex;
std::jthread simClientThread;
std::atomic<bool> simRunning{false};
std::atomic<bool> simConnectFailed{false};

namespace {

using namespace std::chrono_literals;

constexpr auto openRetryPause = 100ms;
constexpr auto dispatchPace = 1ms;
constexpr const char* threadName = "SimClient";

bool lf_mustStop(const std::stop_token& stop) {
  return stopRequested || closeRequested || stop.stop_requested();
}

void lf_showWaiting() {
  gf_setStatusLine(fmt::format("Waiting for MSFS 20{} ...", msfs2020Mode ? "20" : "24"), true);
  gf_flushLog();
  gf_invalidateBand(rcStatusLine);
}

// False when the cycle ended before a simulator answered.
bool lf_connect(const std::stop_token& stop) {
  for (bool firstPass = true; !lf_mustStop(stop); firstPass = false) {
    if (firstPass) {
      lf_showWaiting();
    }
    HANDLE handle = nullptr;
    if (SUCCEEDED(SimConnect_Open(&handle, "Corvalen", nullptr, 0, nullptr, 0))) {
      const std::lock_guard lock{simConnectMutex};
      hSimConnect = handle;
      return true;
    }
    std::this_thread::sleep_for(openRetryPause);
  }
  return false;
}

// The simulator is gone: its QUIT came, or the connection ended under the library.
void lf_simulatorGone() {
  simRunning = false;
  gf_simNoLongerConnected();
}

void lf_dispatchUntilStopped(const std::stop_token& stop) {
  while (!stop.stop_requested()) {
    if (FAILED(SimConnect_CallDispatch(hSimConnect, lf_dispatch, nullptr))) {
      lf_simulatorGone();
      return;
    }
    const auto deadline = std::chrono::steady_clock::now() + dispatchPace;
    std::this_thread::sleep_until(deadline);
  }
}

void lf_connectAndDispatch(const std::stop_token& stop) {
  if (!lf_connect(stop)) {
    return;
  }
  lf_setupSimConnect();
  platform::beginTimerPeriod(1);
  try {
    lf_dispatchUntilStopped(stop);
  } catch (...) {
    platform::endTimerPeriod(1);
    throw;
  }
  platform::endTimerPeriod(1);
}

void lf_closeConnection() {
  HANDLE handle = nullptr;
  {
    const std::lock_guard lock{simConnectMutex};
    handle = hSimConnect.exchange(nullptr);
  }
  if (handle == nullptr) {
    return;
  }
  if (FAILED(SimConnect_Close(handle))) {
    gf_logFlagged("Closing SimConnect failed?!");
  } else {
    gf_log("SimConnect closed ok");
  }
}

void lf_leave() {
  gf_watchUserStand();
  mainWindow.simConnectLamp = false;
  gf_invalidateBand(rcHeader);
  lf_closeConnection();
}

void lf_failedWithSimulatorLost(std::string_view text) {
  gf_setErrorLine(text);
  simRunning = false;
  gf_simNoLongerConnected();
}

}  // namespace

void lf_simClientThread(std::stop_token stop) {
  pthread_setname_np(pthread_self(), threadName);
  try {
    lf_connectAndDispatch(stop);
  } catch (const UserErrorException& failure) {
    // The user must act (choose the other simulator, select an aircraft): the error stays shown, nothing restarts.
    const std::string_view text = failure.what();
    gf_setErrorLine(text.empty() ? "Unknown exception" : text);
  } catch (const std::exception& failure) {
    lf_failedWithSimulatorLost(failure.what());
  } catch (...) {
    lf_failedWithSimulatorLost(fmt::format("Exception in {}", threadName));
  }
  lf_leave();
}

void gf_joinSimClientThread() {
  if (simClientThread.joinable()) {
    simClientThread.request_stop();
    simClientThread.join();
  }
}

void gf_resetSimLinkState() {
  gf_joinSimClientThread();
  hSimConnect = nullptr;
  simRunning = false;
  simConnectFailed = false;
  gf_clearSendQueues();
  gf_clearAiObjects();
  gf_resetUserAircraft();
}

}  // namespace cvl

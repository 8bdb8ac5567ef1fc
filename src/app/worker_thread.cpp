#include "app/worker_thread.h"

#include <fmt/format.h>

#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <system_error>
#include <thread>

#include "app/closing_down.h"
#include "app/controls.h"
#include "app/edit_commands.h"
#include "app/exit_reasons.h"
#include "app/main_window.h"
#include "app/run_loop.h"
#include "app/startup.h"
#include "app/status_line.h"
#include "foundation/constants.h"
#include "foundation/files.h"
#include "foundation/log.h"
#include "foundation/settings_catalogue.h"
#include "foundation/user_error.h"
#include "liveries/livery_scan.h"
#include "parking/park_airports.h"
#include "platform/ui/window.h"
#include "refdata/airports_database.h"
#include "sceneryscan/addon_airport_scan.h"
#include "simlink/flight_plan_folder.h"

namespace cvl {

std::atomic<std::uint32_t> hardwareThreads{0};
std::atomic<std::uint32_t> scanSlotsInUse{0};

namespace {

std::mutex workerMutex;
std::condition_variable workerEnded;
int runningWorkers = 0;

// Counts the worker from its first to its last step.
class WorkerPresence {
 public:
  WorkerPresence() {
    const std::lock_guard lock{workerMutex};
    ++runningWorkers;
  }
  ~WorkerPresence() {
    const std::lock_guard lock{workerMutex};
    --runningWorkers;
    workerEnded.notify_all();
  }
  WorkerPresence(const WorkerPresence&) = delete;
  WorkerPresence& operator=(const WorkerPresence&) = delete;
};

// The relative paths of the program lead into its own folder only when it was started there.
void lf_requireProgramFolder() {
  std::error_code failure;
  const auto status = std::filesystem::status(docsFolder, failure);
  if (failure && status.type() != std::filesystem::file_type::not_found) {
    throw std::filesystem::filesystem_error("status", docsFolder, failure);
  }
  if (!std::filesystem::is_directory(status)) {
    throw UserErrorException(41, fmt::format("{} must be run from the {} folder!", programName, programName));
  }
}

void lf_showAddonAirportCounts() {
  mainWindow.thirdPartyCount = gf_countFilesInDirectory(myThirdPartyFolder);
  mainWindow.simAddonCount = gf_countFilesInDirectory(mySimAddonFolder);
  gf_invalidateBand(rcHeader);
}

void lf_scanAddonAirports() {
  mainWindow.simAddonCount = 0;
  mainWindow.thirdPartyCount = 0;
  gf_invalidateBand(rcHeader);
  gf_scanAddonAirports();
}

// A destination kept from an earlier run (one that did not close down normally) leads the park airports again.
void lf_restoreDestination() {
  const std::string code = DESTINATION.getValue();
  if (code.empty()) {
    return;
  }
  if (const Airport* airport = gf_findAirportByCode(code)) {
    lf_setNewDestination(code, airport->lat, airport->lon);
    gf_servePendingDestination();
  }
}

void lf_prepareRun() {
  gf_createFlightPlanFolder();
  lf_readMyParkAirports();
  gf_enableControl(rereadButton);
  lf_restoreDestination();
  ui::setTopmost(mainWindow.hwnd, ALWAYS_ON_TOP.value);
}

void lf_runCycle() {
  lf_requireProgramFolder();
  lf_startUp();
  if (gf_stopping()) {
    // The start-up ended the run (a new version prepared, production mode): closing down follows with its reason.
    return;
  }
  gf_flushLog();
  hardwareThreads = std::thread::hardware_concurrency();
  scanSlotsInUse.exchange(0);
  if (SCAN_LIVERIES.value) {
    gf_scanLiveries();
  }
  gf_processScannedLiveries();
  if (gf_stopping()) {
    return;
  }
  if (SCAN_AIRPORTS.value) {
    lf_scanAddonAirports();
  }
  lf_showAddonAirportCounts();
  if (gf_stopping()) {
    // A stop that arrives during the scans ends the program.
    gf_requestExit(ExitReason::userClosedSim, 0);
    return;
  }
  lf_prepareRun();
  lf_run();
}

void lf_stopForSystemError(std::string_view text) {
  gf_setCycleErrorLine(text);
  gf_requestExit(ExitReason::systemError, 0);
}

// A stop requested before the error came (the user closed the window while the error's message box was up) keeps
// its reason.
void lf_markSystemError() {
  auto unset = ExitReason::notYetSet;
  exitReason.compare_exchange_strong(unset, ExitReason::systemError);
}

// The error line shows what ended the cycle; closing down then keeps the window open until the user closes it.
void lf_runGuardedCycle() {
  try {
    lf_runCycle();
  } catch (const UserErrorException& failure) {
    gf_setCycleErrorLine(failure.what());
    lf_markSystemError();
  } catch (const fmt::format_error& failure) {
    gf_setCycleErrorLine(fmt::format("std::format error: {}", failure.what()));
    lf_stopForSystemError(failure.what());
  } catch (const std::exception& failure) {
    lf_stopForSystemError(failure.what());
  } catch (...) {
    gf_setCycleErrorLine("Unknown exception");
    lf_markSystemError();
  }
}

}  // namespace

void lf_workerThread() {
  const WorkerPresence presence;
  lf_runGuardedCycle();
  gf_flushLog();
  lf_closingDown();
}

bool gf_workerRunning() {
  const std::lock_guard lock{workerMutex};
  return runningWorkers > 0;
}

void gf_waitForWorkers() {
  std::unique_lock lock{workerMutex};
  workerEnded.wait(lock, [] { return runningWorkers == 0; });
}

}  // namespace cvl

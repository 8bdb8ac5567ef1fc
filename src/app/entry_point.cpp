#include "app/entry_point.h"

#include <fmt/format.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <initializer_list>
#include <string_view>

#include "app/exit_reasons.h"
#include "app/main_window.h"
#include "app/worker_thread.h"
#include "foundation/constants.h"
#include "foundation/log.h"
#include "foundation/strings.h"
#include "platform/single_instance.h"
#include "platform/ui/window.h"

namespace cvl {

bool productionValue = false;
bool productionGiven = false;
std::atomic<bool> productionMode{false};
std::atomic<int> processExitCode{0};

namespace {

constexpr std::string_view instanceGuardName = "Local\\$CRVL$";
constexpr int setUpFailed = 1;
// Ctrl+C in the terminal and the system's request to end: they act as the window's close box.
constexpr std::initializer_list<int> stopSignals{SIGINT, SIGTERM};

// Before the window exists only the log and the terminal can say what went wrong.
int lf_setUpFailure(std::string_view text, bool flagged) {
  flagged ? gf_logFlagged(text) : gf_log(text);
  std::fprintf(stderr, "%s: %.*s\n", programName.c_str(), static_cast<int>(text.size()), text.data());
  return setUpFailed;
}

bool lf_createSettingsFolder(std::string& failure) {
  try {
    const auto folder = appDataFolder();
    if (!std::filesystem::exists(folder)) {
      std::filesystem::create_directories(folder);
    }
    return true;
  } catch (const std::filesystem::filesystem_error& error) {
    failure = fmt::format("Failed to create directory: {}", error.what());
    return false;
  }
}

// The program ends only after its last cycle: a cycle still running (the loop ended without its quit message) is
// asked to close and waited for.
void lf_endLastCycle() {
  if (gf_workerRunning()) {
    gf_requestExit(ExitReason::userClosedSim, 0);
  }
  gf_waitForWorkers();
}

}  // namespace

void lf_readCommandLine(int argc, const char* const* argv) {
  for (int index = 1; index < argc; ++index) {
    const std::string_view argument{argv[index]};
    if (gf_equalsUpper("--PRODUCTION", argument) || gf_equalsUpper("/PRODUCTION", argument)) {
      productionValue = true;
      productionGiven = true;
    } else if (gf_equalsUpper("--NO-PRODUCTION", argument) || gf_equalsUpper("/NO-PRODUCTION", argument)) {
      productionValue = false;
      productionGiven = true;
    }
  }
}

int lf_appMain(int argc, const char* const* argv) {
  lf_readCommandLine(argc, argv);
  if (std::string failure; !lf_createSettingsFolder(failure)) {
    return lf_setUpFailure(failure, false);
  }
  if (!initInstance(programName)) {
    return lf_setUpFailure("initInstance failed", true);
  }
  if (productionGiven && productionValue) {
    productionMode = true;
  }
  const ui::Handle hwnd = mainWindow.hwnd;
  if (hwnd != ui::noHandle) {
    ui::closeOnSignals(hwnd, stopSignals);
    ui::post(hwnd, WM_APP_START);
  }
  const int loopExitCode = ui::runMessageLoop();
  lf_endLastCycle();
  return loopExitCode != 0 ? loopExitCode : processExitCode.load();
}

void gf_holdStopSignals() {
  ui::holdSignals(stopSignals);
}

int gf_programMain(int argc, const char* const* argv) {
  if (platform::claimSingleInstance(instanceGuardName) == platform::InstanceClaim::alreadyRunning) {
    return -1;
  }
  try {
    gf_openLog();
  } catch (const std::exception& failure) {
    std::fprintf(stderr, "%s: %s\n", programName.c_str(), failure.what());
    return setUpFailed;
  }
  const int exitCode = lf_appMain(argc, argv);
  gf_closeLog();
  return exitCode;
}

}  // namespace cvl

#include "app/main_window.h"

#include <fmt/format.h>

#include <chrono>
#include <filesystem>
#include <pugixml.hpp>
#include <system_error>
#include <thread>

#include "app/controls.h"
#include "app/entry_point.h"
#include "app/exit_reasons.h"
#include "app/painting.h"
#include "app/status_line.h"
#include "app/user_commands.h"
#include "app/worker_thread.h"
#include "foundation/constants.h"
#include "foundation/log.h"
#include "foundation/settings_catalogue.h"
#include "foundation/settings_file.h"
#include "foundation/timekeeping.h"
#include "platform/ui/message_box.h"
#include "platform/ui/window.h"

namespace cvl {
namespace {

constexpr std::int32_t defaultWindowX = 400;
constexpr std::int32_t defaultWindowY = 20;

bool lf_waitUntilReady() {
  constexpr int attempts = 18;
  for (int attempt = 0; attempt < attempts && !mainWindow.ready; ++attempt) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return mainWindow.ready;
}

// The stored value clamped to the setting's range, or its default when the key is missing.
void lf_readPosition(IntParameter& coordinate, const pugi::xml_document& document) {
  const auto stored = gf_getIntParameter(document, coordinate.key);
  coordinate.value = stored ? coordinate.clampToRange(*stored) : coordinate.defaultValue;
}

// A file that does not load is kept as its first generation and removed, so the settings code writes a fresh one.
// It may hold the user's settings in a form this version cannot read, so where it cannot be kept it stays.
void lf_setAsideUnreadableParameters(const std::filesystem::path& path) {
  const std::string unreadable = fmt::format("{} failed to load, syntax error?\n", parametersPathUtf8());
  if (!gf_keepParametersAsOlderGeneration()) {
    gf_logFlagged(unreadable + " --> left as it was, saving it as 0.xml failed\n");
    return;
  }
  gf_logFlagged(unreadable + " --> saved as 0.xml,  file removed\n");
  std::error_code failure;
  std::filesystem::remove(path, failure);
  if (failure) {
    gf_logFlagged(fmt::format("{}: {}", parametersPathUtf8(), failure.message()));
  }
}

// Reads only the window's position from parameters.xml; does not create the file.
void lf_readWindowPosition() {
  const std::lock_guard lock{gf_parametersFileMutex()};
  const auto path = parametersPath();
  pugi::xml_document document;
  if (!document.load_file(path.c_str())) {
    std::error_code ignored;
    if (std::filesystem::exists(path, ignored)) {
      lf_setAsideUnreadableParameters(path);
    }
    return;
  }
  lf_readPosition(mainWindow.MAIN_WINDOW_X, document);
  lf_readPosition(mainWindow.MAIN_WINDOW_Y, document);
  lf_clampWindowPosition(defaultWindowX, defaultWindowY);
}

void lf_clampCoordinate(IntParameter& coordinate, std::int32_t fallback) {
  const std::int32_t current = coordinate.value;
  if (current == coordinate.minValue || current == coordinate.maxValue) {
    coordinate.value = coordinate.clampToRange(fallback);
    gf_saveIntParameter(coordinate);
  }
}

// A window that reports a position far off the screen (a minimised one says -32000) keeps its last good position.
void lf_saveWindowPosition(ui::Handle hwnd) {
  const auto rect = ui::windowRect(hwnd);
  if (!rect) {
    return;
  }
  const std::int32_t previousX = mainWindow.MAIN_WINDOW_X.value;
  const std::int32_t previousY = mainWindow.MAIN_WINDOW_Y.value;
  mainWindow.MAIN_WINDOW_X.value = mainWindow.MAIN_WINDOW_X.clampToRange(rect->left);
  gf_saveIntParameter(mainWindow.MAIN_WINDOW_X);
  mainWindow.MAIN_WINDOW_Y.value = mainWindow.MAIN_WINDOW_Y.clampToRange(rect->top);
  gf_saveIntParameter(mainWindow.MAIN_WINDOW_Y);
  lf_clampWindowPosition(previousX, previousY);
}

// The edit fields and check boxes show their text on the controls band's blue; their own background stays white.
void lf_colourControl(ui::WParam wParam) {
  auto* colours = reinterpret_cast<ui::ControlColours*>(wParam);
  if (colours != nullptr) {
    colours->textBackground = mainWindow.blueBrush;
    colours->background = ui::rgb(255, 255, 255);
  }
}

// The worker runs detached; the program waits for it before it ends (gf_waitForWorkers).
void lf_startWorkerCycle() {
  std::jthread worker{lf_workerThread};
  worker.detach();
}

// What the status line says as the window closes: a stop signal comes from a terminal or the system, and there may be
// no window whose button could have been clicked.
std::string lf_closingText(ui::WParam closedBy) {
  const char* why = closedBy == ui::closedBySignal ? "Stop signal received" : "Close window button clicked";
  return fmt::format("{}, closing {} ...", why, programName);
}

}  // namespace

MainWindow mainWindow;
std::atomic<ui::Handle> wndProcHwnd{ui::noHandle};

MainWindow::MainWindow() : MAIN_WINDOW_X(cvl::MAIN_WINDOW_X), MAIN_WINDOW_Y(cvl::MAIN_WINDOW_Y) {
  ready = true;
}

MainWindow::~MainWindow() = default;

void MainWindow::resetDisplayValues() {
  {
    const std::lock_guard lock{mutex};
    statusText.clear();
    statusMessage.clear();
    heldNotices.clear();
    errorText.clear();
  }
  for (GuardedString* text :
       {&userAcTitleText, &parkAirportText, &parkedFileText, &airportFileText, &qualityText, &simNameText,
        &rtEditionText, &userStandText, &csOidText, &reservedStandName, &publisherText, &announcementText}) {
    *text = std::string{};
  }
  for (auto* fit : {&staticAverageFit, &liveAverageFit}) {
    *fit = -1.0F;
  }
  for (auto* count : {&liveCount, &simAddonCount, &thirdPartyCount, &liveryCount, &liveParkedCount, &staticParkedCount,
                      &standCount, &cargoChangedCount, &busyCount}) {
    *count = 0;
  }
  for (auto* number : {&maxParkPercent, &qnh, &maxParkCount, &minutesToParkingUpdate}) {
    *number = 0;
  }
  for (auto* number : {&statusSeconds, &statusSetAt, &learnedUpdates}) {
    *number = 0;
  }
  for (auto* lamp : {&trafficLamp, &weatherLamp}) {
    *lamp = 3;
  }
  for (auto* mark : {&handmadeMark, &realTrafficLamp, &parkedFileOk, &simConnectLamp, &simRunningLamp, &staticSoftMark,
                     &staticWeekMark, &reservedStandFound}) {
    *mark = false;
  }
  rtLampDark = true;
  userTypeMark = true;
}

bool initInstance(std::string_view className) {
  if (!lf_waitUntilReady()) {
    return false;
  }
  lf_readWindowPosition();
  const std::int32_t x = mainWindow.MAIN_WINDOW_X.value;
  const std::int32_t y = mainWindow.MAIN_WINDOW_Y.value;
  const ui::Handle hwnd =
      ui::createWindow(ui::WindowSpec{std::string{className}, ui::Rect{x, y, x + mainWindowWidth, y + mainWindowHeight},
                                      lf_wndProc, mainWindow.blackBrush});
  mainWindow.hwnd = hwnd;
  if (hwnd == ui::noHandle) {
    return false;
  }
  ui::showWindow(hwnd);
  return ui::updateWindow(hwnd);
}

ui::LResult lf_wndProc(ui::Handle hwnd, ui::Message message, ui::WParam wParam, ui::LParam lParam) {
  wndProcHwnd = hwnd;
  switch (message) {
    case ui::msgCreate:
      lf_createControls(hwnd, reinterpret_cast<const ui::CreateParams*>(lParam));
      return 0;
    case ui::msgDestroy:
      ui::postQuit(0);
      return 0;
    case ui::msgPaint:
      lf_paintMainWindow(ui::beginPaint(hwnd));
      return 0;
    case ui::msgClose:
      gf_setStatusLine(lf_closingText(wParam), false);
      gf_requestExit(ExitReason::userClosedSim, 0);
      // A worker held by a message box the user has not answered, perhaps hidden behind the window, must not hold
      // off the close.
      ui::releaseMessageBoxWaits();
      return 0;
    case ui::msgCommand:
      return lf_HandleWMCOMMAND(hwnd, wParam) ? 0 : ui::defWindowProc(hwnd, message, wParam, lParam);
    case ui::msgCtlColorEdit:
    case ui::msgCtlColorStatic:
      lf_colourControl(wParam);
      return 0;
    case WM_APP_START:
      lf_startWorkerCycle();
      return 0;
    case WM_APP_QUIT:
      lf_saveWindowPosition(hwnd);
      gf_log(gf_timeText(gf_systemNow()));
      ui::postQuit(processExitCode);
      return 0;
    default:
      return ui::defWindowProc(hwnd, message, wParam, lParam);
  }
}

void lf_clampWindowPosition(std::int32_t x, std::int32_t y) {
  lf_clampCoordinate(mainWindow.MAIN_WINDOW_X, x);
  lf_clampCoordinate(mainWindow.MAIN_WINDOW_Y, y);
}

void gf_invalidateBand(const ui::Rect& band) {
  ui::invalidate(mainWindow.hwnd, band, true);
}

void gf_resetMainWindow() {
  mainWindow.resetDisplayValues();
  wndProcHwnd = ui::noHandle;
}

}  // namespace cvl

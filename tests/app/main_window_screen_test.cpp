#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <thread>

#include "app/exit_reasons.h"
#include "app/main_window.h"
#include "app/painting.h"
#include "app/shell_helpers.h"
#include "app/status_line.h"
#include "foundation/constants.h"
#include "foundation/settings_catalogue.h"
#include "platform/ui/backend.h"
#include "platform/ui/paint_record.h"
#include "platform/ui/user_input.h"
#include "platform/ui/window.h"
#include "support/display_windows.h"
#include "support/eventually.h"
#include "support/recording_opener.h"
#include "support/screenshot.h"
#include "support/temp_folder.h"

// The program's real main window: this test program runs itself again under a virtual display, where the inner test
// opens the window with its controls and painted bands and takes a screenshot; the outer test checks the picture.
namespace cvl::test {
namespace {

constexpr const char* screenshotVariable = "CORVALEN_TEST_MAIN_WINDOW_SCREENSHOT";

// A running simulator with a user aircraft, RealTraffic connected, a park airport and a status line.
void showARunningState() {
  mainWindow.simConnectLamp = true;
  mainWindow.simRunningLamp = true;
  mainWindow.simNameText = std::string{"KittyHawk"};
  mainWindow.userAcTitleText = std::string{"Cessna Skyhawk"};
  mainWindow.liveryCount = 1250;
  mainWindow.rtLampDark = false;
  mainWindow.realTrafficLamp = true;
  mainWindow.trafficLamp = 1;
  mainWindow.weatherLamp = 1;
  mainWindow.rtEditionText = std::string{"Professional"};
  mainWindow.qnh = 1013;
  mainWindow.parkAirportText = std::string{"EHAM"};
  mainWindow.parkedFileOk = true;
  SIM_CHOICE.fillCombo();
  RANGE.fillCombo();
  gf_setStatusLine("Corvalen is running", false);
  gf_invalidateBand(ui::Rect{0, 0, mainWindowWidth, mainWindowHeight});
}

// How often the window has been drawn whole.
std::size_t wholePaints(ui::Handle hwnd) {
  const auto records = ui::paintRecords(hwnd);
  return static_cast<std::size_t>(std::count_if(records.begin(), records.end(), [](const ui::PaintRecord& record) {
    return record.area == ui::Rect{0, 0, mainWindowWidth, mainWindowHeight} && record.calls.size() > 50;
  }));
}

// Waits until the window has been drawn whole, then asks for one more whole paint and waits for it: the second paint
// begins only after the first picture has reached the screen. False when the window is not drawn in time.
bool waitUntilOnScreen(ui::Handle hwnd) {
  for (std::size_t wanted = 1, wait = 0; wait < 500; ++wait) {
    if (wholePaints(hwnd) >= wanted) {
      if (wanted == 2) {
        return true;
      }
      wanted = 2;
      gf_invalidateBand(ui::Rect{0, 0, mainWindowWidth, mainWindowHeight});
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return false;
}

// Runs the message loop until the window has reached the screen and xwd has taken it into the file: xwd's exit code,
// 99 when the window was never drawn.
int photographWhenOnScreen(ui::Handle hwnd, const std::string& file) {
  std::thread photographer{[hwnd, file] {
    constexpr int notDrawn = 99;
    ui::postQuit(waitUntilOnScreen(hwnd) ? runProgram({"xwd", "-silent", "-name", programName, "-out", file})
                                         : notDrawn);
  }};
  const int result = ui::runMessageLoop();
  photographer.join();
  return result;
}

TEST(MainWindowOnDisplay, ShowsItsBandsAndControlsForAScreenshot) {
  if (std::getenv(screenshotVariable) == nullptr) {
    GTEST_SKIP() << "runs inside MainWindowScreen.HasItsSizeBandsAndControlsOnAVirtualDisplay";
  }
  ASSERT_EQ(ui::activeBackend(), ui::BackendKind::fltk);
  TempFolder folder;
  ScopedEnvironment config{"XDG_CONFIG_HOME", folder.path().string()};
  ASSERT_TRUE(initInstance("Corvalen"));
  const ui::Handle hwnd = mainWindow.hwnd;
  std::size_t controls = 0;
  for (std::uint16_t id = 32771; id <= 32857; ++id) {
    controls += ui::controlById(hwnd, id) != ui::noHandle ? 1 : 0;
  }
  EXPECT_EQ(controls, 42U);
  showARunningState();

  EXPECT_EQ(photographWhenOnScreen(hwnd, std::getenv(screenshotVariable)), 0) << "99: the window was never drawn";
  ui::destroyWindow(hwnd);
  mainWindow.hwnd = ui::noHandle;
}

TEST(MainWindowScreen, HasItsSizeBandsAndControlsOnAVirtualDisplay) {
  if (const char* tool = missingScreenshotTool()) {
    GTEST_SKIP() << tool << " is not installed";
  }
  TempFolder folder;
  const auto screenshot = folder.path() / "main_window.xwd";
  const auto self = std::filesystem::read_symlink("/proc/self/exe");
  ASSERT_EQ(runSelfOnVirtualDisplay("MainWindowOnDisplay.ShowsItsBandsAndControlsForAScreenshot", "1400x900x24",
                                    screenshotVariable, screenshot),
            0);
  // Kept beside the test program, for a person to look at.
  EXPECT_EQ(
      runProgram({"convert", screenshot.string(), (self.parent_path() / "app_main_window_screenshot.png").string()}),
      0);
  ASSERT_EQ(runProgram({"convert", screenshot.string(), "-depth", "8", (folder.path() / "main_window.ppm").string()}),
            0);
  const Picture picture = readPpm(folder.path() / "main_window.ppm");

  ASSERT_EQ(picture.width, mainWindowWidth);
  ASSERT_EQ(picture.height, mainWindowHeight);
  const struct {
    int x, y;
    ui::Colour colour;
    const char* what;
  } probes[] = {
      {860, 14, black, "title band"},
      {200, 28, ui::rgb(255, 255, 255), "line under the title"},
      {860, 60, black, "header band"},
      {411, 100, green, "simulator lamp"},
      {439, 100, green, "RealTraffic lamp"},
      {860, 300, ui::rgb(153, 204, 255), "controls band"},
      {300, 168, black, "grid of the controls band"},
      {642, 250, black, "vertical grid line"},
      {860, 420, black, "static-parking band"},
      {860, 460, green, "status band"},
      {860, 500, black, "below the bands"},
  };
  for (const auto& probe : probes) {
    EXPECT_EQ(describe(picture.at(probe.x, probe.y)), describe(probe.colour))
        << probe.what << " at " << probe.x << "," << probe.y;
  }
  int yellowInStatus = 0;
  for (int y = 448; y < 476; ++y) {
    for (int x = 0; x < 200; ++x) {
      yellowInStatus += picture.at(x, y) == yellow ? 1 : 0;
    }
  }
  EXPECT_GT(yellowInStatus, 0) << "the status line was not drawn";
  EXPECT_NE(describe(picture.at(60, 124)), describe(ui::rgb(153, 204, 255))) << "the simulator combo box is missing";
  EXPECT_NE(describe(picture.at(870, 127)), describe(ui::rgb(153, 204, 255)))
      << "the install path field does not run to the window's edge";
  EXPECT_NE(describe(picture.at(800, 351)), describe(ui::rgb(153, 204, 255))) << "the Re-read button is missing";
}

constexpr const char* longLineVariable = "CORVALEN_TEST_LONG_LINE_SCREENSHOT";

// Opens the main window, lets the change make a line too long for it and photographs the window.
void photographALongLine(const std::function<void()>& change) {
  ASSERT_EQ(ui::activeBackend(), ui::BackendKind::fltk);
  TempFolder folder;
  ScopedEnvironment config{"XDG_CONFIG_HOME", folder.path().string()};
  ASSERT_TRUE(initInstance(programName));
  const ui::Handle hwnd = mainWindow.hwnd;
  change();
  EXPECT_EQ(photographWhenOnScreen(hwnd, std::getenv(longLineVariable)), 0) << "99: the window was never drawn";
  ui::destroyWindow(hwnd);
  mainWindow.hwnd = ui::noHandle;
}

const std::string typedCallsign(300, 'x');
const std::string longError = "filesystem error: cannot copy: Permission denied [airports/my_thirdparty/" +
                              std::string(200, 'e') + ".xml] [airports/my_thirdparty.unfinished]";

TEST(MainWindowOnDisplay, ShowsATypedCallsignTooLongForTheWindow) {
  if (std::getenv(longLineVariable) == nullptr) {
    GTEST_SKIP() << "runs inside MainWindowScreen.ALineTooLongForTheWindowEndsInDotsInsideItsRightEdge";
  }
  photographALongLine([] {
    ui::enable(BLOCK_CALLSIGN.hwnd, true);
    ui::user::type(BLOCK_CALLSIGN.hwnd, typedCallsign);
    ui::user::pressEnter(BLOCK_CALLSIGN.hwnd);
  });
}

TEST(MainWindowOnDisplay, ShowsAnErrorTooLongForTheWindow) {
  if (std::getenv(longLineVariable) == nullptr) {
    GTEST_SKIP() << "runs inside MainWindowScreen.ALineTooLongForTheWindowEndsInDotsInsideItsRightEdge";
  }
  photographALongLine([] { gf_setErrorLine(longError); });
}

// A run of columns of the status band with ink of the text in each, and the rows the ink spans.
struct InkRun {
  int left = 0;
  int right = 0;
  int top = 0;
  int bottom = 0;

  int width() const { return right - left + 1; }
  int height() const { return bottom - top + 1; }
};

// The text's ink on the status band, below its white top line: every pixel that is not the band's colour.
std::vector<InkRun> inkRunsOfStatusBand(const Picture& picture, ui::Colour band) {
  std::vector<InkRun> runs;
  bool inRun = false;
  for (int x = 0; x < picture.width; ++x) {
    std::optional<InkRun> column;
    for (int y = rcStatusLine.top + 2; y < rcStatusLine.bottom; ++y) {
      if (picture.at(x, y) != band) {
        column = column ? InkRun{x, x, column->top, y} : InkRun{x, x, y, y};
      }
    }
    if (column && inRun) {
      runs.back() = InkRun{runs.back().left, x, std::min(runs.back().top, column->top),
                           std::max(runs.back().bottom, column->bottom)};
    } else if (column) {
      runs.push_back(*column);
    }
    inRun = column.has_value();
  }
  return runs;
}

// Three dots, each a speck on the same row, after a glyph that stands taller.
bool endsInThreeDots(const std::vector<InkRun>& runs) {
  if (runs.size() < 4) {
    return false;
  }
  const auto dots = std::span{runs}.last(3);
  const bool specks = std::ranges::all_of(dots, [&](const InkRun& dot) {
    return dot.width() <= 3 && dot.height() <= 3 && dot.bottom == dots.back().bottom;
  });
  return specks && runs[runs.size() - 4].height() > 3;
}

// The line a user cannot make shorter: what he typed, and an error whose text comes from the system. Each is cut where
// its painted text reaches the right edge, with as much plain band after the dots as before the text.
TEST(MainWindowScreen, ALineTooLongForTheWindowEndsInDotsInsideItsRightEdge) {
  if (const char* tool = missingScreenshotTool()) {
    GTEST_SKIP() << tool << " is not installed";
  }
  const std::pair<const char*, ui::Colour> lines[] = {
      {"MainWindowOnDisplay.ShowsATypedCallsignTooLongForTheWindow", green},
      {"MainWindowOnDisplay.ShowsAnErrorTooLongForTheWindow", red},
  };
  for (const auto& [inner, band] : lines) {
    SCOPED_TRACE(inner);
    TempFolder folder;
    const auto screenshot = folder.path() / "long_line.xwd";
    ASSERT_EQ(runSelfOnVirtualDisplay(inner, "1400x900x24", longLineVariable, screenshot), 0);
    ASSERT_EQ(runProgram({"convert", screenshot.string(), "-depth", "8", (folder.path() / "long_line.ppm").string()}),
              0);
    const Picture picture = readPpm(folder.path() / "long_line.ppm");
    ASSERT_EQ(picture.width, mainWindowWidth);

    const std::vector<InkRun> runs = inkRunsOfStatusBand(picture, band);
    ASSERT_FALSE(runs.empty()) << "no line was painted";
    EXPECT_GE(runs.front().left, 3) << "the line starts 3 pixels in";
    EXPECT_LT(runs.back().right, mainWindowWidth - 3) << "the line runs to the window's edge";
    EXPECT_TRUE(endsInThreeDots(runs)) << "the line does not end in \"...\" inside the window";
  }
}

constexpr const char* closeVariable = "CORVALEN_TEST_CLOSE_WHILE_A_BOX_IS_SHOWN";

// The user of the inner test: once the worker's first box is up, clicks the main window's close button instead of
// answering it, and waits for the worker to go on; a worker that stays held ends the loop with a failure instead.
void closeTheWindowInsteadOfAnswering(const std::string& display, const std::atomic<bool>& wentOn) {
  constexpr int neverShown = 98;
  constexpr int stillHeld = 97;
  if (!eventually([&] { return windowsShown(display, "CRVL") == 1; })) {
    ui::postQuit(neverShown);
    return;
  }
  closeWindows(display, programName);
  if (!eventually([&] { return wentOn.load(); })) {
    ui::postQuit(stillHeld);
  }
}

TEST(MainWindowOnDisplay, ClosingTheWindowLetsAWorkerHeldByMessageBoxesGoOn) {
  if (std::getenv(closeVariable) == nullptr) {
    GTEST_SKIP() << "runs inside MainWindowScreen.ClosingTheWindowEndsTheWaitForAnUnansweredMessageBox";
  }
  ASSERT_EQ(ui::activeBackend(), ui::BackendKind::fltk);
  TempFolder folder;
  ScopedEnvironment config{"XDG_CONFIG_HOME", folder.path().string()};
  ASSERT_TRUE(initInstance(programName));
  const ui::Handle hwnd = mainWindow.hwnd;
  const RecordingOpener failing{4};
  std::atomic<bool> wentOn{false};
  // A manual livery scan without folders: the worker tells of two failed openings in a row, then closes down.
  std::thread worker{[&wentOn, hwnd] {
    gf_openManual();
    gf_openParametersFolder();
    wentOn = true;
    ui::post(hwnd, WM_APP_QUIT);
  }};
  std::thread user{closeTheWindowInsteadOfAnswering, std::string{std::getenv("DISPLAY")}, std::cref(wentOn)};

  EXPECT_EQ(ui::runMessageLoop(), 0) << "98: no box was shown, 97: the worker stayed held after the close";
  user.join();
  worker.join();
  EXPECT_TRUE(closeRequested);
  EXPECT_EQ(gf_statusText(), "Close window button clicked, closing Corvalen ...");
  ui::destroyWindow(hwnd);
  mainWindow.hwnd = ui::noHandle;
}

TEST(MainWindowScreen, ClosingTheWindowEndsTheWaitForAnUnansweredMessageBox) {
  if (const char* tool = missingScreenshotTool()) {
    GTEST_SKIP() << tool << " is not installed";
  }
  TempFolder folder;
  EXPECT_EQ(runSelfOnVirtualDisplay("MainWindowOnDisplay.ClosingTheWindowLetsAWorkerHeldByMessageBoxesGoOn",
                                    "1400x900x24", closeVariable, folder.path() / "unused"),
            0);
}

}  // namespace
}  // namespace cvl::test

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

#include "platform/ui/backend.h"
#include "platform/ui/controls.h"
#include "platform/ui/message_box.h"
#include "platform/ui/painter.h"
#include "platform/ui/window.h"
#include "support/display_windows.h"
#include "support/eventually.h"
#include "support/screenshot.h"
#include "support/temp_folder.h"

// The real window: this program runs itself again under a virtual display, where the inner test opens the window and
// takes a screenshot of it, and the outer test checks the picture.
namespace cvl::test {
namespace {

constexpr const char* screenshotVariable = "CORVALEN_TEST_SCREENSHOT";
constexpr const char* windowTitle = "Corvalen display test";
constexpr int windowWidth = 880;
constexpr int windowHeight = 516;

constexpr ui::Colour black = ui::rgb(0, 0, 0);
constexpr ui::Colour blue = ui::rgb(153, 204, 255);
constexpr ui::Colour green = ui::rgb(50, 205, 50);
constexpr ui::Colour red = ui::rgb(255, 0, 0);
constexpr ui::Colour yellow = ui::rgb(255, 255, 0);

bool screenshotAsked = false;
// What the painter measured while painting: one letter, and a line of it far wider than any window.
int letterWidth = 0;
int longLineWidth = 0;
constexpr int longLineLetters = 5000;

constexpr std::uint16_t checkBoxId = 3;

// The bands of a main window, two lamps, a title text and a few controls on the blue band. Once painted, it takes the
// screenshot and ends the loop with xwd's exit code.
ui::LResult paintBands(ui::Handle window, ui::Message message, ui::WParam, ui::LParam) {
  switch (message) {
    case ui::msgCreate:
      ui::createControl(window, {ui::ControlKind::comboBox, 1, ui::Rect{5, 114, 110, 134}, "", true, 80, {}});
      ui::createControl(window, {ui::ControlKind::edit, 2, ui::Rect{111, 119, 400, 135}, "C:\\Sim", true, 0, {}});
      ui::createControl(window, {ui::ControlKind::checkBox, checkBoxId, ui::Rect{5, 149, 17, 161}, "", true, 0, {}});
      ui::createControl(window,
                        {ui::ControlKind::pushButton, 4, ui::Rect{758, 341, 848, 361}, "Re-read", false, 0, {}});
      ui::comboAdd(ui::controlById(window, 1), "MSFS 2020");
      ui::comboSelectIndex(ui::controlById(window, 1), 0);
      ui::setChecked(ui::controlById(window, checkBoxId), true);
      return 0;
    case ui::msgPaint: {
      ui::Painter& painter = ui::beginPaint(window);
      painter.fillRect(ui::Rect{0, 0, 880, 112}, black);
      painter.fillRect(ui::Rect{0, 112, 880, 392}, blue);
      painter.fillRect(ui::Rect{0, 392, 880, 448}, black);
      painter.fillRect(ui::Rect{0, 448, 880, 476}, green);
      painter.fillRect(ui::Rect{397, 30, 425, 112}, red);
      painter.fillRect(ui::Rect{425, 30, 453, 112}, yellow);
      painter.line(0, 28, 880, 28, ui::rgb(255, 255, 255));
      painter.text(390, 7, "Corvalen", green);
      letterWidth = painter.textWidth("x");
      longLineWidth = painter.textWidth(std::string(longLineLetters, 'x'));
      if (!screenshotAsked) {
        screenshotAsked = true;
        ui::post(window, ui::msgApp + 1);
      }
      return 0;
    }
    case ui::msgApp + 1: {
      ui::updateWindow(window);
      ui::postQuit(runProgram({"xwd", "-silent", "-name", windowTitle, "-out", std::getenv(screenshotVariable)}));
      return 0;
    }
    default:
      return 0;
  }
}

TEST(FltkWindowOnDisplay, PaintsBandsForAScreenshot) {
  if (std::getenv(screenshotVariable) == nullptr) {
    GTEST_SKIP() << "runs inside FltkWindow.ShowsItsSizeAndBandsOnAVirtualDisplay";
  }
  ASSERT_EQ(ui::activeBackend(), ui::BackendKind::fltk);
  ui::Handle window =
      ui::createWindow(ui::WindowSpec{windowTitle, ui::Rect{0, 0, windowWidth, windowHeight}, paintBands});
  ui::showWindow(window);
  EXPECT_EQ(ui::runMessageLoop(), 0);
  ui::destroyWindow(window);
  EXPECT_GT(letterWidth, 0);
  EXPECT_EQ(longLineWidth, longLineLetters * letterWidth);
}

TEST(FltkWindow, ShowsItsSizeAndBandsOnAVirtualDisplay) {
  if (const char* tool = missingScreenshotTool()) {
    GTEST_SKIP() << tool << " is not installed";
  }
  TempFolder folder;
  const auto screenshot = folder.path() / "window.xwd";
  const auto self = std::filesystem::read_symlink("/proc/self/exe");
  ASSERT_EQ(runSelfOnVirtualDisplay("FltkWindowOnDisplay.PaintsBandsForAScreenshot", "1024x768x24", screenshotVariable,
                                    screenshot),
            0);
  // Kept beside the test program, for a person to look at.
  EXPECT_EQ(
      runProgram({"convert", screenshot.string(), (self.parent_path() / "platform_window_screenshot.png").string()}),
      0);
  ASSERT_EQ(runProgram({"convert", screenshot.string(), "-depth", "8", (folder.path() / "window.ppm").string()}), 0);
  const Picture picture = readPpm(folder.path() / "window.ppm");

  ASSERT_EQ(picture.width, windowWidth);
  ASSERT_EQ(picture.height, windowHeight);
  const struct {
    int x, y;
    ui::Colour colour;
  } probes[] = {
      {860, 14, black},
      {411, 70, red},
      {439, 70, yellow},
      {860, 300, blue},
      {860, 420, black},
      {860, 460, green},
      {860, 500, black} /* erased, never painted */,
      {200, 28, ui::rgb(255, 255, 255)},
  };
  for (const auto& probe : probes) {
    EXPECT_EQ(describe(picture.at(probe.x, probe.y)), describe(probe.colour)) << "at " << probe.x << "," << probe.y;
  }
  int greenInTitle = 0;
  for (int y = 0; y < 28; ++y) {
    for (int x = 380; x < 480; ++x) {
      greenInTitle += picture.at(x, y) == green ? 1 : 0;
    }
  }
  EXPECT_GT(greenInTitle, 0) << "the title text was not drawn";
  EXPECT_NE(describe(picture.at(800, 351)), describe(blue)) << "the push button does not lie on the blue band";
}

constexpr const char* messageBoxVariable = "CORVALEN_TEST_MESSAGE_BOXES";
// The user of the inner test: once both boxes are up, notes whether the other thread was still held, answers them and
// waits for that thread to go on; a layer that never lets it go ends the loop with a failure instead of hanging.
void answerBothBoxes(const std::string& display, std::atomic<bool>& answered, std::atomic<bool>& heldUntilAnswered) {
  const auto bothShown = [&] { return windowsShown(display, "CRVL") == 2; };
  eventually([&] { return bothShown() || answered; });
  heldUntilAnswered = bothShown() && !answered;
  closeWindows(display, "CRVL");
  if (!eventually([&] { return answered.load(); })) {
    ui::postQuit(1);
  }
}

TEST(FltkMessageBoxOnDisplay, HoldsAnotherThreadUntilAnsweredButNeverTheWindowsOwn) {
  if (std::getenv(messageBoxVariable) == nullptr) {
    GTEST_SKIP() << "runs inside FltkMessageBox.HoldsTheCallerUntilAnsweredExceptOnTheWindowsThread";
  }
  ASSERT_EQ(ui::activeBackend(), ui::BackendKind::fltk);
  std::atomic<bool> answered{false};
  std::atomic<bool> heldUntilAnswered{false};
  std::thread other;
  const ui::Handle window = ui::createWindow(
      ui::WindowSpec{"Corvalen message box test", ui::Rect{0, 0, 200, 100},
                     [&](ui::Handle self, ui::Message message, ui::WParam, ui::LParam) -> ui::LResult {
                       if (message == ui::msgApp + 1) {
                         ui::showMessageBox("Could not open File Explorer at tblo.zip.");  // must not wait for itself
                         other = std::thread{[&answered, self] {
                           ui::showMessageBox("Could not open File Explorer at new version");
                           answered = true;
                           ui::post(self, ui::msgApp + 2);
                         }};
                       } else if (message == ui::msgApp + 2) {
                         ui::postQuit(0);
                       }
                       return 0;
                     }});
  ui::post(window, ui::msgApp + 1);
  std::thread user{answerBothBoxes, std::string{std::getenv("DISPLAY")}, std::ref(answered),
                   std::ref(heldUntilAnswered)};

  EXPECT_EQ(ui::runMessageLoop(), 0);
  user.join();
  other.join();
  ui::destroyWindow(window);
  EXPECT_TRUE(heldUntilAnswered) << "the other thread went on before its box was answered";
  EXPECT_TRUE(answered);
}

TEST(FltkMessageBox, HoldsTheCallerUntilAnsweredExceptOnTheWindowsThread) {
  if (const char* tool = missingScreenshotTool()) {
    GTEST_SKIP() << tool << " is not installed";
  }
  TempFolder folder;
  EXPECT_EQ(runSelfOnVirtualDisplay("FltkMessageBoxOnDisplay.HoldsAnotherThreadUntilAnsweredButNeverTheWindowsOwn",
                                    "1024x768x24", messageBoxVariable, folder.path() / "unused"),
            0);
}

}  // namespace
}  // namespace cvl::test

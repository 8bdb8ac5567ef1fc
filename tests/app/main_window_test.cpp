#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fstream>
#include <gsl/util>
#include <optional>
#include <regex>
#include <thread>

#include "app/status_line.h"
#include "app/worker_thread.h"
#include "cycle_folder.h"
#include "main_window_fixture.h"
#include "platform/ui/user_input.h"
#include "support/unreadable_file.h"
#include "support/unwritable_folders.h"

namespace cvl::test {
namespace {

using MainWindowPosition = MainWindowTest;
using MainWindowProcedure = MainWindowTest;

std::string positionEntries(std::string_view x, std::string_view y) {
  return fmt::format(R"(<parameter name="MAIN_WINDOW_X" value="{}"/><parameter name="MAIN_WINDOW_Y" value="{}"/>)", x,
                     y);
}

TEST_F(MainWindowPosition, OpensAtTheStoredPositionAndSavesNothingForAValueInsideTheRange) {
  writeParameters(positionEntries("123", "29999"));
  const std::string before = readFile(parametersFile());

  const ui::Handle hwnd = openMainWindow();

  EXPECT_EQ(ui::windowRect(hwnd), (ui::Rect{123, 29999, 123 + 880, 29999 + 516}));
  EXPECT_EQ(readFile(parametersFile()), before);
}

TEST_F(MainWindowPosition, ValuesAtTheEdgeOfTheRangeFallBackToTheDefaultsAndAreSaved) {
  writeParameters(positionEntries("99999", "-30000"));

  const ui::Handle hwnd = openMainWindow();

  EXPECT_EQ(ui::windowRect(hwnd)->left, 400);
  EXPECT_EQ(ui::windowRect(hwnd)->top, 20);
  EXPECT_EQ(storedInt("MAIN_WINDOW_X"), 400);
  EXPECT_EQ(storedInt("MAIN_WINDOW_Y"), 20);
}

TEST_F(MainWindowPosition, MissingFileOpensAtTheDefaultsWithoutCreatingIt) {
  const ui::Handle hwnd = openMainWindow();

  EXPECT_EQ(ui::windowRect(hwnd), (ui::Rect{400, 20, 1280, 536}));
  EXPECT_FALSE(std::filesystem::exists(parametersFile()));
}

TEST_F(MainWindowPosition, UnreadableFileIsSetAsideAndTheWindowOpensAtTheDefaults) {
  writeFile(parametersFile(), "<root><parameters><parameter name=\"MAIN_WINDOW_X\" value=\"9\"");

  const ui::Handle hwnd = openMainWindow();

  EXPECT_EQ(ui::windowRect(hwnd)->left, 400);
  EXPECT_EQ(ui::windowRect(hwnd)->top, 20);
  EXPECT_FALSE(std::filesystem::exists(parametersFile()));
  EXPECT_EQ(readFile(settingsFolder() / "parameters0.xml"),
            "<root><parameters><parameter name=\"MAIN_WINDOW_X\" value=\"9\"");
  EXPECT_THAT(logBody(), testing::HasSubstr("==> " + parametersFile().string() +
                                            " failed to load, syntax error?\n --> saved as 0.xml,  file removed\n"));
}

// The unreadable file may hold the user's settings in a form this version cannot read: where it cannot be kept as
// parameters0.xml, neither the window nor the settings read at the start remove or replace it, though a fresh file
// of defaults would fit in the page left free. The next save that finds room keeps it and writes the settings anew.
TEST_F(MainWindowPosition, AnUnreadableFileThatCannotBeKeptOnAFullDiskIsLeftAsItWas) {
  const SmallDisk disk{settingsFolder(), 64 * 1024};
  if (!disk.available()) {
    GTEST_SKIP() << "mounting a small disk needs root";
  }
  const std::string unreadable = "<root><parameters><!--" + std::string(8 * 1024, 'x') + "--><parameter name=\"RANGE\"";
  writeFile(parametersFile(), unreadable);
  const auto filler = settingsFolder() / "filler";
  std::ofstream(filler, std::ios::binary) << std::string(64 * 1024, 'f');
  std::filesystem::resize_file(filler, std::filesystem::file_size(filler) - 4096);

  openMainWindow();
  gf_initParameters();

  EXPECT_TRUE(readFile(parametersFile()) == unreadable) << "the file keeps its bytes";
  EXPECT_THAT(filesIn(settingsFolder()), testing::UnorderedElementsAre("filler", "parameters.xml"));
  const std::string log = logBody();
  EXPECT_THAT(log,
              testing::HasSubstr("==> " + parametersFile().string() +
                                 " failed to load, syntax error?\n --> left as it was, saving it as 0.xml failed\n"));
  EXPECT_THAT(log, testing::HasSubstr("==> " + parametersFile().string() +
                                      " is left as it was, saving it as parameters0.xml failed; the settings stay in "
                                      "memory only\n"));
  EXPECT_THAT(log, testing::Not(testing::AnyOf(testing::HasSubstr("file removed"), testing::HasSubstr("create new"))));

  std::filesystem::remove(filler);
  RANGE.value = 65;
  gf_saveIntParameter(RANGE);
  EXPECT_TRUE(readFile(settingsFolder() / "parameters0.xml") == unreadable);
  EXPECT_EQ(storedInt("RANGE"), 65);
}

// A file left by a run as another user, which this one may not read: renaming it to parameters0.xml needs no right
// to read it, so it is set aside and the settings are kept in a file of this user's from then on.
TEST_F(MainWindowPosition, AFileThisUserMayNotReadIsSetAsideAndTheSettingsAreKeptAnew) {
  writeParameters(positionEntries("123", "456"));
  const std::string otherUsers = readFile(parametersFile());
  {
    const UnreadableFile keptToHimself{parametersFile()};
    if (!keptToHimself.available()) {
      GTEST_SKIP() << "a file root may not read needs the capabilities to be dropped";
    }
    const ui::Handle hwnd = openMainWindow();
    EXPECT_EQ(ui::windowRect(hwnd)->left, 400);
    gf_initParameters();
    RANGE.value = 65;
    gf_saveIntParameter(RANGE);
  }

  EXPECT_EQ(readFile(settingsFolder() / "parameters0.xml"), otherUsers);
  EXPECT_EQ(storedInt("RANGE"), 65);
  EXPECT_EQ(storedBool("SCAN_LIVERIES"), true);
  const std::string log = logBody();
  EXPECT_THAT(log, testing::HasSubstr(" --> saved as 0.xml,  file removed\n"));
  EXPECT_THAT(log, testing::HasSubstr(parametersFile().string() + " not found,  create new with default values:\n"));
  EXPECT_THAT(log, testing::Not(testing::HasSubstr("left as it was")));
}

TEST_F(MainWindowPosition, QuitSavesWhereTheWindowStandsLogsTheTimeAndEndsTheLoop) {
  writeParameters(positionEntries("300", "200"));
  const ui::Handle hwnd = openMainWindow();
  ui::moveWindow(hwnd, 50, 60);

  ui::post(hwnd, WM_APP_QUIT);

  EXPECT_EQ(ui::pumpMessages(), 0);
  EXPECT_EQ(storedInt("MAIN_WINDOW_X"), 50);
  EXPECT_EQ(storedInt("MAIN_WINDOW_Y"), 60);
  EXPECT_TRUE(std::regex_search(logBody(), std::regex{R"((^|\n)\w{3} \w{3} \d\d \d\d:\d\d:\d\d \d{4}\n)"}))
      << logBody();
}

TEST_F(MainWindowPosition, QuitWhileMinimisedKeepsTheLastGoodPosition) {
  writeParameters(positionEntries("300", "200"));
  const ui::Handle hwnd = openMainWindow();
  ui::moveWindow(hwnd, -32000, -32000);

  ui::post(hwnd, WM_APP_QUIT);

  EXPECT_EQ(ui::pumpMessages(), 0);
  EXPECT_EQ(storedInt("MAIN_WINDOW_X"), 300);
  EXPECT_EQ(storedInt("MAIN_WINDOW_Y"), 200);
}

TEST_F(MainWindowProcedure, TheCloseBoxRequestsTheEndButLeavesTheWindowOpen) {
  const ui::Handle hwnd = openMainWindow();

  ui::user::closeBox(hwnd);
  ui::pumpMessages();
  gf_requestExit(ExitReason::readerError, 15);
  ui::user::closeBox(hwnd);
  ui::pumpMessages();

  EXPECT_TRUE(ui::isWindow(hwnd));
  EXPECT_TRUE(closeRequested);
  EXPECT_TRUE(stopRequested);
  EXPECT_EQ(exitReason, ExitReason::userClosedSim);
  EXPECT_EQ(gf_statusText(), "Close window button clicked, closing Corvalen ...");
  EXPECT_THAT(logBody(), testing::Not(testing::HasSubstr("Close window")));
}

// Ctrl+C in the terminal, or a stop from the system: there may be no window whose button could have been clicked.
TEST_F(MainWindowProcedure, AStopSignalClosesAsTheCloseBoxDoesAndSaysSo) {
  const ui::Handle hwnd = openMainWindow();
  ui::closeOnSignals(hwnd, {SIGUSR1});
  const auto defaultAction = gsl::finally([] { std::signal(SIGUSR1, SIG_DFL); });

  std::raise(SIGUSR1);
  ui::pumpMessages();

  EXPECT_TRUE(closeRequested);
  EXPECT_EQ(exitReason, ExitReason::userClosedSim);
  EXPECT_EQ(gf_statusText(), "Stop signal received, closing Corvalen ...");
}

TEST_F(MainWindowProcedure, AValueWrittenOnAnotherThreadShowsWhenItsBandIsRepainted) {
  openMainWindow();
  ui::pumpMessages();

  std::thread simulatorLink{[] {
    mainWindow.simNameText = std::string{"KittyHawk 11.2"};
    mainWindow.simConnectLamp = true;
    gf_invalidateBand(rcHeader);
  }};
  simulatorLink.join();
  ui::pumpMessages();

  const auto records = ui::paintRecords(mainWindow.hwnd);
  ASSERT_FALSE(records.empty());
  EXPECT_EQ(records.back().area, rcHeader);
  const auto simulator = textAt(records.back().calls, 5, 35);
  ASSERT_TRUE(simulator);
  EXPECT_EQ(simulator->text, "KittyHawk 11.2");
}

TEST_F(MainWindowProcedure, TextsReplacedWhileTheWindowPaintsAreNeverShownHalfWritten) {
  openMainWindow();
  mainWindow.parkedFileOk = true;
  const std::string first = "EGLL London Heathrow, stock airport file with learned stands";
  const std::string second = "KJFK";
  std::atomic<bool> done{false};
  std::thread parking{[&] {
    for (int round = 0; !done; ++round) {
      mainWindow.parkAirportText = round % 2 == 0 ? first : second;
      gf_invalidateBand(rcStaticParking);
    }
  }};

  for (int paint = 0; paint < 200; ++paint) {
    const auto shown = textAt(paintAll(), 5, 399);
    if (shown) {
      ASSERT_THAT(shown->text, testing::AnyOf(first, second));
    }
  }
  done = true;
  parking.join();
}

TEST_F(MainWindowProcedure, TheResetBeforeARestartBringsBackTheFirstPicture) {
  openMainWindow();
  const auto fresh = paintAll();
  mainWindow.simConnectLamp = true;
  mainWindow.userAcTitleText = std::string{"Cessna 172"};
  mainWindow.parkAirportText = std::string{"EHAM"};
  mainWindow.parkedFileOk = true;
  mainWindow.liveryCount = 42;
  mainWindow.rtLampDark = false;
  mainWindow.realTrafficLamp = true;
  mainWindow.trafficLamp = 1;
  mainWindow.liveAverageFit = 2.5F;
  gf_setErrorLine("lost");
  ASSERT_NE(paintAll(), fresh);

  gf_resetMainWindow();

  EXPECT_EQ(paintAll(), fresh);
}

TEST(MainWindowCycle, TheStartMessageRunsACycleWhoseEndSavesThePositionAndQuitsTheLoop) {
  ::setenv("CORVALEN_UI", "headless", 0);
  if (ui::activeBackend() != ui::BackendKind::headless) {
    GTEST_SKIP() << "the headless backend is not in use";
  }
  CycleFolder folder{false};  // without docs/ the cycle stops at once with an error and waits for the close box
  RecordedPauses pauses{[](std::size_t waitIndex) {
    if (waitIndex == 2) {
      ui::user::closeBox(mainWindow.hwnd);
    } else if (waitIndex > 2) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));  // until the window has seen the close box
    }
  }};
  ASSERT_TRUE(initInstance("Corvalen"));

  ui::post(mainWindow.hwnd, WM_APP_START);
  std::optional<int> exitCode;
  for (int wait = 0; wait < 1000 && !exitCode; ++wait) {
    exitCode = ui::pumpMessages();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  gf_waitForWorkers();

  EXPECT_EQ(exitCode, 0);
  EXPECT_EQ(gf_errorText(), "41: Corvalen must be run from the Corvalen folder!");
  EXPECT_THAT(folder.settingsFile(), testing::HasSubstr(R"(<parameter name="MAIN_WINDOW_X" value="400")"));
  ui::destroyWindow(mainWindow.hwnd);
  mainWindow.hwnd = ui::noHandle;
  ui::pumpMessages();
  gf_resetMainWindow();
}

}  // namespace
}  // namespace cvl::test

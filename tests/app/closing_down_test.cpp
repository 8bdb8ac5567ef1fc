#include "app/closing_down.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "cycle_folder.h"
#include "foundation/settings_catalogue.h"

namespace cvl::test {
namespace {

using namespace std::chrono_literals;

class ClosingDownTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SCAN_LIVERIES.value = true;
    SCAN_AIRPORTS.value = true;
  }

  std::vector<std::string> countdownLines() const {
    std::vector<std::string> lines;
    for (const auto& line : pauses.statusLines) {
      if (line.starts_with("Restarting after")) {
        lines.push_back(line);
      }
    }
    return lines;
  }

  CycleFolder folder;
  RecordingMainWindow window;
  RecordedPauses pauses;
};

TEST_F(ClosingDownTest, AReaderErrorCountsDownSwitchesTheScansOffAndStartsANewCycle) {
  gf_readerStopped("Traffic Reader", "connection reset");
  stopRequested = true;

  lf_closingDown();

  const auto lines = countdownLines();
  ASSERT_EQ(lines.size(), 15U);
  EXPECT_EQ(lines.front(), "Restarting after 15 seconds");
  EXPECT_EQ(lines[13], "Restarting after 2 seconds");
  EXPECT_EQ(lines.back(), "Restarting after 1 second");
  EXPECT_FALSE(SCAN_LIVERIES.value);
  EXPECT_FALSE(SCAN_AIRPORTS.value);
  EXPECT_NE(folder.settingsFile().find(R"(name="SCAN_LIVERIES" value="false")"), std::string::npos);
  const auto log = folder.log();
  EXPECT_NE(log.find("Exiting: READER ERROR\n"), std::string::npos);
  EXPECT_NE(log.find("Restarting after 15 seconds\n\n\n\n\n\n"), std::string::npos);
  EXPECT_TRUE(restartPending);
  EXPECT_FALSE(stopRequested);
  EXPECT_EQ(exitReason, ExitReason::notYetSet);
  EXPECT_EQ(window.posted(), std::vector<ui::Message>{WM_APP_START});
}

TEST_F(ClosingDownTest, NewSettingsRestartKeepsTheScans) {
  gf_requestExit(ExitReason::newSettings, 3);

  lf_closingDown();

  EXPECT_EQ(countdownLines().size(), 3U);
  EXPECT_TRUE(SCAN_LIVERIES.value);
  EXPECT_TRUE(SCAN_AIRPORTS.value);
  EXPECT_EQ(window.posted(), std::vector<ui::Message>{WM_APP_START});
}

TEST_F(ClosingDownTest, ClosingTheWindowDuringTheCountdownClosesTheProgram) {
  RecordedPauses closing{[](std::size_t waitIndex) {
    if (waitIndex == 3) {
      gf_requestExit(ExitReason::userClosedSim, 0);
    }
  }};
  gf_requestExit(ExitReason::simConnectError, 9);

  lf_closingDown();

  EXPECT_LT(closing.durations.size(), 9U);
  EXPECT_FALSE(restartPending);
  EXPECT_TRUE(closeRequested);
  EXPECT_EQ(window.posted(), std::vector<ui::Message>{WM_APP_QUIT});
}

TEST_F(ClosingDownTest, TheSimulatorClosedEndsWithoutCountdown) {
  gf_requestExit(ExitReason::simWasClosed, 0);

  lf_closingDown();

  EXPECT_TRUE(countdownLines().empty());
  EXPECT_FALSE(restartPending);
  EXPECT_EQ(window.posted(), std::vector<ui::Message>{WM_APP_QUIT});
}

TEST_F(ClosingDownTest, ANewFlightAsksForARestartByHandAndEndsAfterTenSeconds) {
  gf_requestExit(ExitReason::newFlight, 45);

  lf_closingDown();

  EXPECT_TRUE(countdownLines().empty());
  EXPECT_EQ(gf_statusText(), "New flight detected, Corvalen will close, please restart manually ...");
  EXPECT_EQ(pauses.total(), 500ms + 10s);
  EXPECT_EQ(window.posted(), std::vector<ui::Message>{WM_APP_QUIT});
}

TEST_F(ClosingDownTest, ASystemErrorWaitsForTheUserToCloseTheWindow) {
  RecordedPauses user{[](std::size_t waitIndex) {
    if (waitIndex == 5) {
      gf_requestExit(ExitReason::userClosedSim, 0);
    }
  }};
  gf_setErrorLine("disk full");
  gf_requestExit(ExitReason::systemError, 0);

  lf_closingDown();

  EXPECT_EQ(user.durations.size(), 6U);
  EXPECT_EQ(exitReason, ExitReason::systemError);
  EXPECT_EQ(gf_errorText(), "disk full");
  EXPECT_EQ(window.posted(), std::vector<ui::Message>{WM_APP_QUIT});
}

TEST_F(ClosingDownTest, ANewInstallPathAfterAUserErrorRestartsWithoutWaitingForAClose) {
  RecordedPauses user{[](std::size_t waitIndex) {
    if (waitIndex == 2) {
      gf_requestExit(ExitReason::newSettings, 3);  // the path typed into the field
    }
  }};
  gf_setErrorLine("150: No install path detected, type full path to your Community folder above, and press Enter");
  exitReason = ExitReason::systemError;

  lf_closingDown();

  EXPECT_EQ(gf_errorText(), "");
  EXPECT_TRUE(restartPending);
  EXPECT_EQ(window.posted(), std::vector<ui::Message>{WM_APP_START});
}

TEST_F(ClosingDownTest, ASystemErrorInProductionModeEndsWithAFailureCode) {
  productionMode = true;
  gf_requestExit(ExitReason::systemError, 0);

  lf_closingDown();

  EXPECT_EQ(processExitCode, 1);
  EXPECT_EQ(window.posted(), std::vector<ui::Message>{WM_APP_QUIT});
}

TEST_F(ClosingDownTest, EveryCycleEndsWithoutDestinationAndBlockedCallsign) {
  DESTINATION.setValue("EHAM");
  BLOCK_CALLSIGN.setValue("KLM123");
  gf_requestExit(ExitReason::userClosedSim, 0);

  lf_closingDown();

  EXPECT_EQ(DESTINATION.getValue(), "");
  EXPECT_EQ(BLOCK_CALLSIGN.getValue(), "");
  EXPECT_EQ(folder.settingsFile().find("EHAM"), std::string::npos);
  EXPECT_EQ(folder.settingsFile().find("KLM123"), std::string::npos);
}

TEST_F(ClosingDownTest, AFailureWhileClosingDownStillClosesTheWindow) {
  exitReason = static_cast<ExitReason>(42);
  stopRequested = true;

  lf_closingDown();

  EXPECT_EQ(gf_statusText(), "lf_closingDown exception invalid unordered_map<K, T> key");
  EXPECT_NE(folder.log().find("==> lf_closingDown exception invalid unordered_map<K, T> key\n"), std::string::npos);
  EXPECT_FALSE(restartPending);
  EXPECT_EQ(window.posted(), std::vector<ui::Message>{WM_APP_QUIT});
}

}  // namespace
}  // namespace cvl::test

#include "app/exit_reasons.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "app/closing_down.h"
#include "app/status_line.h"
#include "cycle_folder.h"

namespace cvl::test {
namespace {

class ExitReasonsTest : public ::testing::Test {
 protected:
  CycleFolder folder;
};

TEST_F(ExitReasonsTest, AReasonOutsideTheTableHasNoText) {
  EXPECT_EQ(gf_exitReasonText(ExitReason::newVersion), "NEW VERSION");
  EXPECT_THROW(gf_exitReasonText(static_cast<ExitReason>(9)), std::out_of_range);
}

TEST_F(ExitReasonsTest, OnlyTheFirstStopRequestSetsReasonAndDelay) {
  gf_requestExit(ExitReason::simConnectError, 9);
  gf_readerStopped("Traffic Reader", "socket closed");
  gf_requestExit(ExitReason::newSettings, 3);

  EXPECT_TRUE(stopRequested);
  EXPECT_FALSE(closeRequested);
  EXPECT_EQ(exitReason, ExitReason::simConnectError);
  EXPECT_EQ(restartDelaySeconds, 9);
}

TEST_F(ExitReasonsTest, ClosingKeepsAnEarlierReasonAndFillsInOnlyAMissingOne) {
  gf_requestExit(ExitReason::newFlight, 45);
  gf_requestExit(ExitReason::userClosedSim, 0);
  EXPECT_TRUE(closeRequested);
  EXPECT_TRUE(stopRequested);
  EXPECT_EQ(exitReason, ExitReason::newFlight);
  EXPECT_EQ(restartDelaySeconds, 45);

  resetCycleFlags();
  restartDelaySeconds = 7;
  gf_requestExit(ExitReason::userClosedSim, 99);
  EXPECT_EQ(exitReason, ExitReason::userClosedSim);
  EXPECT_EQ(restartDelaySeconds, 7);
  gf_requestExit(ExitReason::readerError, 15);
  EXPECT_EQ(exitReason, ExitReason::userClosedSim);
}

TEST_F(ExitReasonsTest, AReaderErrorIsShownAndRestartsAfterFifteenSeconds) {
  gf_readerStopped("QNH Reader", "recvfrom failed");

  EXPECT_EQ(gf_statusText(), "The QNH Reader has stopped with error: recvfrom failed");
  EXPECT_NE(folder.log().find("The QNH Reader has stopped with error: recvfrom failed\n"), std::string::npos);
  EXPECT_EQ(exitReason, ExitReason::readerError);
  EXPECT_EQ(restartDelaySeconds, 15);
}

TEST_F(ExitReasonsTest, TheSimulatorQuittingEndsTheProgramUnlessAStopCameFirst) {
  gf_simNoLongerConnected();
  EXPECT_EQ(exitReason, ExitReason::simWasClosed);
  EXPECT_EQ(restartDelaySeconds, 0);
  EXPECT_NE(folder.log().find(" Flight Simulator no longer connected, Corvalen will stop ...\n"), std::string::npos);

  resetCycleFlags();
  gf_requestExit(ExitReason::newSettings, 3);
  const auto logged = folder.log();
  gf_simNoLongerConnected();
  EXPECT_EQ(exitReason, ExitReason::newSettings);
  EXPECT_EQ(folder.log(), logged);
}

}  // namespace
}  // namespace cvl::test

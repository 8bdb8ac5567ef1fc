#include <gtest/gtest.h>

#include <thread>

#include "app/exit_reasons.h"
#include "app/main_window.h"
#include "app/sim_choice.h"
#include "app/status_line.h"
#include "link_fixture.h"
#include "simlink/sim_client_thread.h"
#include "simlink/sim_ids.h"
#include "simlink/user_aircraft.h"

namespace cvl::test {
namespace {

using namespace std::chrono_literals;

class ClientThread : public LinkTest {
 protected:
  void start() { simClientThread = std::jthread(lf_simClientThread); }

  // The client's entry in the emulator's state; null while none is connected.
  nlohmann::json client() const {
    const auto clients = emulator->state()["clients"];
    return clients.empty() ? nlohmann::json(nullptr) : clients[0];
  }

  std::size_t countOf(std::string_view text) const {
    const auto log = logText();
    std::size_t count = 0;
    for (auto at = log.find(text); at != std::string::npos; at = log.find(text, at + 1)) {
      ++count;
    }
    return count;
  }
};

TEST_F(ClientThread, WithoutSimulatorWaitsWithOneLineUntilOneAnswers) {
  startEmulator();
  emulator->setAcceptingConnections(false);
  start();
  ASSERT_TRUE(eventually([] { return gf_statusText() == "Waiting for MSFS 2020 ..."; }));
  std::this_thread::sleep_for(350ms);  // several attempts
  EXPECT_EQ(countOf("Waiting for MSFS 2020 ..."), 1u);
  EXPECT_FALSE(mainWindow.simConnectLamp);

  emulator->setAcceptingConnections(true);
  ASSERT_TRUE(eventually([] { return simRunning.load(); }));
  EXPECT_TRUE(mainWindow.simConnectLamp);
  EXPECT_EQ(mainWindow.simNameText.get(), "MSFS 2020 (11.0.1.0)");
  EXPECT_TRUE(logged("MSFS 2020 (11.0.1.0) connected"));
  EXPECT_EQ(gf_statusText(), "");
}

TEST_F(ClientThread, AStopWhileWaitingEndsPromptlyClosingNothing) {
  msfs2020Mode = false;
  startEmulator(emulatorSettings(2024));
  emulator->setAcceptingConnections(false);
  start();
  ASSERT_TRUE(eventually([] { return gf_statusText() == "Waiting for MSFS 2024 ..."; }));
  simClientThread.request_stop();
  simClientThread.join();
  EXPECT_FALSE(logged("SimConnect closed ok"));
  EXPECT_FALSE(logged("Closing SimConnect failed?!"));
}

TEST_F(ClientThread, DeclaresEveryIdentifierInOrder) {
  startEmulator();
  start();
  ASSERT_TRUE(eventually([] { return simRunning.load(); }));
  const auto declared = client();
  ASSERT_FALSE(declared.is_null());
  EXPECT_EQ(declared["name"], "Corvalen");
  EXPECT_EQ(declared["subscriptions"].size(), 5u);
  const nlohmann::json datumCounts{{"401", 3}, {"402", 8}, {"403", 12}, {"404", 4}, {"405", 2},
                                   {"406", 1}, {"407", 1}, {"408", 1},  {"409", 1}, {"410", 5}};
  EXPECT_EQ(declared["definitions"], datumCounts);
  EXPECT_EQ(declared["mappedEvents"].size(), 17u);
  EXPECT_EQ(declared["mappedEvents"]["220"], "ENGINE_AUTO_START");
  const nlohmann::json group{
      {"priority", 1}, {"events", {207, 206, 210, 208, 209, 212, 211, 213, 217, 218, 219, 221, 222, 214, 215, 216}}};
  EXPECT_EQ(declared["groups"]["301"], group);
  // The simulator understood every name and unit.
  EXPECT_FALSE(logged("SIMCONNECT_EXCEPTION"));
}

// The worker asks as the run loop does, while the simulator runs its frames.
TEST_F(ClientThread, TheUserAircraftIsKnownEverySecondWhileTheSimulatorRuns) {
  startEmulator();
  start();
  ASSERT_TRUE(eventually([] { return simRunning.load(); }));
  {
    const std::lock_guard lock{simConnectMutex};
    ASSERT_TRUE(SUCCEEDED(SimConnect_RequestDataOnSimObject(hSimConnect, REQ_USER_ON_GROUND, DEF_SIM_ON_GROUND,
                                                            SIMCONNECT_OBJECT_ID_USER, SIMCONNECT_PERIOD_SECOND)));
  }
  gf_requestUserAcPosition();
  gf_requestUserAcTitleAndModel();
  ASSERT_TRUE(eventually([] { return !mainWindow.userAcTitleText.empty() && lf_userPositionKnown(); }));
  oneSecondFlag = false;
  for (int frames = 0; frames < 31; ++frames) {
    emulator->runFrame(1.0 / 30.0);
  }
  ASSERT_TRUE(eventually([] { return oneSecondFlag.load() && userOnGroundKnown.load(); }));
  EXPECT_TRUE(userOnGround);
  EXPECT_EQ(mainWindow.userAcTitleText.get(), "Airbus A320neo Corvalen Sample");
  EXPECT_DOUBLE_EQ(gf_requestUserAcPosition().latitude, 50.0333);
  EXPECT_EQ(userObjectId, 1u);
  EXPECT_TRUE(logged("SimConnect: User aircraft model: A320"));
}

TEST_F(ClientThread, AStopClosesTheConnection) {
  startEmulator();
  start();
  ASSERT_TRUE(eventually([] { return simRunning.load(); }));
  simClientThread.request_stop();
  simClientThread.join();
  EXPECT_TRUE(logged("SimConnect closed ok"));
  EXPECT_FALSE(mainWindow.simConnectLamp);
  EXPECT_EQ(hSimConnect.load(), nullptr);
  EXPECT_TRUE(client().is_null());
}

TEST_F(ClientThread, ASimulatorThatQuitsEndsTheProgram) {
  startEmulator();
  start();
  ASSERT_TRUE(eventually([] { return simRunning.load(); }));
  emulator->quit();
  ASSERT_TRUE(eventually([] { return stopRequested.load(); }));
  EXPECT_EQ(exitReason, ExitReason::simWasClosed);
  EXPECT_FALSE(simRunning);
  ASSERT_TRUE(eventually([] { return hSimConnect.load() == nullptr; }));
  EXPECT_TRUE(logged("Flight Simulator no longer connected"));
}

TEST_F(ClientThread, TheWrongSimulatorLeavesTheErrorShownWithoutARestart) {
  startEmulator(emulatorSettings(2024));
  start();
  ASSERT_TRUE(eventually([] { return !gf_errorText().empty(); }));
  EXPECT_EQ(gf_errorText(),
            "71: MSFS 2024 is running ..., switch Simulator, or select the right sim in the drop down list above");
  ASSERT_TRUE(eventually([this] { return client().is_null(); }));
  EXPECT_FALSE(stopRequested);
  EXPECT_FALSE(simRunning);
}

}  // namespace
}  // namespace cvl::test

#include "app/user_commands.h"

#include <fmt/format.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>

#include "app/edit_commands.h"
#include "command_fixture.h"
#include "engine/static_ac.h"
#include "foundation/constants.h"
#include "platform/ui/message_box.h"
#include "simlink/sim_ids.h"
#include "support/eventually.h"
#include "support/recording_opener.h"

namespace cvl::test {
namespace {

using testing::HasSubstr;
using testing::Not;

using UserCommands = CommandTest;

TEST_F(UserCommands, ACheckBoxClickTogglesTheBoxSavesItAndSaysWhatItMeans) {
  COLLISION_USER_AIR.value = true;
  gf_showCheckBox(COLLISION_USER_AIR);

  click(COLLISION_USER_AIR);
  EXPECT_FALSE(COLLISION_USER_AIR.value);
  EXPECT_FALSE(ui::isChecked(COLLISION_USER_AIR.hwnd));
  EXPECT_EQ(storedBool("COLLISION_USER_AIR"), false);
  EXPECT_EQ(gf_statusText(), "Be aware, user aircraft may collide with (run through) live aircraft in the air");

  click(COLLISION_USER_AIR);
  EXPECT_TRUE(ui::isChecked(COLLISION_USER_AIR.hwnd));
  EXPECT_EQ(storedBool("COLLISION_USER_AIR"), true);
  EXPECT_EQ(gf_statusText(), "");

  ALWAYS_ON_TOP.value = false;
  gf_showCheckBox(ALWAYS_ON_TOP);
  click(ALWAYS_ON_TOP);
  EXPECT_TRUE(ui::isTopmost(hwnd));
  EXPECT_EQ(gf_statusText(), "Corvalen's window will remain visible");
  EXPECT_THAT(logBody(), Not(HasSubstr("remain visible"))) << "a notice is not logged";
}

TEST_F(UserCommands, AScanSwitchedOnRestartsTheCycleOnlyWhileRealTrafficIsAwaited) {
  for (CheckBoxParameter* scan : {&SCAN_AIRPORTS, &SCAN_LIVERIES}) {
    scan->value = false;
    gf_showCheckBox(*scan);
  }
  liveriesProcessed = true;
  awaitingRealTraffic = false;

  click(SCAN_AIRPORTS);
  EXPECT_EQ(gf_statusText(), "Your airports will be scanned at the next start of Corvalen");
  click(SCAN_LIVERIES);
  EXPECT_FALSE(ui::isEnabled(AI_PACKAGE_SELECTOR.hwnd));
  EXPECT_TRUE(liveriesProcessed);
  EXPECT_FALSE(stopRequested);

  click(SCAN_LIVERIES);
  EXPECT_TRUE(ui::isEnabled(AI_PACKAGE_SELECTOR.hwnd));
  awaitingRealTraffic = true;
  click(SCAN_LIVERIES);
  EXPECT_EQ(gf_statusText(), "Your liveries will be scanned");
  EXPECT_FALSE(liveriesProcessed) << "the tables are built again at the next start-up";
  EXPECT_TRUE(stopRequested);
  EXPECT_EQ(exitReason, ExitReason::newSettings);
  EXPECT_EQ(restartDelaySeconds, 2);
  EXPECT_EQ(storedBool("SCAN_LIVERIES"), true);
}

TEST_F(UserCommands, OnlyAUsersComboChoiceSavesItsSetting) {
  MATCHING_DEPTH.fillCombo();
  ui::comboSelectIndex(MATCHING_DEPTH.hwnd, 0);
  ui::pumpMessages();
  EXPECT_EQ(storedInt("MATCHING_DEPTH"), std::nullopt);

  choose(MATCHING_DEPTH, 1);
  EXPECT_EQ(MATCHING_DEPTH.value, 2);
  EXPECT_EQ(storedInt("MATCHING_DEPTH"), 2);

  RANGE.fillCombo();
  const auto twenty = RANGE.indexOf(20);
  ASSERT_TRUE(twenty);
  choose(RANGE, static_cast<int>(*twenty));
  EXPECT_EQ(storedInt("RANGE"), 20);
  EXPECT_DOUBLE_EQ(rangeNm, 20.0);

  // MAX_FIT_FL shows hours; MAX_FIT stores them as half-hour levels.
  for (const float hours : MAX_FIT_FL.choices) {
    ui::comboAdd(MAX_FIT_FL.hwnd, fmt::format("{:.1f}", hours));
  }
  choose(MAX_FIT_FL, 0);
  EXPECT_FLOAT_EQ(MAX_FIT_FL.value, 0.5F);
  EXPECT_EQ(storedInt("MAX_FIT"), 0);

  choose(MAX_FIT_FL, static_cast<int>(MAX_FIT_FL.choices.size()) - 1);
  EXPECT_EQ(storedInt("MAX_FIT"), 47);
}

TEST_F(UserCommands, ChoosingTheOtherSimulatorScansAgainAndRestartsWithNewSettings) {
  SIM_CHOICE.fillCombo();
  std::filesystem::create_directories(outputFolder);
  writeFile(scannedLiveriesPath, "<root/>");
  SCAN_AIRPORTS.value = false;
  SCAN_LIVERIES.value = false;
  MYSIMADDON24_VERSION.value = std::string{"1.0.0"};
  ALL_INSTALL_PATH.value = std::string{"/sims/2020"};

  choose(SIM_CHOICE, 0);
  EXPECT_FALSE(stopRequested) << "the simulator already chosen";
  EXPECT_TRUE(std::filesystem::exists(scannedLiveriesPath));

  choose(SIM_CHOICE, 1);
  EXPECT_EQ(storedString("SIM_CHOICE"), "MSFS 2024");
  EXPECT_FALSE(msfs2020Mode);
  EXPECT_FALSE(std::filesystem::exists(scannedLiveriesPath));
  for (const CheckBoxParameter* scan : {&SCAN_AIRPORTS, &SCAN_LIVERIES}) {
    EXPECT_TRUE(ui::isChecked(scan->hwnd)) << scan->key;
    EXPECT_EQ(storedBool(scan->key), true) << scan->key;
  }
  EXPECT_EQ(gf_statusText(), "Switching Simulator to MSFS 2024");
  EXPECT_THAT(logBody(), HasSubstr("Switching Simulator to MSFS 2024"));
  EXPECT_EQ(ui::text(ALL_INSTALL_PATH.hwnd), "");
  EXPECT_EQ(storedString("MYSIMADDON24_VERSION"), "");
  EXPECT_EQ(exitReason, ExitReason::newSettings);
  EXPECT_EQ(restartDelaySeconds, 3);
}

TEST_F(UserCommands, AFailedCommandIsLoggedAndTheWindowKeepsWorking) {
  SIM_CHOICE.fillCombo();
  std::filesystem::create_directories(scannedLiveriesPath / "in the way");

  choose(SIM_CHOICE, 1);
  EXPECT_THAT(logBody(), HasSubstr("==> lf_HandleWMCOMMAND exception"));
  EXPECT_FALSE(stopRequested);

  click(flushStaticButton);
  EXPECT_TRUE(flushStaticRequested);
}

TEST_F(UserCommands, ButtonsThatTouchTheAircraftListsLeaveTheWorkToTheWorker) {
  click(flushStaticButton);
  EXPECT_TRUE(flushStaticRequested);
  EXPECT_FALSE(ui::isEnabled(flushStaticButton.hwnd));
  EXPECT_EQ(gf_statusText(), "All static parked aircraft will be removed ...");

  click(rereadButton);
  EXPECT_TRUE(reReadRequested);
  EXPECT_FALSE(ui::isEnabled(rereadButton.hwnd));
  EXPECT_FALSE(ui::isEnabled(DESTINATION.hwnd));

  click(csOidButton);
  EXPECT_TRUE(callsignListRefreshRequested);
  EXPECT_FALSE(ui::isEnabled(blockButton.hwnd));
}

TEST_F(UserCommands, BlockTakesTheLookedUpCallsignAndUnblockGivesItBack) {
  CALLSIGN_2_OBJECTID.fillCombo();
  setLookedUpCallsign("KLM7");
  click(blockButton);
  EXPECT_EQ(BLOCK_CALLSIGN.value, "KLM7");
  EXPECT_EQ(storedString("BLOCK_CALLSIGN"), "KLM7");
  EXPECT_TRUE(ui::isEnabled(unblockButton.hwnd));
  EXPECT_TRUE(blockRequested.exchange(false));
  EXPECT_EQ(CALLSIGN_2_OBJECTID.value, "") << "the lookup is emptied";
  EXPECT_FALSE(ui::isEnabled(blockButton.hwnd));

  setLookedUpCallsign("DLH4");
  click(unblockButton);
  EXPECT_EQ(BLOCK_CALLSIGN.value, "");
  EXPECT_EQ(gf_statusText(), "no more blocking of live aircraft 'KLM7'");
  EXPECT_FALSE(ui::isEnabled(unblockButton.hwnd));
  EXPECT_TRUE(ui::isEnabled(blockButton.hwnd)) << "a callsign is looked up";
  EXPECT_TRUE(blockRequested);

  click(unblockButton);
  EXPECT_EQ(gf_statusText(), "Nothing to block or unblock...");
}

TEST_F(UserCommands, ChoosingAnotherLookedUpCallsignAsksTheWorkerForItsObjectId) {
  setLookedUpCallsign("KLM7");
  *callsignChoices = {"KLM7", "DLH4"};
  CALLSIGN_2_OBJECTID.fillCombo();
  mainWindow.csOidText = std::string{"= 2a"};

  choose(CALLSIGN_2_OBJECTID, 1);
  EXPECT_EQ(CALLSIGN_2_OBJECTID.value, "DLH4");
  EXPECT_EQ(storedString("CALLSIGN_2_OBJECTID"), std::nullopt) << "never saved";
  EXPECT_EQ(mainWindow.csOidText.get(), "");
  EXPECT_TRUE(csOidRequested);
  EXPECT_TRUE(ui::isEnabled(blockButton.hwnd));
}

TEST_F(UserCommands, NowAnnouncesTheStaticParkingUpdateOnlyWithAParkAirportFile) {
  INITIAL_LOAD_ONLY.value = false;
  click(nowButton);
  EXPECT_FALSE(staticUpdateRequested);

  parkAirportFileLoaded = true;
  tickSeconds = 30;
  click(nowButton);
  EXPECT_TRUE(staticUpdateRequested);
  EXPECT_EQ(parkingUpdateCountdown, 20);
  EXPECT_EQ(mainWindow.minutesToParkingUpdate, 20);
  EXPECT_EQ(gf_statusText(), "Corvalen will update static parking in 15 seconds ...");
}

// xdg-open runs the application itself on some desktops and then ends only with it.
TEST_F(UserCommands, TbloNeverMakesTheWindowWaitForTheOpenerAndItsFailureStillReachesTheUser) {
  const auto boxes = ui::shownMessageBoxes().size();
  const std::string failure = "Could not open File Explorer at tblo.zip.";
  {
    const RecordingOpener opener;
    click(tbloButton);  // no archive yet
    EXPECT_FALSE(opener.started());
    ASSERT_EQ(ui::shownMessageBoxes().size(), boxes + 1);
    EXPECT_EQ(ui::shownMessageBoxes().back(), failure);
  }
  std::filesystem::create_directories(tbloFolder);
  writeFile(tbloFolder / tbloZipPath, "PK");
  {
    const RecordingOpener stillRunning{0, RecordingOpener::End::whenLetGo};
    const auto clicked = std::chrono::steady_clock::now();
    click(tbloButton);
    EXPECT_LT(std::chrono::steady_clock::now() - clicked, std::chrono::seconds{2}) << "the window waited";
    EXPECT_TRUE(std::filesystem::equivalent(stillRunning.openedPath(), tbloFolder / tbloZipPath));
    EXPECT_EQ(ui::shownMessageBoxes().size(), boxes + 1);
  }
  const RecordingOpener failing{4};
  click(tbloButton);
  EXPECT_TRUE(eventually([&] { return ui::shownMessageBoxes().size() == boxes + 2; }));
  EXPECT_EQ(ui::shownMessageBoxes().back(), failure);
}

TEST_F(UserCommands, TheWorkerSetsTheNavLightsOfTheParkedAircraftOnly) {
  NAV_LIGHTS_WHILE_PARKED.value = false;
  gf_showCheckBox(NAV_LIGHTS_WHILE_PARKED);
  IdentityTexts texts;
  AcIdentity identity{texts};
  for (const auto& [objectId, state] : {std::pair{300U, AcState::active}, std::pair{301U, AcState::adding2sim}}) {
    StaticAc aircraft{identity, 0, {}, false};
    aircraft.objectId = objectId;
    aircraft.state = state;
    staticAcs.push_back(std::move(aircraft));
  }
  addLiveAircraft("KLM7", AcState::active, AcPhase::parked);
  liveAcs.back().objectId = 400;
  addLiveAircraft("DLH4", AcState::active, AcPhase::taxi);
  liveAcs.back().objectId = 401;

  click(NAV_LIGHTS_WHILE_PARKED);
  EXPECT_TRUE(simSendQueues.clientEvents.empty()) << "the UI thread leaves the lists alone";
  gf_serveUserCommandRequests();
  gf_serveUserCommandRequests();

  EXPECT_EQ(simSendQueues.clientEvents,
            (std::vector<ClientEventItem>{{300, NAV_LIGHTS_SET, 1}, {400, NAV_LIGHTS_SET, 1}}));
}

}  // namespace
}  // namespace cvl::test

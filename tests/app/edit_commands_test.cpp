#include "app/edit_commands.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "command_fixture.h"

namespace cvl::test {
namespace {

using testing::HasSubstr;

using EditCommands = CommandTest;

TEST_F(EditCommands, ABlockedCallsignIsStoredInCapitalsAndARejectedOneGivesTheFieldItsValueBack) {
  enter(BLOCK_CALLSIGN, "abc");
  EXPECT_EQ(gf_statusText(), "callsign 'abc' is not valid");
  EXPECT_EQ(ui::text(BLOCK_CALLSIGN.hwnd), "");

  enter(BLOCK_CALLSIGN, "klm123");
  EXPECT_EQ(BLOCK_CALLSIGN.value, "KLM123");
  EXPECT_EQ(storedString("BLOCK_CALLSIGN"), "KLM123");
  EXPECT_EQ(ui::text(BLOCK_CALLSIGN.hwnd), "KLM123");
  EXPECT_TRUE(ui::isEnabled(unblockButton.hwnd));
  EXPECT_TRUE(blockRequested.exchange(false));
  EXPECT_EQ(gf_statusText(), "");

  enter(BLOCK_CALLSIGN, "klm123");
  EXPECT_EQ(gf_statusText(), "callsign 'KLM123' was already set ...");
  enter(BLOCK_CALLSIGN, "toolongcallsign");
  EXPECT_EQ(ui::text(BLOCK_CALLSIGN.hwnd), "KLM123");
  EXPECT_FALSE(blockRequested);

  enter(BLOCK_CALLSIGN, "");
  EXPECT_EQ(BLOCK_CALLSIGN.value, "");
  EXPECT_EQ(gf_statusText(), "no more blocking of live aircraft 'KLM123'");
  EXPECT_THAT(logBody(), HasSubstr("no more blocking of live aircraft 'KLM123'"));
  EXPECT_FALSE(ui::isEnabled(unblockButton.hwnd));
  EXPECT_TRUE(blockRequested);
}

TEST_F(EditCommands, BlockingTheLookedUpCallsignEndsTheLookup) {
  setLookedUpCallsign("DLH44");
  enter(BLOCK_CALLSIGN, "dlh44");
  EXPECT_EQ(BLOCK_CALLSIGN.value, "DLH44");
  EXPECT_EQ(CALLSIGN_2_OBJECTID.value, "");
  EXPECT_FALSE(ui::isEnabled(CALLSIGN_2_OBJECTID.hwnd));
}

TEST_F(EditCommands, AKnownDestinationIsStoredAndTheWorkerPutsItFirst) {
  AirportList = {Airport{"EGLL", "LHR", 51.47, -0.45, 83.0, 1}, Airport{"EHAM", "AMS", 52.31, 4.76, -11.0, 1}};
  parkAirports = {ParkAirport{"EGLL", "", 51.47, -0.45, 0.0}};
  DESTINATION.value = std::string{"LFPG"};

  enter(DESTINATION, "eham");
  EXPECT_EQ(DESTINATION.value, "EHAM");
  EXPECT_EQ(storedString("DESTINATION"), "EHAM");
  EXPECT_EQ(gf_statusText(), "New destination: EHAM");
  EXPECT_FALSE(ui::isEnabled(rereadButton.hwnd));
  EXPECT_EQ(parkAirports.front().code, "EGLL") << "the list belongs to the worker";

  gf_serveUserCommandRequests();
  ASSERT_EQ(parkAirports.size(), 2U);
  EXPECT_EQ(parkAirports.front().code, "EHAM");
  EXPECT_DOUBLE_EQ(parkAirports.front().latitude, 52.31);
  EXPECT_EQ(parkAirports.front().reservedStand, "");

  enter(DESTINATION, "egll");
  gf_serveUserCommandRequests();
  ASSERT_EQ(parkAirports.size(), 2U) << "an airport of the list moves to the head";
  EXPECT_EQ(parkAirports.front().code, "EGLL");

  enter(DESTINATION, "EGLL");
  EXPECT_EQ(gf_statusText(), "destination 'EGLL' was already set ...");
}

TEST_F(EditCommands, ARejectedDestinationLeavesTheSettingAndTheFieldAsTheyWere) {
  AirportList = {Airport{"EHAM", "AMS", 52.31, 4.76, -11.0, 1}};
  DESTINATION.value = std::string{"EHAM"};

  enter(DESTINATION, "EHA");
  EXPECT_EQ(gf_statusText(), "destination 'EHA' is not valid");
  EXPECT_EQ(ui::text(DESTINATION.hwnd), "EHAM");
  enter(DESTINATION, "zzzz");
  EXPECT_EQ(gf_statusText(), "destination 'ZZZZ' is unknown ...");
  EXPECT_EQ(DESTINATION.value, "EHAM");
  EXPECT_EQ(storedString("DESTINATION"), std::nullopt);
}

TEST_F(EditCommands, AnEmptiedDestinationIsForgottenInMemoryOnly) {
  AirportList = {Airport{"EHAM", "AMS", 52.31, 4.76, -11.0, 1}};
  enter(DESTINATION, "EHAM");
  enter(DESTINATION, "");
  EXPECT_EQ(DESTINATION.value, "");
  EXPECT_EQ(storedString("DESTINATION"), "EHAM");
  EXPECT_EQ(gf_statusText(), "destination set to empty");
  EXPECT_TRUE(ui::isEnabled(rereadButton.hwnd));

  gf_serveUserCommandRequests();
  EXPECT_TRUE(parkAirports.empty()) << "a destination emptied before the worker served it";
}

class InstallPath : public EditCommands {
 protected:
  void SetUp() override {
    EditCommands::SetUp();
    simFolder = std::filesystem::current_path() / "sim";
    std::filesystem::create_directories(simFolder / "Community");
    std::filesystem::create_directories(std::filesystem::current_path() / "other");
  }
  std::filesystem::path simFolder;
};

TEST_F(InstallPath, TheFolderThatHoldsCommunityIsStoredForTheChosenSimulatorAndTheRunRestarts) {
  msfs2020Mode = false;
  gf_setErrorLine("150: No install path detected");

  enter(ALL_INSTALL_PATH, simFolder.string());
  EXPECT_EQ(storedString("MSFS_2024_INSTALL_PATH"), simFolder.string());
  EXPECT_EQ(storedString("MSFS_INSTALL_PATH"), std::nullopt);
  EXPECT_EQ(gf_errorText(), "");
  EXPECT_EQ(gf_statusText(), "Community path found, Corvalen will restart ...");
  EXPECT_EQ(exitReason, ExitReason::newSettings);
  EXPECT_EQ(restartDelaySeconds, 3);
}

TEST_F(InstallPath, TheCommunityFolderItselfStoresItsParent) {
  gf_requestExit(ExitReason::readerError, 15);

  enter(ALL_INSTALL_PATH, (simFolder / "Community").string());
  EXPECT_EQ(MSFS_INSTALL_PATH.value, simFolder.string());
  EXPECT_EQ(exitReason, ExitReason::readerError) << "the pending stop keeps its reason";
  EXPECT_EQ(restartDelaySeconds, 15);
}

TEST_F(InstallPath, APathWithoutCommunityIsRejectedAndAnEmptyOneEmptiesTheSetting) {
  enter(ALL_INSTALL_PATH, (std::filesystem::current_path() / "other").string());
  EXPECT_EQ(gf_statusText(), "This path exists but is not a path to Community ...");

  enter(ALL_INSTALL_PATH, (simFolder / "Community").string() + "/");
  EXPECT_EQ(gf_statusText(), "This path exists but is not a path to Community ...") << "a trailing separator";

  const std::string missing = (std::filesystem::current_path() / "missing").string();
  enter(ALL_INSTALL_PATH, missing);
  EXPECT_EQ(gf_statusText(), "This install path does not exist: " + missing);
  EXPECT_EQ(MSFS_INSTALL_PATH.value, "");
  EXPECT_FALSE(stopRequested);

  MSFS_INSTALL_PATH.value = simFolder.string();
  enter(ALL_INSTALL_PATH, "");
  EXPECT_EQ(storedString("MSFS_INSTALL_PATH"), "") << "an empty path empties the setting, without a restart";
  EXPECT_FALSE(stopRequested);
}

TEST_F(InstallPath, ACommunityPathWithoutAFolderBeforeItsFirstCommunityStoresNothing) {
  const auto misleading = std::filesystem::current_path() / "Communityold" / "Community";
  std::filesystem::create_directories(misleading);
  enter(ALL_INSTALL_PATH, misleading.string());
  enter(ALL_INSTALL_PATH, "Communityold/Community");

  EXPECT_EQ(MSFS_INSTALL_PATH.value, "");
  EXPECT_FALSE(stopRequested);
  const std::string log = logBody();
  EXPECT_THAT(log, HasSubstr("==> lf_editSubclassProc exception lf_newSimPath"));
  EXPECT_NE(log.find("lf_newSimPath"), log.rfind("lf_newSimPath")) << "both refused";
}

}  // namespace
}  // namespace cvl::test

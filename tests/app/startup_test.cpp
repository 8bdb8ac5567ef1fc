#include "app/startup.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/controls.h"
#include "app/run_loop.h"
#include "cycle_folder.h"
#include "foundation/settings_catalogue.h"
#include "foundation/user_error.h"
#include "platform/ui/controls.h"

namespace cvl::test {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view versionCheckFailed = "Downloading version info from my web site failed!";

class StartUpTest : public ::testing::Test {
 protected:
  CycleFolder folder;
};

TEST_F(StartUpTest, OnlyATrailingCommunityFolderIsStrippedAndSaved) {
  const auto stripped = [](std::string path) {
    MSFS_INSTALL_PATH.value = std::move(path);
    lf_stripCommunitySuffix(MSFS_INSTALL_PATH);
    return MSFS_INSTALL_PATH.getValue();
  };
  EXPECT_EQ(stripped(R"(D:\MSFS\Community)"), R"(D:\MSFS)");
  EXPECT_NE(folder.settingsFile().find(R"(value="D:\MSFS")"), std::string::npos);
  EXPECT_EQ(stripped("/games/msfs/Community"), "/games/msfs");
  EXPECT_EQ(stripped(R"(D:\Community\Sim\Community)"), R"(D:\Community\Sim)");
  EXPECT_EQ(stripped(R"(\Community)"), "");

  const auto saved = folder.settingsFile();
  EXPECT_EQ(stripped(R"(D:\Community\Sim)"), R"(D:\Community\Sim)");
  EXPECT_EQ(stripped("Community"), "Community");
  EXPECT_EQ(stripped("/games/MyCommunity"), "/games/MyCommunity");
  EXPECT_EQ(folder.settingsFile(), saved);
}

TEST_F(StartUpTest, ProgramFoldersAreMadeAndOldRegcodeGenerationsRemoved) {
  fs::create_directories("output");
  writeFile("input/AIG-regcodes0.xml", "old");
  writeFile("input/AIG-regcodes00.xml", "older");
  writeFile("input/AIG-regcodes.xml", "current");

  lf_prepareFolders();

  for (const char* made :
       {"output/info", "output/errors", "airports/learned/stock", "airports/learned/simaddon",
        "airports/learned/thirdparty", "airports/my_simaddon", "airports/my_thirdparty", "input/my_regcodes"}) {
    EXPECT_TRUE(fs::is_directory(made)) << made;
  }
  EXPECT_FALSE(fs::exists("input/AIG-regcodes0.xml"));
  EXPECT_FALSE(fs::exists("input/AIG-regcodes00.xml"));
  EXPECT_TRUE(fs::exists("input/AIG-regcodes.xml"));
}

TEST_F(StartUpTest, AFileInPlaceOfAProgramFolderIsAnError) {
  writeFile("airports", "not a folder");
  EXPECT_THROW(lf_prepareFolders(), fs::filesystem_error);
}

TEST_F(StartUpTest, AFullStartUpChecksVersionsReadsTheDataAndLooksForRealTraffic) {
  lf_startUp();

  EXPECT_NE(folder.log().find(versionCheckFailed), std::string::npos);
  EXPECT_TRUE(dataFilesLoaded);
  EXPECT_EQ(ALL_INSTALL_PATH.getValue(), folder.installPath().string());
  EXPECT_FALSE(realTrafficDetected);
  EXPECT_EQ(gf_statusText(), "RealTraffic not detected at this PC");
  EXPECT_NE(weekTimeNow.load(), 0U);
  EXPECT_FALSE(gf_stopping());
}

TEST_F(StartUpTest, UpdateFailuresStayOnTheStatusLineThroughTheStartUp) {
  writeFile(folder.sitePath() / "versions.json",
            R"({"msfs": {"major": 11, "minor": 10, "patch": 3}, "aig": {"major": 2, "minor": 0, "patch": 0},
                "dbase": {"major": 2, "minor": 0, "patch": 0}})");
  fs::create_directories(folder.sitePath() / "11");
  writeFile(folder.sitePath() / "11" / "AIG-regcodes.enc", "not sealed");
  writeFile(folder.sitePath() / "11" / "dbase.enc", "not sealed");

  lf_startUp();

  const std::string aigFailure = "aig update to 2.0.0 failed, input/AIG-regcodes.enc not installed";
  const std::string dbaseFailure = "dbase update to 2.0.0 failed, input/dbase.enc left as it was";
  EXPECT_EQ(gf_statusText(), aigFailure + " | " + dbaseFailure + " | RealTraffic not detected at this PC");
  EXPECT_NE(folder.log().find("==> " + aigFailure + "\n"), std::string::npos) << folder.log();
  EXPECT_NE(folder.log().find("==> " + dbaseFailure + "\n"), std::string::npos);
  EXPECT_TRUE(dataFilesLoaded);  // the start-up went on with the file there
}

TEST(StartUpRangeTest, TheStoredRadiusIsInUseFromTheStart) {
  CycleFolder folder{true, R"(<parameter name="RANGE" value="10"/><parameter name="AUTO_RANGE" value="0"/>)"};

  lf_startUp();

  EXPECT_EQ(RANGE.value, 10);
  EXPECT_DOUBLE_EQ(rangeNm.load(), 10.0);
  EXPECT_EQ(rangeMetres.load(), 18520);
}

TEST_F(StartUpTest, RealTrafficCountsAsInstalledWhenItsJarExists) {
  fs::create_directories(folder.roamingFolder() / "InsideSystems");
  writeFile(folder.roamingFolder() / "InsideSystems" / "RealTraffic.jar", "");

  lf_startUp();

  EXPECT_TRUE(realTrafficDetected);
  EXPECT_EQ(gf_statusText(), "RealTraffic detected at this PC");
}

TEST_F(StartUpTest, ARestartedCycleSkipsTheVersionCheck) {
  restartPending = true;
  lf_startUp();
  EXPECT_EQ(folder.log().find(versionCheckFailed), std::string::npos);
}

TEST_F(StartUpTest, ProductionModeEndsTheProgramAfterAFullStartUp) {
  productionMode = true;

  lf_startUp();

  EXPECT_TRUE(closeRequested);
  EXPECT_TRUE(stopRequested);
  EXPECT_EQ(exitReason, ExitReason::userClosedSim);
  EXPECT_EQ(folder.log().find("RealTraffic"), std::string::npos);
}

TEST_F(StartUpTest, WithoutAnyInstallPathTheUserIsAskedToTypeOne) {
  writeFile(folder.settingsFolder() / "parameters.xml", "<root><parameters/></root>");
  try {
    lf_startUp();
    FAIL() << "the start-up went on without an install path";
  } catch (const UserErrorException& failure) {
    EXPECT_STREQ(failure.what(),
                 "150: No install path detected, type full path to your Community folder above, and press Enter");
  }
}

TEST_F(StartUpTest, UnreadableDataFilesFailAndAreReadAgainByTheNextCycle) {
  gf_writeSealedDataFile("input/dbase.enc", "<root><aircrafts>");

  EXPECT_THROW(
      {
        try {
          lf_startUp();
        } catch (const std::runtime_error& failure) {
          EXPECT_STREQ(failure.what(), "reading data files failed!");
          throw;
        }
      },
      std::runtime_error);
  EXPECT_FALSE(dataFilesLoaded);

  gf_writeSealedDataFile("input/dbase.enc", readFile(sampleDataFolder() / "dbase.xml"));
  lf_startUp();
  EXPECT_TRUE(dataFilesLoaded);
}

// The controls of the settings the table of working states depends on, on a headless window.
class EnableControlsTest : public StartUpTest {
 protected:
  void SetUp() override {
    window_ = ui::createWindow({"CRVL", {0, 0, 880, 516}, [](auto...) { return ui::LResult{0}; }});
    bind(RANGE, ui::ControlKind::comboBox);
    bind(AR_ABOVE_HEIGHT, ui::ControlKind::comboBox);
    bind(parking_percentage, ui::ControlKind::comboBox);
    bind(MAX_FIT_FL, ui::ControlKind::comboBox);
    bind(unblockButton, ui::ControlKind::pushButton);
    bind(nowButton, ui::ControlKind::pushButton);
  }
  void TearDown() override {
    for (OptionControl* control : bound_) {
      control->hwnd = ui::noHandle;
    }
    ui::destroyWindow(window_);
  }

  void bind(OptionControl& control, ui::ControlKind kind) {
    control.hwnd = ui::createControl(window_, {kind, control.controlId, {0, 0, 100, 20}, "", true, 100, {}});
    bound_.push_back(&control);
  }

 private:
  ScopedEnvironment headless_{"CORVALEN_UI", "headless"};
  ui::Handle window_ = ui::noHandle;
  std::vector<OptionControl*> bound_;
};

TEST_F(EnableControlsTest, TheRangeControlsFollowAutoRange) {
  AUTO_RANGE.value = true;
  lf_enableControls();
  EXPECT_FALSE(ui::isEnabled(RANGE.hwnd));
  EXPECT_TRUE(ui::isEnabled(AR_ABOVE_HEIGHT.hwnd));

  AUTO_RANGE.value = false;
  lf_enableControls();
  EXPECT_TRUE(ui::isEnabled(RANGE.hwnd));
  EXPECT_FALSE(ui::isEnabled(AR_ABOVE_HEIGHT.hwnd));
}

TEST_F(EnableControlsTest, ParkingControlsStartDisabledWithTheirStartValues) {
  MAX_FIT.value = 9;
  INITIAL_LOAD_ONLY.value = false;
  BLOCK_CALLSIGN.value = std::string{};

  lf_enableControls();

  EXPECT_FALSE(ui::isEnabled(parking_percentage.hwnd));
  EXPECT_EQ(parking_percentage.value, 30);
  const auto percentages = ui::comboItems(parking_percentage.hwnd);
  EXPECT_EQ(percentages.at(static_cast<std::size_t>(ui::comboSelectedIndex(parking_percentage.hwnd))), "30");
  EXPECT_FALSE(ui::isEnabled(MAX_FIT_FL.hwnd));
  const auto hours = ui::comboItems(MAX_FIT_FL.hwnd);
  EXPECT_EQ(hours.front(), "0.5");
  EXPECT_EQ(hours.back(), "24.0");
  EXPECT_EQ(MAX_FIT_FL.value, 5.0F);
  EXPECT_EQ(hours.at(static_cast<std::size_t>(ui::comboSelectedIndex(MAX_FIT_FL.hwnd))), "5.0");
  EXPECT_FALSE(ui::isEnabled(nowButton.hwnd));
  EXPECT_FALSE(ui::isEnabled(unblockButton.hwnd));
}

}  // namespace
}  // namespace cvl::test

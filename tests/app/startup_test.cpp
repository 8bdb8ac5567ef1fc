#include "app/startup.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <gsl/util>
#include <map>
#include <string>
#include <vector>

#include "app/controls.h"
#include "app/run_loop.h"
#include "app/sim_choice.h"
#include "cycle_folder.h"
#include "foundation/constants.h"
#include "foundation/settings_catalogue.h"
#include "foundation/user_error.h"
#include "foundation/zip_archive.h"
#include "platform/ui/controls.h"
#include "sceneryscan/folders_before_scan.h"
#include "support/unreadable_file.h"
#include "support/unwritable_folders.h"

namespace cvl::test {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::UnorderedElementsAre;

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

TEST_F(StartUpTest, TheAirportFoldersAKilledScanSetAsideComeBackBeforeAnythingReadsThem) {
  fs::create_directories("airports/my_simaddon");
  fs::create_directories("airports/my_thirdparty/mine");
  writeFile("airports/my_simaddon/EGLL.txt", "archive/simaddon/EGLL.xml\n");
  writeFile("airports/my_thirdparty/EDDF.xml", "from the previous scan");
  writeFile("airports/my_thirdparty/mine/notes.txt", "kept by the user");
  // An MSFS 2020 scan set both folders aside, wrote a part of its files and was killed.
  gf_setFolderAside(mySimAddonFolder);
  gf_setFolderAside(myThirdPartyFolder);
  writeFile("airports/my_thirdparty/EDFB.xml", "written by the killed scan");
  msfs2020Mode = false;  // the next start is for MSFS 2024, which fills my_thirdparty only

  lf_prepareFolders();

  EXPECT_EQ(readFile("airports/my_simaddon/EGLL.txt"), "archive/simaddon/EGLL.xml\n");
  EXPECT_EQ(readFile("airports/my_thirdparty/EDDF.xml"), "from the previous scan");
  EXPECT_EQ(readFile("airports/my_thirdparty/mine/notes.txt"), "kept by the user");
  EXPECT_FALSE(fs::exists("airports/my_thirdparty/EDFB.xml"));
  std::vector<std::string> airportFolders;
  for (const auto& entry : fs::directory_iterator("airports")) {
    airportFolders.push_back(entry.path().filename().string());
  }
  std::sort(airportFolders.begin(), airportFolders.end());
  EXPECT_EQ(airportFolders, (std::vector<std::string>{"learned", "my_simaddon", "my_thirdparty"}))
      << "no set-aside copy remains";
  msfs2020Mode = true;
}

TEST_F(StartUpTest, AWholeFolderAnOlderVersionSetAsideComesBackWhole) {
  // An older version moved each folder aside whole, subfolders included, and a linked folder as the link; its scan
  // was killed after it had written into fresh folders.
  fs::create_directories("airports/my_thirdparty_before_scan/mine");
  writeFile("airports/my_thirdparty_before_scan/EDDF.xml", "from the previous scan");
  writeFile("airports/my_thirdparty_before_scan/mine/notes.txt", "kept by the user");
  fs::create_directories("airports/my_thirdparty");
  writeFile("airports/my_thirdparty/EDFB.xml", "written by the killed scan");
  fs::create_directories("elsewhere/simaddon");
  writeFile("elsewhere/simaddon/EGLL.txt", "archive/simaddon/EGLL.xml\n");
  fs::create_directory_symlink(fs::absolute("elsewhere/simaddon"), "airports/my_simaddon_before_scan");
  // my_simaddon itself is gone: a kill came after the folder was removed, before its copy took its place.

  lf_prepareFolders();

  EXPECT_THAT(filesIn("airports/my_thirdparty"), UnorderedElementsAre("EDDF.xml", "mine"));
  EXPECT_EQ(readFile("airports/my_thirdparty/EDDF.xml"), "from the previous scan");
  EXPECT_EQ(readFile("airports/my_thirdparty/mine/notes.txt"), "kept by the user");
  EXPECT_TRUE(fs::is_symlink("airports/my_simaddon"));
  EXPECT_EQ(fs::read_symlink("airports/my_simaddon"), fs::absolute("elsewhere/simaddon"));
  EXPECT_EQ(readFile("elsewhere/simaddon/EGLL.txt"), "archive/simaddon/EGLL.xml\n");
  EXPECT_THAT(filesIn("airports"), UnorderedElementsAre("learned", "my_simaddon", "my_thirdparty"));
}

TEST_F(StartUpTest, AScanKilledWhileItSetTheFoldersAsideLeavesThemAsTheyWere) {
  fs::create_directories("airports/my_simaddon");
  fs::create_directories("airports/my_thirdparty");
  writeFile("airports/my_simaddon/EGLL.txt", "archive/simaddon/EGLL.xml\n");
  writeFile("airports/my_thirdparty/EDDF.xml", "from the previous scan");
  writeFile("airports/my_thirdparty/EGLL.xml", "from the previous scan");
  // my_simaddon was set aside; the copy of my_thirdparty was half made when the process was killed.
  gf_setFolderAside(mySimAddonFolder);
  fs::create_directories("airports/my_thirdparty_before_scan.unfinished");
  fs::copy_file("airports/my_thirdparty/EDDF.xml", "airports/my_thirdparty_before_scan.unfinished/EDDF.xml");

  lf_prepareFolders();

  EXPECT_EQ(readFile("airports/my_simaddon/EGLL.txt"), "archive/simaddon/EGLL.xml\n");
  EXPECT_EQ(readFile("airports/my_thirdparty/EDDF.xml"), "from the previous scan");
  EXPECT_EQ(readFile("airports/my_thirdparty/EGLL.xml"), "from the previous scan");
  EXPECT_EQ(std::distance(fs::directory_iterator("airports"), fs::directory_iterator{}), 3)
      << "learned, my_simaddon and my_thirdparty only";
}

TEST_F(StartUpTest, WhatAKilledUpdateLeftBehindIsRemoved) {
  const auto sealedDbase = readFile("input/dbase.enc");
  for (const char* leftover :
       {"input/dbase.enc.3.download", "input/airports.enc.0.download.xml", "input/AIG-regcodes.enc.xml",
        "versions.json.12.download", "my_simaddon2024.zip.1.download", "my_simaddon2024.zip",
        "setup_Corvalen_d_v11.10.4.zip"}) {
    writeFile(leftover, "partial");
  }
  writeFile("input/notes.download.txt", "the user's");
  writeFile("setup_Corvalen_d_v11.10.4.zip.txt", "the user's");
  // Killed while the new simaddon files were moved in from the unzipped folder, the old ones set aside.
  fs::create_directories("airports/my_simaddon/mine");
  writeFile("airports/my_simaddon/EHAM.txt", "old EHAM");
  writeFile("airports/my_simaddon/mine/notes.txt", "kept by the user");
  gf_setFolderAside(mySimAddonFolder);
  fs::create_directories("airports/my_simaddon_unzipped");
  writeFile("airports/my_simaddon_unzipped/EDDF.txt", "new EDDF");
  writeFile("airports/my_simaddon/EDDM.txt", "new EDDM");

  lf_prepareFolders();

  EXPECT_THAT(filesIn("input"), UnorderedElementsAre("dbase.enc", "airports.enc", "notes.download.txt", "my_regcodes"));
  EXPECT_EQ(readFile("input/dbase.enc"), sealedDbase);
  EXPECT_FALSE(fs::exists("versions.json.12.download"));
  for (const char* leftover :
       {"my_simaddon2024.zip.1.download", "my_simaddon2024.zip", "setup_Corvalen_d_v11.10.4.zip"}) {
    EXPECT_FALSE(fs::exists(leftover)) << leftover;
  }
  EXPECT_TRUE(fs::exists("setup_Corvalen_d_v11.10.4.zip.txt"));
  EXPECT_THAT(filesIn("airports/my_simaddon"), UnorderedElementsAre("EHAM.txt", "mine"));  // the old files are back
  EXPECT_EQ(readFile("airports/my_simaddon/mine/notes.txt"), "kept by the user");
  EXPECT_THAT(filesIn("airports"), UnorderedElementsAre("learned", "my_simaddon", "my_thirdparty"));

  // Killed after the new files were in place, before the unzipped folder went: the files in place stay.
  fs::create_directories("airports/my_simaddon_unzipped");
  lf_prepareFolders();
  EXPECT_THAT(filesIn("airports/my_simaddon"), UnorderedElementsAre("EHAM.txt", "mine"));
  EXPECT_FALSE(fs::exists("airports/my_simaddon_unzipped"));
}

// The maker's site offers simaddon 1.2.0, a zip of one airport.
void offerSimAddonUpdate(const CycleFolder& folder) {
  writeFile(folder.sitePath() / "versions.json",
            R"({"msfs": {"major": 11, "minor": 10, "patch": 3}, "simaddon": {"major": 1, "minor": 2, "patch": 0}})");
  fs::create_directories(folder.sitePath() / "mysimaddon24");
  auto zip = ZipArchive::create(folder.sitePath() / "mysimaddon24" / "my_simaddon2024.zip");
  zip.add("EDDF.cfg", "archive/simaddon/EDDF.xml\n");
  ASSERT_TRUE(zip.close());
}

// An MSFS 2024 user whose airports/my_simaddon cannot be written, with a newer simaddon zip on the site.
TEST(StartUpSimAddonTest, AnUpdateThatCannotWriteTheSimaddonFolderStopsNoLaterStart) {
  CycleFolder folder{true, R"(<parameter name="SIM_CHOICE" value="MSFS 2024"/>)"};
  const auto backTo2020 = gsl::finally([] { msfs2020Mode = true; });
  fs::create_directories("airports/my_simaddon");
  writeFile("airports/my_simaddon/EDDM.txt", "archive/simaddon/EDDM.xml\n");
  offerSimAddonUpdate(folder);
  const ReadOnlyFolder readOnly{"airports/my_simaddon"};
  if (!readOnly.available()) {
    GTEST_SKIP() << "no way to make a folder read-only here";
  }

  lf_startUp();

  EXPECT_NE(folder.log().find("==> simaddon update to 1.2.0 failed, airports/my_simaddon left as it was\n"),
            std::string::npos)
      << folder.log();
  EXPECT_THAT(filesIn("airports"), UnorderedElementsAre("learned", "my_simaddon", "my_thirdparty"));
  EXPECT_THAT(filesIn("airports/my_simaddon"), ElementsAre("EDDM.txt"));

  fs::remove(folder.sitePath() / "versions.json");  // the next start finds the site down
  EXPECT_NO_THROW(lf_startUp());
  EXPECT_EQ(readFile("airports/my_simaddon/EDDM.txt"), "archive/simaddon/EDDM.xml\n");
  EXPECT_EQ(gf_errorText(), "");
}

// Every entry below the folder, links not followed: a file with its bytes, a link with its target text, a folder.
std::map<std::string, std::string> entriesBelow(const fs::path& folder) {
  std::map<std::string, std::string> entries;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    const auto name = entry.path().lexically_relative(folder).string();
    if (entry.is_symlink()) {
      entries[name] = "link to " + fs::read_symlink(entry.path()).string();
    } else if (entry.is_directory()) {
      entries[name] = "folder";
    } else {
      entries[name] = "file " + readFile(entry.path());
    }
  }
  return entries;
}

// An MSFS 2024 user who keeps links in airports/my_simaddon, with a newer simaddon zip on the site.
TEST(StartUpSimAddonTest, LinksInTheSimaddonFolderStayTheLinksTheyWere) {
  CycleFolder folder{true, R"(<parameter name="SIM_CHOICE" value="MSFS 2024"/>)"};
  const auto backTo2020 = gsl::finally([] { msfs2020Mode = true; });
  fs::create_directories("airports/my_simaddon/mine");
  writeFile("airports/my_simaddon/EDDM.txt", "archive/simaddon/EDDM.xml\n");
  writeFile("airports/my_simaddon/mine/notes.txt", "kept by the user");
  fs::create_symlink("mine/notes.txt", "airports/my_simaddon/NOTES.txt");
  fs::create_directories("elsewhere");
  writeFile("elsewhere/EGLL.txt", "archive/simaddon/EGLL.xml\n");
  fs::create_symlink(fs::absolute("elsewhere/EGLL.txt"), "airports/my_simaddon/EGLL.txt");
  fs::create_directory_symlink(fs::absolute("elsewhere"), "airports/my_simaddon/shared");
  fs::create_symlink("gone.txt", "airports/my_simaddon/GONE.txt");
  const auto asItWas = entriesBelow("airports/my_simaddon");
  offerSimAddonUpdate(folder);

  {
    const ReadOnlyFolder readOnly{"airports/my_simaddon"};
    if (!readOnly.available()) {
      GTEST_SKIP() << "no way to make a folder read-only here";
    }
    for (int start = 0; start < 2; ++start) {
      lf_startUp();
      EXPECT_EQ(entriesBelow("airports/my_simaddon"), asItWas);
      EXPECT_THAT(filesIn("airports"), UnorderedElementsAre("learned", "my_simaddon", "my_thirdparty"))
          << "the copy of what the folder still holds goes";
    }
    EXPECT_NE(folder.log().find("==> simaddon update to 1.2.0 failed, airports/my_simaddon left as it was\n"),
              std::string::npos);
    EXPECT_EQ(folder.log().find("Could not give back"), std::string::npos) << folder.log();
  }

  // Writable again, the update is killed after it set the files aside and put its own in: the next start, with the
  // site down, gives back every file and link.
  gf_setFolderAside(mySimAddonFolder);
  writeFile("airports/my_simaddon/EDDF.txt", "archive/simaddon/EDDF.xml\n");
  fs::remove(folder.sitePath() / "versions.json");
  lf_startUp();
  EXPECT_EQ(entriesBelow("airports/my_simaddon"), asItWas);
  EXPECT_THAT(filesIn("airports"), UnorderedElementsAre("learned", "my_simaddon", "my_thirdparty"));
}

// A kill while the folder's files were being taken out, or put back, can leave a link there whose file is gone, under a
// name the copy holds: the next start gives the folder back whole all the same.
TEST_F(StartUpTest, ALinkAKillLeftLeadingNowhereIsGivenBackAsItWas) {
  fs::create_directories("airports/my_simaddon");
  writeFile("airports/my_simaddon/EDDM.txt", "archive/simaddon/EDDM.xml\n");
  fs::create_symlink("EDDM.txt", "airports/my_simaddon/MUC.txt");
  const auto asItWas = entriesBelow("airports/my_simaddon");
  gf_setFolderAside(mySimAddonFolder);
  fs::create_symlink("EDDM.txt", "airports/my_simaddon/MUC.txt");  // back before its file, when the kill came

  for (int start = 0; start < 2; ++start) {
    lf_prepareFolders();
    EXPECT_EQ(entriesBelow("airports/my_simaddon"), asItWas);
    EXPECT_THAT(filesIn("airports"), UnorderedElementsAre("learned", "my_simaddon", "my_thirdparty"));
  }
  EXPECT_EQ(folder.log().find("Could not give back"), std::string::npos) << folder.log();
}

// An MSFS 2024 user with a file in airports/my_simaddon, and a newer simaddon zip on the site.
class SimAddonUpdateAtStartUp : public ::testing::Test {
 protected:
  SimAddonUpdateAtStartUp() {
    fs::create_directories("airports/my_simaddon");
    writeFile("airports/my_simaddon/EDDM.txt", "archive/simaddon/EDDM.xml\n");
    offerSimAddonUpdate(folder);
  }
  ~SimAddonUpdateAtStartUp() override { msfs2020Mode = true; }

  CycleFolder folder{true, R"(<parameter name="SIM_CHOICE" value="MSFS 2024"/>)"};
};

// Another file there is kept by another user to himself: the update cannot set the folder's files aside, says which
// file it could not read, and leaves the folder as it was with no copy beside it.
TEST_F(SimAddonUpdateAtStartUp, AFileInTheSimaddonFolderTheUserMayNotReadIsNamedAndTheFolderStaysWhole) {
  writeFile("airports/my_simaddon/EGLL.txt", "archive/simaddon/EGLL.xml\n");
  const UnreadableFile keptToHimself{"airports/my_simaddon/EGLL.txt"};
  if (!keptToHimself.available()) {
    GTEST_SKIP() << "no way to make a file unreadable here";
  }

  lf_startUp();

  const auto log = folder.log();
  EXPECT_NE(log.find("==> airports/my_simaddon/EGLL.txt could not be read (Permission denied)\n"), std::string::npos)
      << log;
  EXPECT_NE(log.find("==> simaddon update to 1.2.0 failed, airports/my_simaddon left as it was\n"), std::string::npos);
  EXPECT_THAT(filesIn("airports"), UnorderedElementsAre("learned", "my_simaddon", "my_thirdparty"));
  EXPECT_THAT(filesIn("airports/my_simaddon"), UnorderedElementsAre("EDDM.txt", "EGLL.txt"));
  EXPECT_EQ(readFile("airports/my_simaddon/EDDM.txt"), "archive/simaddon/EDDM.xml\n");
}

TEST_F(StartUpTest, FilesSetAsideThatCannotBeGivenBackStayAndTheStartUpGoesOn) {
  fs::create_directories("airports/my_simaddon");
  writeFile("airports/my_simaddon/EDDF.txt", "archive/simaddon/EDDF.xml\n");
  const ReadOnlyFolder readOnly{"airports/my_simaddon"};
  if (!readOnly.available()) {
    GTEST_SKIP() << "no way to make a folder read-only here";
  }
  const auto setAside = fs::path{"airports/my_simaddon_before_scan"};
  EXPECT_THROW(gf_setFolderAside(mySimAddonFolder), fs::filesystem_error);
  EXPECT_FALSE(fs::exists(setAside)) << "a scan that cannot write the folder leaves no copy";

  // A copy of what the folder still holds, left by an older version's failed update: it goes.
  fs::create_directories(setAside);
  writeFile(setAside / "EDDF.txt", "archive/simaddon/EDDF.xml\n");
  EXPECT_NO_THROW(lf_prepareFolders());
  EXPECT_FALSE(fs::exists(setAside));

  // Files the folder no longer holds: they stay where they are, and the log says why and where.
  fs::create_directories(setAside);
  writeFile(setAside / "EDDM.txt", "archive/simaddon/EDDM.xml\n");
  EXPECT_NO_THROW(lf_prepareFolders());
  EXPECT_EQ(readFile(setAside / "EDDM.txt"), "archive/simaddon/EDDM.xml\n");
  EXPECT_EQ(readFile("airports/my_simaddon/EDDF.txt"), "archive/simaddon/EDDF.xml\n");
  EXPECT_NE(folder.log().find("==> Could not give back airports/my_simaddon_before_scan to airports/my_simaddon: " +
                              readOnly.reason() + "; its files stay there\n"),
            std::string::npos)
      << folder.log();
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
  EXPECT_EQ(gf_statusText(), "RealTraffic not detected at this PC | " + aigFailure + " | " + dbaseFailure);
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
          EXPECT_STREQ(failure.what(), "input/dbase.enc is damaged and will be downloaded again at the next start");
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

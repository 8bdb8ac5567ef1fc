#include "liveries/scan_driver.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "app/main_window.h"
#include "app/sim_choice.h"
#include "app/status_line.h"
#include "foundation/settings_catalogue.h"
#include "foundation/user_error.h"
#include "liveries/liveries_processed.h"
#include "liveries/livery_scan.h"
#include "liveries/livery_tables.h"
#include "liveries/scanned_liveries_file.h"
#include "refdata/data_file_sealing.h"
#include "scan_fixture.h"
#include "sceneryscan/scan_throttle.h"
#include "support/scan_tasks.h"

namespace cvl {
namespace {

namespace fs = std::filesystem;
using test::liveryTexts;
using test::readFile;
using Texts = std::vector<std::string>;

class ScanDriver : public test::LiveryScanTest {
 protected:
  void TearDown() override {
    msfs2020Mode = true;
    liveriesProcessed = false;
    AirlineIndex.clear();
    for (auto& titles : ModelTitles) {
      titles.clear();
    }
    test::LiveryScanTest::TearDown();
  }

  // A folder of the program folder holding one aircraft.cfg of one KLM A320 livery per title.
  fs::path liveryFolder(const std::string& name, const Texts& titles = {}) const {
    const auto path = folder() / name;
    fs::create_directories(path);
    for (const auto& title : titles) {
      write(fs::path{name} / title / "aircraft.cfg",
            fmt::format("[General]\nicao_type_designator = A320\n[fltsim.0]\ntitle = {}\nicao_airline = KLM\n", title));
    }
    return path;
  }

  // The titles written to LiveriesScanned.xml, in file order.
  static Texts writtenTitles() {
    gf_readScannedLiveries();
    Texts titles;
    for (const auto& livery : ScannedLiveries) {
      titles.push_back(livery.title);
    }
    ScannedLiveries.clear();
    return titles;
  }

  test::ScopedEnvironment config_{"XDG_CONFIG_HOME", (fs::current_path() / "config").string()};
};

TEST_F(ScanDriver, TheFindersTakeThePackagesInTheChosenOrderAndUserTrafficLast) {
  const auto community = folder() / "Community";
  // Several packages of one kind, made in no particular order: the first by name is taken, on any file system.
  for (const char* name : {"aig-aitraffic-oci-beta", "x_CVT_aig-aitraffic-oci", "fsltl-traffic-base-f",
                           "fsltl-traffic-base-2", "fsltl-traffic-base", "fsltl-traffic-base-x", "fsltl-traffic-base-b",
                           "justflight-fstraffic-module", "IVAO_MTL", "user-aitraffic-mine", "unrelated"}) {
    fs::create_directories(community / name);
  }
  LiveryFolders folders;
  lf_autoScanAIPackages(community, folders);
  EXPECT_EQ(folders, (LiveryFolders{community / "aig-aitraffic-oci-beta", community / "fsltl-traffic-base",
                                    community / "justflight-fstraffic-module", community / "IVAO_MTL",
                                    community / "user-aitraffic-mine"}));
  EXPECT_NE(log().find(fmt::format("Automatic AIG scan found folder: '{}'\n",
                                   (community / "aig-aitraffic-oci-beta").string())),
            std::string::npos);

  for (const auto& [choice, expected] :
       {std::pair{"MTL", LiveryFolders{community / "IVAO_MTL", community / "user-aitraffic-mine"}},
        std::pair{"JF, AIG", LiveryFolders{community / "justflight-fstraffic-module",
                                           community / "aig-aitraffic-oci-beta", community / "user-aitraffic-mine"}}}) {
    AI_PACKAGE_SELECTOR.value = std::string{choice};
    folders.clear();
    lf_autoScanAIPackages(community, folders);
    EXPECT_EQ(folders, expected) << choice;
  }
  AI_PACKAGE_SELECTOR.value = std::string{"AIG,FSLTL"};
  EXPECT_THROW(lf_autoScanAIPackages(community, folders), std::runtime_error);
}

TEST_F(ScanDriver, ManualFoldersMustExist) {
  lfolder1.value = liveryFolder("one").string();
  lfolder2.value = (folder() / "missing").string();
  LiveryFolders folders;
  try {
    lf_checkLfolders(folders);
    ADD_FAILURE() << "a missing folder is the user's to mend";
  } catch (const UserErrorException& failure) {
    EXPECT_STREQ(failure.what(), "243: the path pointed to by parameter 'lfolder2' does not exist, see Log.txt!");
  }
  EXPECT_NE(log().find(fmt::format("==> lfolder2: '{}' does not exist\n", (folder() / "missing").string())),
            std::string::npos);
  lfolder2.value = std::string{};
  folders.clear();
  lf_checkLfolders(folders);
  EXPECT_EQ(folders, (LiveryFolders{folder() / "one"}));
}

TEST_F(ScanDriver, PrioritizedAirlinesAndTypesKeepOnlyTheirFirstFolder) {
  write("plain.txt", "");
  const LiveryFolders folders{folder() / "missing", liveryFolder("first", {"KLM One"}), folder() / "plain.txt",
                              liveryFolder("second", {"KLM Two", "KLM Three"})};
  ASSERT_EQ(lf_scanLiveryFolders(folders), LiveryScanEnd::saved);
  EXPECT_EQ(writtenTitles(), (Texts{"KLM One"}));
  const auto text = log();
  for (const auto& line : {(folder() / "missing").string() + " does not exist, skipped!",
                           (folder() / "plain.txt").string() + " is not a folder name, skipped!",
                           "1 liverie found in " + (folder() / "first").string(),
                           "2 liveries found in " + (folder() / "second").string(), std::string{"3 in total"}}) {
    EXPECT_NE(text.find(line + "\n"), std::string::npos) << line;
  }

  LIG_PRIORITIZE.value = false;
  ASSERT_EQ(lf_scanLiveryFolders(folders), LiveryScanEnd::saved);
  EXPECT_EQ(writtenTitles(), (Texts{"KLM One", "KLM Three", "KLM Two"}));
}

TEST_F(ScanDriver, TheEleventhFolderSharesTheTenthPriorityAndMissingFoldersTakeNone) {
  LiveryFolders tenAndEleven;
  LiveryFolders missingFirst{folder() / "missing"};
  for (int index = 1; index <= 9; ++index) {
    tenAndEleven.push_back(liveryFolder(fmt::format("empty{}", index)));
    if (index < 9) {
      missingFirst.push_back(tenAndEleven.back());
    }
  }
  for (auto* folders : {&tenAndEleven, &missingFirst}) {
    folders->push_back(liveryFolder("tenth", {"KLM Tenth"}));
    folders->push_back(liveryFolder("eleventh", {"KLM Eleventh"}));
  }
  ASSERT_EQ(lf_scanLiveryFolders(tenAndEleven), LiveryScanEnd::saved);
  EXPECT_EQ(writtenTitles(), (Texts{"KLM Eleventh", "KLM Tenth"}));
  ASSERT_EQ(lf_scanLiveryFolders(missingFirst), LiveryScanEnd::saved);
  EXPECT_EQ(writtenTitles(), (Texts{"KLM Tenth"}));
}

TEST_F(ScanDriver, AFruitlessScanKeepsThePreviousLiveriesFile) {
  write(scannedLiveriesPath, "previous");
  mainWindow.liveryCount = 5;
  EXPECT_EQ(lf_scanLiveryFolders({liveryFolder("empty")}), LiveryScanEnd::nothingFound);
  EXPECT_EQ(mainWindow.liveryCount.load(), 0U);
  EXPECT_EQ(readFile(scannedLiveriesPath), "previous");

  LIG_AUTOMATIC.value = false;
  lfolder0.value = liveryFolder("empty").string();
  try {
    gf_scanLiveries();
    ADD_FAILURE() << "nothing found";
  } catch (const UserErrorException& failure) {
    EXPECT_STREQ(failure.what(), "53: no liveries found");
  }
  EXPECT_TRUE(SCAN_LIVERIES.value) << "the next start-up scans again";
}

TEST_F(ScanDriver, AutomaticModeWithoutCommunityFolderFindsNoPackages) {
  MSFS_INSTALL_PATH.value = (folder() / "packages").string();
  try {
    gf_scanLiveries();
    ADD_FAILURE() << "no packages";
  } catch (const UserErrorException& failure) {
    EXPECT_EQ(std::string{failure.what()}.substr(0, 4), "43: ");
  }
  EXPECT_TRUE(SCAN_LIVERIES.value);
}

TEST_F(ScanDriver, AStopEndsTheScanWithoutWritingAndTheScanStaysDue) {
  LIG_AUTOMATIC.value = false;
  lfolder0.value = liveryFolder("one", {"KLM One"}).string();
  stopRequested = true;
  EXPECT_EQ(lf_scanLiveryFolders({folder() / "one"}), LiveryScanEnd::stopped);
  EXPECT_FALSE(fs::exists(scannedLiveriesPath));
  EXPECT_TRUE(ScannedLiveries.empty());
  gf_scanLiveries();
  EXPECT_TRUE(SCAN_LIVERIES.value);

  // The next scan is not troubled by what the stopped one left.
  stopRequested = false;
  ASSERT_EQ(lf_scanLiveryFolders({folder() / "one"}), LiveryScanEnd::saved);
  EXPECT_EQ(writtenTitles(), (Texts{"KLM One"}));
}

TEST_F(ScanDriver, AScanStoppedInTheMiddleSaysSoAndRunsAgainAtTheNextStart) {
  LIG_AUTOMATIC.value = false;
  lfolder0.value = liveryFolder("one", {"KLM One", "KLM Two"}).string();
  hardwareThreads = 1;
  // The only task slot is held by a reader stuck in its read: the walk waits for a slot at its first file.
  std::promise<void> release;
  gf_startScanTask([go = release.get_future().share()] { go.wait(); });
  auto scan = std::async(std::launch::async, gf_scanLiveries);
  std::this_thread::sleep_for(std::chrono::milliseconds{100});  // time enough for the walk to reach its first file
  stopRequested = true;
  const bool ended = scan.wait_for(std::chrono::seconds{30}) == std::future_status::ready;
  EXPECT_TRUE(ended) << "the stop waited for the stuck reader";
  release.set_value();
  scan.get();
  test::waitForScanTasks();

  EXPECT_NO_THROW(gf_processScannedLiveries()) << "no error 51 for the file the stopped scan did not write";
  EXPECT_TRUE(SCAN_LIVERIES.value);
  EXPECT_FALSE(fs::exists(scannedLiveriesPath));
  const auto text = log();
  EXPECT_NE(text.find("Liveries scan stopped, it runs again at the next start\n"), std::string::npos) << text;
  EXPECT_EQ(text.find("found in"), std::string::npos) << "no count of a part of the folder";
}

TEST_F(ScanDriver, ALiveriesFileThatCannotBeSavedSaysWhyAndKeepsTheScanDue) {
  LIG_AUTOMATIC.value = false;
  lfolder0.value = liveryFolder("one", {"KLM One"}).string();
  write(scannedLiveriesPath / "in the way", "");  // a folder no file can replace
  const std::string why{"output/LiveriesScanned.xml could not be saved (Is a directory), the liveries scan stays due"};

  // A first scan leaves no liveries to go on with: the error line says why, not that the file is missing.
  try {
    gf_scanLiveries();
    ADD_FAILURE() << "no liveries to go on with";
  } catch (const UserErrorException& failure) {
    EXPECT_EQ(failure.what(), why);
  }
  EXPECT_EQ(gf_statusText(), why);
  EXPECT_TRUE(SCAN_LIVERIES.value);
  EXPECT_TRUE(fs::exists(scannedLiveriesPath / "in the way"));
  const auto text = log();
  EXPECT_EQ(text.find("liveries in output/LiveriesScanned.xml"), std::string::npos);
  EXPECT_NE(text.find("==> " + why + "\n"), std::string::npos) << text;
}

// The sample AI package of the source tree with the sample reference data, scanned automatically and built into the
// livery tables as a start-up does.
TEST_F(ScanDriver, TheSamplePackageScansIntoTheLiveryTables) {
  test::LiveryScanTest::TearDown();  // the sample's own reference data instead of the small tables
  const auto sample = test::sampleDataFolder();
  fs::create_directories(inputFolder);
  gf_writeSealedDataFile(dbaseEncPath, readFile(sample / "dbase.xml"));
  gf_writeSealedDataFile(aigRegcodesEncPath, readFile(sample / "AIG-regcodes.xml"));
  fs::copy(sample / "my_regcodes", myRegcodesFolder);
  ASSERT_TRUE(gf_readDbase());
  MSFS_INSTALL_PATH.value = (sample / "aipackage").string();

  gf_scanLiveries();
  EXPECT_FALSE(SCAN_LIVERIES.value);
  const auto text = log();
  EXPECT_NE(text.find("liveries scan automatic starts"), std::string::npos);
  EXPECT_NE(text.find("Automatic IVAO_MTL scan found folder: "), std::string::npos);
  EXPECT_NE(text.find("Automatic user-aitraffic scan found folder: "), std::string::npos);
  EXPECT_NE(text.find("liveries scan ends"), std::string::npos);
  EXPECT_EQ(readFile(fixesReportPath),
            fmt::format("Model fix: B77F found in {} changed into B77L\n",
                        (sample / "aipackage/Community/user-aitraffic-sample/SimObjects/Airplanes/Sample_B77F/"
                                  "aircraft.cfg")
                            .string()));

  gf_processScannedLiveries();
  EXPECT_EQ(mainWindow.liveryCount.load(), 21U);
  const auto airlineTitles = [](const std::string& airline, const std::string& type) {
    Texts titles;
    for (const auto& stored : AirlineIndex.at(airline).at(type)) {
      titles.push_back(stored.title + (stored.cargo ? " (cargo)" : ""));
    }
    return titles;
  };
  EXPECT_EQ(airlineTitles("DLH", "A320"),
            (Texts{"Sample Airbus A320 Lufthansa", "Sample Airbus A320 Lufthansa Fanhansa"}));
  EXPECT_EQ(airlineTitles("DLH", "A20N"),
            (Texts{"Sample Airbus A320neo Lufthansa", "Sample Airbus A320neo Lufthansa Star Livery"}));
  EXPECT_EQ(airlineTitles("DLH", "A321"), (Texts{"Sample Airbus A321 Lufthansa"}));
  EXPECT_EQ(airlineTitles("AUA", "A320"), (Texts{"A320 AUA Sample Austrian"}));
  EXPECT_EQ(airlineTitles("GEC", "B77L"), (Texts{"Sample Boeing 777F Lufthansa Cargo (cargo)"}));
  EXPECT_EQ(airlineTitles("PVT", "C172"), (Texts{"Sample Cessna 172 Private White"}));
  EXPECT_FALSE(AirlineIndex.contains("ZZZ")) << "the generic livery is listed as not to be used";
  EXPECT_EQ(ModelTitles.at(cargoTitles).at("B77L").size(), 2U);
  EXPECT_TRUE(liveriesProcessed);

  // A restart empties the header's count; the next start-up keeps the tables and shows their count again.
  gf_resetMainWindow();
  gf_processScannedLiveries();
  EXPECT_EQ(mainWindow.liveryCount.load(), 21U);
}

}  // namespace
}  // namespace cvl

#include "sceneryscan/addon_airport_scan.h"

#include <chrono>
#include <filesystem>
#include <future>
#include <string>
#include <vector>

#include "app/exit_reasons.h"
#include "app/main_window.h"
#include "app/status_line.h"
#include "app/worker_thread.h"
#include "bglgen/bgl_writer.h"
#include "foundation/constants.h"
#include "foundation/settings_catalogue.h"
#include "generated_file.h"
#include "scan_fixture.h"
#include "sceneryscan/scan_log.h"
#include "sceneryscan/scan_throttle.h"
#include "sceneryscan/tblo_archive.h"
#include "support/scan_tasks.h"
#include "support/unreadable_file.h"
#include "support/unwritable_folders.h"

namespace cvl::test {
namespace {

namespace fs = std::filesystem;

class AddonAirportScanTest : public SceneryScanTest {
 protected:
  AddonAirportScanTest() {
    fs::create_directories(root() / "Community");
    fs::create_directories(root() / "Official");
    fs::create_directories(roaming() / "Corvalen");  // the settings folder
    MSFS_INSTALL_PATH.value = root().string();
    MSFS_2024_INSTALL_PATH.value = root().string();
    SCAN_AIRPORTS.value = true;
    hardwareThreads = 4;
    scanSlotsInUse = 0;
  }
  ~AddonAirportScanTest() override {
    MSFS_INSTALL_PATH.value = std::string{};
    MSFS_2024_INSTALL_PATH.value = std::string{};
    stopRequested = false;
    tbloReady = 0;
    hardwareThreads = 0;
    scanSlotsInUse = 0;
    mainWindow.resetDisplayValues();
  }

  fs::path root() const { return folder() / "sim"; }
  fs::path community() const { return root() / "Community"; }

  // A BGL file with one airport of one gate.
  static std::string airportFile(const std::string& ident) {
    bglgen::Parking gate;
    gate.latitude = 50.0;
    gate.longitude = 8.5;
    bglgen::Airport airport;
    airport.ident = ident;
    airport.parkings = {gate};
    return bglgen::airportsFile({airport});
  }
  std::string scanLogFile() const { return readFile(folder() / "output" / "info" / "AirportsScanLog.txt"); }
};

TEST_F(AddonAirportScanTest, Msfs2020ScansOfficialThenCommunity) {
  gf_scanAddonAirports();

  EXPECT_EQ(scanLogFile(), fmt::format("Scanning for addon  airports in {}\nScanning for addon  airports in {}\n",
                                       (root() / "Official").string(), community().string()));
  EXPECT_TRUE(
      logHas("\n++++++++++++++++++++++++ airports scan automatic  starts +++++++++++++++++++++++++++++\n"
             "The scan will search 2 folders\n"));
  EXPECT_TRUE(logHas("-------------------------- airports scan ends    ----------------------------\n\n"));
}

TEST_F(AddonAirportScanTest, AnEmptyScanWarnsSwitchesItselfOffAndLeavesNoTbloFolder) {
  msfs2020Mode = false;
  put("airports/my_simaddon/EGLL.xml", "unpacked by the data update");
  put("airports/my_thirdparty/EDDF.xml", "from the previous scan");

  gf_scanAddonAirports();

  EXPECT_EQ(scanLogFile(), fmt::format("Scanning for addon  airports in {}\n", community().string()));
  EXPECT_TRUE(logHas("The scan will search 1 folder\n"));
  EXPECT_EQ(gf_statusText(), "Warning: Scan has not found any add-on airports");
  EXPECT_FALSE(SCAN_AIRPORTS.value);
  EXPECT_NE(readFile(roaming() / "Corvalen" / "parameters.xml").find(R"(name="SCAN_AIRPORTS" value="false")"),
            std::string::npos);
  EXPECT_FALSE(fs::exists(tbloFolder));
  EXPECT_TRUE(fs::exists("airports/my_simaddon/EGLL.xml"));
  EXPECT_FALSE(fs::exists("airports/my_thirdparty/EDDF.xml"));
}

TEST_F(AddonAirportScanTest, MissingFoldersAndFilesAreReportedAndSkipped) {
  fs::remove(root() / "Official");
  put(community() / "not-a-folder", "");
  lf_scanFolders({root() / "Official", community() / "not-a-folder", fs::path{}});
  EXPECT_EQ(gf_statusText(), (community() / "not-a-folder").string() + " is not a folder name, skipped!");
  EXPECT_TRUE(logHas((root() / "Official").string() + " does not exist, skipped!\n"));
  EXPECT_TRUE(scanLog().empty());
}

TEST_F(AddonAirportScanTest, TheWalkFiltersFilesAndPackages) {
  put(community() / "pkg" / "scenery" / "AIRPORT.BGL", airportFile("EGLL"));
  put(community() / "pkg" / "Statics" / "a.bgl", airportFile("EDDF"));
  put(community() / "pkg" / "statics" / "b.bgl", airportFile("EDFB"));
  put(community() / "pkg" / "_heliports" / "c.bgl", airportFile("LOWW"));
  put(community() / "my-aircraft-hangar" / "d.bgl", airportFile("KMCI"));
  put(community() / "pkg" / "e.txt", airportFile("KMCI"));

  lf_scanFolderForAirports(community());

  for (const auto* code : {"EGLL", "EDDF"}) {
    EXPECT_TRUE(fs::exists(fs::path{"airports/my_thirdparty"} / (std::string{code} + ".xml"))) << code;
  }
  for (const auto* code : {"EDFB", "LOWW", "KMCI"}) {
    EXPECT_FALSE(fs::exists(fs::path{"airports/my_thirdparty"} / (std::string{code} + ".xml"))) << code;
  }
}

TEST_F(AddonAirportScanTest, ExclusionsLookBelowTheScannedFolderAndAtThePathsLength) {
  const fs::path scanned{"/home/aircraft-fan/sim/Community"};
  EXPECT_FALSE(lf_isExcludedPath(scanned / "northwind-eddf", scanned));
  EXPECT_TRUE(lf_isExcludedPath(scanned / "my-AIRCRAFT-hangar", scanned));
  EXPECT_TRUE(lf_isExcludedPath(scanned / "pkg" / "SimObjects", scanned));
  EXPECT_TRUE(lf_isExcludedPath(scanned / "fsltl-traffic-base", scanned));

  const auto base = scanned / "p";
  const auto lengthOf = [&](std::size_t units) { return base / std::string(units - base.string().size() - 1, 'x'); };
  EXPECT_FALSE(lf_isExcludedPath(lengthOf(249), scanned));
  EXPECT_TRUE(lf_isExcludedPath(lengthOf(250), scanned));
  // A character beyond the basic plane counts twice.
  EXPECT_TRUE(lf_isExcludedPath(lengthOf(248).string() + "\xF0\x9F\x9B\xAB", scanned));
  EXPECT_FALSE(lf_isExcludedPath(lengthOf(248).string() + "\xC3\xA9", scanned));
}

TEST_F(AddonAirportScanTest, LinkedPackagesAreScannedAndALinkBackUpIsNotFollowed) {
  put(folder() / "library" / "pkg" / "a.bgl", airportFile("EGLL"));
  fs::create_directory_symlink(folder() / "library" / "pkg", community() / "pkg");
  fs::create_directory_symlink(community(), community() / "loop");

  lf_scanFolderForAirports(community());

  EXPECT_TRUE(fs::exists("airports/my_thirdparty/EGLL.xml"));
  const auto lines = scanLog();
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "Generated EGLL.xml: 1 position"), 1);  // not again through "loop"
}

TEST_F(AddonAirportScanTest, ALinkThatCannotBeFollowedIsSkippedAndTheWalkGoesOn) {
  const std::vector<std::string> codes{"EGLL", "EDDF", "EDFB", "LOWW", "KMCI"};
  for (const auto& code : codes) {
    put(community() / ("pkg-" + code) / "scenery" / "a.bgl", airportFile(code));
  }
  fs::create_symlink("self", community() / "self");
  fs::create_symlink("ring-b", community() / "ring-a");
  fs::create_symlink("ring-a", community() / "ring-b");

  lf_scanFolderForAirports(community());

  for (const auto& code : codes) {
    EXPECT_TRUE(fs::exists(fs::path{"airports/my_thirdparty"} / (code + ".xml"))) << code;
  }
  const auto lines = scanLog();
  for (const char* link : {"self", "ring-a", "ring-b"}) {
    const auto skipped = fmt::format("===>  airports search skipped {}: ", (community() / link).string());
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [&skipped](const std::string& line) { return line.starts_with(skipped); }),
              1)
        << link;
  }
}

TEST_F(AddonAirportScanTest, AStopEndsTheWalkAtTheNextEntry) {
  // Packages without airports: a walk that looked at the stop only before an airport file would go through them all,
  // noting every link it cannot follow.
  for (int package = 0; package < 100; ++package) {
    const auto folder = community() / fmt::format("pkg{}", package);
    put(folder / "scenery" / "objects.bgl", "no airport here");
    fs::create_symlink("self", folder / "self");
  }
  put(community() / "pkg" / "a.bgl", airportFile("EGLL"));
  stopRequested = true;

  lf_scanFolderForAirports(community());

  EXPECT_EQ(scanLog(), (std::vector<std::string>{"Scanning for addon  airports in " + community().string()}));
  EXPECT_FALSE(fs::exists("airports/my_thirdparty/EGLL.xml"));
}

TEST_F(AddonAirportScanTest, AReaderTheLiveryScanLeftAtWorkDoesNotHoldTheScan) {
  std::promise<void> release;
  gf_startScanTask([go = release.get_future().share()] { go.wait(); });
  put(community() / "pkg" / "a.bgl", airportFile("EDFB"));

  auto scan = std::async(std::launch::async, gf_scanAddonAirports);
  const bool ended = scan.wait_for(std::chrono::seconds{30}) == std::future_status::ready;
  EXPECT_TRUE(ended) << "the scan waited for a task not its own";
  release.set_value();
  scan.get();
  test::waitForScanTasks();
  EXPECT_TRUE(fs::exists("airports/my_thirdparty/EDFB.xml"));
  EXPECT_FALSE(SCAN_AIRPORTS.value);
}

TEST_F(AddonAirportScanTest, ACompleteScanReplacesOnlyTheFilesOfALinkedFolder) {
  const auto linked = folder() / "my airports";
  put(linked / "EDDF.xml", "from the previous scan");
  put(linked / "mine" / "notes.txt", "kept by the user");
  fs::create_directories("airports");
  fs::create_directory_symlink(linked, "airports/my_thirdparty");
  put(community() / "pkg" / "a.bgl", airportFile("EDFB"));

  gf_scanAddonAirports();

  EXPECT_TRUE(fs::is_symlink("airports/my_thirdparty"));
  EXPECT_TRUE(fs::exists(linked / "EDFB.xml"));
  EXPECT_FALSE(fs::exists(linked / "EDDF.xml"));
  EXPECT_EQ(readFile(linked / "mine" / "notes.txt"), "kept by the user");
  EXPECT_EQ(std::distance(fs::directory_iterator("airports"), fs::directory_iterator{}), 2)
      << "my_simaddon and my_thirdparty only";
}

TEST_F(AddonAirportScanTest, AStopKeepsTheScanDueAndTheAirportFoldersAsTheyWere) {
  put("airports/my_simaddon/EGLL.txt", "archive/simaddon/EGLL.xml\n");
  put("airports/my_thirdparty/EDDF.xml", "from the previous scan");
  put("airports/my_thirdparty/mine/notes.txt", "kept by the user");
  put(community() / "pkg" / "a.bgl", airportFile("EDFB"));
  stopRequested = true;

  gf_scanAddonAirports();

  EXPECT_TRUE(SCAN_AIRPORTS.value);
  EXPECT_FALSE(fs::exists(roaming() / "Corvalen" / "parameters.xml"));
  EXPECT_EQ(readFile("airports/my_simaddon/EGLL.txt"), "archive/simaddon/EGLL.xml\n");
  EXPECT_EQ(readFile("airports/my_thirdparty/EDDF.xml"), "from the previous scan");
  EXPECT_EQ(std::distance(fs::directory_iterator("airports/my_thirdparty"), fs::directory_iterator{}), 2);
  EXPECT_FALSE(fs::exists(tbloFolder));

  // The next scan runs to its end and replaces the files it fills; the user's own folder stays.
  stopRequested = false;
  gf_scanAddonAirports();
  EXPECT_FALSE(SCAN_AIRPORTS.value);
  EXPECT_FALSE(fs::exists("airports/my_thirdparty/EDDF.xml"));
  EXPECT_TRUE(fs::exists("airports/my_thirdparty/EDFB.xml"));
  EXPECT_EQ(readFile("airports/my_thirdparty/mine/notes.txt"), "kept by the user");
  EXPECT_EQ(std::distance(fs::directory_iterator("airports"), fs::directory_iterator{}), 2)
      << "my_simaddon and my_thirdparty only";
}

// The folders the scan fills are set aside before it starts. When one cannot be (a file in it the user may not read, a
// folder he may not write, no room for the copy), the scan is skipped: it stays due, and every folder stays as it was.
TEST_F(AddonAirportScanTest, AFolderThatCannotBeSetAsideSkipsTheScanAndLeavesEveryFolderAsItWas) {
  const auto putAirportFolders = [] {
    put("airports/my_simaddon/EGLL.txt", "archive/simaddon/EGLL.xml\n");
    put("airports/my_thirdparty/EDDF.xml", "from the previous scan");
  };
  // The line ends with the system's reason; a full disk's depends on how the copy met it (no space, or an
  // input/output error), so that case takes any.
  const auto expectSkippedAsItWas = [this](const std::string& reasonStart) {
    const std::size_t logged = log().size();
    EXPECT_NO_THROW(gf_scanAddonAirports());
    EXPECT_TRUE(SCAN_AIRPORTS.value);
    EXPECT_FALSE(fs::exists(roaming() / "Corvalen" / "parameters.xml"));
    EXPECT_EQ(readFile("airports/my_simaddon/EGLL.txt"), "archive/simaddon/EGLL.xml\n");
    EXPECT_EQ(readFile("airports/my_thirdparty/EDDF.xml"), "from the previous scan");
    EXPECT_FALSE(fs::exists("airports/my_thirdparty/EDFB.xml"));
    EXPECT_EQ(std::distance(fs::directory_iterator("airports"), fs::directory_iterator{}), 2)
        << "my_simaddon and my_thirdparty only";
    const std::string skipped = "Airports scan skipped, airports/my_thirdparty left as it was (" + reasonStart;
    EXPECT_NE(log().find("==> " + skipped, logged), std::string::npos) << log();
    EXPECT_TRUE(gf_statusText().starts_with(skipped)) << gf_statusText();
    EXPECT_FALSE(fs::exists(tbloFolder));
    mainWindow.resetDisplayValues();
  };
  putAirportFolders();
  put(community() / "pkg" / "a.bgl", airportFile("EDFB"));
  {
    SCOPED_TRACE("a file the user may not read");
    put("airports/my_thirdparty/LOWW.xml", "kept to himself");
    const UnreadableFile keptToHimself{"airports/my_thirdparty/LOWW.xml"};
    if (keptToHimself.available()) {
      expectSkippedAsItWas("Permission denied)");
      EXPECT_TRUE(logHas("==> airports/my_thirdparty/LOWW.xml could not be read (Permission denied)\n"));
    }
  }
  fs::remove("airports/my_thirdparty/LOWW.xml");
  {
    SCOPED_TRACE("a folder the user may not write");
    const ReadOnlyFolder readOnly{"airports/my_thirdparty"};
    if (readOnly.available()) {
      expectSkippedAsItWas(readOnly.reason() + ")");
    }
  }
  {
    SCOPED_TRACE("a disk with no room for the copy");
    const SmallDisk full{"airports", 64 * 1024};
    if (full.available()) {
      putAirportFolders();
      put("airports/my_thirdparty/KMCI.xml", std::string(40 * 1024, 'x'));
      expectSkippedAsItWas("");
    }
  }

  // Mended, the next start scans.
  gf_scanAddonAirports();
  EXPECT_FALSE(SCAN_AIRPORTS.value);
  EXPECT_TRUE(fs::exists("airports/my_thirdparty/EDFB.xml"));
}

TEST_F(AddonAirportScanTest, TheSampleCommunityIsLinkedGeneratedAndArchived) {
  fs::copy(SAMPLE_COMMUNITY_DIR, community(), fs::copy_options::recursive);

  gf_scanAddonAirports();

  EXPECT_EQ(readFile("airports/my_thirdparty/EDDF.txt"), "archive/thirdparty/Northwind%20Sceneries/EDDF.xml\n");
  EXPECT_FALSE(fs::exists("airports/my_thirdparty/EDDF.xml"));
  const auto edfb = readGenerated("airports/my_thirdparty/EDFB.xml");
  ASSERT_TRUE(edfb);
  EXPECT_EQ(edfb->parameters.at("publisher"), "Skylark Studios");
  EXPECT_EQ(edfb->ids(), (std::vector<std::string>{"helipad1", "r1", "r2", "r3", "r4"}));
  EXPECT_EQ(edfb->parameters.at("altitude"), "397");
  EXPECT_EQ(tbloReady, 1U);
  EXPECT_TRUE(fs::exists(tbloFolder / tbloZipPath));
  EXPECT_TRUE(logHas("Airports scan successful\n"));
  EXPECT_NE(gf_statusText(), "Warning: Scan has not found any add-on airports");
  const auto scanLogText = scanLogFile();
  EXPECT_NE(scanLogText.find("publisher 'Northwind Sceneries' found\n"), std::string::npos);
  EXPECT_NE(scanLogText.find("from manifest.json: manufacturer 'Skylark Studios' => publisher 'Skylark Studios'\n"),
            std::string::npos);
  EXPECT_NE(scanLogText.find("Generated EDFB.xml: 5 positions, of which 1 helipad\n"), std::string::npos);
}

}  // namespace
}  // namespace cvl::test

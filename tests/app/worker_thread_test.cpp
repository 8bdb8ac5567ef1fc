#include "app/worker_thread.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <future>
#include <thread>
#include <vector>

#include "app/main_window.h"
#include "app/status_line.h"
#include "cycle_folder.h"
#include "foundation/settings_catalogue.h"
#include "support/eventually.h"
#include "support/http_server.h"
#include "support/unreadable_file.h"

namespace cvl::test {
namespace {

namespace fs = std::filesystem;

void runOneCycle() {
  std::thread worker{lf_workerThread};
  worker.join();
}

// The user closes the window once closing down has waited for the given number of times.
RecordedPauses::Action closeAtWait(std::size_t waitIndex) {
  return [waitIndex](std::size_t index) {
    if (index == waitIndex) {
      gf_requestExit(ExitReason::userClosedSim, 0);
    }
  };
}

TEST(WorkerThreadTest, StartedOutsideItsFolderTheProgramShowsWhyAndWaitsForTheUser) {
  CycleFolder folder{false};
  RecordingMainWindow window;
  RecordedPauses pauses{closeAtWait(2)};

  runOneCycle();

  EXPECT_EQ(gf_errorText(), "41: Corvalen must be run from the Corvalen folder!");
  EXPECT_EQ(exitReason, ExitReason::systemError);
  EXPECT_EQ(pauses.durations.size(), 3U);
  EXPECT_FALSE(fs::exists("output"));  // no start-up work was done
  EXPECT_NE(folder.log().find("Exiting: SYSTEM ERROR\n"), std::string::npos);
  EXPECT_EQ(window.posted(), std::vector<ui::Message>{WM_APP_QUIT});
}

TEST(WorkerThreadTest, AnEscapedExceptionIsASystemErrorOnTheErrorLine) {
  CycleFolder folder;
  RecordingMainWindow window;
  RecordedPauses pauses{closeAtWait(1)};
  fs::remove("input/dbase.enc");

  runOneCycle();

  EXPECT_NE(gf_errorText().find("not available"), std::string::npos);
  EXPECT_EQ(exitReason, ExitReason::systemError);
  EXPECT_EQ(restartDelaySeconds, 0);
  EXPECT_TRUE(stopRequested);
  EXPECT_FALSE(restartPending);
  EXPECT_EQ(window.posted(), std::vector<ui::Message>{WM_APP_QUIT});
}

// Another user laid out the program folder and keeps input/ to himself: the start-up says so as it says it of a data
// file the user may not read, and waits for the user.
TEST(WorkerThreadTest, AnInputFolderTheUserMayNotSearchIsNamedAsAFileThatCannotBeRead) {
  CycleFolder folder;
  RecordingMainWindow window;
  RecordedPauses pauses{closeAtWait(1)};
  const UnreadableFile keptToHimself{"input"};
  if (!keptToHimself.available()) {
    GTEST_SKIP() << "no way to keep a folder from the user here";
  }

  runOneCycle();

  EXPECT_EQ(gf_errorText(), "input/ could not be read (Permission denied)");
  EXPECT_EQ(exitReason, ExitReason::systemError);
  EXPECT_NE(folder.log().find("Error input/ could not be read (Permission denied)\n"), std::string::npos)
      << folder.log();
  EXPECT_EQ(window.posted(), std::vector<ui::Message>{WM_APP_QUIT});
}

TEST(WorkerThreadTest, ProductionModeClosesRightAfterTheStartUp) {
  CycleFolder folder;
  RecordingMainWindow window;
  RecordedPauses pauses;
  folder.keepEarlierScan();
  productionMode = true;

  runOneCycle();

  EXPECT_EQ(exitReason, ExitReason::userClosedSim);
  EXPECT_EQ(processExitCode, 0);
  EXPECT_EQ(window.posted(), std::vector<ui::Message>{WM_APP_QUIT});
  EXPECT_NE(folder.log().find("Exiting: USER CLOSED SIM\n"), std::string::npos);
}

TEST(WorkerThreadTest, ACycleRunsUntilTheUserClosesTheWindow) {
  // Without the add-on airport scan the header counts the airport files the user keeps.
  CycleFolder folder{true, R"(<parameter name="SCAN_AIRPORTS" value="false"/>)"};
  RecordingMainWindow window;
  RecordedPauses pauses;
  fs::create_directories("airports/my_thirdparty");
  writeFile("airports/my_thirdparty/EHAM.xml", "");
  writeFile("airports/my_thirdparty/EGLL.xml", "");

  std::thread worker{lf_workerThread};
  // The flight-plan folder is made right before the run loop, which then runs until the close.
  while (!fs::exists(folder.settingsFolder() / "orig_dest") && gf_errorText().empty()) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(gf_errorText(), "");
  gf_requestExit(ExitReason::userClosedSim, 0);
  worker.join();

  // The run loop shows its own progress at once, so the start-up's last status is read from the log.
  EXPECT_NE(folder.log().find("RealTraffic not detected at this PC\n"), std::string::npos);

  EXPECT_EQ(mainWindow.thirdPartyCount, 2U);
  EXPECT_EQ(mainWindow.simAddonCount, 0U);
  EXPECT_GE(hardwareThreads, 1U);
  EXPECT_FALSE(fs::exists(folder.settingsFolder() / "orig_dest"));  // made for the run, removed at its end
  EXPECT_EQ(window.posted(), std::vector<ui::Message>{WM_APP_QUIT});
}

TEST(WorkerThreadTest, ADestinationKeptFromAnEarlierRunIsSetAgainBeforeTheRun) {
  CycleFolder folder{true, R"(<parameter name="SCAN_AIRPORTS" value="false"/>)"
                           R"(<parameter name="DESTINATION" value="EDDF"/>)"};
  RecordingMainWindow window;
  RecordedPauses pauses;

  std::thread worker{lf_workerThread};
  // The destination is shown right after the flight-plan folder is made; a close before it would keep it unlogged.
  const bool shown = eventually([&folder] {
    return folder.log().find("New destination: EDDF\n") != std::string::npos || !gf_errorText().empty();
  });
  gf_requestExit(ExitReason::userClosedSim, 0);
  worker.join();

  EXPECT_TRUE(shown);
  EXPECT_EQ(gf_errorText(), "");
}

TEST(WorkerThreadTest, AStalledDownloadIsShownAndACloseEndsTheProgram) {
  CycleFolder folder;
  RecordingMainWindow window;
  RecordedPauses pauses;
  const TempFolder site;
  writeFile(site.path() / "versions.json", R"({"msfs": {"major": 11, "minor": 10, "patch": 3}})");
  HttpServer server{site.path()};
  server.stall("/versions.json");
  const ScopedEnvironment siteUrl{"CORVALEN_SITE_URL", server.url()};

  std::thread worker{lf_workerThread};
  const bool shown = eventually([] { return gf_statusText().starts_with("Downloading versions.json: "); });
  gf_requestExit(ExitReason::userClosedSim, 0);  // the window's close box
  worker.join();                                 // returns at once: the close ended the transfer

  EXPECT_TRUE(shown) << gf_statusText();
  EXPECT_EQ(window.posted(), std::vector<ui::Message>{WM_APP_QUIT});
  const auto log = folder.log();
  EXPECT_NE(log.find("/versions.json stopped\n"), std::string::npos) << log;
  EXPECT_EQ(log.find("Download error"), std::string::npos) << "a stop is no error of the download";
  EXPECT_EQ(log.find("version info from my web site failed"), std::string::npos) << "nor a failure of the check";
  EXPECT_NE(log.find("Exiting: USER CLOSED SIM\n"), std::string::npos);
  EXPECT_EQ(log.find("dbase records read"), std::string::npos) << "the start-up went no further";
}

// A damaged AIG file the site cannot replace: through the wait for the simulator the status line shows first what
// the program does, where the window's width shows it whatever follows, and then the file, once.
TEST(WorkerThreadTest, WithADamagedAigFileTheWaitForTheSimulatorStaysInSight) {
  CycleFolder folder{true, R"(<parameter name="AIG_VERSION" value="1.0.4"/>)"
                           R"(<parameter name="SCAN_LIVERIES" value="false"/>)"
                           R"(<parameter name="SCAN_AIRPORTS" value="false"/>)"};
  RecordingMainWindow window;
  RecordedPauses pauses;
  folder.keepEarlierScan();
  gf_writeSealedDataFile("input/AIG-regcodes.enc", readFile(sampleDataFolder() / "AIG-regcodes.xml"));
  auto sealed = readFile("input/AIG-regcodes.enc");
  sealed[sealed.size() / 2] = static_cast<char>(sealed[sealed.size() / 2] ^ 0x04);
  writeFile("input/AIG-regcodes.enc", sealed);
  // The site announces a newer AIG file that it does not hold.
  writeFile(folder.sitePath() / "versions.json",
            R"({"msfs": {"major": 11, "minor": 10, "patch": 3}, "aig": {"major": 1, "minor": 0, "patch": 5}})");

  std::thread worker{lf_workerThread};
  const bool waiting = eventually(
      [] { return gf_statusText().find("Waiting for MSFS 2020 ...") != std::string::npos || !gf_errorText().empty(); });
  const auto shown = gf_statusText();
  gf_requestExit(ExitReason::userClosedSim, 0);
  worker.join();

  EXPECT_TRUE(waiting) << shown;
  EXPECT_EQ(shown,
            "Waiting for MSFS 2020 ... | input/AIG-regcodes.enc is damaged and will be downloaded again at the next "
            "start");
  EXPECT_EQ(gf_errorText(), "");
  EXPECT_NE(folder.log().find("==> aig update to 1.0.5 failed, input/AIG-regcodes.enc left as it was\n"),
            std::string::npos);
}

// Another user keeps one of the add-on airport files to himself: the scan, due at this start, cannot set the airport
// folders aside and is skipped; the program runs on with the folders as they were, and scans at the next start.
TEST(WorkerThreadTest, AnAirportFileTheUserMayNotReadPutsOffTheAirportScanAndTheProgramRunsOn) {
  CycleFolder folder{true, R"(<parameter name="SCAN_LIVERIES" value="false"/>)"};
  RecordingMainWindow window;
  RecordedPauses pauses;
  folder.keepEarlierScan();
  fs::create_directories("airports/my_simaddon");
  fs::create_directories("airports/my_thirdparty");
  writeFile("airports/my_simaddon/EGLL.txt", "archive/simaddon/EGLL.xml\n");
  writeFile("airports/my_thirdparty/EDDF.xml", "from the previous scan");
  writeFile("airports/my_thirdparty/LOWW.xml", "kept to himself");
  const UnreadableFile keptToHimself{"airports/my_thirdparty/LOWW.xml"};
  if (!keptToHimself.available()) {
    GTEST_SKIP() << "no way to make a file unreadable here";
  }

  std::thread worker{lf_workerThread};
  const bool waiting =
      eventually([] { return gf_statusText().starts_with("Waiting for MSFS 2020 ...") || !gf_errorText().empty(); });
  const auto shown = gf_statusText();
  gf_requestExit(ExitReason::userClosedSim, 0);
  worker.join();

  EXPECT_TRUE(waiting) << gf_errorText();
  EXPECT_EQ(gf_errorText(), "");
  EXPECT_EQ(shown,
            "Waiting for MSFS 2020 ... | Airports scan skipped, airports/my_thirdparty left as it was (Permission "
            "denied)");
  const auto log = folder.log();
  EXPECT_NE(log.find("==> airports/my_thirdparty/LOWW.xml could not be read (Permission denied)\n"
                     "==> Airports scan skipped, airports/my_thirdparty left as it was (Permission denied)\n"),
            std::string::npos)
      << log;
  EXPECT_EQ(log.find("SYSTEM ERROR"), std::string::npos);
  EXPECT_NE(log.find("Exiting: USER CLOSED SIM\n"), std::string::npos);
  EXPECT_THAT(filesIn("airports"), testing::UnorderedElementsAre("learned", "my_simaddon", "my_thirdparty"));
  EXPECT_THAT(filesIn("airports/my_simaddon"), testing::ElementsAre("EGLL.txt"));
  EXPECT_EQ(readFile("airports/my_simaddon/EGLL.txt"), "archive/simaddon/EGLL.xml\n");
  EXPECT_THAT(filesIn("airports/my_thirdparty"), testing::UnorderedElementsAre("EDDF.xml", "LOWW.xml"));
  EXPECT_EQ(readFile("airports/my_thirdparty/EDDF.xml"), "from the previous scan");
  EXPECT_TRUE(SCAN_AIRPORTS.value) << "the scan stays due";
  EXPECT_EQ(folder.settingsFile().find(R"(name="SCAN_AIRPORTS" value="false")"), std::string::npos);
}

TEST(WorkerThreadTest, TheProgramCanWaitUntilTheWorkerHasEnded) {
  CycleFolder folder{false};
  RecordingMainWindow window;
  std::promise<void> waiting;
  RecordedPauses pauses{[&waiting](std::size_t index) {
    if (index == 1) {
      waiting.set_value();
    }
  }};

  std::thread worker{lf_workerThread};
  waiting.get_future().wait();
  EXPECT_TRUE(gf_workerRunning());
  gf_requestExit(ExitReason::userClosedSim, 0);
  gf_waitForWorkers();
  EXPECT_FALSE(gf_workerRunning());
  worker.join();
}

}  // namespace
}  // namespace cvl::test

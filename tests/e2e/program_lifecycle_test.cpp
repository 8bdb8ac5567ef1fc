#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <map>
#include <optional>
#include <regex>
#include <string>

#include "app/shell_helpers.h"
#include "datatool/download_site.h"
#include "program_process.h"
#include "support/display_windows.h"
#include "support/recording_opener.h"
#include "support/sample_data.h"
#include "support/screenshot.h"
#include "support/unwritable_folders.h"
#include "user_computer.h"
#include "virtual_display.h"

namespace cvl::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr auto startLimit = 90s;
constexpr auto endLimit = 60s;
constexpr int sceneryFiles = 20000;

TEST(InstalledProgram, RunsAsOneCopyUntilItIsAskedToClose) {
  const UserComputer computer;
  ASSERT_TRUE(fs::exists(computer.programFile("corvalen")));
  ASSERT_TRUE(fs::is_directory(computer.programFile("docs")));
  auto program = computer.startProgram();
  // The run loop is reached once the flight-plan folder exists.
  ASSERT_TRUE(waitUntil([&] { return fs::exists(computer.settingsFolder() / "orig_dest"); }, startLimit))
      << computer.log();
  EXPECT_TRUE(fs::exists(computer.settingsFolder() / "parameters.xml"));
  EXPECT_TRUE(fs::exists(computer.programFile("input") / "dbase.enc"));  // fetched from the site

  auto second = computer.startProgram();
  EXPECT_EQ(second.waitForExit(endLimit), 255);                // -1
  EXPECT_FALSE(fs::exists(computer.programFile("Log0.txt")));  // the first copy's log was left alone

  program.signal(SIGTERM);
  EXPECT_EQ(program.waitForExit(endLimit), 0);

  const auto text = computer.log();
  EXPECT_TRUE(std::regex_search(text, std::regex{"^.* \\(utc\\) Corvalen version 11\\.10\\.3 for MSFS 2020/2024\n"}))
      << text;
  EXPECT_NE(text.find("Exiting: USER CLOSED SIM\n"), std::string::npos);
  // The quit message saves the window's position and then writes the time as the last line.
  EXPECT_TRUE(std::regex_search(text, std::regex{"[A-Z][a-z]{2} [A-Z][a-z]{2} \\d\\d \\d\\d:\\d\\d:\\d\\d \\d{4}\n$"}))
      << text;
  EXPECT_NE(readFile(computer.settingsFolder() / "parameters.xml").find(R"(name="MAIN_WINDOW_X" value="400")"),
            std::string::npos);
  EXPECT_FALSE(fs::exists(computer.settingsFolder() / "orig_dest"));
}

TEST(InstalledProgram, ProductionModeClosesByItselfAfterTheStartUp) {
  const UserComputer computer;
  computer.keepEarlierScan();
  auto program = computer.startProgram({"--production"});

  EXPECT_EQ(program.waitForExit(startLimit), 0);
  const auto text = computer.log();
  EXPECT_NE(text.find("Exiting: USER CLOSED SIM\n"), std::string::npos) << text;
  EXPECT_EQ(text.find("RealTraffic"), std::string::npos);  // ended before looking for it
}

// The files below the folder with their contents, by their path below it.
std::map<std::string, std::string> filesBelow(const fs::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (entry.is_regular_file()) {
      files[fs::relative(entry.path(), folder).string()] = readFile(entry.path());
    }
  }
  return files;
}

TEST(InstalledProgram, AnAirportScanKilledInTheMiddleLeavesTheFoldersAsTheyWereForTheNextStart) {
  const UserComputer computer;
  const auto airports = computer.programFile("airports");
  fs::create_directories(airports / "my_simaddon");
  fs::create_directories(airports / "my_thirdparty" / "mine");
  writeFile(airports / "my_simaddon" / "EGLL.txt", "archive/simaddon/EGLL.xml\n");
  writeFile(airports / "my_thirdparty" / "EDDF.xml", "from the previous scan");
  writeFile(airports / "my_thirdparty" / "mine" / "notes.txt", "kept by the user");
  const auto simaddonBefore = filesBelow(airports / "my_simaddon");
  const auto thirdpartyBefore = filesBelow(airports / "my_thirdparty");
  // The sample add-on airports beside a large scenery package without airports: a scan that lasts long enough to be
  // caught in the middle.
  fs::copy(sampleDataFolder() / "community", computer.installPath() / "Community", fs::copy_options::recursive);
  const auto scenery = computer.installPath() / "Community" / "big-scenery" / "scenery";
  fs::create_directories(scenery);
  for (int file = 0; file < sceneryFiles; ++file) {
    writeFile(scenery / ("objects" + std::to_string(file) + ".bgl"), "");
  }

  auto killed = computer.startProgram();
  const auto setAside = airports / "my_thirdparty_before_scan";
  ASSERT_TRUE(waitUntil([&] { return fs::exists(setAside); }, startLimit)) << computer.log();
  killed.signal(SIGSTOP);
  ASSERT_TRUE(fs::exists(setAside)) << "the scan ended before the program could be stopped in it";
  killed.signal(SIGKILL);
  killed.waitForExit(endLimit);

  // The user unticks the scan box before the next start.
  const auto settingsFile = computer.settingsFolder() / "parameters.xml";
  auto settings = readFile(settingsFile);
  const std::string ticked{R"(name="SCAN_AIRPORTS" value="true")"};
  const auto box = settings.find(ticked);
  ASSERT_NE(box, std::string::npos) << settings;
  settings.replace(box, ticked.size(), R"(name="SCAN_AIRPORTS" value="false")");
  writeFile(settingsFile, settings);
  auto next = computer.startProgram();
  ASSERT_TRUE(waitUntil([&] { return fs::exists(computer.settingsFolder() / "orig_dest"); }, startLimit))
      << computer.log();
  EXPECT_EQ(filesBelow(airports / "my_simaddon"), simaddonBefore);
  EXPECT_EQ(filesBelow(airports / "my_thirdparty"), thirdpartyBefore);
  for (const auto& entry : fs::directory_iterator(airports)) {
    const auto name = entry.path().filename().string();
    EXPECT_FALSE(name.starts_with("my_simaddon_") || name.starts_with("my_thirdparty_")) << name;
  }
  EXPECT_EQ(computer.log().find("airports scan"), std::string::npos) << "the unticked scan does not run";
  next.signal(SIGTERM);
  EXPECT_EQ(next.waitForExit(endLimit), 0);
}

// Runs the program until its run loop is reached, then closes it as the window's close box does; its exit status.
std::optional<int> runUntilClosed(const UserComputer& computer, const std::map<std::string, std::string>& site) {
  auto program = computer.startProgram({}, site);
  if (!waitUntil([&] { return fs::exists(computer.settingsFolder() / "orig_dest"); }, startLimit)) {
    return std::nullopt;
  }
  program.signal(SIGTERM);
  return program.waitForExit(endLimit);
}

TEST(InstalledProgram, RunsForAUserWhoCannotWriteTheSimaddonFolderAndThenOnAFullDisk) {
  const UserComputer computer{R"(<parameter name="SIM_CHOICE" value="MSFS 2024"/>)"
                              R"(<parameter name="SCAN_AIRPORTS" value="false"/>)"};
  computer.keepEarlierScan();
  const auto simAddon = computer.programFile("airports") / "my_simaddon";
  fs::create_directories(simAddon / "mine");
  writeFile(simAddon / "EDDM.txt", "archive/simaddon/EDDM.xml\n");
  writeFile(simAddon / "mine" / "notes.txt", "kept by the user");
  const auto simAddonBefore = filesBelow(simAddon);
  // The folder belongs to another user; the site offers a simaddon update (the sample site's 1.0.0).
  const ReadOnlyFolder readOnly{simAddon};
  if (!readOnly.available()) {
    GTEST_SKIP() << "no way to make a folder read-only here";
  }

  EXPECT_EQ(runUntilClosed(computer, {}), 0) << computer.log();
  EXPECT_NE(computer.log().find("==> simaddon update to 1.0.0 failed, airports/my_simaddon left as it was\n"),
            std::string::npos);
  EXPECT_EQ(filesBelow(simAddon), simAddonBefore);
  EXPECT_THAT(filesIn(computer.programFile("airports")), testing::Not(testing::Contains("my_simaddon_before_scan")));

  // The disk of input/ then fills up: the data files and the plain text of one at a time fit, a newer dbase does not.
  const auto input = computer.programFile("input");
  const TempFolder saved;
  fs::copy(input, saved.path(), fs::copy_options::recursive);
  std::size_t room = 64 * 1024 + fs::file_size(sampleDataFolder() / "dbase.xml");
  for (const auto& entry : fs::directory_iterator(saved.path())) {
    room += entry.is_regular_file() ? fs::file_size(entry.path()) : 0;
  }
  const SmallDisk disk{input, room};
  if (!disk.available()) {
    GTEST_SKIP() << "mounting a small disk needs root";
  }
  fs::copy(saved.path(), input, fs::copy_options::recursive);
  const auto inputBefore = filesBelow(input);
  const TempFolder site;
  datatool::SiteOptions newerDbase;
  newerDbase.versions["dbase"] = datatool::ComponentVersion{3, 2, 0};
  datatool::layOutSite(sampleDataFolder(), site.path(), newerDbase);

  EXPECT_EQ(runUntilClosed(computer, {{"CORVALEN_SITE_URL", "file://" + site.path().string() + "/"}}), 0)
      << computer.log();
  EXPECT_NE(computer.log().find("==> dbase update to 3.2.0 failed, input/dbase.enc left as it was\n"),
            std::string::npos)
      << computer.log();
  EXPECT_EQ(filesBelow(input), inputBefore);
  EXPECT_EQ(filesBelow(simAddon), simAddonBefore);
}

TEST(InstalledProgram, ASelfUpdateOnAFreshInstallPreparesTheNewVersionAndEnds) {
  const UserComputer computer;  // no data files, no livery scan yet
  const TempFolder site;
  datatool::SiteOptions newerProgram;
  newerProgram.installerVersion = datatool::ComponentVersion{11, 10, 4};
  newerProgram.versions["msfs"] = *newerProgram.installerVersion;
  datatool::layOutSite(sampleDataFolder(), site.path(), newerProgram);
  const RecordingOpener opener;
  auto program = computer.startProgram({}, {{"CORVALEN_SITE_URL", "file://" + site.path().string() + "/"}});

  EXPECT_EQ(program.waitForExit(startLimit), 0);
  const auto text = computer.log();
  EXPECT_NE(text.find("Exiting: NEW VERSION\n"), std::string::npos) << text;
  EXPECT_EQ(text.find("Error"), std::string::npos) << text;
  EXPECT_TRUE(fs::exists(computer.programFile("new_version") / "install_new_version.exe"));
  EXPECT_TRUE(fs::equivalent(opener.openedPath(), computer.programFile("new_version")));
}

// A self-update on a desktop whose opener fails, with the real window on a virtual display: once the new version is
// prepared, its folder cannot be shown and the program tells so in a message box.
class NewVersionFolderNotShown {
 public:
  NewVersionFolderNotShown() {
    datatool::SiteOptions newerProgram;
    newerProgram.installerVersion = datatool::ComponentVersion{11, 10, 4};
    newerProgram.versions["msfs"] = *newerProgram.installerVersion;
    datatool::layOutSite(sampleDataFolder(), site_.path(), newerProgram);
  }

  ProgramProcess start() const {
    return computer.startProgram({}, {{"CORVALEN_SITE_URL", "file://" + site_.path().string() + "/"},
                                      {"CORVALEN_UI", "fltk"},
                                      {"DISPLAY", display.name()}});
  }
  bool messageShown() const {
    return waitUntil([&] { return windowsShown(display.name(), "CRVL") == 1; }, startLimit);
  }

  const VirtualDisplay display;
  const UserComputer computer;

 private:
  const TempFolder site_;
  const RecordingOpener failing_{4};
};

TEST(InstalledProgram, ANewVersionFolderThatCannotBeShownKeepsItsMessageUntilTheUserAnswersIt) {
  if (!onPath("Xvfb")) {
    GTEST_SKIP() << "Xvfb is not installed";
  }
  const NewVersionFolderNotShown desktop;
  auto program = desktop.start();

  ASSERT_TRUE(desktop.messageShown()) << desktop.computer.log();
  EXPECT_EQ(program.waitForExit(5s), std::nullopt) << "the program ended while its message was shown";
  EXPECT_EQ(windowsShown(desktop.display.name(), "CRVL"), 1);

  ASSERT_TRUE(closeWindows(desktop.display.name(), "CRVL"));
  EXPECT_EQ(program.waitForExit(endLimit), 0);
  const auto text = desktop.computer.log();
  EXPECT_NE(text.find("Opening file explorer at the new version failed?"), std::string::npos) << text;
  EXPECT_NE(text.find("Exiting: NEW VERSION\n"), std::string::npos) << text;
  EXPECT_TRUE(fs::exists(desktop.computer.programFile("new_version") / "install_new_version.exe"));
}

TEST(InstalledProgram, AMessageLeftUnansweredDoesNotHoldOffAStop) {
  if (!onPath("Xvfb")) {
    GTEST_SKIP() << "Xvfb is not installed";
  }
  const NewVersionFolderNotShown desktop;
  auto program = desktop.start();
  ASSERT_TRUE(desktop.messageShown()) << desktop.computer.log();

  program.signal(SIGTERM);
  EXPECT_EQ(program.waitForExit(endLimit), 0) << desktop.computer.log();
  const auto text = desktop.computer.log();
  EXPECT_NE(text.find("Exiting: USER CLOSED SIM\n"), std::string::npos) << text;
  EXPECT_NE(text.find("The installer of the new version is in " + desktop.computer.programFile("new_version").string()),
            std::string::npos)
      << text;
  EXPECT_TRUE(fs::exists(desktop.computer.programFile("new_version") / "install_new_version.exe"));
}

// Error 48 sends the user to the manual, which the desktop cannot open: the program says so in a message box, and the
// user closes the program while it is up.
TEST(InstalledProgram, AnErrorWhoseMessageIsUpWhenTheUserClosesIsStillLogged) {
  if (!onPath("Xvfb")) {
    GTEST_SKIP() << "Xvfb is not installed";
  }
  const VirtualDisplay display;
  const UserComputer computer{R"(<parameter name="LIG_AUTOMATIC" value="false"/>)"};
  const RecordingOpener failing{4};
  auto program = computer.startProgram({}, {{"CORVALEN_UI", "fltk"}, {"DISPLAY", display.name()}});
  ASSERT_TRUE(waitUntil([&] { return windowsShown(display.name(), "CRVL") == 1; }, startLimit)) << computer.log();

  program.signal(SIGTERM);

  EXPECT_EQ(program.waitForExit(endLimit), 0);
  const auto text = computer.log();
  EXPECT_NE(text.find("Error 48: Exit Corvalen first!   Then set one or more lfolder parameters to your liveries, see "
                      "Manual 5.2\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("Exiting: USER CLOSED SIM\n"), std::string::npos) << text;
}

TEST(InstalledProgram, ShowsItsWindowOnADisplayAndEndsWithoutFailureWhenClosed) {
  if (!onPath("Xvfb")) {
    GTEST_SKIP() << "Xvfb is not installed";
  }
  const VirtualDisplay display;
  const UserComputer computer;
  auto program = computer.startProgram({}, {{"CORVALEN_UI", "fltk"}, {"DISPLAY", display.name()}});
  ASSERT_TRUE(waitUntil([&] { return fs::exists(computer.settingsFolder() / "orig_dest"); }, startLimit))
      << computer.log();

  program.signal(SIGTERM);
  // Built with the sanitizers, the program checks for leaks as it exits: one of its own would fail it here.
  EXPECT_EQ(program.waitForExit(endLimit), 0);
  EXPECT_NE(computer.log().find("Exiting: USER CLOSED SIM\n"), std::string::npos);
}

TEST(InstalledProgram, OpensTheManualOfItsFolderWithTheSectionItsMessagesName) {
  const UserComputer computer;
  const ScopedCurrentFolder programFolder{computer.programFolder()};
  const RecordingOpener opener;

  ASSERT_TRUE(gf_openManual());

  const fs::path manual{opener.openedPath()};
  ASSERT_TRUE(fs::is_regular_file(manual)) << manual;
  EXPECT_TRUE(fs::equivalent(manual, computer.programFile("docs") / "Manual.pdf")) << manual;
  const auto pdf = readFile(manual);
  EXPECT_TRUE(pdf.starts_with("%PDF-"));
  // Errors 43 and 48 send the user to section 5.2; the PDF's outline lists every numbered section by its heading.
  EXPECT_NE(pdf.find("/Title (5.2 No AI packages or livery folders found"), std::string::npos);
}

}  // namespace
}  // namespace cvl::test

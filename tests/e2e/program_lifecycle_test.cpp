#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <regex>
#include <string>

#include "program_process.h"
#include "support/temp_folder.h"

namespace cvl::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr auto startLimit = 90s;
constexpr auto endLimit = 60s;

// A copy of the installed program folder, the user's folders and the maker's sample site, as a user's computer.
class InstalledProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::copy(CORVALEN_INSTALLED_DIR, program_.path(), fs::copy_options::recursive);
    ASSERT_TRUE(fs::exists(program_.path() / "corvalen"));
    ASSERT_TRUE(fs::is_directory(program_.path() / "docs"));
    fs::create_directories(installPath());
    fs::create_directories(users_.path() / "runtime");
    // Where the simulator's packages lie: the program cannot detect them on this computer.
    fs::create_directories(settingsFolder());
    writeFile(settingsFolder() / "parameters.xml", "<root><parameters><parameter name=\"MSFS_INSTALL_PATH\" value=\"" +
                                                       installPath().string() + "\"/></parameters></root>");
  }

  ProgramProcess start(const std::vector<std::string>& arguments = {}) const {
    return ProgramProcess{program_.path(),
                          arguments,
                          {{"CORVALEN_UI", "headless"},
                           {"XDG_CONFIG_HOME", (users_.path() / "config").string()},
                           {"XDG_DATA_HOME", (users_.path() / "data").string()},
                           {"XDG_RUNTIME_DIR", (users_.path() / "runtime").string()},
                           {"CORVALEN_SITE_URL", std::string{"file://"} + CORVALEN_SAMPLE_SITE_DIR + "/"}}};
  }

  fs::path settingsFolder() const { return users_.path() / "config" / "Corvalen"; }
  fs::path installPath() const { return users_.path() / "packages"; }
  fs::path programFile(const char* name) const { return program_.path() / name; }
  std::string log() const { return fs::exists(programFile("Log.txt")) ? readFile(programFile("Log.txt")) : ""; }

 private:
  TempFolder program_;
  TempFolder users_;
};

TEST_F(InstalledProgram, RunsAsOneCopyUntilItIsAskedToClose) {
  auto program = start();
  // The run loop is reached once the flight-plan folder exists.
  ASSERT_TRUE(waitUntil([&] { return fs::exists(settingsFolder() / "orig_dest"); }, startLimit)) << log();
  EXPECT_TRUE(fs::exists(settingsFolder() / "parameters.xml"));
  EXPECT_TRUE(fs::exists(programFile("input") / "dbase.enc"));  // fetched from the site

  auto second = start();
  EXPECT_EQ(second.waitForExit(endLimit), 255);       // -1
  EXPECT_FALSE(fs::exists(programFile("Log0.txt")));  // the first copy's log was left alone

  program.signal(SIGTERM);
  EXPECT_EQ(program.waitForExit(endLimit), 0);

  const auto text = log();
  EXPECT_TRUE(std::regex_search(text, std::regex{"^.* \\(utc\\) Corvalen version 11\\.10\\.3 for MSFS 2020/2024\n"}))
      << text;
  EXPECT_NE(text.find("Exiting: USER CLOSED SIM\n"), std::string::npos);
  // The quit message saves the window's position and then writes the time as the last line.
  EXPECT_TRUE(std::regex_search(text, std::regex{"[A-Z][a-z]{2} [A-Z][a-z]{2} \\d\\d \\d\\d:\\d\\d:\\d\\d \\d{4}\n$"}))
      << text;
  EXPECT_NE(readFile(settingsFolder() / "parameters.xml").find(R"(name="MAIN_WINDOW_X" value="400")"),
            std::string::npos);
  EXPECT_FALSE(fs::exists(settingsFolder() / "orig_dest"));
}

TEST_F(InstalledProgram, ProductionModeClosesByItselfAfterTheStartUp) {
  auto program = start({"--production"});

  EXPECT_EQ(program.waitForExit(startLimit), 0);
  const auto text = log();
  EXPECT_NE(text.find("Exiting: USER CLOSED SIM\n"), std::string::npos) << text;
  EXPECT_EQ(text.find("RealTraffic"), std::string::npos);  // ended before looking for it
}

}  // namespace
}  // namespace cvl::test

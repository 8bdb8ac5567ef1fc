#include "app/entry_point.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <vector>

#include "foundation/log.h"
#include "platform/single_instance.h"
#include "support/temp_folder.h"

namespace cvl::test {
namespace {

namespace fs = std::filesystem;

// The production switches the command line leaves: nothing given, or given with its value.
struct Production {
  bool given;
  bool value;
  friend bool operator==(const Production&, const Production&) = default;
};

Production readSwitches(std::initializer_list<const char*> arguments) {
  productionGiven = false;
  productionValue = false;
  std::vector<const char*> argv{"./corvalen"};
  argv.insert(argv.end(), arguments);
  lf_readCommandLine(static_cast<int>(argv.size()), argv.data());
  return {productionGiven, productionValue};
}

TEST(EntryPointTest, ProductionSwitchesAreReadWithoutCaseAndTheLastOneCounts) {
  EXPECT_EQ(readSwitches({}), (Production{false, false}));
  EXPECT_EQ(readSwitches({"--production"}), (Production{true, true}));
  EXPECT_EQ(readSwitches({"/PRODUCTION"}), (Production{true, true}));
  EXPECT_EQ(readSwitches({"--No-Production"}), (Production{true, false}));
  EXPECT_EQ(readSwitches({"--production", "--no-production"}), (Production{true, false}));
  EXPECT_EQ(readSwitches({"/no-production", "--production"}), (Production{true, true}));
  EXPECT_EQ(readSwitches({"--productions", "production", "-production"}), (Production{false, false}));
}

// Each case claims the guard in its own runtime folder: the claim lasts as long as the process.
class ProgramMainTest : public ::testing::Test {
 protected:
  TempFolder runtime_;
  ScopedEnvironment runtimeVariable_{"XDG_RUNTIME_DIR", runtime_.path().string()};
  TempFolder program_;
  ScopedCurrentFolder current_{program_.path()};
};

TEST_F(ProgramMainTest, ASecondCopyEndsAtOnceWithoutWritingAnything) {
  ASSERT_EQ(platform::claimSingleInstance("Local\\$CRVL$"), platform::InstanceClaim::first);
  const char* argv[] = {"./corvalen"};

  EXPECT_EQ(gf_programMain(1, argv), -1);
  EXPECT_TRUE(fs::is_empty(program_.path()));
}

TEST_F(ProgramMainTest, ALogThatCannotBeOpenedEndsTheProgramWithAFailureCode) {
  fs::create_directories("Log.txt");  // a folder where the file must go
  const char* argv[] = {"./corvalen"};

  testing::internal::CaptureStderr();
  EXPECT_EQ(gf_programMain(1, argv), 1);
  EXPECT_NE(testing::internal::GetCapturedStderr().find("Corvalen: "), std::string::npos);
}

TEST_F(ProgramMainTest, ASettingsFolderThatCannotBeMadeIsASetUpFailure) {
  TempFolder users;
  writeFile(users.path() / "config", "a file, not a folder");
  ScopedEnvironment config{"XDG_CONFIG_HOME", (users.path() / "config").string()};
  gf_openLog();
  const char* argv[] = {"./corvalen"};

  testing::internal::CaptureStderr();
  EXPECT_EQ(lf_appMain(1, argv), 1);
  testing::internal::GetCapturedStderr();
  gf_flushLog();
  EXPECT_NE(readFile("Log.txt").find("Failed to create directory: "), std::string::npos);
  gf_closeLog();
}

}  // namespace
}  // namespace cvl::test

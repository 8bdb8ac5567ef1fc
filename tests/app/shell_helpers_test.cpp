#include "app/shell_helpers.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstddef>
#include <vector>

#include "foundation/constants.h"
#include "foundation/open_log.h"
#include "platform/elevation.h"
#include "platform/ui/message_box.h"
#include "support/recording_opener.h"
#include "support/temp_folder.h"

namespace cvl {
namespace {

using test::ScopedEnvironment;
using test::TempFolder;
using testing::HasSubstr;

const std::string adminNotice = "A new version is available. Run the installer as Administrator";
const std::string normalNotice =
    "A new version is available.\nThe installer can be executed normally (no Administrator rights required).";

class NewVersionNotice : public testing::Test {
 protected:
  NewVersionNotice() { std::filesystem::create_directories(writable); }

  TempFolder programFiles;
  ScopedEnvironment root{"CORVALEN_PROGRAM_FILES", programFiles.path().string()};
  std::filesystem::path writable = programFiles.path() / "Corvalen";
  // A folder that does not exist fails the write test even for an elevated process.
  std::filesystem::path unwritable = programFiles.path() / "Gone";
};

TEST_F(NewVersionNotice, UnderProgramFilesItDependsOnTheWriteTestAndElevation) {
  EXPECT_EQ(gf_newVersionNotice(writable), normalNotice);
  EXPECT_EQ(gf_newVersionNotice(unwritable), platform::isElevated() ? normalNotice : adminNotice);
}

TEST_F(NewVersionNotice, ElsewhereNoAdministratorIsNeeded) {
  TempFolder elsewhere;
  EXPECT_EQ(gf_newVersionNotice(elsewhere.path() / "Gone"), normalNotice);
  // The comparison is case-sensitive: another spelling of the root is another folder.
  std::string shouted = unwritable.string();
  std::transform(shouted.begin(), shouted.end(), shouted.begin(), [](unsigned char c) { return std::toupper(c); });
  EXPECT_EQ(gf_newVersionNotice(shouted), normalNotice);
}

TEST(KnownFolders, AnUnknownUserFolderIsEmptyAndLogged) {
  const test::OpenLog log;
  const ScopedEnvironment config{"XDG_CONFIG_HOME", std::nullopt};
  const ScopedEnvironment data{"XDG_DATA_HOME", std::nullopt};
  const ScopedEnvironment home{"HOME", std::nullopt};
  EXPECT_EQ(gf_appDataPath(), std::filesystem::path{});
  EXPECT_EQ(gf_localAppDataPath(), std::filesystem::path{});
  EXPECT_EQ(gf_knownFolderPath(KnownFolder::programFilesX86), std::nullopt);
  EXPECT_THAT(log.body(),
              HasSubstr("==> Could not find the AppData path\n==> Could not find the Local AppData path\n"));
}

TEST(HelpActions, OpenTheManualAndTheSettingsFileOrSaySo) {
  const test::OpenLog log;
  const test::RecordingOpener opener;
  TempFolder home;
  const ScopedEnvironment config{"XDG_CONFIG_HOME", home.path().string()};

  const auto earlier = ui::shownMessageBoxes().size();  // the boxes of other tests in this process
  EXPECT_FALSE(gf_openManual());
  EXPECT_FALSE(gf_openParametersFolder());
  const auto boxes = ui::shownMessageBoxes();
  EXPECT_THAT(
      std::vector(boxes.begin() + static_cast<std::ptrdiff_t>(earlier), boxes.end()),
      testing::ElementsAre("Could not open local folder with Manual", "Could not open folder with parameters.xml"));

  std::filesystem::create_directories(parametersPath().parent_path());
  test::writeFile(parametersPath(), "<root/>");
  EXPECT_TRUE(gf_openParametersFolder());
  EXPECT_EQ(opener.openedPath(), parametersPath().string());
}

}  // namespace
}  // namespace cvl

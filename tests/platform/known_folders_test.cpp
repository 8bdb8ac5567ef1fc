#include "platform/known_folders.h"

#include <gtest/gtest.h>

#include "support/temp_folder.h"

namespace cvl::platform {
namespace {

using test::ScopedEnvironment;

TEST(KnownFolders, FollowTheXdgVariablesElseTheHomeFolder) {
  ScopedEnvironment home("HOME", "/home/pilot");
  {
    ScopedEnvironment config("XDG_CONFIG_HOME", "/srv/config");
    ScopedEnvironment data("XDG_DATA_HOME", "/srv/data");
    EXPECT_EQ(roamingAppDataFolder(), "/srv/config");
    EXPECT_EQ(localAppDataFolder(), "/srv/data");
  }
  ScopedEnvironment config("XDG_CONFIG_HOME", std::nullopt);
  ScopedEnvironment data("XDG_DATA_HOME", "relative/ignored");
  EXPECT_EQ(roamingAppDataFolder(), "/home/pilot/.config");
  EXPECT_EQ(localAppDataFolder(), "/home/pilot/.local/share");
}

TEST(KnownFolders, AreEmptyWhenNothingTellsWhereTheUserLives) {
  ScopedEnvironment home("HOME", std::nullopt);
  ScopedEnvironment config("XDG_CONFIG_HOME", std::nullopt);
  EXPECT_TRUE(roamingAppDataFolder().empty());
}

TEST(KnownFolders, ProgramFilesRootCanBeMoved) {
  {
    ScopedEnvironment root("CORVALEN_PROGRAM_FILES", std::nullopt);
    EXPECT_EQ(programFilesFolder(), "/opt");
  }
  ScopedEnvironment root("CORVALEN_PROGRAM_FILES", "/tmp/programs");
  EXPECT_EQ(programFilesFolder(), "/tmp/programs");
}

}  // namespace
}  // namespace cvl::platform

#include "platform/elevation.h"

#include <gtest/gtest.h>

#include "support/temp_folder.h"

namespace cvl::test {
namespace {

TEST(WriteTest, AWritableFolderPassesAndKeepsNoFile) {
  TempFolder folder;
  writeFile(folder.path() / ".write_test.tmp", "a file of the user's");
  EXPECT_TRUE(platform::canWriteIn(folder.path()));

  std::size_t entries = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.path())) {
    ++entries;
  }
  EXPECT_EQ(entries, 1u);
  EXPECT_EQ(readFile(folder.path() / ".write_test.tmp"), "a file of the user's");
}

TEST(WriteTest, AMissingFolderFails) {
  TempFolder folder;
  EXPECT_FALSE(platform::canWriteIn(folder.path() / "missing"));
}

TEST(WriteTest, AFolderWithoutWriteRightsFailsUnlessElevated) {
  TempFolder folder;
  std::filesystem::permissions(folder.path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  EXPECT_EQ(platform::canWriteIn(folder.path()), platform::isElevated());
  std::filesystem::permissions(folder.path(), std::filesystem::perms::owner_all);
}

TEST(Elevation, FollowsTheEffectiveUser) {
  EXPECT_EQ(platform::isElevated(), ::geteuid() == 0);
}

}  // namespace
}  // namespace cvl::test

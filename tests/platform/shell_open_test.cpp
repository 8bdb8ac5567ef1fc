#include "platform/shell_open.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "support/recording_opener.h"
#include "support/temp_folder.h"

namespace cvl::test {
namespace {

// The desktop's opener is one of our own, which writes down what it was asked to open.
class ShellOpenTest : public ::testing::Test {
 protected:
  TempFolder folder_;
  RecordingOpener opener_;
};

TEST_F(ShellOpenTest, AMissingPathIsRefusedWithoutStartingTheOpener) {
  EXPECT_FALSE(platform::openWithDesktop(folder_.path() / "Manual.pdf"));
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_FALSE(opener_.started());
}

TEST_F(ShellOpenTest, TheOpenerGetsTheAbsolutePathAsOneArgument) {
  std::filesystem::create_directories(folder_.path() / "docs");
  writeFile(folder_.path() / "docs" / "a b;$(echo x).pdf", "");
  ScopedCurrentFolder current{folder_.path()};
  EXPECT_TRUE(platform::openWithDesktop(std::filesystem::path{"docs"} / "a b;$(echo x).pdf"));
  EXPECT_EQ(opener_.openedPath(), (folder_.path() / "docs" / "a b;$(echo x).pdf").string());
}

TEST_F(ShellOpenTest, AnOpenerThatFailsOrIsMissingIsAFailure) {
  {
    const RecordingOpener failing{4};  // xdg-open's "the action failed"
    EXPECT_FALSE(platform::openWithDesktop(folder_.path()));
    EXPECT_TRUE(failing.started());
  }
  ScopedEnvironment emptyPath{"PATH", (folder_.path() / "nothing").string()};
  EXPECT_FALSE(platform::openWithDesktop(folder_.path()));
}

}  // namespace
}  // namespace cvl::test

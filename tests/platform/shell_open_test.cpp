#include "platform/shell_open.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "support/temp_folder.h"

namespace cvl::test {
namespace {

// An opener of our own first on PATH, which writes down the argument it was given.
class ShellOpenTest : public ::testing::Test {
 protected:
  ShellOpenTest() {
    std::filesystem::create_directories(bin_);
    // Shell built-ins only: the opener runs with nothing else on PATH.
    writeFile(bin_ / "xdg-open", "#!/bin/sh\nprintf '%s\\n' \"$1\" > \"" + opened_.string() + "\"\n");
    std::filesystem::permissions(bin_ / "xdg-open", std::filesystem::perms::owner_all);
  }

  // The opener runs on its own; wait for its whole note (a missing note fails the test after a generous while).
  std::string openedArgument() const {
    for (int i = 0; i < 1000; ++i) {
      if (std::string note = std::filesystem::exists(opened_) ? readFile(opened_) : ""; note.ends_with('\n')) {
        note.pop_back();
        return note;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return "<not opened>";
  }

  TempFolder folder_;
  std::filesystem::path bin_ = folder_.path() / "bin";
  std::filesystem::path opened_ = folder_.path() / "opened.txt";
  ScopedEnvironment path_{"PATH", bin_.string()};
};

TEST_F(ShellOpenTest, AMissingPathIsRefusedWithoutStartingTheOpener) {
  EXPECT_FALSE(platform::openWithDesktop(folder_.path() / "Manual.pdf"));
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_FALSE(std::filesystem::exists(opened_));
}

TEST_F(ShellOpenTest, TheOpenerGetsTheAbsolutePathAsOneArgument) {
  std::filesystem::create_directories(folder_.path() / "docs");
  writeFile(folder_.path() / "docs" / "a b;$(echo x).pdf", "");
  ScopedCurrentFolder current{folder_.path()};
  EXPECT_TRUE(platform::openWithDesktop(std::filesystem::path{"docs"} / "a b;$(echo x).pdf"));
  EXPECT_EQ(openedArgument(), (folder_.path() / "docs" / "a b;$(echo x).pdf").string());
}

TEST_F(ShellOpenTest, NoOpenerOnThePathIsAFailure) {
  ScopedEnvironment emptyPath{"PATH", (folder_.path() / "nothing").string()};
  EXPECT_FALSE(platform::openWithDesktop(folder_.path()));
}

}  // namespace
}  // namespace cvl::test

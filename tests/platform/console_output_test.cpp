#include <gtest/gtest.h>

#include "headless_window.h"
#include "platform/ui/backend.h"
#include "platform/ui/message_box.h"

namespace cvl::test {
namespace {

using ConsoleOutputTest = HeadlessWindowTest;

TEST_F(ConsoleOutputTest, MessageBoxesGoToStandardErrorAndAreKept) {
  const auto before = ui::shownMessageBoxes().size();
  ::testing::internal::CaptureStderr();
  ui::showMessageBox("Could not open local folder with Manual");
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "CRVL: Could not open local folder with Manual\n");
  ASSERT_EQ(ui::shownMessageBoxes().size(), before + 1);
  EXPECT_EQ(ui::shownMessageBoxes().back(), "Could not open local folder with Manual");
}

TEST_F(ConsoleOutputTest, MirroredLinesGoToStandardOutput) {
  ::testing::internal::CaptureStdout();
  ui::mirrorToConsole("Restarting after 3 seconds");
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Restarting after 3 seconds\n");
}

}  // namespace
}  // namespace cvl::test

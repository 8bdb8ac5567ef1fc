#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/main_window.h"
#include "foundation/throttled_log.h"
#include "support/default_settings.h"

namespace {

// The settings and the window's values are the program's global objects: every test starts from their defaults, an
// empty status line (no notice held by an earlier test) and fresh limits of the log lines, whatever ran before it.
class DefaultSettingsForEveryTest : public testing::EmptyTestEventListener {
  void OnTestStart(const testing::TestInfo&) override {
    cvl::test::restoreDefaultSettings();
    cvl::mainWindow.resetDisplayValues();
    cvl::gf_restartLogLimits();
  }
};

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleMock(&argc, argv);
  testing::UnitTest::GetInstance()->listeners().Append(new DefaultSettingsForEveryTest);
  return RUN_ALL_TESTS();
}

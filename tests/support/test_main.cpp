#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/default_settings.h"

namespace {

// The settings are the program's global objects: every test starts from their defaults, whatever ran before it.
class DefaultSettingsForEveryTest : public testing::EmptyTestEventListener {
  void OnTestStart(const testing::TestInfo&) override { cvl::test::restoreDefaultSettings(); }
};

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleMock(&argc, argv);
  testing::UnitTest::GetInstance()->listeners().Append(new DefaultSettingsForEveryTest);
  return RUN_ALL_TESTS();
}

#include "sceneryscan/scan_throttle.h"

#include <gtest/gtest.h>

#include <future>
#include <stdexcept>

#include "app/worker_thread.h"
#include "liveries/scan_task_throttle.h"
#include "support/scan_tasks.h"

namespace cvl::test {
namespace {

class ScanThrottleTest : public ::testing::Test {
 protected:
  ScanThrottleTest() {
    hardwareThreads = 2;
    scanSlotsInUse = 0;
  }
  ~ScanThrottleTest() override { scanSlotsInUse = 0; }
};

TEST_F(ScanThrottleTest, ATaskHoldsItsSlotUntilItsBodyEnds) {
  std::promise<void> release;
  auto released = release.get_future().share();
  auto first = gf_startScanTask([released] { released.wait(); });
  auto second = gf_startScanTask([released] { released.wait(); });
  EXPECT_EQ(scanSlotsInUse, 2U);

  release.set_value();
  first.get();
  second.get();
  test::waitForScanTasks();
  EXPECT_EQ(scanSlotsInUse, 0U);
  gf_waitForTaskSlot();
}

TEST_F(ScanThrottleTest, AFailingTaskGivesItsSlotBackAndReportsThroughItsFuture) {
  auto failing = gf_startScanTask([] { throw std::runtime_error("damaged file"); });
  EXPECT_THROW(failing.get(), std::runtime_error);
  test::waitForScanTasks();
  EXPECT_EQ(scanSlotsInUse, 0U);
}

TEST_F(ScanThrottleTest, UnknownHardwareStillGivesOneSlot) {
  hardwareThreads = 0;
  gf_waitForTaskSlot();  // returns: one slot is free
  gf_startScanTask([] {}).get();
  test::waitForScanTasks();
  EXPECT_EQ(scanSlotsInUse, 0U);
}

}  // namespace
}  // namespace cvl::test

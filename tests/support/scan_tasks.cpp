#include "support/scan_tasks.h"

#include <chrono>
#include <thread>

#include "app/worker_thread.h"

namespace cvl::test {

void waitForScanTasks() {
  while (scanSlotsInUse.load() > 0) {
    std::this_thread::sleep_for(std::chrono::milliseconds{1});
  }
}

}  // namespace cvl::test

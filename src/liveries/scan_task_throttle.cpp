#include "liveries/scan_task_throttle.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "app/exit_reasons.h"
#include "app/worker_thread.h"

namespace cvl {
namespace {

constexpr std::chrono::milliseconds pollStep{1};

}  // namespace

std::uint32_t gf_maxTaskCount() {
  return std::max<std::uint32_t>(hardwareThreads.load(), 1);
}

bool gf_waitForTaskSlot() {
  while (scanSlotsInUse.load() >= gf_maxTaskCount()) {
    if (gf_stopping()) {
      return false;
    }
    std::this_thread::sleep_for(pollStep);
  }
  return true;
}

}  // namespace cvl

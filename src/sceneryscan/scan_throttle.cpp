#include "sceneryscan/scan_throttle.h"

#include <thread>
#include <utility>

#include "app/worker_thread.h"

namespace cvl {
namespace {

// Never below zero: the worker puts the count back to 0 at the start of every cycle.
void lf_releaseTaskSlot() {
  auto busy = scanSlotsInUse.load();
  while (busy > 0 && !scanSlotsInUse.compare_exchange_weak(busy, busy - 1)) {
  }
}

class TaskSlot {
 public:
  TaskSlot() = default;
  ~TaskSlot() { lf_releaseTaskSlot(); }
  TaskSlot(const TaskSlot&) = delete;
  TaskSlot& operator=(const TaskSlot&) = delete;
};

}  // namespace

std::future<void> gf_startScanTask(std::function<void()> body) {
  std::packaged_task<void()> task{[body = std::move(body)] {
    const TaskSlot slot;
    body();
  }};
  auto future = task.get_future();
  // The slot is taken before the thread starts, so a quick task cannot give it back before it was taken.
  ++scanSlotsInUse;
  try {
    std::thread{std::move(task)}.detach();
  } catch (...) {
    lf_releaseTaskSlot();
    throw;
  }
  return future;
}

}  // namespace cvl

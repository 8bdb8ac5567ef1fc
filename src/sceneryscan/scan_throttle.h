#pragma once

#include <chrono>
#include <functional>
#include <future>

#include "app/exit_reasons.h"

// The tasks of the scans: each file is read by a task on a detached thread of its own that holds one of the slots
// counted in scanSlotsInUse (app/worker_thread.h); gf_waitForTaskSlot (liveries/scan_task_throttle.h) waits for a free
// one. A task may be stuck in its read (a folder on a network drive that dropped), so no wait for a task outlasts a
// stop of the run.
namespace cvl {

// Takes a slot and runs the body on a detached thread that gives the slot back when the body ends, on every path. The
// future is the only link back: it reports the end of the body and passes on its exception. A thread that cannot be
// started gives its slot back and throws std::system_error.
std::future<void> gf_startScanTask(std::function<void()> body);

// How often a wait for tasks looks at the stop flags.
inline constexpr std::chrono::milliseconds stopPollStep{10};

enum class TaskWait { ended, timedOut, stopped };

// Waits until the task's future is ready, the limit has passed or a stop of the run is under way, whichever comes
// first.
template <typename Result>
TaskWait gf_waitForScanTask(const std::future<Result>& future, std::chrono::seconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (future.wait_for(stopPollStep) != std::future_status::ready) {
    if (gf_stopping()) {
      return TaskWait::stopped;
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      return TaskWait::timedOut;
    }
  }
  return TaskWait::ended;
}

}  // namespace cvl

#pragma once

#include <functional>
#include <future>

// The tasks of the add-on airport scan: each file is decoded by a task on a detached thread of its own that holds one
// of the slots counted in scanSlotsInUse (app/worker_thread.h); gf_waitForTaskSlot (liveries/scan_task_throttle.h),
// shared with the livery scan, waits for a free one.
namespace cvl {

// Takes a slot and runs the body on a detached thread that gives the slot back when the body ends, on every path. The
// future is the only link back: it reports the end of the body and passes on its exception. A thread that cannot be
// started gives its slot back and throws std::system_error.
std::future<void> gf_startScanTask(std::function<void()> body);

// Returns once every task has given its slot back, so that nothing of a scan outlives it.
void gf_waitForAllScanTasks();

}  // namespace cvl

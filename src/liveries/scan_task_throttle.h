#pragma once

#include <cstdint>

// The throttle of the scans' file tasks: at most the hardware thread count of tasks run at once. The running tasks are
// counted in scanSlotsInUse and the maximum is hardwareThreads (app/worker_thread.h); the worker sets both before any
// scan runs.
namespace cvl {

// The most tasks that may run at once: hardwareThreads, at least 1.
std::uint32_t gf_maxTaskCount();

// Returns true once fewer tasks run than the maximum, false when a stop of the run ends the wait first (the slots may
// be held by tasks stuck in their reads). It reserves nothing: the task takes its slot when it starts
// (gf_startScanTask, sceneryscan/scan_throttle.h).
bool gf_waitForTaskSlot();

}  // namespace cvl

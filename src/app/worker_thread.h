#pragma once

#include <atomic>
#include <cstdint>

// One run cycle of the program: start-up, the run loop, closing down. The window starts a worker on its start message
// and detaches it; the worker's last act posts either the next start message (restart) or the quit message.
namespace cvl {

// Number of hardware threads, written at the start of every cycle; the add-on airport scan uses it as its slot count.
extern std::atomic<std::uint32_t> hardwareThreads;
// Busy slots of the add-on airport scan, put back to 0 by every cycle before any scan.
extern std::atomic<std::uint32_t> scanSlotsInUse;

// Body of the worker thread: runs one cycle and never lets an exception escape. An exception of the start-up or the
// run shows its text on the error line and ends the cycle with exit reason SYSTEM ERROR.
void lf_workerThread();

// True from the moment a worker starts until it has ended.
bool gf_workerRunning();
// Blocks until no worker runs: the program must not end while a cycle still runs.
void gf_waitForWorkers();

}  // namespace cvl

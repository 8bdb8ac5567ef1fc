#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <string_view>

// The end of every run cycle. Whoever wants the cycle to end sets the stop flags and an exit reason (exit_reasons.h);
// the loops of the cycle see the flags and return; closing down then stops the threads and sockets of the cycle,
// cleans up, and either restarts the cycle in the same process after a countdown or ends the program.
namespace cvl {

// How closing down waits (the grace before the sockets close, the countdown's seconds, the new-flight notice, the
// wait for the user after a system error). Tests make the waits pass at once.
extern std::function<void(std::chrono::milliseconds)> closingDownPause;

// A reader thread ended with an error: status line, logged, and a restart after 15 seconds unless a stop is already
// requested. Any thread.
void gf_readerStopped(std::string_view readerName, const std::string& error);
// The simulator quit: a log line and the end of the program, unless a stop is already requested. Any thread.
void gf_simNoLongerConnected();

// The end of a cycle, on the worker thread: posts WM_APP_START (restart) or WM_APP_QUIT to the main window as its last
// act. Never throws; a failure on the way is shown and logged, and the program then ends.
void lf_closingDown();
// Counts restartDelaySeconds down on the status line, one second at a time; ends early when the window is closed.
void lf_restartCountdown();
// Puts every per-cycle value back to its start value, so that the next cycle begins as the first did.
void lf_resetForRestart();

}  // namespace cvl

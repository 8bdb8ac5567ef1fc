#pragma once

#include <atomic>

// The process: one running copy per user session, Log.txt, the settings folder, the main window, the first run cycle
// and the message loop. The UI thread is the thread that enters here.
namespace cvl {

// The production switch of the command line: its value (true = production) and whether a switch was given.
extern bool productionValue;
extern bool productionGiven;
// Set after the main window exists when the command line asked for production: the start-up then ends the program.
extern std::atomic<bool> productionMode;
// What the process returns when its message loop ended with 0: 1 after a system error in production mode.
extern std::atomic<int> processExitCode;

// Holds the stop signals (SIGINT, SIGTERM) from the first line of main: one that comes in the first steps of a start,
// before the main window can close on it, waits until it can, and the program then closes as for a later stop. The
// UI thread takes them once their handler stands; it starts every other thread of the program after that.
void gf_holdStopSignals();
// The process entry: -1 at once when another copy runs; 1 when Log.txt cannot be opened; else lf_appMain's result.
int gf_programMain(int argc, const char* const* argv);
// The UI thread's set-up and message loop. Returns the exit code of the loop, or 1 when the set-up failed. It returns
// only once no worker cycle runs any more.
int lf_appMain(int argc, const char* const* argv);
// Reads the switches "--production", "/production", "--no-production" and "/no-production" (compared without regard
// to ASCII case; the last one counts) from the arguments after the program's path; others are ignored.
void lf_readCommandLine(int argc, const char* const* argv);

}  // namespace cvl

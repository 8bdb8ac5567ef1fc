#pragma once

#include <atomic>
#include <cstdint>
#include <string_view>

// Why a run cycle ends, and the flags every loop of the cycle watches.
namespace cvl {

enum class ExitReason : std::uint32_t {
  notYetSet = 0,
  simWasClosed = 1,
  newFlight = 2,
  newSettings = 3,
  userClosedSim = 4,
  simConnectError = 5,
  readerError = 6,
  systemError = 7,
  newVersion = 8,
};

// The text "Exiting: {}" logs; throws std::out_of_range for a value outside the table.
std::string_view gf_exitReasonText(ExitReason reason);

extern std::atomic<ExitReason> exitReason;
extern std::atomic<std::int32_t> restartDelaySeconds;
// The cycle must end. Set together with the exit reason by the first stop request of a cycle.
extern std::atomic<bool> stopRequested;
// The program ends for good. Always set together with stopRequested.
extern std::atomic<bool> closeRequested;
// Closing down found that a restart follows; the next start-up skips the version check.
extern std::atomic<bool> restartPending;

// The first request of a cycle fixes the reason and the delay. USER CLOSED SIM closes the program: both flags are set
// and the reason is filled in only when none is set yet.
void gf_requestExit(ExitReason reason, std::int32_t restartDelay);

// True while a stop or close has been requested: the moment to stop logging failures the stop itself causes.
inline bool gf_stopping() {
  return stopRequested.load() || closeRequested.load();
}

}  // namespace cvl

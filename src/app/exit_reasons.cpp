#include "app/exit_reasons.h"

#include <array>
#include <stdexcept>

namespace cvl {

std::atomic<ExitReason> exitReason{ExitReason::notYetSet};
std::atomic<std::int32_t> restartDelaySeconds{0};
std::atomic<bool> stopRequested{false};
std::atomic<bool> closeRequested{false};
std::atomic<bool> restartPending{false};

std::string_view gf_exitReasonText(ExitReason reason) {
  static constexpr std::array<std::string_view, 9> texts{
      "NOT YET SET",      "SIM WAS CLOSED", "NEW FLIGHT",   "NEW SETTINGS", "USER CLOSED SIM",
      "SIMCONNECT ERROR", "READER ERROR",   "SYSTEM ERROR", "NEW VERSION",
  };
  const auto index = static_cast<std::size_t>(reason);
  if (index >= texts.size()) {
    throw std::out_of_range("invalid unordered_map<K, T> key");
  }
  return texts[index];
}

void gf_requestExit(ExitReason reason, std::int32_t restartDelay) {
  if (reason == ExitReason::userClosedSim) {
    closeRequested.exchange(true);
    stopRequested.exchange(true);
    auto unset = ExitReason::notYetSet;
    exitReason.compare_exchange_strong(unset, ExitReason::userClosedSim);
    return;
  }
  if (stopRequested.exchange(true)) {
    return;
  }
  exitReason = reason;
  restartDelaySeconds = restartDelay;
}

}  // namespace cvl

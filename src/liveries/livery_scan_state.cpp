#include "liveries/livery_scan_state.h"

#include <utility>

namespace cvl {
namespace {

std::mutex currentStateMutex;
std::shared_ptr<LiveryScanState> currentState = std::make_shared<LiveryScanState>();

thread_local LiveryScanState* boundState = nullptr;

}  // namespace

void ReportList::add(std::string line) {
  const std::lock_guard lock{mutex_};
  lines_.push_back(std::move(line));
}

std::vector<std::string> ReportList::lines() const {
  const std::lock_guard lock{mutex_};
  return lines_;
}

bool ReportList::empty() const {
  const std::lock_guard lock{mutex_};
  return lines_.empty();
}

LiveryScanState& lf_scanState() {
  if (boundState != nullptr) {
    return *boundState;
  }
  const std::lock_guard lock{currentStateMutex};
  return *currentState;
}

std::shared_ptr<LiveryScanState> lf_currentScanState() {
  const std::lock_guard lock{currentStateMutex};
  return currentState;
}

void lf_renewScanState() {
  auto fresh = std::make_shared<LiveryScanState>();
  const std::lock_guard lock{currentStateMutex};
  currentState = std::move(fresh);
}

ScanStateBinding::ScanStateBinding(std::shared_ptr<LiveryScanState> state) : state_{std::move(state)} {
  boundState = state_.get();
}

ScanStateBinding::~ScanStateBinding() {
  boundState = nullptr;
}

}  // namespace cvl

#include "foundation/throttled_log.h"

#include <fmt/format.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "foundation/log.h"
#include "foundation/utilities.h"

namespace cvl {
namespace {

constexpr std::uint32_t linesPerMinute = 5;
constexpr std::chrono::minutes minute{1};

// Every limit alive. Built on first use, by the first limit, so that it outlives every limit.
struct Registry {
  std::mutex mutex;
  std::vector<LogLimit*> limits;
};

Registry& lf_registry() {
  static Registry registry;
  return registry;
}

template <class Action>
void lf_forEachLimit(Action action) {
  Registry& registry = lf_registry();
  const std::lock_guard lock{registry.mutex};
  std::for_each(registry.limits.begin(), registry.limits.end(), action);
}

}  // namespace

void LogLimit::lf_list() {
  Registry& registry = lf_registry();
  const std::lock_guard lock{registry.mutex};
  registry.limits.push_back(this);
}

void LogLimit::lf_unlist() {
  Registry& registry = lf_registry();
  const std::lock_guard lock{registry.mutex};
  std::erase(registry.limits, this);
}

ThrottledLog::ThrottledLog(std::string_view source, std::string_view event, Clock clock)
    : ThrottledLog{source, event, std::move(clock), false} {}

ThrottledLog::ThrottledLog(std::string_view source, std::string_view event, OncePerRun)
    : ThrottledLog{source, event, {}, true} {}

ThrottledLog::ThrottledLog(std::string_view source, std::string_view event, Clock clock, bool oncePerRun)
    : now{clock ? std::move(clock) : [] { return std::chrono::steady_clock::now(); }},
      source_{source},
      event_{event},
      oncePerRun_{oncePerRun} {
  lf_list();
}

ThrottledLog::~ThrottledLog() {
  lf_unlist();
}

bool ThrottledLog::admit() {
  const auto moment = now();
  const std::lock_guard lock{mutex_};
  return lf_admitLocked(moment);
}

bool ThrottledLog::admitState(std::string_view line) {
  const auto moment = now();
  const std::lock_guard lock{mutex_};
  const bool admitted = lf_admitLocked(moment);
  latestState_ = admitted ? std::string{} : std::string{line};
  return admitted;
}

bool ThrottledLog::lf_admitLocked(std::chrono::steady_clock::time_point moment) {
  if (!oncePerRun_ && minuteStart_ && moment - *minuteStart_ >= minute) {
    lf_reportLeftOut();
  }
  if (!minuteStart_) {
    minuteStart_ = moment;
  }
  if (written_ < (oncePerRun_ ? 1 : linesPerMinute)) {
    ++written_;
    return true;
  }
  ++leftOut_;
  return false;
}

void ThrottledLog::reportWhenDue() {
  if (oncePerRun_) {
    return;
  }
  const auto moment = now();
  const std::lock_guard lock{mutex_};
  if (minuteStart_ && moment - *minuteStart_ >= minute) {
    lf_reportLeftOut();
  }
}

void ThrottledLog::restart() {
  const std::lock_guard lock{mutex_};
  lf_reportLeftOut();
}

void ThrottledLog::lf_reportLeftOut() {
  // The latest state is written after the count, and so is not among the lines left out.
  const std::uint64_t notWritten = latestState_.empty() ? leftOut_ : leftOut_ - 1;
  if (notWritten > 0) {
    gf_log(
        fmt::format("{}: {} more {}{} left out of the log", source_, notWritten, event_, gf_pluralSSize(notWritten)));
  }
  if (!latestState_.empty()) {
    // Written out at once: the log's periodic flush would leave Log.txt on disk behind the state by up to half a
    // minute more.
    gf_logAndFlush(latestState_);
    latestState_.clear();
  }
  minuteStart_.reset();
  written_ = 0;
  leftOut_ = 0;
}

LineOnChange::LineOnChange() {
  lf_list();
}

LineOnChange::~LineOnChange() {
  lf_unlist();
}

bool LineOnChange::changed(std::string_view state) {
  const std::lock_guard lock{mutex_};
  if (last_ && *last_ == state) {
    return false;
  }
  last_ = std::string{state};
  return true;
}

void LineOnChange::forget() {
  const std::lock_guard lock{mutex_};
  last_.reset();
}

void gf_reportDueLeftOutCounts() {
  lf_forEachLimit([](LogLimit* limit) { limit->reportWhenDue(); });
}

void gf_restartLogLimits() {
  lf_forEachLimit([](LogLimit* limit) { limit->restart(); });
}

}  // namespace cvl

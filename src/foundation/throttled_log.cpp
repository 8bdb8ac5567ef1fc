#include "foundation/throttled_log.h"

#include <fmt/format.h>

#include <utility>

#include "foundation/log.h"
#include "foundation/utilities.h"

namespace cvl {
namespace {

constexpr std::uint32_t linesPerMinute = 5;
constexpr std::chrono::minutes minute{1};

}  // namespace

ThrottledLog::ThrottledLog(std::string_view source, std::string_view event, Clock clock)
    : now{clock ? std::move(clock) : [] { return std::chrono::steady_clock::now(); }}, source_{source}, event_{event} {}

bool ThrottledLog::admit() {
  const auto moment = now();
  const std::lock_guard lock{mutex_};
  if (minuteStart_ && moment - *minuteStart_ >= minute) {
    lf_reportLeftOut();
  }
  if (!minuteStart_) {
    minuteStart_ = moment;
  }
  if (written_ < linesPerMinute) {
    ++written_;
    return true;
  }
  ++leftOut_;
  return false;
}

void ThrottledLog::reportWhenDue() {
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
  if (leftOut_ > 0) {
    gf_log(fmt::format("{}: {} more {}{} left out of the log", source_, leftOut_, event_, gf_pluralSSize(leftOut_)));
  }
  minuteStart_.reset();
  written_ = 0;
  leftOut_ = 0;
}

}  // namespace cvl

#include "trafficin/malformed_datagram_log.h"

#include <fmt/format.h>

#include "foundation/log.h"
#include "foundation/utilities.h"

namespace cvl {
namespace {

constexpr std::uint32_t linesPerMinute = 5;
constexpr std::chrono::minutes minute{1};

}  // namespace

MalformedDatagramLog::MalformedDatagramLog(std::string_view readerName)
    : now{[] { return std::chrono::steady_clock::now(); }}, readerName_{readerName} {}

bool MalformedDatagramLog::admit() {
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

void MalformedDatagramLog::reportWhenDue() {
  const auto moment = now();
  const std::lock_guard lock{mutex_};
  if (minuteStart_ && moment - *minuteStart_ >= minute) {
    lf_reportLeftOut();
  }
}

void MalformedDatagramLog::restart() {
  const std::lock_guard lock{mutex_};
  lf_reportLeftOut();
}

void MalformedDatagramLog::lf_reportLeftOut() {
  if (leftOut_ > 0) {
    gf_log(fmt::format("{}: {} more malformed datagram{} left out of the log", readerName_, leftOut_,
                       gf_pluralSSize(leftOut_)));
  }
  minuteStart_.reset();
  written_ = 0;
  leftOut_ = 0;
}

}  // namespace cvl

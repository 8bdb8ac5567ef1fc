#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

// The lines about one kind of event that anyone on the network can cause thousands of times a second (a malformed
// datagram, a report stamped ahead): only a few a minute reach Log.txt; the others are counted, and the count is
// logged once their minute is over.
namespace cvl {

class ThrottledLog {
 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;

  // The count line reads "{source}: {count} more {event}s left out of the log". The minutes are those of the clock,
  // the steady clock when none is given.
  ThrottledLog(std::string_view source, std::string_view event, Clock clock = {});

  // Whether the line about one more event may be written now; when not, the event is counted.
  bool admit();
  // Logs the count of the events left out, once the minute they fell in is over.
  void reportWhenDue();
  // Logs the count of the events left out, if any, and starts afresh.
  void restart();

  // A test may put a clock of its own in its place before the first event.
  Clock now;

 private:
  void lf_reportLeftOut();

  std::string source_;
  std::string event_;
  std::mutex mutex_;
  // When the current minute began; none while no line has been written since the last report.
  std::optional<std::chrono::steady_clock::time_point> minuteStart_;
  std::uint32_t written_ = 0;
  std::uint64_t leftOut_ = 0;
};

}  // namespace cvl

#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string_view>

// The lines one reader writes about malformed datagrams. Anyone on the network can send thousands of them a second,
// so only a few a minute reach Log.txt; the others are counted, and the count is logged once their minute is over.
namespace cvl {

class MalformedDatagramLog {
 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;

  // The reader's name begins the line with the count.
  explicit MalformedDatagramLog(std::string_view readerName);

  // Whether the line about one more malformed datagram may be written now; when not, the datagram is counted.
  bool admit();
  // Logs the count of the datagrams left out, once the minute they fell in is over.
  void reportWhenDue();
  // Logs the count of the datagrams left out, if any, and starts afresh.
  void restart();

  // The steady clock; tests put one of their own in its place before the reader runs.
  Clock now;

 private:
  void lf_reportLeftOut();

  std::string_view readerName_;
  std::mutex mutex_;
  // When the current minute began; none while no line has been written since the last report.
  std::optional<std::chrono::steady_clock::time_point> minuteStart_;
  std::uint32_t written_ = 0;
  std::uint64_t leftOut_ = 0;
};

}  // namespace cvl

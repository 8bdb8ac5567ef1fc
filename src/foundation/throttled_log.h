#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

// Log.txt stays bounded whatever anyone outside does. A line that an outside party (the traffic feed and its link, the
// simulator and its other clients, files that add-ons put in the folders the program reads) can cause as often as it
// likes, each time under a new identity if it will, goes through a ThrottledLog: only a few such lines a minute reach
// Log.txt, or one in the whole run; the others are counted, and the count is logged once their minute is over, and at
// the latest when the run ends. A line about a state the program looks at again and again goes through a
// LineOnChange instead.
namespace cvl {

// What every limit of Log.txt does besides letting lines through. Each limit alive is listed, so that the per-second
// job and the end of a run reach them all.
class LogLimit {
 public:
  LogLimit(const LogLimit&) = delete;
  LogLimit& operator=(const LogLimit&) = delete;

  // Logs what was left out, once its time is over.
  virtual void reportWhenDue() = 0;
  // Logs what was left out, if anything, and starts afresh.
  virtual void restart() = 0;

 protected:
  LogLimit() = default;
  ~LogLimit() = default;
  // Called at the end of the constructor and the start of the destructor of the final class, so that no other
  // thread reaches a limit that is not whole.
  void lf_list();
  void lf_unlist();
};

class ThrottledLog final : public LogLimit {
 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;
  // The line is worth writing once in a run only.
  struct OncePerRun {};

  // The count line reads "{source}: {count} more {event}s left out of the log". The minutes are those of the clock,
  // the steady clock when none is given.
  ThrottledLog(std::string_view source, std::string_view event, Clock clock = {});
  ThrottledLog(std::string_view source, std::string_view event, OncePerRun);
  ~ThrottledLog();

  // Whether the line about one more event may be written now; when not, the event is counted.
  bool admit();
  // The same for a line that tells what state something is in now (the link is up, the link is down). The latest of
  // those left out is kept and written after the count, and flushed, so that Log.txt on disk says the state as it is
  // a minute later at the latest, however often the state changed.
  bool admitState(std::string_view line);
  // Logs the count of the events left out, once the minute they fell in is over.
  void reportWhenDue() override;
  // Logs the count of the events left out, if any, and starts afresh.
  void restart() override;

  // A test may put a clock of its own in its place before the first event.
  Clock now;

 private:
  ThrottledLog(std::string_view source, std::string_view event, Clock clock, bool oncePerRun);
  bool lf_admitLocked(std::chrono::steady_clock::time_point moment);
  void lf_reportLeftOut();

  std::string source_;
  std::string event_;
  const bool oncePerRun_;
  std::mutex mutex_;
  // When the current minute began; none while no line has been written since the last report.
  std::optional<std::chrono::steady_clock::time_point> minuteStart_;
  std::uint32_t written_ = 0;
  std::uint64_t leftOut_ = 0;
  // The latest state line left out; empty when the latest state line was written.
  std::string latestState_;
};

// A line about a state that the program looks at again and again (the airport the user stands at, every 16 s) is
// written when the state differs from the one last written.
class LineOnChange final : public LogLimit {
 public:
  LineOnChange();
  ~LineOnChange();

  // Whether the state differs from the one passed before; it is remembered.
  bool changed(std::string_view state);
  // The next state counts as changed, whatever it is.
  void forget();

  void reportWhenDue() override {}
  void restart() override { forget(); }

 private:
  std::mutex mutex_;
  std::optional<std::string> last_;
};

// Every limit alive, from any thread: the counts whose minute is over (the per-second job), and everything left out
// at the end of a run, which starts each limit afresh.
void gf_reportDueLeftOutCounts();
void gf_restartLogLimits();

}  // namespace cvl

#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <future>

#include "liveries/livery_data.h"

// The walk of one livery folder: every aircraft.cfg below it is read on a thread of its own, at most the throttle's
// maximum at once, and the liveries the readers return are appended to ScannedLiveries in the order the walk found
// their files.
namespace cvl {

using LiveryReader = std::function<LiveryList(std::uint32_t folderPriority, const std::filesystem::path& path)>;

// Walks the folder and collects what its readers find. Failures inside the folder (a file, a task) are logged and
// skipped. A stop of the run ends the walk: no further task starts, and the pending ones are left to end on their own.
void lf_searchLiveriesinFolder(std::uint32_t folderPriority, const std::filesystem::path& folder);

// The reader tasks of one walk, oldest first. Each runs on a detached thread and holds a scan task slot
// (sceneryscan/scan_throttle.h) from just before its thread starts until its reader has returned, and it holds its
// scan's lists and titles (liveries/livery_scan_state.h) for as long as it runs.
class PendingScanTasks {
 public:
  // Waits for a task slot, then starts the reader on the file; a stop that ends the wait starts nothing.
  void start(LiveryReader reader, std::uint32_t folderPriority, const std::filesystem::path& path);

  // Takes the oldest task off the list and moves its liveries to the end of ScannedLiveries. Throws the task's
  // exception, or std::runtime_error "Future wait timed out after 10 seconds" for a task that has not ended by then
  // (it goes on running, and its liveries are lost). Once a stop is under way it waits no longer and takes nothing.
  void collectOldest();

  std::size_t size() const { return futures_.size(); }
  bool empty() const { return futures_.empty(); }

 private:
  std::deque<std::future<LiveryList>> futures_;
};

}  // namespace cvl

#include "liveries/folder_walk.h"

#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <exception>
#include <memory>
#include <stdexcept>
#include <string_view>
#include <system_error>
#include <utility>

#include "app/exit_reasons.h"
#include "foundation/log.h"
#include "foundation/strings.h"
#include "foundation/text_encoding.h"
#include "liveries/aircraft_cfg.h"
#include "liveries/livery_scan_state.h"
#include "liveries/mtl_reader.h"
#include "liveries/scan_task_throttle.h"
#include "sceneryscan/scan_throttle.h"

namespace cvl {
namespace {

namespace fs = std::filesystem;

constexpr std::chrono::seconds taskWaitLimit{10};
// Paths this long (UTF-8 bytes) are not entered: the simulator's own limit on paths.
constexpr std::size_t longestPathBytes = 250;
// Packages below the scanned folder that hold no AI liveries, or liveries the scan must not take.
constexpr std::array<std::string_view, 9> skipFragments{"airport",   "lvfr",     "mkstudios", "simwings", "fsdreamteam",
                                                        "navigraph", "flytampa", "inibuilds", "_CVT_"};
constexpr std::array<std::string_view, 2> ivaoMarkers{"ivao_x-csl", "IVAO_MTL"};

// Packages whose name holds a skip fragment are not entered, nor are folders whose path is too long. Only the part of
// the path below the scanned folder counts for the fragments, so the scanned folder's own location never hides it.
void lf_limitDescent(fs::recursive_directory_iterator& entries, const fs::path& folder) {
  const auto& path = entries->path();
  const std::string_view below =
      std::string_view{path.native()}.substr(std::min(path.native().size(), folder.native().size()));
  if (gf_containsAny(below, skipFragments) || gf_pathToUtf8(path).size() >= longestPathBytes) {
    entries.disable_recursion_pending();
  }
}

bool lf_isAircraftCfg(const fs::directory_entry& entry) {
  std::error_code failure;
  const auto status = entry.status(failure);
  if (failure || !fs::is_regular_file(status)) {
    return false;
  }
  return gf_equalsUpper(".CFG", entry.path().extension().native()) &&
         gf_equalsUpper("AIRCRAFT", entry.path().stem().native());
}

LiveryReader lf_readerFor(const fs::path& path) {
  if (gf_containsAny(path.native(), ivaoMarkers)) {
    return lf_searchLiveriesinIVAOFile;
  }
  return lf_searchLiveriesinFile;
}

void lf_examineEntry(std::uint32_t folderPriority, const fs::path& folder, fs::recursive_directory_iterator& entries,
                     PendingScanTasks& pending) {
  const auto path = entries->path();
  try {
    lf_limitDescent(entries, folder);
    if (!lf_isAircraftCfg(*entries)) {
      return;
    }
    pending.start(lf_readerFor(path), folderPriority, path);
    if (pending.size() > gf_maxTaskCount()) {
      try {
        pending.collectOldest();
      } catch (const std::exception& failure) {
        gf_logFlagged(fmt::format("liveries inner search aborted: {}", failure.what()));
      }
    }
  } catch (const std::exception& failure) {
    gf_logFlagged(fmt::format("liveries search in {} aborted, cause: {}", path.string(), failure.what()));
  }
}

// Directory links are followed and folders that may not be entered are passed over; a folder that cannot be opened
// or read further ends the walk without a word.
void lf_walkFolder(std::uint32_t folderPriority, const fs::path& folder, PendingScanTasks& pending) {
  std::error_code failure;
  fs::recursive_directory_iterator entries{
      folder, fs::directory_options::follow_directory_symlink | fs::directory_options::skip_permission_denied, failure};
  for (; !failure && entries != fs::recursive_directory_iterator{}; entries.increment(failure)) {
    if (gf_stopping()) {
      return;
    }
    lf_examineEntry(folderPriority, folder, entries, pending);
  }
}

}  // namespace

void PendingScanTasks::start(LiveryReader reader, std::uint32_t folderPriority, const fs::path& path) {
  if (!gf_waitForTaskSlot()) {
    return;
  }
  auto result = std::make_shared<std::promise<LiveryList>>();
  auto liveries = result->get_future();
  gf_startScanTask([result, scan = lf_currentScanState(), read = std::move(reader), folderPriority, path] {
    const ScanStateBinding binding{scan};
    try {
      result->set_value(read(folderPriority, path));
    } catch (...) {
      result->set_exception(std::current_exception());
    }
  });
  futures_.push_back(std::move(liveries));
}

void PendingScanTasks::collectOldest() {
  auto oldest = std::move(futures_.front());
  futures_.pop_front();
  switch (gf_waitForScanTask(oldest, taskWaitLimit)) {
    case TaskWait::stopped:
      return;  // a stopped scan keeps nothing
    case TaskWait::timedOut:
      throw std::runtime_error(fmt::format("Future wait timed out after {} seconds", taskWaitLimit.count()));
    case TaskWait::ended:
      break;
  }
  auto liveries = oldest.get();
  ScannedLiveries.splice(ScannedLiveries.end(), liveries);
}

void lf_searchLiveriesinFolder(std::uint32_t folderPriority, const fs::path& folder) {
  PendingScanTasks pending;
  lf_walkFolder(folderPriority, folder, pending);
  while (!pending.empty()) {
    try {
      pending.collectOldest();
    } catch (const std::exception& failure) {
      gf_logFlagged(fmt::format("liveries search aborted, futs outer, {}", failure.what()));
    }
  }
}

}  // namespace cvl

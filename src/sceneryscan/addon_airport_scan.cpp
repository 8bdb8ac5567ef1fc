#include "sceneryscan/addon_airport_scan.h"

#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <deque>
#include <future>
#include <optional>
#include <set>
#include <stdexcept>
#include <string_view>

#include "app/controls.h"
#include "app/exit_reasons.h"
#include "app/main_window.h"
#include "app/sim_choice.h"
#include "app/status_line.h"
#include "foundation/constants.h"
#include "foundation/files.h"
#include "foundation/log.h"
#include "foundation/settings_catalogue.h"
#include "foundation/strings.h"
#include "foundation/text_encoding.h"
#include "foundation/text_files.h"
#include "foundation/utilities.h"
#include "liveries/scan_task_throttle.h"
#include "sceneryscan/airport_linking.h"
#include "sceneryscan/bgl_decoder.h"
#include "sceneryscan/file_status.h"
#include "sceneryscan/folders_before_scan.h"
#include "sceneryscan/install_detection.h"
#include "sceneryscan/scan_log.h"
#include "sceneryscan/scan_throttle.h"
#include "sceneryscan/tblo_archive.h"

namespace cvl {
namespace {

using namespace std::chrono_literals;

constexpr auto taskWaitLimit = 10s;
constexpr std::size_t longestScannedPath = 249;  // UTF-16 units

constexpr std::array<std::string_view, 14> excludedNames{
    "fs-base",       "tutorials",           "aircraft",   "bushtrip",
    "discovery",     "point-of-interest",   "simobjects", "vcockpits",
    "aig-aitraffic", "justflight-aircraft", "fsltl",      "gsx-pro",
    "gsx-world",     "landingchallenge"};
constexpr std::array<std::string_view, 3> passedOverNames{"statics", "afcad updates", "_heliports"};

std::size_t lf_utf16Length(std::string_view utf8) {
  std::size_t units = 0;
  for (const char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte & 0xC0U) != 0x80U) {
      units += byte >= 0xF0U ? 2 : 1;  // a four-byte character needs a surrogate pair
    }
  }
  return units;
}

// The part of the path below the scanned folder: the names above it are the user's, not the packages'.
std::string lf_partBelow(const std::filesystem::path& path, const std::filesystem::path& scannedFolder) {
  return gf_pathToUtf8(path.lexically_relative(scannedFolder));
}

bool lf_isBglFile(const std::filesystem::path& path) {
  return gf_equalsUpper(".BGL", gf_pathToUtf8(path.extension()));
}

// The scan's tasks that were not collected, a wait for them having timed out or been ended by a stop: they may still
// write airport files and scan-log lines. Worker thread.
std::vector<std::future<void>> tasksLeftAtWork;

// Waits a limited time for the task and passes on its exception. A task not collected is left at work; only a wait
// that timed out is an error.
void lf_collectTask(std::future<void>& future) {
  switch (gf_waitForScanTask(future, taskWaitLimit)) {
    case TaskWait::ended:
      future.get();
      return;
    case TaskWait::stopped:
      tasksLeftAtWork.push_back(std::move(future));
      return;
    case TaskWait::timedOut:
      tasksLeftAtWork.push_back(std::move(future));
      throw std::runtime_error("Future wait timed out after 10 seconds");
  }
}

void lf_waitForOldestTask(std::deque<std::future<void>>& pending, const std::filesystem::path& current) {
  try {
    lf_collectTask(pending.front());
  } catch (const std::exception& failure) {
    lf_scanLog(fmt::format("{} airports search aborted, futs inner,\n{}\n{}\n{}", "===> ", failure.what(),
                           pending.size(), gf_pathToUtf8(current)));
  }
  pending.pop_front();
}

void lf_waitForPendingTasks(std::deque<std::future<void>>& pending, const std::filesystem::path& folder) {
  for (auto& future : pending) {
    try {
      lf_collectTask(future);
    } catch (const std::exception& failure) {
      lf_scanLog(fmt::format("{} airports search in {} aborted, futs outer error: {}", "===> ", gf_pathToUtf8(folder),
                             failure.what()));
    }
  }
  pending.clear();
}

// Waits for the tasks left at work until they have ended or a stop is under way; whether they have all ended. The
// tasks of other scans (a livery reader still at work) are not waited for.
bool lf_waitForTasksLeftAtWork() {
  for (const auto& future : tasksLeftAtWork) {
    while (gf_waitForScanTask(future, taskWaitLimit) == TaskWait::timedOut) {
      // a task stuck in its read is waited for as long as no stop comes
    }
  }
  const bool ended = std::all_of(tasksLeftAtWork.begin(), tasksLeftAtWork.end(), [](const std::future<void>& future) {
    return future.wait_for(std::chrono::seconds{0}) == std::future_status::ready;
  });
  if (ended) {
    tasksLeftAtWork.clear();
  }
  return ended;
}

// Whether the walk has been in this folder before, under any name: add-on managers link packages into the Community
// folder, and a link may lead back up.
bool lf_seenBefore(const std::filesystem::path& folder, std::set<std::filesystem::path>& seen) {
  std::error_code failure;
  const auto real = std::filesystem::canonical(folder, failure);
  return failure || !seen.insert(real).second;
}

// The entry's status; none, with a scan-log line, for a link that leads nowhere readable (a loop, a folder without
// permission), so that it costs only itself.
std::optional<std::filesystem::file_status> lf_readableStatus(const std::filesystem::directory_entry& entry) {
  std::error_code unreadable;
  const auto status = entry.status(unreadable);
  if (unreadable) {
    lf_scanLog(
        fmt::format("{} airports search skipped {}: {}", "===> ", gf_pathToUtf8(entry.path()), unreadable.message()));
    return std::nullopt;
  }
  return status;
}

void lf_walkForAirports(const std::filesystem::path& folder, std::deque<std::future<void>>& pending) {
  std::set<std::filesystem::path> seen;
  lf_seenBefore(folder, seen);
  const auto options = std::filesystem::directory_options::skip_permission_denied |
                       std::filesystem::directory_options::follow_directory_symlink;
  for (auto entry = std::filesystem::recursive_directory_iterator(folder, options);
       entry != std::filesystem::recursive_directory_iterator(); ++entry) {
    if (gf_stopping()) {
      return;
    }
    const auto& path = entry->path();
    if (lf_isExcludedPath(path, folder)) {
      entry.disable_recursion_pending();
      continue;
    }
    const auto status = lf_readableStatus(*entry);
    if (!status || (std::filesystem::is_directory(*status) && lf_seenBefore(path, seen))) {
      entry.disable_recursion_pending();
      continue;
    }
    if (!std::filesystem::is_regular_file(*status) || !lf_isBglFile(path) ||
        gf_containsAny(lf_partBelow(path, folder), passedOverNames) || !lf_hasAirportSection(path)) {
      continue;
    }
    if (!gf_waitForTaskSlot()) {
      return;
    }
    pending.push_back(gf_startScanTask([path] { lf_processBGLfile(path); }));
    if (pending.size() > gf_maxTaskCount()) {
      lf_waitForOldestTask(pending, path);
    }
  }
}

void lf_prepareTbloFolder() {
  if (gf_pathExists(tbloFolder)) {
    gf_removeFilesFromDirectory(tbloFolder);
  } else {
    gf_createFolder(tbloFolder);
  }
}

std::vector<std::filesystem::path> lf_foldersToScan() {
  std::vector<std::filesystem::path> folders;
  folders.reserve(10);
  if (msfs2020Mode) {
    folders.push_back(gf_packagePath(officialFolderName));
  }
  folders.push_back(gf_packagePath(communityFolderName));
  std::erase_if(folders, [](const std::filesystem::path& folder) { return folder.empty(); });
  return folders;
}

void lf_writeScanLog() {
  const auto lines = lf_takeScanLogLines();
  std::error_code ignored;
  std::filesystem::create_directories(airportsScanLogPath.parent_path(), ignored);
  if (gf_writeLines(lines, airportsScanLogPath)) {
    gf_log(fmt::format("{} written", gf_pathToUtf8(airportsScanLogPath)));
  } else {
    gf_logFlagged(fmt::format("{} could not be written", gf_pathToUtf8(airportsScanLogPath)));
  }
}

// The user's airport folders that the scan fills afresh. In MSFS 2024 mode airports/my_simaddon keeps the files of
// the data update.
std::vector<std::filesystem::path> lf_foldersToFill() {
  if (msfs2020Mode) {
    return {mySimAddonFolder, myThirdPartyFolder};
  }
  return {myThirdPartyFolder};
}

std::vector<std::string> lf_generatedThirdpartyCodes() {
  std::vector<std::string> codes;
  for (const auto& name : gf_listXmlFiles()) {
    codes.push_back(gf_pathToUtf8(std::filesystem::path{name}.stem()));
  }
  return codes;
}

}  // namespace

bool lf_isExcludedPath(const std::filesystem::path& path, const std::filesystem::path& scannedFolder) {
  if (lf_utf16Length(gf_pathToUtf8(path)) > longestScannedPath) {
    return true;
  }
  return gf_containsAny(gf_asciiLower(lf_partBelow(path, scannedFolder)), excludedNames);
}

void lf_scanFolderForAirports(const std::filesystem::path& folder) {
  lf_scanLog(fmt::format("Scanning for {} airports in {}", "addon ", gf_pathToUtf8(folder)));
  std::deque<std::future<void>> pending;
  try {
    lf_walkForAirports(folder, pending);
  } catch (const std::exception& failure) {
    lf_scanLog(fmt::format("{} airports search in folder {} aborted, cause: {}", "===> ", gf_pathToUtf8(folder),
                           failure.what()));
  }
  lf_waitForPendingTasks(pending, folder);
}

void lf_scanFolders(const std::vector<std::filesystem::path>& folders) {
  for (const auto& folder : folders) {
    if (folder.empty()) {
      continue;
    }
    const auto status = gf_pathStatus(folder);
    if (status.type() == std::filesystem::file_type::not_found) {
      gf_setStatusLine(fmt::format("{} does not exist, skipped!", gf_pathToUtf8(folder)), true);
    } else if (!std::filesystem::is_directory(status)) {
      gf_setStatusLine(fmt::format("{} is not a folder name, skipped!", gf_pathToUtf8(folder)), true);
    } else {
      lf_scanFolderForAirports(folder);
    }
  }
}

bool lf_scanAllFolders(const std::vector<std::filesystem::path>& folders) {
  gf_log(fmt::format("The scan will search {} folder{}", folders.size(), gf_pluralSSize(folders.size())));
  gf_flushLog();
  std::error_code failure;
  std::filesystem::remove(airportsScanLogPath, failure);
  if (failure) {
    gf_log("problems with removing previous files (maybe still open?): " + failure.message());
  }
  tbloReady = 0;
  addonScanSucceeded = false;
  lf_reserveScanLog();
  lf_scanFolders(folders);
  // No task may still write airport files or scan-log lines once they are collected.
  lf_waitForTasksLeftAtWork();
  lf_writeScanLog();
  gf_clearStatusLine();
  if (gf_stopping()) {
    gf_log("Airports scan stopped, it runs again at the next start");
    return false;
  }
  lf_prepareOfflineLearning(lf_generatedThirdpartyCodes());
  if (addonScanSucceeded) {
    gf_log("Airports scan successful");
  }
  return addonScanSucceeded;
}

namespace {

// Sets aside the folders the scan fills. When one of them cannot be (a file in it the user may not read, which the log
// names, a folder he may not write, no room for the copy), those set aside before it are given back and the scan does
// not run: it stays due, and the status line says so until the run starts.
bool lf_setAsideFoldersToFill(const std::vector<std::filesystem::path>& filled) {
  for (auto folder = filled.begin(); folder != filled.end(); ++folder) {
    try {
      gf_setFolderAside(*folder);
    } catch (const std::filesystem::filesystem_error& failure) {
      const std::string skipped =
          fmt::format("Airports scan skipped, {} left as it was ({})", folder->string(), failure.code().message());
      if (gf_holdStatusNotice(folder->string(), skipped)) {
        gf_logFlagged(skipped);
      }
      std::for_each(filled.begin(), folder, gf_tryRestoreFolder);
      return false;
    }
  }
  return true;
}

// Scans into the folders set aside, then lets go of their copies; a stop gives them back instead and the scan stays
// due.
void lf_scanIntoFoldersSetAside(const std::vector<std::filesystem::path>& folders,
                                const std::vector<std::filesystem::path>& filled) {
  const bool found = lf_scanAllFolders(folders);
  if (gf_stopping()) {
    // An interrupted scan stays due and leaves the user's folders as they were. A task still at work may yet write
    // into them: then the next start gives them back, as after a kill.
    if (lf_waitForTasksLeftAtWork()) {
      for (const auto& folder : filled) {
        gf_restoreFolder(folder);
      }
    } else {
      gf_log("The airport folders set aside are given back at the next start");
    }
    return;
  }
  for (const auto& folder : filled) {
    gf_letGoOfSetAside(folder);
  }
  if (!found) {
    gf_setStatusLine("Warning: Scan has not found any add-on airports", true);
  }
  gf_setCheckBox(SCAN_AIRPORTS, false);
  gf_invalidateBand(rcControls);
}

}  // namespace

void gf_scanAddonAirports() {
  gf_setStatusLine("Scanning for addon airports ...", false);
  gf_log(fmt::format("\n++++++++++++++++++++++++ airports scan {} starts +++++++++++++++++++++++++++++", "automatic "));
  gf_flushLog();
  lf_prepareTbloFolder();
  const auto folders = lf_foldersToScan();
  const auto filled = lf_foldersToFill();
  if (lf_setAsideFoldersToFill(filled)) {
    lf_scanIntoFoldersSetAside(folders, filled);
  } else {
    gf_clearStatusLine();
  }
  if (tbloReady == 0) {
    std::error_code ignored;
    std::filesystem::remove_all(tbloFolder, ignored);
  }
  gf_invalidateBand(rcHeader);
  gf_log("-------------------------- airports scan ends    ----------------------------\n");
  gf_flushLog();
}

}  // namespace cvl

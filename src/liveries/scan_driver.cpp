#include "liveries/scan_driver.h"

#include <fmt/format.h>

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>

#include "app/controls.h"
#include "app/exit_reasons.h"
#include "app/main_window.h"
#include "app/shell_helpers.h"
#include "app/status_line.h"
#include "foundation/constants.h"
#include "foundation/log.h"
#include "foundation/settings_catalogue.h"
#include "foundation/strings.h"
#include "foundation/user_error.h"
#include "foundation/utilities.h"
#include "liveries/dont_use_titles.h"
#include "liveries/folder_walk.h"
#include "liveries/livery_data.h"
#include "liveries/livery_scan.h"
#include "liveries/scan_reports.h"
#include "liveries/scanned_liveries_file.h"
#include "platform/ui/controls.h"
#include "sceneryscan/file_status.h"
#include "sceneryscan/install_detection.h"

namespace cvl {
namespace {

namespace fs = std::filesystem;

using PackageFinder = void (*)(const fs::path& community, LiveryFolders& folders);

constexpr std::uint32_t lowestFolderPriority = 10;
constexpr std::size_t expectedFolders = 10;
constexpr std::string_view convertedPackageMark{"_CVT_"};
constexpr int textOnlyError = 99;  // a user error shown as its text alone

void lf_findPackage(const fs::path& community, LiveryFolders& folders, std::initializer_list<std::string_view> markers,
                    std::string_view finderName) {
  // Of several matching packages the first by name, so that the choice does not depend on the file system's order.
  std::optional<fs::path> chosen;
  std::error_code failure;
  fs::directory_iterator entries{community, failure};
  for (; !failure && entries != fs::directory_iterator{}; entries.increment(failure)) {
    const auto name = entries->path().filename().string();
    const bool marked = std::any_of(markers.begin(), markers.end(),
                                    [&](std::string_view marker) { return name.find(marker) != std::string::npos; });
    if (marked && name.find(convertedPackageMark) == std::string::npos &&
        (!chosen || entries->path().filename() < chosen->filename())) {
      chosen = entries->path();
    }
  }
  if (failure) {
    throw fs::filesystem_error("directory_iterator::directory_iterator", community, failure);
  }
  if (chosen) {
    gf_logAndFlush(fmt::format("Automatic {} scan found folder: '{}'", finderName, chosen->string()));
    folders.push_back(*chosen);
  }
}

// The finders of each choice of AI_PACKAGE_SELECTOR, in the order of its choice list.
const std::vector<std::vector<PackageFinder>>& lf_packageOrders() {
  static const auto orders = [] {
    const std::map<std::string, PackageFinder, std::less<>> finders{
        {"AIG", lf_scanAIG}, {"FSLTL", lf_scanFSLTL}, {"JF", lf_scanJF}, {"MTL", lf_scanIVAO_MTL}};
    std::vector<std::vector<PackageFinder>> table;
    table.reserve(aiPackageSelectorChoices.size());
    for (const auto& choice : aiPackageSelectorChoices) {
      auto& order = table.emplace_back();
      for (const auto& name : gf_split(choice, ',')) {
        order.push_back(finders.at(name));
      }
    }
    return table;
  }();
  return orders;
}

bool lf_isFolder(const fs::path& path) {
  std::error_code failure;
  return fs::is_directory(path, failure);
}

// Each airline and type keeps only the liveries of the highest-priority folder that has it.
void lf_keepHighestPriorityFolders() {
  std::map<std::pair<std::string, std::string>, std::uint32_t> bestFolder;
  for (const auto& livery : ScannedLiveries) {
    const auto [entry, added] = bestFolder.try_emplace({livery.airl, livery.type}, livery.folder);
    entry->second = std::min(entry->second, livery.folder);
  }
  ScannedLiveries.remove_if([&](const LiveryData& livery) {
    return livery.folder > bestFolder.at({livery.airl, livery.type});
  });
}

// Scans one existing folder; the number of liveries it gave.
std::size_t lf_scanFolder(std::uint32_t folderPriority, const fs::path& folder) {
  const auto before = ScannedLiveries.size();
  lf_searchLiveriesinFolder(folderPriority, folder);
  if (gf_stopping()) {
    return 0;  // the count of a part of the folder would mislead
  }
  const auto found = ScannedLiveries.size() - before;
  const auto where = fmt::format("found in {}", folder.string());
  if (found < 1) {
    gf_log("No liveries " + where);
  } else {
    gf_log(fmt::format("{} liverie{} {}", found, gf_pluralSSize(found), where));
  }
  return found;
}

// The status line says why; without an earlier file to build the livery tables from, the error line says it.
void lf_reportUnsavedLiveries(const std::string& why) {
  const auto text =
      fmt::format("{} could not be saved ({}), the liveries scan stays due", scannedLiveriesPath.string(), why);
  gf_logFlagged(text);
  gf_setStatusLine(text, false);
  if (!fs::is_regular_file(gf_pathStatus(scannedLiveriesPath))) {
    throw UserErrorException(textOnlyError, text);
  }
}

void lf_finishScan() {
  gf_setCheckBox(SCAN_LIVERIES, false);
  gf_invalidateBand(rcControls);
  gf_enableControl(AI_PACKAGE_SELECTOR);
  gf_invalidateBand(rcHeader);
  gf_logAndFlush("\n++++++++++++++++++++++++ liveries scan ends ++++++++++++++++++++++++++++++++\n");
}

}  // namespace

void lf_scanAIG(const fs::path& community, LiveryFolders& folders) {
  lf_findPackage(community, folders, {"aig-aitraffic-oci"}, "AIG");
}

void lf_scanFSLTL(const fs::path& community, LiveryFolders& folders) {
  lf_findPackage(community, folders, {"fsltl-traffic-base"}, "FSLTL");
}

void lf_scanJF(const fs::path& community, LiveryFolders& folders) {
  lf_findPackage(community, folders, {"justflight-aircraft-traffic-fleet", "justflight-fstraffic-module"}, "JF");
}

void lf_scanIVAO_MTL(const fs::path& community, LiveryFolders& folders) {
  lf_findPackage(community, folders, {"IVAO_MTL"}, "IVAO_MTL");
}

void lf_scanUserAITraffic(const fs::path& community, LiveryFolders& folders) {
  lf_findPackage(community, folders, {"user-aitraffic"}, "user-aitraffic");
}

void lf_checkLfolders(LiveryFolders& folders) {
  for (const StringParameter* setting :
       {&lfolder0, &lfolder1, &lfolder2, &lfolder3, &lfolder4, &lfolder5, &lfolder6, &lfolder7, &lfolder8, &lfolder9}) {
    const auto value = setting->getValue();
    if (value.empty()) {
      continue;
    }
    std::error_code failure;
    if (!fs::exists(value, failure)) {
      gf_logFlagged(fmt::format("{}: '{}' does not exist", setting->key, value));
      throw UserErrorException(
          243, fmt::format("the path pointed to by parameter '{}' does not exist, see Log.txt!", setting->key));
    }
    folders.emplace_back(value);
  }
}

void lf_autoScanAIPackages(const fs::path& community, LiveryFolders& folders) {
  const auto choice = AI_PACKAGE_SELECTOR.indexOfValue();
  if (!choice) {
    throw std::runtime_error(fmt::format("{} not set", AI_PACKAGE_SELECTOR.key));
  }
  for (const auto finder : lf_packageOrders().at(*choice)) {
    finder(community, folders);
  }
  lf_scanUserAITraffic(community, folders);
}

LiveryScanEnd lf_scanLiveryFolders(const LiveryFolders& folders) {
  ScannedLiveries.clear();
  // What an interrupted or fruitless scan left in the lists must not reach this scan's reports.
  lf_clearScanReports();
  lf_removeScanReports();
  lf_readDontUseTitles();
  std::uint32_t folderPriority = 0;
  std::size_t total = 0;
  for (const auto& folder : folders) {
    if (folder.empty()) {
      continue;
    }
    const auto status = gf_pathStatus(folder);
    if (!fs::exists(status)) {
      gf_log(folder.string() + " does not exist, skipped!");
    } else if (!fs::is_directory(status)) {
      gf_log(folder.string() + " is not a folder name, skipped!");
    } else {
      folderPriority = std::min(folderPriority + 1, lowestFolderPriority);
      if (!gf_stopping()) {
        total += lf_scanFolder(folderPriority, folder);
      }
    }
  }
  if (gf_stopping()) {
    ScannedLiveries.clear();
    gf_logAndFlush("Liveries scan stopped, it runs again at the next start");
    return LiveryScanEnd::stopped;
  }
  if (ScannedLiveries.empty()) {
    mainWindow.liveryCount = 0;
    gf_invalidateBand(rcHeader);
    return LiveryScanEnd::nothingFound;
  }
  if (folders.size() > 1) {
    gf_log(fmt::format("{} in total", total));
  }
  lf_logCodeConversions();
  if (LIG_PRIORITIZE.value) {
    lf_keepHighestPriorityFolders();
  }
  ScannedLiveries.sort();
  ScannedLiveries.unique(lf_liveryKeyEquals);
  const auto unsaved = lf_writeScannedLiveries();
  ScannedLiveries.clear();
  lf_writeScanReports();
  lf_clearScanReports();
  gf_clearStatusLine();
  if (unsaved) {
    lf_reportUnsavedLiveries(*unsaved);
    return LiveryScanEnd::notSaved;
  }
  return LiveryScanEnd::saved;
}

void gf_scanLiveries() {
  if (gf_stopping()) {
    return;
  }
  ui::enable(AI_PACKAGE_SELECTOR.hwnd, false);
  gf_setStatusLine(fmt::format("Scanning {}for liveries ...", LIG_PRIORITIZE.value ? "prioritized " : ""), false);
  const bool automatic = LIG_AUTOMATIC.value;
  gf_logAndFlush(fmt::format("\n++++++++++++++++++++++++ liveries scan {} starts ++++++++++++++++++++++++++++++++",
                             automatic ? "automatic" : "manual"));
  LiveryFolders folders;
  folders.reserve(expectedFolders);
  if (automatic) {
    // A missing Community folder holds no AI packages.
    if (const auto community = gf_packagePath(communityFolderName); lf_isFolder(community)) {
      lf_autoScanAIPackages(community, folders);
    }
  } else {
    lf_checkLfolders(folders);
  }
  if (folders.empty()) {
    if (automatic) {
      gf_enableControl(AI_PACKAGE_SELECTOR);
      throw UserErrorException(43,
                               "Automatic scan has not found any AI packages, choose a different selection (or go to "
                               "Manual mode, see Manual 5.2)");
    }
    gf_openManual();
    gf_openParametersFolder();
    throw UserErrorException(
        48, fmt::format("Exit {} first!   Then set one or more lfolder parameters to your liveries, see Manual 5.2",
                        programName));
  }
  const LiveryScanEnd end = lf_scanLiveryFolders(folders);
  if (end == LiveryScanEnd::nothingFound) {
    if (!automatic) {
      throw UserErrorException(53, "no liveries found");
    }
    gf_enableControl(AI_PACKAGE_SELECTOR);
    throw UserErrorException(143,
                             "Automatic scan has not found any liveries, choose a different selection, or switch off "
                             "automatic and set lfolder parameter(-s)");
  }
  if (end != LiveryScanEnd::saved || gf_stopping()) {
    // An interrupted scan, or one whose file could not be saved: SCAN_LIVERIES stays on, so the next start-up scans
    // again.
    gf_enableControl(AI_PACKAGE_SELECTOR);
    return;
  }
  lf_finishScan();
}

}  // namespace cvl

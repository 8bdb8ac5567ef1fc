#pragma once

#include <filesystem>
#include <vector>

// The livery scan's choice of folders, manual (the settings lfolder0 to lfolder9) or automatic (the AI packages in
// the simulator's Community folder, in the order AI_PACKAGE_SELECTOR chooses), and the scan of the chosen folders
// into LiveriesScanned.xml. gf_scanLiveries (liveries/livery_scan.h) drives them. Worker thread.
namespace cvl {

// In priority order: the first folder that exists has priority 1.
using LiveryFolders = std::vector<std::filesystem::path>;

// Appends each non-empty lfolder setting; throws UserErrorException 243 for one whose path does not exist.
void lf_checkLfolders(LiveryFolders& folders);

// Appends the packages the AI_PACKAGE_SELECTOR order finds, then a user-aitraffic package. Throws std::runtime_error
// "AI_PACKAGE_SELECTOR not set" when the setting is none of its choices, and std::filesystem::filesystem_error when
// the Community folder cannot be read.
void lf_autoScanAIPackages(const std::filesystem::path& community, LiveryFolders& folders);

// The package finders: each appends the first Community entry (in listing order) whose name holds one of its markers
// and not "_CVT_", if any.
void lf_scanAIG(const std::filesystem::path& community, LiveryFolders& folders);
void lf_scanFSLTL(const std::filesystem::path& community, LiveryFolders& folders);
void lf_scanJF(const std::filesystem::path& community, LiveryFolders& folders);
void lf_scanIVAO_MTL(const std::filesystem::path& community, LiveryFolders& folders);
void lf_scanUserAITraffic(const std::filesystem::path& community, LiveryFolders& folders);

// How a scan of the livery folders ended.
enum class LiveryScanEnd : int {
  nothingFound,  // no livery in the folders
  stopped,       // a stop of the run ended it early; nothing was written
  saved,         // LiveriesScanned.xml holds the liveries found
  notSaved,      // LiveriesScanned.xml could not be saved and holds what it held before
};

// Scans the folders, filters, sorts and de-duplicates the liveries, writes LiveriesScanned.xml and the scan reports.
// A file that cannot be saved shows why on the status line; when there is no earlier LiveriesScanned.xml to go on
// with, that text is thrown as a UserErrorException instead of ending with notSaved.
LiveryScanEnd lf_scanLiveryFolders(const LiveryFolders& folders);

}  // namespace cvl

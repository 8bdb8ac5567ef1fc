#pragma once

#include <filesystem>
#include <vector>

// The scan of the installed add-on airports: the simulator's package folders are walked for BGL scenery files, and
// every file with an airport section is decoded on a task of its own under the scan throttle (scan_throttle.h). The
// scan log is written to output/info/AirportsScanLog.txt, the offline-learning archive is prepared, and SCAN_AIRPORTS
// is switched off.
namespace cvl {

// Worker thread, at start-up while SCAN_AIRPORTS is on. A stop ends the walk at the next entry and every wait for a
// task; the scan then stays due and the airport folders it fills are given back as they were (at the next start when
// one of its tasks is still at work). When one of those folders cannot be set aside, the scan does not run, stays due
// and says why on the status line; it never throws for it.
void gf_scanAddonAirports();

// Scans the folders, writes the scan log and prepares the offline-learning archive; true when an airport was linked or
// an airport file written. Every task of the scan has ended when it returns, unless a stop ended the wait.
bool lf_scanAllFolders(const std::vector<std::filesystem::path>& folders);

// Scans each folder that exists and is a folder; the others are reported on the status line.
void lf_scanFolders(const std::vector<std::filesystem::path>& folders);

// The recursive walk of one folder with its decoding tasks.
void lf_scanFolderForAirports(const std::filesystem::path& folder);

// Whether a path found below the scanned folder is never scanned: a path of 250 or more UTF-16 units, or one whose
// part below the scanned folder names aircraft, tutorials, traffic packages and the like.
bool lf_isExcludedPath(const std::filesystem::path& path, const std::filesystem::path& scannedFolder);

}  // namespace cvl

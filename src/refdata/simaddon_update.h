#pragma once

#include <filesystem>

#include "foundation/version.h"

// The MSFS 2024 data zip my_simaddon2024.zip, unpacked into airports/my_simaddon (each entry as its stem + ".txt").
namespace cvl {

enum class ComponentUpdate { upToDate, updated, failed };

// Where the zip is downloaded, in the program folder; it is removed once unpacked.
inline const std::filesystem::path simAddonZipPath{"my_simaddon2024.zip"};

// Fetches and unpacks the zip when the web version is newer than MYSIMADDON24_VERSION or the folder has no files.
// The zip is written into a new folder beside airports/my_simaddon, whose files replace the folder's own only once
// every file entry has been written; the setting then takes the web version. A zip that cannot be read, holds no file
// or cannot be written or put in place whole leaves the folder and the setting as they were. The folder's old files
// are set aside as for the airport scan, so that a kill in the middle gives them back at the next start.
ComponentUpdate lf_updateMySimAddon(const VersionData& webVersion);

// Removes the new folder an update killed in the middle left beside airports/my_simaddon. Failures are logged.
void gf_settleMySimAddonFolder();

}  // namespace cvl

#pragma once

#include "foundation/version.h"

// The MSFS 2024 data zip my_simaddon2024.zip, unpacked into airports/my_simaddon (each entry as its stem + ".txt").
namespace cvl {

enum class ComponentUpdate { upToDate, updated, failed };

// Fetches and unpacks the zip when the web version is newer than MYSIMADDON24_VERSION or the folder has no files.
// The zip is written into a new folder beside airports/my_simaddon, which replaces it only once every file entry has
// been written; the setting then takes the web version. A zip that cannot be read, holds no file or cannot be written
// whole leaves the folder and the setting as they were.
ComponentUpdate lf_updateMySimAddon(const VersionData& webVersion);

// Tidies what an update killed in the middle left beside airports/my_simaddon: the new folder goes, and the old files
// set aside come back when the folder itself is missing, else go too. Failures are logged.
void gf_settleMySimAddonFolder();

}  // namespace cvl

#pragma once

#include "foundation/version.h"

// The MSFS 2024 data zip my_simaddon2024.zip, unpacked into airports/my_simaddon (each entry as its stem + ".txt").
namespace cvl {

enum class ComponentUpdate { upToDate, updated, failed };

// Fetches and unpacks the zip when the web version is newer than MYSIMADDON24_VERSION or the folder has no files;
// the setting takes the web version once unpacked. A zip that cannot be read leaves the folder as it was.
ComponentUpdate lf_updateMySimAddon(const VersionData& webVersion);

}  // namespace cvl

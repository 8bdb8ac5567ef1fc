#pragma once

#include <filesystem>
#include <string_view>

#include "foundation/version.h"

// The start-up's check against the maker's web site: which versions of the program and of its data are current.
// Newer or missing data files are fetched, rescans are requested where the scan data changed, and a newer program is
// prepared in new_version. Paths are relative to the program's folder (the current folder).
namespace cvl {

// Where versions.json is written while it is read; removed right after.
inline const std::filesystem::path versionsJsonPath{"versions.json"};

// True when the start-up goes on; false when a new program version has been prepared and the exit NEW VERSION has
// been requested. No site, no versions.json or a malformed one is logged and the start-up goes on. Filesystem errors
// of the program's folder are thrown.
bool gf_checkVersions();

// "{} updated to {}", "{} version up-to-date" and the flagged "{} version not found".
void lf_logUpdated(std::string_view key, const VersionData& version);
void lf_logUpToDate(std::string_view key);
void lf_logVersionNotFound(std::string_view key);

}  // namespace cvl

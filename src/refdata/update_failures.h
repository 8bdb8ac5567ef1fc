#pragma once

#include <filesystem>
#include <string_view>

#include "foundation/version.h"

// How a failed update reaches the user. The start-up goes on with what is there, and its progress would replace the
// failure on the status line at once: every update failure therefore stands on the status line, after the start-up's
// progress, until the run has started, and goes to the log flagged.
namespace cvl {

// Shows and logs the failure of the file or folder kept; nothing while a stop is under way (the stop ended the
// transfer, nothing failed), and nothing for a failure already standing on the status line (a file read twice in one
// start-up is named once). A later failure of the same file or folder takes the place of the one before.
void gf_reportUpdateFailure(const std::filesystem::path& kept, std::string_view text);

// "<key> update to <version> failed, <kept> left as it was", or "... <kept> not installed" when there is nothing
// there: no file, or a folder without files.
void gf_reportComponentUpdateFailed(std::string_view key, const VersionData& webVersion,
                                    const std::filesystem::path& kept);

// "<key> repair failed, <file> is still damaged": a damaged file could not be fetched again at its version.
void gf_reportRepairFailed(std::string_view key, const std::filesystem::path& damaged);

}  // namespace cvl

#pragma once

#include <filesystem>

#include "foundation/version.h"

// Preparing a newer program version: its installer, extracted from the installer zip of the site's release/ folder,
// goes to new_version with the release notes and a README; the user runs it from there.
namespace cvl {

// Prepares new_version and requests the exit NEW VERSION; true then. False (and a status line) when the installer
// could not be prepared: the start-up goes on with the current program.
bool lf_installNewVersion(const VersionData& webVersion);

// Downloads setup_Corvalen_d_v<version>.zip and moves its installer to new_version/install_new_version.exe; true
// only when it is there and complete.
bool lf_downloadNewVersion(const VersionData& webVersion);

// Downloads ReleaseNotes.pdf from the site's docs/ folder to the target.
bool lf_downloadReleaseNotes(const std::filesystem::path& targetPath);

// Shows the folder new_version to the user; on failure a message box says so, naming the folder, and the result is
// false.
bool lf_openExplorerAtNewVersion();

}  // namespace cvl

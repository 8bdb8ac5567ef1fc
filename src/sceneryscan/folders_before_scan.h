#pragma once

#include <filesystem>

// The user's airport folders as they were before the add-on airport scan empties them: set aside when the scan
// starts, given back when a stop interrupts it, let go when it ends. Failures throw the filesystem error.
namespace cvl {

// Sets the folder's files aside and leaves the folder empty. When files are still set aside from a scan that never
// ended, they stay: they are the folder as it was before that scan, and the folder's files are that scan's.
void gf_setFolderAside(const std::filesystem::path& folder);

// Gives the folder back as it was before the scan; what the scan wrote into it goes.
void gf_restoreFolder(const std::filesystem::path& folder);

// The scan has ended: what was set aside goes.
void gf_letGoOfSetAside(const std::filesystem::path& folder);

}  // namespace cvl

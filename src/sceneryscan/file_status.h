#pragma once

#include <filesystem>

// File-system questions of the scans and of the flight-plan folder: a missing path is an answer, any other failure is
// an error.
namespace cvl {

// Whether the path exists; a failure other than "not found" throws the filesystem error "exists".
bool gf_pathExists(const std::filesystem::path& path);

// The path's status (not_found for a missing path); any other failure throws the filesystem error "status".
std::filesystem::file_status gf_pathStatus(const std::filesystem::path& path);

// Creates the folder and its parents when missing; a failure throws the filesystem error "create_directory".
void gf_createFolder(const std::filesystem::path& folder);

}  // namespace cvl

#pragma once

#include <filesystem>

// The user's known folders and the shell's "open" action.
namespace cvl {

// The roaming application-data folder; the empty path when it cannot be found.
std::filesystem::path gf_appDataPath();
// The local application-data folder; the empty path when it cannot be found.
std::filesystem::path gf_localAppDataPath();

}  // namespace cvl

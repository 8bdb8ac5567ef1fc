#pragma once

#include <filesystem>

// The user's folders that the program keeps its files in. On this platform they follow the XDG base directories;
// tests point them at temporary folders through the same environment variables.
namespace cvl::platform {

// Per-user settings that roam with the user: $XDG_CONFIG_HOME, else ~/.config. Empty when neither is known.
std::filesystem::path roamingAppDataFolder();

// Per-user data that stays on this machine: $XDG_DATA_HOME, else ~/.local/share. Empty when neither is known.
std::filesystem::path localAppDataFolder();

// The root under which programs are installed: $CORVALEN_PROGRAM_FILES, else /opt.
std::filesystem::path programFilesFolder();

}  // namespace cvl::platform

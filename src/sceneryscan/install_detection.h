#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// Where the simulator keeps its packages on this computer: the packages root holds the "Community" folder and the
// simulator's own package folder ("Official" for MSFS 2020, "Official2024" for MSFS 2024). The places follow the
// simulator's Store, Steam and boxed installations under the user's roaming and local application-data folders.
namespace cvl {

// The packages root found here (the Steam packages folder, else UserCfg.opt's InstalledPackagesPath); empty when none
// is accepted.
std::filesystem::path gf_installPath();

// The chosen simulator's install-path setting joined with sub ("Community" or "Official"); sub alone, a relative path,
// while the setting is empty.
std::filesystem::path gf_packagePath(const std::filesystem::path& sub);

// The first place of UserCfg.opt that exists (Store, Steam, second Steam place, boxed), else the boxed place.
std::filesystem::path gf_detectMsfs();

// The Steam packages folder when it exists, else empty.
std::filesystem::path lf_steamPackages();

// UserCfg.opt's InstalledPackagesPath when the file and that folder exist, else empty.
std::filesystem::path lf_readUserCfgOpt();

// The text between the first two double quotes of the first line naming InstalledPackagesPath; empty when there is
// none or nothing stands between them.
std::string lf_installedPackagesPath(const std::vector<std::string>& userCfgLines);

// Whether the folder exists and holds "Community" and the chosen simulator's own package folder.
bool lf_validInstallPath(const std::filesystem::path& path);

std::string_view lf_msfsPackageFamily();
std::string_view lf_msfsFolderName();

}  // namespace cvl

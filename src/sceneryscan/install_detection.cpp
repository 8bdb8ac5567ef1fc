#include "sceneryscan/install_detection.h"

#include <fmt/format.h>

#include "app/shell_helpers.h"
#include "app/sim_choice.h"
#include "foundation/constants.h"
#include "foundation/log.h"
#include "foundation/settings_catalogue.h"
#include "foundation/text_encoding.h"
#include "foundation/text_files.h"
#include "sceneryscan/file_status.h"

namespace cvl {
namespace {

const std::string userCfgName{"UserCfg.opt"};
const std::string installedPackagesOption{"InstalledPackagesPath"};

// A place under a known folder. When the platform cannot give the folder, the place does not exist: joined to the
// empty path it would name a folder relative to the program's own.
struct Place {
  std::filesystem::path base;
  std::filesystem::path path;

  Place(const std::filesystem::path& knownFolder, const std::filesystem::path& relative)
      : base(knownFolder), path(knownFolder / relative) {}

  bool exists() const { return !base.empty() && gf_pathExists(path); }
};

bool lf_isFolder(const std::filesystem::path& path) {
  return std::filesystem::is_directory(gf_pathStatus(path));
}

}  // namespace

std::string_view lf_msfsPackageFamily() {
  return msfs2020Mode ? "Microsoft.FlightSimulator_8wekyb3d8bbwe" : "Microsoft.Limitless_8wekyb3d8bbwe";
}

std::string_view lf_msfsFolderName() {
  return msfs2020Mode ? "Microsoft Flight Simulator" : "Microsoft Flight Simulator 2024";
}

std::filesystem::path gf_installPath() {
  if (auto steam = lf_steamPackages(); lf_validInstallPath(steam)) {
    return steam;
  }
  if (auto configured = lf_readUserCfgOpt(); lf_validInstallPath(configured)) {
    return configured;
  }
  return {};
}

std::filesystem::path gf_packagePath(const std::filesystem::path& sub) {
  const std::string root = msfs2020Mode ? MSFS_INSTALL_PATH.getValue() : MSFS_2024_INSTALL_PATH.getValue();
  return std::filesystem::path{root} / sub;
}

bool lf_validInstallPath(const std::filesystem::path& path) {
  const auto& ownFolder = msfs2020Mode ? officialFolderName : official2024FolderName;
  return !path.empty() && gf_pathExists(path) && lf_isFolder(path / communityFolderName) &&
         lf_isFolder(path / ownFolder);
}

std::filesystem::path lf_steamPackages() {
  const Place packages{gf_appDataPath(), std::filesystem::path{lf_msfsFolderName()} / "Packages"};
  if (!packages.exists()) {
    return {};
  }
  gf_log(fmt::format("Steam packages:{}", gf_pathToUtf8(packages.path)));
  return packages.path;
}

std::filesystem::path gf_detectMsfs() {
  const auto local = gf_localAppDataPath();
  const auto roaming = gf_appDataPath();
  const Place store{local, std::filesystem::path{"Packages"} / lf_msfsPackageFamily() / "LocalCache" / userCfgName};
  const Place steam1{roaming, std::filesystem::path{lf_msfsFolderName()} / userCfgName};
  const Place steam2{local, std::filesystem::path{"Packages"} / "Microsoft.FlightDashboard_8wekyb3d8bbwe" /
                                "LocalCache" / userCfgName};
  const Place boxed{local, std::filesystem::path{"MSFSPackages"} / userCfgName};
  for (const auto& [place, missing] :
       {std::pair{&store, "MSFS detection, no Store:{}"}, std::pair{&steam1, "MSFS detection, no Steam1:{}"},
        std::pair{&steam2, "MSFS detection, no Steam2:{}"}, std::pair{&boxed, "MSFS detection, no Boxed:{}"}}) {
    if (place->exists()) {
      return place->path;
    }
    gf_log(fmt::format(fmt::runtime(missing), gf_pathToUtf8(place->path)));
  }
  return boxed.base.empty() ? std::filesystem::path{} : boxed.path;
}

std::string lf_installedPackagesPath(const std::vector<std::string>& userCfgLines) {
  for (const auto& line : userCfgLines) {
    if (line.find(installedPackagesOption) == std::string::npos) {
      continue;
    }
    const auto opening = line.find('"');
    const auto closing = opening == std::string::npos ? opening : line.find('"', opening + 1);
    if (closing == std::string::npos) {
      return {};
    }
    return line.substr(opening + 1, closing - opening - 1);
  }
  return {};
}

std::filesystem::path lf_readUserCfgOpt() {
  const auto userCfg = gf_detectMsfs();
  if (userCfg.empty() || !gf_pathExists(userCfg)) {
    gf_log("No UserCfg.opt found?");
    return {};
  }
  std::vector<std::string> lines;
  gf_readTextFile(gf_detectCharset(userCfg), userCfg, lines);
  std::filesystem::path packages{lf_installedPackagesPath(lines)};
  if (!packages.empty() && !gf_pathExists(packages)) {
    packages.clear();
  }
  gf_log(fmt::format("UserCfg.opt: InstalledPackagesPath={}", packages.empty() ? "???" : gf_pathToUtf8(packages)));
  return packages;
}

}  // namespace cvl

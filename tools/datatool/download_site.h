#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "datatool/component_versions.h"

namespace cvl::datatool {

inline constexpr std::string_view programName = "Corvalen";

struct SiteOptions {
  ComponentVersions versions = defaultComponentVersions();
  // When set, release/ offers the installer zip of this program version.
  std::optional<ComponentVersion> installerVersion;
  // One redirect file per airport in my_simaddon2024.zip; each needs an airport file in the sample's archive.
  std::vector<std::string> simAddonAirports = {"EDDF"};
};

// The folder of the data files: the program's own major version ("11").
std::string dataFolderName();
// "setup_Corvalen_d_v11.10.4.zip" and the installer it holds, "setup_Corvalen_d_v11.10.4.exe".
std::string installerZipName(const ComponentVersion& version);
std::string installerExeName(const ComponentVersion& version);

// Lays out the site's downloads folder from the plain sample files (dbase.xml, airports.xml, AIG-regcodes.xml,
// airports/archive/**): versions.json, <major>/dbase.enc, <major>/airports.enc, <major>/AIG-regcodes.enc,
// docs/ReleaseNotes.pdf, the airport files under MSFS/ and MSFS2024/ (see airport_archive.h),
// mysimaddon24/my_simaddon2024.zip and, when asked, release/setup_Corvalen_d_v<version>.zip.
// versions.json is written last, so it never announces data that is not in place. Throws std::runtime_error.
void layOutSite(const std::filesystem::path& sampleDir, const std::filesystem::path& siteDir,
                const SiteOptions& options);

}  // namespace cvl::datatool

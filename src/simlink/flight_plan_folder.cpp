#include "simlink/flight_plan_folder.h"

#include <fmt/format.h>

#include <filesystem>
#include <system_error>

#include "foundation/constants.h"
#include "foundation/log.h"
#include "sceneryscan/file_status.h"

namespace cvl {
namespace {

// The folder's place; the same in every run, so that a folder an ended run left behind is removed as well.
std::filesystem::path lf_flightPlanFolderPath() {
  return appDataFolder() / "orig_dest";
}

void lf_createIfMissing(const std::filesystem::path& folder) {
  if (!gf_pathExists(folder)) {
    std::filesystem::create_directory(folder);
  }
}

}  // namespace

bool gf_createFlightPlanFolder() {
  flightPlanFolder = lf_flightPlanFolderPath();
  lf_createIfMissing(appDataFolder());
  lf_createIfMissing(flightPlanFolder);
  return gf_pathExists(flightPlanFolder);
}

bool gf_removeFlightPlanFolder() {
  const auto folder = lf_flightPlanFolderPath();
  std::error_code failure;
  if (std::filesystem::exists(folder, failure)) {
    std::filesystem::remove_all(folder, failure);
    if (failure) {
      gf_log(fmt::format("gf_removeFlightPlanFolder: {}", failure.message()));
    }
  }
  return !std::filesystem::exists(folder, failure);
}

}  // namespace cvl

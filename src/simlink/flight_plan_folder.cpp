#include "simlink/flight_plan_folder.h"

#include <fmt/format.h>

#include <filesystem>
#include <system_error>

#include "foundation/constants.h"
#include "foundation/log.h"

namespace cvl {
namespace {

bool lf_exists(const std::filesystem::path& path) {
  std::error_code failure;
  const bool found = std::filesystem::exists(path, failure);
  if (failure) {
    throw std::filesystem::filesystem_error("exists", path, failure);
  }
  return found;
}

// The folder's place; the same in every run, so that a folder an ended run left behind is removed as well.
std::filesystem::path lf_flightPlanFolderPath() {
  return appDataFolder() / "orig_dest";
}

void lf_createIfMissing(const std::filesystem::path& folder) {
  if (!lf_exists(folder)) {
    std::filesystem::create_directory(folder);
  }
}

}  // namespace

bool gf_createFlightPlanFolder() {
  flightPlanFolder = lf_flightPlanFolderPath();
  lf_createIfMissing(appDataFolder());
  lf_createIfMissing(flightPlanFolder);
  return lf_exists(flightPlanFolder);
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

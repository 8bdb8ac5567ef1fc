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

void lf_createIfMissing(const std::filesystem::path& folder) {
  if (!lf_exists(folder)) {
    std::filesystem::create_directory(folder);
  }
}

}  // namespace

bool gf_createFlightPlanFolder() {
  flightPlanFolder = appDataFolder() / "orig_dest";
  lf_createIfMissing(appDataFolder());
  lf_createIfMissing(flightPlanFolder);
  return lf_exists(flightPlanFolder);
}

bool gf_removeFlightPlanFolder() {
  std::error_code failure;
  if (!flightPlanFolder.empty() && std::filesystem::exists(flightPlanFolder, failure)) {
    std::filesystem::remove_all(flightPlanFolder, failure);
    if (failure) {
      gf_log(fmt::format("gf_removeFlightPlanFolder: {}", failure.message()));
    }
  }
  return flightPlanFolder.empty() || !std::filesystem::exists(flightPlanFolder, failure);
}

}  // namespace cvl

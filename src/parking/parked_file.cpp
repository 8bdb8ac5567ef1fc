#include "parking/parked_file.h"

#include <fmt/format.h>

#include <algorithm>
#include <exception>

#include "app/main_window.h"
#include "parking/airport_file_lookup.h"
#include "parking/airport_file_retry.h"
#include "parking/current_park_airport.h"
#include "parking/park_airport_file.h"
#include "parking/park_airport_list.h"
#include "parking/park_airports.h"
#include "parking/park_pos.h"
#include "parking/stand_lookups.h"
#include "parking/stand_names.h"
#include "simlink/user_aircraft.h"

namespace cvl {
namespace {

std::string lf_readStands(const std::string& name) {
  mainWindow.parkedFileText = std::string();
  mainWindow.airportFileText = std::string();
  mainWindow.handmadeMark = false;
  try {
    return gf_readApf(name, parkAirportFile, parkQualityFactors, parkPositions);
  } catch (const std::exception& error) {
    // A broken airport file costs its airport, not the run.
    return fmt::format("{}: {}", name, error.what());
  }
}

// The stand the user stands on becomes the park airport's reserved stand, and the park airport the front candidate.
void lf_learnUserStand() {
  const UserAcData user = gf_userAcSnapshot();
  const std::string stand = gf_standNameAt({user.latitude, user.longitude});
  const auto listed = std::find_if(parkAirports.begin(), parkAirports.end(),
                                   [](const ParkAirport& airport) { return airport.code == currentParkAirport.code; });
  if (listed == parkAirports.end()) {
    parkAirports.push_front({currentParkAirport.code, stand, currentParkAirport.lat, currentParkAirport.lon, 0.0});
    gf_addMyParkAirport();
    return;
  }
  // A listed airport keeps its entry, and so its reserved stand when the user stands on none.
  parkAirports.splice(parkAirports.begin(), parkAirports, listed);
  if (!stand.empty() && stand != parkAirports.front().reservedStand) {
    parkAirports.front().reservedStand = stand;
    gf_addMyParkAirport();
  }
}

void lf_showReservedStand() {
  std::string reserved;
  if (!parkAirports.empty() && parkAirports.front().code == currentParkAirport.code &&
      !parkAirports.front().reservedStand.empty() &&
      gf_findStandByName(parkAirports.front().reservedStand) != parkPositions.end()) {
    reserved = parkAirports.front().reservedStand;
  }
  mainWindow.reservedStandFound = !reserved.empty();
  mainWindow.reservedStandName = reserved;
}

// The name of the park airport's file, or the error text.
std::string lf_findParkedFile(std::string& name) {
  try {
    name = gf_findApf(currentParkAirport.code);
  } catch (const std::exception& error) {
    return fmt::format("{}: {}", "lf_readParkedFile", error.what());
  }
  if (name.empty()) {
    return fmt::format("{} {} not found", "lf_readParkedFile", currentParkAirport.code);
  }
  return {};
}

std::string lf_readNamedFile(const std::string& name) {
  const std::string error = lf_readStands(name);
  gf_publishStandPlaces();
  if (error.empty()) {
    if (userOnGroundKnown) {
      lf_learnUserStand();
    }
    parkPositions.shrink_to_fit();
    gf_publishStandPlacesIfChanged();
    lf_showReservedStand();
  }
  mainWindow.parkedFileOk = error.empty();
  gf_invalidateBand(rcStaticParking);
  return error;
}

}  // namespace

std::string lf_readParkedFile() {
  std::string name;
  std::string error = lf_findParkedFile(name);
  if (error.empty()) {
    error = lf_readNamedFile(name);
  }
  if (error.empty()) {
    gf_forgetAirportFileFailures(currentParkAirport.code);
  } else {
    gf_noteAirportFileFailed(currentParkAirport.code, name, error);
  }
  return error;
}

}  // namespace cvl

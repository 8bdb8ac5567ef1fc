#include "parking/park_airport_list.h"

#include <fmt/format.h>

#include "app/controls.h"
#include "app/main_window.h"
#include "engine/conflict_rules.h"
#include "foundation/log.h"
#include "parking/current_park_airport.h"
#include "parking/park_airports.h"
#include "parking/stand_names.h"
#include "parking/user_stand.h"
#include "simlink/user_aircraft.h"

namespace cvl {

std::list<ParkAirport> parkAirports;
std::atomic<bool> parkAirportFileLoaded{false};

namespace {

void lf_markUserStandNamed(const std::string& name, bool reserved) {
  if (const auto stand = gf_findStandByName(name); stand != parkPositions.end()) {
    stand->userStand = reserved;
  }
}

// The user edited the reserved stand of the park airport while not standing on a stand: the new one is kept free.
void lf_takeOverReservedStand(const std::string& reserved, std::string& message) {
  const std::string shown = mainWindow.reservedStandName;
  if (!mainWindow.userStandText.empty() || reserved.empty() || reserved == shown) {
    return;
  }
  message = fmt::format("reserved stand changed from '{}' to '{}'", gf_excerpt(shown), gf_excerpt(reserved));
  lf_markUserStandNamed(shown, false);
  mainWindow.reservedStandName = reserved;
  mainWindow.reservedStandFound = gf_findStandByName(reserved) != parkPositions.end();
  gf_clearReservedStand();
  lf_markUserStandNamed(reserved, true);
  gf_invalidateBand(rcStaticParking);
}

}  // namespace

bool gf_checkParkAirports(bool checkStand, std::string& message) {
  gf_applyWatchedUserStand();
  if (!lf_readMyParkAirports()) {
    return false;
  }
  if (checkStand && userOnGroundKnown && !staticParkingBusy && !parkAirports.empty() &&
      parkAirports.front().code == currentParkAirport.code) {
    lf_takeOverReservedStand(parkAirports.front().reservedStand, message);
  }
  if (message.empty()) {
    message = "park airports and stands are okay";
  }
  return true;
}

std::string lf_parkAirportText(const ParkAirport& airport) {
  const std::string code = airport.code.empty() ? std::string{"?"} : airport.code;
  return airport.reservedStand.empty() ? code : fmt::format("{} ({})", code, airport.reservedStand);
}

std::string lf_parkAirportText(const Airport& airport) {
  return airport.iata.empty() ? airport.code : fmt::format("{} ({})", airport.code, airport.iata);
}

}  // namespace cvl

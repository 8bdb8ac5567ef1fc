#include "parking/park_airport_switch.h"

#include <fmt/format.h>

#include <algorithm>

#include "app/main_window.h"
#include "engine/aircraft_lists.h"
#include "engine/aircraft_removal.h"
#include "engine/aircraft_stand.h"
#include "foundation/log.h"
#include "parking/current_park_airport.h"
#include "parking/park_airport_file.h"
#include "parking/park_airport_list.h"
#include "parking/park_airport_state.h"
#include "parking/park_airports.h"
#include "parking/park_pos.h"
#include "parking/parked_entries.h"
#include "parking/stand_lookups.h"

namespace cvl {
namespace {

// Phases in which a live aircraft moves on the ground to or from, or stands at, a stand of the park airport.
bool lf_isAtStands(AcPhase phase) {
  return phase == AcPhase::parking || phase == AcPhase::parked || phase == AcPhase::pushing_back ||
         phase == AcPhase::pushed_back || phase == AcPhase::taxi || phase == AcPhase::take_off;
}

// The live aircraft that belong to the stands go with them, so that none keeps a stand number that the next park
// airport gives to one of its own stands; aircraft flying or being born stay.
void lf_removeLiveAircraftAtStands() {
  for (LiveAc& aircraft : liveAcs) {
    if (!lf_isAtStands(aircraft.phase)) {
      continue;
    }
    gf_forgetStand(aircraft);
    if (aircraft.state == AcState::active || aircraft.state == AcState::adding2sim) {
      removeAircraftFromSim(aircraft);
    }
  }
  std::erase_if(liveAcs, [](const LiveAc& aircraft) { return aircraft.removeNow; });
}

}  // namespace

void gf_removeStaticParked() {
  parkedEntries.clear();
  gf_removeAllStatic();
  lf_removeLiveAircraftAtStands();
  lf_clearParkAirport();
}

void lf_clearParkAirport() {
  gf_resetParkAirport();
  currentParkAirport = {};
  parkAirportActive = false;
  mainWindow.parkAirportText = std::string();
  if (mainWindow.learnedUpdates != 0) {
    mainWindow.learnedUpdates = 0;
  }
  staticRemovals.clear();
  parkedEntries.clear();
  parkPositions.clear();
  gf_publishStandPlaces();
  mainWindow.parkedFileOk = false;
  mainWindow.parkedFileText = std::string();
  mainWindow.airportFileText = std::string();
  mainWindow.handmadeMark = false;
  gf_invalidateBand(rcStaticParking);
}

bool lf_setParkAirport(const std::string& code) {
  const Airport* airport = gf_findAirportByCode(code);
  if (airport == nullptr) {
    mainWindow.parkAirportText = std::string();
    gf_invalidateBand(rcStaticParking);
    return false;
  }
  currentParkAirport = *airport;
  parkAirportActive = true;
  const std::string text = lf_parkAirportText(currentParkAirport);
  gf_log(fmt::format("\nThe park airport is {}", text));
  mainWindow.parkAirportText = text;
  gf_invalidateBand(rcStaticParking);
  return true;
}

}  // namespace cvl

#include "parking/static_parking_update.h"

#include <fmt/format.h>

#include <chrono>
#include <cmath>
#include <string>

#include "app/controls.h"
#include "app/main_window.h"
#include "app/periodic_jobs.h"
#include "app/status_line.h"
#include "engine/live_aircraft.h"
#include "foundation/log.h"
#include "foundation/settings_catalogue.h"
#include "foundation/throttled_log.h"
#include "foundation/timekeeping.h"
#include "parking/airport_file_lookup.h"
#include "parking/airport_file_retry.h"
#include "parking/current_park_airport.h"
#include "parking/park_airport_list.h"
#include "parking/park_airport_state.h"
#include "parking/park_airport_switch.h"
#include "parking/park_airports.h"
#include "parking/parked_entries.h"
#include "parking/parked_file.h"
#include "parking/stand_lookups.h"
#include "parking/static_calculation.h"
#include "parking/user_stand.h"
#include "refdata/airports_database.h"
#include "simlink/user_aircraft.h"
#include "trafficin/traffic_reader.h"

namespace cvl {
namespace {

constexpr double noPositionDegrees = 0.0001;
constexpr double samePositionDegrees = 1e-8;
constexpr std::int32_t minutesToNextAdjustment = 20;

// Every selected aircraft has been handed to the simulator: the parking controls come back.
void lf_finishCalculation() {
  gf_enableParkingControls();
  gf_clearStatusLine();
  mainWindow.staticParkedCount = gf_countStaticParked(true);
  mainWindow.liveParkedCount = gf_countLiveParked(true);
  gf_invalidateBand(rcStaticParking);
}

void lf_readAndCalculate() {
  gf_clearStatusLine();
  parkRecalcPending = false;
  const std::string error = lf_readParkedFile();
  if (error.empty()) {
    parkingUpdateCountdown = minutesToNextAdjustment;
    lf_calcStaticParked();
  } else {
    gf_enableParkingControls();
    gf_setStatusLine(error, true);
    lf_clearParkAirport();
  }
  gf_enableControl(DESTINATION);
  gf_flushLog();
}

double lf_distanceTo(const LatLon& position, const ParkAirport& airport) {
  return gf_distanceNM(position, {airport.latitude, airport.longitude});
}

// The candidates' distances to the user; nearest first unless the user's destination is to stay in front.
void lf_measureCandidates(const LatLon& position) {
  if (parkAirports.empty()) {
    return;
  }
  if (std::abs(position.lat - lastUserParkPos.lat) < samePositionDegrees &&
      std::abs(position.lon - lastUserParkPos.lon) < samePositionDegrees) {
    parkAirports.front().distance = lf_distanceTo(position, parkAirports.front());
    return;
  }
  lastUserParkPos = position;
  for (ParkAirport& airport : parkAirports) {
    airport.distance = lf_distanceTo(position, airport);
  }
  if (DESTINATION.getValue().empty()) {
    parkAirports.sort([](const ParkAirport& a, const ParkAirport& b) { return a.distance < b.distance; });
  }
}

bool lf_withinLimits(double distance, double heightAboveGround) {
  return distance <= AIRP_RANGE.value && heightAboveGround <= AIRP_HEIGHT.value;
}

// Looked at every 16 s while no park airport is chosen: logged when it changes.
LineOnChange choiceNote;

void lf_noteOnGround(const std::string& note) {
  gf_setStatusLine(note, choiceNote.changed(note));
}

// While the airport's file waits for its next try after a failure, the failure stays on the status line, and the
// airport is not chosen.
bool lf_noteFileWait(const std::string& situation, const std::string& code) {
  const auto wait = gf_airportFileWait(code, gf_findApf(code));
  if (!wait) {
    choiceNote.forget();
    return false;
  }
  const auto minutes = std::chrono::ceil<std::chrono::minutes>(wait->left).count();
  const std::string note = fmt::format("{}, next try in {} min: {}", situation, minutes, wait->failure);
  gf_setStatusLine(note, choiceNote.changed(fmt::format("{} {}", code, wait->failure)));
  return true;
}

void lf_chooseOnGround(const LatLon& position, bool atStart) {
  const Airport* airport = gf_closestAirport(position);
  if (airport == nullptr) {
    lf_noteOnGround("User aircraft on the ground, no RT supported airport in sight");
    return;
  }
  if (!gf_hasAirportFile(airport->code)) {
    lf_noteOnGround(fmt::format("User aircraft on the ground at {}, no airport file found", airport->code));
    return;
  }
  const std::string situation = fmt::format("User aircraft on the ground at {}", airport->code);
  if (lf_noteFileWait(situation, airport->code)) {
    return;
  }
  gf_log(situation);
  if (lf_setParkAirport(airport->code)) {
    parkRecalcPending = true;
    lf_logCalculating(atStart);
  }
}

void lf_chooseInTheAir() {
  gf_enableControl(DESTINATION);
  if (parkAirports.empty() ||
      !lf_withinLimits(parkAirports.front().distance, gf_userAcSnapshot().altitudeAboveGround)) {
    choiceNote.forget();
    return;
  }
  const ParkAirport front = parkAirports.front();
  const std::string situation = fmt::format("{} in sight at {:.1F} nm", front.code, front.distance);
  if (lf_noteFileWait(situation, front.code)) {
    return;
  }
  if (lf_setParkAirport(front.code)) {
    gf_log(situation);
    parkRecalcPending = true;
    lf_logCalculating(false);
  }
}

}  // namespace

bool parkRecalcPending = false;
LatLon lastUserParkPos;

void gf_updateStaticParking(bool atStart) {
  gf_publishStandPlacesIfChanged();
  gf_applyWatchedUserStand();
  if (staticParkingBusy && parkedEntries.empty()) {
    lf_finishCalculation();
  }
  if (parkRecalcPending) {
    lf_readAndCalculate();
    return;
  }
  const UserAcData user = gf_userAcSnapshot();
  const LatLon position{user.latitude, user.longitude};
  if (std::abs(position.lat) < noPositionDegrees && std::abs(position.lon) < noPositionDegrees) {
    return;
  }
  lf_measureCandidates(position);
  if (!currentParkAirport.code.empty()) {
    lf_watchParkAirport(position);
  } else {
    lf_chooseParkAirport(position, atStart);
  }
}

void lf_chooseParkAirport(const LatLon& position, bool atStart) {
  if (userOnGround) {
    lf_chooseOnGround(position, atStart);
  } else {
    lf_chooseInTheAir();
  }
}

void lf_watchParkAirport(const LatLon& position) {
  if (userOnGround) {
    return;
  }
  const double heightAboveGround = gf_userAcSnapshot().altitudeAboveGround;
  const double distance = gf_distanceNM(position, {currentParkAirport.lat, currentParkAirport.lon});
  const std::string parkAirport = lf_parkAirportText(currentParkAirport);
  if (!lf_withinLimits(distance, heightAboveGround)) {
    gf_log(fmt::format("\n{} {} is out of sight ({:.1F} nm), parked aircraft will be removed", gf_trafficNowHms(),
                       parkAirport, distance));
    gf_removeStaticParked();
    return;
  }
  if (parkAirports.empty()) {
    return;
  }
  const ParkAirport& front = parkAirports.front();
  if (front.code != currentParkAirport.code && lf_withinLimits(front.distance, heightAboveGround) &&
      front.distance <= distance) {
    gf_log(fmt::format("\n{} {} is in sight ({:.1F} nm), parked aircraft at {} will be removed first",
                       gf_trafficNowHms(), front.code, front.distance, parkAirport));
    gf_removeStaticParked();
  }
}

void lf_logCalculating(bool showStatus) {
  gf_disableParkingControls();
  trafficReader.clearCallsignsSeen();
  trafficReader.recordCallsigns = true;
  if (showStatus) {
    gf_setStatusLine("Calculating static parked aircraft ...", true);
  }
}

}  // namespace cvl

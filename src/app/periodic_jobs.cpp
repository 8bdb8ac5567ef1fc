#include "app/periodic_jobs.h"

#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <mutex>
#include <string>

#include "app/controls.h"
#include "app/main_window.h"
#include "app/painting.h"
#include "app/run_loop.h"
#include "app/status_line.h"
#include "app/user_commands.h"
#include "app/user_position.h"
#include "engine/ac_labels.h"
#include "engine/aircraft_lists.h"
#include "engine/aircraft_removal.h"
#include "engine/conflict_rules.h"
#include "engine/engine_state.h"
#include "engine/feed_time.h"
#include "engine/live_ac_lookup.h"
#include "engine/no_match_set.h"
#include "engine/traffic_state.h"
#include "foundation/log.h"
#include "foundation/settings_catalogue.h"
#include "foundation/settings_upgrade.h"
#include "foundation/strings.h"
#include "foundation/throttled_log.h"
#include "foundation/timekeeping.h"
#include "liveries/livery_scan.h"
#include "parking/park_airport_list.h"
#include "parking/park_airport_state.h"
#include "parking/park_pos.h"
#include "parking/parked_entries.h"
#include "parking/parking_adjustments.h"
#include "parking/stand_learning.h"
#include "simlink/creation_failures.h"
#include "simlink/user_aircraft.h"
#include "trafficin/reader_threads.h"
#include "trafficin/traffic_queue.h"
#include "trafficin/traffic_reader.h"

namespace cvl {

namespace {

constexpr std::int32_t minutesBetweenParkingUpdates = 20;
constexpr std::uint32_t silentLamp = 2;
constexpr double movedDegrees = 1e-8;
constexpr double liveNearUserMargin = 1.15;
constexpr double staticNearUserMargin = 1.1;
constexpr double noAirportDistance = 10000.0;

// The automatic radius by the distance to the park airport, rounded to whole miles: the first row whose lower bound
// the distance reaches.
struct RangeRow {
  std::int32_t fromMiles;
  std::int32_t radius;
};
constexpr std::array<RangeRow, 10> rangeByDistance{
    {{33, 35}, {28, 30}, {23, 25}, {19, 20}, {17, 18}, {15, 16}, {13, 14}, {11, 12}, {9, 10}, {7, 8}}};

bool lf_moved(const LatLon& from, const LatLon& to) {
  return std::abs(from.lat - to.lat) >= movedDegrees || std::abs(from.lon - to.lon) >= movedDegrees;
}

LatLon lf_userLatLon() {
  return {userPosition.latitude, userPosition.longitude};
}

void lf_noteFlightResumed() {
  if (!notRunningNoted) {
    return;
  }
  notRunningNoted = false;
  gf_log(fmt::format("{} Flight resumed", gf_utcNowHms()));
  gf_resumeFeedTime();
  const std::lock_guard lock{trafficQueueMutex};
  acceptTraffic = true;
}

// The first waiting check of a new live aircraft: its coupled callsigns once, then the static aircraft of the same
// flight. An entry whose aircraft has gone meanwhile is dropped, so that it cannot hold up the ones behind it.
void lf_checkNextNewcomer() {
  if (sameRegCheckQueue.empty()) {
    return;
  }
  const std::uint32_t hexid = sameRegCheckQueue.front();
  sameRegCheckQueue.pop_front();
  LiveAc* aircraft = gf_findLiveAcByHexid(hexid);
  if (aircraft == nullptr) {
    return;
  }
  if (!aircraft->coupledSearched) {
    lf_searchForCoupledCsAroundThisTime(WeekTime::unpacked(weekTimeNow), *aircraft);
    aircraft->coupledSearched = true;
  }
  gf_checkSameRegOrCallsign(*aircraft, aircraft->onGround);
}

void lf_lookUpCallsignObjectId() {
  const std::string callsign = CALLSIGN_2_OBJECTID.getValue();
  const auto found = std::find_if(liveAcs.begin(), liveAcs.end(), [&callsign](const LiveAc& aircraft) {
    return aircraft.state == AcState::active && aircraft.callsign == callsign;
  });
  if (found != liveAcs.end()) {
    selectedObjectId = found->objectId;
    mainWindow.csOidText = fmt::format("= {}", gf_toHex(found->objectId));
  } else {
    mainWindow.csOidText = std::string("has left");
  }
  gf_invalidateBand(rcControls);
}

// No new static aircraft are made until the user changes INITIAL_LOAD_ONLY; the stored setting stays as it was.
void lf_flushStatic() {
  gf_removeAllStatic();
  if (!INITIAL_LOAD_ONLY.value) {
    INITIAL_LOAD_ONLY.value = true;
    gf_showCheckBox(INITIAL_LOAD_ONLY);
  }
}

void lf_refreshCallsignList() {
  mainWindow.csOidText = std::string();
  gf_invalidateBand(rcControls);
  lf_collectLiveCallsigns();
  csOidRequested = true;
}

// True when a live aircraft on the ground stood too close to the user and was removed.
bool lf_removeLiveNearUser(const LatLon& user) {
  const double userHalfSpan = userHalfSpanNm;
  const auto tooClose = std::find_if(liveAcs.begin(), liveAcs.end(), [&](const LiveAc& aircraft) {
    return aircraft.onGround && aircraft.state == AcState::active &&
           gf_distanceNM(user, {aircraft.simPos.lat, aircraft.simPos.lon}) <=
               (userHalfSpan + aircraft.halfSpan) * liveNearUserMargin;
  });
  if (tooClose == liveAcs.end()) {
    return false;
  }
  gf_log(fmt::format("{} removed, too close to the user aircraft", gf_acLabel(*tooClose)));
  removeAircraftFromSim(*tooClose);
  return true;
}

void lf_removeStaticNearUser(const LatLon& user) {
  const double userHalfSpan = userHalfSpanNm;
  const auto tooClose = std::find_if(staticAcs.begin(), staticAcs.end(), [&](const StaticAc& aircraft) {
    return aircraft.state == AcState::active && gf_distanceNM(user, {aircraft.standLat, aircraft.standLon}) <=
                                                    (userHalfSpan + aircraft.halfSpan) * staticNearUserMargin;
  });
  if (tooClose != staticAcs.end()) {
    gf_log(fmt::format("{} removed, too close to the user aircraft", gf_acLabel(*tooClose)));
    removeAircraftFromSim(*tooClose);
  }
}

void lf_avoidUserOnGround() {
  const LatLon user = lf_userLatLon();
  if (lf_removeLiveNearUser(user) || !lf_moved(lastStaticCheckPosition, user)) {
    return;
  }
  lastStaticCheckPosition = user;
  lf_removeStaticNearUser(user);
}

void lf_avoidStaticOnTheWayToStands() {
  for (LiveAc& aircraft : liveAcs) {
    const bool taxiing = aircraft.phase == AcPhase::taxi || aircraft.phase == AcPhase::parking;
    if (aircraft.onGround && taxiing && aircraft.state == AcState::active &&
        lf_moved(aircraft.collisionProbe, {aircraft.simPos.lat, aircraft.simPos.lon})) {
      gf_collisionAvoidStatic(aircraft);
    }
  }
}

void lf_avoidCollisions() {
  if (!userOnGround) {
    if (COLLISION_USER_AIR.value) {
      gf_removeAcNearUser();
    }
  } else if (COLLISION_USER_GND.value) {
    lf_avoidUserOnGround();
  }
  if (COLLISION_LIVE_PARKED_GND.value && !staticAcs.empty()) {
    lf_avoidStaticOnTheWayToStands();
  }
}

void lf_removeBlockedCallsign() {
  const std::string blocked = BLOCK_CALLSIGN.getValue();
  if (blocked.empty()) {
    return;
  }
  const auto found = std::find_if(liveAcs.begin(), liveAcs.end(), [&blocked](const LiveAc& aircraft) {
    return aircraft.callsign == blocked && aircraft.state == AcState::active;
  });
  if (found != liveAcs.end()) {
    gf_log(fmt::format("{} removed from simulator immediately while blocked", gf_acLabel(*found)));
    removeAircraftFromSim(*found);
  }
}

void lf_staticUpdatePhaseOne() {
  staticUpdatePhase2 = true;
  gf_disableParkingControls();
  trafficReader.clearCallsignsSeen();
  trafficReader.recordCallsigns = true;
}

void lf_staticUpdatePhaseTwo() {
  staticUpdatePhase2 = false;
  {
    const std::lock_guard lock{mainWindow.mutex};
    mainWindow.errorText.clear();
  }
  mainWindow.announcementText = std::string();
  gf_clearStatusLine();
  if (parkAirportActive && !parkPositions.empty()) {
    gf_parkingAdjustments();
  }
  gf_flushLog();
  staticUpdateRequested = false;
}

void lf_countDownToParkingUpdate() {
  const std::int32_t minutes = --parkingUpdateCountdown;
  mainWindow.minutesToParkingUpdate = minutes;
  gf_invalidateBand(rcControls);
  if (minutes >= 1) {
    return;
  }
  parkingUpdateCountdown = minutesBetweenParkingUpdates;
  if (parkAirportFileLoaded && !INITIAL_LOAD_ONLY.value && !staticParkingBusy && !staticUpdateRequested) {
    lf_announceStaticParkingUpdate();
  }
}

void lf_minuteJobs(std::int32_t n) {
  lf_countDownToParkingUpdate();
  if (n % 1200 != 0) {
    return;
  }
  gf_logNoMatch();
  // Liveries installed meanwhile get their chance: the aircraft listed are matched again when they come back.
  gf_forgetNoMatches();
  if (n % 86400 == 0) {
    tickSeconds = 0;
    gf_liveryMatchingSummary();
    gf_clearDayMap();
  }
}

}  // namespace

std::atomic<std::int32_t> tickSeconds{0};
std::atomic<bool> csOidRequested{false};
std::atomic<bool> flushStaticRequested{false};
std::atomic<bool> callsignListRefreshRequested{false};
std::atomic<bool> blockRequested{false};
std::atomic<bool> reReadRequested{false};
std::atomic<bool> autoRangeRequested{false};
std::atomic<bool> staticUpdateRequested{false};
std::atomic<bool> staticUpdatePhase2{false};
std::atomic<std::int32_t> parkingUpdateCountdown{minutesBetweenParkingUpdates};
LatLon lastStaticCheckPosition;

void lf_perSecond() {
  lf_noteFlightResumed();
  gf_countStatusSecond();
  gf_reportDueLeftOutCounts();
  lf_updateLiveCount();
  weekTimeNow = gf_weekdayAndHalfHour().packed();
  ++tickSeconds;
  lf_checkNextNewcomer();
  if (csOidRequested.exchange(false)) {
    lf_lookUpCallsignObjectId();
  }
  if (flushStaticRequested.exchange(false)) {
    lf_flushStatic();
  }
  if (callsignListRefreshRequested.exchange(false)) {
    lf_refreshCallsignList();
  }
  lf_avoidCollisions();
  if (blockRequested.exchange(false)) {
    lf_removeBlockedCallsign();
  }
  if (autoRangeRequested.exchange(false) && AUTO_RANGE.value) {
    lf_autoRange();
  }
  gf_serveUserCommandRequests();
  if (staticParkingBusy) {
    mainWindow.busyCount = parkedEntries.size();
    gf_invalidateBand(rcStaticParking);
  }
}

void lf_doPendingReRead() {
  if (!reReadRequested || staticParkingBusy) {
    return;
  }
  std::string text;
  if (gf_checkParkAirports(true, text)) {
    gf_setStatusLine(text, true);
  }
  gf_enableControl(rereadButton);
  gf_enableControl(DESTINATION);
  reReadRequested = false;
}

void lf_periodicJobs(std::int32_t n) {
  if (staticUpdateRequested) {
    if (!staticUpdatePhase2) {
      lf_staticUpdatePhaseOne();
    } else {
      lf_staticUpdatePhaseTwo();
    }
  }
  if (mainWindow.trafficLamp == silentLamp || mainWindow.weatherLamp == silentLamp) {
    gf_checkReaderActivity();
  }
  if (n % 30 != 0) {
    return;
  }
  if (AUTO_RANGE.value) {
    lf_autoRange();
  }
  if (n % 60 == 0) {
    lf_minuteJobs(n);
  }
  gf_flushLog();
}

std::int32_t lf_autoRangeFor(bool onGround, double altitude, double airportDistance) {
  if (onGround) {
    return 10;
  }
  if (altitude > AR_ABOVE_HEIGHT.value) {
    return 100;
  }
  if (altitude > AIRP_HEIGHT.value) {
    return 40;
  }
  if (airportDistance <= 7.0) {
    return 10;
  }
  if (airportDistance >= 37.0) {
    return 40;
  }
  const auto miles = static_cast<std::int32_t>(std::lround(airportDistance));
  const auto row = std::find_if(rangeByDistance.begin(), rangeByDistance.end(),
                                [miles](const RangeRow& each) { return miles >= each.fromMiles; });
  return row == rangeByDistance.end() ? 10 : row->radius;
}

void lf_autoRange() {
  const double distance =
      parkAirports.empty()
          ? noAirportDistance
          : gf_distanceNM(lf_userLatLon(), {parkAirports.front().latitude, parkAirports.front().longitude});
  gf_setRange(lf_autoRangeFor(userOnGround, userPosition.altitude, distance));
}

void gf_resetPeriodicJobs() {
  tickSeconds = 0;
  csOidRequested = false;
  flushStaticRequested = false;
  callsignListRefreshRequested = false;
  blockRequested = false;
  reReadRequested = false;
  autoRangeRequested = false;
  staticUpdateRequested = false;
  staticUpdatePhase2 = false;
  parkingUpdateCountdown = minutesBetweenParkingUpdates;
  lastStaticCheckPosition = {};
}

}  // namespace cvl

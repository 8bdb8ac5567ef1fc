#include "simlink/user_aircraft.h"

#include <fmt/format.h>

#include <algorithm>
#include <cmath>

#include "app/exit_reasons.h"
#include "app/main_window.h"
#include "foundation/constants.h"
#include "foundation/log.h"
#include "parking/stand_lookups.h"
#include "simlink/request_error.h"
#include "simlink/sim_client_thread.h"
#include "simlink/sim_ids.h"
#include "trafficin/traffic_reader.h"

namespace cvl {

std::mutex userAcMutex;
UserAcData userAcSnapshot;
LatLon lastUserPosition;
std::atomic<std::uint32_t> userObjectId{2};
std::atomic<bool> userOnGround{false};
std::atomic<bool> userOnGroundKnown{false};
std::atomic<std::int64_t> simUnixTime{0};
std::atomic<bool> oneSecondFlag{false};
std::atomic<double> userHalfSpanNm{0.0};
std::atomic<bool> userTypeKnown{false};
std::atomic<AcCategory> userCategory{AcCategory::Large};

namespace {

constexpr std::uint32_t initialUserObjectId = 2;
constexpr double teleportDistanceNm = 10.0;
constexpr std::int32_t newFlightRestartDelay = 45;
constexpr std::size_t titleLength = 48;

// Within this many degrees of 0 a latitude or longitude counts as "no position yet".
bool lf_isPlaced(const LatLon& position) {
  return std::abs(position.lat) > 0.0001 || std::abs(position.lon) > 0.0001;
}

void lf_request(std::uint32_t requestId, std::uint32_t definitionId, std::string_view failureText) {
  if (FAILED(SimConnect_RequestDataOnSimObject(hSimConnect, requestId, definitionId, SIMCONNECT_OBJECT_ID_USER,
                                               SIMCONNECT_PERIOD_ONCE))) {
    gf_logFlagged(failureText);
    gf_onSimConnectRequestError();
  }
}

// A jump of more than 10 nm between two replies: the user moved the aircraft, and the traffic around the old place
// is of no use any more.
void lf_checkTeleport(const LatLon& position) {
  if (lf_isPlaced(lastUserPosition) && lf_isPlaced(position) &&
      gf_distanceNM(lastUserPosition, position) > teleportDistanceNm) {
    gf_log("Teleport");
    gf_requestExit(ExitReason::newFlight, newFlightRestartDelay);
  }
  lastUserPosition = position;
}

void lf_showStandUnderUser(const LatLon& position) {
  std::string stand = gf_standNameAt(position);
  if (stand != userStandName) {
    mainWindow.userStandText = stand;
    gf_invalidateBand(rcHeader);
  }
  userStandName = std::move(stand);
}

std::int64_t lf_floorDiv(std::int64_t a, std::int64_t b) {
  const std::int64_t quotient = a / b;
  return (a % b != 0 && (a < 0) != (b < 0)) ? quotient - 1 : quotient;
}

// The first count characters of a UTF-8 text; a character's bytes are never split.
std::string_view lf_firstCharacters(std::string_view text, std::size_t count) {
  std::size_t characters = 0;
  for (std::size_t index = 0; index < text.size(); ++index) {
    const bool startsCharacter = (static_cast<unsigned char>(text[index]) & 0xC0U) != 0x80U;
    if (startsCharacter && characters++ == count) {
      return text.substr(0, index);
    }
  }
  return text;
}

}  // namespace

UserAcData gf_requestUserAcPosition() {
  const std::lock_guard lock{simConnectMutex};
  if (!simConnectFailed) {
    lf_request(REQ_USER_POSITION, DEF_USER_AC, "SimConnect request user ac position fails");
  }
  return gf_userAcSnapshot();
}

void gf_requestUserAcTitleAndModel() {
  const std::lock_guard lock{simConnectMutex};
  lf_request(REQ_USER_TITLE, DEF_TITLE, "SimConnect request user ac title fails");
  lf_request(REQ_USER_ATC_MODEL, DEF_ATC_MODEL, "SimConnect reques user ac model fails");
}

UserAcData gf_userAcSnapshot() {
  const std::lock_guard lock{userAcMutex};
  return userAcSnapshot;
}

bool lf_userPositionKnown() {
  const auto snapshot = gf_userAcSnapshot();
  return lf_isPlaced({snapshot.latitude, snapshot.longitude});
}

void lf_onUserOnGround(std::int64_t simOnGround) {
  if (lf_userPositionKnown()) {
    userOnGround = simOnGround != 0;
    userOnGroundKnown = true;
  }
  oneSecondFlag = true;
}

void lf_onUserPosition(const UserAcData& data, std::uint32_t objectId) {
  UserAcData stored = data;
  stored.altitude = std::max(stored.altitude, 0.0);
  {
    const std::lock_guard lock{userAcMutex};
    userAcSnapshot = stored;
  }
  const LatLon position{stored.latitude, stored.longitude};
  lf_checkTeleport(position);
  lf_showStandUnderUser(position);
  if (rtProfessional) {
    simUnixTime = lf_zuluUnixTime(stored);
  }
  userObjectId = objectId;
}

void lf_onUserAcTitle(std::string_view title) {
  if (title.empty()) {
    gf_log("! Title of your aircraft is empty?");
    return;
  }
  const std::string cut{lf_firstCharacters(title, titleLength)};
  if (cut == userAcTitle) {
    return;
  }
  mainWindow.userAcTitleText = cut;
  gf_invalidateBand(rcHeader);
  userAcTitle = cut;
  gf_logIndented(fmt::format("SimConnect: User aircraft title: {}", gf_excerpt(cut)));
}

// The proleptic Gregorian day number of the date, counted so that 1970-01-01 is day 0.
std::int64_t lf_zuluUnixTime(const UserAcData& data) {
  constexpr std::int64_t secondsPerDay = 86400;
  const std::int64_t y = data.zuluYear - 1;
  const std::int64_t c = lf_floorDiv(y, 100);
  const std::int64_t days = data.zuluDayOfYear - 719163 + lf_floorDiv(1461 * y, 4) + lf_floorDiv(c, 4) - c;
  return days * secondsPerDay + data.zuluTime;
}

void gf_resetUserAircraft() {
  {
    const std::lock_guard lock{userAcMutex};
    userAcSnapshot = {};
  }
  lastUserPosition = {};
  userObjectId = initialUserObjectId;
  userOnGround = false;
  userOnGroundKnown = false;
  oneSecondFlag = false;
  userHalfSpanNm = 0.0;
  userAcTitle.clear();
  userStandName.clear();
}

}  // namespace cvl

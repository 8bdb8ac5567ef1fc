#include "parking/static_creation.h"

#include <fmt/format.h>

#include <algorithm>

#include "app/run_loop.h"
#include "engine/aircraft_lists.h"
#include "engine/aircraft_removal.h"
#include "engine/conflict_rules.h"
#include "engine/create_backlogs.h"
#include "engine/live_parked.h"
#include "foundation/geometry.h"
#include "foundation/log.h"
#include "liveries/static_livery_matcher.h"
#include "parking/half_hour_steps.h"
#include "parking/park_pos.h"
#include "parking/parked_entries.h"
#include "parking/stand_names.h"

namespace cvl {
namespace {

constexpr std::uint32_t staticHexids = 10000;

bool lf_isOnOrNextTo(std::uint32_t standSid, const ParkPos* stand, std::uint32_t entrySid) {
  return standSid == entrySid || (stand != nullptr && std::find(stand->neighbours.begin(), stand->neighbours.end(),
                                                                standSid) != stand->neighbours.end());
}

// A live aircraft holding the entry's stand or one next to it keeps the entry out.
bool lf_liveAircraftInTheWay(const ParkedEntry& entry, const ParkPos* stand) {
  const auto live = std::find_if(liveAcs.begin(), liveAcs.end(), [&](const LiveAc& aircraft) {
    return gf_holdsStand(aircraft) && lf_isOnOrNextTo(aircraft.standId, stand, entry.sid);
  });
  if (live == liveAcs.end()) {
    return false;
  }
  if (live->standId == entry.sid) {
    gf_log(fmt::format("{:8}: no static parking for {}, live aircraft {} standing here", gf_standText(entry.sid),
                       entry.callsign, live->callsign));
  } else {
    gf_log(fmt::format("{:8}: no static parking for {}, live aircraft {} is adjacent at {}, possibly colliding",
                       gf_standText(entry.sid), entry.callsign, live->callsign, gf_standText(live->standId)));
  }
  return true;
}

// A static aircraft whose removal is under way makes way for the one that replaces it (its own self under the
// departing callsign among them), here or next door.
bool lf_staticAircraftInTheWay(const ParkedEntry& entry, const ParkPos* stand) {
  const auto other = std::find_if(staticAcs.begin(), staticAcs.end(), [&](const StaticAc& aircraft) {
    return lf_isOnOrNextTo(aircraft.standId, stand, entry.sid) && !gf_isLeaving(aircraft);
  });
  if (other == staticAcs.end()) {
    return false;
  }
  gf_log(fmt::format("{:8}: no static parking for {}, static aircraft {} is adjacent at {}, possibly colliding",
                     gf_standText(entry.sid), entry.callsign, other->callsign, gf_standText(other->standId)));
  return true;
}

std::uint32_t lf_nextStaticHexid() {
  staticHexidCounter = staticHexidCounter % (staticHexids - 1) + 1;
  return staticHexidCounter;
}

std::string lf_staticCallsignOf(const ParkedEntry& entry, std::uint32_t hexid) {
  if (entry.callsign.empty()) {
    return fmt::format("{}{}{}", entry.airline, hexid, "*");
  }
  const std::string& flight = entry.stays || entry.callsign2.empty() ? entry.callsign : entry.callsign2;
  return gf_staticCallsign(flight);
}

AcIdentity lf_identityOf(const ParkedEntry& entry, std::uint32_t hexid) {
  IdentityTexts texts;
  texts.airline = entry.airline;
  texts.type = entry.type;
  texts.callsign = lf_staticCallsignOf(entry, hexid);
  texts.optCallsign = entry.callsign;
  texts.cplCallsign = entry.callsign2;
  texts.registration = entry.reg;
  AcIdentity identity{texts};
  identity.hexid = hexid;
  return identity;
}

CreateRequest lf_createRequestOf(const StaticAc& aircraft) {
  CreateRequest request;
  request.initPosition.latitude = aircraft.standLat;
  request.initPosition.longitude = aircraft.standLon;
  request.initPosition.heading = aircraft.standHeading * radiansToDegrees;
  request.initPosition.onGround = 1;
  request.callsign = aircraft.callsign;
  request.title = aircraft.liveryTitle;
  request.hexid = aircraft.hexid;
  return request;
}

}  // namespace

std::uint32_t staticHexidCounter = 0;

void lf_detcs() {
  if (parkedEntries.empty() || parkPositions.empty()) {
    return;
  }
  const ParkedEntry entry = std::move(parkedEntries.back());
  parkedEntries.pop_back();
  const ParkPos* stand = gf_standBySid(entry.sid);
  if (lf_liveAircraftInTheWay(entry, stand) || lf_staticAircraftInTheWay(entry, stand)) {
    return;
  }
  if (gf_parkedPlacesFull()) {
    gf_log(fmt::format("{:8}: no static parking for {}, max park reached", gf_standText(entry.sid), entry.callsign));
    return;
  }
  if (stand == nullptr) {
    gf_logFlagged(fmt::format("stand with id {} not found", gf_standText(entry.sid)));
    return;
  }
  AcIdentity identity = lf_identityOf(entry, lf_nextStaticHexid());
  StaticAc& aircraft = staticAcs.emplace_back(
      identity, stand->sid, StandPlace{stand->latitude, stand->longitude, stand->heading}, stand->cargo);
  if (!gf_matchLiveryParked(aircraft, *stand)) {
    staticAcs.pop_back();
    return;
  }
  aircraft.parkedSince = gf_halfHoursBefore(WeekTime::unpacked(weekTimeNow), static_cast<int>(entry.fitLevel));
  aircraft.state = AcState::adding2sim;
  gf_queueStaticCreation(aircraft);
}

void gf_queueStaticCreation(const StaticAc& aircraft) {
  staticCreateBacklog.push_back(lf_createRequestOf(aircraft));
}

}  // namespace cvl

#include "engine/stand_parking.h"

#include <fmt/format.h>

#include <algorithm>
#include <string>

#include "app/main_window.h"
#include "app/run_loop.h"
#include "engine/aircraft_lists.h"
#include "engine/aircraft_removal.h"
#include "engine/aircraft_stand.h"
#include "engine/phase_change.h"
#include "engine/stand_arrival.h"
#include "engine/stand_conflicts.h"
#include "engine/stream_points.h"
#include "foundation/log.h"
#include "parking/park_pos.h"
#include "parking/parked_entries.h"
#include "parking/stand_lookups.h"
#include "parking/stand_names.h"
#include "simlink/client_events.h"
#include "simlink/user_aircraft.h"

namespace cvl {
namespace {

// The user's reserved stand and the stand the user aircraft stands on stay free.
bool lf_keptForUser(const ParkPos& stand) {
  if (stand.id == mainWindow.reservedStandName.get()) {
    return true;
  }
  const UserAcData user = gf_userAcSnapshot();
  const std::string userStand = gf_standNameAt({user.latitude, user.longitude});
  return !userStand.empty() && userStand == stand.id;
}

void lf_clearStand(LiveAc& aircraft, ParkPos& stand) {
  lf_removeOccupant(stand.sid, aircraft);
  for (const std::uint32_t neighbourSid : stand.neighbours) {
    lf_removeAdjacentColliding(neighbourSid, aircraft, stand);
  }
  lf_makeWay(aircraft, stand);
}

void lf_takeStand(LiveAc& aircraft, const ParkPos& stand) {
  gf_assignStand(aircraft, stand);
  aircraft.stream.resize(1);
  gf_setPhase(aircraft, AcPhase::parking);
  drive2Stand(aircraft, {stand.latitude, stand.longitude, stand.heading});
}

// The aircraft was created at its stand: the stand is its own from now on.
void lf_registerAtStand(LiveAc& aircraft) {
  const std::uint32_t sid = aircraft.standId;
  const std::string standText = gf_standText(sid);
  aircraft.parkedSince = WeekTime::unpacked(weekTimeNow);
  gf_log(fmt::format("{:8}: {:8} parks", standText, aircraft.callsign));
  std::erase_if(parkedEntries, [sid](const ParkedEntry& entry) { return entry.sid == sid; });
  if (sid == 0) {
    return;
  }
  const auto below = std::find_if(staticAcs.begin(), staticAcs.end(), [sid](const StaticAc& other) {
    return other.state == AcState::active && other.standId == sid;
  });
  if (below != staticAcs.end()) {
    gf_log(fmt::format("{:8}: {:8} parks over static {} \u2014 static will be removed", standText, aircraft.callsign,
                       below->callsign));
    removeAircraftFromSim(*below);
  }
}

}  // namespace

void try2Park(LiveAc& aircraft, bool wide) {
  if (aircraft.stream.empty()) {
    gf_logFlagged(fmt::format("{} empty sz?", "try2Park"));
    return;
  }
  const LatLon last = gf_latLonOf(aircraft.stream.back());
  if (gf_samePoint(last, aircraft.parkProbe)) {
    return;
  }
  aircraft.parkProbe = last;
  const auto stand = lf_findStandNear(last, aircraft, wide ? wideStandSearchNm : narrowStandSearchNm, wide);
  if (stand == parkPositions.end() || lf_keptForUser(*stand)) {
    return;
  }
  lf_clearStand(aircraft, *stand);
  lf_takeStand(aircraft, *stand);
}

void lf_parks(LiveAc& aircraft) {
  aircraft.onGround = true;
  gf_setGear(aircraft, true);
  aircraft.stepAlt = 0.0;
  if (aircraft.phase == AcPhase::parked) {
    lf_registerAtStand(aircraft);
  }
  aircraft.phaseCounter = 1;
}

}  // namespace cvl

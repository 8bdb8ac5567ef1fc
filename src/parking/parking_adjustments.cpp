#include "parking/parking_adjustments.h"

#include <fmt/format.h>

#include <algorithm>

#include "app/main_window.h"
#include "app/status_line.h"
#include "engine/aircraft_lists.h"
#include "engine/aircraft_removal.h"
#include "engine/live_parked.h"
#include "foundation/log.h"
#include "parking/fit_passes.h"
#include "parking/park_pos.h"
#include "parking/parked_entries.h"
#include "parking/stand_lookups.h"
#include "parking/stand_names.h"
#include "parking/stand_search.h"
#include "parking/static_assignment.h"
#include "parking/static_maps.h"
#include "parking/wanted_parked_count.h"
#include "simlink/user_aircraft.h"

namespace cvl {
namespace {

std::int64_t lf_size(const auto& list) {
  return static_cast<std::int64_t>(list.size());
}

// Every stand free for a new selection, its options numbered afresh (options the search had set aside come back).
void lf_resetStands() {
  for (ParkPos& stand : parkPositions) {
    stand.userStand = false;
    stand.selected = false;
    stand.neighbourBlocked = false;
    gf_numberOptions(stand);
  }
}

void lf_setUserStand(const std::string& name) {
  if (const auto stand = gf_findStandByName(name); stand != parkPositions.end()) {
    stand->userStand = true;
  }
}

// The stands that live aircraft hold are taken, and their neighbours with them.
void lf_selectLiveHeldStands() {
  for (const LiveAc& aircraft : liveAcs) {
    if (!gf_holdsStand(aircraft)) {
      continue;
    }
    if (ParkPos* stand = gf_standBySid(aircraft.standId)) {
      gf_selectStand(*stand);
    }
  }
}

// A kept aircraft whose flight departs now is removed and made again under its departing callsign, keeping the time
// it has stood there.
void lf_switchDepartingCallsigns(const WeekTime& now) {
  for (auto kept = keptStatics.begin(); kept != keptStatics.end();) {
    if (!kept->departs) {
      ++kept;
      continue;
    }
    const auto stood = static_cast<std::uint32_t>(gf_weekSlotsBetween(kept->parkedSince, now));
    parkedEntries.push_back(
        {kept->sid, stood, kept->airline, kept->type, kept->optCallsign, kept->cplCallsign, kept->registration, false});
    staticRemovals.push_back({kept->callsign, kept->sid});
    kept = keptStatics.erase(kept);
  }
}

void lf_removeListedStatics() {
  for (const StaticRemoval& removal : staticRemovals) {
    const auto aircraft = std::find_if(staticAcs.begin(), staticAcs.end(), [&removal](const StaticAc& each) {
      return each.standId == removal.sid && each.callsign == removal.callsign;
    });
    if (aircraft != staticAcs.end() &&
        (aircraft->state == AcState::active || aircraft->state == AcState::removingfromsim)) {
      removeAircraftFromSim(*aircraft);
    }
  }
  staticRemovals.clear();
}

// The parked places taken besides the kept static aircraft: live aircraft parked or driving onto their stands, and
// static aircraft still being created, which the selection leaves as they are.
std::int64_t lf_placesTakenBesidesKept() {
  const auto coming = std::count_if(staticAcs.begin(), staticAcs.end(), [](const StaticAc& aircraft) {
    return aircraft.state == AcState::adding2sim && gf_holdsParkedPlace(aircraft);
  });
  return static_cast<std::int64_t>(gf_liveParkedPlaces()) + coming;
}

}  // namespace

void gf_parkingAdjustments() {
  const WeekTime now = lf_logUtcDay();
  lf_clearStaticMaps();
  mainWindow.staticWeekMark = false;
  mainWindow.staticSoftMark = false;
  staticRemovals.clear();
  keptStatics.clear();
  liveParkedList.clear();
  parkedEntries.clear();
  lf_resetStands();
  lf_markUserStand();
  const std::int64_t wanted = lf_wantedParkedCount();
  gf_listLiveParked();
  lf_selectLiveHeldStands();
  const std::int64_t already = lf_size(keptStatics) + lf_placesTakenBesidesKept();
  if (wanted - lf_size(parkedEntries) != already) {
    lf_selectParkedAircraft(now, wanted, already);
  }
  lf_assignStaticToStands(now);
  lf_switchDepartingCallsigns(now);
  lf_limitParkedTotal(wanted);
  std::stable_sort(parkedEntries.begin(), parkedEntries.end(),
                   [](const ParkedEntry& a, const ParkedEntry& b) { return a.fitLevel > b.fitLevel; });
  gf_setStatusLine(
      fmt::format("Parking adjustments: {} to be removed, {} to be added", staticRemovals.size(), parkedEntries.size()),
      true);
  lf_removeListedStatics();
  gf_invalidateBand(rcStaticParking);
}

void lf_limitParkedTotal(std::int64_t limit) {
  std::int64_t excess = lf_size(parkedEntries) + lf_size(keptStatics) + lf_placesTakenBesidesKept() - limit;
  for (; excess > 0 && !parkedEntries.empty(); --excess) {
    parkedEntries.pop_back();
  }
  // Live aircraft stay even when they alone are more than the limit: they are still reported at their stands and
  // would only come back.
  for (; excess > 0 && !keptStatics.empty(); --excess) {
    staticRemovals.push_back({keptStatics.back().callsign, keptStatics.back().sid});
    keptStatics.pop_back();
  }
}

void lf_markUserStand() {
  const std::string reserved = mainWindow.reservedStandName.get();
  if (!reserved.empty()) {
    lf_setUserStand(reserved);
  }
  const UserAcData user = gf_userAcSnapshot();
  const std::string underUser = gf_standNameAt({user.latitude, user.longitude});
  if (!underUser.empty() && underUser != reserved) {
    lf_setUserStand(underUser);
  }
}

}  // namespace cvl

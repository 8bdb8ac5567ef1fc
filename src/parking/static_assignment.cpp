#include "parking/static_assignment.h"

#include <algorithm>

#include "app/run_loop.h"
#include "engine/aircraft_lists.h"
#include "foundation/geometry.h"
#include "parking/fit_passes.h"
#include "parking/stand_search.h"
#include "refdata/dbase_queries.h"

namespace cvl {
namespace {

void lf_keep(const StaticAc& aircraft) {
  keptStatics.push_back({aircraft.callsign, aircraft.optCallsign, aircraft.cplCallsign, aircraft.registration,
                         aircraft.airline, aircraft.type, aircraft.parkedSince, aircraft.standId, false});
}

void lf_remove(const StaticAc& aircraft) {
  staticRemovals.push_back({aircraft.callsign, aircraft.standId});
}

bool lf_isSameAircraft(const StandOption& option, const StaticAc& aircraft) {
  return option.reg == aircraft.registration && option.airline == aircraft.airline && option.type == aircraft.type;
}

bool lf_entryIsAircraft(const ParkedEntry& entry, const StaticAc& aircraft) {
  return entry.airline == aircraft.airline && entry.type == aircraft.type &&
         (gf_isStaticCallsignOf(entry.callsign, aircraft.callsign) ||
          gf_isStaticCallsignOf(entry.callsign2, aircraft.callsign));
}

// An entry on a neighbouring stand whose aircraft would touch this one; true when there was one (and it was settled).
bool lf_settledNeighbourClash(const StaticAc& aircraft) {
  const ParkPos* stand = gf_standBySid(aircraft.standId);
  if (stand == nullptr) {
    return false;
  }
  for (const std::uint32_t sid : stand->neighbours) {
    const auto entry = std::find_if(parkedEntries.begin(), parkedEntries.end(),
                                    [sid](const ParkedEntry& each) { return each.sid == sid; });
    const ParkPos* neighbour = gf_standBySid(sid);
    if (entry == parkedEntries.end() || neighbour == nullptr) {
      continue;
    }
    if (gf_halfWingspan(aircraft.type) + gf_halfWingspan(entry->type) >
        gf_distanceNM({aircraft.standLat, aircraft.standLon}, {neighbour->latitude, neighbour->longitude})) {
      lf_resolveNeighbourConflict(aircraft, entry);
      return true;
    }
  }
  return false;
}

bool lf_hasFittingOption(const StaticAc& aircraft, const WeekTime& now) {
  const ParkPos* stand = gf_standBySid(aircraft.standId);
  if (stand == nullptr) {
    return false;
  }
  const int window = std::min(std::max(realFitLevel, softFitLevel), halfHoursPerDay - 1);
  const auto& options = stand->options;
  if (std::any_of(options.begin(), options.end(),
                  [&](const StandOption& option) { return lf_optionFitsAircraft(option, aircraft, now, window); })) {
    return true;
  }
  const int remaining = window - now.halfHour;
  if (remaining <= 0) {
    return false;
  }
  const std::int32_t previousDay = now.day == 1 ? 7 : now.day - 1;
  return std::any_of(options.begin(), options.end(), [&](const StandOption& option) {
    return lf_optionFitsAircraftWrapped(option, aircraft, previousDay, remaining);
  });
}

void lf_judge(const StaticAc& aircraft, const WeekTime& now) {
  const auto entry = std::find_if(parkedEntries.begin(), parkedEntries.end(),
                                  [&aircraft](const ParkedEntry& each) { return each.sid == aircraft.standId; });
  if (entry != parkedEntries.end()) {
    if (lf_entryIsAircraft(*entry, aircraft)) {
      lf_keep(aircraft);
      parkedEntries.erase(entry);
    } else {
      lf_resolveNeighbourConflict(aircraft, entry);
    }
    return;
  }
  if (lf_settledNeighbourClash(aircraft)) {
    return;
  }
  if (lf_hasFittingOption(aircraft, now)) {
    lf_keep(aircraft);
  } else {
    lf_remove(aircraft);
  }
}

// A kept aircraft still under its arriving callsign whose option ends now is to come back under the departing one.
void lf_markDeparture(KeptStatic& kept, const WeekTime& now) {
  const ParkPos* stand = gf_standBySid(kept.sid);
  if (kept.cplCallsign.empty() || kept.callsign.find(kept.optCallsign) == std::string::npos || stand == nullptr) {
    return;
  }
  std::string_view flight = kept.callsign;
  if (!flight.empty() && flight.back() == '*') {
    flight.remove_suffix(1);
  }
  const auto option = std::find_if(stand->options.begin(), stand->options.end(), [&](const StandOption& each) {
    // Its own option may have been set aside (id 0) by this selection because the aircraft is parked already.
    return each.day == static_cast<std::uint32_t>(now.day) && each.airline == kept.airline && each.type == kept.type &&
           each.callsign == flight;
  });
  if (option != stand->options.end()) {
    kept.departs = !gf_optionContinuesAfter(*stand, *option, now);
  }
}

}  // namespace

void lf_assignStaticToStands(const WeekTime& now) {
  for (const StaticAc& aircraft : staticAcs) {
    if (aircraft.state == AcState::active) {
      lf_judge(aircraft, now);
    }
  }
  // Latest parked first, counted back from now across the week's end.
  std::stable_sort(keptStatics.begin(), keptStatics.end(), [&now](const KeptStatic& a, const KeptStatic& b) {
    return gf_weekSlotsBetween(a.parkedSince, now) < gf_weekSlotsBetween(b.parkedSince, now);
  });
  for (KeptStatic& kept : keptStatics) {
    lf_markDeparture(kept, now);
  }
}

void lf_resolveNeighbourConflict(const StaticAc& aircraft, std::vector<ParkedEntry>::iterator entry) {
  const WeekTime now = WeekTime::unpacked(weekTimeNow);
  // Measured back from now, so that a window reaching back into Sunday is compared rightly on Monday.
  if (gf_weekSlotsBetween(aircraft.parkedSince, now) > static_cast<int>(entry->fitLevel)) {
    lf_remove(aircraft);
    return;
  }
  lf_keep(aircraft);
  parkedEntries.erase(entry);
}

bool lf_optionFitsAircraft(const StandOption& option, const StaticAc& aircraft, const WeekTime& now, int window) {
  if (option.day != static_cast<std::uint32_t>(now.day) || !lf_isSameAircraft(option, aircraft)) {
    return false;
  }
  for (int slot = std::max(now.halfHour - window, 0); slot <= now.halfHour; ++slot) {
    if (option.hh.test(static_cast<std::size_t>(slot))) {
      return true;
    }
  }
  return false;
}

bool lf_optionFitsAircraftWrapped(const StandOption& option, const StaticAc& aircraft, std::int32_t day,
                                  int remaining) {
  if (option.day != static_cast<std::uint32_t>(day) || !lf_isSameAircraft(option, aircraft)) {
    return false;
  }
  for (int slot = halfHoursPerDay - 1; slot >= std::max(halfHoursPerDay - remaining, 0); --slot) {
    if (option.hh.test(static_cast<std::size_t>(slot))) {
      return true;
    }
  }
  return false;
}

}  // namespace cvl

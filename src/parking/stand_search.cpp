#include "parking/stand_search.h"

#include <fmt/format.h>

#include <algorithm>
#include <exception>
#include <optional>
#include <random>

#include "engine/aircraft_lists.h"
#include "engine/live_parked.h"
#include "foundation/geometry.h"
#include "foundation/log.h"
#include "foundation/random.h"
#include "foundation/settings_catalogue.h"
#include "foundation/strings.h"
#include "parking/half_hour_steps.h"
#include "parking/stand_options.h"
#include "parking/static_maps.h"
#include "refdata/dbase_queries.h"

namespace cvl {
namespace {

bool lf_sameText(const std::string& a, const std::string& b) {
  return !a.empty() && a == b;
}

// Either callsign of the option equals the text.
bool lf_hasCallsign(const StandOption& option, const std::string& callsign) {
  return lf_sameText(option.callsign, callsign) || lf_sameText(option.callsign2, callsign);
}

bool lf_entryHasAircraft(const std::vector<ParkedEntry>& entries, const StandOption& option) {
  return std::any_of(entries.begin(), entries.end(), [&option](const ParkedEntry& entry) {
    return lf_hasCallsign(option, entry.callsign) || lf_sameText(option.reg, entry.reg);
  });
}

const StaticAc* lf_activeStaticOn(std::uint32_t sid) {
  const auto found = std::find_if(staticAcs.begin(), staticAcs.end(), [sid](const StaticAc& aircraft) {
    return aircraft.standId == sid && aircraft.state == AcState::active;
  });
  return found == staticAcs.end() ? nullptr : &*found;
}

// An aircraft of the option's type on the stand would touch a static aircraft standing on a neighbouring stand.
bool lf_clashesWithNeighbour(const ParkPos& stand, const StandOption& option) {
  return std::any_of(stand.neighbours.begin(), stand.neighbours.end(), [&](std::uint32_t sid) {
    const StaticAc* neighbour = lf_activeStaticOn(sid);
    return neighbour != nullptr &&
           gf_distanceNM({neighbour->standLat, neighbour->standLon}, {stand.latitude, stand.longitude}) <
               gf_halfWingspan(option.type) + gf_halfWingspan(neighbour->type);
  });
}

bool lf_optionFitsSearch(const ParkPos& stand, const StandOption& option, const WeekTime& searched, std::uint32_t real,
                         std::uint32_t day) {
  return option.id != 0 && (day == 0 || option.day == static_cast<std::uint32_t>(searched.day)) &&
         (real != 0 ? option.real != 0 : option.real != 1) &&
         option.hh.test(static_cast<std::size_t>(searched.halfHour)) && !lf_clashesWithNeighbour(stand, option);
}

// The ids of the stand's options for the searched half hour; none when the stand itself is out of the search.
void lf_collectFittingOptionIds(const ParkPos& stand, const WeekTime& searched, std::uint32_t real, std::uint32_t day,
                                std::vector<std::uint32_t>& ids) {
  ids.clear();
  if ((stand.heli && !HELICOPTERS.value) || stand.neighbourBlocked) {
    return;
  }
  for (const StandOption& option : stand.options) {
    if (lf_optionFitsSearch(stand, option, searched, real, day)) {
      ids.push_back(option.id);
    }
  }
}

bool lf_isOptionOfStatic(const StandOption& option, const StaticAc& aircraft) {
  return option.airline == aircraft.airline && option.type == aircraft.type &&
         (gf_isStaticCallsignOf(option.callsign, aircraft.callsign) ||
          gf_isStaticCallsignOf(option.callsign2, aircraft.callsign));
}

// The first of the ids whose option stands for a static aircraft already on the stand.
std::optional<std::uint32_t> lf_optionOfStaticHere(const ParkPos& stand, const std::vector<std::uint32_t>& ids) {
  for (const StaticAc& aircraft : staticAcs) {
    if (aircraft.standId != stand.sid) {
      continue;
    }
    for (const StandOption& option : stand.options) {
      const bool offered = std::find(ids.begin(), ids.end(), option.id) != ids.end();
      if (offered && lf_isOptionOfStatic(option, aircraft)) {
        return option.id;
      }
    }
  }
  return std::nullopt;
}

// A static aircraft keeps its stand while its own option is among those of the moment.
std::uint32_t lf_chooseOptionId(const ParkPos& stand, std::vector<std::uint32_t>& ids) {
  if (ids.size() > 1) {
    if (const auto staticsOption = lf_optionOfStaticHere(stand, ids)) {
      return *staticsOption;
    }
    if (RANDOM.value) {
      std::shuffle(ids.begin(), ids.end(), randomEngine);
    }
  }
  return ids.front();
}

// The static aircraft standing on the stand in the simulator is the option's own: present, but on this very stand.
bool lf_parkedHereUnder(const ParkPos& stand, const StandOption& option) {
  const StaticAc* aircraft = lf_activeStaticOn(stand.sid);
  return aircraft != nullptr && lf_isOptionOfStatic(option, *aircraft);
}

// Whether the aircraft still stands here in the half hour after now under the option's arriving callsign.
bool lf_staysAfterNow(const ParkPos& stand, const StandOption& option, const WeekTime& now) {
  return option.callsign2.empty() || gf_optionContinuesAfter(stand, option, now);
}

}  // namespace

void gf_selectStand(ParkPos& stand) {
  stand.selected = true;
  for (const std::uint32_t sid : stand.neighbours) {
    if (ParkPos* neighbour = gf_standBySid(sid)) {
      neighbour->neighbourBlocked = true;
    }
  }
}

bool gf_optionContinuesAfter(const ParkPos& stand, const StandOption& option, const WeekTime& now) {
  const WeekTime next = gf_nextHalfHour(now);
  if (next.day == now.day) {
    return option.hh.test(static_cast<std::size_t>(next.halfHour));
  }
  return std::any_of(stand.options.begin(), stand.options.end(), [&](const StandOption& other) {
    return other.id > 0 && other.day == static_cast<std::uint32_t>(next.day) && other.airline == option.airline &&
           other.type == option.type && other.hh.test(0);
  });
}

bool gf_isStaticCallsignOf(std::string_view flightCallsign, std::string_view staticCallsign) {
  return gf_wildcardMatch(flightCallsign, staticCallsign);
}

bool lf_aircraftAlreadyPresent(const StandOption& option, const std::vector<ParkedEntry>& candidates) {
  const bool parked = std::any_of(staticAcs.begin(), staticAcs.end(), [&option](const StaticAc& aircraft) {
    return lf_hasCallsign(option, aircraft.optCallsign) || lf_sameText(option.reg, aircraft.registration);
  });
  const bool parkedLive = std::any_of(liveAcs.begin(), liveAcs.end(), [&option](const LiveAc& aircraft) {
    return gf_holdsStand(aircraft) && lf_hasCallsign(option, aircraft.callsign);
  });
  const bool flying = (!option.callsign.empty() && recentTrafficCallsigns.contains(option.callsign)) ||
                      (!option.callsign2.empty() && recentTrafficCallsigns.contains(option.callsign2));
  return parked || parkedLive || flying || lf_entryHasAircraft(parkedEntries, option) ||
         lf_entryHasAircraft(candidates, option);
}

void lf_searchStands(const WeekTime& now, std::uint32_t real, std::uint32_t day, int level,
                     std::vector<ParkedEntry>& candidates) {
  try {
    const WeekTime searched = gf_halfHoursBefore(now, level);
    std::vector<std::uint32_t> ids;
    ids.reserve(256);
    for (ParkPos& stand : parkPositions) {
      if (stand.userStand || stand.selected) {
        continue;
      }
      lf_collectFittingOptionIds(stand, searched, real, day, ids);
      if (ids.empty()) {
        continue;
      }
      StandOption* option = gf_findOption(stand, lf_chooseOptionId(stand, ids));
      if (option == nullptr) {
        continue;
      }
      if (lf_aircraftAlreadyPresent(*option, candidates) && !lf_parkedHereUnder(stand, *option)) {
        // Not offered again until the next adjustment numbers the options afresh.
        option->id = 0;
        continue;
      }
      candidates.push_back({stand.sid, static_cast<std::uint32_t>(level), option->airline, option->type,
                            option->callsign, option->callsign2, option->reg, lf_staysAfterNow(stand, *option, now)});
      gf_selectStand(stand);
    }
  } catch (const std::exception& error) {
    gf_logFlagged(fmt::format("{}: day: {}, offset {}: {}", "lf_searchStands",
                              fmt::format("[{},{}]", now.day, now.halfHour), level, error.what()));
  }
}

}  // namespace cvl

#include "parking/stand_options.h"

#include <fmt/format.h>

#include <algorithm>
#include <exception>
#include <optional>

#include "app/run_loop.h"
#include "foundation/log.h"
#include "parking/half_hour_steps.h"
#include "parking/learned_updates.h"
#include "refdata/registration_lookup.h"

namespace cvl {
namespace {

constexpr int learningWindow = 6;
constexpr int learningWindowHeavy = 8;
constexpr int learningWindowCargo = 12;

bool lf_isValidWeekTime(const WeekTime& time) {
  return time.day >= 1 && time.day <= 7 && time.halfHour >= 0 && time.halfHour < halfHoursPerDay;
}

std::optional<int> lf_highestSlot(const HalfHourSet& set) {
  for (int slot = halfHoursPerDay - 1; slot >= 0; --slot) {
    if (set.test(static_cast<std::size_t>(slot))) {
      return slot;
    }
  }
  return std::nullopt;
}

bool lf_isRealOptionOfDay(const StandOption& option, const std::string& registration, const WeekTime& day) {
  return option.id != 0 && option.day == static_cast<std::uint32_t>(day.day) && option.reg == registration &&
         option.real == 1;
}

// The airport file itself already has the aircraft on this stand in this half hour: there is nothing to learn.
bool lf_fileHasStayNow(const ParkPos& stand, const std::string& registration, const WeekTime& now) {
  return std::any_of(stand.options.begin(), stand.options.end(), [&](const StandOption& option) {
    return lf_isRealOptionOfDay(option, registration, now) && option.origin == 1 &&
           option.hh.test(static_cast<std::size_t>(now.halfHour));
  });
}

StandOption* lf_learnedOptionOf(ParkPos& stand, const std::string& registration, const WeekTime& day) {
  const auto found = std::find_if(stand.options.begin(), stand.options.end(), [&](const StandOption& option) {
    return lf_isRealOptionOfDay(option, registration, day) && option.origin == 0;
  });
  return found == stand.options.end() ? nullptr : &*found;
}

// The learned option the aircraft's stay continues: today's, else yesterday's while the aircraft has not left since,
// so that a stay across midnight goes on in an option of the new day.
StandOption* lf_optionToContinue(ParkPos& stand, const std::string& registration, const WeekTime& now) {
  if (StandOption* today = lf_learnedOptionOf(stand, registration, now)) {
    return today;
  }
  StandOption* yesterday = lf_learnedOptionOf(stand, registration, gf_halfHoursBefore(now, halfHoursPerDay));
  return yesterday != nullptr && !yesterday->cpl ? yesterday : nullptr;
}

void lf_emplaceStandOption(ParkPos& stand, StandOption option) {
  stand.options.push_back(std::move(option));
}

void lf_addNewOption(ParkPos& stand, const AcIdentity& identity, const WeekTime& now, const std::string& registration,
                     bool coupled) {
  AddedOption ignored;
  gf_addStandOption(stand, ignored, identity, now, identity.callsign, registration, coupled);
}

// Sets one half hour; one outside 0..47 throws std::out_of_range.
void lf_setSlot(HalfHourSet& set, int slot) {
  set.set(static_cast<std::size_t>(slot));
}

}  // namespace

std::string_view gf_withoutGhostMark(std::string_view text) {
  if (!text.empty() && text.back() == '_') {
    text.remove_suffix(1);
  }
  return text;
}

StandOption* gf_findOption(ParkPos& stand, std::uint32_t id) {
  if (id == 0) {
    return nullptr;
  }
  const auto found = std::find_if(stand.options.begin(), stand.options.end(),
                                  [id](const StandOption& option) { return option.id == id; });
  return found == stand.options.end() ? nullptr : &*found;
}

void lf_addRealStandOption(std::uint32_t standSid, LiveAc& aircraft, std::uint32_t occasion) {
  const std::string registration{gf_withoutGhostMark(aircraft.registration)};
  if (registration.empty()) {
    return;
  }
  const WeekTime now = WeekTime::unpacked(weekTimeNow);
  try {
    const auto record = gf_findDbaseRecord(registration);
    if (!record || !lf_isValidWeekTime(now)) {
      return;
    }
    aircraft.airline = record->airl;
    aircraft.type = record->type;
    ParkPos* stand = gf_standBySid(standSid);
    if (stand == nullptr || lf_fileHasStayNow(*stand, registration, now)) {
      return;
    }
    const bool coupled = occasion == 2 || occasion == 3;
    StandOption* option = lf_optionToContinue(*stand, registration, now);
    const std::optional<int> lastSlot = option == nullptr ? std::nullopt : lf_highestSlot(option->hh);
    if (!lastSlot) {
      lf_addNewOption(*stand, aircraft, now, registration, coupled);
      return;
    }
    const bool holdsNow =
        option->day == static_cast<std::uint32_t>(now.day) && option->hh.test(static_cast<std::size_t>(now.halfHour));
    if (option->cpl && !holdsNow) {
      // The aircraft left and has come back: a stay of its own.
      lf_addNewOption(*stand, aircraft, now, registration, coupled);
      return;
    }
    if (!holdsNow) {
      const std::uint32_t id = option->id;
      LearnState state{{static_cast<std::int32_t>(option->day), *lastSlot}, 0};
      if (!gf_learnStandOccupation(now, *stand, id, state, aircraft, aircraft.callsign, registration, coupled)) {
        lf_addNewOption(*stand, aircraft, now, registration, coupled);
      }
      option = gf_findOption(*stand, id);  // the options may have moved
    }
    if (coupled && option != nullptr) {
      option->cpl = true;
    }
  } catch (const std::exception& error) {
    gf_logFlagged(fmt::format("{}: hh_now: {}, {}", "lf_addRealStandOption", now.halfHour, error.what()));
  }
}

bool gf_learnStandOccupation(const WeekTime& now, ParkPos& stand, std::uint32_t optionId, LearnState& state,
                             const AcIdentity& identity, std::string_view callsign, const std::string& registration,
                             bool coupled) {
  if (optionId == 0 || now == state.last) {
    return true;
  }
  const int limit = identity.cargo                           ? learningWindowCargo
                    : identity.category == AcCategory::Heavy ? learningWindowHeavy
                                                             : learningWindow;
  int gap = (now.day - state.last.day) * halfHoursPerDay + now.halfHour - state.last.halfHour;
  if (gap < 0) {
    gap += halfHoursPerWeek;
  }
  if (gap < 1 || gap >= limit) {
    return false;
  }
  if (now.day == state.last.day) {
    if (updateOptions(stand, lf_lastHalfHours(now, gap), optionId)) {
      lf_addOptionCallsign(stand, optionId, callsign);
    }
    state.last = now;
    return true;
  }
  // The stay crossed midnight: the new day gets an option of its own.
  AddedOption nextDay;
  gf_addStandOption(stand, nextDay, identity, now, callsign, registration, coupled);
  if (!nextDay.added) {
    return false;
  }
  updateOptionsWrapped(stand, lf_lastHalfHours(now, gap), optionId, nextDay.newId);
  lf_addOptionCallsign(stand, optionId, callsign);
  lf_addOptionCallsign(stand, nextDay.newId, callsign);
  state.nextDayId = nextDay.newId;
  state.last = now;
  return true;
}

void gf_addStandOption(ParkPos& stand, AddedOption& out, const AcIdentity& identity, const WeekTime& now,
                       std::string_view callsign, const std::string& registration, bool coupled) {
  out.added = false;
  if (registration.empty()) {
    return;
  }
  StandOption option;
  option.reg = registration;
  option.callsign = std::string{gf_withoutGhostMark(callsign)};
  lf_setSlot(option.hh, now.halfHour);
  option.day = static_cast<std::uint32_t>(now.day);
  option.origin = 0;
  option.real = 1;
  option.cpl = coupled;
  if (const auto record = gf_findDbaseRecord(registration)) {
    option.airline = record->opr.empty() ? record->airl : record->opr;
    option.type = record->type;
  } else {
    option.airline = identity.airline;
    option.type = identity.type;
  }
  const bool known = std::any_of(stand.options.begin(), stand.options.end(), [&option](const StandOption& other) {
    return other.reg == option.reg && other.day == option.day && other.hh == option.hh;
  });
  if (known) {
    return;
  }
  const auto newId = static_cast<std::uint32_t>(stand.options.size() + 1);
  option.id = newId;
  lf_emplaceStandOption(stand, std::move(option));
  gf_countLearnedUpdate();
  out = {newId, true};
}

bool updateOptions(ParkPos& stand, const std::vector<int>& slots, std::uint32_t id) {
  StandOption* option = gf_findOption(stand, id);
  if (option == nullptr) {
    return false;
  }
  try {
    for (auto slot = slots.rbegin(); slot != slots.rend(); ++slot) {
      lf_setSlot(option->hh, *slot);
    }
    return true;
  } catch (const std::exception& error) {
    gf_logFlagged(fmt::format("{} exception:{}", "updateOptions", error.what()));
    return false;
  }
}

bool updateOptionsWrapped(ParkPos& stand, const std::vector<int>& slots, std::uint32_t id, std::uint32_t nextDayId) {
  StandOption* option = gf_findOption(stand, id);
  if (option == nullptr) {
    return false;
  }
  try {
    std::vector<int> rest = slots;
    if (!rest.empty() && rest.back() != 0) {
      // The old day's part, up to its last half hour.
      int slot = -1;
      while (!rest.empty() && slot != halfHoursPerDay - 1) {
        slot = rest.back();
        rest.pop_back();
        lf_setSlot(option->hh, slot);
      }
    }
    StandOption* nextDay = gf_findOption(stand, nextDayId);
    if (nextDay == nullptr) {
      return false;
    }
    // Now's half hour, at the front of the list, was set when the new day's option was made.
    while (rest.size() >= 2) {
      lf_setSlot(nextDay->hh, rest.back());
      rest.pop_back();
    }
    return true;
  } catch (const std::exception& error) {
    gf_logFlagged(fmt::format("{} exception:{}", "updateOptionsWrapped", error.what()));
    return false;
  }
}

void lf_addOptionCallsign(ParkPos& stand, std::uint32_t id, std::string_view callsign) {
  const std::string_view cs = gf_withoutGhostMark(callsign);
  StandOption* option = gf_findOption(stand, id);
  if (cs.empty() || option == nullptr) {
    return;
  }
  if (option->callsign.empty()) {
    option->callsign = cs;
  } else if (cs != option->callsign && cs != option->callsign2) {
    option->callsign2 = cs;
  }
}

}  // namespace cvl

#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/ac_identity.h"
#include "engine/live_ac.h"
#include "foundation/half_hours.h"
#include "parking/park_pos.h"

// Learning which aircraft stand on which stand, and when: every learned occupation is a real stand option of its own
// (origin 0) with the aircraft's registration, airline, type, callsigns, day and half hours. Worker thread.
namespace cvl {

// Where learning an option stands: the last half hour learned, and the option that continues on the next day after
// a stay past midnight (0 while none).
struct LearnState {
  WeekTime last;
  std::uint32_t nextDayId = 0;
};

// The outcome of adding an option: its id, and whether it was added at all.
struct AddedOption {
  std::uint32_t newId = 0;
  bool added = false;
};

// Records a real occupation of the stand by the live aircraft now. Occasion 0: it arrived at or stands on the stand;
// 1: it was spawned there; 2 and 3: it leaves (the option becomes coupled). Only aircraft with a registration known
// to the aircraft database are learned.
void lf_addRealStandOption(std::uint32_t standSid, LiveAc& aircraft, std::uint32_t occasion);

// Extends the option `optionId` from the state's last half hour up to now while the gap stays within the learning
// window (6 half hours, 8 for a Heavy, 12 for a cargo aircraft); a stay past midnight continues in an option of the
// new day. False when the gap is outside the window and a new option is needed.
bool gf_learnStandOccupation(const WeekTime& now, ParkPos& stand, std::uint32_t optionId, LearnState& state,
                             const AcIdentity& identity, std::string_view callsign, const std::string& registration,
                             bool coupled);

// Appends an option for now's half hour unless the same registration already has exactly that option today.
void gf_addStandOption(ParkPos& stand, AddedOption& out, const AcIdentity& identity, const WeekTime& now,
                       std::string_view callsign, const std::string& registration, bool coupled);

// Sets the half hours of the list (taken from its back) in the option with that id; false when there is none or a
// half hour is out of range (logged).
bool updateOptions(ParkPos& stand, const std::vector<int>& slots, std::uint32_t id);
// The same for a list that crosses midnight (latest first): the old day's half hours up to 47 go to option `id`, the
// new day's ones before now to option `nextDayId`.
bool updateOptionsWrapped(ParkPos& stand, const std::vector<int>& slots, std::uint32_t id, std::uint32_t nextDayId);

// Notes the callsign in the option: as its callsign while it has none, else as its second callsign when it is new.
void lf_addOptionCallsign(ParkPos& stand, std::uint32_t id, std::string_view callsign);

// The option in use with that id; null when none.
StandOption* gf_findOption(ParkPos& stand, std::uint32_t id);

// The text without one trailing '_' (the mark of a flight reported twice).
std::string_view gf_withoutGhostMark(std::string_view text);

}  // namespace cvl

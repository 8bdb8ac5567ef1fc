#pragma once

#include <cstdint>
#include <vector>

#include "foundation/half_hours.h"
#include "parking/park_pos.h"
#include "parking/parked_entries.h"

// One level of the static-parking selection: which free stands have an option for the searched half hour, and which
// aircraft each of them gets. Worker thread.
namespace cvl {

// Searches every stand that is neither kept free nor selected for an option at `level` half hours before now (real or
// soft options; of now's day, or of any day), and appends one entry per stand found to the candidates. A stand found
// is selected and its neighbours blocked.
void lf_searchStands(const WeekTime& now, std::uint32_t real, std::uint32_t day, int level,
                     std::vector<ParkedEntry>& candidates);

// Whether the option's aircraft is parked already, chosen already (in parkedEntries or among this level's
// candidates) or live in the traffic recorded since the calculation was announced: by registration, or by either
// callsign. Empty texts match nothing.
bool lf_aircraftAlreadyPresent(const StandOption& option, const std::vector<ParkedEntry>& candidates);

// The stand is taken by the selection, and its neighbours are blocked with it.
void gf_selectStand(ParkPos& stand);

// Whether the option's aircraft still stands on the stand in the half hour after now: its own next half hour, or
// after midnight an option in use of the next day with the same airline and type from the day's first half hour.
bool gf_optionContinuesAfter(const ParkPos& stand, const StandOption& option, const WeekTime& now);

// Whether a static aircraft's callsign stands for a flight of this callsign (the callsign with '*' appended).
bool gf_isStaticCallsignOf(std::string_view flightCallsign, std::string_view staticCallsign);

}  // namespace cvl

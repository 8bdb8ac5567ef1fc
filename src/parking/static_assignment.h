#pragma once

#include <vector>

#include "engine/static_ac.h"
#include "foundation/half_hours.h"
#include "parking/park_pos.h"
#include "parking/parked_entries.h"

// A parking adjustment's judgement of the static aircraft already in the simulator against the new selection: each
// either stays (keptStatics) or goes (staticRemovals), and the entries a staying aircraft already fills are dropped.
// Worker thread.
namespace cvl {

// Sorts every active static aircraft into keptStatics or staticRemovals, erasing the entries of parkedEntries that a
// kept aircraft satisfies, and marks the kept aircraft whose flight departs now under its second callsign.
void lf_assignStaticToStands(const WeekTime& now);

// The static aircraft and the entry want the same or touching stands: the aircraft goes when it has stood there since
// before the entry's fit window began; otherwise it stays and the entry is erased.
void lf_resolveNeighbourConflict(const StaticAc& aircraft, std::vector<ParkedEntry>::iterator entry);

// Whether the option is the static aircraft's (same registration, airline and type) on now's day with a half hour in
// the fit window: the `window` half hours before now, and now.
bool lf_optionFitsAircraft(const StandOption& option, const StaticAc& aircraft, const WeekTime& now, int window);
// The part of the window on the day before: whether the option is the aircraft's on that day with one of its last
// `remaining` half hours.
bool lf_optionFitsAircraftWrapped(const StandOption& option, const StaticAc& aircraft, std::int32_t day, int remaining);

}  // namespace cvl

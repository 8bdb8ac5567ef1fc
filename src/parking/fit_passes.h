#pragma once

#include <cstdint>
#include <vector>

#include "foundation/half_hours.h"
#include "parking/parked_entries.h"

// The static-parking selection for "now": up to four passes (real options of today, real options of the whole week,
// soft options of today, soft options of the week), each widening its fit window back in time one half hour per
// level until enough stands are chosen. The result is parkedEntries. Worker thread.
namespace cvl {

// The level reached by the last real pass, and by the last soft pass (-1 after a real pass).
extern std::int32_t realFitLevel;
extern std::int32_t softFitLevel;

// Runs the passes that WEEK and PARK_SOFT allow while fewer than `wanted` aircraft are chosen; `already` counts the
// aircraft that stay (0 for a fresh calculation).
void lf_selectParkedAircraft(const WeekTime& now, std::int64_t wanted, std::int64_t already);
// One pass; real 1 or 0 (soft), day 1 (today's options) or 0 (the week's).
void lf_fitPass(const WeekTime& now, std::int64_t wanted, std::int64_t already, std::uint32_t real, std::uint32_t day);
// The level loop of a pass. True when enough stands are selected; the last level's candidates are then still in
// `candidates`, those of the levels before are in parkedEntries.
bool lf_fitPositions(const WeekTime& now, std::uint32_t real, std::uint32_t day, std::int64_t wanted,
                     std::vector<ParkedEntry>& candidates);

// Logs the traffic clock's day and time and returns the current week time.
WeekTime lf_logUtcDay();

}  // namespace cvl

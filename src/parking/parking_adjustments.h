#pragma once

#include <cstdint>

// The periodic re-selection of the static aircraft at the park airport: the occupation learned for the stands moves
// on from half hour to half hour, so the selection is made again for now, the static aircraft that still fit stay,
// the others go (or come back under their departing callsign), and the missing ones are queued. Worker thread.
namespace cvl {

// One adjustment.
void gf_parkingAdjustments();

// Cuts the selection to `limit` aircraft, counting the live aircraft parked or driving onto their stands and the
// static aircraft being created: pending entries first (from the back), then kept static aircraft (the longest
// parked). Live aircraft are never cut.
void lf_limitParkedTotal(std::int64_t limit);

// Marks the stands that get no static aircraft: the reserved stand and the stand under the user aircraft.
void lf_markUserStand();

}  // namespace cvl

#pragma once

#include "engine/live_ac.h"
#include "trafficin/timed_position.h"

// Appending a reported position to the stream of a known aircraft. Worker thread.
namespace cvl {

// Appends the position unless the aircraft's situation drops it; trims stationary runs, keeps due ticks rising and
// starts a touch-and-go or a take-off roll. A failure is logged and the position dropped.
void decodeExisting(LiveAc& aircraft, TimedPosition& position);

// Plays the report held while the aircraft could not follow its reports, now that it can.
void gf_playHeldReport(LiveAc& aircraft);

// Marks the position stationary when it repeats the last stream entry (which must exist); false: drop it. A position
// within 0.00015 degrees of the last one becomes a stationary copy of it.
bool lf_checkStandstill(LiveAc& aircraft, TimedPosition& position);

}  // namespace cvl

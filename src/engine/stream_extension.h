#pragma once

#include "engine/live_ac.h"
#include "trafficin/timed_position.h"

// Whether a newly reported position may extend the stream of an aircraft that is parked, pushing back, landing or
// flying on made-up positions. Worker thread.
namespace cvl {

// False: drop the position. May change the aircraft's phase, its stream and its due windows.
bool checkExtendingSituations(LiveAc& aircraft, TimedPosition& position);
// The same for an aircraft on approach or in its landing roll-out.
bool checkNewPosDuringLanding(LiveAc& aircraft, TimedPosition& position);
// A parked or parking aircraft's reports lead away from its stand.
void lf_markDeparture(LiveAc& aircraft, TimedPosition& position);

}  // namespace cvl

#pragma once

#include <cstdint>

#include "engine/live_ac.h"
#include "engine/static_ac.h"

// Taking aircraft out of the simulator. Every live or static aircraft leaves through removeAircraftFromSim, whatever
// state it is in; a record never reaches the simulator twice and is never left half removed. Worker thread.
namespace cvl {

// Starts the removal of a live or static aircraft: a buffered one is erased by the next tick, a queued creation is
// withdrawn, one the simulator has is marked to leave as soon as its object shows (a live one the limit took out may
// still be taken back in), an aircraft in the simulator is queued for removal, a live one being activated too.
void removeAircraftFromSim(StaticAc& aircraft);
// Withdraws the aircraft's creations not yet handed to the simulator (on the adding stack or in the backlog); false
// when there was none.
bool gf_withdrawCreation(StaticAc& aircraft);
// The aircraft's removal is under way: it is leaving the simulator, or its creation is marked to leave as soon as it
// shows.
bool gf_isLeaving(const StaticAc& aircraft);
// Erases the record from liveAcs by swapping it with the last one (the order is not kept).
void lf_eraseLiveAc(LiveAc& aircraft);
// Removes every static aircraft: active ones from the simulator, queued ones from the backlog.
void gf_removeAllStatic();
// The live aircraft with this hexid goes while its callsign is blocked.
void lf_removeWhileBlocked(std::uint32_t hexid);

}  // namespace cvl

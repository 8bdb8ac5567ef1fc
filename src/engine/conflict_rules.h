#pragma once

#include <string>
#include <string_view>
#include <unordered_set>

#include "engine/live_ac.h"

// The rules that keep one flight from appearing twice and aircraft out of each other's way: ghosts (the same flight
// reported again with '_' appended), a static aircraft standing for a flight that is live, aircraft in the user's way
// and static aircraft in the way of a moving live one. Each rule removes at most one aircraft per call and names it in
// one log line. Worker thread.
namespace cvl {

// Aircraft on neighbouring places collide within both half spans and a tenth more.
inline constexpr double collisionMargin = 1.1;

// The callsign less its last character (empty for an empty callsign), and whether it carries the ghost mark '_'.
std::string_view gf_callsignLessLast(std::string_view callsign);
bool gf_isGhostCallsign(std::string_view callsign);

// Callsigns (each ending in '_') of the aircraft removed as ghosts; the buffer step keeps them out. Emptied by the
// traffic reset. A sender can make ghosts by the thousand, and every due buffered ghost asks.
extern std::unordered_set<std::string> ghostCallsigns;

// Removes the live aircraft whose callsign is this one with '_' appended.
void lf_removeGhost(std::string_view callsign);
// Whether the callsign carries the ghost mark and a live aircraft not being removed has it less its last character.
bool lf_hasLiveTwin(std::string_view callsign);
// Removes the first active static aircraft with the live aircraft's registration or with its same or coupled callsign.
void gf_checkSameRegOrCallsign(LiveAc& live, bool onGround);
// The callsign a static aircraft of this flight is created with: trailing '_' removed, '*' appended once.
std::string gf_staticCallsign(std::string_view callsign);
// Removes one static aircraft that stands for a live aircraft on the ground (its callsign with '*', or the same
// registration).
void gf_removeStaticTwins();
// Removes the first active live aircraft in the user's way (engine user position).
void gf_removeAcNearUser();
// Removes the first active static aircraft of another callsign whose stand lies within both half spans x 1.1 of the
// moving live aircraft, and remembers where the live aircraft was checked.
void gf_collisionAvoidStatic(LiveAc& live);
// Removes the static aircraft, else the parked live aircraft, standing at the user's reserved stand.
void gf_clearReservedStand();

}  // namespace cvl

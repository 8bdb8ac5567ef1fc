#pragma once

#include "engine/live_ac.h"

// The MAX_LIVE_SEL limit of live aircraft in the simulator or being created. At the limit a newcomer takes the place
// of the farthest aircraft shown only when it is markedly nearer to the user (by a fifth of the farthest one's
// distance), so that aircraft at similar distances from a moving user do not swap places back and forth. An aircraft
// the limit took out stays out for two minutes unless it is markedly nearer than the farthest aircraft shown, also
// when a place comes free meanwhile: it would only blink back to be the next to go. A new limit judges every aircraft
// anew. Worker thread.
namespace cvl {

// Whether the newcomer must stay out. A newcomer let in at the limit has had the farthest aircraft removed.
bool gf_keptOutByLiveLimit(const LiveAc& newcomer);
// Removes the active live aircraft farthest from the user, however far (the user lowered the limit). False when there
// is none.
bool gf_removeFarthestLiveAc();
// Forgets the aircraft the limit took out (the reset of the traffic state).
void gf_clearTakenOutByLiveLimit();

}  // namespace cvl

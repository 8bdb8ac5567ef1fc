#pragma once

#include <cstdint>

#include "engine/live_ac.h"
#include "engine/live_limit.h"

// Steps the creation code shares between a creation's stages. Worker thread.
namespace cvl {

// Flights and creations that wait are looked at once a second, each at its own tick of the second, so that no single
// tick pays for all of them.
bool gf_isLookTick(std::uint32_t hexid);
// Whether another record under the aircraft's callsign waits in the buffer to be created and, by the predicate, has the
// earlier turn. The state is asked first: few records wait in the buffer, and it spares comparing most callsigns.
bool gf_callsignWaitedFor(const LiveAc& aircraft, bool (*hasTurn)(const LiveAc& other, const LiveAc& aircraft));
// Whether any other record under the callsign of a creation, which asks once a second, waits in the buffer: only a
// callsign that waited there at the first such question of the second is searched for, so that one come to the buffer
// since is found a second later.
bool gf_callsignWaitedForThisSecond(const LiveAc& creation);
// Forgets the callsigns of the second (the reset of the traffic state).
void gf_forgetCallsignsOfTheSecond();
// The aircraft takes the place the limit gives it, to be shown where it flies now.
void gf_admitWhereItFliesNow(LiveAc& aircraft, const PlaceVerdict& verdict);

}  // namespace cvl

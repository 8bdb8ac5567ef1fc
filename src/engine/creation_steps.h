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
// Any other record under the callsign has the earlier turn.
bool gf_anyRecordsTurn(const LiveAc& other, const LiveAc& aircraft);
// The aircraft takes the place the limit gives it, to be shown where it flies now.
void gf_admitWhereItFliesNow(LiveAc& aircraft, const PlaceVerdict& verdict);

}  // namespace cvl

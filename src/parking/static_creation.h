#pragma once

#include <cstdint>

#include "engine/static_ac.h"

// Static parked aircraft are made one at a time from the chosen stands. Worker thread.
namespace cvl {

// The hexid of the last static aircraft made; static hexids run 1 to 9999 and then start again at 1.
extern std::uint32_t staticHexidCounter;

// Turns the last entry of parkedEntries into a static aircraft: unless a live or static aircraft stands on the stand
// or next to it or the parked aircraft fill the wanted number already, the aircraft is made on the stand with a
// livery of the static matcher and its creation is queued.
// The entry is used up whatever happens.
void lf_detcs();
// Queues the creation of the static aircraft on its stand.
void gf_queueStaticCreation(const StaticAc& aircraft);

}  // namespace cvl

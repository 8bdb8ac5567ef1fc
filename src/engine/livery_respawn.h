#pragma once

#include "engine/live_ac.h"

// Creating a live aircraft again, with a livery for its changed identity, where it stands now. Worker thread.
namespace cvl {

// Queues the aircraft's removal from the simulator (state liveryrespawn) with a first stream position where it is
// now; the removal report sends it back to the buffer, from which it is spawned again.
void liveryRespawn(LiveAc& aircraft);
// Clears the cargo attribute of a cargo stand on which an aircraft that prefers cargo liveries stands. Until stands
// are read there is no such stand.
void lf_clearCargoAttribute(LiveAc& aircraft);

}  // namespace cvl

#pragma once

#include <optional>

#include "engine/live_ac.h"
#include "parking/park_pos.h"

// Putting a buffered live aircraft on its way into the simulator: its livery, its first phase (flying, taxi, or
// parked at a stand), its first simulator position; its hexid then waits on addingStack for its creation request.
// Worker thread.
namespace cvl {

void spawnLiveAc(LiveAc& aircraft);

// A stand of the park airport for an aircraft that starts on the ground and stands still there; may set the record's
// remove flag when the stand is not to be had.
std::optional<ParkPos> lf_chooseStand(LiveAc& aircraft);
// The first simulator position from the first stream entry.
void lf_initSimPosition(LiveAc& aircraft);

}  // namespace cvl

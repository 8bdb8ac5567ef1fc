#pragma once

#include "engine/live_ac.h"

// The ground half of the stream step: the push-back stages, leaving the stand, the shape of each taxi leg (a curve
// round a corner, a midpoint on a long slow leg) and the search for a stand when a taxiing aircraft comes to rest.
// Worker thread.
namespace cvl {

// Called by the stream step for an aircraft on the ground; ends with the ground scheduler.
void nextPosGround(LiveAc& aircraft);

}  // namespace cvl

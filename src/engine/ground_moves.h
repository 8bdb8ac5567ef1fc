#pragma once

#include "engine/live_ac.h"

// The ground half of the stream step.
namespace cvl {

// Chooses between a curve, a midpoint and a straight leg towards the next entry of a taxiing aircraft, then schedules
// the next entry's due tick. Called by the stream step for an aircraft on the ground.
void nextPosGround(LiveAc& aircraft);

}  // namespace cvl

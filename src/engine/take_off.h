#pragma once

#include "engine/live_ac.h"

// The take-off of a live aircraft. Worker thread.
namespace cvl {

// Begins the take-off roll: the stream may run ahead of the reports while the aircraft accelerates.
void lf_towedTakeOff(LiveAc& aircraft);

}  // namespace cvl

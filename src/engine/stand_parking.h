#pragma once

#include "engine/live_ac.h"

// Live aircraft at stands. Worker thread.
namespace cvl {

// Registers an aircraft that the simulator created on the ground: it stands on its gear. Until stands are read no
// aircraft is created at a stand, so nothing more is registered.
void lf_parks(LiveAc& aircraft);

}  // namespace cvl

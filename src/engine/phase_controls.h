#pragma once

#include "engine/live_ac.h"

// What an aircraft's controls and vertical profile do in its phase: set by the stream step at a new position, and
// applied by the integrator on every tick.
namespace cvl {

// At a new stream position, after the latitude and longitude steps are set.
void lf_groundControls(LiveAc& aircraft);
void lf_airControls(LiveAc& aircraft);
// One tick of the take-off (phase take_off): attitude and altitude.
void lf_takeOffTick(LiveAc& aircraft);
// One tick of the landing flare: moves through the flare stages as the aircraft nears the ground.
void lf_flareTick(LiveAc& aircraft);

}  // namespace cvl

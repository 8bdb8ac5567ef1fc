#pragma once

#include "engine/live_ac.h"

// How a live aircraft is configured below 10000 ft: lights, flaps, gear and throttle on the climb-out, the approach to
// the park airport, and the flare before touchdown. Worker thread.
namespace cvl {

// At a new stream position below 10000 ft: the low-altitude lights once, then the climb-out configuration above the
// category's climb-out height, else the approach configuration.
void lf_lowAltitudeConfig(LiveAc& aircraft);
// Below the climb-out height: an aircraft descending near the park airport starts its approach (gear and flaps down,
// its stand given up); one climbing away, or fast, is cleaned up once.
void lf_approachConfig(LiveAc& aircraft);
// The descent rate (ft/min) of an approach: the reports' mean corrected for QNH, at least 601 ft/min; 600 ft/min at
// or below 100 ft above ground.
double lf_approachDescent(const LiveAc& aircraft);
// One tick of the flare: on approach within 400 ft of the ground, four stages of a shallowing descent as the aircraft
// nears its static CG height.
void lf_flareTick(LiveAc& aircraft);

}  // namespace cvl

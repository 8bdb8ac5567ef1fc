#pragma once

#include "engine/live_ac.h"
#include "engine/static_ac.h"

// The way onto a stand a taxiing aircraft has taken, and its arrival there. Worker thread.
namespace cvl {

// Appends the way to the stand (position and heading) to the stream: a leg at the stand taxi speed onto the stand and
// a stop there half a second later.
void drive2Stand(LiveAc& aircraft, const StandPlace& stand);
// The stream of an aircraft in phase parking has run dry: within 2 m of its stand it parks (learning the stand's
// occupation), else it taxis on. An aircraft arriving at a stand that must be kept clear is removed.
void lf_arrivedAtStand(LiveAc& aircraft);

}  // namespace cvl

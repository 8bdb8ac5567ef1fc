#pragma once

#include "engine/live_ac.h"

// How a parked live aircraft leaves its stand when its reports lead away: nose first when the way out lies ahead of
// the stand, else pushed back by two and a half stand radii, straight or swinging its tail to one side. Worker thread.
namespace cvl {

// Taxis one wingspan straight ahead of the stand (phase taxi), engines started.
void lf_pullOut(LiveAc& aircraft);
// Pushes back (phase pushing_back, stage 2): the stream becomes the current entry, a midpoint, the straight push-back
// point and a side point; the other side point waits in pushAltPoint until the side is known. Nothing happens when
// the aircraft's stand is not among the park airport's stands.
void lf_pushBack(LiveAc& aircraft);

}  // namespace cvl

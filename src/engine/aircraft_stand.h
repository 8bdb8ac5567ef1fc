#pragma once

#include "engine/static_ac.h"
#include "parking/park_pos.h"

// The stand an aircraft stands at or heads for, as its record keeps it.
namespace cvl {

// Takes the stand's place, heading, sid and cargo flag.
void gf_assignStand(StaticAc& aircraft, const ParkPos& stand);
// No stand: place, heading, sid and cargo flag back to 0.
void gf_forgetStand(StaticAc& aircraft);

}  // namespace cvl

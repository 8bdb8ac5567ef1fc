#pragma once

#include "engine/ac_identity.h"
#include "parking/park_pos.h"

// Choosing the livery of a static aircraft for the stand it is meant for: the steps of the live matcher, with the
// stand deciding whether the cargo liveries come first, every similar model of the airline whatever its category, and
// no step counted. Worker thread (static parking).
namespace cvl {

// True when the aircraft has an accepted title (one it already carried, or one found now); false, with the log line
// "no livery match" naming the stand, when nothing matches.
bool gf_matchLiveryParked(AcIdentity& aircraft, const ParkPos& stand);

}  // namespace cvl

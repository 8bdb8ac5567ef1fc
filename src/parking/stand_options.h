#pragma once

#include <cstdint>

#include "engine/live_ac.h"

// Learning which aircraft stand on which stand, and when.
namespace cvl {

// Records a real occupation of the stand by the live aircraft. Occasion 0: it arrived at or stands on the stand; 1: it
// was spawned there; 2 and 3: it leaves. Nothing is learned until stands are read.
void lf_addRealStandOption(std::uint32_t standSid, LiveAc& aircraft, std::uint32_t occasion);

}  // namespace cvl

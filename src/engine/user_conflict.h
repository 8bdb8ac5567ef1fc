#pragma once

#include "engine/live_ac.h"

// A new aircraft must not appear where the user aircraft is, or in its path. Worker thread.
namespace cvl {

// True when the first stream entry conflicts with the user aircraft (engine user position): the entry is dropped and
// the aircraft is not spawned now. An airborne conflict marks the aircraft, and while marked every call drops.
bool lf_conflictsWithUserAc(LiveAc& aircraft);

}  // namespace cvl

#pragma once

#include "engine/live_ac.h"

// What happens when an aircraft's stream runs dry (fewer than two positions left). Worker thread.
namespace cvl {

// Makes up or holds a position and answers true, or answers false: the aircraft is to be removed. No positions are
// made up yet, so an aircraft whose reports have stopped goes.
bool lf_streamDry(LiveAc& aircraft);

}  // namespace cvl

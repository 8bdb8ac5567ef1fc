#pragma once

#include <cstdint>

#include "engine/live_ac.h"

// What happens when an aircraft's reports stop and its stream runs dry (fewer than two positions left): a taxiing
// aircraft holds where it is for a while, other aircraft go on along their last course on made-up positions, and a
// parked one stays a week; then the aircraft goes. An aircraft that reaches its stand parks here. Worker thread.
namespace cvl {

// Makes up or holds a position and answers true, or answers false: the aircraft is to be removed.
bool lf_streamDry(LiveAc& aircraft);
// Appends one position made up from the current entry (speed, course and altitude as the phase goes on) and leaves
// `count` as the number of positions still to make up.
void lf_makeUpPosition(LiveAc& aircraft, std::int32_t count);

}  // namespace cvl

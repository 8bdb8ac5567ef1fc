#pragma once

#include "engine/live_ac.h"

// A new live aircraft waits in the buffer while its first positions collect; shortly before its first position falls
// due the buffer step decides whether it is spawned, must go, or waits. Worker thread.
namespace cvl {

// The buffer step of one aircraft, every tick. "Must go" sets the record's remove flag: the tick erases it.
void lf_handleBuffered(LiveAc& aircraft);

}  // namespace cvl

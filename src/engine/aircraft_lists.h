#pragma once

#include <vector>

#include "engine/live_ac.h"
#include "engine/static_ac.h"

// Every aircraft the program has put, or is putting, into the simulator. Owned and changed by the worker thread;
// records are moved, never copied, when the vectors reorganise.
namespace cvl {

extern std::vector<StaticAc> staticAcs;
extern std::vector<LiveAc> liveAcs;

}  // namespace cvl

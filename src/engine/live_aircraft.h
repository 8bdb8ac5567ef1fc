#pragma once

#include <cstdint>

#include "engine/aircraft_lists.h"

// The counts of live aircraft that the main window shows.
namespace cvl {

// The live aircraft parked at stands in the simulator (phase parked, state active). With the flag it also refreshes
// the main window's average parked time.
std::uint64_t gf_countLiveParked(bool withAverage);

}  // namespace cvl

#pragma once

#include <cstdint>

#include "engine/live_ac.h"

// Creating a live aircraft again, with a livery for its changed identity, where it stands now; and the cargo mark of
// the stand an aircraft parks on. Worker thread.
namespace cvl {

// Stands whose cargo attribute was cleared because a passenger aircraft parked on them, this run.
extern std::uint64_t cargoStandsCleared;

// Queues the aircraft's removal from the simulator (state liveryrespawn) with a first stream position where it is now,
// due at once; the removal report sends it back to the buffer, from which it is spawned again with the heading it
// had. A parked aircraft keeps its stand position and heading.
void liveryRespawn(LiveAc& aircraft);
// A passenger aircraft parked on a stand marked cargo shows the stand takes any aircraft: its cargo attribute is
// cleared and the change is counted and kept for the learned airport file.
void lf_clearCargoAttribute(LiveAc& aircraft);

}  // namespace cvl

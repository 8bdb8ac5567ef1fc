#pragma once

#include <cstdint>

// The simulator holds a limited number of objects, shared with its other clients. At that limit it refuses every
// creation, and no livery or model is to blame: the aircraft goes back to wait, and no creation is handed over until
// an object leaves the simulator or a short pause has passed, so that creations are not refused in a loop. Worker
// thread.
namespace cvl {

// The simulator refused the creation of the aircraft with this hexid for too many objects.
void gf_onCreationOverLimit(std::uint32_t hexid);
// An object left the simulator: there is room for a creation again.
void gf_noteObjectLeft();
// Whether creations wait for room in the simulator.
bool gf_simulatorFull();
// Forgets the refusals (the reset of the traffic state).
void gf_clearSimulatorRoom();

}  // namespace cvl

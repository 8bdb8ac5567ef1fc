#pragma once

#include <cstdint>

#include "engine/live_ac.h"
#include "simlink/sim_results.h"

// A live aircraft's creation from its hand-over to the simulator until the simulator shows it. The simulator link
// recognises a new object only when a range scan finds it, so a creation is handed over only for an aircraft within
// the range, and one the simulator has not shown within a minute is given up as if refused: its record goes, and its
// object, should it appear after all, is removed. Worker thread.
namespace cvl {

// Whether a newcomer must wait because the position it would be created at lies at the edge of the range or beyond,
// where the simulator's range scan would not find it. It then waits for its next position; the log says so once per
// aircraft.
bool gf_waitsAtRangeEdge(LiveAc& aircraft);
// Hands the first live creation of the backlog to the simulator's queue, dropping those of aircraft that now lie at
// the edge of the range or beyond. False when none was handed over.
bool gf_handOverLiveCreation();
// Gives the creation up once its deadline has passed (for an aircraft in state adding2sim, every tick).
void gf_checkShowDeadline(LiveAc& aircraft);
// The record that takes the object the simulator shows for a live creation: the aircraft of the hexid still waiting
// for its object, or, for a creation given up, one waiting under the same callsign. The given-up creation is then
// forgotten, or, when an aircraft took its object, it stands for that aircraft's creation, whose object the link will
// name by that aircraft's hexid. Nullptr when no aircraft wants the object.
LiveAc* gf_takerOfCreatedObject(const SimResult& created);
// Removes an object no aircraft wants.
void gf_removeUnwantedObject(const SimResult& created);
// Forgets the creations given up (the reset of the traffic state).
void gf_clearGivenUpCreations();

}  // namespace cvl

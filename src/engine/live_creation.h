#pragma once

#include <cstdint>

#include "engine/live_ac.h"
#include "simlink/sim_results.h"

// A live aircraft's creation from its hand-over to the simulator until the simulator shows it. The simulator's range
// scans tell the engine where the ground lies under each aircraft and when it touches down, so a creation is handed
// over only for an aircraft within the range. One the simulator has not shown within a minute is given up: the aircraft
// goes back to the buffer, leaving its place and callsign to others meanwhile, and is created again with twice as long
// to show. Should the object of the creation given up show after all, the aircraft takes it if it waits for one again;
// otherwise it is removed. Worker thread.
namespace cvl {

// Whether a newcomer must wait because the position it would be created at lies at the edge of the range or beyond,
// where the simulator's range scans would not find it. It then waits for its next position; the log says so once per
// aircraft.
bool gf_waitsAtRangeEdge(LiveAc& aircraft);
// Hands the first live creation of the backlog to the simulator's queue, dropping those of aircraft that now lie at
// the edge of the range or beyond. False when none was handed over.
bool gf_handOverLiveCreation();
// Gives the creation up once its deadline has passed (for an aircraft in state adding2sim, every tick).
void gf_checkShowDeadline(LiveAc& aircraft);
// The record that takes the object the simulator shows for a live creation: the aircraft of its hexid while that
// waits for an object. Nullptr when no aircraft wants the object.
LiveAc* gf_takerOfCreatedObject(const SimResult& created);
// Removes an object no aircraft wants.
void gf_removeUnwantedObject(const SimResult& created);
// Forgets the aircraft whose creations were given up (the reset of the traffic state).
void gf_clearSlowCreations();

}  // namespace cvl

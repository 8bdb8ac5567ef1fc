#pragma once

#include "engine/live_ac.h"

// The per-tick update of one live aircraft: a buffered one moves towards its spawn, an active one steps along its
// position stream and hands its position to the simulator. Worker thread.
namespace cvl {

// True when the record's remove or remove-now flag is set afterwards (the tick then erases it). A failure is logged
// with the aircraft's label; the other aircraft go on.
bool updateLiveAc(LiveAc& aircraft);
// The due-position step: skips stationary entries of a flying aircraft, lets a dry stream make up a position, then
// steps to the next entry.
void nextPosMain(LiveAc& aircraft);
// Writes the flight plan of an aircraft whose origin and destination are known and hands it to the simulator.
void lf_setFlightPlan(LiveAc& aircraft);

}  // namespace cvl

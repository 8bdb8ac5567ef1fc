#pragma once

#include "engine/live_ac.h"

// Live aircraft at stands of the park airport: a taxiing aircraft that comes to rest near a free stand takes it, and
// an aircraft the simulator created standing on the ground is registered as standing there. Both keep the static
// parking and other live aircraft off the stand. Worker thread.
namespace cvl {

// Looks for a stand near the last stream entry (within 55 m when wide, else 20 m), once per spot; a stand found is
// cleared of the aircraft on and next to it, taken, and the way onto it appended to the stream (phase parking). The
// reserved stand and the stand under the user aircraft are never taken.
void try2Park(LiveAc& aircraft, bool wide);
// The aircraft stands on its gear; one created at a stand starts its parked time there, the static parking gives up
// that stand and a static aircraft standing on it is removed.
void lf_parks(LiveAc& aircraft);

}  // namespace cvl

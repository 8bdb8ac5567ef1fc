#pragma once

#include "foundation/geometry.h"

// The static-parking update, every 16 seconds: which airport near the user is the park airport, and, when one has
// just been chosen, the reading of its files and the calculation of its static aircraft. Worker thread.
namespace cvl {

// A park airport has just been chosen: the next update reads its files and calculates.
extern bool parkRecalcPending;
// The user position at which the candidates' distances were last measured.
extern LatLon lastUserParkPos;

// One update. The run loop calls it with true once before its first tick, the tick with false every 16 seconds while
// no two-phase parking adjustment is half done.
void gf_updateStaticParking(bool atStart);

// With no park airport: on the ground the airport the user is at (when it has an airport file), in the air the
// nearest candidate within AIRP_RANGE while the user is no higher than AIRP_HEIGHT above the ground.
void lf_chooseParkAirport(const LatLon& position, bool atStart);
// With a park airport, in the air: it is left (with all its static aircraft) when it is out of range or height, or
// when a candidate that is no farther comes in range.
void lf_watchParkAirport(const LatLon& position);
// Disables the parking controls and starts collecting the callsigns of the traffic until the calculation; with the
// flag, says so on the status line.
void lf_logCalculating(bool showStatus);

}  // namespace cvl

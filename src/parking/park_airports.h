#pragma once

// The park airports: the airports where static aircraft are parked, from airports/my_park_airports.txt.
namespace cvl {

// Reads airports/my_park_airports.txt into the park-airport list; false when there is none to read.
bool lf_readMyParkAirports();
// Removes every static aircraft from the simulator and resets the park airport (closing down, while one is active).
void gf_removeStaticParked();

}  // namespace cvl

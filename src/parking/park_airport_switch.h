#pragma once

#include <string>

// Making an airport the park airport, and leaving it again with or without its static aircraft. Worker thread.
// gf_removeStaticParked itself is declared with the park-airport list (park_airports.h).
namespace cvl {

// Makes the airport of that code the park airport; false (and no park airport shown) when the code is unknown.
bool lf_setParkAirport(const std::string& code);
// Leaves the park airport without touching the aircraft: its learned file is saved, the user's settings come back,
// and the stands and the selection are emptied.
void lf_clearParkAirport();

}  // namespace cvl

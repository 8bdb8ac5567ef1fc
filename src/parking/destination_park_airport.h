#pragma once

#include <string>

// The user's destination as the park airport tested first.
namespace cvl {

// Puts the airport at the head of the park-airport list: an entry of that code is moved there unchanged, else a new
// one with no reserved stand is inserted and written into airports/my_park_airports.txt. Worker thread, which owns
// the list.
void gf_addDestinationParkAirport(const std::string& code, double latitude, double longitude);

}  // namespace cvl

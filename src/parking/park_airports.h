#pragma once

#include <string>
#include <utility>
#include <vector>

// The user's list of park airports, airports/my_park_airports.txt: one airport a line, its ICAO code, optionally
// followed by "," and the reserved stand. The program writes it sorted, without repeats. Worker thread.
namespace cvl {

// Rebuilds parkAirports from the file (in reverse file order) and then adds the airports of my_thirdparty. False when
// an airport is unknown or the reading failed; the other lines are still read.
bool lf_readMyParkAirports();
// Puts every airport of a file in airports/my_thirdparty that is known and not yet listed at the front of the list.
void lf_readThirdPartyParkAirports();

// Writes the front candidate (with its reserved stand) into the file: its line replaces the line of its code, or is
// added. The file is created when it does not exist; one that exists but cannot be read is left alone.
void gf_addMyParkAirport();

// Replaces the first line of the code by the new line and returns its position; end when no line has the code.
std::vector<std::string>::iterator gf_updateMyParkAirportStand(std::vector<std::string>& lines,
                                                               const std::pair<std::string, std::string>& codeAndLine);

// Removes every static aircraft from the simulator and resets the park airport (closing down, while one is active).
void gf_removeStaticParked();

}  // namespace cvl

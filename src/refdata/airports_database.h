#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "foundation/geometry.h"

// The airports the program knows: position, elevation and whether the maker's site offers a stock airport file with
// stands. Read once per process from input/airports.enc at start-up on the worker thread, then only read, by any
// thread, without a lock.
namespace cvl {

struct Airport {
  std::string code;  // ICAO code, never empty
  std::string iata;
  double lat{0.0};  // degrees
  double lon{0.0};
  double alt{0.0};  // elevation in feet
  // 1 or more: the maker's site offers a stock airport file for the airport.
  std::int32_t stands{0};
};

// Sorted by code (bytes); airports with the same code keep the order of the file.
extern std::vector<Airport> AirportList;
extern std::unordered_set<std::string> AirportCodes;

// The first call decrypts input/airports.enc, reads every airport, sorts the list and removes the plain file; later
// calls only answer. True when the list holds an airport. Throws UserErrorException 88 with the text of
// gf_decryptForReading when the file is missing or cannot be decrypted, and with gf_unusableDataFileText when it does
// not load or hold "airports" (why is logged); the next call then tries again. Airports with missing or unusable
// attributes are logged and skipped.
bool gf_readAirports();

// Whether the plain airports file at that path would give gf_readAirports an airport; the list is left alone. Throws
// std::runtime_error when the file does not load or hold "airports".
bool gf_airportsXmlReadable(const std::filesystem::path& plainPath);

// Empties the list and the code set, so that the next gf_readAirports reads the file again.
void gf_forgetAirports();

// The distance in nautical miles from a position to the nearest stand in the airport's airport file, with that
// stand's id; 100.0 when there is no usable file.
using NearestStandQuery = std::function<double(const Airport&, const LatLon&, std::string&)>;

// The airport the position is at: within 5 nautical miles, the nearest found walking the list. When a nearer one
// replaced an earlier best, the stands of both decide (through gf_readDestApfForClosestStand); nullptr when no airport
// is within reach. The lines about a neighbour are logged when the two airports or the choice differ from the last
// call's; worker thread.
const Airport* gf_closestAirport(const LatLon& position);
const Airport* gf_closestAirport(const LatLon& position, const NearestStandQuery& nearestStand);

// The first airport of the list with exactly that code; nullptr when none.
const Airport* gf_findAirportByCode(std::string_view code);
bool gf_isAirportCode(const std::string& code);

// The code of the first airport whose code begins the text's first four characters in capitals; empty when none.
std::string gf_findAirportByPrefix(std::string_view text);

// The code of the first airport whose code, framed by '-' on both sides, occurs in the path, ASCII letters compared
// without regard to case; empty when none.
std::string gf_findAirportByPath(const std::filesystem::path& path);

}  // namespace cvl

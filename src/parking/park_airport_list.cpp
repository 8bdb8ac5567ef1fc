#include "parking/park_airport_list.h"

#include "parking/park_airports.h"

namespace cvl {

std::list<ParkAirport> parkAirports;
std::atomic<bool> parkAirportFileLoaded{false};

// Reading the list again is all the check there is until the static parking learns reserved stands.
bool gf_checkParkAirports(bool /*checkStand*/, std::string& /*message*/) {
  lf_readMyParkAirports();
  return false;
}

}  // namespace cvl

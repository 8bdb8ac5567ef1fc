#include "parking/destination_park_airport.h"

#include <algorithm>

#include "parking/park_airport_list.h"
#include "parking/park_airports.h"

namespace cvl {

void gf_addDestinationParkAirport(const std::string& code, double latitude, double longitude) {
  const auto found = std::find_if(parkAirports.begin(), parkAirports.end(),
                                  [&](const ParkAirport& airport) { return airport.code == code; });
  if (found != parkAirports.end()) {
    parkAirports.splice(parkAirports.begin(), parkAirports, found);
    return;
  }
  parkAirports.push_front(ParkAirport{code, {}, latitude, longitude, 0.0});
  gf_addMyParkAirport();
}

}  // namespace cvl
